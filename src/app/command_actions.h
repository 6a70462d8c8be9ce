#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>

class QAction;
class QKeySequence;
class QIcon;
class QWidget;

namespace ostrel {

struct Accelerator;

// One QAction per command: its menu text, toolbar image, status prompt and tooltip, all from
// the resources. Menus and the toolbar share these actions; triggering one routes its command.
// The accelerator table becomes shortcuts on the main window that route the same commands.
class CommandActions : public QObject
{
    Q_OBJECT

public:
    using Runner = std::function<void(uint16_t id)>;

    CommandActions(QWidget *window, Runner run);

    QAction *Action(uint16_t id) const;
    const std::map<uint16_t, QAction *> &All() const { return m_actions; }
    // Every shortcut of the main accelerator table, with the command it runs.
    const std::multimap<uint16_t, QObject *> &Shortcuts() const { return m_shortcuts; }

private:
    QAction *Make(uint16_t id, QWidget *window);
    void MakeShortcuts(QWidget *window);

    Runner m_run;
    std::map<uint16_t, QAction *> m_actions;
    std::multimap<uint16_t, QObject *> m_shortcuts;
};

// The twelve toolbar images, cut from the strip bitmap; empty icons when it cannot be read.
QIcon ToolbarIcon(int index);

} // namespace ostrel

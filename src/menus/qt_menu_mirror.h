#pragma once

#include "menus/owner_draw_menu.h"
#include "menus/platform_menus.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;

namespace ostrel {

// Shows a menu bar of the menu model in a QMenuBar. Each drop-down list is filled from the
// model again just before it opens, so changes to the model (recent files, the window list)
// show without rebuilding the bar. Owner-drawn entries become actions of their own that carry
// the entry's text and state; the owner measures and draws them.
class QtMenuMirror : public QObject
{
    Q_OBJECT

public:
    struct Hooks
    {
        // The shared action of a command, or null for entries that have none.
        std::function<QAction *(uint32_t id)> commandAction;
        // Runs an entry that has no shared action.
        std::function<void(uint32_t id)> run;
        // Called before a list is filled: the owner updates the model and command states.
        std::function<void(MenuHandle menu)> beforeShow;
        // The status-bar prompt of an entry that has no shared action.
        std::function<QString(uint32_t id)> prompt;
        // The text of an owner-drawn entry (its label and accelerator, for screen readers).
        std::function<QString(MenuHandle menu, int position)> entryText;
        OwnerDrawMenu::Hooks ownerDraw;
    };

    QtMenuMirror(PlatformMenus &menus, QMenuBar *bar, Hooks hooks, QObject *parent = nullptr);

    // Replaces the bar's contents with the menu bar `menu` of the model.
    void Show(MenuHandle menu);
    MenuHandle Shown() const { return m_shown; }
    // Fills a menu from the model (used for every drop-down list and for pop-up menus).
    void Fill(QMenu *target, MenuHandle menu);

private:
    QMenu *MakeMenu(const QString &title, MenuHandle handle, QWidget *parent);
    QAction *MakeAction(const PlatformMenuItem &item, const QString &text, QMenu *target);

    PlatformMenus &m_menus;
    QPointer<QMenuBar> m_bar;
    Hooks m_hooks;
    MenuHandle m_shown = 0;
};

} // namespace ostrel

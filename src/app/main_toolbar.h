#pragma once

#include <QToolBar>

class QComboBox;

namespace ostrel {

class CommandActions;

// The main window's toolbar as the toolbar resource lays it out: the project box in the first
// place, a gap in the second, then the command buttons and their separators.
class CMainToolbar : public QToolBar
{
public:
    CMainToolbar(const CommandActions &actions, QWidget *parent);

    QComboBox *ProjectBox() const { return m_projectBox; }
    // The one entry of the project box; the box is rebuilt only when the text changes.
    void SetProjectText(const QString &text);

private:
    QComboBox *MakeProjectBox();

    QComboBox *m_projectBox = nullptr;
};

} // namespace ostrel

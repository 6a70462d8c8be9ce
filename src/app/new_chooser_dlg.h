#pragma once

#include <QDialog>

class QRadioButton;

namespace ostrel {

// The small frameless box of File New: a new source file or a new project. "New File" is
// chosen whenever it opens.
class CNewChooserDlg : public QDialog
{
    Q_OBJECT

public:
    enum Choice { NewFile = 0, NewProject = 1 };

    explicit CNewChooserDlg(QWidget *parent);

    // -1 until the box has been shown; after OK, the choice made.
    int GetChoice() const { return m_choice; }

    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QRadioButton *m_newFile;
    QRadioButton *m_newProject;
    int m_choice = -1;
};

} // namespace ostrel

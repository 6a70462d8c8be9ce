#pragma once

#include "editor/search_state.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ostrel {

// The modeless Find dialog ("Find what", whole word, case, direction) or, with `replace`,
// the Replace dialog ("Replace with" and the Replace and Replace All buttons; it always
// searches down). The buttons only say what was asked; the owner does the work.
class CFindReplaceDlg : public QDialog
{
    Q_OBJECT

public:
    CFindReplaceDlg(bool replace, const SearchState &state, QWidget *owner);

    bool IsReplace() const { return m_replaceEdit != nullptr; }
    // The controls as a search request.
    SearchState Settings() const;
    // Puts `text` into "Find what", selected, and gives it the focus.
    void SetFindWhat(const QString &text);

    QLineEdit *FindEdit() const { return m_findEdit; }
    QLineEdit *ReplaceEdit() const { return m_replaceEdit; }
    QPushButton *FindNextButton() const { return m_findNext; }
    QPushButton *ReplaceButton() const { return m_replace; }
    QPushButton *ReplaceAllButton() const { return m_replaceAll; }

signals:
    void findNextRequested();
    void replaceRequested();
    void replaceAllRequested();

private:
    void UpdateButtons();

    QLineEdit *m_findEdit = nullptr;
    QLineEdit *m_replaceEdit = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QRadioButton *m_up = nullptr;
    QPushButton *m_findNext = nullptr;
    QPushButton *m_replace = nullptr;
    QPushButton *m_replaceAll = nullptr;
};

} // namespace ostrel

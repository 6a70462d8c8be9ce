#pragma once

#include "editor/find_replace_dlg.h"
#include "editor/search_state.h"
#include "editor/text_search.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace ostrel {

class CQuorlenView;

// Find, Find Next and Replace for the source windows of one main window: its one modeless
// Find or Replace dialog and the last search, which Find Next repeats in whichever source
// window is active. A text that is not found is told in a message box.
class CFindReplace : public QObject
{
    Q_OBJECT

public:
    // The controller of the main window that holds `view`, made on first use.
    static CFindReplace &Of(CQuorlenView &view);

    void ShowFind(CQuorlenView &view) { ShowDialog(view, false); }
    void ShowReplace(CQuorlenView &view) { ShowDialog(view, true); }
    // Find Next: the last search again, or the Find dialog when there was none.
    void FindAgain(CQuorlenView &view);

    const SearchState &State() const { return m_state; }
    CFindReplaceDlg *Dialog() const { return m_dialog; }

private:
    explicit CFindReplace(QWidget *window);
    void ShowDialog(CQuorlenView &view, bool replace);
    void TakeSettings();
    void OnFindNext();
    void OnReplace();
    void OnReplaceAll();
    CQuorlenView *Target() const;
    void Report(CQuorlenView &view, SearchResult result);

    SearchState m_state;
    QPointer<CFindReplaceDlg> m_dialog;
    QPointer<CQuorlenView> m_view; // the view that asked last
};

} // namespace ostrel

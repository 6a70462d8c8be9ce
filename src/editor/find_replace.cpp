#include "editor/find_replace.h"

#include "editor/document_host.h"
#include "editor/find_replace_dlg.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "platform/message_boxes.h"
#include "platform/qt_services.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace ostrel {

CFindReplace &CFindReplace::Of(CQuorlenView &view)
{
    QWidget *window = view.window();
    if (auto *existing = window->findChild<CFindReplace *>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new CFindReplace(window);
}

CFindReplace::CFindReplace(QWidget *window)
    : QObject(window)
{
}

void CFindReplace::ShowDialog(CQuorlenView &view, bool replace)
{
    m_view = &view;
    if (m_dialog && m_dialog->IsReplace() != replace)
        delete m_dialog.data(); // one dialog at a time: the other kind gives way
    if (!m_dialog) {
        m_dialog = new CFindReplaceDlg(replace, m_state, qobject_cast<QWidget *>(parent()));
        connect(m_dialog, &CFindReplaceDlg::findNextRequested, this, &CFindReplace::OnFindNext);
        connect(m_dialog, &CFindReplaceDlg::replaceRequested, this, &CFindReplace::OnReplace);
        connect(m_dialog, &CFindReplaceDlg::replaceAllRequested, this, &CFindReplace::OnReplaceAll);
    }
    // A selection within one line is what the user most likely looks for.
    const QString selected = view.selectedText();
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n'))
        && !selected.contains(QLatin1Char('\r')))
        m_dialog->SetFindWhat(selected);
    else
        m_dialog->SetFindWhat(m_dialog->FindEdit()->text());
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void CFindReplace::FindAgain(CQuorlenView &view)
{
    m_view = &view;
    if (m_state.findWhat.empty()) {
        ShowFind(view);
        return;
    }
    Report(view, FindNext(view, m_state));
}

void CFindReplace::TakeSettings()
{
    SearchState settings = m_dialog->Settings();
    if (!m_dialog->IsReplace())
        settings.replaceWith = m_state.replaceWith;
    m_state = settings;
}

void CFindReplace::OnFindNext()
{
    TakeSettings();
    if (CQuorlenView *view = Target())
        Report(*view, FindNext(*view, m_state));
}

void CFindReplace::OnReplace()
{
    TakeSettings();
    if (CQuorlenView *view = Target())
        Report(*view, ReplaceNext(*view, m_state));
}

void CFindReplace::OnReplaceAll()
{
    TakeSettings();
    if (CQuorlenView *view = Target()) {
        int count = 0;
        Report(*view, ReplaceAll(*view, m_state, count));
    }
}

// The dialog works on the active source window, which may have changed while it was open.
CQuorlenView *CFindReplace::Target() const
{
    if (auto *area = parent()->findChild<QMdiArea *>())
        if (QMdiSubWindow *window = area->currentSubWindow())
            if (auto *view = qobject_cast<CQuorlenView *>(window->widget()))
                return view;
    return m_view;
}

void CFindReplace::Report(CQuorlenView &view, SearchResult result)
{
    MessageBoxes &messages = view.GetDocument()->Services().messages;
    const std::string text = FromQt(QString::fromStdString(m_state.findWhat));
    switch (result) {
    case SearchResult::Found:
        break;
    case SearchResult::NotFound:
        messages.Warn("Cannot find \"" + text + "\".");
        break;
    case SearchResult::CannotStore:
        messages.Warn("The replacement text holds characters that this file's single-byte "
                      "text cannot store.");
        break;
    }
}

} // namespace ostrel

#include "editor/child_frame.h"

#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "platform/qt_services.h"

#include <QCloseEvent>

#include <algorithm>

namespace ostrel {

CChildFrame::CChildFrame(CQuorlenDoc *document, CQuorlenView *view, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_document(document)
    , m_view(view)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
    connect(document, &CQuorlenDoc::titleChanged, this, &CChildFrame::UpdateTitle);
    UpdateTitle();
}

void CChildFrame::UpdateTitle()
{
    setWindowTitle(ToQt(m_document->Title()));
}

void CChildFrame::closeEvent(QCloseEvent *event)
{
    const auto &views = m_document->Views();
    const auto others = std::count_if(views.begin(), views.end(), [this](const auto &view) {
        return view && view != m_view;
    });
    if (others == 0 && !m_document->SaveModified()) {
        event->ignore();
        return;
    }
    // From here on this window no longer counts as a view of the document, even before it
    // is deleted, so that closing the remaining windows at once still asks.
    m_document->DetachView(m_view);
    QMdiSubWindow::closeEvent(event);
}

} // namespace ostrel

#include "editor/doc_manager.h"

#include "editor/child_frame.h"
#include "editor/document_host.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"

#include <QMdiArea>

#include <algorithm>
#include <filesystem>

namespace ostrel {

namespace {

bool SameFile(const std::string &a, const std::string &b)
{
    if (a.empty() || b.empty())
        return false;
    std::error_code error;
    const auto canonicalA = std::filesystem::weakly_canonical(a, error);
    if (error)
        return a == b;
    const auto canonicalB = std::filesystem::weakly_canonical(b, error);
    return error ? a == b : canonicalA == canonicalB;
}

} // namespace

CDocManager::CDocManager(
    DocumentServices services, DocumentHost &host, QMdiArea *area, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_host(host)
    , m_area(area)
{
}

CDocManager::~CDocManager()
{
    // Windows go first: their views refer to the documents.
    m_destroying = true;
    for (QMdiSubWindow *window : m_area->subWindowList())
        delete window;
}

CQuorlenDoc *CDocManager::OpenDocumentFile(const std::string &path)
{
    if (CQuorlenDoc *open = FindDocument(path)) {
        const auto frames = Frames(open);
        if (!frames.empty())
            m_area->setActiveSubWindow(frames.front());
        return open;
    }
    return AddDocument(path, false);
}

CQuorlenDoc *CDocManager::NewDocument()
{
    return AddDocument(std::string(), true);
}

CQuorlenDoc *CDocManager::AddDocument(const std::string &path, bool untitled)
{
    auto document = std::make_unique<CQuorlenDoc>(m_services, m_host);
    CQuorlenDoc *doc = document.get();
    auto *view = new CQuorlenView(doc);
    doc->AttachView(view);
    const bool ok = untitled ? doc->OnNewDocument("Ostrel" + std::to_string(m_untitledCount + 1))
                             : doc->OnOpenDocument(path);
    if (!ok) {
        delete view;
        return nullptr;
    }
    if (untitled)
        ++m_untitledCount;
    else
        m_host.AddToRecentFiles(path);

    m_documents.push_back(std::move(document));
    ShowFrame(doc, view);
    emit documentCountChanged(static_cast<int>(m_documents.size()));
    return doc;
}

CChildFrame *CDocManager::CreateNewFrame(CQuorlenDoc *document)
{
    auto *view = new CQuorlenView(document);
    document->AttachView(view);
    return ShowFrame(document, view);
}

CChildFrame *CDocManager::ShowFrame(CQuorlenDoc *document, CQuorlenView *view)
{
    auto *frame = new CChildFrame(document, view);
    m_area->addSubWindow(frame);
    // A new window takes most of the area, so that a first file is readable at once.
    frame->resize(std::max(400, m_area->width() * 3 / 4), std::max(300, m_area->height() * 3 / 4));
    connect(view, &QObject::destroyed, this, [this, document, view] {
        OnViewDestroyed(document, view);
    });
    frame->show();
    view->setFocus();
    return frame;
}

std::vector<CQuorlenDoc *> CDocManager::Documents() const
{
    std::vector<CQuorlenDoc *> documents;
    for (const auto &document : m_documents)
        documents.push_back(document.get());
    return documents;
}

CQuorlenDoc *CDocManager::FindDocument(const std::string &path) const
{
    for (const auto &document : m_documents)
        if (SameFile(document->PathName(), path))
            return document.get();
    return nullptr;
}

std::vector<CChildFrame *> CDocManager::Frames(const CQuorlenDoc *document) const
{
    std::vector<CChildFrame *> frames;
    for (QMdiSubWindow *window : m_area->subWindowList())
        if (auto *frame = qobject_cast<CChildFrame *>(window);
            frame && frame->GetDocument() == document)
            frames.push_back(frame);
    return frames;
}

CChildFrame *CDocManager::ActiveFrame() const
{
    return qobject_cast<CChildFrame *>(m_area->activeSubWindow());
}

CQuorlenDoc *CDocManager::ActiveDocument() const
{
    const CChildFrame *frame = ActiveFrame();
    return frame ? frame->GetDocument() : nullptr;
}

CQuorlenView *CDocManager::ActiveView() const
{
    const CChildFrame *frame = ActiveFrame();
    return frame ? frame->GetView() : nullptr;
}

bool CDocManager::SaveAllModified()
{
    for (const auto &document : m_documents)
        if (!document->SaveModified())
            return false;
    return true;
}

void CDocManager::CloseAllDocuments()
{
    for (QMdiSubWindow *window : m_area->subWindowList())
        delete window;
}

void CDocManager::OnViewDestroyed(CQuorlenDoc *document, CQuorlenView *view)
{
    // A document whose windows closed together may already be gone.
    const bool known =
        std::any_of(m_documents.begin(), m_documents.end(), [document](const auto &d) {
            return d.get() == document;
        });
    emit viewDestroyed(view);
    if (!known)
        return;
    document->DetachView(view);
    // The document goes with its last window.
    if (!m_destroying && document->Views().empty())
        RemoveDocument(document);
}

void CDocManager::RemoveDocument(CQuorlenDoc *document)
{
    std::erase_if(m_documents, [document](const auto &d) {
        return d.get() == document;
    });
    emit documentCountChanged(static_cast<int>(m_documents.size()));
}

} // namespace ostrel

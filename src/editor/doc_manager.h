#pragma once

#include "editor/document_host.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

class QMdiArea;

namespace ostrel {

class CChildFrame;
class CQuorlenDoc;
class CQuorlenView;

// The one owner of the open source documents: creates them with their windows in the main
// window's area, finds them by path and answers which one is active.
class CDocManager : public QObject
{
    Q_OBJECT

public:
    CDocManager(
        DocumentServices services, DocumentHost &host, QMdiArea *area, QObject *parent = nullptr);
    ~CDocManager() override;

    // A file that is already open has its window activated instead. Nothing when the file
    // cannot be read (an empty path included); the document reports why.
    CQuorlenDoc *OpenDocumentFile(const std::string &path);
    // A new untitled document (Ostrel1, Ostrel2, ...) in a new window.
    CQuorlenDoc *NewDocument();
    // A further window on the same document.
    CChildFrame *CreateNewFrame(CQuorlenDoc *document);

    std::vector<CQuorlenDoc *> Documents() const;
    CQuorlenDoc *FindDocument(const std::string &path) const;
    std::vector<CChildFrame *> Frames(const CQuorlenDoc *document) const;
    // The source window in front, its document and its view; null when none is active.
    CChildFrame *ActiveFrame() const;
    CQuorlenDoc *ActiveDocument() const;
    CQuorlenView *ActiveView() const;

    // Asks about every modified document; false as soon as one is cancelled.
    bool SaveAllModified();
    // Closes every window and document without asking.
    void CloseAllDocuments();

signals:
    void documentCountChanged(int count);
    // A view is being destroyed; it must no longer be used.
    void viewDestroyed(CQuorlenView *view);

private:
    CQuorlenDoc *AddDocument(const std::string &path, bool untitled);
    CChildFrame *ShowFrame(CQuorlenDoc *document, CQuorlenView *view);
    void OnViewDestroyed(CQuorlenDoc *document, CQuorlenView *view);
    void RemoveDocument(CQuorlenDoc *document);

    DocumentServices m_services;
    DocumentHost &m_host;
    QMdiArea *m_area;
    std::vector<std::unique_ptr<CQuorlenDoc>> m_documents;
    int m_untitledCount = 0;
    bool m_destroying = false;
};

} // namespace ostrel

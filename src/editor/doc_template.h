#pragma once

#include <QObject>

#include <memory>
#include <string>
#include <vector>

class QMdiArea;

namespace ostrel {

class CChildFrame;
class CQuorlenDoc;
class CQuorlenView;
class DocumentHost;

// Creates source documents with their windows and keeps the list of open documents.
class CDocTemplate : public QObject
{
    Q_OBJECT

public:
    CDocTemplate(DocumentHost &host, QMdiArea *area, QObject *parent = nullptr);
    ~CDocTemplate() override;

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

    DocumentHost &m_host;
    QMdiArea *m_area;
    std::vector<std::unique_ptr<CQuorlenDoc>> m_documents;
    int m_untitledCount = 0;
    bool m_destroying = false;
};

} // namespace ostrel

#include "editor/snapshot_keeper.h"

#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "platform/message_boxes.h"
#include "platform/qt_services.h"

#include <QDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>

namespace ostrel {

namespace {

// Typing without pause is snapshotted at the latest after this many quiet-time delays.
constexpr int kLongestWait = 6;

std::unique_ptr<QLockFile> SessionLock(const SnapshotStore &store, const std::string &session)
{
    auto lock = std::make_unique<QLockFile>(ToQt((store.Folder() / (session + ".lock")).string()));
    // Only a lock whose process has gone counts as stale, however old it is.
    lock->setStaleLockTime(0);
    return lock;
}

int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

CSnapshotKeeper::CSnapshotKeeper(
    const std::string &dataFolder, CDocManager &documents, MessageBoxes &messages)
    : m_store(std::filesystem::path(dataFolder) / "snapshots")
    , m_session(SnapshotStore::NewSessionName())
    , m_documents(documents)
    , m_messages(messages)
{
    m_writer.setMaxThreadCount(1);
    QDir().mkpath(ToQt(m_store.Folder().string()));
    m_lock = SessionLock(m_store, m_session);
    m_lock->tryLock(0);
    connect(
        &documents, &CDocManager::documentCountChanged, this, &CSnapshotKeeper::TrackNewDocuments);
    TrackNewDocuments();
}

CSnapshotKeeper::~CSnapshotKeeper()
{
    // Documents still open here end without their save prompts: keep their latest text.
    for (auto &[document, tracked] : m_tracked)
        if (tracked.pendingSince.isValid())
            TakeSnapshot(document);
    m_writer.waitForDone();
    m_store.RemoveSessionIfEmpty(m_session);
}

void CSnapshotKeeper::TrackNewDocuments()
{
    for (CQuorlenDoc *document : m_documents.Documents()) {
        if (m_tracked.count(document))
            continue;
        Tracked &tracked = m_tracked[document];
        tracked.name = "doc" + std::to_string(m_nextName++);
        tracked.timer = new QTimer(this);
        tracked.timer->setSingleShot(true);
        connect(tracked.timer, &QTimer::timeout, this, [this, document] {
            TakeSnapshot(document);
        });
        connect(document, &CQuorlenDoc::textEdited, this, [this, document] {
            OnEdited(document);
        });
        connect(document, &CQuorlenDoc::titleChanged, this, [this, document] {
            OnModifiedChanged(document);
        });
        connect(document, &QObject::destroyed, this, [this, document] {
            OnDocumentGone(document);
        });
    }
}

void CSnapshotKeeper::OnEdited(CQuorlenDoc *document)
{
    auto found = m_tracked.find(document);
    if (found == m_tracked.end() || !document->IsModified())
        return;
    Tracked &tracked = found->second;
    if (!tracked.pendingSince.isValid())
        tracked.pendingSince.start();
    const qint64 waited = tracked.pendingSince.elapsed();
    const qint64 latest = static_cast<qint64>(m_delay) * kLongestWait;
    tracked.timer->start(static_cast<int>(std::clamp<qint64>(latest - waited, 0, m_delay)));
}

void CSnapshotKeeper::OnModifiedChanged(CQuorlenDoc *document)
{
    auto found = m_tracked.find(document);
    if (found == m_tracked.end() || document->IsModified())
        return;
    // Saved, or edited back to the saved text: the file on disk holds it all.
    found->second.timer->stop();
    found->second.pendingSince.invalidate();
    RemoveSnapshot(found->second);
}

void CSnapshotKeeper::OnDocumentGone(CQuorlenDoc *document)
{
    auto found = m_tracked.find(document);
    if (found == m_tracked.end())
        return;
    // Closed after a save or with its changes discarded.
    delete found->second.timer;
    RemoveSnapshot(found->second);
    m_tracked.erase(found);
}

void CSnapshotKeeper::TakeSnapshot(CQuorlenDoc *document)
{
    auto found = m_tracked.find(document);
    if (found == m_tracked.end())
        return;
    Tracked &tracked = found->second;
    tracked.timer->stop();
    tracked.pendingSince.invalidate();
    if (!document->IsModified())
        return;

    SnapshotInfo info { document->PathName(), document->Title(), Now() };
    if (!info.title.empty() && info.title.back() == '*')
        info.title.pop_back();
    // The only work on this thread: one copy of the bytes, never through a QString.
    auto bytes = std::make_shared<const std::string>(document->TextBytes());
    tracked.stored = true;
    m_writer.start([this, store = m_store, session = m_session, name = tracked.name,
                       info = std::move(info), bytes] {
        if (store.Write(session, name, info, *bytes))
            QMetaObject::invokeMethod(
                this, &CSnapshotKeeper::snapshotWritten, Qt::QueuedConnection);
    });
}

void CSnapshotKeeper::RemoveSnapshot(Tracked &tracked)
{
    if (!tracked.stored)
        return;
    tracked.stored = false;
    m_writer.start([store = m_store, session = m_session, name = tracked.name] {
        store.Remove(session, name);
    });
}

void CSnapshotKeeper::TakeDueSnapshots()
{
    std::vector<CQuorlenDoc *> due;
    for (auto &[document, tracked] : m_tracked)
        if (tracked.pendingSince.isValid())
            due.push_back(document);
    for (CQuorlenDoc *document : due)
        TakeSnapshot(document);
}

void CSnapshotKeeper::OfferRecovery()
{
    // Runs that left snapshots or a lock behind; the lock tells whether they still run.
    std::set<std::string> sessions;
    for (const QFileInfo &entry :
        QDir(ToQt(m_store.Folder().string()))
            .entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot))
        sessions.insert(FromQt(entry.isDir() ? entry.fileName() : entry.completeBaseName()));
    sessions.erase(m_session);

    for (const std::string &session : sessions) {
        auto lock = SessionLock(m_store, session);
        if (!lock->tryLock(0))
            continue; // another instance of the program is running with it
        for (const StoredSnapshot &snapshot : m_store.List(session)) {
            MessageRequest request { RecoveryQuestion(snapshot.info) };
            request.icon = MessageIcon::Question;
            request.buttons = MessageButtons::YesNo;
            if (m_messages.Show(request) != MessageAnswer::Yes || RestoreSnapshot(snapshot))
                m_store.Remove(snapshot.file);
        }
        m_store.RemoveSessionIfEmpty(session);
        // Unlocking removes the lock file; the folder stays only while a snapshot could not be
        // restored, to be offered again.
    }
}

bool CSnapshotKeeper::RestoreSnapshot(const StoredSnapshot &snapshot)
{
    const auto bytes = m_store.ReadContent(snapshot.file);
    if (!bytes)
        return false;
    const std::string &path = snapshot.info.originalPath;
    CQuorlenDoc *document = path.empty() ? nullptr : m_documents.FindDocument(path);
    std::error_code error;
    if (!document && !path.empty() && std::filesystem::is_regular_file(path, error))
        document = m_documents.OpenDocumentFile(path);
    if (!document) {
        // Untitled, or its file has gone: a new document that saves under the old name.
        document = m_documents.NewDocument();
        if (document && !path.empty())
            document->SetPathName(path);
    }
    if (!document)
        return false;
    document->ReplaceBytes(*bytes);
    // In this run's folder before the old snapshot goes.
    TakeSnapshot(document);
    WaitForWriter();
    return true;
}

} // namespace ostrel

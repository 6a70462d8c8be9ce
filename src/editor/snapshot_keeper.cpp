#include "editor/snapshot_keeper.h"

#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/text_bytes.h"
#include "platform/message_boxes.h"
#include "platform/qt_services.h"

#include <QDir>
#include <QSysInfo>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#ifndef _WIN32
#include <csignal>
#endif

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

// Whether another instance of the program holds the lock of a session. A lock that cannot be
// taken although no process of this machine holds it (it could not be replaced, or is no lock
// file at all) does not keep its snapshots from being offered.
bool HeldByAnother(QLockFile &lock)
{
    if (lock.tryLock(0))
        return false;
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application))
        return false;
    if (host != QSysInfo::machineHostName())
        return true; // a shared folder: whether it runs cannot be told from here
#ifdef _WIN32
    return true;
#else
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
#endif
}

// Why a snapshot could not be written into `folder`, in the system's words.
std::string WhyNotWritable(const std::filesystem::path &folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return error.message();
    const auto probe = folder / "probe.tmp";
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        const std::string block(4096, '\0');
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
        out.flush();
        if (!out) {
            const int saved = errno;
            std::filesystem::remove(probe, error);
            return saved != 0 ? std::strerror(saved) : "it cannot be written";
        }
    }
    std::filesystem::remove(probe, error);
    return "it cannot be written";
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
    // Told as the edit begins, so the modified flag may not be set yet: the snapshot looks at it.
    auto found = m_tracked.find(document);
    if (found == m_tracked.end())
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
        if (store.Write(session, name, info, *bytes)) {
            QMetaObject::invokeMethod(
                this, &CSnapshotKeeper::snapshotWritten, Qt::QueuedConnection);
            return;
        }
        const std::string reason = WhyNotWritable(store.SessionFolder(session));
        QMetaObject::invokeMethod(
            this,
            [this, reason] {
                WarnNotKept(reason);
            },
            Qt::QueuedConnection);
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

void CSnapshotKeeper::WarnNotKept(const std::string &reason)
{
    if (m_warnedNotKept)
        return;
    m_warnedNotKept = true;
    m_messages.Warn("Unsaved changes are not being kept for crash recovery: the folder\n"
        + ShortenForMessage(m_store.Folder().string()) + "\ncannot be written (" + reason
        + ").\n\nSave your work to keep it.");
}

void CSnapshotKeeper::OfferRecovery()
{
    // Runs that left snapshots or a lock behind; the lock tells whether they still run. Only
    // names this program gives are looked at: anything else in the folder is not its own.
    std::set<std::string> sessions;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(m_store.Folder(), error)) {
        const auto name = entry.path().filename();
        if (SnapshotStore::IsSessionName(name.string()))
            sessions.insert(name.string());
        else if (name.extension() == ".lock" && SnapshotStore::IsSessionName(name.stem().string()))
            sessions.insert(name.stem().string());
    }
    sessions.erase(m_session);

    for (const std::string &session : sessions) {
        auto lock = SessionLock(m_store, session);
        if (HeldByAnother(*lock))
            continue; // another instance of the program is running with it
        std::vector<std::filesystem::path> foreign;
        const auto snapshots = m_store.List(session, &foreign);
        if (!foreign.empty()) {
            std::string names;
            for (const auto &file : foreign)
                names += "\n" + ShortenForMessage(file.string());
            m_messages.Warn("These files in the folder of crash-recovery snapshots are no "
                            "snapshots; they were left as they are:"
                + names);
        }
        for (const StoredSnapshot &snapshot : snapshots) {
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

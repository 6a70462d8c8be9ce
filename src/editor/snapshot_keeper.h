#pragma once

#include "editor/snapshot_store.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QObject>
#include <QThreadPool>

#include <map>
#include <memory>
#include <string>

class QTimer;

namespace ostrel {

class CDocManager;
class CQuorlenDoc;
class MessageBoxes;

// Keeps a snapshot of every modified document in the user's data folder, a while after its last
// change, and offers the snapshots of a run that did not end normally back at the next start.
// The text is copied on the user-interface thread (a plain copy of the bytes); the file is
// written on a thread of its own, so that a large document does not stall typing. A save
// or a discard removes the document's snapshot; a normal end leaves none behind.
class CSnapshotKeeper : public QObject
{
    Q_OBJECT

public:
    // `dataFolder` is the user's data folder for this program; snapshots go below it.
    CSnapshotKeeper(const std::string &dataFolder, CDocManager &documents, MessageBoxes &messages);
    // Waits for the writer. Removes this run's folder when no snapshot is left in it; snapshots
    // of documents still open and modified stay, to be offered at the next start.
    ~CSnapshotKeeper() override;

    // The quiet time after the last change before a snapshot is taken (10 s unless set); typing
    // without pause is snapshotted at the latest after six times that.
    void SetDelay(int milliseconds) { m_delay = milliseconds; }

    // Asks, for each snapshot of a run that ended abnormally, whether to restore it as a
    // modified document; answers No discard it.
    void OfferRecovery();
    // Takes the snapshots that are due later now: copies the texts and hands them to the writer.
    void TakeDueSnapshots();
    // The same, then waits until every write has finished.
    void SnapshotNow()
    {
        TakeDueSnapshots();
        WaitForWriter();
    }
    void WaitForWriter() { m_writer.waitForDone(); }

    const SnapshotStore &Store() const { return m_store; }
    const std::string &Session() const { return m_session; }

signals:
    // A snapshot file was written (emitted on the user-interface thread).
    void snapshotWritten();

private:
    struct Tracked
    {
        std::string name; // the snapshot's file name in this run's folder
        QTimer *timer = nullptr;
        QElapsedTimer pendingSince; // first change not yet in a snapshot
        bool stored = false; // a snapshot was written (or is being written)
    };

    void TrackNewDocuments();
    void OnEdited(CQuorlenDoc *document);
    void OnModifiedChanged(CQuorlenDoc *document);
    void OnDocumentGone(CQuorlenDoc *document);
    void TakeSnapshot(CQuorlenDoc *document);
    void RemoveSnapshot(Tracked &tracked);
    bool RestoreSnapshot(const StoredSnapshot &snapshot);
    // Tells the user, once a run, that unsaved work is not being kept.
    void WarnNotKept(const std::string &reason);

    SnapshotStore m_store;
    std::string m_session;
    std::unique_ptr<QLockFile> m_lock;
    CDocManager &m_documents;
    MessageBoxes &m_messages;
    std::map<CQuorlenDoc *, Tracked> m_tracked;
    int m_nextName = 1;
    int m_delay = 10000;
    bool m_warnedNotKept = false;
    QThreadPool m_writer; // one thread: writes and removals happen in the order asked
};

} // namespace ostrel

// A child process for the crash test: runs the whole application on a file, types into it,
// waits until the snapshot is on disk, says "ready" and runs on until it is killed.
// usage: snapshot_crash_driver PROGRAM_DIR DATA_DIR FILE TEXT
#include "app/quorlen_app.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "editor/snapshot_keeper.h"
#include "fakes/fake_service_set.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 5)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    using namespace ostrel;
    test::FakeServiceSet fakes;
    CQuorlenApp app(fakes.Services(), { argv[1], std::string(argv[1]) + "/config", argv[2] });
    if (!app.InitInstance({ "ostrel", argv[3] }) || !app.Snapshots())
        return 3;
    const auto documents = app.DocManager().Documents();
    if (documents.size() != 1)
        return 4;
    CQuorlenView *view = documents.front()->Views().front();
    QTest::keyClicks(view, QString::fromLatin1(argv[4]));
    app.Snapshots()->SnapshotNow();
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    return application.exec();
}

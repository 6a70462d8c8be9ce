#include "app/main_frame.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "editor/snapshot_keeper.h"
#include "support/app_fixture.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace ostrel {
namespace {

using test::AppFixture;

// Everything below the snapshots folder: session folders, snapshots and lock files.
std::vector<std::string> FolderContents(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(folder, error))
        names.push_back(std::filesystem::relative(entry.path(), folder).string());
    return names;
}

class SnapshotKeeperTest : public ::testing::Test
{
protected:
    CSnapshotKeeper &Keeper() { return *f.App().Snapshots(); }
    std::vector<StoredSnapshot> Stored() { return Keeper().Store().List(Keeper().Session()); }
    std::filesystem::path SnapshotsFolder() { return f.dir.Path() / "data" / "snapshots"; }
    CQuorlenView *Type(CQuorlenDoc *doc, const char *text)
    {
        CQuorlenView *view = doc->Views().front();
        view->setFocus();
        QTest::keyClicks(view, QString::fromLatin1(text));
        return view;
    }

    AppFixture f;
};

TEST_F(SnapshotKeeperTest, SnapshotFollowsEditsAndGoesWithSaveDiscardAndNormalExit)
{
    const std::string path = f.dir.File("MAIN.C");
    test::WriteBytes(path, test::ToBytes("int x;\r\n\xe9\r\n"));
    f.Start({ path });
    CQuorlenDoc *doc = f.App().DocManager().Documents().front();
    Keeper().SetDelay(0);

    // Throttled through the event loop: the snapshot comes after the last key.
    QSignalSpy written(&Keeper(), &CSnapshotKeeper::snapshotWritten);
    Type(doc, "ab");
    ASSERT_TRUE(written.wait(5000));
    Keeper().WaitForWriter();
    auto stored = Stored();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].info.originalPath, path);
    EXPECT_EQ(stored[0].info.title, "MAIN.C");
    EXPECT_EQ(Keeper().Store().ReadContent(stored[0].file), "abint x;\r\n\xe9\r\n");
    EXPECT_EQ(test::ReadBytes(path), test::ToBytes("int x;\r\n\xe9\r\n"))
        << "the file is not touched";

    ASSERT_TRUE(doc->DoFileSave());
    Keeper().WaitForWriter();
    EXPECT_TRUE(Stored().empty()) << "a save removes the snapshot";

    // An untitled document too; then quitting and discarding both leaves nothing behind.
    CQuorlenDoc *untitled = f.App().DocManager().NewDocument();
    Type(untitled, "new");
    Type(doc, "c");
    Keeper().SnapshotNow();
    EXPECT_EQ(Stored().size(), 2u);
    f.messages.answers = { MessageAnswer::No, MessageAnswer::No };
    f.App().OnAppExit();
    EXPECT_EQ(f.messages.Count("Save changes to MAIN.C?"), 1u);
    f.app.reset();
    EXPECT_EQ(FolderContents(SnapshotsFolder()), std::vector<std::string>());
}

// The process is killed while a document is modified; the next start offers its snapshot and
// restores the bytes exactly, as a modified document whose file is one Undo away.
TEST_F(SnapshotKeeperTest, WorkSurvivesAKilledProcess)
{
    const std::string original("/* caf\xe9 */\r\nint x;\r\n", 20);
    const std::string path = f.dir.File("MAIN.C");
    test::WriteBytes(path, test::ToBytes(original));

    QProcess child;
    child.start(QStringLiteral(OSTREL_CRASH_DRIVER),
        { QString::fromStdString(f.ProgramDir()), QString::fromStdString(f.dir.File("data")),
            QString::fromStdString(path), QStringLiteral("typed ") });
    ASSERT_TRUE(child.waitForStarted());
    QByteArray output;
    while (!output.contains("ready\n") && child.waitForReadyRead(30000))
        output += child.readAllStandardOutput();
    ASSERT_TRUE(output.contains("ready\n")) << output.constData();
    child.kill(); // SIGKILL
    ASSERT_TRUE(child.waitForFinished());
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    f.messages.answers = { MessageAnswer::Yes };
    f.Start();
    ASSERT_EQ(f.messages.shown.size(), 1u);
    const MessageRequest &question = f.messages.shown[0];
    EXPECT_NE(question.text.find("MAIN.C (" + path + ")"), std::string::npos) << question.text;
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);

    CQuorlenDoc *doc = f.App().DocManager().FindDocument(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsModified());
    CQuorlenView *view = doc->Views().front();
    EXPECT_EQ(view->TextBytes(), "typed " + original);
    EXPECT_EQ(test::ReadBytes(path), test::ToBytes(original));
    // The snapshot moved into this run; the killed run's folder is gone.
    Keeper().WaitForWriter();
    ASSERT_EQ(Stored().size(), 1u);
    EXPECT_EQ(Keeper().Store().ReadContent(Stored()[0].file), "typed " + original);
    EXPECT_EQ(Keeper().Store().Sessions(), std::vector<std::string> { Keeper().Session() });
    // Another instance starting now leaves the snapshots of this running one alone.
    test::FakeMessageBoxes otherMessages;
    CSnapshotKeeper other(f.dir.File("data"), f.App().DocManager(), otherMessages);
    other.OfferRecovery();
    EXPECT_TRUE(otherMessages.shown.empty());
    EXPECT_EQ(Stored().size(), 1u);
    view->undo();
    EXPECT_EQ(view->TextBytes(), original);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(SnapshotKeeperTest, DeclinedSnapshotIsDiscarded)
{
    {
        SnapshotStore store(SnapshotsFolder());
        ASSERT_TRUE(store.Write("0000000000001-0000dead", "doc1", { "", "Ostrel3", 0 }, "lost?"));
    }
    f.messages.answers = { MessageAnswer::No };
    f.Start();
    EXPECT_EQ(f.messages.shown.size(), 1u);
    EXPECT_TRUE(f.App().DocManager().Documents().size() <= 1u);
    EXPECT_EQ(Keeper().Store().Sessions(), std::vector<std::string>());
}

// Only the program's own files are touched: a note of the user's beside the sessions stays, a
// "*.snap" that is no snapshot is reported and kept, and a snapshot whose old lock cannot be
// replaced (here the lock's name is taken by a folder) is still offered.
TEST_F(SnapshotKeeperTest, ForeignFilesStayAndAStuckLockHidesNoSnapshot)
{
    const std::string stuck = "0000000000001-00000001";
    const std::string foreign = "0000000000002-00000002";
    {
        SnapshotStore store(SnapshotsFolder());
        ASSERT_TRUE(store.Write(stuck, "doc1", { "", "Ostrel3", 0 }, "kept"));
        std::filesystem::create_directories(SnapshotsFolder() / (stuck + ".lock"));
        std::filesystem::create_directories(store.SessionFolder(foreign));
        test::WriteText((store.SessionFolder(foreign) / "junk.snap").string(), "junk");
        test::WriteText((SnapshotsFolder() / "notes").string(), "mine");
    }
    f.messages.answers = { MessageAnswer::Yes };
    f.Start();
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_NE(f.messages.shown[0].text.find("Ostrel3"), std::string::npos);
    EXPECT_NE(f.messages.shown[1].text.find("junk.snap"), std::string::npos);
    CQuorlenDoc *restored = f.App().DocManager().Documents().back();
    EXPECT_EQ(restored->TextBytes(), "kept");
    EXPECT_EQ(test::ReadBytes((SnapshotsFolder() / "notes").string()), test::ToBytes("mine"));
    EXPECT_TRUE(std::filesystem::exists(SnapshotsFolder() / foreign / "junk.snap"));
}

// A snapshot folder that cannot be written (here a file holds its name) is told once, when
// the first snapshot is due, and nothing of the user's is touched.
TEST_F(SnapshotKeeperTest, SaysOnceThatUnsavedWorkIsNotKept)
{
    std::filesystem::create_directories(SnapshotsFolder().parent_path());
    test::WriteText(SnapshotsFolder().string(), "not a folder");
    const std::string path = f.dir.File("MAIN.C");
    test::WriteText(path, "int x;\n");
    f.Start({ path });
    CQuorlenDoc *doc = f.App().DocManager().Documents().front();
    for (const char *text : { "a", "b" }) {
        Type(doc, text);
        Keeper().SnapshotNow();
        QCoreApplication::sendPostedEvents();
    }
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_NE(f.messages.shown[0].text.find("not being kept"), std::string::npos)
        << f.messages.shown[0].text;
    EXPECT_EQ(test::ReadBytes(SnapshotsFolder().string()), test::ToBytes("not a folder"));
    f.messages.answers = { MessageAnswer::No };
}

} // namespace
} // namespace ostrel

#include "editor/child_frame.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "framework/recent_file_list.h"
#include "platform/qt_services.h"
#include "support/app_fixture.h"
#include "support/test_mounts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace ostrel {
namespace {

using test::AppFixture;
using test::ReadBytes;
using test::ToBytes;
using test::WriteBytes;
using test::WriteText;

class DocumentTest : public ::testing::Test
{
protected:
    void SetUp() override { f.Start(); }

    CQuorlenDoc *Open(const std::string &path)
    {
        return f.App().DocManager().OpenDocumentFile(path);
    }
    static CQuorlenView *View(CQuorlenDoc *doc) { return doc->Views().front(); }

    AppFixture f;
};

TEST_F(DocumentTest, UnchangedFilesSaveByteForByte)
{
    const std::string_view contents[] = {
        "int main(void)\r\n{\r\n\treturn 0;\r\n}\r\n",
        "/* caf\xe9 \xa9 \x80\xff */\r\nchar c = '\xb5';\r\n", // Latin-1, CR LF
        std::string_view("a\0b\r\nc\0", 7), // NUL bytes
        "unix\nlines\n",
        "utf-8: \xc3\xa9\xe2\x82\xac\n",
        "old mac\rlines\r",
        "",
    };
    int index = 0;
    for (std::string_view content : contents) {
        SCOPED_TRACE(index);
        const std::string path = f.dir.File("file" + std::to_string(index++) + ".c");
        WriteBytes(path, ToBytes(content));
        CQuorlenDoc *doc = Open(path);
        ASSERT_NE(doc, nullptr);
        EXPECT_FALSE(doc->IsModified());
        EXPECT_EQ(View(doc)->TextBytes(), content);
        ASSERT_TRUE(doc->DoFileSave());
        EXPECT_EQ(ReadBytes(path), ToBytes(content));
    }
}

TEST_F(DocumentTest, CopyAndPasteKeepSingleByteCharacters)
{
    const std::string path = f.dir.File("latin1.c");
    WriteText(path, "/* \xe9t\xe9 */\n");
    CQuorlenDoc *doc = Open(path);
    CQuorlenView *view = View(doc);
    view->SendScintilla(QsciScintillaBase::SCI_SETSEL, 3UL, 6L); // the three bytes "\xe9t\xe9"
    view->OnEditCopy();
    EXPECT_EQ(f.clipboard.Text(), "\xc3\xa9t\xc3\xa9"); // UTF-8 on the clipboard
    view->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    view->OnEditPaste();
    EXPECT_EQ(view->TextBytes(), "/* \xe9t\xe9 */\n\xe9t\xe9");
}

TEST_F(DocumentTest, TypedLinesFollowTheFilesLineEnds)
{
    const std::string path = f.dir.File("crlf.c");
    WriteText(path, "a\r\nb\r\n");
    CQuorlenDoc *doc = Open(path);
    ASSERT_NE(doc, nullptr);
    CQuorlenView *view = View(doc);
    view->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    view->SendScintilla(QsciScintillaBase::SCI_NEWLINE);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->Title(), "crlf.c*");
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(ReadBytes(path), ToBytes("a\r\nb\r\n\r\n"));
    EXPECT_EQ(doc->Title(), "crlf.c");
}

TEST_F(DocumentTest, SaveAsAddsTheDefaultExtensionAndTakesTheNewName)
{
    CQuorlenDoc *doc = f.App().DocManager().Documents().front(); // the untitled Ostrel1
    View(doc)->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 5UL, "hello");
    f.fileDialogs.saveAnswers.push_back(f.dir.File("main"));
    ASSERT_TRUE(doc->DoFileSave());

    ASSERT_EQ(f.fileDialogs.saveRequests.size(), 1u);
    const FileDialogRequest &request = f.fileDialogs.saveRequests[0];
    EXPECT_EQ(request.defaultExtension, "C");
    EXPECT_EQ(request.filter,
        "C Files (*.c)|*.c|ASM Files (*.asm)|*.asm|All Files (*.*)|*.*|"
        "Data Files (*.C;*.asm;)|*.c;*.asm||");
    EXPECT_EQ(ReadBytes(f.dir.File("main.C")), ToBytes("hello"));
    EXPECT_EQ(doc->PathName(), f.dir.File("main.C"));
    EXPECT_EQ(doc->Title(), "main.C");

    // Cancelling the dialog saves nothing and keeps the name.
    View(doc)->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 1UL, "!");
    EXPECT_FALSE(doc->DoSaveAs());
    EXPECT_EQ(doc->PathName(), f.dir.File("main.C"));
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(DocumentTest, FailedSaveAsKeepsFileNameAndModifiedFlag)
{
    const std::string path = f.dir.File("keep.c");
    WriteText(path, "old\n");
    CQuorlenDoc *doc = Open(path);
    View(doc)->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 3UL, "new");
    f.fileDialogs.saveAnswers.push_back(f.dir.File("no such folder/x.c"));

    EXPECT_FALSE(doc->DoSaveAs());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text.rfind("Cannot save the file\n", 0), 0u);
    EXPECT_EQ(doc->PathName(), path);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(ReadBytes(path), ToBytes("old\n"));
}

// A writable file in a folder that takes no new file is saved in place. Root writes into any
// folder, so there the folder is a read-only mount (skipped where mounting is not allowed).
TEST_F(DocumentTest, SaveInReadOnlyFolderWritesTheFileInPlace)
{
    const std::string folder = f.dir.File("ro");
    std::filesystem::create_directory(folder);
    const std::string path = folder + "/MAIN.C";
    std::string bytesAt = path;
    test::TestMounts mounts;
    if (geteuid() == 0) {
        bytesAt = f.dir.File("bound.c");
        WriteText(bytesAt, "old\r\n");
        if (!mounts.ReadOnlyFolderWithWritableFile(folder, "MAIN.C", bytesAt))
            GTEST_SKIP() << "root writes into read-only folders, and " << mounts.Error();
    } else {
        WriteText(path, "old\r\n");
    }
    CQuorlenDoc *doc = Open(path);
    View(doc)->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 3UL, "new");
    if (geteuid() != 0)
        std::filesystem::permissions(
            folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_TRUE(doc->DoFileSave());
    std::error_code ignored;
    std::filesystem::permissions(
        folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    EXPECT_EQ(ReadBytes(bytesAt), ToBytes("newold\r\n"));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST_F(DocumentTest, SaveOnAFullDiskSaysSoAndKeepsTheOldFile)
{
    const std::string disk = f.dir.File("disk");
    std::filesystem::create_directory(disk);
    test::TestMounts mounts;
    if (!mounts.Tmpfs(disk, 32 * 1024))
        GTEST_SKIP() << "needs a small disk: " << mounts.Error();
    const std::string path = disk + "/MAIN.C";
    WriteText(path, "old\n");
    CQuorlenDoc *doc = Open(path);
    const std::string more(100 * 1024, 'x');
    View(doc)->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, more.size(), more.data());
    EXPECT_FALSE(doc->DoFileSave());
    EXPECT_EQ(f.messages.Texts(),
        std::vector<std::string> { "Cannot save the file\n" + path
            + "\nNo space left on device\nThe file on disk was not changed." });
    EXPECT_EQ(ReadBytes(path), ToBytes("old\n"));
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(DocumentTest, OpeningAnOpenFileActivatesItsWindow)
{
    const std::string a = f.dir.File("a.c"), b = f.dir.File("b.c");
    WriteText(a, "a");
    WriteText(b, "b");
    CQuorlenDoc *docA = Open(a);
    Open(b);
    const size_t count = f.App().DocManager().Documents().size();
    EXPECT_EQ(Open(f.dir.File("./a.c")), docA);
    EXPECT_EQ(f.App().DocManager().Documents().size(), count);
    auto *active = qobject_cast<CChildFrame *>(
        f.App().DocManager().Frames(docA).front()->mdiArea()->activeSubWindow());
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->GetDocument(), docA);
}

TEST_F(DocumentTest, SecondWindowSharesTextAndClosingAsksOnlyAtTheLast)
{
    const std::string path = f.dir.File("two.c");
    WriteText(path, "x");
    CQuorlenDoc *doc = Open(path);
    CChildFrame *second = f.App().DocManager().CreateNewFrame(doc);
    second->GetView()->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 1UL, "y");
    EXPECT_EQ(View(doc)->TextBytes(), second->GetView()->TextBytes());
    EXPECT_TRUE(doc->IsModified());

    EXPECT_TRUE(second->close()); // another window remains: no question
    EXPECT_TRUE(f.messages.shown.empty());

    CChildFrame *first = f.App().DocManager().Frames(doc).front();
    f.messages.answers.push_back(MessageAnswer::Cancel);
    EXPECT_FALSE(first->close());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, "Save changes to two.c?");

    f.messages.answers.push_back(MessageAnswer::No);
    EXPECT_TRUE(first->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(f.App().DocManager().FindDocument(path), nullptr);
    EXPECT_EQ(ReadBytes(path), ToBytes("x"));
}

TEST_F(DocumentTest, ClosingAllWindowsAtOnceStillAsksAndSaves)
{
    const std::string path = f.dir.File("all.c");
    WriteText(path, "x");
    CQuorlenDoc *doc = Open(path);
    f.App().DocManager().CreateNewFrame(doc);
    doc->Views().front()->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 1UL, "y");

    QMdiArea *area = f.App().DocManager().Frames(doc).front()->mdiArea();
    area->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(f.messages.Texts(), std::vector<std::string> { "Save changes to all.c?" });
    EXPECT_EQ(ReadBytes(path), ToBytes("yx"));
    EXPECT_TRUE(f.App().DocManager().Documents().empty());
}

// Why a file does not open, in a box of sane size: a FIFO or a device is no regular file, a
// name longer than the system takes is said to be so, and a long path is shortened.
TEST_F(DocumentTest, OpenFailuresSayWhatHappenedInASmallBox)
{
    const std::string fifo = f.dir.File("pipe.c");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        { fifo, "It is not a regular file" },
        { "/dev/null", "It is not a regular file" },
        { f.dir.File(std::string(5000, 'a') + ".c"), std::strerror(ENAMETOOLONG) },
        { f.dir.File("missing.c"), "The file does not exist." },
    };
    for (const auto &[path, reason] : cases) {
        SCOPED_TRACE(path.substr(0, 80));
        f.messages.shown.clear();
        EXPECT_EQ(Open(path), nullptr);
        ASSERT_EQ(f.messages.shown.size(), 1u);
        const std::string &text = f.messages.shown[0].text;
        EXPECT_NE(text.find(reason), std::string::npos) << text;
        EXPECT_LT(text.size(), 300u);
    }
}

// Names that are no UTF-8 keep their bytes through the user's profile; what earlier versions
// wrote there as text is still read.
TEST(RecentFiles, KeepTheBytesOfEveryNameInTheProfile)
{
    test::TempDir dir;
    QSettings::setPath(
        QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.Path()));
    {
        QSettings earlier(QStringLiteral("TREMBLAR's ZILDOR"), QStringLiteral("Ostrel"));
        earlier.setValue(QStringLiteral("Recent File List/File1"), QStringLiteral("/old/\u00e9.c"));
    }
    {
        QtProfile profile;
        RecentFileList list;
        list.ReadFrom(profile);
        EXPECT_EQ(list.Entries(), std::vector<std::string> { "/old/\xc3\xa9.c" });
        list.Add("/p/plain.c");
        list.Add("/p/caf\xe9.c");
        list.WriteTo(profile);
    }
    QtProfile profile;
    RecentFileList back;
    back.ReadFrom(profile);
    EXPECT_EQ(back.Entries(),
        (std::vector<std::string> { "/p/caf\xe9.c", "/p/plain.c", "/old/\xc3\xa9.c" }));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

} // namespace
} // namespace ostrel

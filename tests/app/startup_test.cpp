#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/workspace_file.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "project/project_file.h"
#include "support/app_fixture.h"

#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

namespace ostrel {
namespace {

using test::AppFixture;
using test::ReadBytes;
using test::WriteBytes;
using test::WriteText;

std::vector<std::string> Titles(CQuorlenApp &app)
{
    std::vector<std::string> titles;
    for (CQuorlenDoc *doc : app.DocManager().Documents())
        titles.push_back(doc->Title());
    return titles;
}

std::string WriteProject(AppFixture &f, const std::string &cFile)
{
    ProjectRecord project;
    project.projectPath = f.dir.File("BLINK.PRJ");
    project.cFile = cFile;
    project.cpuType = CpuAt90s2313;
    test::FakeMessageBoxes quiet;
    EXPECT_TRUE(SaveProject(project, quiet));
    return project.projectPath;
}

TEST(Startup, CommandLineFileIsOpenedAndForgetsTheRememberedProject)
{
    AppFixture f;
    const std::string source = f.dir.File("my dir/MAIN.C");
    std::filesystem::create_directories(f.dir.File("my dir"));
    WriteText(source, "int x;\n");
    const std::string project = WriteProject(f, source);
    WriteBytes(f.WorkspacePath(), EncodeWorkspace({ source, 1, project }));

    // Desktop shells pass a quoted path with blanks as several words.
    CQuorlenApp &app = f.Start({ "\"" + f.dir.File("my"), "dir/MAIN.C\"" });

    EXPECT_EQ(Titles(app), std::vector<std::string> { "MAIN.C" });
    EXPECT_EQ(app.Project().IsOpen(), false);
    EXPECT_EQ(app.Project().Path(), "NONAME");
    EXPECT_EQ(ReadBytes(f.WorkspacePath()), EncodeWorkspace({ source, 0, "NONAME" }));
    EXPECT_EQ(app.Project().CommandOptions(), "/sm /c3 /s /o0x30");
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(Startup, WorkspaceReopensFileAndProject)
{
    AppFixture f;
    const std::string source = f.dir.File("MAIN.C");
    WriteText(source, "void main(void) {}\n");
    const std::string project = WriteProject(f, source);
    WriteBytes(f.WorkspacePath(), EncodeWorkspace({ source, 1, project }));

    CQuorlenApp &app = f.Start();

    EXPECT_EQ(Titles(app), std::vector<std::string> { "MAIN.C" });
    EXPECT_EQ(app.Project().IsOpen(), true);
    EXPECT_EQ(app.Project().Record().cpuType, CpuAt90s2313);
    EXPECT_EQ(app.Project().CommandOptions(), "/sm /c1 /s /o0x30");
    EXPECT_EQ(app.MainFrame()->ProjectBox()->count(), 1);
    EXPECT_EQ(app.MainFrame()->ProjectBox()->currentText().toStdString(), "BLINK");
    EXPECT_EQ(app.MainFrame()->LinePane()->text().toStdString(), "Line 1");
    // Reopening the file passes through the open hook, which writes the same three values.
    EXPECT_EQ(ReadBytes(f.WorkspacePath()), EncodeWorkspace({ source, 1, project }));
}

TEST(Startup, MissingProjectIsReportedOnceAndTheFileStaysOpen)
{
    AppFixture f;
    const std::string source = f.dir.File("MAIN.C");
    WriteText(source, "x");
    WriteBytes(f.WorkspacePath(), EncodeWorkspace({ source, 1, f.dir.File("GONE.PRJ") }));

    CQuorlenApp &app = f.Start();

    EXPECT_EQ(f.messages.Texts(), std::vector<std::string> { "Can not open prj File" });
    EXPECT_EQ(app.Project().IsOpen(), false);
    EXPECT_EQ(Titles(app), std::vector<std::string> { "MAIN.C" });
    EXPECT_EQ(app.Project().CommandOptions(), "/sm /c3 /s /o0x30");
    EXPECT_EQ(app.MainFrame()->ProjectBox()->currentText().toStdString(), "Empty Project");
}

TEST(Startup, WithoutAFileToReopenTheNewChooserIsOffered)
{
    for (const bool withWorkspace : { false, true }) {
        SCOPED_TRACE(withWorkspace);
        AppFixture f;
        // A workspace that names no file starts as a first run does.
        if (withWorkspace)
            WriteBytes(f.WorkspacePath(), EncodeWorkspace({ "", 0, "NONAME" }));
        CQuorlenApp &app = f.Start();
        EXPECT_EQ(f.chooser.count, 1);
        EXPECT_EQ(Titles(app), std::vector<std::string> { "Ostrel1" });
        EXPECT_EQ(app.Project().IsOpen(), false);
        EXPECT_EQ(std::filesystem::exists(f.WorkspacePath()), withWorkspace);

        app.OnFileNew();
        EXPECT_EQ(f.chooser.count, 2);
        EXPECT_EQ(Titles(app), (std::vector<std::string> { "Ostrel1", "Ostrel2" }));
        EXPECT_TRUE(f.messages.shown.empty());
    }
}

TEST(Startup, MissingLastFileIsReportedAndStillRecorded)
{
    AppFixture f;
    const std::string gone = f.dir.File("GONE.C");
    WriteBytes(f.WorkspacePath(), EncodeWorkspace({ gone, 0, "NONAME" }));

    CQuorlenApp &app = f.Start();

    EXPECT_TRUE(app.DocManager().Documents().empty());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_NE(f.messages.shown[0].text.find(gone), std::string::npos);
    EXPECT_EQ(ReadBytes(f.WorkspacePath()), EncodeWorkspace({ gone, 0, "NONAME" }));
}

TEST(Startup, CompilerOutputFileIsNeverRecorded)
{
    AppFixture f;
    const std::string source = f.dir.File("MAIN.C");
    WriteText(source, "x");
    CQuorlenApp &app = f.Start({ source });
    const auto before = ReadBytes(f.WorkspacePath());

    for (const char *name : { "OUTPUT.ERR", "output.err", "Output.Err" }) {
        const std::string path = f.dir.File(name);
        WriteText(path, "Error MAIN.C(1): something went wrong\n");
        EXPECT_NE(app.DocManager().OpenDocumentFile(path), nullptr) << name;
        EXPECT_EQ(ReadBytes(f.WorkspacePath()), before) << name;
    }
}

TEST(Startup, UnwritableProgramDirectoryKeepsWorkspaceInConfigFolder)
{
    AppFixture f;
    // Not a directory at all: nothing can be written there.
    WriteText(f.dir.File("file"), "");
    CQuorlenApp app(f.Services(), AppPaths { f.dir.File("file/bin"), f.dir.File("config"), {} });
    const std::string source = f.dir.File("MAIN.C");
    WriteText(source, "x");
    app.InitInstance({ "ostrel", source });
    EXPECT_EQ(app.WorkspacePath(), f.dir.File("config/VOTRIX.cfg"));
    EXPECT_EQ(ReadBytes(app.WorkspacePath()), EncodeWorkspace({ source, 0, "NONAME" }));
}

// A FIFO wherever the start-up reads a file: each is reported like an unreadable file (or
// silently passed over where a missing file is), and the start goes on. A FIFO without a
// writer blocks a plain open for good, so the alarm ends a regression instead of the test
// hanging.
TEST(Startup, FifosAreNotOpenedAndTheStartGoesOn)
{
    alarm(60);
    AppFixture f;
    const std::string source = f.dir.File("MAIN.C");
    WriteText(source, "int x;\n");
    const std::string fifo = f.dir.File("fifo.c");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    // On the command line; recorded, so the next start from the workspace meets it again.
    for (const std::vector<std::string> &words : { std::vector<std::string> { fifo }, {} }) {
        CQuorlenApp &app = f.Start(words);
        EXPECT_TRUE(app.DocManager().Documents().empty());
        ASSERT_EQ(f.messages.shown.size(), 1u);
        EXPECT_EQ(f.messages.shown[0].text.rfind("Cannot open the file\n" + fifo + "\n", 0), 0u);
        f.messages.shown.clear();
    }

    // As the project file: the project's message, and the file stays open.
    WriteBytes(f.WorkspacePath(), EncodeWorkspace({ source, 1, fifo }));
    CQuorlenApp &withProject = f.Start();
    EXPECT_EQ(f.messages.Texts(), std::vector<std::string> { "Can not open prj File" });
    EXPECT_FALSE(withProject.Project().IsOpen());
    EXPECT_EQ(Titles(withProject), std::vector<std::string> { "MAIN.C" });
    f.messages.shown.clear();

    // As the workspace file: as if there were none.
    std::filesystem::remove(f.WorkspacePath());
    ASSERT_EQ(mkfifo(f.WorkspacePath().c_str(), 0600), 0);
    CQuorlenApp &fresh = f.Start();
    EXPECT_EQ(Titles(fresh), std::vector<std::string> { "Ostrel1" });
    alarm(0);
}

// A file name that is no UTF-8 (Latin-1 "café.c") opens from the command line and is recorded
// byte for byte, so that the next start reopens it.
TEST(Startup, NonUtf8NameRoundTripsThroughTheWorkspace)
{
    AppFixture f;
    const std::string name = f.dir.File("caf\xE9.c");
    WriteText(name, "int x;\n");
    f.Start({ name });
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(ReadBytes(f.WorkspacePath()), EncodeWorkspace({ name, 0, "NONAME" }));

    CQuorlenApp &again = f.Start();
    EXPECT_TRUE(f.messages.shown.empty());
    ASSERT_EQ(again.DocManager().Documents().size(), 1u);
    CQuorlenDoc *doc = again.DocManager().Documents().front();
    EXPECT_EQ(doc->PathName(), name);
    // Saving writes that very file, not one with a name mended by a text conversion.
    doc->Views().front()->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 2UL, "//");
    EXPECT_TRUE(doc->DoFileSave());
    EXPECT_EQ(ReadBytes(name), Bytes({ '/', '/', 'i', 'n', 't', ' ', 'x', ';', '\n' }));
    std::vector<std::string> files;
    for (const auto &entry : std::filesystem::directory_iterator(f.dir.Path()))
        if (entry.is_regular_file())
            files.push_back(entry.path().string());
    EXPECT_EQ(files, std::vector<std::string> { name }); // no second file beside it
}

TEST(Startup, InstalledProgramKeepsWorkspaceInConfigFolderEvenWhereItCouldWrite)
{
    AppFixture f;
    std::filesystem::create_directories(f.ProgramDir());
    AppPaths paths { f.ProgramDir(), f.dir.File("config"), f.dir.File("data") };
    paths.perUserWorkspace = true;
    CQuorlenApp app(f.Services(), paths);
    const std::string source = f.dir.File("MAIN.C");
    WriteText(source, "x");
    app.InitInstance({ "ostrel", source });
    EXPECT_EQ(app.WorkspacePath(), f.dir.File("config/VOTRIX.cfg"));
    EXPECT_FALSE(std::filesystem::exists(f.WorkspacePath()));
}

TEST(Startup, MainWindowAndAboutBoxCarryTheApplicationIcon)
{
    AppFixture f;
    const QIcon icon = f.Start().MainFrame()->windowIcon();
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
    const CAboutDlg about("Ostrel  Version 1.45");
    const auto *image = about.findChild<QLabel *>(QStringLiteral("icon"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixmap().toImage(), icon.pixmap(32, 32).toImage());
}

} // namespace
} // namespace ostrel

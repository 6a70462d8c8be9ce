#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/workspace_file.h"
#include "editor/quorlen_doc.h"
#include "framework/doc_template.h"
#include "project/project_file.h"
#include "support/app_fixture.h"

#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <gtest/gtest.h>

#include <filesystem>

namespace ostrel {
namespace {

using test::AppFixture;
using test::ReadBytes;
using test::WriteBytes;
using test::WriteText;

std::vector<std::string> Titles(CQuorlenApp &app)
{
    std::vector<std::string> titles;
    for (CQuorlenDoc *doc : app.DocTemplate().Documents())
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
    EXPECT_EQ(app.projectOpen, 0);
    EXPECT_EQ(app.project.projectPath, "NONAME");
    EXPECT_EQ(ReadBytes(f.WorkspacePath()), EncodeWorkspace({ source, 0, "NONAME" }));
    EXPECT_EQ(app.project.commandOptions, "/sm /c3 /s /o0x30");
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
    EXPECT_EQ(app.projectOpen, 1);
    EXPECT_EQ(app.project.cpuType, CpuAt90s2313);
    EXPECT_EQ(app.project.commandOptions, "/sm /c1 /s /o0x30");
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
    EXPECT_EQ(app.projectOpen, 0);
    EXPECT_EQ(Titles(app), std::vector<std::string> { "MAIN.C" });
    EXPECT_EQ(app.project.commandOptions, "/sm /c3 /s /o0x30");
    EXPECT_EQ(app.MainFrame()->ProjectBox()->currentText().toStdString(), "Empty Project");
}

TEST(Startup, WithoutWorkspaceAnUntitledDocumentOpens)
{
    AppFixture f;
    CQuorlenApp &app = f.Start();
    EXPECT_EQ(Titles(app), std::vector<std::string> { "Ostrel1" });
    EXPECT_EQ(app.projectOpen, 0);
    EXPECT_FALSE(std::filesystem::exists(f.WorkspacePath()));

    app.OnFileNew();
    EXPECT_EQ(Titles(app), (std::vector<std::string> { "Ostrel1", "Ostrel2" }));
}

TEST(Startup, MissingLastFileIsReportedAndStillRecorded)
{
    AppFixture f;
    const std::string gone = f.dir.File("GONE.C");
    WriteBytes(f.WorkspacePath(), EncodeWorkspace({ gone, 0, "NONAME" }));

    CQuorlenApp &app = f.Start();

    EXPECT_TRUE(app.DocTemplate().Documents().empty());
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
        EXPECT_NE(app.DocTemplate().OpenDocumentFile(path), nullptr) << name;
        EXPECT_EQ(ReadBytes(f.WorkspacePath()), before) << name;
    }
}

TEST(Startup, UnwritableProgramDirectoryKeepsWorkspaceInConfigFolder)
{
    AppFixture f;
    // Not a directory at all: nothing can be written there.
    WriteText(f.dir.File("file"), "");
    CQuorlenApp app(f.Services(), AppPaths { f.dir.File("file/bin"), f.dir.File("config") });
    const std::string source = f.dir.File("MAIN.C");
    WriteText(source, "x");
    app.InitInstance({ "ostrel", source });
    EXPECT_EQ(app.WorkspacePath(), f.dir.File("config/VOTRIX.cfg"));
    EXPECT_EQ(ReadBytes(app.WorkspacePath()), EncodeWorkspace({ source, 0, "NONAME" }));
}

TEST(Startup, InstalledProgramKeepsWorkspaceInConfigFolderEvenWhereItCouldWrite)
{
    AppFixture f;
    std::filesystem::create_directories(f.ProgramDir());
    AppPaths paths { f.ProgramDir(), f.dir.File("config") };
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

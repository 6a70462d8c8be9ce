#include "app/main_frame.h"
#include "app/workspace_file.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "project/project_file.h"
#include "project/project_settings_dlg.h"
#include "support/app_fixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMdiArea>
#include <gtest/gtest.h>

#include <filesystem>

namespace ostrel {
namespace {

using test::AppFixture;
using test::ModalAnswer;
using test::ReadBytes;
using test::WriteBytes;
using test::WriteText;

class ProjectCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source = f.dir.File("MAIN.C");
        WriteText(source, "int main(void) { return 0; }\n");
    }

    // A project of the 2313 whose C file is `cFile`.
    std::string WriteProject(const std::string &name, const std::string &cFile)
    {
        ProjectRecord project;
        project.projectPath = f.dir.File(name);
        project.cFile = cFile;
        project.cpuType = CpuAt90s2313;
        test::FakeMessageBoxes quiet;
        EXPECT_TRUE(SaveProject(project, quiet));
        return project.projectPath;
    }

    bool Run(CommandId id) { return f.App().MainFrame()->RouteCommand(ToUint(id)); }

    void OpenFile(const std::string &path)
    {
        f.fileDialogs.openAnswers.push_back(path);
        Run(CommandId::FileOpen);
    }

    std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        for (CQuorlenDoc *doc : f.App().DocManager().Documents())
            titles.push_back(doc->Title());
        return titles;
    }

    std::string ProjectBox()
    {
        return f.App().MainFrame()->ProjectBox()->currentText().toStdString();
    }

    const ProjectSession &Project() { return f.App().Project(); }

    AppFixture f;
    std::string source;
};

TEST_F(ProjectCommandsTest, FileOpenLoadsOnlyTheTwoProjectSpellings)
{
    struct Case
    {
        const char *name;
        bool loadsProject;
    };
    for (const Case &c :
        { Case { "X.PRJ", true }, Case { "x.prj", true }, Case { "X.Prj", false } }) {
        SCOPED_TRACE(c.name);
        AppFixture &app = f;
        app.Start({ source });
        app.App().DocManager().CloseAllDocuments();
        const std::string project = WriteProject(c.name, source);

        OpenFile(project);

        EXPECT_EQ(Project().IsOpen(), c.loadsProject);
        EXPECT_EQ(Titles(), std::vector<std::string> { c.loadsProject ? "MAIN.C" : c.name });
        if (c.loadsProject) {
            EXPECT_EQ(Project().CommandOptions(), "/sm /c1 /s /o0x30");
            EXPECT_EQ(ProjectBox(), "X");
            // The project is remembered, then opening its C file records that file again.
            EXPECT_EQ(ReadBytes(f.WorkspacePath()), EncodeWorkspace({ source, 1, project }));
        }
        EXPECT_EQ(f.fileDialogs.openRequests.back().filter,
            "Data and Project Files (*.C;*.asm;*.prj)|*.c;*.asm;*.prj|Data Files (*.C;*.asm;)|"
            "*.c;*.asm|Project (*.prj)|*.prj|C Files (*.c)|*.c|ASM Files (*.asm)|*.asm|"
            "All Files (*.*)|*.*||");
        EXPECT_TRUE(f.messages.shown.empty());
        f.app.reset();
    }
}

TEST_F(ProjectCommandsTest, FileOpenOfAProjectThatCannotBeLoadedOpensTheFileItself)
{
    f.Start({ source });
    const std::string shortFile = f.dir.File("SHORT.PRJ");
    WriteText(shortFile, "not a project");
    const std::string missing = f.dir.File("GONE.PRJ");

    OpenFile(shortFile);
    OpenFile(missing);

    EXPECT_FALSE(Project().IsOpen());
    EXPECT_EQ(Titles(), (std::vector<std::string> { "MAIN.C", "SHORT.PRJ" }));
    const auto texts = f.messages.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Incorrect project file");
    EXPECT_EQ(texts[1], "Can not open prj File");
    EXPECT_NE(texts[2].find(missing), std::string::npos);
}

TEST_F(ProjectCommandsTest, AProjectWithoutCFileOpensNoUntitledDocument)
{
    f.Start({ source });
    f.App().DocManager().CloseAllDocuments();
    OpenFile(WriteProject("EMPTY.PRJ", ""));

    EXPECT_TRUE(Project().IsOpen());
    EXPECT_TRUE(Titles().empty());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text.rfind("Cannot open the file", 0), 0u);
}

TEST_F(ProjectCommandsTest, ProjectNewCancelledInTheSettingsWritesNothing)
{
    const std::string old = WriteProject("OLD.PRJ", source);
    WriteBytes(f.WorkspacePath(), EncodeWorkspace({ source, 1, old }));
    f.Start();
    const auto workspace = ReadBytes(f.WorkspacePath());
    const std::string fresh = f.dir.File("NEW.PRJ");

    // Cancel in the file dialog: nothing happens at all.
    Run(CommandId::ProjectNew);
    EXPECT_EQ(Project().Path(), old);

    ModalAnswer<CProjectSettingsDlg> settings([](CProjectSettingsDlg &dialog) {
        dialog.reject();
    });
    f.fileDialogs.saveAnswers.push_back(fresh);
    Run(CommandId::ProjectNew);

    EXPECT_EQ(settings.count, 1);
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(ReadBytes(f.WorkspacePath()), workspace);
    EXPECT_FALSE(Project().IsCreated());
    // The new name and the defaults are taken; the earlier project counts as open still.
    EXPECT_TRUE(Project().IsOpen());
    EXPECT_EQ(Project().Path(), fresh);
    EXPECT_EQ(Project().Record().cpuType, CpuAt90s8515);
    EXPECT_EQ(Project().CFile(), "");
    const FileDialogRequest &request = f.fileDialogs.saveRequests.back();
    EXPECT_EQ(request.filter, "Project File (*.PRJ)|*.PRJ||");
    EXPECT_EQ(request.defaultExtension, "PRJ");
    EXPECT_TRUE(request.confirmOverwrite);
}

TEST_F(ProjectCommandsTest, ProjectSettingsRewritesTheProjectButNotTheWorkspace)
{
    f.Start({ source });
    Run(CommandId::ProjectSettings);
    EXPECT_EQ(f.messages.Texts(), std::vector<std::string> { "Please, first open the project." });

    const std::string project = WriteProject("BLINK.PRJ", source);
    f.fileDialogs.openAnswers.push_back(project);
    Run(CommandId::ProjectOpen);
    EXPECT_EQ(Titles(), std::vector<std::string> { "MAIN.C" });
    EXPECT_EQ(ProjectBox(), "BLINK");
    const auto workspace = ReadBytes(f.WorkspacePath());
    EXPECT_EQ(workspace, EncodeWorkspace({ source, 1, project }));

    ModalAnswer<CProjectSettingsDlg> settings([](CProjectSettingsDlg &dialog) {
        dialog.findChild<QAbstractButton *>(QStringLiteral("chip8515"))->click();
        dialog.accept();
    });
    Run(CommandId::ProjectSettings);

    EXPECT_EQ(settings.count, 1);
    EXPECT_EQ(Project().CommandOptions(), "/sm /c3 /s /o0x30");
    ProjectRecord stored;
    stored.projectPath = project;
    ASSERT_TRUE(LoadProject(stored, f.messages));
    EXPECT_EQ(stored.cpuType, CpuAt90s8515);
    EXPECT_EQ(ReadBytes(f.WorkspacePath()), workspace);
}

TEST_F(ProjectCommandsTest, ProjectCloseAsksAboutModifiedDocumentsFirst)
{
    const std::string project = WriteProject("BLINK.PRJ", source);
    WriteBytes(f.WorkspacePath(), EncodeWorkspace({ source, 1, project }));
    f.Start();
    CQuorlenDoc *doc = f.App().DocManager().Documents().front();
    doc->Views().front()->insert(QStringLiteral("// changed\n"));
    const auto original = ReadBytes(source);

    f.messages.answers = { MessageAnswer::Cancel };
    EXPECT_TRUE(Run(CommandId::ProjectClose));
    EXPECT_EQ(f.messages.Texts(), std::vector<std::string> { "Save changes to MAIN.C?" });
    EXPECT_TRUE(Project().IsOpen());
    EXPECT_EQ(Titles(), std::vector<std::string> { "MAIN.C*" });

    f.messages.answers = { MessageAnswer::No };
    EXPECT_TRUE(Run(CommandId::ProjectClose));
    EXPECT_FALSE(Project().IsOpen());
    EXPECT_EQ(Project().Path(), "NONAME");
    EXPECT_TRUE(Titles().empty());
    EXPECT_EQ(ReadBytes(source), original);
    EXPECT_EQ(ProjectBox(), "Empty Project");
    // Closing does not touch the workspace, so the next start opens the project again.
    EXPECT_EQ(ReadBytes(f.WorkspacePath()), EncodeWorkspace({ source, 1, project }));
    // Without a source window there is nothing to close.
    EXPECT_FALSE(f.App().MainFrame()->Router().IsEnabled(CommandId::ProjectClose));
}

TEST_F(ProjectCommandsTest, ChooserOpensWithNewFileEveryTime)
{
    f.Start({ source });
    std::vector<bool> newFileChosen;
    f.chooser.Set([&](CNewChooserDlg &dialog) {
        newFileChosen.push_back(
            dialog.findChild<QAbstractButton *>(QStringLiteral("newFile"))->isChecked());
        EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_EQ(dialog.GetChoice(), CNewChooserDlg::NewFile);
        dialog.findChild<QAbstractButton *>(QStringLiteral("newProject"))->click();
        dialog.reject();
    });
    Run(CommandId::FileNew);
    Run(CommandId::FileNew);
    EXPECT_EQ(newFileChosen, (std::vector<bool> { true, true }));
    EXPECT_EQ(Titles(), std::vector<std::string> { "MAIN.C" });

    // New Project, then Cancel in its file dialog: nothing opens.
    f.chooser.Set([](CNewChooserDlg &dialog) {
        dialog.findChild<QAbstractButton *>(QStringLiteral("newProject"))->click();
        dialog.accept();
    });
    Run(CommandId::FileNew);
    EXPECT_EQ(Titles(), std::vector<std::string> { "MAIN.C" });
    EXPECT_FALSE(Project().IsOpen());
}

} // namespace
} // namespace ostrel

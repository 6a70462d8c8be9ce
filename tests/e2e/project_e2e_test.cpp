// A first run as a user makes it: New Project from the chooser, the settings filled in by
// keys and clicks, F9 with the test compiler, then a second start that finds it all again.
#include "app/main_frame.h"
#include "app/workspace_file.h"
#include "compile/build_controller.h"
#include "compile/output_window.h"
#include "editor/child_frame.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "fakes/fake_compiler_files.h"
#include "framework/command_ids.h"
#include "platform/qt_process_launcher.h"
#include "project/project_file.h"
#include "project/project_files_pane.h"
#include "project/project_settings_dlg.h"
#include "support/app_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace ostrel {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

void ClickOn(QWidget *dialog, const char *name)
{
    auto *control = dialog->findChild<QWidget *>(QString::fromLatin1(name));
    ASSERT_NE(control, nullptr) << name;
    QTest::mouseClick(control, Qt::LeftButton);
}

class ProjectE2eTest : public ::testing::Test
{
protected:
    CMainFrame &Frame() { return *f.App().MainFrame(); }

    Texts Titles()
    {
        Texts titles;
        for (CQuorlenDoc *doc : f.App().DocManager().Documents())
            titles.push_back(doc->Title());
        return titles;
    }

    std::string ProjectBox() { return Frame().ProjectBox()->currentText().toStdString(); }

    void PressF9OnView()
    {
        QApplication::setActiveWindow(&Frame());
        auto *frame = qobject_cast<CChildFrame *>(Frame().MdiArea()->activeSubWindow());
        ASSERT_NE(frame, nullptr);
        frame->GetView()->setFocus();
        QTest::keyClick(frame->GetView(), Qt::Key_F9);
    }

    test::AppFixture f;
    QtProcessLauncher launcher;
};

TEST_F(ProjectE2eTest, FirstRunCreatesAProjectThatCompilesAndComesBack)
{
    fs::create_directories(f.dir.Path() / "work");
    const std::string mainC = f.dir.File("work/MAIN.C");
    const std::string projectPath = f.dir.File("work/BLINK.PRJ");
    test::WriteText(mainC, "int main(void) { return 0; }\n");
    test::InstallFakeCompiler(f.ProgramDir(), "Compiling MAIN.C\r\n0 error(s), 0 warning(s)");
    f.launcher = &launcher;

    f.chooser.Set([](CNewChooserDlg &chooser) {
        ClickOn(&chooser, "newProject");
        ClickOn(&chooser, "ok");
    });
    f.fileDialogs.saveAnswers.push_back(projectPath); // the new project's name
    f.fileDialogs.openAnswers.push_back(mainC); // Browse in the settings
    QString caption;
    test::ModalAnswer<CProjectSettingsDlg> settings([&](CProjectSettingsDlg &dialog) {
        caption = dialog.windowTitle();
        ClickOn(&dialog, "browse");
        ClickOn(&dialog, "chipMega");
        auto *start = dialog.findChild<QLineEdit *>(QStringLiteral("extSramStart"));
        start->setFocus();
        QTest::keyClick(start, Qt::Key_End);
        QTest::keyClick(start, Qt::Key_Backspace); // the "0" of a new project
        QTest::keyClicks(start, "1100");
        ClickOn(&dialog, "ok");
    });

    f.Start();

    EXPECT_EQ(f.chooser.count, 1);
    EXPECT_EQ(settings.count, 1);
    EXPECT_EQ(caption.toStdString(), projectPath + " : Settings");
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_TRUE(f.App().Project().IsOpen());
    EXPECT_EQ(Titles(), Texts { "MAIN.C" });
    EXPECT_EQ(ProjectBox(), "BLINK");
    EXPECT_EQ(fs::file_size(projectPath), 824u);
    EXPECT_EQ(test::ReadBytes(f.WorkspacePath()), EncodeWorkspace({ mainC, 1, projectPath }));
    // Start-up reads the new file back, and builds with every word it holds.
    EXPECT_EQ(f.App().Project().CommandOptions(), "/sm /c4 /rs0x1100 /s /o0x30");

    PressF9OnView();
    ASSERT_TRUE(f.WaitForBuild());
    const auto runs = test::CompilerRuns(f.ProgramDir());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].arguments,
        (Texts {
            f.ProgramDir() + "/OSTREL.EXE", mainC, "/sm", "/c4", "/rs0x1100", "/s", "/o0x30" }));
    ASSERT_NE(f.App().Build().OutputWindow(), nullptr);
    EXPECT_EQ(f.App().Build().OutputWindow()->Entries(),
        (Texts { "Compiling MAIN.C", "0 error(s), 0 warning(s)" }));

    f.app.reset();
    f.Start();

    EXPECT_EQ(f.chooser.count, 1);
    EXPECT_EQ(settings.count, 1);
    EXPECT_TRUE(f.App().Project().IsOpen());
    EXPECT_EQ(f.App().Project().Path(), projectPath);
    EXPECT_EQ(f.App().Project().Record().cpuType, CpuAtmega103);
    EXPECT_EQ(f.App().Project().Record().extSramStart, "1100");
    EXPECT_EQ(Titles(), Texts { "MAIN.C" });
    EXPECT_EQ(ProjectBox(), "BLINK");
}

TEST_F(ProjectE2eTest, ProjectFilesOpensAnyOfTheProjectsFilesAndFollowsTheProject)
{
    fs::create_directories(f.dir.Path() / "work");
    ProjectRecord project;
    project.projectPath = f.dir.File("work/BLINK.PRJ");
    project.cFile = f.dir.File("work/MAIN.C");
    project.extension.cFiles = { f.dir.File("work/UART.C") };
    project.extension.asmFiles = { f.dir.File("work/ISR.S") };
    for (const std::string &file : { project.cFile, project.extension.cFiles[0] })
        test::WriteText(file, "int x;\n");
    test::WriteText(project.extension.asmFiles[0], "nop\n");
    ASSERT_TRUE(SaveProject(project, f.messages));
    ASSERT_TRUE(WriteWorkspaceFile(f.WorkspacePath(), { project.cFile, 1, project.projectPath },
        WorkspaceWriter::Project, f.messages));
    f.Start();
    ASSERT_EQ(Titles(), Texts { "MAIN.C" });

    Frame().RouteCommand(ToUint(CommandId::ProjectFiles));
    QListWidget *list = f.App().FilesPane()->List();
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 3);
    EXPECT_TRUE(list->item(1)->text().startsWith(QStringLiteral("UART.C")));

    const QPoint uart = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, uart);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, uart);
    EXPECT_EQ(Titles(), (Texts { "MAIN.C", "UART.C" }));
    QApplication::setActiveWindow(&Frame());
    list->setFocus();
    list->setCurrentRow(2);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(Titles(), (Texts { "MAIN.C", "UART.C", "ISR.S" }));
    EXPECT_TRUE(f.messages.shown.empty());

    Frame().RouteCommand(ToUint(CommandId::ProjectClose));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->flags(), Qt::NoItemFlags);
}

} // namespace
} // namespace ostrel

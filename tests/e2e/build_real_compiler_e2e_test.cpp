// F9 with the real OSTREL.EXE on the GNU AVR toolchain, on a copy of the example project.
#include "app/main_frame.h"
#include "compile/build_controller.h"
#include "compile/output_list_box.h"
#include "compile/output_window.h"
#include "editor/child_frame.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "platform/qt_process_launcher.h"
#include "support/app_fixture.h"

#include <QApplication>
#include <QMdiArea>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace ostrel {
namespace {

namespace fs = std::filesystem;

TEST(BuildRealCompiler, F9BuildsTheExampleAndAnErrorLeadsToItsLine)
{
    for (const char *tool : { "avr-gcc", "avr-objcopy" })
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << "the GNU AVR toolchain is not installed (gcc-avr, avr-libc, "
                            "binutils-avr; `make test` installs them)";
    test::AppFixture f;
    const fs::path example = fs::path(OSTREL_SOURCE_DIR) / "examples" / "blink";
    const fs::path work = f.dir.Path() / "blink";
    fs::create_directories(work);
    fs::copy_file(example / "BLINK.C", work / "BLINK.C");
    fs::copy_file(example / "START.ASM", work / "START.ASM");
    ProjectRecord project;
    project.projectPath = (work / "BLINK.PRJ").string();
    project.cFile = (work / "BLINK.C").string();
    project.asmFile = (work / "START.ASM").string();
    ASSERT_TRUE(f.PrepareProject(project, OSTRELCC_EXE));
    QtProcessLauncher launcher;
    f.launcher = &launcher;
    CQuorlenApp &app = f.Start();

    auto activeView = [&] {
        auto *frame = qobject_cast<CChildFrame *>(app.MainFrame()->MdiArea()->activeSubWindow());
        return frame ? frame->GetView() : nullptr;
    };
    auto pressF9 = [&] {
        QApplication::setActiveWindow(app.MainFrame());
        activeView()->setFocus();
        QTest::keyClick(activeView(), Qt::Key_F9);
        ASSERT_TRUE(f.WaitForBuild());
    };
    ASSERT_NE(activeView(), nullptr);
    pressF9();
    EXPECT_TRUE(fs::exists(work / "BLINK.hex"));
    ASSERT_NE(app.Build().OutputWindow(), nullptr);
    const auto &built = app.Build().OutputWindow()->Entries();
    ASSERT_FALSE(built.empty());
    EXPECT_NE(built.back().find("0 errors"), std::string::npos) << built.back();

    // Line 40 (index 39) becomes a statement with an undeclared name; F9 saves it first.
    CQuorlenView *view = activeView();
    view->setCursorPosition(39, 0);
    view->insert(QStringLiteral("    undeclared_thing = 1;\n"));
    pressF9();
    EXPECT_EQ(f.messages.Texts(),
        std::vector<std::string> { "File is modified. It must be saved\nSave file ?" });
    COutputWindow *window = app.Build().OutputWindow();
    ASSERT_NE(window, nullptr);
    const std::string expected = "Error " + (work / "BLINK.C").string() + "(40): ";
    int row = -1;
    for (size_t i = 0; i < window->Entries().size(); ++i)
        if (window->Entries()[i].rfind(expected, 0) == 0)
            row = static_cast<int>(i);
    ASSERT_GE(row, 0) << "no entry starts with " << expected;

    view->setCursorPosition(0, 0);
    COutputListBox *list = window->List();
    const QPoint at = list->viewport()->mapTo(window, list->EntryRect(row).center());
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, at);
    int fromLine = 0, fromIndex = 0, toLine = 0, toIndex = 0;
    activeView()->getSelection(&fromLine, &fromIndex, &toLine, &toIndex);
    EXPECT_EQ(fromLine, 39);
    EXPECT_EQ(activeView()->selectedText().toStdString(), "    undeclared_thing = 1;");
}

// A project of two C files, both open: F9 in the main file's window asks to save the other
// one's changes, and the build sees them.
TEST(BuildRealCompiler, F9SavesTheProjectsOtherChangedSourceWhenAsked)
{
    for (const char *tool : { "avr-gcc", "avr-objcopy" })
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << "the GNU AVR toolchain is not installed";
    test::AppFixture f;
    const fs::path work = f.dir.Path() / "two";
    fs::create_directories(work);
    test::WriteText(
        (work / "MAIN.C").string(), "void tick(void);\nint main(void)\n{\n    tick();\n}\n");
    test::WriteText((work / "TICK.C").string(), "void tick(void)\n{\n}\n");
    ProjectRecord project;
    project.projectPath = (work / "TWO.PRJ").string();
    project.cFile = (work / "MAIN.C").string();
    project.extension.cFiles = { (work / "TICK.C").string() };
    ASSERT_TRUE(f.PrepareProject(project, OSTRELCC_EXE));
    QtProcessLauncher launcher;
    f.launcher = &launcher;
    CQuorlenApp &app = f.Start();

    CQuorlenDoc *tick = app.DocManager().OpenDocumentFile((work / "TICK.C").string());
    ASSERT_NE(tick, nullptr);
    tick->Views().front()->setCursorPosition(1, 1);
    tick->Views().front()->insert(QStringLiteral(" undeclared_in_tick = 1; "));
    app.DocManager().OpenDocumentFile(project.cFile);
    auto *frame = qobject_cast<CChildFrame *>(app.MainFrame()->MdiArea()->activeSubWindow());
    ASSERT_NE(frame, nullptr);
    QApplication::setActiveWindow(app.MainFrame());
    frame->GetView()->setFocus();
    f.messages.answers = { MessageAnswer::Yes };
    QTest::keyClick(frame->GetView(), Qt::Key_F9);
    ASSERT_TRUE(f.WaitForBuild());

    EXPECT_EQ(f.messages.Texts(),
        std::vector<std::string> {
            "These project files are modified:\nTICK.C\n\nSave them before the build ?" });
    EXPECT_FALSE(tick->IsModified());
    const auto &entries = app.Build().OutputWindow()->Entries();
    const std::string expected = "Error " + (work / "TICK.C").string() + "(2): ";
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](const std::string &line) {
        return line.rfind(expected, 0) == 0;
    }));
}

} // namespace
} // namespace ostrel

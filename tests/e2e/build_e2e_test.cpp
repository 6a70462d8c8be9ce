// F9 and the output window in the running main window, driven by keys and clicks, with the
// test compiler (and once with the real compiler on the example project).
#include "app/main_frame.h"
#include "app/workspace_file.h"
#include "compile/build_controller.h"
#include "compile/output_list_box.h"
#include "compile/output_window.h"
#include "editor/child_frame.h"
#include "editor/doc_manager.h"
#include "editor/message_marks.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "fakes/fake_compiler_files.h"
#include "platform/qt_process_launcher.h"
#include "project/project_file.h"
#include "support/app_fixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QHelpEvent>
#include <QMdiArea>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace ostrel {
namespace {

namespace fs = std::filesystem;
using test::AppFixture;
using test::CompilerRuns;
using test::WriteText;
using Texts = std::vector<std::string>;

constexpr char kMessages[] = "Compiling MAIN.C\r\n"
                             "Error  MAIN.C(12): 'counter' undeclared\r\n"
                             "Error  GONE.C(3): no such file here\r\n"
                             "1 error(s), 0 warning(s)";

// Three messages about two files, between lines that are no messages.
constexpr char kThreeMessages[] = "Compiling MAIN.C\r\n"
                                  "Error  MAIN.C(12): 'counter' undeclared\r\n"
                                  "Warning  OTHER.C(1): 'other' defined but not used\r\n"
                                  "Error  MAIN.C(3): expected ';' before 'int'\r\n"
                                  "2 error(s), 1 warning(s)";

// Runs the child process for real, after a look at the windows as the compiler starts.
class WatchingLauncher : public QtProcessLauncher
{
public:
    std::unique_ptr<RunningProcess> Start(const std::vector<std::string> &arguments,
        const std::string &workingDirectory, int timeLimitMs, Finished finished) override
    {
        if (atStart)
            atStart();
        return QtProcessLauncher::Start(
            arguments, workingDirectory, timeLimitMs, std::move(finished));
    }

    std::function<void()> atStart;
};

// Runs the event loop until `done` holds; false when it still does not after 30 seconds.
bool RunUntil(const std::function<bool()> &done)
{
    QDeadlineTimer deadline(30000);
    QTimer wake; // the loop looks again at least this often
    wake.start(10);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

// Whether a process has ended (a zombie that nobody reaps has ended too).
bool Gone(int pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text))
        return true;
    const size_t close = text.rfind(')');
    return close != std::string::npos && text.substr(close + 2, 1) == "Z";
}

std::string NumberedLines(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "int line" + std::to_string(i) + ";\n";
    return text;
}

class BuildE2eTest : public ::testing::Test
{
protected:
    // A project on work/MAIN.C; OTHER.C in the active window; the test compiler in place.
    CQuorlenApp &Start(
        bool projectOpen = true, int compilerStatus = 0, const char *messages = kMessages)
    {
        fs::create_directories(f.dir.Path() / "work");
        WriteText(MainC(), NumberedLines(20));
        WriteText(OtherC(), "other\n");
        ProjectRecord project;
        project.projectPath = f.dir.File("work/MAIN.PRJ");
        project.cFile = MainC();
        test::FakeMessageBoxes quiet;
        EXPECT_TRUE(SaveProject(project, quiet));
        test::WriteBytes(f.WorkspacePath(),
            EncodeWorkspace({ OtherC(), projectOpen ? 1 : 0, project.projectPath }));
        test::InstallFakeCompiler(f.ProgramDir(), messages, compilerStatus);
        f.launcher = &launcher;
        return f.Start();
    }

    std::string MainC() const { return f.dir.File("work/MAIN.C"); }
    std::string OtherC() const { return f.dir.File("work/OTHER.C"); }
    CMainFrame &Frame() { return *f.App().MainFrame(); }
    BuildController &Build() { return f.App().Build(); }

    CQuorlenView *ActiveView()
    {
        auto *frame = qobject_cast<CChildFrame *>(Frame().MdiArea()->activeSubWindow());
        return frame ? frame->GetView() : nullptr;
    }

    // A key pressed where the user types: the active source view of the active main window.
    void PressOnView(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QApplication::setActiveWindow(&Frame());
        CQuorlenView *view = ActiveView();
        ASSERT_NE(view, nullptr);
        view->setFocus();
        QTest::keyClick(view, key, modifiers);
    }

    // F9 on the view, then the event loop runs until the build's result is shown.
    void PressF9()
    {
        PressOnView(Qt::Key_F9);
        ASSERT_TRUE(f.WaitForBuild());
    }

    // The tooltip shown while the pointer rests on the symbol margin beside `line`.
    static std::string TipBeside(CQuorlenView *view, int line)
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->inherits("QTipLabel"))
                widget->hide();
        const long lineTop = view->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0UL,
            view->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line));
        const QPoint at(view->marginWidth(0) + view->marginWidth(1) / 2,
            static_cast<int>(lineTop) + view->textHeight(line) / 2);
        QHelpEvent event(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
    }

    Texts Entries()
    {
        COutputWindow *window = Build().OutputWindow();
        return window ? window->Entries() : Texts {};
    }

    void DoubleClickEntry(int row)
    {
        COutputListBox *list = Build().OutputWindow()->List();
        const QRect rect = list->EntryRect(row);
        QWidget *top = list->window();
        QTest::mouseDClick(
            top->windowHandle(), Qt::LeftButton, {}, list->viewport()->mapTo(top, rect.center()));
    }

    AppFixture f;
    WatchingLauncher launcher;
};

TEST_F(BuildE2eTest, F9CompilesTheProjectsCFileAndListsTheMessages)
{
    Start(true, 3); // a failing compiler is still shown
    ASSERT_EQ(fs::path(ActiveView()->GetDocument()->PathName()), fs::path(OtherC()));
    PressF9();

    const auto runs = CompilerRuns(f.ProgramDir());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].arguments,
        (Texts { f.ProgramDir() + "/OSTREL.EXE", MainC(), "/sm", "/c3", "/s", "/o0x30" }));
    EXPECT_EQ(fs::path(runs[0].workingDirectory), fs::current_path());
    EXPECT_EQ(Build().Driver().CommandLine(),
        f.ProgramDir() + "/OSTREL.EXE " + MainC() + " /sm /c3 /s /o0x30");
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(f.sleeper.sleeps, std::vector<int> { 1000 });
    EXPECT_EQ(Entries(),
        (Texts { "Compiling MAIN.C", "Error  MAIN.C(12): 'counter' undeclared",
            "Error  GONE.C(3): no such file here", "1 error(s), 0 warning(s)" }));
    EXPECT_EQ(Build().OutputWindow()->NavigableEntries(), (std::vector<int> { 1, 2 }));
}

TEST_F(BuildE2eTest, ModifiedDocumentIsSavedOnlyWhenTheUserAgrees)
{
    Start();
    PressOnView(Qt::Key_X);
    f.messages.answers = { MessageAnswer::No };
    PressF9();
    EXPECT_EQ(f.messages.Texts(), Texts { "File is modified. It must be saved\nSave file ?" });
    EXPECT_EQ(f.messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(f.messages.shown[0].icon, MessageIcon::Question);
    EXPECT_TRUE(CompilerRuns(f.ProgramDir()).empty());
    EXPECT_EQ(Build().OutputWindow(), nullptr);

    f.messages.answers = { MessageAnswer::Yes };
    PressF9();
    EXPECT_EQ(test::ReadBytes(OtherC()), Bytes({ 'x', 'o', 't', 'h', 'e', 'r', '\n' }));
    ASSERT_EQ(CompilerRuns(f.ProgramDir()).size(), 1u);
    EXPECT_EQ(CompilerRuns(f.ProgramDir())[0].arguments[1], MainC());
}

TEST_F(BuildE2eTest, WhatStopsCompileBeforeTheCompilerStarts)
{
    struct Case
    {
        const char *name;
        bool projectOpen;
        bool untitled;
        std::string message;
        bool saved;
    };
    const Case cases[] = {
        { "modified untitled document", true, true,
            "New File.\nNo File name attached to file.\n\t\t\t\t\tPlease Save it first using save "
            "as command.",
            false },
        { "no project open", false, false,
            "No project is open !\n\t\t\tPlease, see 'Getting Started' topic in the Help/Search "
            "Menu",
            true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        f.app.reset();
        // Each case starts afresh: the unsaved text of the one before is no crash to recover.
        fs::remove_all(f.dir.File("data"));
        f.messages.shown.clear();
        fs::remove(f.ProgramDir() + "/fake-compiler.log");
        Start(c.projectOpen);
        if (c.untitled)
            f.App().OnFileNew();
        PressOnView(Qt::Key_X);
        PressF9();
        EXPECT_EQ(f.messages.Texts(),
            (Texts { "File is modified. It must be saved\nSave file ?", c.message }));
        EXPECT_EQ(ActiveView()->GetDocument()->IsModified(), !c.saved);
        EXPECT_TRUE(CompilerRuns(f.ProgramDir()).empty());
        EXPECT_EQ(Build().OutputWindow(), nullptr);
    }
}

TEST_F(BuildE2eTest, MissingCompilerIsReportedAndTheProgramGoesOn)
{
    Start();
    fs::remove(f.ProgramDir() + "/OSTREL.EXE");
    PressOnView(Qt::Key_X); // unsaved work elsewhere must survive
    f.App().OnFileNew();
    PressF9();
    EXPECT_EQ(f.messages.Texts(), Texts { "ERROR: Cannot launch child process\n" });
    EXPECT_EQ(Build().OutputWindow(), nullptr);
    EXPECT_EQ(f.App().DocManager().Documents().size(), 2u);
    EXPECT_TRUE(f.App().DocManager().FindDocument(OtherC())->IsModified());
}

TEST_F(BuildE2eTest, DoubleClickAndEnterGoToTheLineOpenOrNot)
{
    Start();
    PressF9();
    // Started elsewhere: MAIN.C is found beside the message file.
    ASSERT_NE(fs::current_path(), fs::path(f.dir.File("work")));

    DoubleClickEntry(0); // not a message about a place
    EXPECT_EQ(fs::path(ActiveView()->GetDocument()->PathName()), fs::path(OtherC()));

    DoubleClickEntry(1);
    ASSERT_EQ(fs::path(ActiveView()->GetDocument()->PathName()), fs::path(MainC()));
    int fromLine = 0, fromIndex = 0, toLine = 0, toIndex = 0;
    ActiveView()->getSelection(&fromLine, &fromIndex, &toLine, &toIndex);
    EXPECT_EQ(ActiveView()->selectedText().toStdString(), "int line12;");
    EXPECT_EQ(fromLine, 11);
    EXPECT_EQ(Build().NavigationFile(), "MAIN.C");
    EXPECT_EQ(Build().NavigationLine(), 12);

    // Already open: its window comes forward, no second document.
    ActiveView()->setCursorPosition(0, 0);
    f.App().DocManager().OpenDocumentFile(OtherC());
    DoubleClickEntry(1);
    EXPECT_EQ(f.App().DocManager().Documents().size(), 2u);
    ASSERT_EQ(fs::path(ActiveView()->GetDocument()->PathName()), fs::path(MainC()));
    EXPECT_EQ(ActiveView()->selectedText().toStdString(), "int line12;");

    // Enter on the selected entry does the same.
    ActiveView()->setCursorPosition(0, 0);
    COutputListBox *list = Build().OutputWindow()->List();
    QApplication::setActiveWindow(Build().OutputWindow());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(ActiveView()->selectedText().toStdString(), "int line12;");

    // A file that cannot be opened is reported and the active view stays where it was.
    ActiveView()->setCursorPosition(0, 0);
    DoubleClickEntry(2);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text.rfind("Cannot open the file\n", 0), 0u);
    EXPECT_EQ(fs::path(ActiveView()->GetDocument()->PathName()), fs::path(MainC()));
    EXPECT_FALSE(ActiveView()->hasSelectedText());
}

TEST_F(BuildE2eTest, AMessageWithALineNumberThatCannotBeUsedSaysSoInTheStatusBar)
{
    Start(true, 0,
        "Error  MAIN.C(2147483648): too far\r\nError  MAIN.C(twelve): no number\r\nError  "
        "MAIN.C(2): fine");
    PressF9();
    for (const int row : { 0, 1 }) {
        Frame().statusBar()->clearMessage();
        DoubleClickEntry(row);
        EXPECT_EQ(Frame().statusBar()->currentMessage().toStdString(),
            "This message names no line that can be gone to.")
            << row;
        EXPECT_EQ(fs::path(ActiveView()->GetDocument()->PathName()), fs::path(OtherC()));
    }
    Frame().statusBar()->clearMessage();
    DoubleClickEntry(2);
    EXPECT_EQ(Frame().statusBar()->currentMessage().toStdString(), "");
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST_F(BuildE2eTest, OutputWindowIsReplacedAtItsPlaceAndItsListFillsIt)
{
    Start();
    Frame().RouteCommand(ToUint(CommandId::OutputWindow));
    EXPECT_EQ(f.messages.Texts(), Texts { "Cannot open file\nNo compile has run yet." });
    QPointer<COutputWindow> first = Build().OutputWindow();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->windowTitle().toStdString(), "Compiler Output Window");
    EXPECT_EQ(first->parentWidget(), &Frame());
    EXPECT_EQ(first->List()->count(), 0);

    first->resize(300, 200);
    EXPECT_EQ(first->List()->geometry(), first->rect());
    first->close();
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(Build().OutputWindow(), first);

    PressF9();
    EXPECT_TRUE(first.isNull());
    COutputWindow *second = Build().OutputWindow();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->pos(), QPoint(0, 360));
    EXPECT_EQ(second->size(), QSize(640, 100));
    EXPECT_EQ(second->List()->geometry(), second->rect());
    EXPECT_EQ(second->List()->count(), 4);
}

TEST_F(BuildE2eTest, F4AndShiftF4StepThroughTheMessagesAndWrapRound)
{
    Start(true, 0, kThreeMessages);
    PressF9();
    struct Step
    {
        Qt::KeyboardModifiers modifiers;
        int row;
        std::string file;
        std::string selected;
    };
    const Step steps[] = {
        { Qt::NoModifier, 1, MainC(), "int line12;" },
        { Qt::NoModifier, 2, OtherC(), "other" },
        { Qt::NoModifier, 3, MainC(), "int line3;" },
        { Qt::NoModifier, 1, MainC(), "int line12;" }, // past the last: the first again
        { Qt::ShiftModifier, 3, MainC(), "int line3;" }, // before the first: the last
        { Qt::ShiftModifier, 2, OtherC(), "other" },
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.selected + " at row " + std::to_string(step.row));
        PressOnView(Qt::Key_F4, step.modifiers);
        EXPECT_EQ(Build().OutputWindow()->List()->currentRow(), step.row);
        ASSERT_EQ(fs::path(ActiveView()->GetDocument()->PathName()), fs::path(step.file));
        EXPECT_EQ(ActiveView()->selectedText().toStdString(), step.selected);
        EXPECT_TRUE(ActiveView()->hasFocus());
    }
    EXPECT_EQ(f.App().DocManager().Documents().size(), 2u);

    // The keys work in the output window too.
    COutputListBox *list = Build().OutputWindow()->List();
    QApplication::setActiveWindow(Build().OutputWindow());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F4);
    EXPECT_EQ(list->currentRow(), 3);
    EXPECT_EQ(ActiveView()->selectedText().toStdString(), "int line3;");
}

TEST_F(BuildE2eTest, MarginMarksTheMessagesLinesUntilTheNextBuildStarts)
{
    constexpr unsigned error = 1u << MessageMarks::kErrorMarker;
    constexpr unsigned warning = 1u << MessageMarks::kWarningMarker;
    Start(true, 0, kThreeMessages);
    CQuorlenView *other = ActiveView();
    EXPECT_EQ(other->marginWidth(1), 0);
    PressF9();
    EXPECT_GT(other->marginWidth(1), 0);
    EXPECT_EQ(other->markersAtLine(0), warning);
    EXPECT_EQ(TipBeside(other, 0), "Warning  OTHER.C(1): 'other' defined but not used");
    EXPECT_EQ(TipBeside(other, 1), "");

    // MAIN.C was not open during the build; opened by a message, it shows its marks too.
    PressOnView(Qt::Key_F4);
    CQuorlenView *main = ActiveView();
    ASSERT_NE(main, other);
    EXPECT_EQ(main->markersAtLine(11), error);
    EXPECT_EQ(main->markersAtLine(2), error);
    EXPECT_EQ(main->markersAtLine(3), 0u);
    EXPECT_EQ(TipBeside(main, 11), "Error  MAIN.C(12): 'counter' undeclared");
    EXPECT_EQ(TipBeside(main, 2), "Error  MAIN.C(3): expected ';' before 'int'");

    // The next build: every mark is gone as the compiler starts, and its own marks follow.
    test::InstallFakeCompiler(f.ProgramDir(), "Warning  MAIN.C(5): comparison is always true");
    std::vector<unsigned> atStart;
    launcher.atStart = [&] {
        atStart = { main->markersAtLine(11), main->markersAtLine(2), other->markersAtLine(0),
            static_cast<unsigned>(main->marginWidth(1) + other->marginWidth(1)) };
    };
    PressF9();
    EXPECT_EQ(atStart, (std::vector<unsigned> { 0, 0, 0, 0 }));
    EXPECT_EQ(main->markersAtLine(4), warning);
    EXPECT_EQ(main->markersAtLine(11), 0u);
    EXPECT_EQ(other->marginWidth(1), 0);
    EXPECT_EQ(TipBeside(main, 11), "");

    // A mark and its message move with their line as the text is edited.
    main->setCursorPosition(0, 0);
    PressOnView(Qt::Key_Return);
    EXPECT_EQ(main->markersAtLine(5), warning);
    EXPECT_EQ(TipBeside(main, 5), "Warning  MAIN.C(5): comparison is always true");

    // Listing the messages again leaves the marks where the edits have moved them.
    Frame().RouteCommand(ToUint(CommandId::OutputWindow));
    EXPECT_EQ(Build().OutputWindow()->Entries().size(), 1u);
    EXPECT_EQ(main->markersAtLine(4), 0u);
    EXPECT_EQ(TipBeside(main, 5), "Warning  MAIN.C(5): comparison is always true");
}

TEST_F(BuildE2eTest, TheChosenLineIsNotLeftUnderTheOutputWindow)
{
    Start(true, 0, "Error  MAIN.C(21): 'line21' redeclared");
    WriteText(MainC(), NumberedLines(80));
    Frame().showNormal();
    Frame().setGeometry(0, 0, 853, 533);
    PressF9();
    DoubleClickEntry(0);

    CQuorlenView *view = ActiveView();
    ASSERT_EQ(view->selectedText().toStdString(), "int line21;");
    const long top = view->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0UL,
        view->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, 20UL));
    const QRect line(view->viewport()->mapToGlobal(QPoint(0, static_cast<int>(top))),
        QSize(view->viewport()->width(), view->textHeight(20)));
    const QRect shown(view->viewport()->mapToGlobal(QPoint(0, 0)), view->viewport()->size());
    EXPECT_TRUE(shown.contains(line)) << line.y() << " in " << shown.y() << ".." << shown.bottom();
    EXPECT_FALSE(line.intersects(Build().OutputWindow()->frameGeometry()))
        << line.y() << " under " << Build().OutputWindow()->frameGeometry().y();
}

TEST_F(BuildE2eTest, TheWindowGoesOnWhileTheCompilerRunsAndEscapeEndsIt)
{
    Start();
    test::MakeFakeCompilerHang(f.ProgramDir());
    PressOnView(Qt::Key_F9);
    EXPECT_EQ(Entries(), Texts { "Building MAIN.C ..." });
    ASSERT_TRUE(Build().OutputWindow()->isVisible());
    ASSERT_TRUE(RunUntil([&] {
        return !test::HangingCompilerPids(f.ProgramDir()).empty();
    }));
    const std::vector<int> pids = test::HangingCompilerPids(f.ProgramDir());

    // A second F9 starts no second compiler and asks nothing.
    PressOnView(Qt::Key_F9);
    EXPECT_EQ(CompilerRuns(f.ProgramDir()).size(), 1u);
    EXPECT_EQ(Frame().statusBar()->currentMessage().toStdString(), "A build is already running.");
    EXPECT_TRUE(f.messages.shown.empty());

    PressOnView(Qt::Key_Escape);
    ASSERT_TRUE(f.WaitForBuild());
    EXPECT_EQ(Entries(), (Texts { "Building MAIN.C ...", "Build cancelled." }));
    EXPECT_TRUE(RunUntil([&] {
        return Gone(pids[0]) && Gone(pids[1]);
    })) << "the compiler or its child still runs";
    EXPECT_TRUE(f.messages.shown.empty());

    // Escape in the output window ends a build too.
    PressOnView(Qt::Key_F9);
    COutputListBox *list = Build().OutputWindow()->List();
    QApplication::setActiveWindow(Build().OutputWindow());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Escape);
    ASSERT_TRUE(f.WaitForBuild());
    EXPECT_EQ(Entries(), (Texts { "Building MAIN.C ...", "Build cancelled." }));
    // Once the build is over, Escape closes the output window again.
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(Build().OutputWindow()->isVisible());

    // Closing the program ends a compiler that still runs.
    fs::remove(f.ProgramDir() + "/fake-compiler.pids");
    PressOnView(Qt::Key_F9);
    ASSERT_TRUE(RunUntil([&] {
        return !test::HangingCompilerPids(f.ProgramDir()).empty();
    }));
    const std::vector<int> second = test::HangingCompilerPids(f.ProgramDir());
    f.app.reset();
    EXPECT_TRUE(RunUntil([&] {
        return Gone(second[0]) && Gone(second[1]);
    }));
}

TEST(QtProcessLauncher, TheChildGetsTheBytesOfItsArgumentsInTheGivenDirectory)
{
    test::TempDir dir;
    fs::create_directories(dir.Path() / "bin");
    fs::create_directories(dir.Path() / "run here");
    // A folder whose name is Latin-1, no UTF-8: the compiler must write its messages there.
    const std::string folder = dir.File("caf\xE9");
    fs::create_directories(folder);
    test::InstallFakeCompiler(dir.File("bin"), "0 errors", 4);
    const std::string compiler = dir.File("bin/OSTREL.EXE");
    QtProcessLauncher launcher;

    std::optional<LaunchResult> ended;
    const auto child = launcher.Start({ compiler, folder + "/MAIN.C", "a b", "" },
        dir.File("run here"), 0, [&](const LaunchResult &result) {
            ended = result;
        });
    ASSERT_TRUE(child);
    ASSERT_TRUE(RunUntil([&] {
        return ended.has_value();
    }));
    EXPECT_FALSE(child->IsRunning());
    EXPECT_FALSE(ended->crashed);
    EXPECT_EQ(ended->exitCode, 4);
    const auto runs = CompilerRuns(dir.File("bin"));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].arguments, (Texts { compiler, folder + "/MAIN.C", "a b", "" }));
    EXPECT_EQ(runs[0].workingDirectory, dir.File("run here"));
    EXPECT_EQ(test::ReadBytes(folder + "/OUTPUT.ERR"), test::ToBytes("0 errors"));

    EXPECT_FALSE(launcher.Start({ dir.File("bin/MISSING.EXE") }, {}, 0, nullptr));
    EXPECT_FALSE(launcher.StartDetached({ dir.File("bin/MISSING.EXE") }, {}));
    EXPECT_TRUE(launcher.CanFind(compiler));
    EXPECT_TRUE(launcher.CanFind("sh"));
    EXPECT_FALSE(launcher.CanFind(dir.File("bin/fake-compiler.out"))); // not executable
    EXPECT_FALSE(launcher.CanFind("no-such-program-here"));
}

TEST(QtProcessLauncher, CancelAndTheTimeLimitEndTheChildAndWhatItStarted)
{
    for (const bool cancel : { true, false }) {
        SCOPED_TRACE(cancel ? "cancel" : "time limit");
        test::TempDir dir;
        test::InstallFakeCompiler(dir.Path().string(), "");
        test::MakeFakeCompilerHang(dir.Path().string());
        QtProcessLauncher launcher;
        std::optional<LaunchResult> ended;
        const auto child = launcher.Start({ dir.File("OSTREL.EXE"), dir.File("MAIN.C") }, {},
            cancel ? 0 : 300, [&](const LaunchResult &result) {
                ended = result;
            });
        ASSERT_TRUE(child);
        ASSERT_TRUE(RunUntil([&] {
            return !test::HangingCompilerPids(dir.Path().string()).empty();
        }));
        const std::vector<int> pids = test::HangingCompilerPids(dir.Path().string());
        EXPECT_TRUE(child->IsRunning());
        if (cancel)
            child->Cancel();
        ASSERT_TRUE(RunUntil([&] {
            return ended.has_value();
        }));
        EXPECT_EQ(ended->cancelled, cancel);
        EXPECT_EQ(ended->timedOut, !cancel);
        EXPECT_TRUE(RunUntil([&] {
            return Gone(pids[0]) && Gone(pids[1]);
        }));
    }
}

} // namespace
} // namespace ostrel

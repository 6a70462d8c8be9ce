// Compile's own overhead, from F9 to the filled output list, filling the list from a
// 100,000-line message file and from 100 MB of zero bytes, and the margin's tooltip over a file
// with 100,000 marks. The compiler is a stand-in that ends at once and the one-second wait before
// reading the messages is counted, not waited, so neither is in the figures.
// Then a real child process that would run 30 s: the longest pass of the event loop while it
// runs (the window must stay responsive), and how long Escape takes to end it.
//
// usage: build_bench [RUNS] [SECONDS_WATCHED]
#include "app/main_frame.h"
#include "app/quorlen_app.h"
#include "app/workspace_file.h"
#include "compile/build_controller.h"
#include "compile/output_list_box.h"
#include "compile/output_window.h"
#include "editor/child_frame.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "fakes/fake_service_set.h"
#include "framework/command_ids.h"
#include "platform/qt_process_launcher.h"
#include "project/project_file.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace ostrel;
using Clock = std::chrono::steady_clock;

struct Figures
{
    double median = 0;
    double min = 0;
    double max = 0;
};

Figures Measure(int runs, const std::function<void()> &step)
{
    step(); // warm caches
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        step();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return { times[times.size() / 2], times.front(), times.back() };
}

void Print(const char *what, const Figures &figures)
{
    std::printf("  %-52s median %7.2f ms   min %7.2f ms   max %7.2f ms\n", what, figures.median,
        figures.min, figures.max);
}

std::string Messages(int lines)
{
    std::string text;
    for (int i = 1; i <= lines; ++i)
        text += (i % 3 == 0 ? "Warning " : "Error  ") + std::string("/home/user/project/MAIN.C(")
            + std::to_string(i) + "): 'counter" + std::to_string(i) + "' undeclared\r\n";
    return text;
}

// The tooltip's text for lines spread over a document with a message on each of its
// 100,000 lines, before and after an edit at the top has moved every mark. False when a text
// is wrong.
bool MeasureHover(CQuorlenApp &app, const std::string &path, int runs)
{
    constexpr int kLines = 100000;
    std::string text;
    std::vector<LineMessage> messages;
    for (int i = 0; i < kLines; ++i) {
        text += "int line" + std::to_string(i) + ";\n";
        messages.push_back({ path, i, i % 3 == 0 ? MessageKind::Warning : MessageKind::Error,
            "Error  BIG.C(" + std::to_string(i + 1) + "): 'line" + std::to_string(i) + "'" });
    }
    test::WriteText(path, text);
    CQuorlenDoc *document = app.DocManager().OpenDocumentFile(path);
    if (!document)
        return false;
    document->SetMessageMarks(messages);
    CQuorlenView *view = document->Views().front();
    int line = 0;
    auto hover = [&] {
        line = (line + 37123) % kLines;
        return document->MessageMarkText(line);
    };
    std::printf("Margin tooltip, a message on each of %d lines (%d runs):\n", kLines, runs);
    Print("hover", Measure(runs, [&] {
        hover();
    }));
    int inserted = 0;
    Print("a line added at the top, then a hover", Measure(runs, [&] {
        view->SendScintilla(QsciScintilla::SCI_INSERTTEXT, 0UL, "\n");
        ++inserted;
        hover();
    }));
    const int last = kLines - 1;
    return document->MessageMarkText(last + inserted) == messages[last].text
        && document->MessageMarkText(inserted - 1).empty();
}

// F9 with a compiler that would run 30 s, in a fresh application on the real launcher: the
// longest pass of the event loop over `seconds`, then Escape on the source view.
int WatchALongBuild(test::TempDir &dir, int seconds)
{
    test::WriteText(dir.File("bin/OSTREL.EXE"), "#!/bin/sh\nexec sleep 30\n");
    std::filesystem::permissions(dir.File("bin/OSTREL.EXE"), std::filesystem::perms::owner_all);
    test::FakeServiceSet fakes;
    QtProcessLauncher launcher;
    fakes.launcher = &launcher;
    CQuorlenApp app(fakes.Services(), { dir.File("bin"), dir.File("config"), dir.File("data") });
    app.InitInstance({ dir.File("bin/ostrel") });
    app.MainFrame()->show();
    QApplication::setActiveWindow(app.MainFrame());
    CChildFrame *frame = app.DocManager().ActiveFrame();
    if (!frame)
        return 1;
    frame->GetView()->setFocus();

    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(frame->GetView(), Qt::Key_F9);
    const double f9Ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    // A timer that asks for a pass every 5 ms: a gap between two of its ticks is a pass of the
    // event loop that took that long.
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start(5);
    const qint64 until = clock.nsecsElapsed() + qint64 { seconds } * 1'000'000'000;
    while (clock.nsecsElapsed() < until && app.Build().Driver().Running())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const bool ranThrough = app.Build().Driver().Running();

    // The output window came up as the build started; back to the source view, as a user would.
    QApplication::setActiveWindow(app.MainFrame());
    frame->GetView()->setFocus();
    const qint64 escapeAt = clock.nsecsElapsed();
    QTest::keyClick(frame->GetView(), Qt::Key_Escape);
    while (app.Build().Driver().Running() && clock.nsecsElapsed() - escapeAt < 10'000'000'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double cancelMs = static_cast<double>(clock.nsecsElapsed() - escapeAt) / 1e6;

    std::printf("A compiler that runs 30 s, watched for %d s:\n", seconds);
    std::printf("  %-52s %7.2f ms\n", "F9 until the program goes on", f9Ms);
    std::printf("  %-52s %7.2f ms\n", "longest pass of the event loop meanwhile",
        static_cast<double>(longest) / 1e6);
    std::printf("  %-52s %7.2f ms\n", "Escape until the build is shown as cancelled", cancelMs);
    const auto &entries = app.Build().Driver().Entries();
    if (!ranThrough || entries.empty() || entries.back() != "Build cancelled.") {
        std::fprintf(stderr, "unexpected result: the build %s\n",
            ranThrough ? "was not cancelled" : "ended by itself");
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    test::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "bin");
    const std::string cFile = dir.File("MAIN.C");
    test::WriteText(cFile, "int main(void)\n{\n    return 0;\n}\n");
    ProjectRecord project;
    project.projectPath = dir.File("MAIN.PRJ");
    project.cFile = cFile;
    test::FakeServiceSet fakes;
    SaveProject(project, fakes.messages);
    test::WriteBytes(
        dir.File("bin/VOTRIX.cfg"), EncodeWorkspace({ cFile, 1, project.projectPath }));

    {
        CQuorlenApp app(
            fakes.Services(), { dir.File("bin"), dir.File("config"), dir.File("data") });
        app.InitInstance({ dir.File("bin/ostrel") });

        // The stand-in compiler writes nothing: it only marks the message file as new.
        fakes.processes.onRun = [&](const auto &) {
            std::filesystem::last_write_time(
                dir.File("OUTPUT.ERR"), std::filesystem::file_time_type::clock::now());
        };
        auto compile = [&] {
            app.MainFrame()->RouteCommand(ToUint(CommandId::Compile));
            fakes.processes.Finish();
            // Until the list has been painted.
            QCoreApplication::processEvents();
        };
        auto count = [&] {
            COutputWindow *window = app.Build().OutputWindow();
            return window ? window->List()->count() : -1;
        };

        std::printf("F9 to the filled output list (%d runs, platform %s):\n", runs,
            qgetenv("QT_QPA_PLATFORM").constData());
        test::WriteText(dir.File("OUTPUT.ERR"), Messages(20));
        Print("20 messages", Measure(runs, compile));
        const int small = count();

        test::WriteText(dir.File("OUTPUT.ERR"), Messages(100000));
        Print("100,000 messages", Measure(runs, compile));
        const int large = count();
        Print("then scrolling to the last message and repainting", Measure(runs, [&] {
            COutputListBox *list = app.Build().OutputWindow()->List();
            list->scrollToTop();
            list->repaint();
            list->scrollToBottom();
            list->repaint();
        }));

        test::WriteText(dir.File("OUTPUT.ERR"), std::string(size_t { 100 } << 20, '\0'));
        Print("100 MB of zero bytes (read up to 16 MB)", Measure(std::min(runs, 5), compile));
        const int zeros = count();

        if (!MeasureHover(app, dir.File("BIG.C"), runs)) {
            std::fprintf(stderr, "unexpected tooltip text\n");
            return 1;
        }
        if (small != 20 || large != 100000 || zeros != 2 || !fakes.messages.shown.empty()) {
            std::fprintf(stderr, "unexpected result: %d, %d and %d entries, %zu messages\n", small,
                large, zeros, fakes.messages.shown.size());
            return 1;
        }
    } // the application goes before the next one starts
    return WatchALongBuild(dir, argc > 2 ? std::max(1, std::atoi(argv[2])) : 25);
}

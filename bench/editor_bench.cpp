// Moving and typing in a large source file, measured inside the real application: each figure
// is the time from the key to the end of the repaint it causes, the median of repeated runs.
//
// usage: editor_bench --write FILE      writes the generated 10 MB C file (CR LF, 250,000 lines)
//        editor_bench [FILE]            measures; writes its own file when none is given
#include "app/main_frame.h"
#include "app/qt_service_set.h"
#include "app/quorlen_app.h"
#include "editor/child_frame.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ostrel;

constexpr int kLines = 250000;

// 250,000 lines of C, about 10 MB; the text of every line repeats every ten lines.
void WriteLargeFile(const std::string &path)
{
    static const char *const lines[] = {
        "",
        "/* block of generated register set-up code for the timer */",
        "static void set_up_timer_block(void)",
        "{",
        "    unsigned char counter = 0x3f; /* reload value */",
        "    TCCR0 = 0x05; TIMSK |= (1 << TOIE0); TCNT0 = counter;",
        "    while (counter-- > 0) { PORTB ^= 0x01; asm(\"nop\"); }",
        "    if (PINB & 0x02) UDR = 'x'; else UDR = '\\n';",
        "    return;",
        "}",
    };
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < kLines; ++i)
        out << lines[i % 10] << "\r\n";
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Milliseconds for `action` followed by a synchronous repaint of the view. While a screen
// reader listens, Qt hands each key to the accessibility bus first and the view gets it when
// the bus answers: the time runs until the key has moved the caret or changed the text.
double Painted(CQuorlenView &view, const std::function<void()> &action)
{
    const auto state = [&view] {
        return std::make_pair(view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS),
            view.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    };
    const auto before = state();
    QElapsedTimer timer;
    timer.start();
    action();
    while (state() == before && timer.elapsed() < 2000)
        QCoreApplication::processEvents();
    view.viewport()->repaint();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double MedianOf(int runs, CQuorlenView &view, const std::function<void()> &prepare,
    const std::function<void()> &action)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        view.viewport()->repaint();
        times.push_back(Painted(view, action));
    }
    return Median(times);
}

// Lets the program idle until the view's text is styled to its end (or `limitMs` passes);
// returns the longest time one pass of the event loop took meanwhile.
double IdleUntilStyled(CQuorlenView &view, int limitMs)
{
    QElapsedTimer total, pass;
    total.start();
    double longest = 0;
    while (total.elapsed() < limitMs) {
        pass.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        longest = std::max(longest, static_cast<double>(pass.nsecsElapsed()) / 1e6);
        if (view.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED)
            >= view.SendScintilla(QsciScintillaBase::SCI_GETLENGTH))
            break;
    }
    return longest;
}

struct Session
{
    QtServiceSet services;
    QTemporaryDir programDir;
    std::unique_ptr<CQuorlenApp> app;

    CQuorlenView &Start(const std::string &file)
    {
        const std::string folder = programDir.path().toStdString();
        app = std::make_unique<CQuorlenApp>(
            services.Services(), AppPaths { folder, folder + "/config", folder + "/data" });
        app->InitInstance({ "ostrel", file });
        CQuorlenView &view = *app->DocManager().Documents().front()->Views().front();
        view.window()->resize(1024, 768);
        view.parentWidget()->showMaximized();
        // Shown on the screen before anything is timed: a window that is not yet exposed
        // does not paint.
        if (!QTest::qWaitForWindowExposed(view.window()))
            std::fprintf(stderr, "the window was not shown; the first figures mean nothing\n");
        QApplication::setActiveWindow(view.window());
        view.setFocus();
        view.viewport()->repaint();
        return view;
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::string(argv[1]) == "--write") {
        WriteLargeFile(argv[2]);
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The user's own settings (the recent-file list) stay out of the measurements.
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    QTemporaryDir folder;
    std::string file = argc > 1 ? argv[1] : "";
    if (file.empty()) {
        file = folder.filePath(QStringLiteral("LARGE.C")).toStdString();
        WriteLargeFile(file);
    }
    const int runs = qEnvironmentVariableIntValue("OSTREL_BENCH_RUNS") > 0
        ? qEnvironmentVariableIntValue("OSTREL_BENCH_RUNS")
        : 15;
    std::printf("editing a 10 MB C file (%d lines), milliseconds to the repaint, median of %d:\n",
        kLines, runs);

    {
        // Right after opening, before the text is styled in the background.
        Session session;
        CQuorlenView &view = session.Start(file);
        const double ctrlEnd = Painted(view, [&] {
            QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
        });
        std::printf("  Ctrl+End right after opening            %8.2f\n", ctrlEnd);
        const double stall = IdleUntilStyled(view, 20000);
        std::printf("  longest event-loop pass while styling   %8.2f\n", stall);
    }

    Session session;
    CQuorlenView &view = session.Start(file);
    IdleUntilStyled(view, 20000);
    const auto toEnd = [&] {
        view.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    };
    const auto toStart = [&] {
        view.SendScintilla(QsciScintillaBase::SCI_DOCUMENTSTART);
    };
    const auto toMiddle = [&] {
        view.SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(kLines / 2));
    };
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [&view, k, modifiers] {
            QTest::keyClick(&view, k, modifiers);
        };
    };
    std::printf("  Up at the end                           %8.2f\n",
        MedianOf(runs, view, toEnd, key(Qt::Key_Up)));
    std::printf("  Down in the middle                      %8.2f\n",
        MedianOf(runs, view, toMiddle, key(Qt::Key_Down)));
    std::printf("  Page Down in the middle                 %8.2f\n",
        MedianOf(runs, view, toMiddle, key(Qt::Key_PageDown)));
    // Edits at the end of the file, where the library's change events cost the most.
    const auto beforeLastLineEnd = [&] {
        toEnd();
        view.SendScintilla(QsciScintillaBase::SCI_CHARLEFT);
    };
    QGuiApplication::clipboard()->setText(QStringLiteral("PORTB = 0;"));
    const auto editsAtTheEnd = [&](const char *windows) {
        const auto report = [windows](const char *what, double ms) {
            std::printf("  %-39s %8.2f\n", (std::string(what) + " (" + windows + ")").c_str(), ms);
        };
        report("a typed character at the end", MedianOf(runs, view, toEnd, key(Qt::Key_X)));
        report("Backspace at the end", MedianOf(runs, view, toEnd, key(Qt::Key_Backspace)));
        report("Delete at the end", MedianOf(runs, view, beforeLastLineEnd, key(Qt::Key_Delete)));
        report("Return at the end", MedianOf(runs, view, toEnd, key(Qt::Key_Return)));
        report(
            "Ctrl+V at the end", MedianOf(runs, view, toEnd, key(Qt::Key_V, Qt::ControlModifier)));
    };
    editsAtTheEnd("1 window");
    std::printf("  a typed character at the top            %8.2f\n",
        MedianOf(runs, view, toStart, key(Qt::Key_X)));
    std::printf("  Ctrl+End once styled                    %8.2f\n",
        MedianOf(
            runs, view,
            [&] {
                toStart();
                IdleUntilStyled(view, 20000);
            },
            key(Qt::Key_End, Qt::ControlModifier)));
    std::printf(
        "  GotoLine to the last line               %8.2f\n", MedianOf(runs, view, toStart, [&] {
            view.GotoLine(kLines - 1);
        }));
    {
        // A second window on the same text: every window on it takes part in each change.
        CChildFrame *second = session.app->DocManager().CreateNewFrame(view.GetDocument());
        second->show();
        QCoreApplication::processEvents();
        QApplication::setActiveWindow(view.window());
        view.setFocus();
        editsAtTheEnd("2 windows");
    }
    // Leave without the save question.
    view.GetDocument()->SetModifiedFlag(false);
    return 0;
}

// Compile's own overhead, from F9 to the filled output list, filling the list from a
// 100,000-line message file, and the margin's tooltip over a file with 100,000 marks. The compiler
// is a stand-in that ends at once and the one-second wait before reading the messages is counted,
// not waited, so neither is in the figures.
//
// usage: build_bench [RUNS]
#include "app/main_frame.h"
#include "app/quorlen_app.h"
#include "app/workspace_file.h"
#include "compile/build_controller.h"
#include "compile/output_list_box.h"
#include "compile/output_window.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "fakes/fake_service_set.h"
#include "framework/command_ids.h"
#include "project/project_file.h"
#include "support/temp_dir.h"

#include <QApplication>

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

    CQuorlenApp app(fakes.Services(), { dir.File("bin"), dir.File("config"), dir.File("data") });
    app.InitInstance({ dir.File("bin/ostrel") });

    auto compile = [&] {
        app.MainFrame()->RouteCommand(ToUint(CommandId::Compile));
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

    if (!MeasureHover(app, dir.File("BIG.C"), runs)) {
        std::fprintf(stderr, "unexpected tooltip text\n");
        return 1;
    }
    if (small != 20 || large != 100000 || !fakes.messages.shown.empty()) {
        std::fprintf(stderr, "unexpected result: %d and %d entries, %zu messages\n", small, large,
            fakes.messages.shown.size());
        return 1;
    }
    return 0;
}

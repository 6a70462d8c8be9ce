// Snapshot benchmark: what a snapshot of a 10 MB document costs the user-interface thread (the
// work the snapshot timer does on the event loop: copying the bytes and handing them to the
// writer), and how long the writer thread then takes to put them on disk.
#include "app/qt_service_set.h"
#include "editor/doc_manager.h"
#include "editor/document_host.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "editor/snapshot_keeper.h"
#include "platform/qt_services.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace ostrel;

// Nothing is asked and nothing is copied while the benchmark runs.
class BenchHost : public DocumentHost
{
public:
    DocumentServices Services()
    {
        return { m_services.messages, m_services.fileDialogs, m_services.clipboard,
            m_services.printing, m_services.processes };
    }
    bool CanSendMail() override { return false; }
    void RecordOpenedFile(const std::string &) override { }
    void AddToRecentFiles(const std::string &) override { }
    void RefreshIndicators() override { }
    void ShowPopupMenu(uint16_t, int, int) override { }

private:
    QtServiceSet m_services;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;

    QTemporaryDir folder;
    const std::string path = QDir(folder.path()).filePath(QStringLiteral("BIG.C")).toStdString();
    {
        std::string line = "    PORTB = 0x01 ; /* a line of C of the usual length */\r\n";
        std::ofstream out(path, std::ios::binary);
        for (size_t size = 0; size < 10u * 1024 * 1024; size += line.size())
            out << line;
    }

    BenchHost host;
    QMdiArea area;
    CDocManager documents(host.Services(), host, &area);
    CQuorlenDoc *document = documents.OpenDocumentFile(path);
    if (!document)
        return 1;
    CSnapshotKeeper keeper(
        folder.path().toStdString() + "/data", documents, host.Services().messages);
    CQuorlenView *view = document->Views().front();

    using Clock = std::chrono::steady_clock;
    std::vector<double> onEventLoop;
    std::vector<double> writing;
    for (int run = 0; run < runs; ++run) {
        // An edit at the start of the text: the worst case for reading the bytes in one piece.
        view->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 0UL, "x");
        const auto start = Clock::now();
        keeper.TakeDueSnapshots();
        const auto handedOver = Clock::now();
        keeper.WaitForWriter();
        const auto written = Clock::now();
        onEventLoop.push_back(
            std::chrono::duration<double, std::milli>(handedOver - start).count());
        writing.push_back(std::chrono::duration<double, std::milli>(written - handedOver).count());
    }
    std::printf("snapshot of a %.1f MB document, %d runs\n",
        static_cast<double>(document->TextBytes().size()) / (1024.0 * 1024.0), runs);
    std::printf("  on the event loop: median %.2f ms, max %.2f ms\n", Median(onEventLoop),
        *std::max_element(onEventLoop.begin(), onEventLoop.end()));
    std::printf(
        "  writer thread (write, flush to disk, rename): median %.1f ms\n", Median(writing));
    return 0;
}

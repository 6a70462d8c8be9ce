// The serial monitor under a flood: a pseudo-terminal sends it 1 MB/s of text lines for a
// measured period (60 s unless given). Prints the longest event-loop pass, resident memory
// before and after, and how many of the bytes sent the monitor kept, checked byte for byte.
#include "chip/serial_monitor.h"
#include "fakes/fake_services.h"
#include "platform/qt_services.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>

#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

constexpr size_t kLineBytes = 64;
constexpr size_t kBytesPerSecond = 1 << 20;

// The byte at `offset` of the endless stream of numbered lines the far end sends.
char StreamByte(uint64_t offset)
{
    char line[kLineBytes * 2];
    std::snprintf(line, sizeof line, "line %010llu abcdefghijklmnopqrstuvwxyz0123456789ABCDEFG\r\n",
        static_cast<unsigned long long>(offset / kLineBytes % 10000000000ULL));
    return line[offset % kLineBytes];
}

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    int master = -1;
    int slave = -1;
    char name[128];
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    ostrel::QtSleeper sleeper;
    ostrel::test::FakeFileDialogs dialogs;
    ostrel::test::FakeMessageBoxes messages;
    ostrel::CSerialMonitor monitor({ sleeper, dialogs, messages }, nullptr);
    ostrel::SerialViewOptions options;
    options.timestamps = true;
    monitor.SetViewOptions(options);
    monitor.show();
    monitor.PortBox()->setCurrentText(QString::fromLatin1(name));
    monitor.SetDefaultBaud(115200);
    if (!monitor.OpenPort()) {
        std::fprintf(stderr, "cannot open %s\n", name);
        return 1;
    }
    app.processEvents();
    const long rssBefore = ResidentKiB();

    // The far end: 1 MB/s in 10 ms slices; a write blocks while the monitor lags behind.
    std::atomic<uint64_t> sent { 0 };
    std::atomic<bool> done { false };
    std::thread writer([&] {
        const auto start = std::chrono::steady_clock::now();
        const size_t slice = kBytesPerSecond / 100;
        std::string bytes(slice, '\0');
        for (int tick = 0; tick < seconds * 100; ++tick) {
            for (size_t i = 0; i < slice; ++i)
                bytes[i] = StreamByte(sent + i);
            for (size_t written = 0; written < slice;) {
                const ssize_t n = ::write(master, bytes.data() + written, slice - written);
                if (n <= 0)
                    break;
                written += size_t(n);
            }
            sent += slice;
            std::this_thread::sleep_until(start + std::chrono::milliseconds(10 * (tick + 1)));
        }
        done = true;
    });

    // The longest pass: the largest gap between the ticks of a 2 ms timer, less 2 ms.
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.elapsed();
    qint64 longest = 0;
    int over50 = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last - 2);
        if (now - last - 2 > 50)
            ++over50;
        last = now;
    });
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.start(2);
    while (!done || monitor.Log().ReceivedBytes() < sent)
        app.processEvents(QEventLoop::AllEvents, 50);
    ticker.stop();
    const double elapsed = clock.elapsed() / 1000.0;
    writer.join();
    monitor.FlushNow();
    app.processEvents();
    const long rssAfter = ResidentKiB();

    const std::string kept = monitor.Log().Kept();
    const uint64_t first = sent - kept.size();
    bool exact = monitor.Log().ReceivedBytes() == sent;
    for (size_t i = 0; exact && i < kept.size(); ++i)
        exact = kept[i] == StreamByte(first + i);
    std::printf("serial flood: %.1f MB in %.1f s (%.2f MB/s)\n", sent / 1048576.0, elapsed,
        sent / 1048576.0 / elapsed);
    std::printf("  longest event-loop pass: %lld ms (%d passes over 50 ms)\n",
        static_cast<long long>(longest), over50);
    std::printf("  resident memory: %ld KiB before, %ld KiB after\n", rssBefore, rssAfter);
    std::printf("  bytes kept: %zu of %llu sent (the last ones, %s); lines in the view: %d\n",
        kept.size(), static_cast<unsigned long long>(sent.load()),
        exact ? "byte for byte as sent" : "NOT as sent", monitor.View()->document()->blockCount());
    ::close(master);
    ::close(slave);
    return exact ? 0 : 1;
}

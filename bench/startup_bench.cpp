// Starts the program on a 100-line source file again and again and measures the time from the
// process start until the source window has been painted (the program reports it on its
// standard output when OSTREL_REPORT_FIRST_PAINT is set, and then quits). With a FILE of its own,
// the program stays a little longer, and the resident memory 2 s after the paint and the peak
// are reported as well.
//
// usage: startup_bench PROGRAM [RUNS [FILE]]   (a small C file when FILE is not given)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The settled program is measured this long after its first paint.
constexpr auto kSettleTime = std::chrono::seconds(2);

// A process's memory in megabytes from its status (`field` "VmRSS:" resident now, "VmHWM:" the
// peak of it), 0 when it cannot be read.
double StatusMegabytes(pid_t process, const char *field = "VmRSS:")
{
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    std::string word;
    while (status >> word)
        if (word == field) {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes / 1024;
        }
    return 0;
}

struct Memory
{
    double atPaint = 0; // resident at the first paint
    double settled = 0; // resident kSettleTime later (when measured)
    double peak = 0; // the peak of resident memory until then
};

// Seconds until the program printed its paint line; negative when it never did. `memory` gets
// the program's resident memory at that moment and, with `settle`, kSettleTime later.
double RunOnce(const std::string &program, const std::string &file, bool settle, Memory &memory)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execl(program.c_str(), program.c_str(), file.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    double seconds = -1;
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<size_t>(got));
        if (seconds < 0 && output.find("painted") != std::string::npos) {
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
            memory.atPaint = StatusMegabytes(child);
            if (settle) {
                std::this_thread::sleep_for(kSettleTime);
                memory.settled = StatusMegabytes(child);
                memory.peak = StatusMegabytes(child, "VmHWM:");
            }
        }
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the program did not end cleanly (status %d)\n", status);
        return -1;
    }
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string program = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;

    const auto folder = std::filesystem::temp_directory_path() / "ostrel-startup-bench";
    std::filesystem::create_directories(folder);
    const std::string file = argc > 3 ? std::string(argv[3]) : (folder / "MAIN.C").string();
    if (argc <= 3) {
        // A 100-line source file, CR LF as the program's own files have.
        std::ofstream out(file, std::ios::binary);
        out << "#include <avr/io.h>\r\n\r\nint main(void)\r\n{\r\n    DDRB = 0xff;\r\n";
        for (int line = 6; line < 100; ++line)
            out << "    PORTB ^= " << line << "; /* toggle */\r\n";
        out << "}\r\n";
    }

    // A large file of the caller's: the program waits (milliseconds) for the settled memory.
    const bool settle = argc > 3;
    setenv("OSTREL_REPORT_FIRST_PAINT", settle ? "2500" : "1", 1);
    // The program's settings and snapshots go to the benchmark's folder, not the user's.
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    if (!getenv("DISPLAY") && !getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    Memory measured;
    RunOnce(program, file, false, measured); // warm the file cache
    std::vector<double> times, memory, settled, peak;
    for (int i = 0; i < runs; ++i) {
        const double seconds = RunOnce(program, file, settle, measured);
        memory.push_back(measured.atPaint);
        settled.push_back(measured.settled);
        peak.push_back(measured.peak);
        if (seconds < 0) {
            std::fprintf(stderr, "run %d failed\n", i + 1);
            return 1;
        }
        times.push_back(seconds);
    }
    std::sort(times.begin(), times.end());
    std::sort(memory.begin(), memory.end());
    std::sort(settled.begin(), settled.end());
    std::sort(peak.begin(), peak.end());
    std::printf("start-up to first paint of %s (%d runs, platform %s):\n",
        argc > 3 ? file.c_str() : "a 100-line file", runs,
        getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "default");
    std::printf("  median %.3f s   min %.3f s   max %.3f s   resident memory median %.1f MB\n",
        times[times.size() / 2], times.front(), times.back(), memory[memory.size() / 2]);
    if (settle)
        std::printf(
            "  resident memory %.0f s after the paint: median %.1f MB   peak median %.1f MB\n",
            std::chrono::duration<double>(kSettleTime).count(), settled[settled.size() / 2],
            peak[peak.size() / 2]);
    return 0;
}

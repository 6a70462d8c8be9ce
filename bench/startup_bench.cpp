// Starts the program on a 100-line source file again and again and measures the time from the
// process start until the source window has been painted (the program reports it on its
// standard output when OSTREL_REPORT_FIRST_PAINT is set, and then quits).
//
// usage: startup_bench PROGRAM [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Seconds until the program printed its paint line; negative when it never did.
double RunOnce(const std::string &program, const std::string &file)
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
        if (seconds < 0 && output.find("painted") != std::string::npos)
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
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
    const std::string file = (folder / "MAIN.C").string();
    {
        // A 100-line source file, CR LF as the program's own files have.
        std::ofstream out(file, std::ios::binary);
        out << "#include <avr/io.h>\r\n\r\nint main(void)\r\n{\r\n    DDRB = 0xff;\r\n";
        for (int line = 6; line < 100; ++line)
            out << "    PORTB ^= " << line << "; /* toggle */\r\n";
        out << "}\r\n";
    }
    // The program's workspace and recent-file list stay in the benchmark's folder.
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);

    setenv("OSTREL_REPORT_FIRST_PAINT", "1", 1);
    if (!getenv("DISPLAY") && !getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    RunOnce(program, file); // warm the file cache
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double seconds = RunOnce(program, file);
        if (seconds < 0) {
            std::fprintf(stderr, "run %d failed\n", i + 1);
            return 1;
        }
        times.push_back(seconds);
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to first paint of a 100-line file (%d runs, platform %s):\n", runs,
        getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "default");
    std::printf("  median %.3f s   min %.3f s   max %.3f s\n", times[times.size() / 2],
        times.front(), times.back());
    return 0;
}

// F9 on a project of 20 sources: a run of the compiler program with nothing changed, and with
// one source changed, after a first full build. The program and the toolchain run for real.
//
// usage: ostrelcc_bench OSTREL.EXE [RUNS]
#include "process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSources = 20;

void Write(const fs::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// main.c, 19 more C files in src/ and a header in include/; the option words.
std::vector<std::string> MakeProject(const fs::path &dir)
{
    fs::create_directories(dir / "src");
    fs::create_directories(dir / "include");
    std::string header = "#pragma once\n#include <stdint.h>\n";
    std::string calls;
    std::vector<std::string> words = { "/c4", "/Iinclude", "/F8000000", "/DUNITS=19" };
    for (int i = 1; i < kSources; ++i) {
        const std::string name = "unit" + std::to_string(i);
        header += "uint16_t " + name + "(uint16_t value);\n";
        calls += "    total += " + name + "(total);\n";
        Write(dir / "src" / (name + ".c"),
            "#include \"units.h\"\n#include <avr/io.h>\n\nuint16_t " + name
                + "(uint16_t value)\n{\n    PORTB = (uint8_t)value;\n    return (uint16_t)(value * "
                + std::to_string(i) + "u + F_CPU / 1000000u);\n}\n");
        words.push_back("/f" + (dir / "src" / (name + ".c")).string());
    }
    Write(dir / "include" / "units.h", header);
    Write(dir / "main.c",
        "#include \"units.h\"\n\nint main(void)\n{\n    uint16_t total = 1;\n    for (;;) {\n"
            + calls + "    }\n}\n");
    words[1] = "/I" + (dir / "include").string();
    return words;
}

struct Figures
{
    double median, min, max;
};

Figures Measure(int runs, const std::function<void()> &step)
{
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

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ostrelcc_bench OSTREL.EXE [RUNS]\n");
        return 2;
    }
    const std::string program = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 11;
    const fs::path dir = fs::temp_directory_path() / ("ostrelcc-bench-" + std::to_string(getpid()));
    fs::remove_all(dir);
    std::vector<std::string> argv0 = { program, (dir / "main.c").string() };
    const std::vector<std::string> words = MakeProject(dir);
    argv0.insert(argv0.end(), words.begin(), words.end());

    bool failed = false;
    auto build = [&] {
        const ostrel::cc::ProcessResult result = ostrel::cc::RunProcess(argv0);
        failed = failed || !result.started || result.exitCode != 0;
    };
    std::printf("F9 on a project of %d C files (ATmega103):\n", kSources);
    Print("first build, every source compiled", Measure(1, build));
    Print("nothing changed", Measure(runs, build));
    int touched = 0;
    const fs::path source = dir / "src" / "unit7.c";
    Print("one source changed", Measure(runs, [&] {
        // Newer than its object whatever the file system's time resolution.
        fs::last_write_time(
            source, fs::file_time_type::clock::now() + std::chrono::seconds(++touched));
        build();
    }));
    if (failed)
        std::printf("  a build failed: see %s\n", (dir / "OUTPUT.ERR").string().c_str());
    else
        fs::remove_all(dir);
    return failed ? 1 : 0;
}

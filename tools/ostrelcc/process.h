#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ostrel::cc {

// How a child process ended.
enum class Ending {
    Exited, // by itself; exitCode holds its status
    TimeLimit, // it and its children were killed when the time limit was reached
    Signal, // killed by a signal from elsewhere (exitCode 128 + the signal)
};

// The result of one child process. started is false when the program could not be run
// (not found on PATH); output then holds the reason.
struct ProcessResult
{
    bool started = false;
    int exitCode = -1;
    Ending ending = Ending::Exited;
    std::string output; // standard error, and standard output unless it went to a file
};

// Limits on one tool run. Zero means no limit.
struct ToolLimits
{
    unsigned seconds = 0; // wall-clock time for the tool and its children
    unsigned memoryMiB = 0; // address space of each process
};

// The names of the environment variables that raise (or lower) the limits of the tools a
// build runs, and the defaults.
inline constexpr const char *kTimeLimitVariable = "OSTRELCC_TIME_LIMIT"; // seconds
inline constexpr const char *kMemoryLimitVariable = "OSTRELCC_MEMORY_LIMIT"; // MiB
inline constexpr unsigned kDefaultTimeLimit = 60;
inline constexpr unsigned kDefaultMemoryLimit = 1024;

// The limits from the environment; a variable that is unset, not a whole positive number or
// absurdly large keeps its default.
ToolLimits LimitsFromEnvironment();

// Runs argv[0] (looked up on PATH) with the arguments argv[1..], never through a shell, in
// the current directory, with the environment of this process and LC_ALL=C (plain quotes in
// messages). When stdoutFile is not empty the program's standard output is written there
// (never through a symbolic link). The program and every process it starts are ended when
// the time limit is reached.
ProcessResult RunProcess(const std::vector<std::string> &argv, const std::string &stdoutFile = {},
    const ToolLimits &limits = {});

// Whether a program of that name lies in one of the PATH directories.
bool FindOnPath(const std::string &program);

} // namespace ostrel::cc

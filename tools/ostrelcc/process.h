#pragma once

#include <string>
#include <vector>

namespace ostrel::cc {

// The result of one child process. started is false when the program could not be run
// (not found on PATH); output then holds the reason.
struct ProcessResult
{
    bool started = false;
    int exitCode = -1;
    std::string output; // standard error, and standard output unless it went to a file
};

// Runs argv[0] (looked up on PATH) with the arguments argv[1..], never through a shell, in
// the current directory, with the environment of this process and LC_ALL=C (plain quotes in
// messages). When stdoutFile is not empty the program's standard output is written there.
ProcessResult RunProcess(const std::vector<std::string> &argv, const std::string &stdoutFile = {});

// Whether a program of that name lies in one of the PATH directories.
bool FindOnPath(const std::string &program);

} // namespace ostrel::cc

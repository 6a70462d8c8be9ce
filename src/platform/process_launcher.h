#pragma once

#include <string>
#include <vector>

namespace ostrel {

// How a child process ended. started is false when it could not be run at all.
struct LaunchResult
{
    bool started = false;
    bool crashed = false;
    int exitCode = -1;
};

// Child processes of the program. A program is always given as an argument list (program
// first) and never passed through a shell, so no character of an argument is interpreted.
// An empty working directory means the program's own current directory.
class ProcessLauncher
{
public:
    virtual ~ProcessLauncher() = default;
    // Starts the program and blocks until it has ended.
    virtual LaunchResult Run(
        const std::vector<std::string> &arguments, const std::string &workingDirectory) = 0;
    // Starts the program and returns at once; false when it could not be started.
    virtual bool StartDetached(
        const std::vector<std::string> &arguments, const std::string &workingDirectory) = 0;
    // Whether `program` names a program that can be found on the PATH (or, with a
    // directory in it, an executable file at that place).
    virtual bool CanFind(const std::string &program) const = 0;
};

} // namespace ostrel

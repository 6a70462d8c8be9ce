#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ostrel {

// How a child process ended. started is false when it could not be run at all.
struct LaunchResult
{
    bool started = false;
    bool crashed = false; // ended by a signal (also after Cancel or the time limit)
    int exitCode = -1; // only after a normal exit
    bool cancelled = false; // ended by Cancel
    bool timedOut = false; // ended because it reached its time limit
};

// A child process that runs while the program goes on. Destroying one that still runs ends
// it and the processes it started, without waiting for its report.
class RunningProcess
{
public:
    virtual ~RunningProcess() = default;
    // Ends the child and every process it started. Its end is reported as usual, with
    // cancelled set; nothing when it has ended already.
    virtual void Cancel() = 0;
    virtual bool IsRunning() const = 0;
};

// Child processes of the program. A program is always given as an argument list (program
// first) and never passed through a shell, so no character of an argument is interpreted.
// An empty working directory means the program's own current directory.
class ProcessLauncher
{
public:
    using Finished = std::function<void(const LaunchResult &)>;
    using Output = std::function<void(const std::string &bytes)>;

    virtual ~ProcessLauncher() = default;
    // Starts the program and returns at once; nothing when it could not be started. The child
    // gets its arguments byte for byte. `finished` is called once, from the event loop, when
    // it has ended; a child still running after `timeLimitMs` (0: no limit) is ended as
    // Cancel does and reported with timedOut set. `finished` must not destroy the process.
    virtual std::unique_ptr<RunningProcess> Start(const std::vector<std::string> &arguments,
        const std::string &workingDirectory, int timeLimitMs, Finished finished) = 0;
    // As Start, with the child's standard output and error going into one pipe whose bytes
    // are handed to `output` from the event loop as they come, all of them before `finished`.
    // A launcher that cannot read a child's output starts it as Start does.
    virtual std::unique_ptr<RunningProcess> StartReading(const std::vector<std::string> &arguments,
        const std::string &workingDirectory, int timeLimitMs, Output output, Finished finished)
    {
        (void)output;
        return Start(arguments, workingDirectory, timeLimitMs, std::move(finished));
    }
    // Starts the program and leaves it to itself; false when it could not be started.
    virtual bool StartDetached(
        const std::vector<std::string> &arguments, const std::string &workingDirectory) = 0;
    // Whether `program` names a program that can be found on the PATH (or, with a
    // directory in it, an executable file at that place).
    virtual bool CanFind(const std::string &program) const = 0;
};

} // namespace ostrel

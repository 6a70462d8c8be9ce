#pragma once

#include "platform/process_launcher.h"

namespace ostrel {

// Child processes of the program. A started child gets its arguments as the bytes they are
// (a name that is no UTF-8 reaches it unchanged), shares this program's standard output and
// error, reads its standard input from the null device and leads a session of its own, so
// that Cancel reaches every process it started. Its end is noticed from the event loop.
class QtProcessLauncher : public ProcessLauncher
{
public:
    std::unique_ptr<RunningProcess> Start(const std::vector<std::string> &arguments,
        const std::string &workingDirectory, int timeLimitMs, Finished finished) override;
    std::unique_ptr<RunningProcess> StartReading(const std::vector<std::string> &arguments,
        const std::string &workingDirectory, int timeLimitMs, Output output,
        Finished finished) override;
    bool StartDetached(
        const std::vector<std::string> &arguments, const std::string &workingDirectory) override;
    bool CanFind(const std::string &program) const override;
};

} // namespace ostrel

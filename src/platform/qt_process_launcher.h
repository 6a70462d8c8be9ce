#pragma once

#include "platform/process_launcher.h"

namespace ostrel {

// Child processes through QProcess. The child shares this program's standard output and error
// and reads its standard input from the null device; a blocking run shows the busy cursor.
class QtProcessLauncher : public ProcessLauncher
{
public:
    LaunchResult Run(
        const std::vector<std::string> &arguments, const std::string &workingDirectory) override;
    bool StartDetached(
        const std::vector<std::string> &arguments, const std::string &workingDirectory) override;
    bool CanFind(const std::string &program) const override;
};

} // namespace ostrel

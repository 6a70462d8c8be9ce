// Feeds arbitrary arguments (the bytes split at zero bytes) to the compiler program's command
// line parser: it must neither crash nor leave a run without a chip or an unexplained empty
// C file.
#include "plan.h"

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> arguments(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back() += static_cast<char>(data[i]);
    }
    const ostrel::cc::ParsedCommandLine parsed = ostrel::cc::ParseCommandLine(arguments);
    if (parsed.options.chip == nullptr)
        std::abort();
    if (parsed.options.cFile.empty() && parsed.errors.empty())
        std::abort();
    return 0;
}

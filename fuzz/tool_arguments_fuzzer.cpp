// Feeds arbitrary names (the bytes split at zero bytes: the C file's folder and name, the
// assembler file, the library) to the compiler program's command building: every user path
// must reach the tools as one whole argument, never as an option.
#include "tool_arguments_check.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < size && fields.size() <= 4; ++i) {
        if (data[i] == 0)
            fields.emplace_back();
        else
            fields.back() += static_cast<char>(data[i]);
    }
    fields.resize(4);
    // The marker tells a user path's arguments from the tools' own words.
    for (std::string &field : fields)
        field.insert(field.size() / 2, 1, ostrel::cc::check::kMarker);
    const ostrel::cc::check::UserPaths paths { fields[0] + "/" + fields[1] + ".c",
        fields[2].size() > 1 ? fields[2] : "", fields[3].size() > 1 ? fields[3] : "" };
    const std::string problem = ostrel::cc::check::CheckToolArguments(paths);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

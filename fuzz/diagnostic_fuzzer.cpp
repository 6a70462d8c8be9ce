// Feeds arbitrary tool output to the diagnostic converter: every message it keeps must become
// an OUTPUT.ERR line that the output window can take (a kind's word, at least 20 characters,
// one line).
#include "contract/compiler_contract.h"
#include "diagnostics.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string output(reinterpret_cast<const char *>(data), size);
    const ostrel::cc::PathContext context { "/work/proj", "/home/user" };
    ostrel::cc::MessageList messages(context);
    messages.AddToolOutput(output);
    for (const std::string &line : messages.Lines()) {
        if (line.size() < 20 || line.find('\n') != std::string::npos)
            std::abort();
        bool worded = false;
        for (const std::string_view word : { ostrel::contract::kErrorWord,
                 ostrel::contract::kWarningWord, ostrel::contract::kNoteWord })
            worded = worded || line.rfind(word, 0) == 0;
        if (!worded)
            std::abort();
    }
    if (messages.Errors() < 0 || messages.Warnings() < 0)
        std::abort();
    // The same bytes as compiler assembler output for /s.
    ostrel::cc::InterleaveSource(output, [](const std::string &) {
        return std::optional<std::vector<std::string>>(std::vector<std::string> { "a", "b" });
    });
    return 0;
}

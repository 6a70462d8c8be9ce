// Feeds arbitrary bytes to the message-file splitter and the message-line parser: no line
// may hold a line feed, the lines with their ends must give back the text, and a parsed file
// name must be a part of its entry that stands before the "(".
#include "compile/message_file.h"
#include "compile/message_line.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    size_t covered = 0;
    for (const std::string &line : ostrel::SplitMessageLines(text)) {
        if (line.find('\n') != std::string::npos)
            std::abort();
        covered += line.size();
        if (text.substr(covered, 2) == "\r\n")
            covered += 2;
        else if (covered < text.size())
            covered += 1;
        if (const auto location = ostrel::ParseMessageLocation(line)) {
            const size_t at = line.find(location->file + "(");
            if (location->file.empty() || at == std::string::npos)
                std::abort();
        }
    }
    if (covered != text.size())
        std::abort();
    return 0;
}

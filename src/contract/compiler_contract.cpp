#include "contract/compiler_contract.h"

#include <cctype>

namespace ostrel::contract {

std::string PaddedMessageLine(std::string line)
{
    if (line.size() < kShortestMessageLine)
        line.append(kShortestMessageLine - line.size(), ' ');
    return line;
}

std::string PlacedMessageLine(
    std::string_view word, std::string_view file, int line, std::string_view text)
{
    std::string entry(word);
    entry += ' ';
    entry += file;
    entry += '(' + std::to_string(line) + "): ";
    entry += text;
    return PaddedMessageLine(std::move(entry));
}

std::string UnplacedMessageLine(std::string_view word, std::string_view text)
{
    std::string entry(word);
    entry += ": ";
    entry += text;
    return PaddedMessageLine(std::move(entry));
}

bool IsMessageFile(std::string_view path)
{
    const size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() != kMessageFile.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto a = static_cast<unsigned char>(name[i]);
        const auto b = static_cast<unsigned char>(kMessageFile[i]);
        if (std::toupper(a) != std::toupper(b))
            return false;
    }
    return true;
}

} // namespace ostrel::contract

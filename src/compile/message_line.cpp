#include "compile/message_line.h"

#include "contract/compiler_contract.h"

#include <cctype>
#include <filesystem>
#include <limits>

namespace ostrel {

namespace {

bool IsSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A decimal integer read as "%d" does; nothing without a digit or beyond the 32-bit range.
std::optional<int32_t> ReadDecimal(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || !IsDigit(text[i]))
        return std::nullopt;
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t { std::numeric_limits<int32_t>::max() } + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

} // namespace

bool IsNavigable(std::string_view entry)
{
    // The compiler program writes "<word> <file>(<line>): ..."; any line holding one of its
    // words followed by a blank counts, wherever it stands.
    auto holds = [&](std::string_view word) {
        for (size_t at = entry.find(word); at != std::string_view::npos;
             at = entry.find(word, at + 1))
            if (at + word.size() < entry.size() && entry[at + word.size()] == ' ')
                return true;
        return false;
    };
    return entry.size() >= contract::kShortestMessageLine
        && (holds(contract::kWarningWord) || holds(contract::kErrorWord)
            || holds(contract::kNoteWord));
}

std::optional<MessageLocation> ParseMessageLocation(std::string_view entry)
{
    if (!IsNavigable(entry))
        return std::nullopt;
    size_t start = entry.find(' ');
    while (start < entry.size() && entry[start] == ' ')
        ++start;
    const size_t open = entry.find('(');
    const size_t close = entry.find(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open
        || open <= start)
        return std::nullopt;
    const auto line = ReadDecimal(entry.substr(open + 1, close - open - 1));
    if (!line)
        return std::nullopt;
    return MessageLocation { std::string(entry.substr(start, open - start)), *line };
}

std::optional<MessageLocation> LocateMessage(
    std::string_view entry, const std::function<bool(const std::string &)> &exists)
{
    auto byPosition = ParseMessageLocation(entry);
    if (!IsNavigable(entry) || (byPosition && exists(byPosition->file)))
        return byPosition;
    size_t start = entry.find(' ');
    while (start < entry.size() && entry[start] == ' ')
        ++start;
    for (size_t open = entry.rfind('('); open != std::string_view::npos && open > start;
         open = entry.rfind('(', open - 1)) {
        const size_t close = entry.find(')', open);
        if (close == std::string_view::npos || close == open + 1)
            continue;
        const std::string_view digits = entry.substr(open + 1, close - open - 1);
        if (digits.find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        const auto line = ReadDecimal(digits);
        std::string file(entry.substr(start, open - start));
        if (line && exists(file))
            return MessageLocation { std::move(file), *line };
    }
    return byPosition;
}

std::string ResolveMessageFile(const std::string &name, const std::string &messageFileDir)
{
    namespace fs = std::filesystem;
    const fs::path path(name);
    if (path.is_absolute())
        return name;
    std::error_code error;
    const fs::path inCurrent = fs::current_path(error) / path;
    if (!error && fs::is_regular_file(inCurrent, error))
        return inCurrent.string();
    if (!messageFileDir.empty()) {
        const fs::path beside = fs::path(messageFileDir) / path;
        if (fs::is_regular_file(beside, error))
            return beside.string();
    }
    return inCurrent.string();
}

} // namespace ostrel

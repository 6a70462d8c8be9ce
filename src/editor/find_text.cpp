#include "editor/find_text.h"

namespace ostrel {

namespace {

char32_t FoldLatin1(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    return c;
}

bool IsContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The character at `at` and the position after it. Bytes that are not well-formed UTF-8
// stand for themselves, apart from every character.
char32_t Decode(std::string_view text, size_t &at, bool utf8)
{
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (!utf8 || lead < 0x80)
        return lead;
    size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 1;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 2;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 3;
    if (length == 0 || text.size() - at < length)
        return 0x110000 + lead;
    char32_t c = lead & (0x3Fu >> length);
    for (size_t k = 0; k < length; ++k) {
        if (!IsContinuation(text[at + k]))
            return 0x110000 + lead;
        c = (c << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3Fu);
    }
    at += length;
    return c;
}

bool IsWordByte(char byte)
{
    const auto c = static_cast<unsigned char>(byte);
    return c >= 0x80 || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')
        || (c >= 'A' && c <= 'Z');
}

// The end of the match starting at `at`, if there is one that ends by `end`.
std::optional<size_t> MatchAt(std::string_view text, size_t at, size_t end,
    std::string_view pattern, const FindOptions &options)
{
    if (options.matchCase) {
        if (end - at < pattern.size() || text.compare(at, pattern.size(), pattern) != 0)
            return std::nullopt;
        return at + pattern.size();
    }
    char32_t (*fold)(char32_t) = options.fold ? options.fold : FoldLatin1;
    const std::string_view window = text.substr(0, end);
    size_t p = 0;
    while (p < pattern.size()) {
        if (at >= end)
            return std::nullopt;
        if (fold(Decode(window, at, options.utf8)) != fold(Decode(pattern, p, options.utf8)))
            return std::nullopt;
    }
    return at;
}

std::optional<TextMatch> TryAt(std::string_view text, size_t at, size_t end,
    std::string_view pattern, const FindOptions &options)
{
    if (options.utf8 && IsContinuation(text[at]))
        return std::nullopt;
    const auto matchEnd = MatchAt(text, at, end, pattern, options);
    if (!matchEnd)
        return std::nullopt;
    if (options.wholeWord
        && ((at > 0 && IsWordByte(text[at - 1]))
            || (*matchEnd < text.size() && IsWordByte(text[*matchEnd]))))
        return std::nullopt;
    return TextMatch { at, *matchEnd };
}

} // namespace

std::optional<TextMatch> FindText(std::string_view text, size_t begin, size_t end,
    std::string_view pattern, const FindOptions &options, bool backward)
{
    end = end < text.size() ? end : text.size();
    if (pattern.empty() || begin >= end)
        return std::nullopt;
    if (backward) {
        for (size_t at = end; at-- > begin;)
            if (auto match = TryAt(text, at, end, pattern, options))
                return match;
        return std::nullopt;
    }
    for (size_t at = begin; at < end; ++at)
        if (auto match = TryAt(text, at, end, pattern, options))
            return match;
    return std::nullopt;
}

} // namespace ostrel

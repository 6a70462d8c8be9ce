#include "editor/find_text.h"

#include <algorithm>
#include <array>

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
        const auto t = static_cast<unsigned char>(window[at]);
        const auto c = static_cast<unsigned char>(pattern[p]);
        if (t < 0x80 && c < 0x80) { // the common case, without decoding
            if (FoldLatin1(t) != FoldLatin1(c))
                return std::nullopt;
            ++at;
            ++p;
            continue;
        }
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
    // A word may not go on past either end of the match; an end that is no word byte itself
    // (a bracket, a blank) is a boundary already.
    if (options.wholeWord
        && ((at > 0 && IsWordByte(text[at - 1]) && IsWordByte(text[at]))
            || (*matchEnd < text.size() && IsWordByte(text[*matchEnd])
                && IsWordByte(text[*matchEnd - 1]))))
        return std::nullopt;
    return TextMatch { at, *matchEnd };
}

// Which bytes can start a match: the pattern's first byte with case; without case the few
// that fold like its first character, and in UTF-8 every lead byte of a longer character
// (some fold to ASCII).
std::array<bool, 256> StartBytes(std::string_view pattern, const FindOptions &options)
{
    std::array<bool, 256> starts {};
    if (options.matchCase) {
        starts[static_cast<unsigned char>(pattern[0])] = true;
        return starts;
    }
    char32_t (*fold)(char32_t) = options.fold ? options.fold : FoldLatin1;
    size_t p = 0;
    const char32_t first = fold(Decode(pattern, p, options.utf8));
    for (unsigned b = 0; b < 256; ++b) {
        if (options.utf8 && b >= 0x80)
            starts[b] = b >= 0xC0;
        else
            starts[b] = fold(b) == first;
    }
    return starts;
}

} // namespace

std::optional<TextMatch> FindText(std::string_view text, size_t begin, size_t end,
    std::string_view pattern, const FindOptions &options, bool backward)
{
    end = end < text.size() ? end : text.size();
    if (pattern.empty() || begin >= end)
        return std::nullopt;
    // Candidates are found fast (the library's search forwards with case, a byte table
    // otherwise), then tried.
    const std::array<bool, 256> starts = StartBytes(pattern, options);
    const auto isStart = [&](size_t at) {
        return starts[static_cast<unsigned char>(text[at])];
    };
    if (backward) {
        for (size_t at = end; at-- > begin;)
            if (isStart(at))
                if (auto match = TryAt(text, at, end, pattern, options))
                    return match;
        return std::nullopt;
    }
    for (size_t at = begin; at < end; ++at) {
        if (options.matchCase) {
            at = text.find(pattern, at);
            if (at == std::string_view::npos || at >= end)
                return std::nullopt;
        } else if (!isStart(at)) {
            continue;
        }
        if (auto match = TryAt(text, at, end, pattern, options))
            return match;
    }
    return std::nullopt;
}

} // namespace ostrel

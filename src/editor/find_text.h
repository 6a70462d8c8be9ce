#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace ostrel {

// Searching a document's bytes for a text, as Find and Replace do. A single-byte document is
// Latin-1: each byte is one character. A UTF-8 document is compared character by character,
// so without `matchCase` "é" finds "É". A whole word does not go on past either end of the
// match: where the match begins (ends) with a word byte (letter, digit, "_" or any byte from
// 0x80 up, as the editor counts them), no word byte stands right before (after) it.
struct FindOptions
{
    bool matchCase = false;
    bool wholeWord = false;
    bool utf8 = true;
    // Folds a character for comparing without case; null: A to Z and the Latin-1 capitals.
    char32_t (*fold)(char32_t) = nullptr;
};

struct TextMatch
{
    size_t start = 0;
    size_t end = 0;
    bool operator==(const TextMatch &) const = default;
};

// The first match of `pattern` (in the document's encoding) that lies inside
// text[begin, end), or the last one when `backward`. The bytes around the window count for
// whole words.
std::optional<TextMatch> FindText(std::string_view text, size_t begin, size_t end,
    std::string_view pattern, const FindOptions &options, bool backward);

} // namespace ostrel

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ostrel {

// What the user last asked Find or Replace for; Find Next repeats it in any source window.
// The texts are UTF-8, as typed.
struct SearchState
{
    std::string findWhat;
    std::string replaceWith;
    bool matchCase = false;
    bool wholeWord = false;
    bool searchDown = true;
};

// The bytes that stand for the typed `text` in a document: the same bytes in a UTF-8
// document; in a single-byte (Latin-1) document one byte per character, or nothing when a
// character has no single-byte form there.
std::optional<std::string> DocumentBytes(std::string_view text, bool utf8Document);

} // namespace ostrel

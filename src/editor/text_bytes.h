#pragma once

#include <string>
#include <string_view>

namespace ostrel {

// How a file's bytes are shown and how typed line ends are written, decided from the bytes.
enum class LineEnd { CrLf, Lf, Cr };

// True for well-formed UTF-8 (plain ASCII included): such a file is shown as UTF-8,
// anything else as single-byte characters.
bool IsValidUtf8(std::string_view bytes);

// The line end used first in the text; `fallback` for text without any.
LineEnd DetectLineEnd(std::string_view bytes, LineEnd fallback);

// `text` with every line end (CR LF, LF or a lone CR) written as `lineEnd`.
std::string ConvertLineEnds(std::string_view text, LineEnd lineEnd);

} // namespace ostrel

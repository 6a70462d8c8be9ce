#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ostrel {

// The largest file opened as a document; larger ones are refused with a message instead of
// exhausting memory.
constexpr size_t kMaxDocumentBytes = size_t { 256 } * 1024 * 1024;

// How a file's bytes are shown and how typed line ends are written, decided from the bytes.
enum class LineEnd { CrLf, Lf, Cr };

// True for well-formed UTF-8 (plain ASCII included): such a file is shown as UTF-8,
// anything else as single-byte characters.
bool IsValidUtf8(std::string_view bytes);

// The line end used first in the text; `fallback` for text without any.
LineEnd DetectLineEnd(std::string_view bytes, LineEnd fallback);

// `text` with every line end (CR LF, LF or a lone CR) written as `lineEnd`.
std::string ConvertLineEnds(std::string_view text, LineEnd lineEnd);

// A path (or any text) as a message shows it: at most about `maxBytes`, its start and its end
// kept and "..." between them, never cutting a UTF-8 character in two.
std::string ShortenForMessage(std::string_view text, size_t maxBytes = 160);

} // namespace ostrel

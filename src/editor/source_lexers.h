#pragma once

#include <string>

class QsciScintilla;

namespace ostrel {

// Highlights C or AVR assembler by the file's extension (plain text otherwise) in the editor's
// fixed-pitch font, with colours taken from the palette so that a dark theme stays readable.
// Nothing changes when the language is the one already shown.
void ApplySourceLexer(QsciScintilla &editor, const std::string &path);

} // namespace ostrel

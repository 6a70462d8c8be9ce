#pragma once

#include <string>
#include <string_view>

namespace ostrel {

// What a source file holds, as its extension tells, for highlighting.
enum class SourceLanguage { Plain, C, AvrAssembler };

// .c and .h are C; .asm, .s and .inc are AVR assembler (any case); anything else is plain text.
SourceLanguage LanguageOfPath(std::string_view path);

// Word lists for highlighting AVR assembler, each a blank-separated list in lower case.
std::string_view AvrInstructionWords();
std::string_view AvrRegisterWords();
std::string_view AvrDirectiveWords();

} // namespace ostrel

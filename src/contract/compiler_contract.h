#pragma once

#include <string_view>

// What the IDE and the compiler program (OSTREL.EXE) agree on: the program's and the message
// file's names, the form of a message line and the option words. Both sides include this one
// header, so neither can drift from the other.
namespace ostrel::contract {

// The compiler program, beside the IDE in the program directory, on every platform.
inline constexpr std::string_view kCompilerProgram = "OSTREL.EXE";
// The message file the compiler program writes beside the C file.
inline constexpr std::string_view kMessageFile = "OUTPUT.ERR";

// A message line: "Error <file>(<line>): <text>", "Warning <file>(<line>): <text>", or
// "Error: <text>" for a message that names no place. Notes are warnings whose text starts
// with "note: ".
inline constexpr std::string_view kErrorWord = "Error";
inline constexpr std::string_view kWarningWord = "Warning";

// The option words after the C file. Each is one argument; a word that takes a value carries
// it directly after the word ("/o0x30", "/a/path/START.ASM").
namespace option {
inline constexpr std::string_view kSmallModel = "/sm";
inline constexpr std::string_view kChip = "/c"; // + '1'..'4'
inline constexpr std::string_view kExternalSram = "/x";
inline constexpr std::string_view kWaitState = "/w";
inline constexpr std::string_view kSramStart = "/rs"; // + "0x..."
inline constexpr std::string_view kSramEnd = "/re"; // + "0x..."
inline constexpr std::string_view kStack = "/st"; // + "0x..."
inline constexpr std::string_view kSourceListing = "/s";
inline constexpr std::string_view kAssemblerFile = "/a"; // + path
inline constexpr std::string_view kLibrary = "/L"; // + path
inline constexpr std::string_view kCodeStart = "/o"; // + "0x..."
} // namespace option

// Whether a path names the message file (any letter case), which the IDE never records as an
// opened source file.
bool IsMessageFile(std::string_view path);

} // namespace ostrel::contract

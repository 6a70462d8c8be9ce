#pragma once

#include <string>
#include <string_view>

// What the IDE and the compiler program (OSTREL.EXE) agree on: the program's and the message
// file's names, the form of a message line and the option words. Both sides include this one
// header, so neither can drift from the other.
namespace ostrel::contract {

// The compiler program, beside the IDE in the program directory, on every platform.
inline constexpr std::string_view kCompilerProgram = "OSTREL.EXE";
// The message file the compiler program writes beside the C file.
inline constexpr std::string_view kMessageFile = "OUTPUT.ERR";

// A message line: "Error <file>(<line>): <text>", "Warning <file>(<line>): <text>",
// "Note <file>(<line>): <text>", or "<word>: <text>" for a message that names no place. A note
// adds to the message before it (a previous definition, the #include that leads to a header)
// and is counted apart. Message files of earlier versions wrote notes as warnings whose text
// starts with kNotePrefix; they are still read as warnings. A file name may hold "(" and ")":
// the line number is the last "(<number>)" after which the name names an existing file. A line
// shorter than kShortestMessageLine is padded with blanks: the output window follows only
// lines of at least that length.
inline constexpr std::string_view kErrorWord = "Error";
inline constexpr std::string_view kWarningWord = "Warning";
inline constexpr std::string_view kNoteWord = "Note";
inline constexpr std::string_view kNotePrefix = "note: ";
inline constexpr size_t kShortestMessageLine = 20;

// "<word> <file>(<line>): <text>", padded.
std::string PlacedMessageLine(
    std::string_view word, std::string_view file, int line, std::string_view text);
// "<word>: <text>", padded.
std::string UnplacedMessageLine(std::string_view word, std::string_view text);
// A line filled up with blanks to kShortestMessageLine characters.
std::string PaddedMessageLine(std::string line);

// The option words after the C file. Each is one argument, taken whole: the compiler program
// never splits an argument at its blanks. A word that takes a value carries it directly after
// the word ("/o0x30", "/a/path/START.ASM").
namespace option {
inline constexpr std::string_view kSmallModel = "/sm";
inline constexpr std::string_view kChip = "/c"; // + '1'..'4'
inline constexpr std::string_view kExternalSram = "/x";
inline constexpr std::string_view kWaitState = "/w";
inline constexpr std::string_view kSramStart = "/rs0x"; // + hexadecimal digits
inline constexpr std::string_view kSramEnd = "/re0x"; // + hexadecimal digits
inline constexpr std::string_view kStack = "/st0x"; // + hexadecimal digits
inline constexpr std::string_view kSourceListing = "/s";
inline constexpr std::string_view kAssemblerFile = "/a"; // + path
inline constexpr std::string_view kLibrary = "/L"; // + path
inline constexpr std::string_view kCodeStart = "/o0x"; // + hexadecimal digits (a word address)
// The settings of a project's extension block; each may be given any number of times, in the
// order of the project's lists, and a project without them gives none of these words. /L too
// may be repeated, one library each.
inline constexpr std::string_view kSourceFile = "/f"; // + path: another C or assembler file
inline constexpr std::string_view kLibrarySource = "/b"; // + folder: built into a library
inline constexpr std::string_view kIncludeFolder = "/I"; // + folder
inline constexpr std::string_view kDefine = "/D"; // + NAME or NAME=value
inline constexpr std::string_view kClock = "/F"; // + decimal Hz: F_CPU, unless a /D sets it
inline constexpr std::string_view kCompilerFlag = "/X"; // + one compiler flag
} // namespace option

// Whether a path names the message file (any letter case), which the IDE never records as an
// opened source file.
bool IsMessageFile(std::string_view path);

} // namespace ostrel::contract

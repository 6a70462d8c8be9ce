#pragma once

#include "chips.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ostrel::cc {

enum class Severity { Error, Warning, Note };

// One message of avr-gcc, cc1, the assembler or the linker. A message without a place has
// an empty file.
struct Diagnostic
{
    Diagnostic() = default;
    Diagnostic(Severity severity_, std::string file_, int line_, std::string text_)
        : severity(severity_)
        , file(std::move(file_))
        , line(line_)
        , text(std::move(text_))
    {
    }

    Severity severity = Severity::Error;
    std::string file;
    int line = 0;
    std::string text;
    // What a linker message is about: an object ("/tmp/x/MAIN.o"), an archive member
    // ("/p/LIB.A(uart.o)") or an input file ("/p/X.LIB"); empty for other messages.
    std::string object;
    // The function a linker message comes from (its "In function" line), empty when unknown.
    std::string function;
};

// What a line of tool output is: a message, or a line to fold away (include chains,
// "In function" lines, caret lines, summaries of other messages). MessageList reads the
// framing lines that this leaves out.
std::optional<Diagnostic> ParseDiagnosticLine(const std::string &line);

// An "In file included from a.c:3:0," or "                 from b.h:2:" line: the place of
// the #include; nothing for any other line.
std::optional<Diagnostic> ParseIncludeLine(const std::string &line);

// Where relative paths are resolved: the C file's directory and the current directory (the
// tools run in it, so relative names in their messages are relative to it).
struct PathContext
{
    std::string cDir;
    std::string currentDir;
};

// The file as OUTPUT.ERR names it: the absolute, normalised path. A name that holds "(" is
// written whole as well: the output window takes the last "(<number>)" after which the name
// names an existing file.
std::string DisplayPath(const std::string &file, const PathContext &context);

// Fills a line up with blanks to the 20 characters the output window needs.
std::string PadLine(std::string line);

// One OUTPUT.ERR line: "<word> <file>(<line>): <text>" with the word Error, Warning or Note,
// or "<word>: <text>" without a place. A linker message says which object, library member
// or input file it comes from.
std::string FormatDiagnostic(const Diagnostic &diagnostic, const PathContext &context);

// What the build is for, so that a message about a full region can say why it is full.
struct Target
{
    const Chip *chip = nullptr;
    std::optional<uint32_t> codeStartWords; // /o
    std::string mapFile; // the linker's map, which it writes also when the program does not fit
};

// The flash bytes a linker map gives the program: its .text and .data output sections.
std::optional<uint32_t> MappedFlashBytes(const std::string &map);

// The text of a message that the program does not fit the flash ("region `text' overflowed by
// N bytes", or "will not fit in region `text'" with the size from the map) with the bytes
// needed, the chip's flash and, when the padding up to the code start is at least the overflow,
// that padding; the text as it is for other messages.
std::string ExplainOverflow(const std::string &text, const Target &target);

// Gathers the messages of every step of a build in the order the tools gave them: each
// message followed by the #include lines that lead to it (as notes), a linker message with
// the library member and function its "In function" line names.
class MessageList
{
public:
    explicit MessageList(PathContext context, Target target = {})
        : m_context(std::move(context))
        , m_target(target)
    {
    }

    void SetTarget(const Target &target) { m_target = target; }

    // All lines of one tool's output.
    void AddToolOutput(const std::string &output);
    // One message; an unplaced message the same as the one before it (the linker prints some
    // twice) is left out.
    void Add(const Diagnostic &diagnostic);
    void AddError(const std::string &text);

    // The OUTPUT.ERR lines, without the summary. "ld returned 1 exit status" is dropped when
    // another error explains it.
    std::vector<std::string> Lines() const;
    // The lines of each word among Lines().
    int Errors() const { return Count(Severity::Error); }
    int Warnings() const { return Count(Severity::Warning); }
    int Notes() const { return Count(Severity::Note); }

private:
    struct Entry
    {
        Diagnostic diagnostic;
        std::string line;
    };
    PathContext m_context;
    Target m_target;
    std::vector<Entry> m_entries;
    bool Redundant(const Entry &entry) const;
    int Count(Severity severity) const;
};

// Flash, SRAM and EEPROM use from "avr-size -A".
struct MemoryUse
{
    uint32_t flash = 0;
    uint32_t sram = 0;
    uint32_t eeprom = 0;
};
std::optional<MemoryUse> ParseSizeOutput(const std::string &output);

// The last line of OUTPUT.ERR: the chip, the counts of errors and warnings, and, when the
// firmware was built, flash and SRAM use against the chip's sizes (sramBytes: the size of
// the data region, the external SRAM when .data lies there).
// Notes are counted only when there are any: "2 errors, 1 warning, 3 notes".
std::string SummaryLine(const Chip &chip, int errors, int warnings,
    const std::optional<MemoryUse> &use, uint32_t sramBytes, int notes = 0);

// The compiler's assembler output with the C source lines that each .loc directive names
// inserted before it as comments (for /s). readLines gives the lines of a source file.
using SourceReader = std::function<std::optional<std::vector<std::string>>(const std::string &)>;
std::string InterleaveSource(const std::string &assembly, const SourceReader &readLines);

// The source files the line tables name, from "avr-objdump --dwarf=rawline": each file
// joined to its folder of the directory table (folder 0, the compilation folder, leaves the
// name as it stands).
std::vector<std::string> DebugSourceNames(const std::string &rawline);

} // namespace ostrel::cc

#pragma once

#include "chips.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::cc {

enum class Severity { Error, Warning, Note };

// One message of avr-gcc, cc1, the assembler or the linker. A message without a place has
// an empty file.
struct Diagnostic
{
    Severity severity = Severity::Error;
    std::string file;
    int line = 0;
    std::string text;
};

// What a line of tool output is: a message, or a line to fold away (include chains,
// "In function" lines, caret lines, summaries of other messages).
std::optional<Diagnostic> ParseDiagnosticLine(const std::string &line);

// Where relative paths are resolved: the C file's directory and the current directory (the
// tools run in it, so relative names in their messages are relative to it).
struct PathContext
{
    std::string cDir;
    std::string currentDir;
};

// The file as OUTPUT.ERR names it: an absolute path; where that holds "(" or ")", which the
// output window cannot take apart, the path relative to the C file's directory.
std::string DisplayPath(const std::string &file, const PathContext &context);

// Fills a line up with blanks to the 20 characters the output window needs.
std::string PadLine(std::string line);

// One OUTPUT.ERR line: "Error <file>(<line>): <text>", "Warning <file>(<line>): <text>"
// (a note is a warning whose text starts with "note: "), or "Error: <text>" without a place.
std::string FormatDiagnostic(const Diagnostic &diagnostic, const PathContext &context);

// Gathers the messages of every step of a build, folded and without duplicates.
class MessageList
{
public:
    explicit MessageList(PathContext context)
        : m_context(std::move(context))
    {
    }

    // All lines of one tool's output.
    void AddToolOutput(const std::string &output);
    void Add(const Diagnostic &diagnostic);
    void AddError(const std::string &text);

    // The OUTPUT.ERR lines, without the summary. "ld returned 1 exit status" is dropped when
    // another error explains it.
    std::vector<std::string> Lines() const;
    int Errors() const;
    int Warnings() const;

private:
    struct Entry
    {
        Diagnostic diagnostic;
        std::string line;
    };
    PathContext m_context;
    std::vector<Entry> m_entries;
    bool Redundant(const Entry &entry) const;
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
std::string SummaryLine(const Chip &chip, int errors, int warnings,
    const std::optional<MemoryUse> &use, uint32_t sramBytes);

// The compiler's assembler output with the C source lines that each .loc directive names
// inserted before it as comments (for /s). readLines gives the lines of a source file.
using SourceReader = std::function<std::optional<std::vector<std::string>>(const std::string &)>;
std::string InterleaveSource(const std::string &assembly, const SourceReader &readLines);

// The source files the line tables name, from "avr-objdump --dwarf=rawline": each file
// joined to its folder of the directory table (folder 0, the compilation folder, leaves the
// name as it stands).
std::vector<std::string> DebugSourceNames(const std::string &rawline);

} // namespace ostrel::cc

#include "diagnostics.h"

#include "contract/compiler_contract.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace ostrel::cc {

namespace {

bool StartsWith(const std::string &text, const std::string &prefix)
{
    return text.rfind(prefix, 0) == 0;
}

bool EndsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size()
        && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool Contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

// Single-byte text: the typographic quotes of a UTF-8 locale become plain ones.
std::string PlainText(std::string line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    static const std::pair<const char *, const char *> kReplacements[] = { { "\xE2\x80\x98", "'" },
        { "\xE2\x80\x99", "'" }, { "\xE2\x80\x9C", "\"" }, { "\xE2\x80\x9D", "\"" } };
    for (const auto &[from, to] : kReplacements) {
        for (size_t at = line.find(from); at != std::string::npos; at = line.find(from, at))
            line.replace(at, 3, to);
    }
    return line;
}

// Lines that only frame other messages.
bool IsFramingLine(const std::string &line)
{
    if (StartsWith(line, "In file included from ") || StartsWith(line, "                 from "))
        return true;
    if (line == "compilation terminated."
        || EndsWith(line, "some warnings being treated as errors"))
        return true;
    if (EndsWith(line, ":")) {
        for (const char *frame : { ": In function ", ": In member function ", ": In constructor ",
                 ": In destructor ", ": In instantiation of ",
                 ": At top level:", ": At global scope:", ": Assembler messages:" })
            if (Contains(line, frame))
                return true;
    }
    return false;
}

// Splits a "severity: " prefix off the text.
std::optional<Severity> TakeSeverity(std::string &text)
{
    static const std::pair<const char *, Severity> kPrefixes[] = {
        { "fatal error: ", Severity::Error }, { "Fatal error: ", Severity::Error },
        { "error: ", Severity::Error }, { "Error: ", Severity::Error },
        { "warning: ", Severity::Warning }, { "Warning: ", Severity::Warning },
        { "note: ", Severity::Note }, { "Note: ", Severity::Note }
    };
    for (const auto &[prefix, severity] : kPrefixes) {
        if (StartsWith(text, prefix)) {
            text.erase(0, std::string(prefix).size());
            return severity;
        }
    }
    return std::nullopt;
}

// Mistakes that silently break firmware are errors, whatever the toolchain calls them.
Severity Promote(Severity severity, const std::string &text)
{
    if (severity == Severity::Warning
        && (Contains(text, "misspelled signal handler")
            || Contains(text, "misspelled interrupt handler")
            || Contains(text, "implicit declaration of function")))
        return Severity::Error;
    return severity;
}

// "<file>:<line>:" at the start of a line: the position of the colon before the line number
// and the number's end, or nothing.
bool FindPlace(const std::string &line, size_t &fileEnd, size_t &numberEnd)
{
    for (size_t i = 1; i < line.size(); ++i) {
        if (line[i] != ':')
            continue;
        size_t j = i + 1;
        while (j < line.size() && std::isdigit(static_cast<unsigned char>(line[j])))
            ++j;
        if (j > i + 1 && j < line.size() && line[j] == ':') {
            if (Contains(line.substr(0, i), ": "))
                return false;
            fileEnd = i;
            numberEnd = j;
            return true;
        }
        if (i + 1 < line.size() && line[i + 1] == ' ')
            return false; // "program: text" comes first: no place
    }
    return false;
}

// The linker names a place inside an object as "object.o:source.c:12:" or, for an archive
// member, "lib.a(object.o):source.c:12:": the source file is what follows the object.
std::string WithoutObject(const std::string &file)
{
    size_t cut = std::string::npos;
    for (const char *end : { ".o:", ".o):", ".obj:", ".obj):" }) {
        const size_t at = file.rfind(end);
        if (at != std::string::npos) {
            const size_t after = at + std::string(end).size();
            if (cut == std::string::npos || after > cut)
                cut = after;
        }
    }
    return cut == std::string::npos || cut >= file.size() ? file : file.substr(cut);
}

} // namespace

std::optional<Diagnostic> ParseDiagnosticLine(const std::string &rawLine)
{
    const std::string line = PlainText(rawLine);
    if (line.empty() || line[0] == ' ' || line[0] == '\t' || IsFramingLine(line))
        return std::nullopt;

    Diagnostic diagnostic;
    size_t fileEnd = 0, numberEnd = 0;
    if (FindPlace(line, fileEnd, numberEnd)) {
        diagnostic.file = WithoutObject(line.substr(0, fileEnd));
        diagnostic.line = std::atoi(line.substr(fileEnd + 1, numberEnd - fileEnd - 1).c_str());
        size_t at = numberEnd + 1;
        // the column of a compiler message
        size_t digits = at;
        while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])))
            ++digits;
        if (digits > at && digits < line.size() && line[digits] == ':')
            at = digits + 1;
        // the section of a linker message: "(.text+0x4):"
        if (at < line.size() && line[at] == '(') {
            const size_t close = line.find("):", at);
            if (close != std::string::npos)
                at = close + 2;
        }
        while (at < line.size() && line[at] == ' ')
            ++at;
        std::string text = line.substr(at);
        const std::optional<Severity> severity = TakeSeverity(text);
        if (severity)
            diagnostic.severity = *severity;
        else if (Contains(text, "first defined here"))
            diagnostic.severity = Severity::Note;
        else
            diagnostic.severity = Severity::Error; // the linker's "undefined reference" and kin
        diagnostic.text = text;
        diagnostic.severity = Promote(diagnostic.severity, text);
        if (StartsWith(diagnostic.file, "<")) { // <command-line>, <built-in>
            diagnostic.file.clear();
            diagnostic.line = 0;
        }
        return diagnostic;
    }

    // "program: severity: text", "ld: text", "object:(.text+0x4): text", or plain text.
    std::string text = line;
    const size_t section = line.find(":(");
    const size_t colon = line.find(": ");
    if (section != std::string::npos && (colon == std::string::npos || section < colon)) {
        const size_t close = line.find("):", section);
        if (close != std::string::npos) {
            text = line.substr(close + 2);
            while (!text.empty() && text[0] == ' ')
                text.erase(0, 1);
        }
    } else if (colon != std::string::npos) {
        text = line.substr(colon + 2);
    }
    const std::optional<Severity> severity = TakeSeverity(text);
    if (severity)
        diagnostic.severity = *severity;
    else if (Contains(text, "first defined here"))
        diagnostic.severity = Severity::Note;
    else if (colon != std::string::npos || section != std::string::npos)
        diagnostic.severity = Severity::Error; // the linker names no severity for its errors
    else
        diagnostic.severity = Contains(line, "rror") ? Severity::Error : Severity::Warning;
    diagnostic.text = text;
    diagnostic.severity = Promote(diagnostic.severity, text);
    return diagnostic;
}

std::string DisplayPath(const std::string &file, const PathContext &context)
{
    namespace fs = std::filesystem;
    fs::path path(file);
    if (path.is_relative())
        path = fs::path(context.currentDir) / path;
    path = path.lexically_normal();
    std::string shown = path.string();
    if (shown.find_first_of("()") != std::string::npos) {
        const fs::path relative =
            path.lexically_relative(fs::path(context.cDir).lexically_normal());
        if (!relative.empty())
            shown = relative.string();
    }
    return shown;
}

std::string PadLine(std::string line)
{
    return contract::PaddedMessageLine(std::move(line));
}

std::string FormatDiagnostic(const Diagnostic &diagnostic, const PathContext &context)
{
    const std::string_view word =
        diagnostic.severity == Severity::Error ? contract::kErrorWord : contract::kWarningWord;
    const std::string text = diagnostic.severity == Severity::Note
        ? std::string(contract::kNotePrefix) + diagnostic.text
        : diagnostic.text;
    if (diagnostic.file.empty())
        return contract::UnplacedMessageLine(word, text);
    return contract::PlacedMessageLine(
        word, DisplayPath(diagnostic.file, context), diagnostic.line, text);
}

void MessageList::AddToolOutput(const std::string &output)
{
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        if (auto diagnostic = ParseDiagnosticLine(output.substr(start, end - start)))
            Add(*diagnostic);
        start = end + 1;
    }
}

void MessageList::Add(const Diagnostic &diagnostic)
{
    Entry entry { diagnostic, FormatDiagnostic(diagnostic, m_context) };
    for (const Entry &existing : m_entries)
        if (existing.line == entry.line)
            return;
    m_entries.push_back(std::move(entry));
}

void MessageList::AddError(const std::string &text)
{
    Add(Diagnostic { Severity::Error, {}, 0, text });
}

bool MessageList::Redundant(const Entry &entry) const
{
    if (!Contains(entry.diagnostic.text, "returned 1 exit status"))
        return false;
    for (const Entry &other : m_entries)
        if (&other != &entry && other.diagnostic.severity == Severity::Error
            && !Contains(other.diagnostic.text, "returned 1 exit status"))
            return true;
    return false;
}

std::vector<std::string> MessageList::Lines() const
{
    std::vector<std::string> lines;
    for (const Entry &entry : m_entries)
        if (!Redundant(entry))
            lines.push_back(entry.line);
    return lines;
}

int MessageList::Errors() const
{
    int count = 0;
    for (const Entry &entry : m_entries)
        if (entry.diagnostic.severity == Severity::Error && !Redundant(entry))
            ++count;
    return count;
}

int MessageList::Warnings() const
{
    int count = 0;
    for (const Entry &entry : m_entries)
        if (entry.diagnostic.severity == Severity::Warning)
            ++count;
    return count;
}

std::optional<MemoryUse> ParseSizeOutput(const std::string &output)
{
    std::map<std::string, uint32_t> sizes;
    bool sawHeader = false;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        const std::string line = output.substr(start, end - start);
        start = end + 1;
        char name[128];
        unsigned long size = 0;
        if (StartsWith(line, "section"))
            sawHeader = true;
        else if (std::sscanf(line.c_str(), "%127s %lu", name, &size) == 2 && name[0] == '.')
            sizes[name] += static_cast<uint32_t>(size);
    }
    if (!sawHeader)
        return std::nullopt;
    MemoryUse use;
    use.flash = sizes[".text"] + sizes[".data"];
    use.sram = sizes[".data"] + sizes[".bss"] + sizes[".noinit"];
    use.eeprom = sizes[".eeprom"];
    return use;
}

std::string SummaryLine(const Chip &chip, int errors, int warnings,
    const std::optional<MemoryUse> &use, uint32_t sramBytes)
{
    auto count = [](int n, const char *word) {
        return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
    };
    auto share = [](uint32_t used, uint32_t size) {
        char text[96];
        std::snprintf(text, sizeof text, "%u of %u bytes (%.1f%%)", used, size,
            size ? 100.0 * used / size : 0.0);
        return std::string(text);
    };
    std::string line = std::string(chip.displayName) + ": ";
    if (use && errors == 0) {
        line += "built, " + count(errors, "error") + ", " + count(warnings, "warning") + "; flash "
            + share(use->flash, chip.flashBytes) + ", SRAM " + share(use->sram, sramBytes);
        if (use->eeprom)
            line += ", EEPROM " + share(use->eeprom, chip.eepromBytes);
    } else {
        line += "build failed, " + count(errors, "error") + ", " + count(warnings, "warning")
            + "; no firmware written (flash " + std::to_string(chip.flashBytes) + " bytes, SRAM "
            + std::to_string(sramBytes) + " bytes)";
    }
    return PadLine(line);
}

namespace {

std::string Unescape(const std::string &text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

} // namespace

std::string InterleaveSource(const std::string &assembly, const SourceReader &readLines)
{
    std::map<int, std::string> files;
    std::map<std::string, std::optional<std::vector<std::string>>> sources;
    std::pair<int, int> last { -1, -1 };
    std::string out;
    size_t start = 0;
    while (start < assembly.size()) {
        size_t end = assembly.find('\n', start);
        if (end == std::string::npos)
            end = assembly.size();
        const std::string line = assembly.substr(start, end - start);
        start = end + 1;

        size_t at = line.find_first_not_of(" \t");
        const std::string directive = at == std::string::npos ? "" : line.substr(at);
        int number = 0, lineNumber = 0;
        char quoted[1024];
        if (std::sscanf(directive.c_str(), ".file %d \"%1023[^\n]", &number, quoted) == 2) {
            std::string name = quoted;
            if (!name.empty() && name.back() == '"')
                name.pop_back();
            files[number] = Unescape(name);
        } else if (std::sscanf(directive.c_str(), ".loc %d %d", &number, &lineNumber) == 2
            && std::make_pair(number, lineNumber) != last && files.count(number)) {
            last = { number, lineNumber };
            const std::string &file = files[number];
            if (!sources.count(file))
                sources[file] = readLines(file);
            const auto &text = sources[file];
            if (text && lineNumber >= 1 && static_cast<size_t>(lineNumber) <= text->size()) {
                std::string source = (*text)[static_cast<size_t>(lineNumber) - 1];
                while (!source.empty() && (source.back() == '\r' || source.back() == '\n'))
                    source.pop_back();
                out += "; " + std::filesystem::path(file).filename().string() + "("
                    + std::to_string(lineNumber) + "): " + source + "\n";
            }
        }
        out += line;
        out += '\n';
    }
    return out;
}

std::vector<std::string> DebugSourceNames(const std::string &rawline)
{
    enum class Table { None, Directories, Files } table = Table::None;
    std::vector<std::string> folders;
    std::vector<std::string> names;
    std::istringstream in(rawline);
    for (std::string line; std::getline(in, line);) {
        if (line.find("The Directory Table") != std::string::npos) {
            table = Table::Directories;
            folders.clear();
            continue;
        }
        if (line.find("The File Name Table") != std::string::npos) {
            table = Table::Files;
            continue;
        }
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            table = Table::None;
            continue;
        }
        // "  <entry>\t<folder>" and "  <entry>\t<dir>\t<time>\t<size>\t<name>"
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t tab; fields.size() < 4 && (tab = line.find('\t', start)) != std::string::npos;
             start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        if (table == Table::Directories && fields.size() == 2) {
            folders.push_back(fields[1]);
        } else if (table == Table::Files && fields.size() == 5) {
            const unsigned long dir = std::strtoul(fields[1].c_str(), nullptr, 10);
            std::string name = fields[4];
            while (!name.empty() && name.back() == '\r')
                name.pop_back();
            if (dir >= 1 && dir <= folders.size() && !name.empty() && name[0] != '/')
                name = (std::filesystem::path(folders[dir - 1]) / name).string();
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

} // namespace ostrel::cc

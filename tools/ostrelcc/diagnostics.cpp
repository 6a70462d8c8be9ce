#include "diagnostics.h"

#include "contract/compiler_contract.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

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
// member, "lib.a(object.o):source.c:12:": the source file is what follows the object, which
// goes to `object`.
std::string WithoutObject(const std::string &file, std::string &object)
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
    if (cut == std::string::npos || cut >= file.size())
        return file;
    object = file.substr(0, cut - 1);
    return file.substr(cut);
}

// Whether a name is one of the toolchain's programs ("/usr/.../avr/bin/ld", "collect2",
// "avr-gcc.exe"), which print their own name before a message.
bool IsProgramName(std::string name)
{
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    if (EndsWith(name, ".exe"))
        name.resize(name.size() - 4);
    if (StartsWith(name, "avr-"))
        name.erase(0, 4);
    if (StartsWith(name, "gcc-") || StartsWith(name, "cpp-"))
        name.resize(3);
    static const std::set<std::string> kPrograms = { "ld", "as", "gcc", "cc", "cc1", "cpp",
        "collect2", "lto-wrapper", "objcopy", "objdump", "size", "ar", "nm" };
    return kPrograms.count(name) > 0;
}

// "program:" or "program: " before a message: the program's name goes, whether or not a blank
// follows its colon (the linker glues it to the file it complains about).
std::string WithoutProgram(const std::string &line, bool &fromProgram)
{
    size_t colon = line.find(':');
    if (colon == 1 && std::isalpha(static_cast<unsigned char>(line[0])))
        colon = line.find(':', 2); // a drive letter
    fromProgram = colon != std::string::npos && colon > 0 && IsProgramName(line.substr(0, colon));
    if (!fromProgram)
        return line;
    size_t at = colon + 1;
    while (at < line.size() && line[at] == ' ')
        ++at;
    return line.substr(at);
}

bool IsArchiveMember(const std::string &object)
{
    return EndsWith(object, ")") && object.find('(') != std::string::npos;
}

bool IsObjectFile(const std::string &object)
{
    return EndsWith(object, ".o") || EndsWith(object, ".obj");
}

std::string FileName(const std::string &path)
{
    return std::filesystem::path(path).filename().string();
}

// "<object>: In function `f':" (the linker) or "<file>: In function 'f':" (the compiler):
// the object and the function.
std::optional<std::pair<std::string, std::string>> ParseFunctionFrame(const std::string &line)
{
    const size_t at = line.rfind(": In function ");
    if (at == std::string::npos || !EndsWith(line, ":"))
        return std::nullopt;
    std::string function = line.substr(at + 14, line.size() - at - 15);
    if (function.size() >= 2)
        function = function.substr(1, function.size() - 2);
    return std::make_pair(line.substr(0, at), function);
}

} // namespace

std::optional<Diagnostic> ParseIncludeLine(const std::string &rawLine)
{
    std::string line = PlainText(rawLine);
    static const char *const kStarts[] = { "In file included from ", "                 from " };
    bool known = false;
    for (const char *start : kStarts)
        if (StartsWith(line, start)) {
            line.erase(0, std::string(start).size());
            known = true;
            break;
        }
    if (!known)
        return std::nullopt;
    while (!line.empty() && (line.back() == ':' || line.back() == ','))
        line.pop_back();
    // "<file>:<line>" or "<file>:<line>:<column>"
    int numbers[2] = { 0, 0 };
    int count = 0;
    while (count < 2) {
        const size_t colon = line.rfind(':');
        if (colon == std::string::npos || colon + 1 >= line.size()
            || line.find_first_not_of("0123456789", colon + 1) != std::string::npos)
            break;
        numbers[count++] = std::atoi(line.c_str() + colon + 1);
        line.resize(colon);
    }
    if (count == 0 || line.empty())
        return std::nullopt;
    return Diagnostic { Severity::Note, line, numbers[count - 1], {} };
}

std::optional<Diagnostic> ParseDiagnosticLine(const std::string &rawLine)
{
    const std::string plain = PlainText(rawLine);
    if (plain.empty() || plain[0] == ' ' || plain[0] == '\t' || IsFramingLine(plain))
        return std::nullopt;
    bool fromProgram = false;
    const std::string line = WithoutProgram(plain, fromProgram);

    Diagnostic diagnostic;
    size_t fileEnd = 0, numberEnd = 0;
    if (FindPlace(line, fileEnd, numberEnd)) {
        diagnostic.file = WithoutObject(line.substr(0, fileEnd), diagnostic.object);
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

    // "severity: text", "object:(.text+0x4): text", "file: text", or plain text.
    std::string text = line;
    std::optional<Severity> severity = TakeSeverity(text);
    const size_t section = line.find(":(");
    const size_t colon = line.find(": ");
    bool aboutFile = false;
    if (!severity && section != std::string::npos
        && (colon == std::string::npos || section < colon)) {
        const size_t close = line.find("):", section);
        if (close != std::string::npos) {
            diagnostic.object = line.substr(0, section);
            text = line.substr(close + 2);
            while (!text.empty() && text[0] == ' ')
                text.erase(0, 1);
            aboutFile = true;
        }
    } else if (!severity && colon != std::string::npos) {
        // the file the tool complains about ("X.LIB: file not recognized")
        diagnostic.object = line.substr(0, colon);
        text = line.substr(colon + 2);
        aboutFile = true;
    }
    if (!severity)
        severity = TakeSeverity(text);
    if (severity)
        diagnostic.severity = *severity;
    else if (Contains(text, "first defined here"))
        diagnostic.severity = Severity::Note;
    else if (Contains(text, "treating as linker script"))
        diagnostic.severity = Severity::Warning; // its errors, if any, follow with their lines
    else if (fromProgram || aboutFile)
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
    return path.lexically_normal().string();
}

std::string PadLine(std::string line)
{
    return contract::PaddedMessageLine(std::move(line));
}

namespace {

// Where a linker message comes from, as the line says it: " (in function `f' of uart.o in
// library /p/LIB.A)", " (in MAIN.o)"; empty when the message names no object or its place
// says enough.
std::string Origin(const Diagnostic &diagnostic)
{
    const std::string &object = diagnostic.object;
    const std::string function =
        diagnostic.function.empty() ? "" : "function `" + diagnostic.function + "' of ";
    if (IsArchiveMember(object)) {
        const size_t open = object.rfind('(');
        return " (in " + function + object.substr(open + 1, object.size() - open - 2)
            + " in library " + object.substr(0, open) + ")";
    }
    if (diagnostic.file.empty() && IsObjectFile(object))
        return " (in " + function + FileName(object) + ")";
    return {};
}

} // namespace

std::string FormatDiagnostic(const Diagnostic &diagnostic, const PathContext &context)
{
    const std::string_view word = diagnostic.severity == Severity::Error ? contract::kErrorWord
        : diagnostic.severity == Severity::Warning                       ? contract::kWarningWord
                                                                         : contract::kNoteWord;
    std::string text = diagnostic.text + Origin(diagnostic);
    if (diagnostic.file.empty() && !diagnostic.object.empty() && !IsObjectFile(diagnostic.object)
        && !IsArchiveMember(diagnostic.object))
        text = diagnostic.object + ": " + text; // an input file the linker cannot use
    if (diagnostic.file.empty())
        return contract::UnplacedMessageLine(word, text);
    return contract::PlacedMessageLine(
        word, DisplayPath(diagnostic.file, context), diagnostic.line, text);
}

std::optional<uint32_t> MappedFlashBytes(const std::string &map)
{
    std::istringstream in(map);
    uint32_t bytes = 0;
    bool found = false;
    for (std::string line; std::getline(in, line);) {
        char name[16];
        unsigned long long address = 0, size = 0;
        if (std::sscanf(line.c_str(), "%15s %llx %llx", name, &address, &size) == 3
            && (std::strcmp(name, ".text") == 0 || std::strcmp(name, ".data") == 0)
            && (line[0] == '.')) {
            bytes += static_cast<uint32_t>(size);
            found = true;
        }
    }
    return found ? std::optional<uint32_t>(bytes) : std::nullopt;
}

std::string ExplainOverflow(const std::string &text, const Target &target)
{
    if (!target.chip)
        return text;
    unsigned long over = 0;
    const size_t at = text.find("region `text' overflowed by ");
    if (at != std::string::npos) {
        if (std::sscanf(text.c_str() + at, "region `text' overflowed by %lu", &over) != 1)
            return text;
    } else if (Contains(text, "will not fit in region `text'") && !target.mapFile.empty()) {
        std::ifstream in(target.mapFile, std::ios::binary);
        std::ostringstream map;
        map << in.rdbuf();
        const auto needed = MappedFlashBytes(map.str());
        if (!needed || *needed <= target.chip->flashBytes)
            return text;
        over = *needed - target.chip->flashBytes;
    } else {
        return text;
    }
    const Chip &chip = *target.chip;
    std::string explained = text + ": the program needs " + std::to_string(chip.flashBytes + over)
        + " bytes, the " + chip.displayName + " has " + std::to_string(chip.flashBytes)
        + " bytes of flash";
    const uint64_t start = uint64_t { target.codeStartWords.value_or(0) } * 2;
    if (start > chip.vectorBytes && start - chip.vectorBytes >= over) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(*target.codeStartWords));
        explained += "; the code start /o0x" + std::string(hex) + " adds "
            + std::to_string(start - chip.vectorBytes)
            + " bytes of padding after the interrupt vectors, which is the difference (without a "
              "code start the code follows the vectors)";
    }
    return explained;
}

void MessageList::AddToolOutput(const std::string &output)
{
    std::vector<Diagnostic> includes; // the #include lines before the next message
    std::string frameObject, frameFunction; // the last "In function" line
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        const std::string raw = output.substr(start, end - start);
        start = end + 1;
        if (auto include = ParseIncludeLine(raw)) {
            if (StartsWith(raw, "In file"))
                includes.clear();
            includes.push_back(std::move(*include));
            continue;
        }
        if (auto frame = ParseFunctionFrame(PlainText(raw))) {
            std::tie(frameObject, frameFunction) = *frame;
            continue;
        }
        auto diagnostic = ParseDiagnosticLine(raw);
        if (!diagnostic)
            continue;
        // Only the linker's frames name objects (the compiler's name the C file). A message
        // that names another object ends the frame; one that names none, nor a place, is the
        // linker's own.
        const std::string &own = diagnostic->object;
        const bool objectFrame = IsArchiveMember(frameObject) || IsObjectFile(frameObject);
        if (objectFrame
            && (own == frameObject || (own.empty() && !diagnostic->file.empty())
                || (!own.empty() && !IsArchiveMember(own) && !IsObjectFile(own)))) {
            diagnostic->object = frameObject;
            diagnostic->function = frameFunction;
        } else if (!own.empty()) {
            frameObject.clear();
        }
        Add(*diagnostic);
        // gcc names the #include lines innermost first: each includes the file before it. A
        // chain whose first line lies in the message's own file leads to a macro's header,
        // not to the message: it goes.
        std::string included = diagnostic->file;
        if (!includes.empty()
            && DisplayPath(includes.front().file, m_context)
                == DisplayPath(diagnostic->file, m_context))
            includes.clear();
        for (Diagnostic &include : includes) {
            include.text = "includes "
                + (included.empty() ? std::string("the file of the message above")
                                    : FileName(included));
            included = include.file;
            Add(include);
        }
        includes.clear();
    }
}

void MessageList::Add(const Diagnostic &diagnostic)
{
    Diagnostic explained = diagnostic;
    explained.text = ExplainOverflow(diagnostic.text, m_target);
    Entry entry { explained, FormatDiagnostic(explained, m_context) };
    if (explained.file.empty() && !m_entries.empty() && m_entries.back().line == entry.line)
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

int MessageList::Count(Severity severity) const
{
    int count = 0;
    for (const Entry &entry : m_entries)
        if (entry.diagnostic.severity == severity && !Redundant(entry))
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
    const std::optional<MemoryUse> &use, uint32_t sramBytes, int notes)
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
    std::string counts = count(errors, "error") + ", " + count(warnings, "warning");
    if (notes > 0)
        counts += ", " + count(notes, "note");
    std::string line = std::string(chip.displayName) + ": ";
    if (use && errors == 0) {
        line += "built, " + counts + "; flash " + share(use->flash, chip.flashBytes) + ", SRAM "
            + share(use->sram, sramBytes);
        if (use->eeprom)
            line += ", EEPROM " + share(use->eeprom, chip.eepromBytes);
    } else {
        line += "build failed, " + counts + "; no firmware written (flash "
            + std::to_string(chip.flashBytes) + " bytes, SRAM " + std::to_string(sramBytes)
            + " bytes)";
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

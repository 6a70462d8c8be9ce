#include "plan.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <initializer_list>

namespace ostrel::cc {

namespace {

// The chip of the build; a plan made without a /c word builds for the default chip.
const Chip &ChipOf(const Options &options)
{
    return options.chip ? *options.chip : DefaultChip();
}

std::string Hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

bool StartsWith(const std::string &text, const char *prefix)
{
    return text.rfind(prefix, 0) == 0;
}

std::vector<std::string> SplitBlanks(const std::string &text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

constexpr uint32_t kDataOffset = 0x800000; // the data space in the linker's addresses

// Existence checks that never throw: a path that cannot be examined counts as missing.
bool Exists(const std::string &path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

bool IsRegularFile(const std::string &path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

bool LooksLikeOption(const std::string &word)
{
    static const char *const kExact[] = { "/sm", "/c1", "/c2", "/c3", "/c4", "/x", "/w", "/s" };
    for (const char *exact : kExact)
        if (word == exact)
            return true;
    static const char *const kPrefixes[] = { "/rs0x", "/re0x", "/st0x", "/o0x", "/a", "/L" };
    for (const char *prefix : kPrefixes)
        if (StartsWith(word, prefix))
            return true;
    return false;
}

std::optional<uint32_t> ParseHex(const std::string &text)
{
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    uint32_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16u + static_cast<uint32_t>(digit);
    }
    return value;
}

std::vector<std::string> SplitOptionWords(const std::vector<std::string> &arguments)
{
    std::vector<std::string> words;
    for (const std::string &argument : arguments) {
        std::vector<std::string> pieces = SplitBlanks(argument);
        bool allOptions = !pieces.empty();
        for (const std::string &piece : pieces)
            allOptions = allOptions && LooksLikeOption(piece);
        if (allOptions)
            words.insert(words.end(), pieces.begin(), pieces.end());
        else if (!pieces.empty())
            words.push_back(argument);
    }
    return words;
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string> &arguments)
{
    ParsedCommandLine result;
    Options &options = result.options;
    std::vector<std::string> rest;
    if (arguments.empty()) {
        result.errors.emplace_back("no C file given (usage: OSTREL.EXE <C file> <option words>)");
        return result;
    }
    options.cFile = arguments[0];
    // The C file and its options may also come as one string ("MAIN.C /sm /c3 ...").
    if (arguments.size() == 1) {
        const size_t cut = options.cFile.find(" /");
        if (cut != std::string::npos && !Exists(options.cFile)) {
            rest.push_back(options.cFile.substr(cut + 1));
            options.cFile.erase(cut);
        }
    }
    size_t next = 1;
    // A C file path with blanks that reached us split at its blanks (a command line composed
    // without quotes): the shortest run of arguments that names an existing file.
    if (!Exists(options.cFile)) {
        std::string joined = options.cFile;
        for (size_t k = 1; k < arguments.size(); ++k) {
            joined += " " + arguments[k];
            if (IsRegularFile(joined)) {
                options.cFile = joined;
                next = k + 1;
                break;
            }
        }
    }
    rest.insert(rest.end(), arguments.begin() + static_cast<std::ptrdiff_t>(next), arguments.end());

    auto hexValue = [&](const std::string &word, size_t prefix) -> std::optional<uint32_t> {
        auto value = ParseHex(word.substr(prefix));
        if (!value)
            result.errors.push_back("option " + word + ": not a hexadecimal address");
        return value;
    };

    std::string *lastPath = nullptr; // the path of the last /a or /L word
    for (const std::string &word : SplitOptionWords(rest)) {
        // A path with blanks split at its blanks: the pieces that follow /a or /L belong to
        // it while it names no existing file.
        if (lastPath && !LooksLikeOption(word) && !Exists(*lastPath)) {
            *lastPath += " " + word;
            continue;
        }
        lastPath = nullptr;
        if (word == "/sm") {
            // small memory model: the only one there is
        } else if (const Chip *chip = ChipForOption(word)) {
            options.chip = chip;
        } else if (word == "/x") {
            options.sre = true;
        } else if (word == "/w") {
            options.waitState = true;
        } else if (word == "/s") {
            options.includeSource = true;
        } else if (StartsWith(word, "/rs0x")) {
            options.sramStart = hexValue(word, 5);
        } else if (StartsWith(word, "/re0x")) {
            options.sramEnd = hexValue(word, 5);
        } else if (StartsWith(word, "/st0x")) {
            options.stack = hexValue(word, 5);
        } else if (StartsWith(word, "/o0x")) {
            std::string digits = word.substr(4);
            // A code start typed as "0x30" in the settings dialog arrives as /o0x0x30.
            if (StartsWith(digits, "0x") || StartsWith(digits, "0X"))
                digits.erase(0, 2);
            if (digits.empty())
                options.codeStartWords.reset(); // no code start: right after the vectors
            else
                options.codeStartWords = hexValue(word, word.size() - digits.size());
        } else if (StartsWith(word, "/a") && word.size() > 2) {
            options.asmFile = word.substr(2);
            lastPath = &options.asmFile;
        } else if (StartsWith(word, "/L") && word.size() > 2) {
            options.libFile = word.substr(2);
            lastPath = &options.libFile;
        } else {
            result.errors.push_back("unknown option word '" + word + "'");
        }
    }
    if (options.cFile.empty())
        result.errors.emplace_back("no C file given");
    if (options.chip == nullptr)
        options.chip = &DefaultChip();

    const Chip &chip = *options.chip;
    const std::string name = chip.displayName;
    if ((options.sre || options.waitState) && !chip.externalSram)
        result.errors.push_back("the " + name + " has no external SRAM interface (/x, /w)");
    if ((options.sramStart || options.sramEnd) && !chip.externalSram) {
        result.errors.push_back("the " + name + " has no external SRAM (/rs0x, /re0x)");
    } else if (options.sramStart || options.sramEnd) {
        const uint32_t start = options.sramStart.value_or(chip.sramStart);
        const uint32_t end = options.sramEnd.value_or(chip.xramEnd);
        if (start < chip.sramStart)
            result.errors.push_back("external SRAM start " + Hex(start)
                + " lies below the SRAM of the " + name + " (" + Hex(chip.sramStart) + ")");
        else if (end > chip.xramEnd)
            result.errors.push_back("external SRAM end " + Hex(end) + " lies beyond the "
                + Hex(chip.xramEnd) + " the " + name + " can address");
        else if (start > end)
            result.errors.push_back(
                "external SRAM start " + Hex(start) + " lies above its end " + Hex(end));

        if (!options.sre && end > chip.ramEnd)
            result.warnings.emplace_back("the data lie in external SRAM (/rs0x, /re0x) but /x does "
                                         "not switch it on (SRE)");
    }
    if (options.stack) {
        uint32_t top = chip.ramEnd;
        if (options.sramEnd && chip.externalSram)
            top = std::max(*options.sramEnd, chip.ramEnd);
        else if (options.sre && chip.externalSram)
            top = chip.xramEnd;
        if (*options.stack > top || *options.stack < chip.sramStart)
            result.errors.push_back("initial stack pointer " + Hex(*options.stack)
                + " lies beyond the SRAM of the " + name + " (" + Hex(chip.sramStart) + " to "
                + Hex(top) + ")");
    }
    if (options.codeStartWords) {
        const uint64_t bytes = uint64_t { *options.codeStartWords } * 2;
        if (bytes < chip.vectorBytes)
            result.errors.push_back("code start address " + Hex(*options.codeStartWords)
                + " lies inside the interrupt vector table of the " + name
                + " (word addresses 0x0 to " + Hex(chip.vectorBytes / 2 - 1) + ")");
        else if (bytes >= chip.flashBytes)
            result.errors.push_back("code start address " + Hex(*options.codeStartWords)
                + " lies beyond the flash of the " + name + " (word addresses up to "
                + Hex(chip.flashBytes / 2 - 1) + ")");
    }
    return result;
}

std::string BuildFiles::Output(const std::string &extension) const
{
    return (std::filesystem::path(dir) / (base + "." + extension)).string();
}

std::string BuildFiles::Temp(const std::string &name) const
{
    return (std::filesystem::path(tempDir) / name).string();
}

BuildFiles MakeBuildFiles(const std::string &absoluteCFile, const std::string &tempDir)
{
    const std::filesystem::path path(absoluteCFile);
    BuildFiles files;
    files.cFile = absoluteCFile;
    files.dir = path.parent_path().string();
    files.base = path.stem().string();
    files.tempDir = tempDir;
    return files;
}

std::string StartupAssembly(const Options &options)
{
    const Chip &chip = ChipOf(options);
    std::string text;
    if ((options.sre || options.waitState) && chip.externalSram) {
        unsigned value = 0;
        if (options.sre)
            value |= 1u << chip.sreBit;
        if (options.waitState)
            value |= 1u << chip.srwBit;
        char lines[256];
        std::snprintf(lines, sizeof lines,
            "; external SRAM on before the stack is used (/x, /w)\n"
            "\t.section .init1,\"ax\",@progbits\n"
            "\tldi r24, 0x%02x\n"
            "\tout 0x%02x, r24\t; MCUCR\n",
            value, static_cast<unsigned>(chip.mcucrIo));
        text += lines;
    }
    if (options.codeStartWords) {
        const uint32_t bytes = *options.codeStartWords * 2;
        if (bytes > chip.vectorBytes) {
            char lines[256];
            std::snprintf(lines, sizeof lines,
                "; the code after the vectors starts at word address 0x%x (/o)\n"
                "\t.section .vectors,\"ax\",@progbits\n"
                "\t.fill %u, 1, 0xff\n",
                *options.codeStartWords, bytes - chip.vectorBytes);
            text += lines;
        }
    }
    return text;
}

std::vector<std::string> CommonFlags(const Options &options)
{
    return { std::string("-mmcu=") + ChipOf(options).mcu };
}

namespace {

// avr-gcc with the flags every step shares, then the step's own.
Step GccStep(const Options &options, std::initializer_list<const char *> flags)
{
    Step step;
    step.argv = { "avr-gcc" };
    for (const std::string &flag : CommonFlags(options))
        step.argv.push_back(flag);
    for (const char *flag : flags)
        step.argv.emplace_back(flag);
    return step;
}

// The object of the project's assembler file, named after it; the link step takes it up.
std::string AsmObject(const Options &options, const BuildFiles &files)
{
    return files.Temp("asm-" + std::filesystem::path(options.asmFile).stem().string() + ".o");
}

} // namespace

Step CompileStep(const Options &options, const BuildFiles &files)
{
    Step step = GccStep(options,
        { "-x", "c", "-gdwarf-2", "-Os", "-Wall", "-Werror=implicit-function-declaration",
            "-Werror=implicit-int", "-Werror=misspelled-isr", "-fno-diagnostics-show-caret",
            "-fdiagnostics-color=never", "-S" });
    step.argv.push_back(files.cFile);
    step.argv.emplace_back("-o");
    step.argv.push_back(files.Temp(files.base + ".s"));
    return step;
}

Step AssembleCStep(const Options &options, const BuildFiles &files)
{
    Step step = GccStep(options, { "-x", "assembler", "-c" });
    step.argv.push_back(files.Temp(files.base + ".s"));
    step.argv.emplace_back("-o");
    step.argv.push_back(files.Temp(files.base + ".o"));
    return step;
}

Step AssembleAsmStep(const Options &options, const BuildFiles &files)
{
    Step step = GccStep(options, { "-x", "assembler-with-cpp", "-Wa,--gdwarf-2", "-c" });
    step.argv.push_back("-I" + std::filesystem::path(options.asmFile).parent_path().string());
    step.argv.push_back(options.asmFile);
    step.argv.emplace_back("-o");
    step.argv.push_back(AsmObject(options, files));
    return step;
}

Step AssembleStartupStep(const Options &options, const BuildFiles &files)
{
    Step step = GccStep(options, { "-x", "assembler", "-c" });
    step.argv.push_back(files.Temp("ostrel-startup.s"));
    step.argv.emplace_back("-o");
    step.argv.push_back(files.Temp("ostrel-startup.o"));
    return step;
}

namespace {

struct DataRegion
{
    uint32_t origin;
    uint32_t end;
    bool external;
};

DataRegion DataRegionOf(const Options &options)
{
    const Chip &chip = ChipOf(options);
    DataRegion region { chip.sramStart, chip.ramEnd, false };
    if (chip.externalSram && (options.sramStart || options.sramEnd)) {
        region.origin = options.sramStart.value_or(chip.sramStart);
        region.end = options.sramEnd.value_or(chip.xramEnd);
        region.external = true;
    }
    return region;
}

} // namespace

uint32_t DataRegionBytes(const Options &options)
{
    const DataRegion region = DataRegionOf(options);
    return region.end >= region.origin ? region.end - region.origin + 1 : 0;
}

std::vector<std::string> LinkerSymbols(const Options &options)
{
    const Chip &chip = ChipOf(options);
    std::vector<std::string> symbols;
    auto defsym = [&](const char *name, uint32_t value) {
        symbols.push_back(std::string("-Wl,--defsym=") + name + "=" + Hex(value));
    };
    defsym("__TEXT_REGION_LENGTH__", chip.flashBytes);
    const DataRegion region = DataRegionOf(options);
    defsym("__DATA_REGION_ORIGIN__", kDataOffset + region.origin);
    defsym("__DATA_REGION_LENGTH__", DataRegionBytes(options));
    if (region.external)
        defsym("__heap_end", kDataOffset + region.end);
    defsym("__EEPROM_REGION_LENGTH__", chip.eepromBytes);
    if (options.stack)
        defsym("__stack", *options.stack);
    return symbols;
}

Step LinkStep(const Options &options, const BuildFiles &files, bool withAsm, bool withStartup)
{
    Step step = GccStep(options, { "-gdwarf-2", "-Os", "-o" });
    step.argv.push_back(files.Output("elf"));
    step.argv.push_back(files.Temp(files.base + ".o"));
    if (withAsm)
        step.argv.push_back(AsmObject(options, files));
    if (withStartup)
        step.argv.push_back(files.Temp("ostrel-startup.o"));
    if (!options.libFile.empty())
        step.argv.push_back(options.libFile);
    step.argv.push_back("-Wl,-Map=" + files.Output("map"));
    for (const std::string &symbol : LinkerSymbols(options))
        step.argv.push_back(symbol);
    return step;
}

Step HexStep(const BuildFiles &files)
{
    return { { "avr-objcopy", "-O", "ihex", "-R", ".eeprom", "-R", ".fuse", "-R", ".lock", "-R",
                 ".signature", files.Output("elf"), files.Output("hex") },
        {} };
}

Step EepromStep(const BuildFiles &files)
{
    return { { "avr-objcopy", "-j", ".eeprom", "--set-section-flags=.eeprom=alloc,load",
                 "--change-section-lma", ".eeprom=0", "--no-change-warnings", "-O", "ihex",
                 files.Output("elf"), files.Output("eep") },
        {} };
}

Step ListingStep(const BuildFiles &files)
{
    return { { "avr-objdump", "-h", "-S", files.Output("elf") }, files.Output("lss") };
}

Step SizeStep(const BuildFiles &files)
{
    return { { "avr-size", "-A", files.Output("elf") }, {} };
}

} // namespace ostrel::cc

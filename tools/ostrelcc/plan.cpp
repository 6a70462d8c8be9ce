#include "plan.h"

#include "contract/compiler_contract.h"

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

bool StartsWith(const std::string &text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

constexpr uint32_t kDataOffset = 0x800000; // the data space in the linker's addresses

namespace option = contract::option;

// Whether a word is `prefix` followed by at least one more character.
bool HasValue(const std::string &word, std::string_view prefix)
{
    return word.size() > prefix.size() && StartsWith(word, prefix);
}

// Reads one option word into options; false when the word is none of them.
bool ReadOptionWord(const std::string &word, Options &options, std::vector<std::string> &errors)
{
    auto hexValue = [&](size_t prefix) -> std::optional<uint32_t> {
        auto value = ParseHex(word.substr(prefix));
        if (!value)
            errors.push_back("option " + word + ": not a hexadecimal address");
        return value;
    };
    if (word == option::kSmallModel) {
        // small memory model: the only one there is
    } else if (const Chip *chip = ChipForOption(word)) {
        options.chip = chip;
    } else if (word == option::kExternalSram) {
        options.sre = true;
    } else if (word == option::kWaitState) {
        options.waitState = true;
    } else if (word == option::kSourceListing) {
        options.includeSource = true;
    } else if (StartsWith(word, option::kSramStart)) {
        options.sramStart = hexValue(option::kSramStart.size());
    } else if (StartsWith(word, option::kSramEnd)) {
        options.sramEnd = hexValue(option::kSramEnd.size());
    } else if (StartsWith(word, option::kStack)) {
        options.stack = hexValue(option::kStack.size());
    } else if (StartsWith(word, option::kCodeStart)) {
        std::string digits = word.substr(option::kCodeStart.size());
        // A code start typed as "0x30" in the settings dialog arrives as /o0x0x30.
        if (StartsWith(digits, "0x") || StartsWith(digits, "0X"))
            digits.erase(0, 2);
        if (digits.empty())
            options.codeStartWords.reset(); // no code start: right after the vectors
        else
            options.codeStartWords = hexValue(word.size() - digits.size());
    } else if (HasValue(word, option::kAssemblerFile)) {
        options.asmFile = word.substr(option::kAssemblerFile.size());
    } else if (HasValue(word, option::kLibrary)) {
        options.libFiles.push_back(word.substr(option::kLibrary.size()));
    } else if (HasValue(word, option::kSourceFile)) {
        options.sourceFiles.push_back(word.substr(option::kSourceFile.size()));
    } else if (HasValue(word, option::kLibrarySource)) {
        options.librarySources.push_back(word.substr(option::kLibrarySource.size()));
    } else if (HasValue(word, option::kIncludeFolder)) {
        options.includeFolders.push_back(word.substr(option::kIncludeFolder.size()));
    } else if (HasValue(word, option::kDefine)) {
        const std::string define = word.substr(option::kDefine.size());
        if (IsIdentifier(define.substr(0, define.find('='))))
            options.defines.push_back(define);
        else
            errors.push_back("option " + word + ": '" + define.substr(0, define.find('='))
                + "' is no C identifier (give /DNAME or /DNAME=value)");
    } else if (HasValue(word, option::kClock)) {
        const std::string digits = word.substr(option::kClock.size());
        uint64_t hz = 0;
        bool valid = digits.size() <= 10;
        for (char c : digits) {
            valid = valid && c >= '0' && c <= '9';
            hz = hz * 10 + static_cast<uint64_t>(c - '0');
        }
        if (valid && hz >= 1 && hz <= UINT32_MAX)
            options.clockHz = static_cast<uint32_t>(hz);
        else
            errors.push_back("option " + word
                + ": the clock is not a decimal number of Hz from 1 to 4294967295");
    } else if (HasValue(word, option::kCompilerFlag)) {
        const std::string flag = word.substr(option::kCompilerFlag.size());
        if (const std::string why = RefusedCompilerFlag(flag); why.empty())
            options.compilerFlags.push_back(flag);
        else
            errors.push_back("option " + word + ": " + why);
    } else {
        return false;
    }
    return true;
}

void CheckExternalSram(const Options &options, ParsedCommandLine &result)
{
    const Chip &chip = *options.chip;
    const std::string name = chip.displayName;
    if ((options.sre || options.waitState) && !chip.externalSram)
        result.errors.push_back("the " + name + " has no external SRAM interface (/x, /w)");
    if (!options.sramStart && !options.sramEnd)
        return;
    if (!chip.externalSram) {
        result.errors.push_back("the " + name + " has no external SRAM (/rs0x, /re0x)");
        return;
    }
    const uint32_t start = options.sramStart.value_or(chip.sramStart);
    const uint32_t end = options.sramEnd.value_or(chip.xramEnd);
    if (start < chip.sramStart)
        result.errors.push_back("external SRAM start " + Hex(start) + " lies below the SRAM of the "
            + name + " (" + Hex(chip.sramStart) + ")");
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

void CheckStack(const Options &options, ParsedCommandLine &result)
{
    if (!options.stack)
        return;
    const Chip &chip = *options.chip;
    uint32_t top = chip.ramEnd;
    if (options.sramEnd && chip.externalSram)
        top = std::max(*options.sramEnd, chip.ramEnd);
    else if (options.sre && chip.externalSram)
        top = chip.xramEnd;
    if (*options.stack > top || *options.stack < chip.sramStart)
        result.errors.push_back("initial stack pointer " + Hex(*options.stack)
            + " lies beyond the SRAM of the " + chip.displayName + " (" + Hex(chip.sramStart)
            + " to " + Hex(top) + ")");
}

void CheckCodeStart(const Options &options, ParsedCommandLine &result)
{
    if (!options.codeStartWords)
        return;
    const Chip &chip = *options.chip;
    const std::string name = chip.displayName;
    const uint64_t bytes = uint64_t { *options.codeStartWords } * 2;
    if (bytes < chip.vectorBytes)
        result.errors.push_back("code start address " + Hex(*options.codeStartWords)
            + " lies inside the interrupt vector table of the " + name + " (word addresses 0x0 to "
            + Hex(chip.vectorBytes / 2 - 1) + ")");
    else if (bytes >= chip.flashBytes)
        result.errors.push_back("code start address " + Hex(*options.codeStartWords)
            + " lies beyond the flash of the " + name + " (word addresses up to "
            + Hex(chip.flashBytes / 2 - 1) + ")");
}

} // namespace

bool Options::IsProject() const
{
    return !sourceFiles.empty() || !librarySources.empty() || !includeFolders.empty()
        || !defines.empty() || clockHz || !compilerFlags.empty();
}

bool IsIdentifier(std::string_view name)
{
    auto letter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    };
    if (name.empty() || !letter(name[0]))
        return false;
    return std::all_of(name.begin(), name.end(), [&](char c) {
        return letter(c) || (c >= '0' && c <= '9');
    });
}

namespace {

// Options that take their value from the next argument when given alone: that argument is
// one of the tools' own (an input, the output), never the user's.
constexpr std::string_view kTakesNextArgument[] = { "-I", "-D", "-U", "-L", "-l", "-T", "-u", "-e",
    "-include", "-imacros", "-isystem", "-idirafter", "-iquote", "-iprefix", "-iwithprefix",
    "-iwithprefixbefore", "-isysroot", "-imultilib", "-MF", "-MT", "-MQ", "--param", "-aux-info",
    "-dumpbase", "-dumpdir", "-Xlinker", "-Xassembler", "-Xpreprocessor", "-wrapper", "-specs",
    "--specs", "-Xplugin" };

// A word for the linker or assembler (a piece of -Wl, or -Wa,) that loads code or moves the
// output.
bool RefusedToolWord(std::string_view word)
{
    return word.rfind("-plugin", 0) == 0 || word.rfind("--plugin", 0) == 0
        || word.rfind("-o", 0) == 0 || word.rfind("--output", 0) == 0 || word.rfind("@", 0) == 0
        || word.rfind("-fplugin", 0) == 0 || word.rfind("-B", 0) == 0;
}

} // namespace

std::string RefusedCompilerFlag(const std::string &flag)
{
    if (flag.size() < 2 || flag[0] != '-')
        return "not a compiler flag (a flag starts with '-')";
    if (flag.find_first_of("\r\n") != std::string::npos)
        return "a compiler flag holds no line break";
    for (std::string_view prefix : { "-fplugin", "-wrapper", "-B", "-specs", "--specs", "-o", "-x",
             "--output", "--sysroot", "-save-temps", "-no-integrated-cpp" })
        if (flag.rfind(prefix, 0) == 0)
            return "the flag " + std::string(prefix)
                + " loads other code, redirects the tools or their output, or sets the "
                  "language; it is not passed on";
    for (std::string_view word : kTakesNextArgument)
        if (flag == word)
            return "the flag " + flag
                + " takes its value from the next argument; give the value in the same flag "
                  "(for example -DNAME, -Wl,...)";
    for (std::string_view prefix : { "-Wl,", "-Wa,", "-Wp," }) {
        if (flag.rfind(prefix, 0) != 0)
            continue;
        size_t start = prefix.size();
        while (start <= flag.size()) {
            const size_t end = std::min(flag.find(',', start), flag.size());
            const std::string_view piece = std::string_view(flag).substr(start, end - start);
            if (RefusedToolWord(piece)
                || std::find(std::begin(kTakesNextArgument), std::end(kTakesNextArgument), piece)
                    != std::end(kTakesNextArgument))
                return "the word " + std::string(piece) + " in " + std::string(prefix)
                    + " loads other code or redirects the tool; it is not passed on";
            start = end + 1;
        }
    }
    return {};
}

bool LooksLikeOption(const std::string &word)
{
    Options options;
    std::vector<std::string> errors;
    return ReadOptionWord(word, options, errors);
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

ParsedCommandLine ParseCommandLine(const std::vector<std::string> &arguments)
{
    ParsedCommandLine result;
    Options &options = result.options;
    options.chip = &DefaultChip();
    if (arguments.empty() || arguments[0].empty()) {
        result.errors.emplace_back("no C file given (usage: OSTREL.EXE <C file> <option words>)");
        return result;
    }
    options.cFile = arguments[0];
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string &word = arguments[i];
        if (word.find_first_not_of(" \t\r\n") == std::string::npos)
            continue; // an empty argument holds no word
        if (!ReadOptionWord(word, options, result.errors))
            result.errors.push_back("unknown option word '" + word + "'");
    }
    CheckExternalSram(options, result);
    CheckStack(options, result);
    CheckCodeStart(options, result);
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

std::vector<std::string> CCompileFlags()
{
    return { "-x", "c", "-gdwarf-2", "-Os", "-Wall", "-Werror=implicit-function-declaration",
        "-Werror=implicit-int", "-Werror=misspelled-isr", "-fno-diagnostics-show-caret",
        "-fdiagnostics-color=never" };
}

std::string PathArgument(const std::string &path)
{
    if (!path.empty() && (path[0] == '-' || path[0] == '@'))
        return "./" + path;
    return path;
}

Step CompileStep(const Options &options, const BuildFiles &files)
{
    Step step = GccStep(options, {});
    for (const std::string &flag : CCompileFlags())
        step.argv.push_back(flag);
    step.argv.emplace_back("-S");
    step.argv.push_back(PathArgument(files.cFile));
    step.argv.emplace_back("-o");
    step.argv.push_back(PathArgument(files.Temp(files.base + ".s")));
    return step;
}

Step AssembleCStep(const Options &options, const BuildFiles &files)
{
    Step step = GccStep(options, { "-x", "assembler", "-c" });
    step.argv.push_back(PathArgument(files.Temp(files.base + ".s")));
    step.argv.emplace_back("-o");
    step.argv.push_back(PathArgument(files.Temp(files.base + ".o")));
    return step;
}

Step AssembleAsmStep(const Options &options, const BuildFiles &files)
{
    Step step = GccStep(options, { "-x", "assembler-with-cpp", "-Wa,--gdwarf-2", "-c" });
    // The include folder as an argument of its own: "-I" glued to an empty folder would
    // take the next argument as its value.
    const std::string folder = std::filesystem::path(options.asmFile).parent_path().string();
    step.argv.emplace_back("-I");
    step.argv.push_back(folder.empty() ? std::string(".") : PathArgument(folder));
    step.argv.push_back(PathArgument(options.asmFile));
    step.argv.emplace_back("-o");
    step.argv.push_back(PathArgument(AsmObject(options, files)));
    return step;
}

Step AssembleStartupStep(const Options &options, const BuildFiles &files)
{
    Step step = GccStep(options, { "-x", "assembler", "-c" });
    step.argv.push_back(PathArgument(files.Temp("ostrel-startup.s")));
    step.argv.emplace_back("-o");
    step.argv.push_back(PathArgument(files.Temp("ostrel-startup.o")));
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
    std::vector<std::string> objects = { files.Temp(files.base + ".o") };
    if (withAsm)
        objects.push_back(AsmObject(options, files));
    if (withStartup)
        objects.push_back(files.Temp("ostrel-startup.o"));
    return LinkObjectsStep(options, files, objects);
}

Step LinkObjectsStep(const Options &options, const BuildFiles &files,
    const std::vector<std::string> &objects, const std::vector<std::string> &libraries)
{
    Step step = GccStep(options, { "-gdwarf-2", "-Os" });
    for (const std::string &flag : options.compilerFlags)
        step.argv.push_back(flag);
    step.argv.emplace_back("-o");
    step.argv.push_back(PathArgument(files.Output("elf")));
    for (const std::string &object : objects)
        step.argv.push_back(PathArgument(object));
    for (const std::string &library : libraries)
        step.argv.push_back(PathArgument(library));
    for (const std::string &library : options.libFiles)
        step.argv.push_back(PathArgument(library));
    // The map's path goes to the linker whole: "-Wl," would split it at its commas, and each
    // piece would be a linker option.
    for (const char *word : { "-Xlinker", "-Map", "-Xlinker" })
        step.argv.emplace_back(word);
    step.argv.push_back(PathArgument(files.Output("map")));
    for (const std::string &symbol : LinkerSymbols(options))
        step.argv.push_back(symbol);
    return step;
}

Step HexStep(const BuildFiles &files)
{
    return { { "avr-objcopy", "-O", "ihex", "-R", ".eeprom", "-R", ".fuse", "-R", ".lock", "-R",
                 ".signature", PathArgument(files.Output("elf")),
                 PathArgument(files.Output("hex")) },
        {} };
}

Step EepromStep(const BuildFiles &files)
{
    return { { "avr-objcopy", "-j", ".eeprom", "--set-section-flags=.eeprom=alloc,load",
                 "--change-section-lma", ".eeprom=0", "--no-change-warnings", "-O", "ihex",
                 PathArgument(files.Output("elf")), PathArgument(files.Output("eep")) },
        {} };
}

Step ListingStep(const BuildFiles &files, bool withSource)
{
    return { { "avr-objdump", "-h", withSource ? "-S" : "-d", PathArgument(files.Output("elf")) },
        files.Output("lss") };
}

Step SourceNamesStep(const BuildFiles &files)
{
    return { { "avr-objdump", "--dwarf=rawline", PathArgument(files.Output("elf")) }, {} };
}

Step SizeStep(const BuildFiles &files)
{
    return { { "avr-size", "-A", PathArgument(files.Output("elf")) }, {} };
}

} // namespace ostrel::cc

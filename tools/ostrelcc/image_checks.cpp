#include "image_checks.h"

#include "contract/file_access.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace ostrel::cc {

namespace {

// Instruction groups that not every AVR has.
enum Feature : unsigned {
    kJmp = 1u << 0, // JMP, CALL
    kElpm = 1u << 1, // ELPM (into R0)
    kElpmx = 1u << 2, // ELPM Rd,Z and Rd,Z+
    kMovw = 1u << 3,
    kLpmx = 1u << 4, // LPM Rd,Z and Rd,Z+
    kSpm = 1u << 5,
    kBreak = 1u << 6,
    kMul = 1u << 7, // MUL, MULS, MULSU, FMUL, FMULS, FMULSU
    kEind = 1u << 8, // EIJMP, EICALL
    kXmega = 1u << 9, // DES, XCH, LAS, LAC, LAT
    kReducedCore = 1u << 10, // avrtiny: another encoding altogether
};

// The features of each family, as avr-gcc and the assembler define the families.
std::optional<unsigned> FamilyFeatures(int family)
{
    constexpr unsigned avr4 = kMul | kMovw | kLpmx | kSpm | kBreak;
    constexpr unsigned avr51 = avr4 | kJmp | kElpm | kElpmx;
    switch (family) {
    case 1:
    case 2:
        return 0u;
    case 25:
        return kMovw | kLpmx | kSpm | kBreak;
    case 3:
        return kJmp;
    case 31:
        return kJmp | kElpm;
    case 35:
        return kJmp | kMovw | kLpmx | kSpm | kBreak;
    case 4:
        return avr4;
    case 5:
        return avr4 | kJmp;
    case 51:
        return avr51;
    case 6:
        return avr51 | kEind;
    case 100:
        return kReducedCore;
    default:
        if (family >= 102 && family <= 107)
            return avr51 | kEind | kXmega;
        return std::nullopt;
    }
}

std::string FamilyName(int family)
{
    if (family == 100)
        return "avrtiny";
    if (family >= 102 && family <= 107)
        return "avrxmega" + std::to_string(family - 100);
    return "avr" + std::to_string(family);
}

uint32_t ReadLittle(std::string_view bytes, size_t at, size_t size)
{
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value |= uint32_t { static_cast<unsigned char>(bytes[at + i]) } << (8 * i);
    return value;
}

// The feature an instruction needs, from its mnemonic and operands; 0 when every AVR has it.
unsigned RequiredFeature(const std::string &mnemonic, const std::string &operands)
{
    static const std::map<std::string, unsigned> kNeeds = { { "mul", kMul }, { "muls", kMul },
        { "mulsu", kMul }, { "fmul", kMul }, { "fmuls", kMul }, { "fmulsu", kMul },
        { "movw", kMovw }, { "spm", kSpm }, { "break", kBreak }, { "jmp", kJmp }, { "call", kJmp },
        { "eijmp", kEind }, { "eicall", kEind }, { "des", kXmega }, { "xch", kXmega },
        { "las", kXmega }, { "lac", kXmega }, { "lat", kXmega } };
    if (mnemonic == "lpm")
        return operands.empty() ? 0u : unsigned { kLpmx };
    if (mnemonic == "elpm")
        return operands.empty() ? unsigned { kElpm } : unsigned { kElpmx };
    const auto need = kNeeds.find(mnemonic);
    return need == kNeeds.end() ? 0u : need->second;
}

std::string Trimmed(const std::string &text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

int ChipFamily(const Chip &chip)
{
    // The only chip here with more than 8 KiB of flash is the ATmega103 (JMP/CALL, ELPM).
    return chip.flashBytes > 8192 ? 31 : 2;
}

std::optional<int> ElfFamily(std::string_view bytes)
{
    constexpr uint32_t kMachineAvr = 83;
    if (bytes.size() < 52
        || bytes.substr(0, 4)
            != "\x7f"
               "ELF"
        || bytes[4] != 1 || bytes[5] != 1 || ReadLittle(bytes, 18, 2) != kMachineAvr)
        return std::nullopt;
    return static_cast<int>(ReadLittle(bytes, 36, 4) & 0x7f);
}

std::vector<std::pair<std::string, int>> ObjectFamilies(std::string_view bytes)
{
    std::vector<std::pair<std::string, int>> members;
    constexpr std::string_view kMagic = "!<arch>\n";
    if (bytes.substr(0, kMagic.size()) != kMagic) {
        if (const auto family = ElfFamily(bytes))
            members.emplace_back(std::string(), *family);
        return members;
    }
    std::string_view longNames;
    size_t at = kMagic.size();
    while (at + 60 <= bytes.size()) {
        const std::string_view header = bytes.substr(at, 60);
        const unsigned long size =
            std::strtoul(std::string(header.substr(48, 10)).c_str(), nullptr, 10);
        at += 60;
        if (size > bytes.size() - at)
            break;
        const std::string_view data = bytes.substr(at, size);
        at += size + (size & 1);
        std::string name = Trimmed(std::string(header.substr(0, 16)));
        if (name == "//") {
            longNames = data;
            continue;
        }
        if (name == "/" || name == "/SYM64/")
            continue;
        if (name.size() > 1 && name[0] == '/') {
            const unsigned long offset = std::strtoul(name.c_str() + 1, nullptr, 10);
            const size_t end =
                offset < longNames.size() ? longNames.find("/\n", offset) : std::string_view::npos;
            name = end == std::string_view::npos
                ? name
                : std::string(longNames.substr(offset, end - offset));
        } else if (!name.empty() && name.back() == '/') {
            name.pop_back();
        }
        if (const auto family = ElfFamily(data))
            members.emplace_back(name, *family);
    }
    return members;
}

bool FamilyRunsOn(int objectFamily, int chipFamily)
{
    const auto object = FamilyFeatures(objectFamily);
    const auto chip = FamilyFeatures(chipFamily);
    if (!object || !chip)
        return objectFamily == chipFamily;
    return (*object & ~*chip) == 0;
}

std::vector<Diagnostic> MissingInstructions(const std::string &objdump, const Chip &chip)
{
    const unsigned has = FamilyFeatures(ChipFamily(chip)).value_or(0);
    // Data objects (tables in flash) from the symbol table: their bytes are no instructions.
    std::vector<std::pair<unsigned long, unsigned long>> data;
    std::istringstream in(objdump);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        unsigned long address = 0, size = 0;
        char flags[16] = {}, section[64] = {};
        const size_t tab = line.find('\t');
        if (tab != std::string::npos && tab > 17 && std::sscanf(line.c_str(), "%lx", &address) == 1
            && std::sscanf(line.c_str() + tab + 1, "%lx", &size) == 1
            && std::sscanf(line.c_str() + 9, "%7c %63s", flags, section) == 2
            && std::strchr(flags, 'O') != nullptr && std::strcmp(section, ".text") == 0)
            data.emplace_back(address, address + size);
        lines.push_back(std::move(line));
    }
    auto inData = [&](unsigned long address) {
        for (const auto &[start, end] : data)
            if (address >= start && address < end)
                return true;
        return false;
    };

    std::vector<Diagnostic> found;
    std::string function;
    bool reported = false; // the current function has its message
    for (const std::string &line : lines) {
        // "0000003c <f>:"
        char name[256];
        unsigned long address = 0;
        if (std::sscanf(line.c_str(), "%lx <%255[^>]>:", &address, name) == 2) {
            function = name;
            reported = false;
            continue;
        }
        // "  40:\t86 9f       \tmul\tr24, r22"
        const size_t firstTab = line.find('\t');
        const size_t secondTab =
            firstTab == std::string::npos ? firstTab : line.find('\t', firstTab + 1);
        if (reported || secondTab == std::string::npos
            || std::sscanf(line.c_str(), " %lx:", &address) != 1)
            continue;
        std::string instruction = line.substr(secondTab + 1);
        const size_t comment = instruction.find(';');
        if (comment != std::string::npos)
            instruction.resize(comment);
        instruction = Trimmed(instruction);
        const size_t split = instruction.find_first_of(" \t");
        const std::string mnemonic = instruction.substr(0, split);
        const std::string operands =
            split == std::string::npos ? std::string() : Trimmed(instruction.substr(split));
        const unsigned need = RequiredFeature(mnemonic, operands);
        if (need == 0 || (need & has) != 0 || inData(address))
            continue;
        char where[32];
        std::snprintf(where, sizeof where, "0x%04lx", address);
        const std::string shown = operands.empty() ? mnemonic : mnemonic + " " + operands;
        found.push_back(Diagnostic { Severity::Error, {}, 0,
            "the " + std::string(chip.displayName) + " (" + FamilyName(ChipFamily(chip))
                + ") has no instruction `" + shown + "', used at " + where + " in "
                + (function.empty() ? std::string("the image") : "function " + function)
                + ": code built or written for another AVR" });
        reported = true;
    }
    return found;
}

std::vector<Diagnostic> ForeignLibraryMembers(
    const std::string &library, std::string_view bytes, const Chip &chip)
{
    const int chipFamily = ChipFamily(chip);
    std::map<int, std::vector<std::string>> foreign;
    for (const auto &[member, family] : ObjectFamilies(bytes))
        if (family != 0 && !FamilyRunsOn(family, chipFamily)) // 0: the header names none
            foreign[family].push_back(member);
    std::vector<Diagnostic> warnings;
    for (const auto &[family, members] : foreign) {
        std::string names;
        for (size_t i = 0; i < members.size() && i < 5; ++i)
            names += (i ? ", " : "") + members[i];
        if (members.size() > 5)
            names += " and " + std::to_string(members.size() - 5) + " more";
        warnings.push_back(Diagnostic { Severity::Warning, {}, 0,
            "library " + library + ": " + (names.empty() ? "" : names + " ") + "built for "
                + FamilyName(family) + ", which has instructions the " + chip.displayName + " ("
                + FamilyName(chipFamily) + ") lacks" });
    }
    return warnings;
}

bool CheckImage(const std::string &elf, const std::vector<std::string> &libraries, const Chip &chip,
    MessageList &messages, const ToolLimits &limits)
{
    constexpr uint64_t kLibraryLimit = 256u << 20;
    for (const std::string &library : libraries) {
        if (library.empty())
            continue;
        const files::ReadResult read = files::ReadRegularFile(library, kLibraryLimit);
        if (read.status == files::ReadStatus::Ok)
            for (const Diagnostic &warning : ForeignLibraryMembers(library, read.bytes, chip))
                messages.Add(warning);
    }
    const ProcessResult listing = RunProcess({ "avr-objdump", "-d", "-t", elf }, {}, limits);
    if (!listing.started || listing.exitCode != 0) {
        messages.Add(Diagnostic { Severity::Warning, {}, 0,
            "the instructions of " + elf + " could not be checked against the " + chip.displayName
                + " (avr-objdump failed)" });
        return true;
    }
    const std::vector<Diagnostic> missing = MissingInstructions(listing.output, chip);
    for (const Diagnostic &error : missing)
        messages.Add(error);
    return missing.empty();
}

} // namespace ostrel::cc

#pragma once

#include "chips.h"
#include "diagnostics.h"
#include "process.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Checks of a linked image against the chip it is for. avr-gcc hands the assembler a whole
// family rather than the chip, and the linker takes objects of any AVR family: an image can
// hold instructions the chip does not have, which the build would otherwise report as a
// success.
namespace ostrel::cc {

// The AVR family of a chip as avr-gcc knows it (the number of the ELF header's machine
// field): 2 for the AT90S2313/4414/8515, 31 for the ATmega103.
int ChipFamily(const Chip &chip);

// The AVR family an ELF object's header names (e_flags & 0x7f); nothing for bytes that are
// no 32-bit little-endian AVR ELF object.
std::optional<int> ElfFamily(std::string_view bytes);

// The members of an "ar" archive with their AVR family, or the one object a file is; members
// that are no AVR object are left out.
std::vector<std::pair<std::string, int>> ObjectFamilies(std::string_view bytes);

// Whether code built for `objectFamily` uses only instructions that `chipFamily` has.
bool FamilyRunsOn(int objectFamily, int chipFamily);

// The instructions of "avr-objdump -d -t" output that the chip lacks, one Error per function
// (its first such instruction, with its byte address). Data objects in the code section are
// not taken for instructions.
std::vector<Diagnostic> MissingInstructions(const std::string &objdump, const Chip &chip);

// Warnings for the members of a library (its bytes) built for a family the chip cannot run.
std::vector<Diagnostic> ForeignLibraryMembers(
    const std::string &library, std::string_view bytes, const Chip &chip);

// Both checks on a linked image and its libraries, added to `messages`; false when an Error
// was added.
bool CheckImage(const std::string &elf, const std::vector<std::string> &libraries, const Chip &chip,
    MessageList &messages, const ToolLimits &limits);

} // namespace ostrel::cc

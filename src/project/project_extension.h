#pragma once

#include "framework/binary_fields.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ostrel {

// How the chip is programmed: an avrdude programmer id, its port, the bit clock and whether
// the EEPROM image is written too. Empty texts mean the program's defaults.
struct ProgrammerSettings
{
    std::string programmer;
    std::string port;
    std::string bitClock;
    bool writeEeprom = false;
    bool operator==(const ProgrammerSettings &) const = default;
};

// An entry of the block this version does not know, kept as it was read and written back.
struct ExtensionEntry
{
    uint16_t tag = 0;
    std::string value;
    bool operator==(const ExtensionEntry &) const = default;
};

// What a project holds beyond the fixed record: more sources, more libraries, the folders and
// settings real firmware needs, and the programmer. Paths are absolute in memory; in the file
// a path inside the project's folder is stored relative to it.
struct ProjectExtension
{
    std::vector<std::string> cFiles; // C files besides the record's main C file
    std::vector<std::string> asmFiles; // .asm, .s, .S besides the record's assembler file
    std::vector<std::string> libraries; // .a and .LIB besides the record's library
    std::vector<std::string> librarySources; // folders whose sources F9 builds into a library
    std::vector<std::string> includeFolders;
    std::vector<std::string> defines; // NAME or NAME=value
    std::string clockHz; // decimal; defines F_CPU unless a define does; empty: none
    std::string extraFlags; // compiler flags, blank-separated
    ProgrammerSettings programmer;
    std::vector<ExtensionEntry> unknown;

    bool Empty() const;
    bool operator==(const ProjectExtension &) const = default;
};

// The block after the record: "OSTX", a 16-bit version, a 32-bit length of the entries, then
// entries of a 16-bit tag, a 32-bit length and that many bytes (UTF-8 text). Little-endian.
// A list is one entry per item, in order. A later version may add tags; a reader keeps the
// ones it does not know and writes them back.
inline constexpr char kExtensionMagic[4] = { 'O', 'S', 'T', 'X' };
inline constexpr uint16_t kExtensionVersion = 1;
inline constexpr size_t kExtensionHeaderSize = 10;
inline constexpr size_t kMaxExtensionSize = 1 << 20;

namespace extension_tag {
inline constexpr uint16_t kCFile = 1;
inline constexpr uint16_t kAsmFile = 2;
inline constexpr uint16_t kLibrary = 3;
inline constexpr uint16_t kLibrarySource = 4;
inline constexpr uint16_t kIncludeFolder = 5;
inline constexpr uint16_t kDefine = 6;
inline constexpr uint16_t kClockHz = 7;
inline constexpr uint16_t kExtraFlags = 8;
inline constexpr uint16_t kProgrammer = 0x101;
inline constexpr uint16_t kProgrammerPort = 0x102;
inline constexpr uint16_t kBitClock = 0x103;
inline constexpr uint16_t kWriteEeprom = 0x104;
} // namespace extension_tag

enum class ExtensionState {
    Absent, // nothing after the record (or bytes that are not a block)
    Read,
    Damaged, // a block whose lengths do not fit
};

// The block's bytes; empty for an empty extension. Paths inside projectDir are written
// relative to it.
Bytes EncodeExtension(const ProjectExtension &extension, const std::string &projectDir);
// Reads the block from the bytes after the record. On anything but Read, `extension` is left
// as it was.
ExtensionState DecodeExtension(
    const Bytes &bytes, size_t offset, const std::string &projectDir, ProjectExtension &extension);

// A path as stored: relative to projectDir when inside it ("src/a.c"), else as given.
std::string StoredPath(const std::string &path, const std::string &projectDir);
// A stored path made absolute again against projectDir.
std::string LoadedPath(const std::string &stored, const std::string &projectDir);

} // namespace ostrel

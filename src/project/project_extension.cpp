#include "project/project_extension.h"

#include <cstring>

namespace ostrel {

namespace tag = extension_tag;

namespace {

void PutU16(Bytes &bytes, uint16_t value)
{
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void PutU32(Bytes &bytes, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>((value >> shift) & 0xFF));
}

uint32_t GetU32(const Bytes &bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[at + static_cast<size_t>(i)];
    return value;
}

uint16_t GetU16(const Bytes &bytes, size_t at)
{
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

void PutEntry(Bytes &bytes, uint16_t entryTag, const std::string &value)
{
    PutU16(bytes, entryTag);
    PutU32(bytes, static_cast<uint32_t>(value.size()));
    bytes.insert(bytes.end(), value.begin(), value.end());
}

void PutPaths(Bytes &bytes, uint16_t entryTag, const std::vector<std::string> &paths,
    const std::string &projectDir)
{
    for (const std::string &path : paths)
        PutEntry(bytes, entryTag, StoredPath(path, projectDir));
}

void PutText(Bytes &bytes, uint16_t entryTag, const std::string &value)
{
    if (!value.empty())
        PutEntry(bytes, entryTag, value);
}

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool IsAbsolute(const std::string &path)
{
    if (!path.empty() && IsSeparator(path[0]))
        return true;
    return path.size() >= 2 && path[1] == ':';
}

std::string WithSeparator(const std::string &dir)
{
    if (dir.empty() || IsSeparator(dir.back()))
        return dir;
    return dir + '/';
}

} // namespace

bool ProjectExtension::Empty() const
{
    return *this == ProjectExtension {};
}

std::string StoredPath(const std::string &path, const std::string &projectDir)
{
    const std::string dir = WithSeparator(projectDir);
    if (dir.empty() || path.size() <= dir.size() || path.compare(0, dir.size(), dir) != 0)
        return path;
    return path.substr(dir.size());
}

std::string LoadedPath(const std::string &stored, const std::string &projectDir)
{
    if (stored.empty() || IsAbsolute(stored) || projectDir.empty())
        return stored;
    return WithSeparator(projectDir) + stored;
}

Bytes EncodeExtension(const ProjectExtension &extension, const std::string &projectDir)
{
    if (extension.Empty())
        return {};
    Bytes entries;
    PutPaths(entries, tag::kCFile, extension.cFiles, projectDir);
    PutPaths(entries, tag::kAsmFile, extension.asmFiles, projectDir);
    PutPaths(entries, tag::kLibrary, extension.libraries, projectDir);
    PutPaths(entries, tag::kLibrarySource, extension.librarySources, projectDir);
    PutPaths(entries, tag::kIncludeFolder, extension.includeFolders, projectDir);
    for (const std::string &define : extension.defines)
        PutEntry(entries, tag::kDefine, define);
    PutText(entries, tag::kClockHz, extension.clockHz);
    PutText(entries, tag::kExtraFlags, extension.extraFlags);
    const ProgrammerSettings &programmer = extension.programmer;
    PutText(entries, tag::kProgrammer, programmer.programmer);
    PutText(entries, tag::kProgrammerPort, programmer.port);
    PutText(entries, tag::kBitClock, programmer.bitClock);
    if (programmer.writeEeprom)
        PutEntry(entries, tag::kWriteEeprom, "1");
    for (const ExtensionEntry &entry : extension.unknown)
        PutEntry(entries, entry.tag, entry.value);

    Bytes block(std::begin(kExtensionMagic), std::end(kExtensionMagic));
    PutU16(block, kExtensionVersion);
    PutU32(block, static_cast<uint32_t>(entries.size()));
    block.insert(block.end(), entries.begin(), entries.end());
    return block;
}

ExtensionState DecodeExtension(
    const Bytes &bytes, size_t offset, const std::string &projectDir, ProjectExtension &extension)
{
    if (offset >= bytes.size() || bytes.size() - offset < sizeof kExtensionMagic
        || std::memcmp(bytes.data() + offset, kExtensionMagic, sizeof kExtensionMagic) != 0)
        return ExtensionState::Absent;
    if (bytes.size() - offset < kExtensionHeaderSize)
        return ExtensionState::Damaged;
    const size_t length = GetU32(bytes, offset + 6);
    size_t at = offset + kExtensionHeaderSize;
    if (length > bytes.size() - at)
        return ExtensionState::Damaged;
    const size_t end = at + length;

    ProjectExtension read;
    while (at < end) {
        if (end - at < 6)
            return ExtensionState::Damaged;
        const uint16_t entryTag = GetU16(bytes, at);
        const size_t size = GetU32(bytes, at + 2);
        at += 6;
        if (size > end - at)
            return ExtensionState::Damaged;
        std::string value(bytes.begin() + static_cast<std::ptrdiff_t>(at),
            bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
        switch (entryTag) {
        case tag::kCFile:
            read.cFiles.push_back(LoadedPath(value, projectDir));
            break;
        case tag::kAsmFile:
            read.asmFiles.push_back(LoadedPath(value, projectDir));
            break;
        case tag::kLibrary:
            read.libraries.push_back(LoadedPath(value, projectDir));
            break;
        case tag::kLibrarySource:
            read.librarySources.push_back(LoadedPath(value, projectDir));
            break;
        case tag::kIncludeFolder:
            read.includeFolders.push_back(LoadedPath(value, projectDir));
            break;
        case tag::kDefine:
            read.defines.push_back(value);
            break;
        case tag::kClockHz:
            read.clockHz = value;
            break;
        case tag::kExtraFlags:
            read.extraFlags = value;
            break;
        case tag::kProgrammer:
            read.programmer.programmer = value;
            break;
        case tag::kProgrammerPort:
            read.programmer.port = value;
            break;
        case tag::kBitClock:
            read.programmer.bitClock = value;
            break;
        case tag::kWriteEeprom:
            read.programmer.writeEeprom = value == "1";
            break;
        default:
            read.unknown.push_back({ entryTag, value });
            break;
        }
    }
    extension = std::move(read);
    return ExtensionState::Read;
}

} // namespace ostrel

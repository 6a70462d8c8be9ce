#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The two file primitives the IDE and the compiler program share: replacing a file whole
// through a temporary file that is renamed over it, and reading a file only when it is a
// regular file of bounded size. Standard C++ in the interface; the system calls stay inside.
namespace ostrel::files {

struct FileOwner
{
    uint32_t user = 0;
    uint32_t group = 0;
};

struct ReplaceSettings
{
    // The new file's permission bits; without them, those a newly created file gets (0666
    // less the umask).
    std::optional<unsigned> mode;
    // The new file's owner and group. When they cannot be given, nothing is written and the
    // result's stage is Prepare.
    std::optional<FileOwner> owner;
    // Put after the random part of the temporary file's name (".tmp"), so that a folder's
    // owner can recognise a leftover of a crash.
    std::string tempSuffix;
    // Also flush the folder, so that the rename itself survives a power cut.
    bool syncFolder = false;
};

enum class ReplaceStage {
    Done,
    Prepare, // the temporary file could not be made, given its owner, or renamed: the
             // target is untouched and the folder may be what refused
    Write, // the bytes could not be written or flushed: the target is untouched
};

struct ReplaceResult
{
    ReplaceStage stage = ReplaceStage::Done;
    int error = 0; // the system's error number
    bool Ok() const { return stage == ReplaceStage::Done; }
    std::string Reason() const; // the error in the system's words
};

// Writes the parts, one after the other, as the whole contents of target: into a new
// temporary file beside it, flushed to the disk, then renamed over target. Readers see the
// old or the new file, never a part; a symbolic link standing at target is replaced, never
// followed; a failure removes the temporary file and leaves target as it was.
ReplaceResult ReplaceFile(const std::string &target, const std::vector<std::string_view> &parts,
    const ReplaceSettings &settings = {});

enum class ReadStatus {
    Ok,
    Missing,
    NotRegular, // a folder, a device, a FIFO, a socket: never opened in a way that can block
    TooLarge,
    Failed, // it cannot be examined or read (permission, I/O error)
};

struct ReadResult
{
    ReadStatus status = ReadStatus::Failed;
    std::string bytes;
    int error = 0;
};

// What ReadRegularFile would find, without opening the file: Ok for a regular file (a
// symbolic link to one counts) of at most maxBytes.
ReadStatus ExamineRegularFile(const std::string &path, uint64_t maxBytes);

// The bytes of path when it is a regular file (a symbolic link to one counts) of at most
// maxBytes; checked before the open and again on the opened file, so a file swapped in
// between is caught too.
ReadResult ReadRegularFile(const std::string &path, uint64_t maxBytes);

#ifndef _WIN32
// Writes all bytes to the open descriptor at its current offset, again after an
// interruption; 0, or the system's error number of the failure.
int WriteAll(int fd, std::string_view bytes);
#endif

} // namespace ostrel::files

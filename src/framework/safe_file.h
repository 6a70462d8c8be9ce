#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace ostrel {

// Opens a file only when it is a regular file (or a link to one). A FIFO, a device or a folder
// is refused before anything could block on it. mode is "rb" or "r+b"; with create set, a
// missing file is created (never anything that appears at the name meanwhile). Returns
// nullptr when the file is missing, cannot be opened or is no regular file.
std::FILE *OpenRegularFile(const std::string &path, const char *mode, bool create = false);

struct SaveResult
{
    bool ok = false;
    std::string reason; // why it failed, in the system's words ("No space left on device")
    std::string backupKept; // when not empty: the old contents could not be put back and are here
};

// Saves bytes as the whole contents of path, keeping what the user set up on the file: its
// permissions, its owner and group where this process may keep them, its other hard links,
// and a symbolic link at path (the file it names is saved).
//
// Normally the bytes go to a temporary file beside the target that is renamed over it, so a
// failure or a crash leaves the old file whole. Where that would break the file's links or
// ownership, or the folder cannot be written while the file can, the file is written in place:
// its old bytes are first copied into backupDir, and the copy is removed once the new bytes
// are safely on disk or the old ones are back. So a failure leaves the old file or the backup.
SaveResult SaveFileContents(
    const std::string &path, std::string_view bytes, const std::string &backupDir);

} // namespace ostrel

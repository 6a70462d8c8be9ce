#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::cc {

// What a path names, found without following it into a blocking open.
enum class FileKind {
    Regular, // a regular file, or a symbolic link to one
    Missing, // nothing there (also a dangling symbolic link)
    Directory,
    Other, // a device, a FIFO, a socket
    Unreadable, // it cannot be examined: permission, a symbolic link loop, a name too long
};

struct Examined
{
    FileKind kind = FileKind::Missing;
    std::string error; // for Unreadable: why
};

Examined Examine(const std::filesystem::path &path);

// Whether two paths name the same file: the same absolute name, or, where both exist, the
// same file through another name (a hard or symbolic link, letter case).
bool SameFile(const std::filesystem::path &a, const std::filesystem::path &b);

// An input of the build and what it is called in messages.
struct NamedFile
{
    std::filesystem::path path;
    const char *role; // "C file", "assembler file", "library file"
};

// The problems that keep a run from writing or removing the outputs: an output that is an
// input, and an output name taken by something that is not a file. Message texts without
// the leading "Error: ".
std::vector<std::string> CheckOutputs(
    const std::vector<std::filesystem::path> &outputs, const std::vector<NamedFile> &inputs);

// Removes the outputs of an earlier run that this run will write again; problems as above.
std::vector<std::string> RemoveOutputs(const std::vector<std::filesystem::path> &outputs);

// Writes the whole text to path through a temporary file beside it that is then renamed over
// it: readers see the old or the new file, never a part, and a symbolic link standing at path
// is replaced, never followed. False, with the reason in error, when that fails.
bool ReplaceFile(const std::filesystem::path &path, const std::string &text, std::string &error);

// The whole contents of a file the program wrote itself (a stamp, a dependency list, its own
// assembler output); nullopt when it cannot be read.
std::optional<std::string> ReadText(const std::string &path);

} // namespace ostrel::cc

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

enum class MessageFileStatus { Ok, CannotOpen, ReadError };

// The compiler's message file, one entry per line. After a read error the lines read so far
// are kept.
struct MessageFile
{
    MessageFileStatus status = MessageFileStatus::Ok;
    std::vector<std::string> lines;
};

// Every line whole, without its line end (LF or CR LF); a last line without a line end keeps
// all of its characters, and an empty text has no lines.
std::vector<std::string> SplitMessageLines(std::string_view text);

// Reads the file at `path`. Only a regular file is opened (a pipe would block the program).
MessageFile ReadMessageFile(const std::string &path);

} // namespace ostrel

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel {

// Where a compiler message points: the file name as written in the message and the 1-based
// line number.
struct MessageLocation
{
    std::string file;
    int32_t line = 0;
};

// A message the output window can follow: at least 20 characters holding "Warning ",
// "Error " or "Note " anywhere.
bool IsNavigable(std::string_view entry);

// Takes a navigable entry apart by position: the file name runs from after the first run of
// blanks to the first "(", the line number is read from between the first "(" and the first
// ")" as a signed decimal (leading white space allowed, reading stops at the first other
// character). Nothing when the entry is not navigable, the parentheses are missing or out of
// order, the file name is empty, or no number stands there.
std::optional<MessageLocation> ParseMessageLocation(std::string_view entry);

// The place a navigable entry names, for file names that hold parentheses ("Code (1).c",
// "shared (lib)/x.h"): the place by position when its file exists; otherwise the last
// "(<digits>)" after which the text from the start names an existing file; otherwise the place
// by position (which may be nothing). `exists` tells whether a name, as written in the
// message, names an existing file.
std::optional<MessageLocation> LocateMessage(
    std::string_view entry, const std::function<bool(const std::string &)> &exists);

// The file a message names: an absolute name as it is; a relative one against the current
// directory, or, when no such file exists there, against the directory of the message file
// (where the compiler ran). When neither exists, the current directory's path.
std::string ResolveMessageFile(const std::string &name, const std::string &messageFileDir);

} // namespace ostrel

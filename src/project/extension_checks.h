#pragma once

#include "project/project_extension.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ostrel {

// "NAME" or "NAME=value", NAME a C identifier; the value may be anything, also empty.
bool IsValidDefine(const std::string &define);
// Decimal digits only, a value from 1 to 4294967295.
bool IsValidClock(const std::string &clockHz);
// The flags text as compiler flags: split at blanks and tabs, never an empty word.
std::vector<std::string> SplitFlags(const std::string &flags);

// A text of one item a line as a list, each line without the blanks around it; empty lines
// are dropped. Line ends may be "\n" or "\r\n".
std::vector<std::string> SplitLines(const std::string &text);
std::string JoinLines(const std::vector<std::string> &items);

// The first setting of the extension that cannot be used.
struct ExtensionProblem
{
    enum Field { Clock, Define, IncludeFolder, LibrarySource } field;
    size_t index = 0; // which item of the list
    std::string message;
};

// Checks the clock, the defines and that every include and library source folder exists.
std::optional<ExtensionProblem> CheckExtension(const ProjectExtension &extension,
    const std::function<bool(const std::string &)> &folderExists);

// Whether `path` names an existing folder.
bool FolderExists(const std::string &path);

} // namespace ostrel

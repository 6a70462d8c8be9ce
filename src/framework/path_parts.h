#pragma once

#include <string>
#include <vector>

namespace ostrel {

// Paths taken apart and joined: "/" and "\" both separate directories.
std::string FileNameOf(const std::string &path); // "MAIN.C"
std::string DirectoryOf(const std::string &path); // with its trailing separator
std::string BaseNameOf(const std::string &path); // "MAIN"
std::string ExtensionOf(const std::string &path); // "C", without the dot
std::string JoinPath(const std::string &directory, const std::string &name);

bool EqualsIgnoringCase(const std::string &a, const std::string &b);

// Adds "." + extension to a file name typed without one.
std::string ApplyDefaultExtension(const std::string &path, const std::string &extension);

// The one path given on the command line: the words after the program name joined with single
// blanks, one pair of surrounding double quotes removed. Empty when there is none.
std::string CommandLinePath(const std::vector<std::string> &arguments);

} // namespace ostrel

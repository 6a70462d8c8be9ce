#pragma once

#include <string>

namespace ostrel {

inline constexpr char kBuiltInVersionLine[] = "Ostrel  Version 1.45";

// The first line of version.txt as read (at most 99 characters, its line end kept when it
// fits), or the built-in line when the file cannot be read or holds no line.
std::string ReadVersionLine(const std::string &path);

} // namespace ostrel

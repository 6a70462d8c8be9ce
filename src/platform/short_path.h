#pragma once

#include <string>

namespace ostrel {

// The platform's short (8.3) form of a path for the compiler's command line. Where the
// platform has no short names, or cannot give one, the path comes back unchanged.
std::string ShortPath(const std::string &path);

} // namespace ostrel

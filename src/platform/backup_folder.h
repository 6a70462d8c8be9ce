#pragma once

#include <string>

namespace ostrel {

// The folder in the user's cache where a save that writes a file in place keeps the old bytes
// until the new ones are on disk.
std::string SaveBackupFolder();

} // namespace ostrel

#pragma once

#include "project/project_record.h"

#include <string>

namespace ostrel {

// The images a build of the project leaves beside its C file.
struct FirmwareFiles
{
    std::string hex; // the flash
    std::string eep; // the EEPROM
};
FirmwareFiles FirmwareOf(const ProjectRecord &project);

// Whether the flash image is missing or older than anything it is built from: the project
// file, its sources and libraries, and the headers (.h, .inc) beside the C file and in the
// include folders.
bool FirmwareOutOfDate(const ProjectRecord &project);

} // namespace ostrel

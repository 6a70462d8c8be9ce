#pragma once

#include "project/project_extension.h"

#include <cstdint>
#include <string>

namespace ostrel {

// Target chips, in the order of their numbers in the project file.
enum CpuType : int32_t {
    CpuAt90s2313 = 0,
    CpuAt90s4414 = 1,
    CpuAt90s8515 = 2,
    CpuAtmega103 = 3,
};

// The open project. Everything but the path and the option strings is kept in the .PRJ file.
struct ProjectRecord
{
    std::string projectPath = "NONAME";
    std::string cFile;
    std::string codeStart = "30";
    std::string asmFile;
    std::string libFile;
    int32_t cpuType = CpuAt90s8515;
    int32_t memoryModel = 0;
    int32_t includeSource = 1;
    int32_t reserved = 0;
    std::string extSramStart = "0";
    std::string extSramEnd = "0";
    std::string stackInit = "0";
    int32_t sreEnable = 0;
    int32_t waitState = 0;
    std::string displayOptions;
    std::string commandOptions;
    // Kept in the block after the record; see project_extension.h.
    ProjectExtension extension;
    ExtensionState extensionState = ExtensionState::Absent;
};

// Every field back to its default but the project path.
void ResetProject(ProjectRecord &project);

} // namespace ostrel

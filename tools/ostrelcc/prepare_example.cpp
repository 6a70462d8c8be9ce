// ostrel-prepare-example <example folder> <program folder>
//
// The example's project file holds absolute paths, so it is written for the checkout at hand:
// <example folder>/BLINK.PRJ names BLINK.C and START.ASM there, for the AT90S8515. When the
// program folder holds no workspace file yet, a VOTRIX.cfg is written there that reopens
// BLINK.C with the example's project open.

#include "app/workspace_file.h"
#include "project/project_file.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

bool WriteBytes(const fs::path &path, const ostrel::Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(
        reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: ostrel-prepare-example <example folder> <program folder>\n";
        return 2;
    }
    std::error_code error;
    const fs::path example = fs::absolute(argv[1], error).lexically_normal();
    const fs::path program = fs::absolute(argv[2], error).lexically_normal();
    const fs::path cFile = example / "BLINK.C";
    const fs::path asmFile = example / "START.ASM";
    const fs::path projectFile = example / "BLINK.PRJ";
    if (!fs::is_regular_file(cFile) || !fs::is_regular_file(asmFile)) {
        std::cerr << "ostrel-prepare-example: no BLINK.C and START.ASM in " << example << "\n";
        return 1;
    }
    if (projectFile.string().size() > 259 || asmFile.string().size() > 259) {
        std::cerr << "ostrel-prepare-example: the checkout's path is longer than a project "
                     "file can hold (259 characters)\n";
        return 1;
    }

    ostrel::ProjectRecord project;
    project.projectPath = projectFile.string();
    project.cFile = cFile.string();
    project.asmFile = asmFile.string();
    project.cpuType = ostrel::CpuAt90s8515;
    project.codeStart = "30";
    project.includeSource = 1;
    if (!WriteBytes(projectFile, ostrel::EncodeProject(project))) {
        std::cerr << "ostrel-prepare-example: cannot write " << projectFile << "\n";
        return 1;
    }
    std::cout << "Example project: " << projectFile.string() << "\n";

    const fs::path workspace = program / ostrel::kWorkspaceFileName;
    if (!fs::exists(workspace, error)) {
        ostrel::WorkspaceRecord record;
        record.lastFile = cFile.string();
        record.projectOpen = 1;
        record.projectPath = projectFile.string();
        if (!WriteBytes(workspace, ostrel::EncodeWorkspace(record))) {
            std::cerr << "ostrel-prepare-example: cannot write " << workspace << "\n";
            return 1;
        }
        std::cout << "Workspace: " << workspace.string() << " opens the example\n";
    }
    return 0;
}

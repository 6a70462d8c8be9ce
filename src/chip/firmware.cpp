#include "chip/firmware.h"

#include <filesystem>
#include <vector>

namespace ostrel {

namespace fs = std::filesystem;

FirmwareFiles FirmwareOf(const ProjectRecord &project)
{
    const fs::path c(project.cFile);
    const fs::path base = c.parent_path() / c.stem();
    return { base.string() + ".hex", base.string() + ".eep" };
}

bool FirmwareOutOfDate(const ProjectRecord &project)
{
    std::error_code error;
    const fs::file_time_type built = fs::last_write_time(FirmwareOf(project).hex, error);
    if (error)
        return true;
    std::vector<fs::path> inputs = { project.projectPath, project.cFile, project.asmFile,
        project.libFile };
    const ProjectExtension &more = project.extension;
    for (const auto *list : { &more.cFiles, &more.asmFiles, &more.libraries })
        inputs.insert(inputs.end(), list->begin(), list->end());
    std::vector<fs::path> headerFolders = { fs::path(project.cFile).parent_path() };
    headerFolders.insert(
        headerFolders.end(), more.includeFolders.begin(), more.includeFolders.end());
    headerFolders.insert(
        headerFolders.end(), more.librarySources.begin(), more.librarySources.end());
    for (const fs::path &folder : headerFolders) {
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            const std::string extension = it->path().extension().string();
            if (extension == ".h" || extension == ".H" || extension == ".inc" || extension == ".c")
                inputs.push_back(it->path());
        }
        error.clear();
    }
    for (const fs::path &input : inputs) {
        if (input.empty())
            continue;
        const fs::file_time_type changed = fs::last_write_time(input, error);
        if (!error && changed > built)
            return true;
        error.clear();
    }
    return false;
}

} // namespace ostrel

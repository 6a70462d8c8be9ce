#include "project/project_record.h"

namespace ostrel {

void ResetProject(ProjectRecord &project)
{
    const std::string path = project.projectPath;
    project = ProjectRecord {};
    project.projectPath = path;
}

} // namespace ostrel

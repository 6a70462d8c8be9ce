#include "project/project_files.h"

#include "framework/path_parts.h"

#include <algorithm>
#include <cctype>

namespace ostrel {

ProjectFileKind ClassifyProjectFile(const std::string &path)
{
    const std::string extension = ExtensionOf(path);
    if (EqualsIgnoringCase(extension, "C"))
        return ProjectCFile;
    if (EqualsIgnoringCase(extension, "ASM"))
        return ProjectAsmFile;
    if (EqualsIgnoringCase(extension, "LIB"))
        return ProjectLibFile;
    return NotAProjectFile;
}

std::string *ProjectFileField(ProjectRecord &values, ProjectFileKind kind)
{
    switch (kind) {
    case ProjectCFile:
        return &values.cFile;
    case ProjectAsmFile:
        return &values.asmFile;
    case ProjectLibFile:
        return &values.libFile;
    case NotAProjectFile:
        break;
    }
    return nullptr;
}

std::vector<std::string> ProjectFileEntries(const ProjectRecord &values)
{
    std::vector<std::string> entries;
    for (const std::string *file : { &values.cFile, &values.asmFile, &values.libFile })
        if (!file->empty())
            entries.push_back(*file);
    return entries;
}

bool AddProjectFile(
    ProjectRecord &values, std::vector<std::string> &entries, const std::string &path)
{
    std::string *field = ProjectFileField(values, ClassifyProjectFile(path));
    if (!field)
        return false;
    if (!field->empty()) {
        const auto old = std::find_if(entries.begin(), entries.end(), [field](const auto &entry) {
            return EqualsIgnoringCase(entry, *field);
        });
        if (old != entries.end())
            entries.erase(old);
    }
    *field = path;
    entries.push_back(path);
    return true;
}

void RemoveProjectFile(ProjectRecord &values, std::vector<std::string> &entries, size_t index)
{
    if (index >= entries.size())
        return;
    const std::string removed = entries[index];
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    if (std::string *field = ProjectFileField(values, ClassifyProjectFile(removed)))
        field->clear();
}

bool TrimCFile(ProjectRecord &values)
{
    const auto first = std::find_if(values.cFile.begin(), values.cFile.end(), [](char c) {
        return !std::isspace(static_cast<unsigned char>(c));
    });
    values.cFile.erase(values.cFile.begin(), first);
    return !values.cFile.empty();
}

bool IsProjectFileName(const std::string &path)
{
    const std::string extension = ExtensionOf(path);
    return extension == "PRJ" || extension == "prj";
}

} // namespace ostrel

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
    if (EqualsIgnoringCase(extension, "ASM") || EqualsIgnoringCase(extension, "S"))
        return ProjectAsmFile;
    if (EqualsIgnoringCase(extension, "LIB") || EqualsIgnoringCase(extension, "A"))
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

std::vector<std::string> *ExtraFileList(ProjectRecord &values, ProjectFileKind kind)
{
    switch (kind) {
    case ProjectCFile:
        return &values.extension.cFiles;
    case ProjectAsmFile:
        return &values.extension.asmFiles;
    case ProjectLibFile:
        return &values.extension.libraries;
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
    const ProjectExtension &extension = values.extension;
    for (const auto *list : { &extension.cFiles, &extension.asmFiles, &extension.libraries })
        entries.insert(entries.end(), list->begin(), list->end());
    return entries;
}

namespace {

// Entries are full paths, so a whole, case-insensitive match finds one.
template <typename List> auto FindPath(List &list, const std::string &path)
{
    return std::find_if(list.begin(), list.end(), [&path](const std::string &entry) {
        return EqualsIgnoringCase(entry, path);
    });
}

void EraseEntry(std::vector<std::string> &entries, const std::string &path)
{
    const auto found = FindPath(entries, path);
    if (found != entries.end())
        entries.erase(found);
}

} // namespace

bool AddProjectFile(
    ProjectRecord &values, std::vector<std::string> &entries, const std::string &path)
{
    std::string *field = ProjectFileField(values, ClassifyProjectFile(path));
    if (!field)
        return false;
    if (!field->empty())
        EraseEntry(entries, *field);
    // A further file that becomes the main one is not listed twice.
    std::vector<std::string> &extra = *ExtraFileList(values, ClassifyProjectFile(path));
    if (const auto found = FindPath(extra, path); found != extra.end()) {
        extra.erase(found);
        EraseEntry(entries, path);
    }
    *field = path;
    entries.push_back(path);
    return true;
}

AddFileResult AddMoreProjectFile(
    ProjectRecord &values, std::vector<std::string> &entries, const std::string &path)
{
    const ProjectFileKind kind = ClassifyProjectFile(path);
    std::string *field = ProjectFileField(values, kind);
    if (!field)
        return AddFileResult::NotAProjectFile;
    if (FindPath(entries, path) != entries.end())
        return AddFileResult::AlreadyThere;
    if (field->empty())
        *field = path;
    else
        ExtraFileList(values, kind)->push_back(path);
    entries.push_back(path);
    return AddFileResult::Added;
}

void RemoveProjectFile(ProjectRecord &values, std::vector<std::string> &entries, size_t index)
{
    if (index >= entries.size())
        return;
    const std::string removed = entries[index];
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    const ProjectFileKind kind = ClassifyProjectFile(removed);
    std::string *field = ProjectFileField(values, kind);
    if (!field)
        return;
    std::vector<std::string> &extra = *ExtraFileList(values, kind);
    if (const auto found = FindPath(extra, removed); found != extra.end()) {
        extra.erase(found);
        return;
    }
    field->clear();
    if (!extra.empty()) {
        *field = extra.front();
        extra.erase(extra.begin());
    }
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

std::vector<std::string> ProjectSourcePaths(const ProjectRecord &values)
{
    std::vector<std::string> paths;
    for (const std::string *path : { &values.cFile, &values.asmFile })
        if (!path->empty())
            paths.push_back(*path);
    for (const auto *list : { &values.extension.cFiles, &values.extension.asmFiles })
        paths.insert(paths.end(), list->begin(), list->end());
    return paths;
}

} // namespace ostrel

#pragma once

#include "project/project_record.h"

#include <string>
#include <vector>

namespace ostrel {

// What a file is to a project, by its extension.
enum ProjectFileKind : int {
    NotAProjectFile = 0,
    ProjectCFile = 1,
    ProjectAsmFile = 2,
    ProjectLibFile = 3,
};

// By the extension, in any letter case: ".C" a C file; ".ASM" and ".S" an assembler file;
// ".LIB" and ".A" a library. Anything else, and no extension, is no kind.
ProjectFileKind ClassifyProjectFile(const std::string &path);

// The record's field for a kind; nullptr for NotAProjectFile.
std::string *ProjectFileField(ProjectRecord &values, ProjectFileKind kind);
// The extension's list of further files of a kind; nullptr for NotAProjectFile.
std::vector<std::string> *ExtraFileList(ProjectRecord &values, ProjectFileKind kind);

// The settings dialog's file list: the C, assembler and library files that are set, in
// that order, then the further C, assembler and library files.
std::vector<std::string> ProjectFileEntries(const ProjectRecord &values);

// Puts `path` in place of the file of its kind: the old entry leaves the list and the new one
// is appended. False, with nothing changed, for a file of no kind.
bool AddProjectFile(
    ProjectRecord &values, std::vector<std::string> &entries, const std::string &path);

enum class AddFileResult { Added, AlreadyThere, NotAProjectFile };

// Adds `path` besides the project's files: as the file of its kind when there is none yet,
// else as a further file of that kind. A file the project already has is not added twice.
AddFileResult AddMoreProjectFile(
    ProjectRecord &values, std::vector<std::string> &entries, const std::string &path);

// Takes entry `index` off the list and drops its file from the project. When that was the
// file of its kind and further files of that kind remain, the first of them takes its place.
void RemoveProjectFile(ProjectRecord &values, std::vector<std::string> &entries, size_t index);

// Removes the blanks before the C file's name; false when no name is left, for a project
// needs its C file.
bool TrimCFile(ProjectRecord &values);

// Only these two spellings of the extension open a file as a project.
bool IsProjectFileName(const std::string &path);

// The sources a build compiles: the C file, the assembler file and the further C and
// assembler files, in that order.
std::vector<std::string> ProjectSourcePaths(const ProjectRecord &values);

} // namespace ostrel

#pragma once

#include "framework/binary_fields.h"
#include "project/project_record.h"

#include <optional>

namespace ostrel {

class MessageBoxes;

// The .PRJ file: one 824-byte record, no header, integers little-endian and unaligned.
inline constexpr size_t kProjectFileSize = 824;

Bytes EncodeProject(const ProjectRecord &project);
// Fills the stored fields of `project` from a whole file's bytes; a file shorter than one
// record is rejected (nothing changes) rather than read as half defaults.
bool DecodeProject(const Bytes &bytes, ProjectRecord &project);

// Reads the file at project.projectPath into the record. Messages: "Can not open prj File",
// "Incorrect project file". The record is unchanged on failure.
bool LoadProject(ProjectRecord &project, MessageBoxes &messages);
// Writes the record over the first 824 bytes of project.projectPath, creating the file.
bool SaveProject(const ProjectRecord &project, MessageBoxes &messages);

} // namespace ostrel

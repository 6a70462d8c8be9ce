#pragma once

#include "framework/binary_fields.h"
#include "project/project_record.h"

#include <optional>

namespace ostrel {

class MessageBoxes;

// The .PRJ file: one 824-byte record, no header, integers little-endian and unaligned.
inline constexpr size_t kProjectFileSize = 824;

// The 824-byte record alone.
Bytes EncodeProject(const ProjectRecord &project);
// The whole file: the record, then the extension block when the project has one.
Bytes EncodeProjectFile(const ProjectRecord &project);
// Fills the stored fields of `project` from a whole file's bytes; a file shorter than one
// record is rejected (nothing changes) rather than read as half defaults. The extension block
// after the record is read too (paths against the folder of project.projectPath); its state
// tells whether there was one.
bool DecodeProject(const Bytes &bytes, ProjectRecord &project);

// Reads the file at project.projectPath into the record. Messages: "Can not open prj File",
// "Incorrect project file". The record is unchanged on failure. A damaged extension block is
// reported, and the record loads without it.
bool LoadProject(ProjectRecord &project, MessageBoxes &messages);
// A project without extension settings, read from a file without a block, is written over the
// first 824 bytes of project.projectPath (creating the file; bytes after the record stay).
// Otherwise the whole file is replaced by the record and the block: exactly 824 bytes when
// the settings were all removed.
bool SaveProject(const ProjectRecord &project, MessageBoxes &messages);

} // namespace ostrel

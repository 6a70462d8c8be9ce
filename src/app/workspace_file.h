#pragma once

#include "framework/binary_fields.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ostrel {

class MessageBoxes;

// VOTRIX.cfg: the file to reopen and the project that was open, 524 bytes.
struct WorkspaceRecord
{
    std::string lastFile;
    int32_t projectOpen = 0;
    std::string projectPath = "NONAME";
};

inline constexpr size_t kWorkspaceFileSize = 524;
inline constexpr char kWorkspaceFileName[] = "VOTRIX.cfg";

Bytes EncodeWorkspace(const WorkspaceRecord &record);
// Missing bytes of a short file read as empty fields and a zero flag.
WorkspaceRecord DecodeWorkspace(const Bytes &bytes);

// Nothing when the file does not open.
std::optional<WorkspaceRecord> ReadWorkspaceFile(const std::string &path);

// The two writers differ only in the message shown when the file does not open.
enum class WorkspaceWriter {
    Project, // after a project was created or loaded
    OpenHook // each time a source file is opened
};
bool WriteWorkspaceFile(const std::string &path, const WorkspaceRecord &record,
    WorkspaceWriter writer, MessageBoxes &messages);

} // namespace ostrel

#include "app/workspace_file.h"

#include "framework/path_parts.h"
#include "platform/message_boxes.h"

namespace ostrel {

namespace {

constexpr size_t kLastFile = 0, kPathSize = 260;
constexpr size_t kProjectOpen = 260;
constexpr size_t kProjectPath = 264;

} // namespace

Bytes EncodeWorkspace(const WorkspaceRecord &record)
{
    Bytes bytes(kWorkspaceFileSize, 0);
    WriteTextField(bytes, kLastFile, kPathSize, record.lastFile);
    WriteInt32(bytes, kProjectOpen, record.projectOpen);
    WriteTextField(bytes, kProjectPath, kPathSize, record.projectPath);
    return bytes;
}

WorkspaceRecord DecodeWorkspace(const Bytes &bytes)
{
    WorkspaceRecord record;
    record.lastFile = ReadTextField(bytes, kLastFile, kPathSize);
    record.projectOpen = ReadInt32(bytes, kProjectOpen, 0);
    record.projectPath = ReadTextField(bytes, kProjectPath, kPathSize);
    return record;
}

std::optional<WorkspaceRecord> ReadWorkspaceFile(const std::string &path)
{
    Bytes bytes;
    if (ReadWholeFile(path, bytes, kWorkspaceFileSize) != FileResult::Ok)
        return std::nullopt;
    return DecodeWorkspace(bytes);
}

bool WriteWorkspaceFile(const std::string &path, const WorkspaceRecord &record,
    WorkspaceWriter writer, MessageBoxes &messages)
{
    if (WriteRecordInPlace(path, EncodeWorkspace(record)) == FileResult::Ok)
        return true;
    if (writer == WorkspaceWriter::Project) {
        messages.Warn("Cannot open LUMBRAX.CFG file for writing");
    } else {
        MessageRequest request { "Cannot open ZILDOR.CFG file for writing" };
        request.caption = "ZILDOR-C";
        request.icon = MessageIcon::None;
        request.ownedByMainWindow = false;
        messages.Show(request);
    }
    return false;
}

} // namespace ostrel

#include "project/project_file.h"

#include "contract/file_access.h"
#include "framework/path_parts.h"
#include "platform/message_boxes.h"

namespace ostrel {

namespace {

// Offsets and sizes of the fields, in file order.
constexpr size_t kCFile = 0, kCFileSize = 260;
constexpr size_t kCodeStart = 260, kShortTextSize = 5;
constexpr size_t kAsmFile = 265;
constexpr size_t kLibFile = 525;
constexpr size_t kCpuType = 785;
constexpr size_t kMemoryModel = 789;
constexpr size_t kIncludeSource = 793;
constexpr size_t kReserved = 797;
constexpr size_t kExtSramStart = 801;
constexpr size_t kExtSramEnd = 806;
constexpr size_t kStackInit = 811;
constexpr size_t kSreEnable = 816;
constexpr size_t kWaitState = 820;

const char kCannotOpen[] = "Can not open prj File";
const char kIncorrect[] = "Incorrect project file";

} // namespace

Bytes EncodeProject(const ProjectRecord &project)
{
    Bytes bytes(kProjectFileSize, 0);
    WriteTextField(bytes, kCFile, kCFileSize, project.cFile);
    WriteTextField(bytes, kCodeStart, kShortTextSize, project.codeStart);
    WriteTextField(bytes, kAsmFile, kCFileSize, project.asmFile);
    WriteTextField(bytes, kLibFile, kCFileSize, project.libFile);
    WriteInt32(bytes, kCpuType, project.cpuType);
    WriteInt32(bytes, kMemoryModel, project.memoryModel);
    WriteInt32(bytes, kIncludeSource, project.includeSource);
    WriteInt32(bytes, kReserved, project.reserved);
    WriteTextField(bytes, kExtSramStart, kShortTextSize, project.extSramStart);
    WriteTextField(bytes, kExtSramEnd, kShortTextSize, project.extSramEnd);
    WriteTextField(bytes, kStackInit, kShortTextSize, project.stackInit);
    WriteInt32(bytes, kSreEnable, project.sreEnable);
    WriteInt32(bytes, kWaitState, project.waitState);
    return bytes;
}

Bytes EncodeProjectFile(const ProjectRecord &project)
{
    Bytes bytes = EncodeProject(project);
    const Bytes block = EncodeExtension(project.extension, DirectoryOf(project.projectPath));
    bytes.insert(bytes.end(), block.begin(), block.end());
    return bytes;
}

bool DecodeProject(const Bytes &bytes, ProjectRecord &project)
{
    if (bytes.size() < kProjectFileSize)
        return false;
    project.extension = {};
    project.extensionState = DecodeExtension(
        bytes, kProjectFileSize, DirectoryOf(project.projectPath), project.extension);
    project.cFile = ReadTextField(bytes, kCFile, kCFileSize);
    project.codeStart = ReadTextField(bytes, kCodeStart, kShortTextSize);
    project.asmFile = ReadTextField(bytes, kAsmFile, kCFileSize);
    project.libFile = ReadTextField(bytes, kLibFile, kCFileSize);
    project.cpuType = ReadInt32(bytes, kCpuType);
    project.memoryModel = ReadInt32(bytes, kMemoryModel);
    project.includeSource = ReadInt32(bytes, kIncludeSource);
    project.reserved = ReadInt32(bytes, kReserved);
    project.extSramStart = ReadTextField(bytes, kExtSramStart, kShortTextSize);
    project.extSramEnd = ReadTextField(bytes, kExtSramEnd, kShortTextSize);
    project.stackInit = ReadTextField(bytes, kStackInit, kShortTextSize);
    project.sreEnable = ReadInt32(bytes, kSreEnable);
    project.waitState = ReadInt32(bytes, kWaitState);
    return true;
}

bool LoadProject(ProjectRecord &project, MessageBoxes &messages)
{
    Bytes bytes;
    const size_t most = kProjectFileSize + kExtensionHeaderSize + kMaxExtensionSize;
    if (ReadWholeFile(project.projectPath, bytes, most) != FileResult::Ok) {
        messages.Warn(kCannotOpen);
        return false;
    }
    ProjectRecord loaded = project;
    if (!DecodeProject(bytes, loaded)) {
        messages.Warn(kIncorrect);
        return false;
    }
    if (loaded.extensionState == ExtensionState::Damaged)
        messages.Warn("The settings after the first 824 bytes of the project file are damaged "
                      "and were not loaded:\n"
            + project.projectPath);
    project = loaded;
    return true;
}

bool SaveProject(const ProjectRecord &project, MessageBoxes &messages)
{
    if (!project.extension.Empty() || project.extensionState == ExtensionState::Read) {
        const Bytes bytes = EncodeProjectFile(project);
        const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
        const files::ReplaceResult result = files::ReplaceFile(project.projectPath, { text });
        if (result.Ok())
            return true;
        messages.Warn(
            "Could not write the project file:\n" + project.projectPath + "\n" + result.Reason());
        return false;
    }
    switch (WriteRecordInPlace(project.projectPath, EncodeProject(project))) {
    case FileResult::Ok:
        return true;
    case FileResult::CannotOpen:
        messages.Warn(kCannotOpen);
        return false;
    case FileResult::IoError:
        messages.Warn("Could not write the project file completely:\n" + project.projectPath);
        return false;
    }
    return false;
}

} // namespace ostrel

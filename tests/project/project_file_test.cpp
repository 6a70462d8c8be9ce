#include "fakes/fake_services.h"
#include "project/project_file.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace ostrel {
namespace {

using test::FakeMessageBoxes;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

ProjectRecord SampleProject()
{
    ProjectRecord project;
    project.cFile = "/home/user/blink/MAIN.C";
    project.codeStart = "1A0";
    project.asmFile = "/home/user/blink/START.ASM";
    project.libFile = "/home/user/lib/avr.lib";
    project.cpuType = CpuAtmega103;
    project.memoryModel = 0;
    project.includeSource = 0;
    project.reserved = 7;
    project.extSramStart = "1100";
    project.extSramEnd = "FFFF";
    project.stackInit = "10FF";
    project.sreEnable = 1;
    project.waitState = 1;
    return project;
}

TEST(ProjectFile, DefaultsAreWrittenAtTheirOffsets)
{
    ProjectRecord project;
    ResetProject(project);
    const Bytes bytes = EncodeProject(project);
    ASSERT_EQ(bytes.size(), 824u);
    EXPECT_EQ(bytes[0], 0); // cFile ""
    EXPECT_EQ(std::string(bytes.begin() + 260, bytes.begin() + 263), std::string("30\0", 3));
    EXPECT_EQ(bytes[265], 0); // asmFile ""
    EXPECT_EQ(bytes[525], 0); // libFile ""
    const Bytes ints(bytes.begin() + 785, bytes.begin() + 801);
    EXPECT_EQ(ints, (Bytes { 2, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0 }));
    for (size_t offset : { 801u, 806u, 811u })
        EXPECT_EQ(
            std::string(bytes.begin() + offset, bytes.begin() + offset + 2), std::string("0\0", 2));
    EXPECT_EQ(Bytes(bytes.begin() + 816, bytes.end()), Bytes(8, 0));
}

TEST(ProjectFile, IntegersAreUnalignedLittleEndian)
{
    ProjectRecord project;
    project.cpuType = 0x04030201;
    const Bytes bytes = EncodeProject(project);
    EXPECT_EQ(Bytes(bytes.begin() + 785, bytes.begin() + 789), (Bytes { 1, 2, 3, 4 }));

    // Reading it back must use offset 785, not an aligned neighbour.
    ProjectRecord back;
    ASSERT_TRUE(DecodeProject(bytes, back));
    EXPECT_EQ(back.cpuType, 0x04030201);
}

TEST(ProjectFile, RoundTripKeepsEveryStoredField)
{
    const ProjectRecord project = SampleProject();
    ProjectRecord back;
    back.projectPath = "/keep/this.prj";
    back.commandOptions = "/sm";
    ASSERT_TRUE(DecodeProject(EncodeProject(project), back));
    EXPECT_EQ(back.cFile, project.cFile);
    EXPECT_EQ(back.codeStart, project.codeStart);
    EXPECT_EQ(back.asmFile, project.asmFile);
    EXPECT_EQ(back.libFile, project.libFile);
    EXPECT_EQ(back.cpuType, project.cpuType);
    EXPECT_EQ(back.includeSource, project.includeSource);
    EXPECT_EQ(back.reserved, 7);
    EXPECT_EQ(back.extSramStart, "1100");
    EXPECT_EQ(back.extSramEnd, "FFFF");
    EXPECT_EQ(back.stackInit, "10FF");
    EXPECT_EQ(back.sreEnable, 1);
    EXPECT_EQ(back.waitState, 1);
    // Not part of the file: left alone.
    EXPECT_EQ(back.projectPath, "/keep/this.prj");
    EXPECT_EQ(back.commandOptions, "/sm");
}

TEST(ProjectFile, TextWithoutTerminatorReadsEmptyAndLongTextIsCut)
{
    Bytes bytes = EncodeProject(ProjectRecord {});
    std::fill(bytes.begin() + 260, bytes.begin() + 265, 'A'); // codeStart, no zero byte
    std::fill(bytes.begin(), bytes.begin() + 260, 'x'); // cFile, no zero byte
    ProjectRecord back;
    ASSERT_TRUE(DecodeProject(bytes, back));
    EXPECT_EQ(back.codeStart, "");
    EXPECT_EQ(back.cFile, "");
    EXPECT_EQ(back.asmFile, ""); // the neighbour is not disturbed

    ProjectRecord longText;
    longText.codeStart = "123456";
    longText.cFile = std::string(300, 'p');
    ASSERT_TRUE(DecodeProject(EncodeProject(longText), back));
    EXPECT_EQ(back.codeStart, "1234");
    EXPECT_EQ(back.cFile, std::string(259, 'p'));
}

TEST(ProjectFile, NewFileIsExactly824BytesAndLongerFileKeepsItsTail)
{
    TempDir dir;
    FakeMessageBoxes messages;
    ProjectRecord project;
    project.projectPath = dir.File("NEW.PRJ");
    ASSERT_TRUE(SaveProject(project, messages));
    EXPECT_EQ(ReadBytes(project.projectPath), EncodeProject(project));

    Bytes longer(1000, 0xAB);
    WriteBytes(project.projectPath, longer);
    ASSERT_TRUE(SaveProject(project, messages));
    const Bytes written = ReadBytes(project.projectPath);
    ASSERT_EQ(written.size(), 1000u);
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 824), EncodeProject(project));
    EXPECT_EQ(Bytes(written.begin() + 824, written.end()), Bytes(176, 0xAB));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ProjectFile, LoadFailuresLeaveTheRecordAlone)
{
    TempDir dir;
    struct Case
    {
        const char *name;
        std::optional<Bytes> content; // nullopt: no file at all
        const char *message;
    };
    const Case cases[] = {
        { "missing", std::nullopt, "Can not open prj File" },
        { "empty", Bytes {}, "Incorrect project file" },
        { "one byte short", Bytes(823, 0), "Incorrect project file" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeMessageBoxes messages;
        ProjectRecord project = SampleProject();
        project.projectPath = dir.File(std::string(c.name) + ".prj");
        if (c.content)
            WriteBytes(project.projectPath, *c.content);
        const ProjectRecord before = project;
        EXPECT_FALSE(LoadProject(project, messages));
        EXPECT_EQ(messages.Texts(), std::vector<std::string> { c.message });
        EXPECT_EQ(messages.shown[0].caption, "Ostrel");
        EXPECT_EQ(EncodeProject(project), EncodeProject(before));
    }
}

TEST(ProjectFile, LoadReadsAFileWithTrailingBytes)
{
    TempDir dir;
    FakeMessageBoxes messages;
    Bytes bytes = EncodeProject(SampleProject());
    bytes.resize(2000, 0x55);
    ProjectRecord project;
    project.projectPath = dir.File("big.prj");
    WriteBytes(project.projectPath, bytes);
    ASSERT_TRUE(LoadProject(project, messages));
    EXPECT_EQ(project.cFile, "/home/user/blink/MAIN.C");
    EXPECT_EQ(project.reserved, 7);
    EXPECT_EQ(project.displayOptions, ""); // loading does not build options
}

TEST(ProjectFile, SaveIntoMissingFolderReportsFailure)
{
    TempDir dir;
    FakeMessageBoxes messages;
    ProjectRecord project;
    project.projectPath = dir.File("no/such/folder/P.PRJ");
    EXPECT_FALSE(SaveProject(project, messages));
    EXPECT_EQ(messages.Texts(), std::vector<std::string> { "Can not open prj File" });
}

ProjectExtension SampleExtension(const std::string &dir)
{
    ProjectExtension extension;
    extension.cFiles = { dir + "src/uart.c", "/elsewhere/shared (lib)/crc.c" };
    extension.asmFiles = { dir + "delay.S" };
    extension.libraries = { dir + "lib/libm8.a" };
    extension.librarySources = { dir + "lib/src" };
    extension.includeFolders = { dir + "include", "/opt/avr/include" };
    extension.defines = { "BAUD=9600", "DEBUG" };
    extension.clockHz = "8000000";
    extension.extraFlags = "-funsigned-char -fshort-enums";
    extension.programmer = { "usbasp", "usb", "10", true };
    return extension;
}

TEST(ProjectFile, ExtensionBlockRoundTripsWithPathsRelativeToTheProject)
{
    TempDir dir;
    FakeMessageBoxes messages;
    ProjectRecord project = SampleProject();
    project.projectPath = dir.File("FW.PRJ");
    const std::string folder = dir.File("");
    project.extension = SampleExtension(folder);
    project.extension.unknown = { { 0x7777, std::string("kept\0as is", 10) } };
    ASSERT_TRUE(SaveProject(project, messages));

    const Bytes bytes = ReadBytes(project.projectPath);
    ASSERT_GT(bytes.size(), 824u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 824), EncodeProject(project));
    const std::string block(bytes.begin() + 824, bytes.end());
    EXPECT_EQ(block.substr(0, 6), std::string("OSTX\x01\x00", 6));
    EXPECT_NE(block.find("src/uart.c"), std::string::npos);
    EXPECT_EQ(block.find(folder), std::string::npos); // nothing stored with the folder's path

    // The folder moves: the paths inside it follow, the others stay.
    TempDir moved;
    ProjectRecord back;
    back.projectPath = moved.File("FW.PRJ");
    WriteBytes(back.projectPath, bytes);
    ASSERT_TRUE(LoadProject(back, messages));
    ProjectExtension expected = SampleExtension(moved.File(""));
    expected.unknown = project.extension.unknown;
    EXPECT_EQ(back.extension, expected);
    EXPECT_EQ(back.extensionState, ExtensionState::Read);
    EXPECT_EQ(EncodeProject(back), EncodeProject(project));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ProjectFile, RecordReadersAndWritersOfTheOldLayoutKeepTheBlock)
{
    TempDir dir;
    FakeMessageBoxes messages;
    ProjectRecord project = SampleProject();
    project.projectPath = dir.File("FW.PRJ");
    project.extension = SampleExtension(dir.File(""));
    const Bytes file = EncodeProjectFile(project);

    // Cut at 824, the file reads as the same record.
    ProjectRecord cut;
    ASSERT_TRUE(DecodeProject(Bytes(file.begin(), file.begin() + 824), cut));
    EXPECT_EQ(EncodeProject(cut), EncodeProject(project));
    EXPECT_TRUE(cut.extension.Empty());

    // The record's own writer, saving changed fields, leaves the block in place.
    WriteBytes(project.projectPath, file);
    ProjectRecord changed = project;
    changed.codeStart = "0";
    ASSERT_EQ(WriteRecordInPlace(project.projectPath, EncodeProject(changed)), FileResult::Ok);
    ProjectRecord back;
    back.projectPath = project.projectPath;
    ASSERT_TRUE(LoadProject(back, messages));
    EXPECT_EQ(back.codeStart, "0");
    EXPECT_EQ(back.extension, project.extension);

    // All settings removed: the file is exactly the record again.
    back.extension = {};
    ASSERT_TRUE(SaveProject(back, messages));
    EXPECT_EQ(ReadBytes(project.projectPath), EncodeProject(back));
}

TEST(ProjectFile, DamagedBlockIsReportedAndTheRecordStillLoads)
{
    TempDir dir;
    const Bytes good = [&] {
        ProjectRecord project = SampleProject();
        project.extension.defines = { "A" };
        return EncodeProjectFile(project);
    }();
    const auto withBlockLength = [&](uint32_t length) {
        Bytes bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[824 + 6 + i] = static_cast<unsigned char>(length >> (8 * i));
        return bytes;
    };
    Bytes entryTooLong = good;
    entryTooLong[824 + 10 + 2] = 0xFF; // the entry claims 255 bytes
    const Bytes cases[] = {
        Bytes(good.begin(), good.begin() + 824 + 7), // header cut short
        withBlockLength(0xFFFFFFFF),
        withBlockLength(3), // entries end inside an entry's header
        entryTooLong,
    };
    for (const Bytes &bytes : cases) {
        FakeMessageBoxes messages;
        ProjectRecord project;
        project.projectPath = dir.File("D.PRJ");
        project.extension.defines = { "LEFT OVER" };
        WriteBytes(project.projectPath, bytes);
        ASSERT_TRUE(LoadProject(project, messages));
        EXPECT_EQ(project.extensionState, ExtensionState::Damaged);
        EXPECT_TRUE(project.extension.Empty());
        EXPECT_EQ(project.cFile, SampleProject().cFile);
        ASSERT_EQ(messages.shown.size(), 1u);

        // Saving the record alone leaves the damaged bytes for the user to recover.
        ASSERT_TRUE(SaveProject(project, messages));
        EXPECT_EQ(ReadBytes(project.projectPath), bytes);
    }
}

TEST(ProjectFile, ResetKeepsOnlyThePath)
{
    ProjectRecord project = SampleProject();
    project.projectPath = "/p/X.PRJ";
    project.displayOptions = "/sm";
    project.commandOptions = "/sm";
    ResetProject(project);
    EXPECT_EQ(project.projectPath, "/p/X.PRJ");
    EXPECT_EQ(EncodeProject(project), EncodeProject(ProjectRecord {}));
    EXPECT_EQ(project.displayOptions, "");
    EXPECT_EQ(project.commandOptions, "");
}

} // namespace
} // namespace ostrel

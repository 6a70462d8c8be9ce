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

#include "app/workspace_file.h"
#include "fakes/fake_services.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace ostrel {
namespace {

using test::FakeMessageBoxes;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(WorkspaceFile, FieldsAtTheirOffsets)
{
    const Bytes bytes = EncodeWorkspace({ "/src/MAIN.C", 1, "/src/BLINK.PRJ" });
    ASSERT_EQ(bytes.size(), 524u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(bytes.data())), "/src/MAIN.C");
    EXPECT_EQ(Bytes(bytes.begin() + 11, bytes.begin() + 260), Bytes(249, 0));
    EXPECT_EQ(Bytes(bytes.begin() + 260, bytes.begin() + 264), (Bytes { 1, 0, 0, 0 }));
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(bytes.data() + 264)), "/src/BLINK.PRJ");
}

TEST(WorkspaceFile, ShortAndUnterminatedFilesReadSafely)
{
    const Bytes full = EncodeWorkspace({ "/a/B.C", 1, "/a/P.PRJ" });
    struct Case
    {
        const char *name;
        Bytes bytes;
        WorkspaceRecord expected;
    };
    Bytes unterminated = full;
    std::fill(unterminated.begin(), unterminated.begin() + 260, 'z');
    const Case cases[] = {
        { "empty", {}, { "", 0, "" } },
        { "only last file", Bytes(full.begin(), full.begin() + 260), { "/a/B.C", 0, "" } },
        { "flag cut", Bytes(full.begin(), full.begin() + 262), { "/a/B.C", 0, "" } },
        { "project cut", Bytes(full.begin(), full.begin() + 300), { "/a/B.C", 1, "" } },
        { "unterminated last file", unterminated, { "", 1, "/a/P.PRJ" } },
        { "whole", full, { "/a/B.C", 1, "/a/P.PRJ" } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const WorkspaceRecord record = DecodeWorkspace(c.bytes);
        EXPECT_EQ(record.lastFile, c.expected.lastFile);
        EXPECT_EQ(record.projectOpen, c.expected.projectOpen);
        EXPECT_EQ(record.projectPath, c.expected.projectPath);
    }
}

TEST(WorkspaceFile, NewFileIs524BytesAndLongerFileKeepsItsTail)
{
    TempDir dir;
    FakeMessageBoxes messages;
    const std::string path = dir.File(kWorkspaceFileName);
    const WorkspaceRecord record { "/x/MAIN.C", 0, "NONAME" };
    ASSERT_TRUE(WriteWorkspaceFile(path, record, WorkspaceWriter::OpenHook, messages));
    EXPECT_EQ(ReadBytes(path), EncodeWorkspace(record));

    Bytes old(600, 0);
    for (size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<unsigned char>(i * 7);
    WriteBytes(path, old);
    ASSERT_TRUE(WriteWorkspaceFile(path, record, WorkspaceWriter::Project, messages));
    const Bytes written = ReadBytes(path);
    ASSERT_EQ(written.size(), 600u);
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 524), EncodeWorkspace(record));
    EXPECT_EQ(Bytes(written.begin() + 524, written.end()), Bytes(old.begin() + 524, old.end()));
    EXPECT_TRUE(messages.shown.empty());

    const auto back = ReadWorkspaceFile(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->lastFile, "/x/MAIN.C");
    EXPECT_EQ(back->projectPath, "NONAME");
}

TEST(WorkspaceFile, EachWriterHasItsOwnFailureMessage)
{
    TempDir dir;
    const std::string path = dir.File("missing-folder/VOTRIX.cfg");

    FakeMessageBoxes project;
    EXPECT_FALSE(WriteWorkspaceFile(path, {}, WorkspaceWriter::Project, project));
    ASSERT_EQ(project.shown.size(), 1u);
    EXPECT_EQ(project.shown[0].text, "Cannot open LUMBRAX.CFG file for writing");
    EXPECT_EQ(project.shown[0].caption, "Ostrel");
    EXPECT_EQ(project.shown[0].icon, MessageIcon::Exclamation);

    FakeMessageBoxes hook;
    EXPECT_FALSE(WriteWorkspaceFile(path, {}, WorkspaceWriter::OpenHook, hook));
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].text, "Cannot open ZILDOR.CFG file for writing");
    EXPECT_EQ(hook.shown[0].caption, "ZILDOR-C");
    EXPECT_EQ(hook.shown[0].icon, MessageIcon::None);
    EXPECT_FALSE(hook.shown[0].ownedByMainWindow);
}

TEST(WorkspaceFile, MissingFileReadsAsNothing)
{
    TempDir dir;
    EXPECT_FALSE(ReadWorkspaceFile(dir.File("none.cfg")).has_value());
    EXPECT_FALSE(ReadWorkspaceFile(dir.Path().string()).has_value()); // a folder
}

} // namespace
} // namespace ostrel

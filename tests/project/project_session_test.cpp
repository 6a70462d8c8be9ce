#include "fakes/fake_services.h"
#include "project/project_file.h"
#include "project/project_session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

using test::FakeMessageBoxes;
using test::TempDir;

TEST(ProjectSession, OpenFailureKeepsTheChosenPathAndTheOpenProjectsSettings)
{
    TempDir dir;
    FakeMessageBoxes messages;
    ProjectRecord stored;
    stored.projectPath = dir.File("A.PRJ");
    stored.cFile = "/work/A.C";
    stored.cpuType = CpuAt90s2313;
    ASSERT_TRUE(SaveProject(stored, messages));

    ProjectSession session;
    session.Close();
    ASSERT_TRUE(session.Open(stored.projectPath, messages));
    EXPECT_TRUE(session.IsOpen());
    EXPECT_EQ(session.CommandOptions(), "/sm /c1 /s /o0x30");

    EXPECT_FALSE(session.Open(dir.File("MISSING.PRJ"), messages));
    EXPECT_EQ(messages.Texts(), std::vector<std::string> { "Can not open prj File" });
    EXPECT_TRUE(session.IsOpen());
    EXPECT_EQ(session.Path(), dir.File("MISSING.PRJ"));
    EXPECT_EQ(session.CFile(), "/work/A.C");

    session.SetCreated(true);
    session.Close();
    EXPECT_FALSE(session.IsOpen());
    EXPECT_FALSE(session.IsCreated());
    EXPECT_EQ(session.Path(), "NONAME");
    EXPECT_EQ(session.CFile(), "");
    EXPECT_EQ(session.CommandOptions(), "");
    EXPECT_TRUE(session.CommandWords().empty());
}

TEST(ProjectSession, SettingsKeepPathAndReservedAndEveryOptionWordWhole)
{
    ProjectSession session;
    session.StartNew("/p/NEW.PRJ");
    ProjectRecord values;
    values.projectPath = "/elsewhere/X.PRJ";
    values.reserved = 9;
    values.asmFile = "/my files/START.ASM";
    session.ApplySettings(values, BuildOptionsFromDialog(values));

    EXPECT_EQ(session.Path(), "/p/NEW.PRJ");
    EXPECT_EQ(session.Record().reserved, 0);
    EXPECT_EQ(session.Record().asmFile, "/my files/START.ASM");
    EXPECT_EQ(session.CommandOptions(), "/sm /c3 /s /a/my files/START.ASM /o0x30");
    EXPECT_EQ(session.CommandWords(),
        (std::vector<std::string> { "/sm", "/c3", "/s", "/a/my files/START.ASM", "/o0x30" }));
}

// After a restart F9 builds with the memory layout the project holds.
TEST(ProjectSession, ReopenedMegaProjectKeepsItsMemoryWords)
{
    TempDir dir;
    FakeMessageBoxes messages;
    ProjectRecord stored;
    stored.projectPath = dir.File("M.PRJ");
    stored.cpuType = CpuAtmega103;
    stored.sreEnable = 1;
    stored.extSramStart = "1100";
    stored.extSramEnd = "7FFF";
    stored.stackInit = "7FFF";
    ApplyOptions(stored, BuildOptionsFromDialog(stored));
    ASSERT_TRUE(SaveProject(stored, messages));

    ProjectSession session;
    session.Restore(stored.projectPath, true);
    session.Reload(messages);
    ASSERT_TRUE(session.IsOpen());
    EXPECT_EQ(session.CommandWords(), BuildOptionsFromDialog(session.Record()).words);
    EXPECT_EQ(session.CommandOptions(), "/sm /c4 /x /rs0x1100 /re0x7fff /st0x7fff /s /o0x30");
}

} // namespace
} // namespace ostrel

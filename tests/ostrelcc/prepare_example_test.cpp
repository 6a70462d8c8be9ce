// ostrel-prepare-example: the example's project file for the checkout at hand, a first
// workspace file, and the IDE's own option words building the example.

#include "app/workspace_file.h"
#include "process.h"
#include "project/compiler_options.h"
#include "project/project_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace ostrel;

namespace {

Bytes ReadBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class PrepareExampleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("ostrel-prepare-" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "example (copy)");
        fs::create_directories(m_dir / "bin");
        const fs::path example = fs::path(OSTREL_SOURCE_DIR) / "examples" / "blink";
        for (const char *name : { "BLINK.C", "START.ASM" })
            fs::copy_file(example / name, m_dir / "example (copy)" / name);
    }
    void TearDown() override
    {
        std::error_code error;
        fs::remove_all(m_dir, error);
    }
    cc::ProcessResult Prepare()
    {
        return cc::RunProcess(
            { OSTREL_PREPARE_EXE, (m_dir / "example (copy)").string(), (m_dir / "bin").string() });
    }
    fs::path m_dir;
};

} // namespace

TEST_F(PrepareExampleTest, WritesProjectAndFirstWorkspace)
{
    ASSERT_EQ(Prepare().exitCode, 0);
    const fs::path example = m_dir / "example (copy)";
    const Bytes projectBytes = ReadBytes(example / "BLINK.PRJ");
    ASSERT_EQ(projectBytes.size(), kProjectFileSize);
    ProjectRecord project;
    ASSERT_TRUE(DecodeProject(projectBytes, project));
    EXPECT_EQ(project.cFile, (example / "BLINK.C").string());
    EXPECT_EQ(project.asmFile, (example / "START.ASM").string());
    EXPECT_EQ(project.cpuType, CpuAt90s8515);
    EXPECT_EQ(project.codeStart, "30");
    EXPECT_EQ(project.includeSource, 1);

    const Bytes workspaceBytes = ReadBytes(m_dir / "bin" / kWorkspaceFileName);
    ASSERT_EQ(workspaceBytes.size(), kWorkspaceFileSize);
    const WorkspaceRecord workspace = DecodeWorkspace(workspaceBytes);
    EXPECT_EQ(workspace.projectOpen, 1);
    EXPECT_EQ(workspace.projectPath, (example / "BLINK.PRJ").string());
    EXPECT_EQ(workspace.lastFile, (example / "BLINK.C").string());
}

TEST_F(PrepareExampleTest, KeepsAnExistingWorkspace)
{
    const fs::path workspace = m_dir / "bin" / kWorkspaceFileName;
    WorkspaceRecord mine;
    mine.lastFile = "/elsewhere/OTHER.C";
    const Bytes bytes = EncodeWorkspace(mine);
    std::ofstream(workspace, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    ASSERT_EQ(Prepare().exitCode, 0);
    EXPECT_EQ(ReadBytes(workspace), bytes);
    EXPECT_TRUE(fs::exists(m_dir / "example (copy)" / "BLINK.PRJ"));
}

TEST_F(PrepareExampleTest, TheProjectsOwnOptionWordsBuildTheExample)
{
    if (!cc::FindOnPath("avr-gcc"))
        GTEST_SKIP() << "the GNU AVR toolchain is not installed (gcc-avr, avr-libc, binutils-avr)";
    ASSERT_EQ(Prepare().exitCode, 0);
    ProjectRecord project;
    ASSERT_TRUE(DecodeProject(ReadBytes(m_dir / "example (copy)" / "BLINK.PRJ"), project));
    const CompilerOptions options = BuildOptionsFromProject(project);
    EXPECT_EQ(options.words.front(), "/sm");
    std::vector<std::string> argv = { OSTRELCC_EXE, project.cFile };
    argv.insert(argv.end(), options.words.begin(), options.words.end());
    const cc::ProcessResult result = cc::RunProcess(argv);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(fs::exists(m_dir / "example (copy)" / "BLINK.hex"));
    EXPECT_TRUE(fs::exists(m_dir / "example (copy)" / "BLINK.s"));
}

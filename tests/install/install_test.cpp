// `cmake --install` into a temporary DESTDIR, then the installed program started through its
// bin/ link: it must find its own files beside its real location and keep the workspace file
// in the user's configuration folder.
#include "app/workspace_file.h"
#include "process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace ostrel {
namespace {

using test::TempDir;

// The value of the line "<key>: value" in the program's report, or "(none)".
std::string Reported(const std::string &output, const std::string &key)
{
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + ": ", 0) == 0)
            return line.substr(key.size() + 2);
    return "(none)";
}

std::string FirstLine(const fs::path &path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

class InstallTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("DESTDIR", root.c_str(), 1);
        const auto result = cc::RunProcess(
            { CMAKE_COMMAND_PATH, "--install", OSTREL_BINARY_DIR, "--prefix", "/usr" });
        unsetenv("DESTDIR");
        ASSERT_TRUE(result.started && result.exitCode == 0) << result.output;
    }

    fs::path Installed(const std::string &path) const { return root / "usr" / path; }

    TempDir temp;
    fs::path root = temp.Path() / "root";
};

TEST_F(InstallTest, InstalledProgramFindsItsFilesThroughTheLinkAndKeepsTheWorkspacePerUser)
{
    const fs::path link = Installed("bin/ostrel");
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_FALSE(fs::path(fs::read_symlink(link)).is_absolute()) << "the link must be relative";
    const fs::path programDir = Installed(OSTREL_PROGRAMDIR);
    EXPECT_TRUE(fs::exists(programDir / "OSTREL.EXE"));

    const std::string source = temp.File("MAIN.C");
    test::WriteText(source, "int main(void)\n{\n    return 0;\n}\n");
    const fs::path config = temp.Path() / "config";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("HOME", temp.File("home").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("OSTREL_REPORT_FIRST_PAINT", "1", 1);
    const auto run = cc::RunProcess({ link.string(), source });
    ASSERT_TRUE(run.started && run.exitCode == 0) << run.output;

    EXPECT_EQ(Reported(run.output, "program directory"), fs::canonical(programDir).string() + "/")
        << run.output;
    EXPECT_EQ(Reported(run.output, "version"), FirstLine(OSTREL_SOURCE_DIR "/res/version.txt"));
    const fs::path workspace = config / "Ostrel" / "VOTRIX.cfg";
    EXPECT_EQ(Reported(run.output, "workspace"), workspace.string());
    const auto record = ReadWorkspaceFile(workspace.string());
    ASSERT_TRUE(record.has_value()) << "no workspace file in the configuration folder";
    EXPECT_EQ(record->lastFile, source);
    for (const auto &entry : fs::recursive_directory_iterator(root))
        EXPECT_NE(entry.path().filename(), "VOTRIX.cfg") << "written into the prefix";
}

TEST_F(InstallTest, DesktopEntryAndAppStreamMetadataValidate)
{
    const std::string id = "org.ostrel.Ostrel";
    for (const std::string &file : { "share/icons/hicolor/scalable/apps/" + id + ".svg",
             "share/icons/hicolor/16x16/apps/" + id + ".png",
             "share/icons/hicolor/256x256/apps/" + id + ".png",
             "share/mime/packages/" + id + ".xml" })
        EXPECT_TRUE(fs::exists(Installed(file))) << file;

    const std::vector<std::vector<std::string>> validators {
        { "desktop-file-validate", Installed("share/applications/" + id + ".desktop") },
        { "appstreamcli", "validate", "--no-net",
            Installed("share/metainfo/" + id + ".metainfo.xml") },
    };
    std::string missing;
    for (const auto &command : validators) {
        if (!cc::FindOnPath(command.front())) {
            missing += " " + command.front();
            continue;
        }
        const auto result = cc::RunProcess(command);
        EXPECT_TRUE(result.started && result.exitCode == 0) << result.output;
    }
    if (!missing.empty())
        GTEST_SKIP() << "not installed:" << missing << " (make deps installs them)";
}

} // namespace
} // namespace ostrel

// The real program started with file names that Qt would take for its own options or that
// are no UTF-8: each opens as the file it names and is recorded byte for byte.

#include "app/workspace_file.h"
#include "process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace ostrel {
namespace {

namespace fs = std::filesystem;

TEST(CommandLine, EveryArgumentIsPartOfThePathAsItsBytes)
{
    test::TempDir dir;
    // The program directory is the executable's own: a copy keeps the workspace file here.
    const fs::path program = dir.Path() / "ostrel";
    std::error_code linked;
    fs::create_hard_link(OSTREL_EXE, program, linked);
    if (linked)
        fs::copy_file(OSTREL_EXE, program);
    const std::string home = dir.File("home");
    for (const char *name : { "HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME" })
        setenv(name, home.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("OSTREL_REPORT_FIRST_PAINT", "1", 1); // quit once the file's window is painted
    const fs::path before = fs::current_path();
    fs::current_path(dir.Path());

    const struct
    {
        std::vector<std::string> words;
        std::string file;
    } cases[] = {
        { { "-reverse" }, "-reverse" },
        { { "-style", "x.c" }, "-style x.c" },
        { { "caf\xE9.c" }, "caf\xE9.c" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        test::WriteText(dir.File(c.file), "int x;\n");
        std::vector<std::string> argv = { program.string() };
        argv.insert(argv.end(), c.words.begin(), c.words.end());
        // A message box in place of the window would wait for ever: the limit ends it.
        const cc::ProcessResult result = cc::RunProcess(argv, {}, { 60, 0 });
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_NE(result.output.find("painted"), std::string::npos) << result.output;
        const WorkspaceRecord record = DecodeWorkspace(test::ReadBytes(dir.File("VOTRIX.cfg")));
        std::error_code error;
        EXPECT_TRUE(fs::equivalent(dir.Path() / record.lastFile, dir.File(c.file), error))
            << record.lastFile;
    }
    fs::current_path(before);
    unsetenv("OSTREL_REPORT_FIRST_PAINT");
}

} // namespace
} // namespace ostrel

#include "compile/compile_command.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(CompileCommand, NamesAndCommandLine)
{
    const std::string program = CompilerProgramPath("C:\\TOOLS\\");
    EXPECT_EQ(program, "C:\\TOOLS\\OSTREL.EXE");
    EXPECT_EQ(CompilerProgramPath("/opt/ostrel"), "/opt/ostrel/OSTREL.EXE");
    EXPECT_EQ(CompilerOutputPath("D:\\WORK\\MAIN.C"), "D:\\WORK\\OUTPUT.ERR");
    EXPECT_EQ(CompileCommandLine(program, "D:\\WORK\\MAIN.C", "/sm /c3 /s /o0x30"),
        "C:\\TOOLS\\OSTREL.EXE D:\\WORK\\MAIN.C /sm /c3 /s /o0x30");
    EXPECT_EQ(CompileCommandLine(program, "D:\\WORK\\MAIN.C", ""),
        "C:\\TOOLS\\OSTREL.EXE D:\\WORK\\MAIN.C ");
}

TEST(CompileCommand, ArgumentsKeepBlanksInsideTheirWords)
{
    EXPECT_EQ(CompileArguments("/my tools/OSTREL.EXE", "/my work/MAIN.C",
                  { "/sm", "/a/my work/START.ASM", "/o0x30" }),
        (std::vector<std::string> {
            "/my tools/OSTREL.EXE", "/my work/MAIN.C", "/sm", "/a/my work/START.ASM", "/o0x30" }));
}

} // namespace
} // namespace ostrel

#include "project/compiler_options.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

struct OptionCase
{
    const char *name;
    ProjectRecord values;
    const char *expected; // commandOptions, from the dialog and from a loaded project alike
};

ProjectRecord Mega(int32_t sre, int32_t wait, const char *start, const char *end, const char *stack)
{
    ProjectRecord r;
    r.cpuType = CpuAtmega103;
    r.sreEnable = sre;
    r.waitState = wait;
    r.extSramStart = start;
    r.extSramEnd = end;
    r.stackInit = stack;
    r.includeSource = 0;
    return r;
}

ProjectRecord With(ProjectRecord r, void (*change)(ProjectRecord &))
{
    change(r);
    return r;
}

void PrintTo(const OptionCase &c, std::ostream *os)
{
    *os << c.name;
}

class CompilerOptionsTest : public ::testing::TestWithParam<OptionCase>
{
};

TEST_P(CompilerOptionsTest, BothBuilders)
{
    const OptionCase &c = GetParam();
    EXPECT_EQ(BuildOptionsFromDialog(c.values).commandOptions, c.expected);
    EXPECT_EQ(BuildOptionsFromProject(c.values).commandOptions, c.expected);
    EXPECT_EQ(BuildOptionsFromProject(c.values).words, BuildOptionsFromDialog(c.values).words);
}

INSTANTIATE_TEST_SUITE_P(Table, CompilerOptionsTest,
    ::testing::Values(OptionCase { "defaults", ProjectRecord {}, "/sm /c3 /s /o0x30" },
        OptionCase { "mega_sram", Mega(1, 1, "1100", "FFFF", "0"),
            "/sm /c4 /x /w /rs0x1100 /re0xffff /o0x30" },
        OptionCase { "mega_stack_leading_zeros", Mega(0, 0, "00A0", "0", " 0x10ff"),
            "/sm /c4 /rs0xa0 /st0x10ff /o0x30" },
        OptionCase { "mega_junk_addresses", Mega(0, 0, "XYZ", "", "0"), "/sm /c4 /o0x30" },
        OptionCase { "sram_ignored_on_4414",
            With(Mega(1, 1, "1100", "FFFF", "10"),
                [](ProjectRecord &r) {
                    r.cpuType = CpuAt90s4414;
                }),
            "/sm /c2 /o0x30" },
        OptionCase { "unknown_chip_is_2313",
            With({},
                [](ProjectRecord &r) {
                    r.cpuType = 9;
                }),
            "/sm /c1 /s /o0x30" },
        OptionCase { "code_start_as_typed",
            With({},
                [](ProjectRecord &r) {
                    r.codeStart = "0x30";
                }),
            "/sm /c3 /s /o0x0x30" },
        OptionCase { "empty_code_start",
            With({},
                [](ProjectRecord &r) {
                    r.codeStart = "";
                }),
            "/sm /c3 /s /o0x" },
        OptionCase { "files",
            With({},
                [](ProjectRecord &r) {
                    r.asmFile = "/p/START.ASM";
                    r.libFile = "/p/my lib.a";
                }),
            "/sm /c3 /s /a/p/START.ASM /L/p/my lib.a /o0x30" }),
    [](const auto &info) {
        return std::string(info.param.name);
    });

TEST(CompilerOptions, DisplayTextHasOneWordPerLineAndWordsMatch)
{
    const CompilerOptions options = BuildOptionsFromDialog(With({}, [](ProjectRecord &r) {
        r.libFile = "/p/my lib.a";
    }));
    EXPECT_EQ(options.displayOptions, "/sm\r\n/c3\r\n/s\r\n/L/p/my lib.a\r\n/o0x30");
    // The list keeps a path with a blank as one word.
    EXPECT_EQ(options.words,
        (std::vector<std::string> { "/sm", "/c3", "/s", "/L/p/my lib.a", "/o0x30" }));
}

TEST(CompilerOptions, ExtensionWordsFollowTodaysWordsEachAsOneArgument)
{
    ProjectRecord r;
    r.asmFile = "/p/START.ASM";
    ProjectExtension &x = r.extension;
    x.cFiles = { "/p/uart.c", "/p/my dir/lcd.c" };
    x.asmFiles = { "/p/isr.S" };
    x.libraries = { "/p/libm.a", "/p/IO.LIB" };
    x.librarySources = { "/p/drivers" };
    x.includeFolders = { "/p/inc", "/p/my inc" };
    x.defines = { "DEBUG", "BAUD=9600" };
    x.clockHz = "8000000";
    x.extraFlags = "  -Os\t-funsigned-char  ";
    EXPECT_EQ(BuildOptionsFromProject(r).words,
        (std::vector<std::string> { "/sm", "/c3", "/s", "/a/p/START.ASM", "/o0x30", "/f/p/uart.c",
            "/f/p/my dir/lcd.c", "/f/p/isr.S", "/L/p/libm.a", "/L/p/IO.LIB", "/b/p/drivers",
            "/I/p/inc", "/I/p/my inc", "/DDEBUG", "/DBAUD=9600", "/F8000000", "/X-Os",
            "/X-funsigned-char" }));
}

TEST(CompilerOptions, BuildingTwiceGivesTheSameTexts)
{
    ProjectRecord r = Mega(1, 0, "1100", "0", "0");
    r.memoryModel = 5;
    ApplyOptions(r, BuildOptionsFromDialog(r));
    const std::string first = r.commandOptions;
    ApplyOptions(r, BuildOptionsFromDialog(r));
    EXPECT_EQ(r.commandOptions, first);
    EXPECT_EQ(first, "/sm /c4 /x /rs0x1100 /o0x30");
}

TEST(CompilerOptions, HexValueReadsLikeScanf)
{
    const std::pair<const char *, uint32_t> cases[] = {
        { "", 0 },
        { "0", 0 },
        { "XYZ", 0 },
        { "00A0", 0xa0 },
        { "FFFF", 0xffff },
        { "  1100", 0x1100 },
        { "0x1F", 0x1f },
        { "0X1f", 0x1f },
        { "12G4", 0x12 },
        { "0x", 0 },
        { "0xG", 0 },
        { "-1", 0xffffffffu },
        { "+10", 0x10 },
        { "\t7", 7 },
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(ParseHexValue(text), value) << '"' << text << '"';
}

} // namespace
} // namespace ostrel

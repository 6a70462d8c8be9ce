// Option words to a build plan: parsing, checks against the chip, and the argument lists of
// avr-gcc, avr-objcopy and avr-objdump.

#include "plan.h"
#include "project_build.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ostrel::cc;

namespace {

bool Has(const std::vector<std::string> &words, const std::string &word)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

std::string Joined(const std::vector<std::string> &errors)
{
    std::string text;
    for (const std::string &error : errors)
        text += error + "\n";
    return text;
}

} // namespace

TEST(PlanTest, DefaultProjectOptionsAsSeparateWords)
{
    const auto parsed = ParseCommandLine({ "MAIN.C", "/sm", "/c3", "/s", "/o0x30" });
    EXPECT_TRUE(parsed.errors.empty()) << Joined(parsed.errors);
    EXPECT_EQ(parsed.options.cFile, "MAIN.C");
    EXPECT_STREQ(parsed.options.chip->mcu, "at90s8515");
    EXPECT_TRUE(parsed.options.includeSource);
    EXPECT_EQ(parsed.options.codeStartWords, 0x30u);
}

// One argument is one word: blanks inside it never start another option word.
TEST(PlanTest, EachArgumentIsOneWord)
{
    auto parsed = ParseCommandLine({ "M.C", "/a/tmp/x /Lib/START.ASM" });
    EXPECT_EQ(parsed.options.asmFile, "/tmp/x /Lib/START.ASM");
    EXPECT_TRUE(parsed.options.libFiles.empty());
    parsed = ParseCommandLine({ "M.C", "/o0x0 /s" });
    EXPECT_FALSE(parsed.options.includeSource);
    EXPECT_FALSE(parsed.errors.empty());
    parsed = ParseCommandLine({ "M.C", "/sm /c4" });
    EXPECT_STREQ(parsed.options.chip->mcu, "at90s8515");
    EXPECT_FALSE(parsed.errors.empty());
    parsed = ParseCommandLine({ "/p/MAIN.C /sm /c1" });
    EXPECT_EQ(parsed.options.cFile, "/p/MAIN.C /sm /c1");
    EXPECT_STREQ(parsed.options.chip->mcu, "at90s8515");
}

TEST(PlanTest, AssemblerPathWithBlanksStaysOneWord)
{
    const auto parsed =
        ParseCommandLine({ "MAIN.C", "/sm", "/c3", "/a/home/my work (2)/START.ASM", "/o0x30" });
    EXPECT_TRUE(parsed.errors.empty()) << Joined(parsed.errors);
    EXPECT_EQ(parsed.options.asmFile, "/home/my work (2)/START.ASM");
}

TEST(PlanTest, WindowsShortPathsForAsmAndLibrary)
{
    const auto parsed = ParseCommandLine({ "C:\\PROJ\\MAIN.C", "/sm", "/c2",
        "/aC:\\PROJ\\START.ASM", "/LC:\\PROJ\\LIBX.A", "/o0x30" });
    EXPECT_TRUE(parsed.errors.empty()) << Joined(parsed.errors);
    EXPECT_EQ(parsed.options.asmFile, "C:\\PROJ\\START.ASM");
    EXPECT_EQ(parsed.options.libFiles, std::vector<std::string> { "C:\\PROJ\\LIBX.A" });
}

TEST(PlanTest, UnknownWordsAreErrors)
{
    const auto parsed = ParseCommandLine({ "MAIN.C", "/sm", "/c9", "/zz", "/rs0xqq" });
    ASSERT_EQ(parsed.errors.size(), 3u);
    EXPECT_EQ(parsed.errors[0], "unknown option word '/c9'");
    EXPECT_EQ(parsed.errors[1], "unknown option word '/zz'");
    EXPECT_EQ(parsed.errors[2], "option /rs0xqq: not a hexadecimal address");
}

TEST(PlanTest, NoArgumentsIsAnError)
{
    EXPECT_FALSE(ParseCommandLine({}).errors.empty());
}

TEST(PlanTest, CodeStartIsCheckedAgainstVectorsAndFlash)
{
    // The AT90S8515 has 13 one-word vectors and 4K words of flash.
    EXPECT_TRUE(ParseCommandLine({ "M.C", "/c3", "/o0xd" }).errors.empty());
    const auto inside = ParseCommandLine({ "M.C", "/c3", "/o0xc" });
    ASSERT_EQ(inside.errors.size(), 1u);
    EXPECT_NE(inside.errors[0].find("inside the interrupt vector table"), std::string::npos);
    const auto beyond = ParseCommandLine({ "M.C", "/c3", "/o0x1000" });
    ASSERT_EQ(beyond.errors.size(), 1u);
    EXPECT_NE(beyond.errors[0].find("beyond the flash"), std::string::npos);
    // The ATmega103's 24 two-word vectors end at word 0x30, the default code start.
    EXPECT_TRUE(ParseCommandLine({ "M.C", "/c4", "/o0x30" }).errors.empty());
    EXPECT_FALSE(ParseCommandLine({ "M.C", "/c4", "/o0x2f" }).errors.empty());
    // A code start typed as 0x30 arrives as /o0x0x30; an empty one means right after the vectors.
    EXPECT_EQ(ParseCommandLine({ "M.C", "/o0x0x30" }).options.codeStartWords, 0x30u);
    EXPECT_FALSE(ParseCommandLine({ "M.C", "/o0x" }).options.codeStartWords.has_value());
}

TEST(PlanTest, StackBeyondSramIsRefused)
{
    EXPECT_TRUE(ParseCommandLine({ "M.C", "/c4", "/st0xfff" }).errors.empty());
    const auto beyond = ParseCommandLine({ "M.C", "/c4", "/st0x1000" });
    ASSERT_EQ(beyond.errors.size(), 1u);
    EXPECT_NE(beyond.errors[0].find("initial stack pointer 0x1000 lies beyond the SRAM"),
        std::string::npos);
    // With external SRAM up to /re0x the stack may lie there.
    EXPECT_TRUE(ParseCommandLine({ "M.C", "/c4", "/x", "/rs0x1000", "/re0x7fff", "/st0x7fff" })
                    .errors.empty());
    EXPECT_FALSE(ParseCommandLine({ "M.C", "/c4", "/x", "/rs0x1000", "/re0x7fff", "/st0x8000" })
                     .errors.empty());
    EXPECT_FALSE(ParseCommandLine({ "M.C", "/c1", "/st0xe0" }).errors.empty());
}

TEST(PlanTest, ExternalSramNeedsAChipThatHasIt)
{
    EXPECT_FALSE(ParseCommandLine({ "M.C", "/c1", "/x" }).errors.empty());
    EXPECT_FALSE(ParseCommandLine({ "M.C", "/c1", "/rs0x1000" }).errors.empty());
    EXPECT_FALSE(ParseCommandLine({ "M.C", "/c4", "/rs0x2000", "/re0x1000" }).errors.empty());
}

TEST(PlanTest, CompileStepIsCWithDwarf2AndTheStrictErrors)
{
    const auto parsed = ParseCommandLine({ "/p/MAIN.C", "/c1" });
    const BuildFiles files = MakeBuildFiles("/p/MAIN.C", "/tmp/t");
    const Step step = CompileStep(parsed.options, files);
    EXPECT_EQ(step.argv[0], "avr-gcc");
    for (const char *flag :
        { "-mmcu=at90s2313", "-gdwarf-2", "-Os", "-Wall", "-Werror=implicit-function-declaration",
            "-Werror=implicit-int", "-Werror=misspelled-isr", "-S", "/p/MAIN.C" })
        EXPECT_TRUE(Has(step.argv, flag)) << flag;
    EXPECT_FALSE(Has(step.argv, "-g"));
    const auto x = std::find(step.argv.begin(), step.argv.end(), "-x");
    ASSERT_NE(x, step.argv.end());
    EXPECT_EQ(*(x + 1), "c");
    EXPECT_LT(x - step.argv.begin(),
        std::find(step.argv.begin(), step.argv.end(), "/p/MAIN.C") - step.argv.begin());
}

TEST(PlanTest, LinkStepPlacesLibraryAfterObjectsAndWritesMap)
{
    const auto parsed = ParseCommandLine({ "/p/MAIN.C", "/c3", "/a/p/START.ASM", "/L/p/libx.a" });
    const BuildFiles files = MakeBuildFiles("/p/MAIN.C", "/tmp/t");
    const Step link = LinkStep(parsed.options, files, true, false);
    const auto at = [&](const std::string &word) {
        return std::find(link.argv.begin(), link.argv.end(), word) - link.argv.begin();
    };
    EXPECT_LT(at("/tmp/t/MAIN.o"), at("/p/libx.a"));
    EXPECT_LT(at("/tmp/t/asm-START.o"), at("/p/libx.a"));
    EXPECT_TRUE(Has(link.argv, "/p/MAIN.elf"));
    const auto map = std::find(link.argv.begin(), link.argv.end(), "/p/MAIN.map");
    ASSERT_GE(map - link.argv.begin(), 3);
    EXPECT_EQ(std::vector<std::string>(map - 3, map),
        (std::vector<std::string> { "-Xlinker", "-Map", "-Xlinker" }));
    EXPECT_TRUE(Has(link.argv, "-Wl,--defsym=__TEXT_REGION_LENGTH__=0x2000"));
    EXPECT_TRUE(Has(link.argv, "-Wl,--defsym=__DATA_REGION_LENGTH__=0x200"));

    const Step assemble = AssembleAsmStep(parsed.options, files);
    EXPECT_TRUE(Has(assemble.argv, "assembler-with-cpp"));
    EXPECT_TRUE(Has(assemble.argv, "/p/START.ASM"));
}

TEST(PlanTest, ExternalSramSymbols)
{
    const auto parsed =
        ParseCommandLine({ "M.C", "/c4", "/x", "/rs0x1100", "/re0xffff", "/st0xfff" });
    const auto symbols = LinkerSymbols(parsed.options);
    EXPECT_TRUE(Has(symbols, "-Wl,--defsym=__DATA_REGION_ORIGIN__=0x801100"));
    EXPECT_TRUE(Has(symbols, "-Wl,--defsym=__DATA_REGION_LENGTH__=0xef00"));
    EXPECT_TRUE(Has(symbols, "-Wl,--defsym=__heap_end=0x80ffff"));
    EXPECT_TRUE(Has(symbols, "-Wl,--defsym=__stack=0xfff"));
    EXPECT_EQ(DataRegionBytes(parsed.options), 0xef00u);
}

TEST(PlanTest, StartupAssemblySetsSreAndSrwAndPadsVectors)
{
    auto parsed = ParseCommandLine({ "M.C", "/c4", "/x", "/w", "/o0x40" });
    const std::string text = StartupAssembly(parsed.options);
    EXPECT_NE(text.find(".section .init1"), std::string::npos);
    EXPECT_NE(text.find("ldi r24, 0xc0"), std::string::npos);
    EXPECT_NE(text.find("out 0x35, r24"), std::string::npos);
    EXPECT_NE(text.find(".section .vectors"), std::string::npos);
    EXPECT_NE(text.find(".fill 32, 1, 0xff"), std::string::npos); // 0x80 - 0x60 bytes
    parsed = ParseCommandLine({ "M.C", "/c4", "/x", "/o0x30" });
    EXPECT_NE(StartupAssembly(parsed.options).find("ldi r24, 0x80"), std::string::npos);
    EXPECT_EQ(StartupAssembly(parsed.options).find(".vectors"), std::string::npos);
    EXPECT_EQ(StartupAssembly(ParseCommandLine({ "M.C", "/c4", "/o0x30" }).options), "");
}

TEST(PlanTest, OutputAndHelperSteps)
{
    const BuildFiles files = MakeBuildFiles("/p/BLINK.C", "/tmp/t");
    EXPECT_EQ(files.Output("hex"), "/p/BLINK.hex");
    const Step hex = HexStep(files);
    EXPECT_EQ(hex.argv.front(), "avr-objcopy");
    EXPECT_TRUE(Has(hex.argv, ".eeprom"));
    EXPECT_EQ(hex.argv.back(), "/p/BLINK.hex");
    EXPECT_EQ(EepromStep(files).argv.back(), "/p/BLINK.eep");
    EXPECT_EQ(ListingStep(files).stdoutFile, "/p/BLINK.lss");
}

TEST(PlanTest, ExternalDataWithoutSreIsWarnedAbout)
{
    const auto parsed = ParseCommandLine({ "M.C", "/c4", "/rs0x1100", "/re0xffff" });
    EXPECT_TRUE(parsed.errors.empty());
    ASSERT_EQ(parsed.warnings.size(), 1u);
    EXPECT_NE(parsed.warnings[0].find("/x"), std::string::npos);
    EXPECT_TRUE(
        ParseCommandLine({ "M.C", "/c4", "/x", "/rs0x1100", "/re0xffff" }).warnings.empty());
}

// The words of a project: each value is taken or refused with an error.
TEST(PlanTest, ProjectWordsAreCheckedOneByOne)
{
    const struct
    {
        const char *word;
        bool accepted;
    } cases[] = {
        { "/DNAME", true },
        { "/D_x1=a b,c", true },
        { "/D1X", false },
        { "/D=3", false },
        { "/DA-B=1", false },
        { "/F4294967295", true },
        { "/F0", false },
        { "/F4294967296", false },
        { "/F8e6", false },
        { "/X-funsigned-char", true },
        { "/X-Wl,--gc-sections", true },
        { "/X-DDEBUG=1", true },
        { "/X-fplugin=/tmp/p.so", false },
        { "/X-B/tmp/tools", false },
        { "/X-specs=x.specs", false },
        { "/X-wrapper", false },
        { "/X@flags.txt", false },
        { "/X-Wl,--gc-sections,--plugin,x.so", false },
        { "/X-Wl,-plugin=x.so", false },
        { "/X-Wl,-o,/tmp/elf", false },
        { "/X-o/tmp/out", false },
        { "/X-xc", false },
        { "/X-I", false },
        { "/X-Xlinker", false },
        { "/Xfoo.c", false },
    };
    for (const auto &c : cases) {
        const auto parsed = ParseCommandLine({ "M.C", c.word });
        EXPECT_EQ(parsed.errors.empty(), c.accepted) << c.word << ": " << Joined(parsed.errors);
        EXPECT_TRUE(LooksLikeOption(c.word)) << c.word;
        EXPECT_TRUE(parsed.options.IsProject() == c.accepted) << c.word;
    }
}

TEST(PlanTest, ClockIsFCpuUnlessADefineSetsIt)
{
    auto flags = [](std::vector<std::string> words) {
        words.insert(words.begin(), "M.C");
        return PreprocessorFlags(ParseCommandLine(words).options);
    };
    EXPECT_EQ(flags({ "/F8000000", "/DX=1", "/I/p/inc" }),
        (std::vector<std::string> { "-DX=1", "-DF_CPU=8000000UL", "-I", "/p/inc" }));
    EXPECT_EQ(flags({ "/F8000000", "/DF_CPU=16000000" }),
        (std::vector<std::string> { "-DF_CPU=16000000" }));
}

TEST(PlanTest, DependencyFileNamesTheTargetsFilesUnescaped)
{
    EXPECT_EQ(ParseDependencies("x: /p/a\\ b.c /p/$$d.h \\\n /p/\\#e.h\n\n/p/$$d.h:\n"),
        (std::vector<std::string> { "/p/a b.c", "/p/$d.h", "/p/#e.h" }));
    EXPECT_TRUE(ParseDependencies("other: /p/a.c\n").empty());
    // Two sources of one name in different folders get different objects.
    EXPECT_NE(ObjectStem("/p/a/main.c"), ObjectStem("/p/b/main.c"));
    EXPECT_EQ(ObjectStem("/p/a/main.c").rfind("main-", 0), 0u);
}

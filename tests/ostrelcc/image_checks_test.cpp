// Images and libraries checked against the chip: the instructions it lacks and libraries
// built for another AVR family.

#include "chips.h"
#include "image_checks.h"
#include "process.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace ostrel::cc;

namespace {

// "avr-objdump -d -t" of a small image: a table in flash whose bytes read as MUL, then code.
const char kListing[] = "SYMBOL TABLE:\n"
                        "0000001a g     O .text\t00000004 table\n"
                        "00000020 g     F .text\t00000010 f\n"
                        "\n"
                        "0000001a <table>:\n"
                        "  1a:\t86 9f       \tmul\tr24, r22\n"
                        "  1c:\t0e 94 10 00 \tcall\t0x20\t; 0x20 <f>\n"
                        "00000020 <f>:\n"
                        "  20:\tc8 95       \tlpm\n"
                        "  22:\t85 91       \tlpm\tr24, Z+\n"
                        "  24:\t0e 94 10 00 \tcall\t0x20\t; 0x20 <f>\n"
                        "00000030 <g>:\n"
                        "  30:\td8 95       \telpm\n"
                        "  32:\t86 9f       \tmul\tr24, r22\n"
                        "  34:\tcb 01       \tmovw\tr24, r22\n";

TEST(ImageChecks, InstructionsTheChipLacksAreNamedOncePerFunction)
{
    const struct
    {
        const char *chip;
        std::vector<std::string> expected; // "<instruction> at <address> in <function>"
    } cases[] = {
        { "/c3",
            { "`lpm r24, Z+', used at 0x0022 in function f",
                "`elpm', used at 0x0030 in function g" } },
        { "/c4",
            { "`lpm r24, Z+', used at 0x0022 in function f",
                "`mul r24, r22', used at 0x0032 in function g" } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chip);
        const std::vector<Diagnostic> found = MissingInstructions(kListing, *ChipForOption(c.chip));
        ASSERT_EQ(found.size(), c.expected.size());
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].severity, Severity::Error);
            EXPECT_NE(found[i].text.find(c.expected[i]), std::string::npos) << found[i].text;
        }
    }
}

TEST(ImageChecks, FamiliesRunOnlyOnChipsWithAllTheirInstructions)
{
    EXPECT_TRUE(FamilyRunsOn(2, 2));
    EXPECT_TRUE(FamilyRunsOn(2, 31));
    EXPECT_TRUE(FamilyRunsOn(3, 31));
    EXPECT_FALSE(FamilyRunsOn(31, 2)); // JMP/CALL
    EXPECT_FALSE(FamilyRunsOn(4, 2)); // MUL, MOVW
    EXPECT_FALSE(FamilyRunsOn(25, 31)); // MOVW
    EXPECT_FALSE(FamilyRunsOn(100, 2)); // another encoding
    EXPECT_FALSE(FamilyRunsOn(0, 2)); // unknown
}

class ImageChecksToolchainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!FindOnPath("avr-gcc") || !FindOnPath("avr-ar") || !FindOnPath("avr-objdump"))
            GTEST_SKIP() << "the GNU AVR toolchain is not installed";
        m_dir = fs::temp_directory_path() / ("ostrelcc-image-" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code error;
        fs::remove_all(m_dir, error);
    }

    fs::path Write(const std::string &name, const std::string &text)
    {
        std::ofstream(m_dir / name, std::ios::binary) << text;
        return m_dir / name;
    }
    void Tool(const std::vector<std::string> &argv)
    {
        const ProcessResult result = RunProcess(argv);
        ASSERT_TRUE(result.started && result.exitCode == 0) << argv[0] << ": " << result.output;
    }
    // OUTPUT.ERR of a build of the C file with the option words.
    std::string Build(const fs::path &cFile, const std::vector<std::string> &words)
    {
        std::vector<std::string> argv = { OSTRELCC_EXE, cFile.string() };
        argv.insert(argv.end(), words.begin(), words.end());
        RunProcess(argv);
        std::ostringstream text;
        text << std::ifstream(m_dir / "OUTPUT.ERR").rdbuf();
        return text.str();
    }

    fs::path m_dir;
};

TEST_F(ImageChecksToolchainTest, CodeForAnotherAvrFailsTheBuild)
{
    // A library built for the ATmega8, whose f multiplies with MUL.
    Write("mul.c", "unsigned char f(unsigned char a, unsigned char b) { return a * b; }\n");
    Tool({ "avr-gcc", "-mmcu=atmega8", "-Os", "-c", (m_dir / "mul.c").string(), "-o",
        (m_dir / "mul.o").string() });
    Tool({ "avr-ar", "rcs", (m_dir / "libm8.a").string(), (m_dir / "mul.o").string() });
    const fs::path main = Write("MAIN.C",
        "unsigned char f(unsigned char, unsigned char);\n"
        "int main(void) { return f(3, 4); }\n");
    std::string out = Build(main, { "/c3", "/L" + (m_dir / "libm8.a").string() });
    EXPECT_NE(
        out.find("Warning: library " + (m_dir / "libm8.a").string() + ": mul.o built for avr4"),
        std::string::npos)
        << out;
    EXPECT_NE(out.find("Error: the AT90S8515 (avr2) has no instruction `mul"), std::string::npos);
    EXPECT_NE(out.find("in function f"), std::string::npos);
    EXPECT_NE(out.find("build failed, 1 error, 1 warning"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_dir / "MAIN.hex"));

    // MOVW in the assembler file, which avr-gcc's assembler takes for any chip.
    const fs::path asmFile = Write("G.ASM", ".global g\ng:\n\tmovw r24, r22\n\tret\n");
    const fs::path caller = Write("CALLER.C", "void g(void);\nint main(void) { g(); return 0; }\n");
    out = Build(caller, { "/c1", "/a" + asmFile.string() });
    EXPECT_NE(out.find("has no instruction `movw r24, r22'"), std::string::npos) << out;
    EXPECT_NE(out.find("in function g"), std::string::npos);

    // A table in flash whose bytes read as MUL is no instruction.
    const fs::path table = Write("TABLE.C",
        "#include <avr/pgmspace.h>\n"
        "const unsigned char t[4] PROGMEM = { 0x86, 0x9f, 0x0e, 0x94 };\n"
        "int main(void) { return pgm_read_byte(&t[1]); }\n");
    out = Build(table, { "/c3" });
    EXPECT_NE(out.find("AT90S8515: built, 0 errors, 0 warnings"), std::string::npos) << out;
}

} // namespace

// OSTREL.EXE run on the real GNU AVR toolchain: the example, every chip, errors, the memory
// options checked in the ELF, and a start the way the IDE starts it.

#include "process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace ostrel::cc;

namespace {

std::string ReadText(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class OstrelccTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!FindOnPath("avr-gcc") || !FindOnPath("avr-nm") || !FindOnPath("avr-objdump"))
            GTEST_SKIP() << "the GNU AVR toolchain is not installed (gcc-avr, avr-libc, "
                            "binutils-avr; `make test` installs them)";
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path()
            / ("ostrelcc-test-" + std::to_string(getpid()) + "-" + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }

    void TearDown() override
    {
        std::error_code error;
        if (!m_dir.empty())
            fs::remove_all(m_dir, error);
    }

    // Runs OSTREL.EXE with the C file and each option word as one argument.
    ProcessResult Compile(const fs::path &cFile, const std::vector<std::string> &words)
    {
        std::vector<std::string> argv = { OSTRELCC_EXE, cFile.string() };
        argv.insert(argv.end(), words.begin(), words.end());
        return RunProcess(argv);
    }

    fs::path Source(const std::string &name, const std::string &text)
    {
        const fs::path path = m_dir / name;
        WriteText(path, text);
        return path;
    }

    std::string OutputErr() { return ReadText(m_dir / "OUTPUT.ERR"); }

    static std::string Tool(const std::vector<std::string> &argv)
    {
        const ProcessResult result = RunProcess(argv);
        EXPECT_TRUE(result.started && result.exitCode == 0) << argv[0] << ": " << result.output;
        return result.output;
    }

    // The value of a symbol of the ELF, or -1.
    static long Symbol(const fs::path &elf, const std::string &name)
    {
        for (const std::string &line : Lines(Tool({ "avr-nm", elf.string() }))) {
            std::istringstream in(line);
            std::string value, type, symbol;
            if (in >> value >> type >> symbol && symbol == name)
                return std::stol(value, nullptr, 16);
        }
        return -1;
    }

    fs::path m_dir;
};

const char kSmallProgram[] = "#include <avr/io.h>\n"
                             "int main(void)\n"
                             "{\n"
                             "    DDRB = 0xff;\n"
                             "    for (;;)\n"
                             "        PORTB++;\n"
                             "}\n";

} // namespace

TEST_F(OstrelccTest, ExampleBuilds)
{
    const fs::path example = fs::path(OSTREL_SOURCE_DIR) / "examples" / "blink";
    fs::copy_file(example / "BLINK.C", m_dir / "BLINK.C");
    fs::copy_file(example / "START.ASM", m_dir / "START.ASM");
    const ProcessResult result = Compile(
        m_dir / "BLINK.C", { "/sm", "/c3", "/s", "/a" + (m_dir / "START.ASM").string(), "/o0x30" });
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 0) << OutputErr();
    for (const char *extension : { "elf", "hex", "map", "lss", "s" })
        EXPECT_TRUE(fs::exists(m_dir / (std::string("BLINK.") + extension))) << extension;
    EXPECT_FALSE(fs::exists(m_dir / "BLINK.eep")); // no EEPROM data
    const std::vector<std::string> lines = Lines(OutputErr());
    ASSERT_EQ(lines.size(), 1u) << OutputErr();
    EXPECT_EQ(lines[0].rfind("AT90S8515: built, 0 errors, 0 warnings; flash ", 0), 0u) << lines[0];
    const fs::path elf = m_dir / "BLINK.elf";
    EXPECT_GE(Symbol(elf, "__vector_7"), 0); // TIMER0_OVF_vect
    EXPECT_GE(Symbol(elf, "led_toggle"), 0); // from START.ASM
    // The UART statements: UBRR (I/O 0x09) gets 0x19, UCR (I/O 0x0a) 0x18.
    const std::string code = Tool({ "avr-objdump", "-d", elf.string() });
    EXPECT_NE(code.find("out\t0x09, r24"), std::string::npos);
    EXPECT_NE(code.find("out\t0x0a, r24"), std::string::npos);
    EXPECT_NE(ReadText(m_dir / "BLINK.s").find("; BLINK.C("), std::string::npos);
}

TEST_F(OstrelccTest, SmallProgramBuildsForEachChip)
{
    const fs::path cFile = Source("MAIN.C", kSmallProgram);
    const struct
    {
        const char *word, *name, *arch;
    } chips[] = { { "/c1", "AT90S2313", "avr:2" }, { "/c2", "AT90S4414", "avr:2" },
        { "/c3", "AT90S8515", "avr:2" }, { "/c4", "ATmega103", "avr:31" } };
    for (const auto &chip : chips) {
        SCOPED_TRACE(chip.name);
        const ProcessResult result = Compile(cFile, { "/sm", chip.word, "/o0x30" });
        ASSERT_EQ(result.exitCode, 0) << OutputErr();
        EXPECT_EQ(OutputErr().rfind(std::string(chip.name) + ": built, 0 errors", 0), 0u)
            << OutputErr();
        const std::string header = Tool({ "avr-readelf", "-h", (m_dir / "MAIN.elf").string() });
        EXPECT_NE(header.find(std::string(", ") + chip.arch + "\n"), std::string::npos) << header;
        EXPECT_TRUE(fs::exists(m_dir / "MAIN.hex"));
    }
}

TEST_F(OstrelccTest, ErrorNamesTheAbsolutePathAndLine)
{
    const fs::path cFile = Source("MAIN.C",
        "#include <avr/io.h>\n"
        "int main(void)\n"
        "{\n"
        "    PORTB = missing;\n"
        "    undeclared_function();\n"
        "    return 0;\n"
        "}\n");
    const ProcessResult result = Compile(cFile, { "/sm", "/c3", "/o0x30" });
    EXPECT_EQ(result.exitCode, 1);
    const std::string text = OutputErr();
    EXPECT_NE(text.find("Error " + cFile.string() + "(4): 'missing' undeclared"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Error " + cFile.string()
                  + "(5): implicit declaration of function 'undeclared_function'"),
        std::string::npos)
        << text;
    EXPECT_EQ(text.find("In function"), std::string::npos);
    EXPECT_NE(
        Lines(text).back().find("AT90S8515: build failed, 2 errors, 0 warnings"), std::string::npos)
        << text;
    for (const std::string &line : Lines(text))
        EXPECT_GE(line.size(), 20u) << line;
    EXPECT_FALSE(fs::exists(m_dir / "MAIN.elf"));
    EXPECT_FALSE(fs::exists(m_dir / "MAIN.hex"));
}

TEST_F(OstrelccTest, MisspelledInterruptHandlerIsAnError)
{
    const fs::path cFile = Source("MAIN.C",
        "#include <avr/io.h>\n"
        "#include <avr/interrupt.h>\n"
        "ISR(TIMER0_OVF_vector) { PORTB ^= 1; }\n"
        "int main(void) { for (;;) {} }\n");
    EXPECT_EQ(Compile(cFile, { "/sm", "/c3", "/o0x30" }).exitCode, 1);
    EXPECT_NE(OutputErr().find("Error " + cFile.string()
                  + "(3): 'TIMER0_OVF_vector' appears to "
                    "be a misspelled signal handler"),
        std::string::npos)
        << OutputErr();
}

TEST_F(OstrelccTest, ProgramTooBigForThe2313FailsWithARegionMessage)
{
    const fs::path cFile = Source("BIG.C",
        "#include <avr/pgmspace.h>\n"
        "const char table[3000] PROGMEM = {1, 2, 3};\n"
        "int main(void) { return pgm_read_byte(&table[PINB]); }\n"
        "#include <avr/io.h>\n");
    const ProcessResult result = Compile(cFile, { "/sm", "/c1", "/o0x30" });
    EXPECT_EQ(result.exitCode, 1);
    const std::string text = OutputErr();
    EXPECT_NE(text.find("Error: " + (m_dir / "BIG.elf").string()
                  + " section `.text' will not fit in region `text'"),
        std::string::npos)
        << text;
    EXPECT_EQ(text.find("ld returned 1 exit status"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(m_dir / "BIG.elf"));
    // The same program fits the AT90S8515.
    EXPECT_EQ(Compile(cFile, { "/sm", "/c3", "/o0x30" }).exitCode, 0) << OutputErr();
}

TEST_F(OstrelccTest, ExternalSramStartupDataRegionAndStack)
{
    const fs::path cFile = Source("XRAM.C",
        "#include <avr/io.h>\n"
        "#include <stdlib.h>\n"
        "volatile char buffer[300] = {1};\n"
        "int main(void)\n"
        "{\n"
        "    char *p = malloc(10);\n"
        "    PORTB = buffer[PINB] + (p != 0);\n"
        "    return 0;\n"
        "}\n");
    const ProcessResult result = Compile(
        cFile, { "/sm", "/c4", "/x", "/w", "/rs0x1100", "/re0xffff", "/st0xfff", "/o0x30" });
    ASSERT_EQ(result.exitCode, 0) << OutputErr();
    const fs::path elf = m_dir / "XRAM.elf";
    EXPECT_EQ(Symbol(elf, "__data_start"), 0x801100);
    EXPECT_EQ(Symbol(elf, "buffer"), 0x801100);
    EXPECT_EQ(Symbol(elf, "__heap_end"), 0x80ffff);
    EXPECT_EQ(Symbol(elf, "__stack"), 0xfff);
    // The first instructions after the vectors: SRE and SRW into MCUCR, then the stack.
    const std::string code = Tool({ "avr-objdump", "-d", elf.string() });
    const size_t init = code.find("<__ctors_end>:");
    ASSERT_NE(init, std::string::npos);
    const std::vector<std::string> lines = Lines(code.substr(init));
    ASSERT_GE(lines.size(), 9u);
    EXPECT_NE(lines[1].find("ldi\tr24, 0xC0"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("out\t0x35, r24"), std::string::npos) << lines[2];
    EXPECT_NE(code.find("ldi\tr28, 0xFF"), std::string::npos);
    EXPECT_NE(code.find("ldi\tr29, 0x0F"), std::string::npos);
    EXPECT_NE(OutputErr().find(" of 61184 bytes"), std::string::npos) << OutputErr();

    // /x alone: SRE only.
    ASSERT_EQ(Compile(cFile, { "/sm", "/c4", "/x", "/o0x30" }).exitCode, 0) << OutputErr();
    const std::string sreOnly = Tool({ "avr-objdump", "-d", elf.string() });
    EXPECT_NE(sreOnly.find("ldi\tr24, 0x80"), std::string::npos);
    EXPECT_EQ(Symbol(elf, "__data_start"), 0x800060);
}

TEST_F(OstrelccTest, StackBeyondSramIsRefused)
{
    const fs::path cFile = Source("MAIN.C", kSmallProgram);
    EXPECT_EQ(Compile(cFile, { "/sm", "/c4", "/st0x1000", "/o0x30" }).exitCode, 1);
    EXPECT_NE(OutputErr().find("Error: initial stack pointer 0x1000 lies beyond the SRAM of the "
                               "ATmega103"),
        std::string::npos)
        << OutputErr();
    EXPECT_FALSE(fs::exists(m_dir / "MAIN.elf"));
}

TEST_F(OstrelccTest, CodeStartPadsTheVectorSection)
{
    const fs::path cFile = Source("MAIN.C", kSmallProgram);
    ASSERT_EQ(Compile(cFile, { "/sm", "/c3", "/o0x40" }).exitCode, 0) << OutputErr();
    const fs::path elf = m_dir / "MAIN.elf";
    EXPECT_EQ(Symbol(elf, "__ctors_end"), 0x80); // word 0x40
    EXPECT_EQ(Symbol(elf, "__init"), 0x80);
    const std::string code = Tool({ "avr-objdump", "-d", elf.string() });
    EXPECT_NE(code.find("rjmp\t.+126    \t; 0x80 <__ctors_end>"), std::string::npos) << code;

    ASSERT_EQ(Compile(cFile, { "/sm", "/c3", "/o0xd" }).exitCode, 0) << OutputErr();
    EXPECT_EQ(Symbol(elf, "__ctors_end"), 0x1a); // right after the 13 vectors

    EXPECT_EQ(Compile(cFile, { "/sm", "/c3", "/o0x5" }).exitCode, 1);
    EXPECT_NE(OutputErr().find("Error: code start address 0x5 lies inside the interrupt vector "
                               "table of the AT90S8515"),
        std::string::npos)
        << OutputErr();
    EXPECT_EQ(Compile(cFile, { "/sm", "/c1", "/o0x400" }).exitCode, 1);
    EXPECT_NE(OutputErr().find("beyond the flash of the AT90S2313"), std::string::npos)
        << OutputErr();
}

TEST_F(OstrelccTest, EepromDataGivesEepFileAndStaleOutputsGo)
{
    const fs::path cFile = Source("EE.C",
        "#include <avr/io.h>\n"
        "#include <avr/eeprom.h>\n"
        "uint8_t EEMEM setting[4] = {1, 2, 3, 4};\n"
        "int main(void) { PORTB = eeprom_read_byte(&setting[1]); "
        "return 0; }\n");
    ASSERT_EQ(Compile(cFile, { "/sm", "/c3", "/s", "/o0x30" }).exitCode, 0) << OutputErr();
    EXPECT_TRUE(fs::exists(m_dir / "EE.eep"));
    EXPECT_NE(OutputErr().find("EEPROM 4 of 512 bytes"), std::string::npos) << OutputErr();

    WriteText(cFile, "int main(void) { return nothing; }\n");
    EXPECT_EQ(Compile(cFile, { "/sm", "/c3", "/o0x30" }).exitCode, 1);
    for (const char *stale : { "EE.elf", "EE.hex", "EE.eep", "EE.lss" })
        EXPECT_FALSE(fs::exists(m_dir / stale)) << stale;
    // Without /s this run writes no EE.s, so it leaves that file alone.
    EXPECT_TRUE(fs::exists(m_dir / "EE.s"));
}

TEST_F(OstrelccTest, UnknownWordsAndWordsInOneArgumentAreErrors)
{
    const fs::path cFile = Source("MAIN.C", kSmallProgram);
    for (const std::vector<std::string> &words : std::vector<std::vector<std::string>> {
             { "/sm", "/c3", "/qrobnicate", "/o0x30" }, { "/sm /c2 /s /o0x30" } }) {
        EXPECT_EQ(Compile(cFile, words).exitCode, 1);
        EXPECT_NE(OutputErr().find("Error: unknown option word '" + words[words.size() / 2]),
            std::string::npos)
            << OutputErr();
        EXPECT_FALSE(fs::exists(m_dir / "MAIN.s"));
    }
}

TEST_F(OstrelccTest, AssemblerAndLinkerErrorsNameTheirLines)
{
    const fs::path cFile = Source("MAIN.C",
        "extern void helper(void);\n"
        "int main(void) { helper(); return 0; }\n");
    const fs::path asmFile = Source("BAD.ASM",
        "#include <avr/io.h>\n"
        "        .global helper\n"
        "helper: ldi r3, 1\n"
        "        ret\n");
    EXPECT_EQ(Compile(cFile, { "/sm", "/c3", "/a" + asmFile.string(), "/o0x30" }).exitCode, 1);
    EXPECT_NE(OutputErr().find("Error " + asmFile.string() + "(3): register number above 15"),
        std::string::npos)
        << OutputErr();

    WriteText(asmFile, "        .global helper\nhelper: rcall nowhere\n        ret\n");
    EXPECT_EQ(Compile(cFile, { "/sm", "/c3", "/a" + asmFile.string(), "/o0x30" }).exitCode, 1);
    EXPECT_NE(OutputErr().find("Error " + asmFile.string()
                  + "(2): undefined reference to "
                    "`nowhere'"),
        std::string::npos)
        << OutputErr();
}

TEST_F(OstrelccTest, LibraryIsLinkedAfterTheObjects)
{
    const fs::path helper = Source("helper.c", "int twice(int x) { return 2 * x; }\n");
    ASSERT_EQ(RunProcess({ "avr-gcc", "-mmcu=at90s8515", "-Os", "-c", helper.string(), "-o",
                             (m_dir / "helper.o").string() })
                  .exitCode,
        0);
    ASSERT_EQ(
        RunProcess({ "avr-ar", "rcs", (m_dir / "LIBH.A").string(), (m_dir / "helper.o").string() })
            .exitCode,
        0);
    const fs::path cFile = Source("MAIN.C",
        "#include <avr/io.h>\nint twice(int x);\n"
        "int main(void) { PORTB = twice(PINB); return 0; }\n");
    ASSERT_EQ(
        Compile(cFile, { "/sm", "/c3", "/L" + (m_dir / "LIBH.A").string(), "/o0x30" }).exitCode, 0)
        << OutputErr();
    EXPECT_GE(Symbol(m_dir / "MAIN.elf", "twice"), 0);
}

TEST_F(OstrelccTest, MissingToolchainSaysWhatToInstall)
{
    const fs::path cFile = Source("MAIN.C", kSmallProgram);
    const std::string path = std::getenv("PATH");
    setenv("PATH", m_dir.c_str(), 1);
    const ProcessResult result = RunProcess({ OSTRELCC_EXE, cFile.string(), "/sm", "/c3" });
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(result.exitCode, 1);
    const std::vector<std::string> lines = Lines(OutputErr());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("Error: avr-gcc was not found"), std::string::npos);
    EXPECT_NE(lines[0].find("gcc-avr, avr-libc and binutils-avr"), std::string::npos);
}

// As the IDE starts it: the absolute program path, the C file and each option word as one
// argument, from another current directory, on a copy of the example in a folder whose name
// holds blanks and parentheses.
TEST_F(OstrelccTest, StartedAsTheIdeStartsIt)
{
    const fs::path project = m_dir / "My Project (copy 2)";
    const fs::path elsewhere = m_dir / "current dir";
    fs::create_directories(project);
    fs::create_directories(elsewhere);
    const fs::path example = fs::path(OSTREL_SOURCE_DIR) / "examples" / "blink";
    fs::copy_file(example / "BLINK.C", project / "BLINK.C");
    fs::copy_file(example / "START.ASM", project / "START.ASM");
    // One warning so that a navigable line is written for the C file.
    WriteText(project / "BLINK.C", ReadText(project / "BLINK.C") + "static int unused_counter;\n");

    const fs::path before = fs::current_path();
    fs::current_path(elsewhere);
    const ProcessResult result =
        RunProcess({ fs::absolute(OSTRELCC_EXE).string(), (project / "BLINK.C").string(), "/sm",
            "/c3", "/s", "/a" + (project / "START.ASM").string(), "/o0x30" });
    fs::current_path(before);

    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(fs::exists(project / "BLINK.hex"));
    EXPECT_TRUE(fs::exists(project / "BLINK.elf"));
    EXPECT_TRUE(fs::is_empty(elsewhere)); // nothing written in the current directory
    const std::vector<std::string> lines = Lines(ReadText(project / "OUTPUT.ERR"));
    ASSERT_EQ(lines.size(), 2u) << ReadText(project / "OUTPUT.ERR");
    // The folder's name holds parentheses: the file is named whole all the same.
    EXPECT_EQ(lines[0].rfind("Warning " + (project / "BLINK.C").string() + "(", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("'unused_counter' defined but not used"), std::string::npos);
    EXPECT_EQ(lines[1].rfind("AT90S8515: built, 0 errors, 1 warning; flash ", 0), 0u);
}

namespace {

// Runs OSTREL.EXE with the given arguments in dir, with extra environment settings.
ProcessResult CompileIn(const fs::path &dir, const std::vector<std::string> &arguments,
    const std::vector<std::pair<const char *, const char *>> &environment = {})
{
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    for (const auto &[name, value] : environment)
        setenv(name, value, 1);
    std::vector<std::string> argv = { fs::absolute(OSTRELCC_EXE).string() };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ProcessResult result = RunProcess(argv);
    for (const auto &[name, value] : environment)
        unsetenv(name);
    fs::current_path(before);
    return result;
}

const char kStaleSuccess[] = "AT90S8515: built, 0 errors, 0 warnings\n";

} // namespace

// Inputs named like outputs, and a missing C file: each run fails with a message and every
// file that was there before keeps its bytes.
TEST_F(OstrelccTest, NoInputIsRemovedOrWrittenOver)
{
    const struct
    {
        const char *what;
        std::vector<const char *> files; // created with their own name as content
        std::vector<std::string> arguments;
        const char *message;
    } cases[] = {
        { "missing C file", { "NOPE.hex", "NOPE.s", "NOPE.elf" }, { "NOPE.C", "/sm", "/s" },
            "NOPE.C: C file not found" },
        { "assembler file named like the /s output", { "BLINK.C", "BLINK.s" },
            { "BLINK.C", "/sm", "/c3", "/s", "/aBLINK.s" },
            "BLINK.s would be written over the assembler file" },
        { "C file named like the map", { "SRC.map" }, { "SRC.map", "/sm", "/c3" },
            "SRC.map would be written over the C file" },
        { "C file named like the /s output", { "SRC.s" }, { "SRC.s", "/sm", "/s" },
            "SRC.s would be written over the C file" },
        { "C file named like the ELF", { "SRC.elf" }, { "SRC.elf", "/sm" },
            "SRC.elf would be written over the C file" },
        { "library named like the hex file", { "MAIN.C", "MAIN.hex" },
            { "MAIN.C", "/sm", "/LMAIN.hex" }, "MAIN.hex would be written over the library file" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        for (const fs::path &entry : fs::directory_iterator(m_dir))
            fs::remove_all(entry);
        for (const char *name : c.files)
            WriteText(m_dir / name, name);
        WriteText(m_dir / "OUTPUT.ERR", kStaleSuccess);
        EXPECT_EQ(CompileIn(m_dir, c.arguments).exitCode, 1);
        EXPECT_NE(OutputErr().find(c.message), std::string::npos) << OutputErr();
        EXPECT_EQ(OutputErr().find("built, 0 errors"), std::string::npos);
        for (const char *name : c.files)
            EXPECT_EQ(ReadText(m_dir / name), name) << name;
    }
    // Without /s the assembler file BLINK.s is no output at all: it is assembled, not removed.
    WriteText(m_dir / "BLINK.C", "extern void helper(void);\nint main(void) { helper(); }\n");
    WriteText(m_dir / "BLINK.s", "        .global helper\nhelper: ret\n");
    EXPECT_EQ(CompileIn(m_dir, { "BLINK.C", "/sm", "/c3", "/aBLINK.s" }).exitCode, 0)
        << OutputErr();
    EXPECT_TRUE(fs::exists(m_dir / "BLINK.s"));
}

// Paths that cannot be examined, devices and option words in the C file's place: an Error
// line and exit status 1, in OUTPUT.ERR where it belongs, and no earlier result left there.
TEST_F(OstrelccTest, UnusableCFileArgumentsAreReported)
{
    const fs::path sub = m_dir / "sub";
    fs::create_directories(sub);
    fs::create_symlink("loop", sub / "loop");
    std::string tooLong = sub.string(); // longer than any path the system takes
    while (tooLong.size() < 5000)
        tooLong += "/" + std::string(200, 'x');
    tooLong += "/MAIN.C";
    const struct
    {
        const char *what;
        std::vector<std::string> arguments;
        fs::path messageFolder;
        const char *message;
    } cases[] = {
        { "symbolic link loop", { (sub / "loop").string(), "/sm" }, sub,
            "Error: cannot examine the C file " },
        { "name too long", { tooLong, "/sm" }, m_dir, "Error: cannot examine the C file " },
        { "a device", { "/dev/null", "/sm" }, m_dir, "Error: /dev/null is not a regular file" },
        { "a folder", { sub.string(), "/sm" }, m_dir, "is not a regular file" },
        { "an option word", { "/sm", "/c3" }, m_dir,
            "Error: no C file given: the first argument '/sm' is an option word" },
        { "nothing", {}, m_dir, "Error: no C file given" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        for (const fs::path &dir : { m_dir, sub })
            WriteText(dir / "OUTPUT.ERR", kStaleSuccess);
        const ProcessResult result = CompileIn(m_dir, c.arguments);
        EXPECT_EQ(result.exitCode, 1) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        const std::string text = ReadText(c.messageFolder / "OUTPUT.ERR");
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
        EXPECT_EQ(text.find("built, 0 errors"), std::string::npos) << text;
    }
    EXPECT_FALSE(fs::exists("/dev/OUTPUT.ERR"));
    EXPECT_FALSE(fs::exists("/OUTPUT.ERR"));
}

// OUTPUT.ERR is replaced, never written through: a symbolic link there is replaced by the
// file, and a folder there makes the run fail.
TEST_F(OstrelccTest, MessageFileIsReplacedAndItsFailureIsAFailure)
{
    const fs::path cFile = Source("MAIN.C", kSmallProgram);
    WriteText(m_dir / "victim.txt", "keep me");
    fs::create_symlink(m_dir / "victim.txt", m_dir / "OUTPUT.ERR");
    EXPECT_EQ(Compile(cFile, { "/sm", "/c3" }).exitCode, 0);
    EXPECT_EQ(ReadText(m_dir / "victim.txt"), "keep me");
    EXPECT_FALSE(fs::is_symlink(m_dir / "OUTPUT.ERR"));
    EXPECT_NE(OutputErr().find("built, 0 errors"), std::string::npos);

    fs::remove(m_dir / "OUTPUT.ERR");
    fs::create_directory(m_dir / "OUTPUT.ERR");
    EXPECT_EQ(Compile(cFile, { "/sm", "/c3" }).exitCode, 1);
    EXPECT_TRUE(fs::is_directory(m_dir / "OUTPUT.ERR"));
}

// A tool that would never end, or would eat all memory, is ended by its limit.
TEST_F(OstrelccTest, ToolsAreEndedByTheirLimits)
{
    ASSERT_EQ(mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    const struct
    {
        const char *what;
        const char *include;
        const char *variable, *value;
        const char *message;
    } cases[] = {
        { "FIFO", "pipe", "OSTRELCC_TIME_LIMIT", "1",
            "Error: avr-gcc did not finish within the time limit of 1 s" },
        { "endless device", "/dev/zero", "OSTRELCC_MEMORY_LIMIT", "256",
            "Error: avr-gcc reached the memory limit of 256 MiB" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Source("MAIN.C", std::string("#include \"") + c.include + "\"\nint main(void) { }\n");
        // The other limit is set too, so that a fault here still ends the test; the time limit
        // is generous beside the memory limit, which a busy machine might otherwise outrun.
        const ProcessResult result = CompileIn(m_dir, { "MAIN.C", "/sm", "/c3" },
            { { "OSTRELCC_TIME_LIMIT", "30" }, { "OSTRELCC_MEMORY_LIMIT", "256" },
                { c.variable, c.value } });
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(OutputErr().find(c.message), std::string::npos) << OutputErr();
    }
}

// Commas and option-like names in the C file's folder and name reach the linker as a path:
// the map lands beside the C file, no file named like the part before a comma is written and
// no linker plugin is loaded (one that does not exist would make the link fail).
TEST_F(OstrelccTest, PathsWithCommasAreNoLinkerOptions)
{
    const struct
    {
        const char *folder, *cFile, *sentinel;
    } cases[] = {
        { "notes, draft", "MAIN.C", "notes" },
        { "a,--plugin=evil.so,b", "-Wl,--version.c", "a" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.folder);
        const fs::path folder = m_dir / c.folder;
        fs::create_directories(folder);
        WriteText(m_dir / c.sentinel, "sentinel");
        WriteText(folder / c.cFile, kSmallProgram);
        const ProcessResult result = CompileIn(m_dir, { (folder / c.cFile).string(), "/c3" }, {});
        EXPECT_EQ(result.exitCode, 0) << ReadText(folder / "OUTPUT.ERR");
        const std::string base = fs::path(c.cFile).stem().string();
        EXPECT_NE(
            ReadText(folder / (base + ".map")).find("Memory Configuration"), std::string::npos);
        EXPECT_EQ(ReadText(m_dir / c.sentinel), "sentinel");
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(m_dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected { c.folder, c.sentinel };
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
        fs::remove_all(folder);
        fs::remove(m_dir / c.sentinel);
    }
}

// The /s listing reads the sources the debug information names; a #line directive can name a
// FIFO or a device, which are skipped with a warning instead of blocking or filling memory.
TEST_F(OstrelccTest, ListingReadsOnlyRegularSourceFiles)
{
    ASSERT_EQ(mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    const fs::path cFile = Source("MAIN.C",
        "#line 1 \"" + (m_dir / "pipe").string()
            + "\"\n__attribute__((noinline)) int f(void) { return 1; }\n#line 1 \"/dev/zero\"\n"
              "int main(void) { return f(); }\n");
    // A limit on OSTREL.EXE itself, so that a blocking read ends the test instead of hanging.
    const ProcessResult result =
        RunProcess({ OSTRELCC_EXE, cFile.string(), "/c3", "/s" }, {}, ToolLimits { 30, 0 });
    EXPECT_EQ(result.exitCode, 0) << OutputErr();
    for (const std::string &name : { (m_dir / "pipe").string(), std::string("/dev/zero") })
        for (const char *listing :
            { "its lines are left out of the .s listing", "MAIN.lss is written" })
            EXPECT_NE(OutputErr().find("Warning: " + name + " is not a regular file; " + listing),
                std::string::npos)
                << OutputErr();
    EXPECT_TRUE(fs::exists(m_dir / "MAIN.s"));
}

// The IDE's Cancel ends the compiler program; the tool it was running (here the preprocessor,
// blocked reading a FIFO) must end with it, although it runs in a process group of its own.
TEST_F(OstrelccTest, EndingTheProgramEndsItsTool)
{
    const fs::path fifo = m_dir / "in.h";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const fs::path cFile = Source("MAIN.C", "#include \"in.h\"\nint main(void) { }\n");
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        execl(OSTRELCC_EXE, OSTRELCC_EXE, cFile.c_str(), "/c3", static_cast<char *>(nullptr));
        _exit(127);
    }
    // Once the preprocessor has the FIFO open for reading, a writer can open it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int writer = -1;
    while (writer < 0 && std::chrono::steady_clock::now() < deadline) {
        writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer < 0)
            poll(nullptr, 0, 10);
    }
    ASSERT_GE(writer, 0) << "the preprocessor never opened the FIFO";
    kill(program, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(program, &status, 0), program);
    EXPECT_TRUE(WIFSIGNALED(status));

    // With no reader left, a write fails with EPIPE.
    const auto oldPipe = signal(SIGPIPE, SIG_IGN);
    bool readerGone = false;
    while (!readerGone && std::chrono::steady_clock::now() < deadline) {
        readerGone = write(writer, "\n", 1) < 0 && errno == EPIPE;
        if (!readerGone)
            poll(nullptr, 0, 10);
    }
    signal(SIGPIPE, oldPipe);
    close(writer);
    EXPECT_TRUE(readerGone) << "the preprocessor outlived the compiler program";
}

namespace {

// The fixture project copied into dir, and its option words with a chip.
std::vector<std::string> FixtureProject(const fs::path &dir, const std::string &chip)
{
    fs::copy(fs::path(OSTREL_SOURCE_DIR) / "tests" / "ostrelcc" / "fixtures" / "multi", dir,
        fs::copy_options::recursive | fs::copy_options::skip_existing);
    std::vector<std::string> words = { chip, "/s" };
    for (const char *source :
        { "app/ui.c", "app/timer.c", "drivers/led.c", "drivers/button.c", "drivers/clock_check.S" })
        words.push_back("/f" + (dir / source).string());
    for (const std::string &word : { "/b" + (dir / "lib" / "mathx").string(),
             "/I" + (dir / "include").string(), std::string("/DBOARD_LEDS=4"),
             std::string("/F8000000"), std::string("/X-funsigned-char") })
        words.push_back(word);
    return words;
}

// Every object of the build folder with its write time and file number.
std::map<std::string, std::pair<fs::file_time_type, ino_t>> Objects(const fs::path &folder)
{
    std::map<std::string, std::pair<fs::file_time_type, ino_t>> objects;
    for (const auto &entry : fs::directory_iterator(folder)) {
        struct stat info
        {
        };
        if (entry.path().extension() == ".o" && stat(entry.path().c_str(), &info) == 0)
            objects[entry.path().filename().string()] = { entry.last_write_time(), info.st_ino };
    }
    return objects;
}

int CountWord(const std::vector<std::string> &lines, const std::string &word)
{
    int count = 0;
    for (const std::string &line : lines)
        count += line.rfind(word + " ", 0) == 0 || line.rfind(word + ":", 0) == 0;
    return count;
}

} // namespace

TEST_F(OstrelccTest, ProjectOfSeveralSourcesBuildsForEveryChip)
{
    for (const char *chip : { "/c1", "/c2", "/c3", "/c4" }) {
        const std::vector<std::string> words = FixtureProject(m_dir, chip);
        const ProcessResult result = Compile(m_dir / "app" / "main.c", words);
        ASSERT_EQ(result.exitCode, 0) << chip << "\n" << ReadText(m_dir / "app" / "OUTPUT.ERR");
        const fs::path elf = m_dir / "app" / "main.elf";
        for (const char *symbol : { "main", "ui_step", "timer_ticks", "led_set", "button_read",
                 "clock_checked", "fold_bits", "lib_nop" })
            EXPECT_GT(Symbol(elf, symbol), 0) << chip << " " << symbol;
        EXPECT_TRUE(fs::exists(m_dir / "app" / "main.hex"));
        EXPECT_NE(ReadText(m_dir / "app" / "main.s").find("fixture_clock"), std::string::npos);

        // The clock the C file saw, read from the flash image.
        const long address = Symbol(elf, "fixture_clock");
        ASSERT_GT(address, 0);
        Tool({ "avr-objcopy", "-O", "binary", "-j", ".text", elf.string(),
            (m_dir / "text.bin").string() });
        const std::string text = ReadText(m_dir / "text.bin");
        ASSERT_GE(text.size(), static_cast<size_t>(address) + 4);
        uint32_t clock = 0;
        for (int i = 3; i >= 0; --i)
            clock = clock << 8 | static_cast<uint8_t>(text[static_cast<size_t>(address + i)]);
        EXPECT_EQ(clock, 8000000u) << chip;
    }
}

TEST_F(OstrelccTest, ProjectRecompilesOnlyWhatIsOutOfDate)
{
    std::vector<std::string> words = FixtureProject(m_dir, "/c3");
    const fs::path main = m_dir / "app" / "main.c";
    const fs::path folder = m_dir / "app" / ".ostrel-build" / "main";
    ASSERT_EQ(Compile(main, words).exitCode, 0) << ReadText(m_dir / "app" / "OUTPUT.ERR");
    const auto first = Objects(folder);
    ASSERT_EQ(first.size(), 8u); // six sources, two of the library

    ASSERT_EQ(Compile(main, words).exitCode, 0);
    EXPECT_EQ(Objects(folder), first);
    EXPECT_TRUE(fs::exists(m_dir / "app" / "main.hex"));

    // A source, then a header, made newer than the objects: only what depends on it.
    const auto newer = first.begin()->second.first + std::chrono::seconds(2);
    auto changed = [&](const std::map<std::string, std::pair<fs::file_time_type, ino_t>> &before) {
        std::set<std::string> names;
        for (const auto &[name, stamp] : Objects(folder))
            if (before.at(name) != stamp)
                names.insert(name.substr(0, name.find('-')));
        return names;
    };
    fs::last_write_time(m_dir / "drivers" / "led.c", newer);
    ASSERT_EQ(Compile(main, words).exitCode, 0);
    EXPECT_EQ(changed(first), std::set<std::string> { "led" });

    const auto second = Objects(folder);
    fs::last_write_time(m_dir / "include" / "board.h", newer + std::chrono::seconds(2));
    ASSERT_EQ(Compile(main, words).exitCode, 0);
    EXPECT_EQ(changed(second), (std::set<std::string> { "button", "led", "main" }));

    // Other flags: every object again.
    const auto third = Objects(folder);
    words.push_back("/DEXTRA");
    ASSERT_EQ(Compile(main, words).exitCode, 0);
    EXPECT_EQ(changed(third).size(), 8u);
}

TEST_F(OstrelccTest, ProjectReportsEveryBrokenSourceAndRefusedWord)
{
    const fs::path cFile = Source("MAIN.C", "int main(void) { return 0; }\n");
    const fs::path one = Source("one.c", "int one(void) { return missing1; }\n");
    const fs::path two = Source("two.c", "int two(void) { return missing2; }\n");
    // A failed source is compiled again on the next run, not taken for up to date.
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Compile(cFile, { "/f" + one.string(), "/f" + two.string() }).exitCode, 1);
        const std::string messages = OutputErr();
        for (const fs::path &source : { one, two })
            EXPECT_NE(messages.find("Error " + source.string() + "(1): "), std::string::npos)
                << messages;
        EXPECT_FALSE(fs::exists(m_dir / "MAIN.hex"));
    }

    // Refused words stop the run before any tool.
    fs::remove_all(m_dir / ".ostrel-build");
    EXPECT_EQ(Compile(cFile,
                  { "/X-fplugin=/tmp/x.so", "/f" + (m_dir / "gone.c").string(),
                      "/I" + (m_dir / "none").string() })
                  .exitCode,
        1);
    for (const char *part :
        { "-fplugin", "gone.c: source file not found", "none: include folder not found" })
        EXPECT_NE(OutputErr().find(part), std::string::npos) << part << "\n" << OutputErr();
    EXPECT_FALSE(fs::exists(m_dir / ".ostrel-build"));
}

// Real messages of names with parentheses, headers, libraries and the linker: each names its
// file whole, keeps the #include lines that lead to it, and the summary counts what is listed.
TEST_F(OstrelccTest, MessagesNameTheirFilesIncludesAndLibraries)
{
    const fs::path shared = m_dir / "shared (lib)";
    fs::create_directories(shared);
    // Included twice: the same message twice, each after its own #include line.
    WriteText(shared / "h.h", "void g(void) { undeclared_y = 1; }\n");
    const fs::path code = Source("Code (1).c",
        "#include \"shared (lib)/h.h\"\n#include \"shared (lib)/h.h\"\n#include <util/delay.h>\n"
        "int main(void) { _delay_ms(1); return 0; }\n");
    Compile(code, { "/c3" });
    std::vector<std::string> lines = Lines(OutputErr());
    const std::string undeclared = "Error " + (shared / "h.h").string()
        + "(1): 'undeclared_y' undeclared (first use in this function)";
    std::vector<std::string> afterIt;
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == undeclared)
            afterIt.push_back(lines[i + 1]);
    const std::vector<std::string> includes = { "Note " + code.string() + "(1): includes h.h",
        "Note " + code.string() + "(2): includes h.h" };
    EXPECT_EQ(afterIt, includes) << OutputErr();
    // The clock warning of delay.h leads to the C file's #include line.
    const auto warning = std::find_if(lines.begin(), lines.end(), [](const std::string &line) {
        return line.find("F_CPU") != std::string::npos;
    });
    ASSERT_NE(warning, lines.end());
    EXPECT_EQ(warning[1], "Note " + code.string() + "(3): includes delay.h");
    const std::string summary = lines.back();
    lines.pop_back();
    EXPECT_NE(summary.find(": build failed, " + std::to_string(CountWord(lines, "Error"))
                  + " errors, " + std::to_string(CountWord(lines, "Warning")) + " warning, "
                  + std::to_string(CountWord(lines, "Note")) + " notes;"),
        std::string::npos)
        << summary;

    // A text file as library: its own name and line, without the linker's path.
    const fs::path main = Source("MAIN.C", "int main(void) { return 0; }\n");
    WriteText(m_dir / "TEXT.LIB", "hello\nworld x\n");
    Compile(main, { "/c3", "/L" + (m_dir / "TEXT.LIB").string() });
    EXPECT_NE(OutputErr().find("\nError " + (m_dir / "TEXT.LIB").string() + "(2): syntax error"),
        std::string::npos)
        << OutputErr();
    EXPECT_EQ(OutputErr().find("bin/ld"), std::string::npos);

    // An undefined reference from inside a library names the library, member and function.
    WriteText(
        m_dir / "use.c", "extern unsigned char SPHX;\nunsigned char f(void) { return SPHX; }\n");
    Tool({ "avr-gcc", "-mmcu=at90s8515", "-Os", "-c", (m_dir / "use.c").string(), "-o",
        (m_dir / "use.o").string() });
    Tool({ "avr-ar", "rcs", (m_dir / "libuse.a").string(), (m_dir / "use.o").string() });
    WriteText(main, "unsigned char f(void);\nint main(void) { return f(); }\n");
    Compile(main, { "/c3", "/L" + (m_dir / "libuse.a").string() });
    EXPECT_NE(OutputErr().find("Error: undefined reference to `SPHX' (in function `f' of use.o in "
                               "library "
                  + (m_dir / "libuse.a").string() + ")"),
        std::string::npos)
        << OutputErr();
}

// 2012 bytes fit the AT90S2313's 2048; the padding up to the code start 0x30 does not.
TEST_F(OstrelccTest, OverflowNamesThePaddingOfTheCodeStart)
{
    const fs::path big = Source("BIG.C",
        "#include <avr/pgmspace.h>\n"
        "const unsigned char big[1960] PROGMEM = { 1 };\n"
        "int main(void) { return pgm_read_byte(&big[1]); }\n");
    Compile(big, { "/c1", "/o0x30" });
    EXPECT_NE(OutputErr().find(": the program needs 2086 bytes, the AT90S2313 has 2048 bytes of "
                               "flash; the code start /o0x30 adds 74 bytes of padding"),
        std::string::npos)
        << OutputErr();
    Compile(big, { "/c1" });
    EXPECT_NE(OutputErr().find("AT90S2313: built"), std::string::npos) << OutputErr();
}

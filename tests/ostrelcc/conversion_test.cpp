// Diagnostics captured from this toolchain (avr-gcc 5.4.0, GNU ld/as 2.26, LC_ALL=C) and the
// OUTPUT.ERR lines they become.

#include "chips.h"
#include "diagnostics.h"

#include <gtest/gtest.h>

using namespace ostrel::cc;

namespace {

const PathContext kContext { "/work/proj", "/home/user" };

struct Case
{
    const char *what;
    const char *input;
    const char *expected; // "" when the line is folded away
};

const Case kCases[] = {
    { "error", "/work/proj/MAIN.C:9:10: error: 'x' undeclared (first use in this function)",
        "Error /work/proj/MAIN.C(9): 'x' undeclared (first use in this function)" },
    { "error in UTF-8 quotes",
        "/work/proj/MAIN.C:9:10: error: \xE2\x80\x98x\xE2\x80\x99 undeclared",
        "Error /work/proj/MAIN.C(9): 'x' undeclared" },
    { "warning", "/work/proj/MAIN.C:7:7: warning: unused variable 'unused' [-Wunused-variable]",
        "Warning /work/proj/MAIN.C(7): unused variable 'unused' [-Wunused-variable]" },
    { "#warning", "/work/proj/w.c:2:2: warning: #warning \"check this\" [-Wcpp]",
        "Warning /work/proj/w.c(2): #warning \"check this\" [-Wcpp]" },
    { "note",
        "/work/proj/MAIN.C:9:10: note: each undeclared identifier is reported only once for each "
        "function it appears in",
        "Warning /work/proj/MAIN.C(9): note: each undeclared identifier is reported only once for "
        "each function it appears in" },
    { "implicit declaration",
        "/work/proj/MAIN.C:8:3: error: implicit declaration of function 'bar' "
        "[-Werror=implicit-function-declaration]",
        "Error /work/proj/MAIN.C(8): implicit declaration of function 'bar' "
        "[-Werror=implicit-function-declaration]" },
    { "implicit declaration as a plain warning is still an error",
        "/work/proj/MAIN.C:8:3: warning: implicit declaration of function 'bar' "
        "[-Wimplicit-function-declaration]",
        "Error /work/proj/MAIN.C(8): implicit declaration of function 'bar' "
        "[-Wimplicit-function-declaration]" },
    { "implicit int",
        "/work/proj/MAIN.C:4:1: error: return type defaults to 'int' [-Werror=implicit-int]",
        "Error /work/proj/MAIN.C(4): return type defaults to 'int' [-Werror=implicit-int]" },
    { "misspelled ISR as warning becomes an error",
        "/work/proj/MAIN.C:5:5: warning: 'TIMER0_OVF_vector' appears to be a misspelled signal "
        "handler, missing __vector prefix [-Wmisspelled-isr]",
        "Error /work/proj/MAIN.C(5): 'TIMER0_OVF_vector' appears to be a misspelled signal "
        "handler, "
        "missing __vector prefix [-Wmisspelled-isr]" },
    { "fatal error", "/work/proj/f.c:1:21: fatal error: missing.h: No such file or directory",
        "Error /work/proj/f.c(1): missing.h: No such file or directory" },
    { "header through include chain",
        "/usr/lib/avr/include/avr/io.h:99:2: warning: #warning \"device type not defined\" [-Wcpp]",
        "Warning /usr/lib/avr/include/avr/io.h(99): #warning \"device type not defined\" [-Wcpp]" },
    { "include chain", "In file included from /work/proj/MAIN.C:3:0:", "" },
    { "include chain continued", "                 from /work/proj/MAIN.C:2:", "" },
    { "in function", "/work/proj/MAIN.C: In function 'main':", "" },
    { "in function, UTF-8", "/work/proj/MAIN.C: In function \xE2\x80\x98main\xE2\x80\x99:", "" },
    { "at top level", "/work/proj/MAIN.C: At top level:", "" },
    { "caret line", "   bar();", "" },
    { "caret", "   ^", "" },
    { "compilation terminated", "compilation terminated.", "" },
    { "werror summary", "cc1: some warnings being treated as errors", "" },
    { "assembler messages", "/work/proj/START.ASM: Assembler messages:", "" },
    { "assembler error", "/work/proj/START.ASM:4: Error: unknown opcode `bogus'",
        "Error /work/proj/START.ASM(4): unknown opcode `bogus'" },
    { "assembler register error", "/tmp/t/G.ASM:3: Error: register number above 15 required",
        "Error /tmp/t/G.ASM(3): register number above 15 required" },
    { "assembler warning", "/work/proj/START.ASM:3: Warning: constant out of 8-bit range: 300",
        "Warning /work/proj/START.ASM(3): constant out of 8-bit range: 300" },
    { "linker in function", "/tmp/ccGK8ayI.o: In function `main':", "" },
    { "undefined reference with line", "/work/proj/u.c:2: undefined reference to `nothere'",
        "Error /work/proj/u.c(2): undefined reference to `nothere'" },
    { "undefined reference from assembler", "/work/proj/H.ASM:4: undefined reference to `nowhere'",
        "Error /work/proj/H.ASM(4): undefined reference to `nowhere'" },
    { "undefined reference without line",
        "/tmp/ostrelcc-x/START.o:(.text+0x2): undefined reference to `nowhere'",
        "Error: undefined reference to `nowhere'" },
    { "multiple definition", "/tmp/ccV2XfED.o:(.data+0x0): multiple definition of `a'",
        "Error: multiple definition of `a'" },
    { "first defined here", "/tmp/ccj5sGPD.o:(.data+0x0): first defined here",
        "Warning: note: first defined here" },
    { "place inside the C file's object",
        "/tmp/ostrelcc-Ab12Cd/BLINK.o:/work/proj/BLINK.C:22: first defined here",
        "Warning /work/proj/BLINK.C(22): note: first defined here" },
    { "place inside a library member",
        "/work/proj/LIB.A(UART.o):/work/proj/uart.c:9: multiple definition of `putc'",
        "Error /work/proj/uart.c(9): multiple definition of `putc'" },
    { "relocation with line",
        "/work/proj/MAIN.C:12:(.text+0x6): relocation truncated to fit: R_AVR_13_PCREL against "
        "symbol `far'",
        "Error /work/proj/MAIN.C(12): relocation truncated to fit: R_AVR_13_PCREL against symbol "
        "`far'" },
    { "ld returned", "collect2: error: ld returned 1 exit status",
        "Error: ld returned 1 exit status" },
    { "region overflow",
        "/usr/lib/gcc/avr/5.4.0/../../../avr/bin/ld: region `text' overflowed by 1056 bytes",
        "Error: region `text' overflowed by 1056 bytes" },
    { "will not fit",
        "/usr/lib/gcc/avr/5.4.0/../../../avr/bin/ld: /work/proj/b.elf section `.data' will not fit "
        "in region `data'",
        "Error: /work/proj/b.elf section `.data' will not fit in region `data'" },
    { "not within region",
        "/usr/lib/gcc/avr/5.4.0/../../../avr/bin/ld: address 0x800ce0 of /work/proj/b.elf section "
        "`.bss' is not within region `data'",
        "Error: address 0x800ce0 of /work/proj/b.elf section `.bss' is not within region `data'" },
    { "driver error", "avr-gcc: error: /tmp/none.c: No such file or directory",
        "Error: /tmp/none.c: No such file or directory" },
    { "driver fatal error", "avr-gcc: fatal error: no input files", "Error: no input files" },
    { "driver warning", "avr-gcc: warning: '-x c' after last input file has no effect",
        "Warning: '-x c' after last input file has no effect" },
    { "command line", "<command-line>:0:0: warning: \"F_CPU\" redefined",
        "Warning: \"F_CPU\" redefined" },
    { "relative path made absolute", "sub/x.h:3:1: error: expected ';'",
        "Error /home/user/sub/x.h(3): expected ';'" },
    { "dotted path normalised",
        "/usr/lib/gcc/avr/5.4.0/../../../avr/include/avr/io.h:5:1: error: oops",
        "Error /usr/lib/avr/include/avr/io.h(5): oops" },
    { "path with parentheses becomes relative",
        "/work/proj/d (1)/inc.h:1:34: error: 'undeclared_thing' undeclared",
        "Error d (1)/inc.h(1): 'undeclared_thing' undeclared" },
    { "C file in a folder with parentheses", "/work/proj/MAIN (copy).C:3:1: error: expected ';'",
        "Error MAIN (copy).C(3): expected ';'" },
    { "short message padded to 20 characters", "ld: oops", "Error: oops         " },
};

} // namespace

TEST(ConversionTest, RealDiagnosticsBecomeOutputLines)
{
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.what);
        const auto diagnostic = ParseDiagnosticLine(c.input);
        if (std::string(c.expected).empty()) {
            EXPECT_FALSE(diagnostic.has_value()) << c.input;
            continue;
        }
        ASSERT_TRUE(diagnostic.has_value()) << c.input;
        EXPECT_EQ(FormatDiagnostic(*diagnostic, kContext), c.expected);
    }
}

TEST(ConversionTest, FolderWithParenthesesGivesPathsRelativeToTheCFile)
{
    const PathContext context { "/home/u/My Project (copy 2)", "/tmp" };
    const auto warning = ParseDiagnosticLine(
        "/home/u/My Project (copy 2)/BLINK.C:5:3: warning: unused variable 'x'");
    ASSERT_TRUE(warning);
    EXPECT_EQ(FormatDiagnostic(*warning, context), "Warning BLINK.C(5): unused variable 'x'");
    const auto error =
        ParseDiagnosticLine("/home/u/My Project (copy 2)/inc/x.h:1:1: error: expected ';'");
    ASSERT_TRUE(error);
    EXPECT_EQ(FormatDiagnostic(*error, context), "Error inc/x.h(1): expected ';'");
    // Outside the C file's folder the path climbs out of it.
    const auto other = ParseDiagnosticLine("/home/u/lib (old)/y.h:2:1: error: z");
    ASSERT_TRUE(other);
    EXPECT_EQ(FormatDiagnostic(*other, context), "Error ../lib (old)/y.h(2): z");
}

TEST(ConversionTest, WindowsPathsKeepTheirDriveColon)
{
    const auto diagnostic = ParseDiagnosticLine("C:\\WORK\\MAIN.C:12:5: error: expected ';'");
    ASSERT_TRUE(diagnostic);
    EXPECT_EQ(diagnostic->file, "C:\\WORK\\MAIN.C");
    EXPECT_EQ(diagnostic->line, 12);
    EXPECT_EQ(diagnostic->severity, Severity::Error);
    EXPECT_EQ(diagnostic->text, "expected ';'");
}

TEST(ConversionTest, EveryLineIsNavigableByTheOutputWindow)
{
    // The output window: at least 20 characters, "Error " or "Warning ", the file name after
    // the first run of blanks up to the first "(", the line number up to the first ")".
    for (const Case &c : kCases) {
        const auto diagnostic = ParseDiagnosticLine(c.input);
        if (!diagnostic || diagnostic->file.empty())
            continue;
        const std::string line = FormatDiagnostic(*diagnostic, kContext);
        SCOPED_TRACE(line);
        EXPECT_GE(line.size(), 20u);
        EXPECT_TRUE(
            line.find("Error ") != std::string::npos || line.find("Warning ") != std::string::npos);
        size_t start = line.find(' ');
        while (line[start] == ' ')
            ++start;
        const size_t open = line.find('('), close = line.find(')');
        ASSERT_LT(open, close);
        const std::string shown = DisplayPath(diagnostic->file, kContext);
        if (shown.find_first_of("()") != std::string::npos)
            continue; // a name that itself holds parentheses cannot be taken apart
        EXPECT_EQ(line.substr(start, open - start), shown);
        EXPECT_EQ(std::atoi(line.substr(open + 1, close - open - 1).c_str()), diagnostic->line);
    }
}

TEST(ConversionTest, MessageListFoldsDuplicatesChainsAndTheLinkerSummary)
{
    MessageList list(kContext);
    list.AddToolOutput("In file included from /work/proj/MAIN.C:3:0:\n"
                       "/work/proj/inc.h: In function 'f':\n"
                       "/work/proj/inc.h:1:34: error: 'q' undeclared (first use in this function)\n"
                       "In file included from /work/proj/MAIN.C:3:0:\n"
                       "/work/proj/inc.h:1:34: error: 'q' undeclared (first use in this function)\n"
                       "/work/proj/MAIN.C:7:7: warning: unused variable 'u' [-Wunused-variable]\n");
    list.AddToolOutput("/usr/lib/gcc/avr/5.4.0/../../../avr/bin/ld: address 0x800ce0 of b.elf "
                       "section `.bss' is not within region `data'\r\n"
                       "/usr/lib/gcc/avr/5.4.0/../../../avr/bin/ld: address 0x800ce0 of b.elf "
                       "section `.bss' is not within region `data'\r\n"
                       "collect2: error: ld returned 1 exit status\r\n");
    const std::vector<std::string> expected = {
        "Error /work/proj/inc.h(1): 'q' undeclared (first use in this function)",
        "Warning /work/proj/MAIN.C(7): unused variable 'u' [-Wunused-variable]",
        "Error: address 0x800ce0 of b.elf section `.bss' is not within region `data'"
    };
    EXPECT_EQ(list.Lines(), expected);
    EXPECT_EQ(list.Errors(), 2);
    EXPECT_EQ(list.Warnings(), 1);
}

TEST(ConversionTest, LinkerSummaryStaysWhenNothingElseExplainsTheFailure)
{
    MessageList list(kContext);
    list.AddToolOutput("collect2: error: ld returned 1 exit status\n");
    EXPECT_EQ(list.Lines(), std::vector<std::string> { "Error: ld returned 1 exit status" });
    EXPECT_EQ(list.Errors(), 1);
}

TEST(ConversionTest, NotesAreNotCounted)
{
    MessageList list(kContext);
    list.AddToolOutput("/work/proj/MAIN.C:9:10: note: each undeclared identifier\n");
    EXPECT_EQ(list.Errors(), 0);
    EXPECT_EQ(list.Warnings(), 0);
    EXPECT_EQ(list.Lines().size(), 1u);
}

TEST(ConversionTest, SizeOutputGivesFlashSramAndEeprom)
{
    const char *output = "/tmp/ex/BLINK.elf  :\n"
                         "section             size      addr\n"
                         ".data                 16   8388704\n"
                         ".text                300         0\n"
                         ".bss                   1   8388720\n"
                         ".eeprom                4   8454144\n"
                         ".comment              17         0\n"
                         ".debug_info         1234         0\n"
                         "Total               1572\n";
    const auto use = ParseSizeOutput(output);
    ASSERT_TRUE(use);
    EXPECT_EQ(use->flash, 316u);
    EXPECT_EQ(use->sram, 17u);
    EXPECT_EQ(use->eeprom, 4u);
    EXPECT_FALSE(ParseSizeOutput("avr-size: 'x.elf': No such file"));
}

TEST(ConversionTest, SummaryLineNamesChipCountsAndUse)
{
    const Chip &chip = *ChipForOption("/c3");
    EXPECT_EQ(SummaryLine(chip, 0, 1, MemoryUse { 316, 17, 0 }, 512),
        "AT90S8515: built, 0 errors, 1 warning; flash 316 of 8192 bytes (3.9%), "
        "SRAM 17 of 512 bytes (3.3%)");
    EXPECT_EQ(SummaryLine(*ChipForOption("/c1"), 2, 0, std::nullopt, 128),
        "AT90S2313: build failed, 2 errors, 0 warnings; no firmware written (flash 2048 "
        "bytes, SRAM 128 bytes)");
    const std::string withEeprom = SummaryLine(chip, 0, 0, MemoryUse { 100, 0, 4 }, 512);
    EXPECT_NE(withEeprom.find("EEPROM 4 of 512 bytes"), std::string::npos);
    // The summary is no message: the output window must not take it for one.
    for (const std::string &line : { withEeprom, SummaryLine(chip, 3, 2, std::nullopt, 512) }) {
        EXPECT_EQ(line.find("Error "), std::string::npos);
        EXPECT_EQ(line.find("Warning "), std::string::npos);
    }
}

TEST(ConversionTest, InterleaveInsertsTheSourceLineOfEachLoc)
{
    const std::string assembly = "\t.file\t\"MAIN.C\"\n"
                                 "\t.file 1 \"/work/proj/MAIN.C\"\n"
                                 "main:\n"
                                 "\t.loc 1 2 0\n"
                                 "\tldi r24,lo8(1)\n"
                                 "\t.loc 1 2 0\n"
                                 "\t.loc 1 3 0\n"
                                 "\tret\n";
    const auto reader = [](const std::string &file) -> std::optional<std::vector<std::string>> {
        if (file != "/work/proj/MAIN.C")
            return std::nullopt;
        return std::vector<std::string> { "int main(void) {", "  PORTB = 1;", "}" };
    };
    EXPECT_EQ(InterleaveSource(assembly, reader),
        "\t.file\t\"MAIN.C\"\n"
        "\t.file 1 \"/work/proj/MAIN.C\"\n"
        "main:\n"
        "; MAIN.C(2):   PORTB = 1;\n"
        "\t.loc 1 2 0\n"
        "\tldi r24,lo8(1)\n"
        "\t.loc 1 2 0\n"
        "; MAIN.C(3): }\n"
        "\t.loc 1 3 0\n"
        "\tret\n");
}

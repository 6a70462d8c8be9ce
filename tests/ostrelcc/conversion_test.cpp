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
        "Note /work/proj/MAIN.C(9): each undeclared identifier is reported only once for each "
        "function it appears in" },
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
        "Error: undefined reference to `nowhere' (in START.o)" },
    { "multiple definition", "/tmp/ccV2XfED.o:(.data+0x0): multiple definition of `a'",
        "Error: multiple definition of `a' (in ccV2XfED.o)" },
    { "first defined here", "/tmp/ccj5sGPD.o:(.data+0x0): first defined here",
        "Note: first defined here (in ccj5sGPD.o)" },
    { "place inside the C file's object",
        "/tmp/ostrelcc-Ab12Cd/BLINK.o:/work/proj/BLINK.C:22: first defined here",
        "Note /work/proj/BLINK.C(22): first defined here" },
    { "place inside a library member",
        "/work/proj/LIB.A(UART.o):/work/proj/uart.c:9: multiple definition of `putc'",
        "Error /work/proj/uart.c(9): multiple definition of `putc' (in UART.o in library "
        "/work/proj/LIB.A)" },
    { "linker path glued to a text file taken as a linker script",
        "/usr/lib/gcc/avr/5.4.0/../../../avr/bin/ld:/work/proj/TEXT.LIB:2: syntax error",
        "Error /work/proj/TEXT.LIB(2): syntax error" },
    { "text file taken as a linker script",
        "/usr/lib/gcc/avr/5.4.0/../../../avr/bin/ld:/work/proj/TEXT.LIB: file format not "
        "recognized; treating as linker script",
        "Warning: /work/proj/TEXT.LIB: file format not recognized; treating as linker script" },
    { "linker on a Windows drive", "c:/winavr/bin/../avr/bin/ld.exe: cannot find -lm8",
        "Error: cannot find -lm8" },
    { "library the linker cannot read",
        "/work/proj/BIN.LIB: file not recognized: File format not recognized",
        "Error: /work/proj/BIN.LIB: file not recognized: File format not recognized" },
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
    { "folder with parentheses", "d (1)/inc.h:1:34: error: 'undeclared_thing' undeclared",
        "Error /home/user/d (1)/inc.h(1): 'undeclared_thing' undeclared" },
    { "file with parentheses", "/work/proj/Code (1).c:3:1: error: expected ';'",
        "Error /work/proj/Code (1).c(3): expected ';'" },
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
    // The output window: at least 20 characters, "Error ", "Warning " or "Note ", the file
    // name after the first run of blanks, then "(<line>)".
    for (const Case &c : kCases) {
        const auto diagnostic = ParseDiagnosticLine(c.input);
        if (!diagnostic || diagnostic->file.empty())
            continue;
        const std::string line = FormatDiagnostic(*diagnostic, kContext);
        SCOPED_TRACE(line);
        EXPECT_GE(line.size(), 20u);
        EXPECT_TRUE(line.rfind("Error ", 0) == 0 || line.rfind("Warning ", 0) == 0
            || line.rfind("Note ", 0) == 0);
        size_t start = line.find(' ');
        while (line[start] == ' ')
            ++start;
        // The whole name, then the line number: a name that holds "(" is found by the last
        // "(<number>)" after which it names a file.
        const std::string place = DisplayPath(diagnostic->file, kContext) + "("
            + std::to_string(diagnostic->line) + "): ";
        EXPECT_EQ(line.compare(start, place.size(), place), 0);
    }
}

TEST(ConversionTest, MessageListKeepsEachMessageWithItsIncludesAndLibrary)
{
    MessageList list(kContext);
    // The same error through two #include lines is two messages; the linker prints its
    // region message twice.
    list.AddToolOutput("In file included from /work/proj/MAIN.C:3:0:\n"
                       "/work/proj/inc.h: In function 'f':\n"
                       "/work/proj/inc.h:1:34: error: 'q' undeclared\n"
                       "In file included from /work/proj/b.h:2:0,\n"
                       "                 from /work/proj/MAIN.C:4:\n"
                       "/work/proj/inc.h:1:34: error: 'q' undeclared\n"
                       "/work/proj/MAIN.C:7:7: warning: unused variable 'u' [-Wunused-variable]\n"
                       "<command-line>:0:0: note: this is the location of the previous definition\n"
                       "In file included from /work/proj/MAIN.C:2:0:\n" // the header of a macro
                       "/work/proj/MAIN.C:21:5: error: misspelled\n");
    list.AddToolOutput("/work/proj/libm8.a(mul.o): In function `f':\n"
                       "mul.c:(.text+0x2): undefined reference to `SPH'\n"
                       "/tmp/ostrelcc-x/MAIN.o:(.data+0x0): multiple definition of `a'\n"
                       "/usr/lib/gcc/avr/5.4.0/../../../avr/bin/ld: address 0x800ce0 of b.elf "
                       "section `.bss' is not within region `data'\r\n"
                       "/usr/lib/gcc/avr/5.4.0/../../../avr/bin/ld: address 0x800ce0 of b.elf "
                       "section `.bss' is not within region `data'\r\n"
                       "collect2: error: ld returned 1 exit status\r\n");
    const std::vector<std::string> expected = {
        "Error /work/proj/inc.h(1): 'q' undeclared",
        "Note /work/proj/MAIN.C(3): includes inc.h",
        "Error /work/proj/inc.h(1): 'q' undeclared",
        "Note /work/proj/b.h(2): includes inc.h",
        "Note /work/proj/MAIN.C(4): includes b.h",
        "Warning /work/proj/MAIN.C(7): unused variable 'u' [-Wunused-variable]",
        "Note: this is the location of the previous definition",
        "Error /work/proj/MAIN.C(21): misspelled",
        "Error: undefined reference to `SPH' (in function `f' of mul.o in library "
        "/work/proj/libm8.a)",
        "Error: multiple definition of `a' (in MAIN.o)",
        "Error: address 0x800ce0 of b.elf section `.bss' is not within region `data'",
    };
    EXPECT_EQ(list.Lines(), expected);
    EXPECT_EQ(list.Errors(), 6);
    EXPECT_EQ(list.Warnings(), 1);
    EXPECT_EQ(list.Notes(), 4);
}

TEST(ConversionTest, OverflowNamesTheFlashAndThePaddingOfTheCodeStart)
{
    const Chip &chip = *ChipForOption("/c3");
    const std::string overflow = "region `text' overflowed by 48 bytes";
    EXPECT_EQ(ExplainOverflow(overflow, Target { &chip, 0x30, {} }),
        overflow
            + ": the program needs 8240 bytes, the AT90S8515 has 8192 bytes of flash; the code "
              "start /o0x30 adds 70 bytes of padding after the interrupt vectors, which is the "
              "difference (without a code start the code follows the vectors)");
    // Padding smaller than the overflow is not the difference.
    EXPECT_EQ(ExplainOverflow("region `text' overflowed by 80 bytes", Target { &chip, 0x30, {} }),
        "region `text' overflowed by 80 bytes: the program needs 8272 bytes, the AT90S8515 has "
        "8192 bytes of flash");
    EXPECT_EQ(ExplainOverflow(overflow, Target {}), overflow);
}

TEST(ConversionTest, LinkerSummaryStaysWhenNothingElseExplainsTheFailure)
{
    MessageList list(kContext);
    list.AddToolOutput("collect2: error: ld returned 1 exit status\n");
    EXPECT_EQ(list.Lines(), std::vector<std::string> { "Error: ld returned 1 exit status" });
    EXPECT_EQ(list.Errors(), 1);
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
    EXPECT_EQ(SummaryLine(*ChipForOption("/c1"), 2, 0, std::nullopt, 128, 3),
        "AT90S2313: build failed, 2 errors, 0 warnings, 3 notes; no firmware written (flash "
        "2048 bytes, SRAM 128 bytes)");
    const std::string withEeprom = SummaryLine(chip, 0, 0, MemoryUse { 100, 0, 4 }, 512);
    EXPECT_NE(withEeprom.find("EEPROM 4 of 512 bytes"), std::string::npos);
    // The summary is no message: the output window must not take it for one.
    for (const std::string &line : { withEeprom, SummaryLine(chip, 3, 2, std::nullopt, 512, 1) }) {
        EXPECT_EQ(line.find("Error "), std::string::npos);
        EXPECT_EQ(line.find("Warning "), std::string::npos);
        EXPECT_EQ(line.find("Note "), std::string::npos);
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

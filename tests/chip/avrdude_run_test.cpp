#include "chip/avrdude_run.h"
#include "project/project_record.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(AvrdudeArguments, EachValueStaysInsideItsOwnArgument)
{
    ProgrammerSettings settings { "stk500v1", "/dev/ttyUSB0", "125kHz", false };
    const auto command =
        AvrdudeArguments(settings, PartOfCpu(CpuAtmega103), "/p/a:b/x.hex", "/p/a:b/x.eep");
    EXPECT_EQ(command.arguments,
        (std::vector<std::string> { "avrdude", "-cstk500v1", "-pm103", "-P/dev/ttyUSB0", "-B125kHz",
            "-Uflash:w:/p/a:b/x.hex:i", "-Ueeprom:w:/p/a:b/x.eep:i" }));
    // Defaults: usbasp, avrdude's own port and clock, no EEPROM.
    EXPECT_EQ(AvrdudeArguments({}, PartOfCpu(CpuAt90s2313), "x.hex", "").arguments,
        (std::vector<std::string> { "avrdude", "-cusbasp", "-p2313", "-Uflash:w:x.hex:i" }));
}

TEST(AvrdudeArguments, RefusesWhatAvrdudeWouldMisread)
{
    const ProgrammerSettings refused[] = {
        { "-x", "", "", false }, // an option, not an id
        { "*/s", "", "", false }, // avrdude's developer listings
        { "usbasp", "-C/tmp/evil.conf", "", false },
        { "usbasp", "", "8us", false },
        { "usbasp", "", "fast", false },
    };
    for (const ProgrammerSettings &settings : refused) {
        const auto command = AvrdudeArguments(settings, PartOfCpu(0), "x.hex", "");
        EXPECT_TRUE(command.arguments.empty()) << settings.programmer << settings.port;
        EXPECT_FALSE(command.error.empty());
    }
}

TEST(HexHasData, OnlyDataRecordsWithBytesCount)
{
    EXPECT_FALSE(HexHasData(":00000001FF\n"));
    EXPECT_FALSE(HexHasData(""));
    EXPECT_TRUE(HexHasData(":0400000001020304F2\n:00000001FF\n"));
}

// avrdude 7.1's output through a pipe, as the test programmer made it say it.
struct AvrdudeRun
{
    const char *output;
    int exitCode;
    std::vector<std::string> steps;
    std::string last;
};

TEST(AvrdudeMonitor, TurnsAvrdudeOutputIntoStepsAndAClearEnd)
{
    const AvrdudeRun runs[] = {
        { "avrdude: device signature = 0x1e9301 (probably 8515)\n"
          "avrdude: erasing chip\n"
          "avrdude: writing 1000 bytes flash ...\n\nWriting | ######"
          "############################################ | 100% 0.26s\n\n"
          "avrdude: 1000 bytes of flash written\n"
          "avrdude: verifying flash memory against /tmp/t.hex\n\nReading | ##########"
          "######################################## | 100% 0.09s\n\n"
          "avrdude: 1000 bytes of flash verified\n\navrdude done.  Thank you.\n\n",
            0,
            { "Signature 1E 93 01: the project's AT90S8515.", "Erasing the chip ...",
                "Writing the flash (1000 bytes) ...", "Verifying the flash ..." },
            "Done: the chip is programmed and verified." },
        { "avrdude: device signature = 0x1e9101 (probably 2313)\n"
          "avrdude error: expected signature for AT90S8515 is 1E 93 01\n",
            1, {},
            "The chip's signature is 1E 91 01, not the 1E 93 01 of the project's AT90S8515: "
            "this is another chip. Nothing was written." },
        { "avrdude: erasing chip\navrdude: verifying flash memory against x.hex\n"
          "avrdude warning: verification mismatch\n"
          "        device 0x49 != input 0x48 at addr 0x0000 (error)\n"
          "avrdude error: verification mismatch\n",
            1, { "Erasing the chip ...", "Verifying the flash ..." },
            "Verifying failed: the chip does not hold what was written (device 0x49 != input "
            "0x48 at addr 0x0000 (error)). Try again, perhaps with a slower bit clock." },
        { "avrdude OS error: cannot open port /dev/nonexist: No such file or directory\n", 1, {},
            "The port /dev/ttyX cannot be opened: is the programmer plugged in? (No such file "
            "or directory)" },
        { "avrdude error: cannot open port /dev/ttyX: Device or resource busy\n", 1, {},
            "The port /dev/ttyX is busy: another program has it open." },
        { "avrdude error: programmer is not responding\n", 1, {},
            "The programmer on /dev/ttyX does not answer: check the port and that stk500v1 is "
            "the right programmer." },
    };
    for (const AvrdudeRun &run : runs) {
        AvrdudeMonitor monitor(PartOfCpu(CpuAt90s8515), "stk500v1", "/dev/ttyX");
        // Byte by byte, as a pipe may hand it over.
        std::vector<std::string> steps;
        for (const char *c = run.output; *c; ++c)
            for (std::string &step : monitor.Feed(std::string_view(c, 1)))
                steps.push_back(std::move(step));
        EXPECT_EQ(steps, run.steps) << run.output;
        EXPECT_EQ(monitor.Finish(RunEnd::Exited, run.exitCode).back(), run.last);
        for (const std::string &line : monitor.Lines())
            EXPECT_EQ(line.find("Writing |"), std::string::npos) << "bars are no lines";
    }
}

TEST(AvrdudeMonitor, ProgressGrowsWithTheBarAndAnInterruptedWriteSaysSo)
{
    AvrdudeMonitor monitor(PartOfCpu(CpuAt90s8515), "usbasp", "usb");
    monitor.Feed("avrdude: erasing chip\navrdude: writing 200 bytes flash ...\n\nWriting | ");
    EXPECT_TRUE(monitor.TakeProgress());
    EXPECT_FALSE(monitor.TakeProgress());
    monitor.Feed("#####");
    EXPECT_EQ(monitor.Percent(), 10);
    EXPECT_TRUE(monitor.TakeProgress());
    // A terminal's bar: redrawn after a carriage return, with its own percentage.
    monitor.Feed("\rWriting | ####-------- | 37% 0.2s");
    EXPECT_EQ(monitor.Percent(), 37);
    monitor.Feed("avrdude error: programmer is not responding\n");
    EXPECT_EQ(monitor.Finish(RunEnd::Stalled, -1).back(),
        "The programmer stopped answering: avrdude was ended after 20 seconds without "
        "progress. The chip may hold a partly written image: program it again.");
    AvrdudeMonitor early(PartOfCpu(CpuAt90s8515), "usbasp", "usb");
    EXPECT_EQ(early.Finish(RunEnd::Cancelled, -1).back(),
        "Programming cancelled: avrdude was ended. Nothing was written to the chip.");
}

} // namespace
} // namespace ostrel

#pragma once

#include "project/project_extension.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// A target chip as avrdude knows it.
struct ChipPart
{
    std::string_view name; // "AT90S8515"
    std::string_view avrdudeId; // avrdude's -p
    std::array<uint8_t, 3> signature;
};

// The part for a project's chip number; the ATmega603/103 choice programs as the ATmega103,
// the one avrdude knows. An unknown number gives the AT90S8515, the project default.
const ChipPart &PartOfCpu(int32_t cpuType);
// "1E 93 01".
std::string SignatureText(const std::array<uint8_t, 3> &signature);

inline constexpr std::string_view kDefaultProgrammer = "usbasp";
// Programmer ids offered in the settings dialog; any other id avrdude knows may be typed.
const std::vector<std::string> &CommonProgrammers();
// The programmer the settings name, or the default for an empty one.
std::string EffectiveProgrammer(const ProgrammerSettings &settings);
// The port as shown to the user: the setting, or "the programmer's default port".
std::string PortText(const ProgrammerSettings &settings);

// avrdude's argument list (program first) for writing and verifying `hexPath` and, unless it
// is empty, `eepPath`; or, when a setting cannot be passed safely, the reason in `error`.
// avrdude reads the chip's signature before anything else and writes nothing to a chip of
// another part.
struct AvrdudeCommand
{
    std::vector<std::string> arguments;
    std::string error;
};
AvrdudeCommand AvrdudeArguments(const ProgrammerSettings &settings, const ChipPart &part,
    const std::string &hexPath, const std::string &eepPath);

// Whether the text of an Intel hex file holds at least one data byte.
bool HexHasData(std::string_view text);

// Where a programming run is, as avrdude's output tells.
enum class ProgramPhase {
    Connecting, // opening the port, reading the signature
    Erasing,
    WritingFlash,
    VerifyingFlash,
    WritingEeprom,
    VerifyingEeprom,
};

// How a run of avrdude ended, as the program command saw it.
enum class RunEnd {
    Exited, // with the exit code given
    Cancelled, // by the user
    Stalled, // no progress for kStallSeconds, ended by the program
};

// Reads avrdude's output as it comes: its lines, the step it is at, the progress bar, and
// what went wrong. Turns them into one line per step for the user.
class AvrdudeMonitor
{
public:
    // avrdude retries a programmer that does not answer for minutes; with no progress for
    // this long the program ends it.
    static constexpr int kStallSeconds = 20;

    AvrdudeMonitor(const ChipPart &part, std::string programmer, std::string port);

    // The first step line, said before avrdude starts.
    std::string StartLine() const;
    // Takes the next bytes of avrdude's output; returns the step lines they complete.
    std::vector<std::string> Feed(std::string_view bytes);
    // The last line and how the chip is left, once avrdude has ended.
    std::vector<std::string> Finish(RunEnd end, int exitCode) const;

    ProgramPhase Phase() const { return m_phase; }
    // The percentage of the progress bar of the current step; -1 while there is none.
    int Percent() const { return m_percent; }
    // Whether the output fed since the last call moved the run on (a new step, the bar grew).
    bool TakeProgress();
    // avrdude's own lines so far, without its progress bars.
    const std::vector<std::string> &Lines() const { return m_lines; }

private:
    void Line(const std::string &line, std::vector<std::string> &steps);
    void Bar(const std::string &line);
    void Problem(std::string text);
    bool Written() const { return m_phase != ProgramPhase::Connecting; }

    const ChipPart &m_part;
    std::string m_programmer;
    std::string m_port;
    std::string m_current; // the line being received
    std::vector<std::string> m_lines;
    ProgramPhase m_phase = ProgramPhase::Connecting;
    int m_percent = -1;
    bool m_progress = false;
    bool m_verified = false;
    std::string m_problem; // the first thing that went wrong, for the user
    std::string m_found; // the signature avrdude read, "1E 91 01"
};

} // namespace ostrel

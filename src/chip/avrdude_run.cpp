#include "chip/avrdude_run.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ostrel {

namespace {

constexpr ChipPart kParts[] = {
    { "AT90S2313", "2313", { 0x1e, 0x91, 0x01 } },
    { "AT90S4414", "4414", { 0x1e, 0x92, 0x01 } },
    { "AT90S8515", "8515", { 0x1e, 0x93, 0x01 } },
    { "ATmega103", "m103", { 0x1e, 0x97, 0x01 } },
};

constexpr std::string_view kVerifyFailed =
    "Verifying failed: the chip does not hold what was written";

bool StartsWith(std::string_view text, std::string_view start)
{
    return text.substr(0, start.size()) == start;
}

bool Contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

// A programmer id as avrdude's configuration names them. A '/' would ask avrdude for its
// developer listings, a leading '-' would read as an option.
bool IsProgrammerId(std::string_view id)
{
    if (id.empty() || id.front() == '-')
        return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '_' || c == '-' || c == '.';
    });
}

// A period in microseconds ("10", "0.5") or a frequency ("125kHz", "1MHz", "8000Hz").
bool IsBitClock(std::string_view text)
{
    size_t digits = 0;
    bool point = false;
    size_t i = 0;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            ++digits;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    const std::string_view unit = text.substr(i);
    return digits > 0 && (unit.empty() || unit == "Hz" || unit == "kHz" || unit == "MHz");
}

// The text after `key` up to the next blank; empty when `key` is not in `line`.
std::string WordAfter(std::string_view line, std::string_view key)
{
    const size_t at = line.find(key);
    if (at == std::string_view::npos)
        return {};
    const std::string_view rest = line.substr(at + key.size());
    return std::string(rest.substr(0, rest.find(' ')));
}

// "writing 1000 bytes flash ..." -> "1000".
std::string ByteCount(std::string_view line)
{
    return WordAfter(line, "writing ");
}

std::string Upper(std::string text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

const ChipPart &PartOfCpu(int32_t cpuType)
{
    if (cpuType < 0 || cpuType >= static_cast<int32_t>(std::size(kParts)))
        return kParts[2];
    return kParts[cpuType];
}

std::string SignatureText(const std::array<uint8_t, 3> &signature)
{
    char text[9];
    std::snprintf(text, sizeof text, "%02X %02X %02X", signature[0], signature[1], signature[2]);
    return text;
}

const std::vector<std::string> &CommonProgrammers()
{
    static const std::vector<std::string> ids = { "usbasp", "usbtiny", "avrisp", "avrispmkII",
        "arduino", "stk500v1", "stk500v2", "stk500", "avrisp2", "dragon_isp", "atmelice_isp",
        "jtag2isp", "pickit2", "ponyser", "dapa", "buspirate", "ft232r" };
    return ids;
}

std::string EffectiveProgrammer(const ProgrammerSettings &settings)
{
    return settings.programmer.empty() ? std::string(kDefaultProgrammer) : settings.programmer;
}

std::string PortText(const ProgrammerSettings &settings)
{
    return settings.port.empty() ? "its default port" : settings.port;
}

AvrdudeCommand AvrdudeArguments(const ProgrammerSettings &settings, const ChipPart &part,
    const std::string &hexPath, const std::string &eepPath)
{
    AvrdudeCommand command;
    const std::string programmer = EffectiveProgrammer(settings);
    if (!IsProgrammerId(programmer)) {
        command.error = "The programmer \"" + programmer
            + "\" is no programmer id (letters, digits, '_', '-' and '.', not starting with "
              "'-'): choose one in Chip > Programmer Settings.";
        return command;
    }
    // A port is a device path ("/dev/ttyUSB0"), "usb" or "usb:<serial>", "net:host:port";
    // none begins with '-', and avrdude would open such a name as a file in its directory.
    if (!settings.port.empty() && (settings.port.front() == '-' || Contains(settings.port, "\n"))) {
        command.error = "The port \"" + settings.port
            + "\" is no port name: give the device's full path (like /dev/ttyUSB0) or usb.";
        return command;
    }
    if (!settings.bitClock.empty() && !IsBitClock(settings.bitClock)) {
        command.error = "The bit clock \"" + settings.bitClock
            + "\" is neither a period in microseconds (like 10 or 0.5) nor a frequency (like "
              "125kHz).";
        return command;
    }
    for (const std::string *path : { &hexPath, &eepPath })
        if (Contains(*path, "\n")) {
            command.error = "The file name \"" + *path + "\" holds a line break.";
            return command;
        }
    // Each option and its value are one argument, so no value is ever read as an option.
    // The file comes last in -U with its format named: avrdude then takes everything between
    // "w:" and the last colon as the path, colons included.
    command.arguments = { "avrdude", "-c" + programmer, "-p" + std::string(part.avrdudeId) };
    if (!settings.port.empty())
        command.arguments.push_back("-P" + settings.port);
    if (!settings.bitClock.empty())
        command.arguments.push_back("-B" + settings.bitClock);
    command.arguments.push_back("-Uflash:w:" + hexPath + ":i");
    if (!eepPath.empty())
        command.arguments.push_back("-Ueeprom:w:" + eepPath + ":i");
    return command;
}

bool HexHasData(std::string_view text)
{
    size_t at = 0;
    while ((at = text.find(':', at)) != std::string_view::npos) {
        ++at;
        // ":LLAAAATT": a data record (type 00) with a length above 0.
        if (text.size() >= at + 8 && text.substr(at + 6, 2) == "00"
            && std::strtoul(std::string(text.substr(at, 2)).c_str(), nullptr, 16) > 0)
            return true;
    }
    return false;
}

AvrdudeMonitor::AvrdudeMonitor(const ChipPart &part, std::string programmer, std::string port)
    : m_part(part)
    , m_programmer(std::move(programmer))
    , m_port(std::move(port))
{
}

std::string AvrdudeMonitor::StartLine() const
{
    return "Reading the signature of the chip (" + std::string(m_part.name) + ", "
        + SignatureText(m_part.signature) + ") with " + m_programmer + " on " + m_port + " ...";
}

std::vector<std::string> AvrdudeMonitor::Feed(std::string_view bytes)
{
    std::vector<std::string> steps;
    for (const char c : bytes) {
        if (c == '\n' || c == '\r') {
            if (StartsWith(m_current, "Writing |") || StartsWith(m_current, "Reading |"))
                Bar(m_current);
            else if (m_current.find_first_not_of(' ') != std::string::npos)
                Line(m_current, steps);
            m_current.clear();
            continue;
        }
        m_current += c;
        if (c == '#' || c == '%')
            Bar(m_current);
    }
    return steps;
}

// "Writing | ######---- | 12% 0.30s" as a terminal gets it, or the bar growing by a '#' for
// every 2 % when the output goes to a pipe.
void AvrdudeMonitor::Bar(const std::string &line)
{
    if (!StartsWith(line, "Writing |") && !StartsWith(line, "Reading |"))
        return;
    int percent = static_cast<int>(std::count(line.begin(), line.end(), '#')) * 2;
    const size_t sign = line.find('%');
    if (sign != std::string::npos) {
        size_t start = sign;
        while (start > 0 && line[start - 1] >= '0' && line[start - 1] <= '9')
            --start;
        if (start < sign)
            percent = std::atoi(line.c_str() + start);
    }
    percent = std::min(percent, 100);
    if (percent > m_percent)
        m_progress = true;
    m_percent = percent;
}

void AvrdudeMonitor::Line(const std::string &line, std::vector<std::string> &steps)
{
    m_lines.push_back(line);
    auto step = [&](ProgramPhase phase, std::string text) {
        m_phase = phase;
        m_percent = -1;
        m_progress = true;
        steps.push_back(std::move(text));
    };
    if (Contains(line, "device signature = 0x") && !Contains(line, "retrying")) {
        m_found = Upper(WordAfter(line, "device signature = 0x"));
        if (m_found.size() == 6)
            m_found = m_found.substr(0, 2) + " " + m_found.substr(2, 2) + " " + m_found.substr(4);
        if (m_found == SignatureText(m_part.signature))
            steps.push_back(
                "Signature " + m_found + ": the project's " + std::string(m_part.name) + ".");
        m_progress = true;
    } else if (Contains(line, "erasing chip")) {
        step(ProgramPhase::Erasing, "Erasing the chip ...");
    } else if (Contains(line, "bytes flash")) {
        if (StartsWith(ByteCount(line), "0") || ByteCount(line).empty())
            return;
        step(ProgramPhase::WritingFlash, "Writing the flash (" + ByteCount(line) + " bytes) ...");
    } else if (Contains(line, "verifying flash")) {
        step(ProgramPhase::VerifyingFlash, "Verifying the flash ...");
    } else if (Contains(line, "bytes eeprom")) {
        step(ProgramPhase::WritingEeprom, "Writing the EEPROM (" + ByteCount(line) + " bytes) ...");
    } else if (Contains(line, "verifying eeprom")) {
        step(ProgramPhase::VerifyingEeprom, "Verifying the EEPROM ...");
    } else if (Contains(line, "bytes of flash verified")
        || Contains(line, "bytes of eeprom verified")) {
        m_verified = true;
    } else if (Contains(line, "expected signature for")) {
        const std::string found = m_found.empty() ? "unreadable" : m_found;
        if (found == "00 00 00" || found == "FF FF FF")
            Problem("The chip gives no signature (" + found
                + "): check the wiring, the chip's power and its clock. Nothing was written.");
        else
            Problem("The chip's signature is " + found + ", not the "
                + SignatureText(m_part.signature) + " of the project's " + std::string(m_part.name)
                + ": this is another chip. Nothing was written.");
    } else if (Contains(line, "Device or resource busy")) {
        Problem("The port " + m_port + " is busy: another program has it open.");
    } else if (Contains(line, "Permission denied")) {
        Problem("No permission to open the port " + m_port
            + " (on Debian, add yourself to the group dialout and log in again).");
    } else if (Contains(line, "cannot open port") || Contains(line, "can't open device")) {
        Problem("The port " + m_port + " cannot be opened: is the programmer plugged in? ("
            + line.substr(line.rfind(':') + 2) + ")");
    } else if (Contains(line, "cannot find USB device") || Contains(line, "could not find USB")) {
        Problem("No " + m_programmer + " programmer was found on USB: is it plugged in?");
    } else if (Contains(line, "cannot find programmer id")) {
        Problem("avrdude knows no programmer \"" + m_programmer
            + "\": choose another in Chip > Programmer Settings.");
    } else if (Contains(line, "not responding") || Contains(line, "not in sync")) {
        if (Written())
            Problem("The programmer stopped answering while programming.");
        else
            Problem("The programmer on " + m_port + " does not answer: check the port and that "
                + m_programmer + " is the right programmer.");
    } else if (Contains(line, "initialization failed") || Contains(line, "target doesn't answer")) {
        Problem("The chip does not answer the programmer: check the wiring, the chip's power and "
                "its clock (a slower bit clock may help).");
    } else if (Contains(line, "!= input")) {
        // The line with the address and bytes tells more than the one before it.
        if (StartsWith(m_problem, kVerifyFailed))
            m_problem.clear();
        Problem(std::string(kVerifyFailed) + " (" + line.substr(line.find_first_not_of(' '))
            + "). Try again, perhaps with a slower bit clock.");
    } else if (Contains(line, "verification mismatch") || Contains(line, "verification error")) {
        Problem(std::string(kVerifyFailed) + ". Try again, perhaps with a slower bit clock.");
    }
}

void AvrdudeMonitor::Problem(std::string text)
{
    if (m_problem.empty())
        m_problem = std::move(text);
}

bool AvrdudeMonitor::TakeProgress()
{
    const bool progress = m_progress;
    m_progress = false;
    return progress;
}

std::vector<std::string> AvrdudeMonitor::Finish(RunEnd end, int exitCode) const
{
    const std::string left = Written()
        ? " The chip may hold a partly written image: program it again."
        : " Nothing was written to the chip.";
    switch (end) {
    case RunEnd::Cancelled:
        return { "Programming cancelled: avrdude was ended." + left };
    case RunEnd::Stalled:
        return { "The programmer stopped answering: avrdude was ended after "
            + std::to_string(kStallSeconds) + " seconds without progress." + left };
    case RunEnd::Exited:
        break;
    }
    if (exitCode == 0 && m_problem.empty())
        return { m_verified ? "Done: the chip is programmed and verified." : "Done." };
    std::string line = m_problem.empty()
        ? "avrdude failed (exit code " + std::to_string(exitCode) + "); its lines are below."
        : m_problem;
    if (!Contains(line, "Nothing was written") && Written()
        && m_phase != ProgramPhase::VerifyingFlash && m_phase != ProgramPhase::VerifyingEeprom)
        line += left;
    return { line };
}

} // namespace ostrel

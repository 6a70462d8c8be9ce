#include "codegen/baud_figures.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace ostrel {

namespace {

constexpr std::string_view kBlanks = " \t\n\v\f\r";
constexpr double kRegisterLimit = 256.0; // UBRR holds 0 to 255

std::string_view Trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsMegahertzUnit(std::string_view text)
{
    text = Trimmed(text);
    if (text.size() != 3)
        return false;
    return (text[0] == 'M' || text[0] == 'm') && (text[1] == 'H' || text[1] == 'h')
        && (text[2] == 'Z' || text[2] == 'z');
}

// The clock in MHz when the text is one positive finite number and nothing else but the unit.
std::optional<double> ReadWholeClock(std::string_view text)
{
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc())
        return std::nullopt;
    const std::string_view rest(stop, static_cast<size_t>(text.data() + text.size() - stop));
    if (!Trimmed(rest).empty() && !IsMegahertzUnit(rest))
        return std::nullopt;
    if (!std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

std::optional<long long> ReadWholeBaud(std::string_view text)
{
    text = Trimmed(text);
    long long value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size() || value <= 0
        || value > 100'000'000)
        return std::nullopt;
    return value;
}

std::string Format(const char *format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::optional<BaudFigures> ComputeBaudFigures(std::string_view clockText, std::string_view baudText)
{
    const auto megahertz = ReadWholeClock(clockText);
    const auto baud = ReadWholeBaud(baudText);
    if (!megahertz || !baud)
        return std::nullopt;
    const double hertz = *megahertz * 1000000.0;
    const double divisor = static_cast<double>(16 * *baud);
    const double quotient = hertz / divisor - 1.0;
    if (!std::isfinite(quotient))
        return std::nullopt;

    BaudFigures figures;
    figures.clockMegahertz = *megahertz;
    figures.lowestBaud = hertz / (16.0 * kRegisterLimit);
    if (quotient >= kRegisterLimit) {
        figures.ubrr = quotient < 9.2e18 ? static_cast<long long>(quotient) : -1;
        figures.verdict = BaudVerdict::OutOfRange;
        return figures;
    }
    figures.ubrr = static_cast<long long>(quotient); // truncated, as the generated code is
    figures.actualBaud = hertz / (16.0 * static_cast<double>(figures.ubrr + 1));
    const double asked = static_cast<double>(*baud);
    figures.errorPercent = (figures.actualBaud - asked) / asked * 100.0;
    // Judged by the figure as shown, so that "+2.0 %" never reads as too far off.
    const double shown = std::fabs(std::round(figures.errorPercent * 10.0) / 10.0);
    figures.verdict = shown <= 0.5 ? BaudVerdict::Good
        : shown <= 2.0             ? BaudVerdict::Usable
                                   : BaudVerdict::TooFarOff;
    return figures;
}

BaudFigureTexts DescribeBaudFigures(const BaudFigures &figures)
{
    if (figures.verdict == BaudVerdict::OutOfRange) {
        const std::string ubrr = figures.ubrr >= 0 ? std::to_string(figures.ubrr) : "far above 255";
        return { "UBRR " + ubrr + " is out of range for the chip (8 bits, at most 255)",
            "the lowest baud rate at " + Format("%g", figures.clockMegahertz) + " MHz is "
                + Format("%.0f", figures.lowestBaud) };
    }
    std::string text = "UBRR " + std::to_string(figures.ubrr) + " gives "
        + Format("%.0f", figures.actualBaud) + " baud, ";
    if (std::fabs(figures.errorPercent) < 1e-9)
        text += "exact";
    else
        text += "error " + Format("%+.1f", figures.errorPercent) + " %";
    static constexpr const char *kVerdicts[] = { "good", "usable",
        "too far off for reliable communication" };
    return { text, kVerdicts[static_cast<int>(figures.verdict)] };
}

} // namespace ostrel

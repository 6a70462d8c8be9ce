#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ostrel {

// How well the baud rate that the UART really runs at matches the one asked for.
enum class BaudVerdict {
    Good, // within +-0.5 %
    Usable, // within +-2 %
    TooFarOff, // beyond +-2 %
    OutOfRange, // the divisor does not fit the 8-bit baud-rate register
};

// The rate a clock and a baud rate give on the classic UART, whose baud-rate register holds
// 8 bits. `ubrr` is the value the generated code sets (the quotient truncated toward zero).
struct BaudFigures
{
    double clockMegahertz = 0;
    long long ubrr = 0;
    double actualBaud = 0; // clock / (16 * (ubrr + 1)); only while in range
    double errorPercent = 0; // (actual - asked) / asked * 100; only while in range
    BaudVerdict verdict = BaudVerdict::Good;
    double lowestBaud = 0; // clock / (16 * 256): the slowest rate the clock allows
};

// Nothing when the clock text is not one positive number of MHz (a trailing "MHz" is
// allowed) or the baud rate is not positive: a text the generator reads only in part, such as
// "3,6864", would give figures for another clock than the one meant.
std::optional<BaudFigures> ComputeBaudFigures(
    std::string_view clockText, std::string_view baudText);

// The figures as the UART dialog shows them: the rate and its error, then the verdict.
struct BaudFigureTexts
{
    std::string figures;
    std::string verdict;
};
BaudFigureTexts DescribeBaudFigures(const BaudFigures &figures);

} // namespace ostrel

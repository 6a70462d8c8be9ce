#include "codegen/uart_settings.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace ostrel {

namespace {

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

std::string_view Trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The decimal exponent after 'e' in a matched number, held within +-10^15 so that huge
// exponents cannot overflow.
long long ExponentOf(std::string_view number)
{
    const size_t e = number.find_first_of("eE");
    if (e == std::string_view::npos)
        return 0;
    size_t i = e + 1;
    const bool negative = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '-' || number[i] == '+'))
        ++i;
    long long exponent = 0;
    for (; i < number.size() && IsDigit(number[i]); ++i) {
        if (exponent < 1'000'000'000'000'000)
            exponent = exponent * 10 + (number[i] - '0');
    }
    return negative ? -exponent : exponent;
}

// For a number that does not fit a double: whether it is too large rather than too small.
// Counts the digits before the point (or the zeros after it) up to the first significant
// digit; with the exponent this gives the magnitude, which is >= 1 exactly when positive.
bool IsTooLarge(std::string_view number)
{
    long long order = 0;
    bool afterPoint = false;
    bool significant = false;
    for (const char c : number.substr(0, number.find_first_of("eE"))) {
        if (c == '.') {
            afterPoint = true;
        } else if (IsDigit(c)) {
            significant = significant || c != '0';
            if (!afterPoint && significant)
                ++order;
            else if (afterPoint && !significant)
                --order;
        }
    }
    return significant && order + ExponentOf(number) > 0;
}

// A C decimal integer as atoi reads it (leading blanks, sign, digits), held within +-10^12.
long long ReadBaud(std::string_view text)
{
    text = Trimmed(text);
    size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    long long baud = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (baud < 1'000'000'000'000)
            baud = baud * 10 + (text[i] - '0');
    }
    return negative ? -baud : baud;
}

// Truncation toward zero into 64 bits without undefined behaviour.
int64_t TruncatedToInt64(double value)
{
    if (std::isnan(value) || std::isinf(value))
        return 0;
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (value >= kTwoTo63)
        return std::numeric_limits<int64_t>::max();
    if (value < -kTwoTo63)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

} // namespace

double ReadClockMegahertz(std::string_view clockText)
{
    std::string_view text = Trimmed(clockText);
    // from_chars takes a minus sign but no plus sign; a sign may stand only once.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+'))
            return 0.0;
    }
    double value = 0.0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error == std::errc::invalid_argument)
        return 0.0;
    if (error == std::errc::result_out_of_range) {
        const std::string_view number(text.data(), static_cast<size_t>(stop - text.data()));
        const double magnitude = IsTooLarge(number) ? std::numeric_limits<double>::infinity() : 0.0;
        return number.front() == '-' ? -magnitude : magnitude;
    }
    return value;
}

uint32_t ComputeUbrr(std::string_view clockText, std::string_view baudText)
{
    const double hertz = ReadClockMegahertz(clockText) * 1000000.0;
    const long long baud = ReadBaud(baudText);
    // NaN fails the comparison as well; a baud rate of 0 or less has no divisor.
    if (!(hertz > 0.0) || baud <= 0)
        return 0;
    const double ubrr = hertz / static_cast<double>(16 * baud) - 1.0;
    return static_cast<uint32_t>(static_cast<uint64_t>(TruncatedToInt64(ubrr)));
}

std::string GenerateUartCode(const UartSettings &settings)
{
    const unsigned ucr = (settings.rxcie ? 0x80u : 0u) | (settings.txcie ? 0x40u : 0u)
        | (settings.udrie ? 0x20u : 0u) | (settings.rxe ? 0x10u : 0u) | (settings.txe ? 0x08u : 0u)
        | (settings.chr9 ? 0x06u : 0u) | (settings.txd8 ? 0x01u : 0u);
    char text[64];
    std::snprintf(text, sizeof text, "UBRR = 0x%04x ;\r\nUCR = 0x%x ;",
        static_cast<unsigned>(ComputeUbrr(settings.clockText, settings.baudText)), ucr);
    return text;
}

} // namespace ostrel

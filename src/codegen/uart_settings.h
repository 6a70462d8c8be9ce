#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ostrel {

// The baud-rate list's entries, in list order.
inline constexpr std::array<const char *, 9> kUartBaudRates { "110", "150", "300", "600", "1200",
    "2400", "4800", "9600", "19200" };
inline constexpr int kUartDefaultBaudIndex = 7; // "9600"

// The UART set-up as the dialog shows it when it opens: 4 MHz, 9600 baud, receiver and
// transmitter enabled.
struct UartSettings
{
    std::string clockText = "4"; // MHz, as typed
    std::string baudText = "9600"; // the selected baud-rate entry
    bool rxcie = false; // UCR bit 7
    bool txcie = false; // UCR bit 6
    bool udrie = false; // UCR bit 5
    bool rxe = true; // UCR bit 4
    bool txe = true; // UCR bit 3
    bool chr9 = false; // UCR bits 2 and 1
    bool txd8 = false; // UCR bit 0
};

// The clock text in MHz: blanks around it ignored, then a C decimal floating-point number as
// far as the text forms one (the rest ignored), read the same way under every locale, so
// "3,6864" is 3. A text that begins with no number is 0; "inf" and "nan" read as such, and a
// number beyond the range of a double reads as infinity or zero.
double ReadClockMegahertz(std::string_view clockText);

// The baud-rate register value: clock / (16 * baud) - 1, truncated toward zero, low 32 bits.
// A clock that is not a positive finite number, a baud rate that is not positive, and an
// infinite quotient give 0; a quotient beyond the 64-bit range counts as the largest 64-bit
// value (so the result is 0xffffffff).
uint32_t ComputeUbrr(std::string_view clockText, std::string_view baudText);

// "UBRR = 0x%04x ;\r\nUCR = 0x%x ;" - no line end after the UCR statement.
std::string GenerateUartCode(const UartSettings &settings);

} // namespace ostrel

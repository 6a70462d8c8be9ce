#pragma once

#include <array>
#include <string>

namespace ostrel {

// One I/O port's pull-up and direction bits. Index n of each array is bit n.
struct IoPortSettings
{
    int port = 0; // 0 PORTA, 1 PORTB, 2 PORTC, 3 PORTD
    std::array<bool, 8> pullUp {};
    std::array<bool, 8> direction {};
};

// The port list's entries, in list order.
inline constexpr std::array<const char *, 4> kIoPortNames { "PORTA", "PORTB", "PORTC", "PORTD" };

// "PORTx = 0x.. ;\r\nDDRx = 0x.. ;\r\n", values in hexadecimal without leading zeros. A port
// index outside 0 to 3 is taken as the nearest valid one.
std::string GenerateIoPortCode(const IoPortSettings &settings);

} // namespace ostrel

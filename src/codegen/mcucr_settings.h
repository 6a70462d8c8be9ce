#pragma once

#include <string>

namespace ostrel {

// External SRAM, sleep mode and external interrupt sense settings of MCUCR (non-mega chips).
struct McucrSettings
{
    bool sre = false; // bit 7
    bool srw = false; // bit 6
    int sleepMode = 0; // bit 4: 0 idle, 1 power down
    int sense0 = 0; // bits 1-0: 0 low level, 1 falling edge, 2 rising edge
    int sense1 = 0; // bits 3-2: as sense0
};

// "MCUCR = 0x..;\r\n" (no blank before the semicolon), without leading zeros. A sense index
// outside 0 to 2 counts as low level; any sleep mode other than 0 counts as power down.
std::string GenerateMcucrCode(const McucrSettings &settings);

} // namespace ostrel

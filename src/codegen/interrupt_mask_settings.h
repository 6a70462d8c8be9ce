#pragma once

#include <string>

namespace ostrel {

// The interrupt enable bits of GIMSK and TIMSK, one flag per check box of the dialog.
struct InterruptMaskSettings
{
    bool int1 = false; // GIMSK bit 7
    bool int0 = false; // GIMSK bit 6
    bool toie1 = false; // TIMSK bit 7
    bool ocie1a = false; // TIMSK bit 6
    bool ocie1b = false; // TIMSK bit 5
    bool ticie1 = false; // TIMSK bit 3
    bool toie0 = false; // TIMSK bit 1
};

// "GIMSK = 0x..  ;\r\nTIMSK = 0x.. ;\r\n", each value as exactly two hexadecimal digits.
std::string GenerateInterruptMaskCode(const InterruptMaskSettings &settings);

} // namespace ostrel

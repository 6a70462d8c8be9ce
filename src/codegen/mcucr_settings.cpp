#include "codegen/mcucr_settings.h"

#include <cstdio>

namespace ostrel {

namespace {

// The two ISCx1/ISCx0 bits for a sense list index: low level 00, falling edge 10,
// rising edge 11.
unsigned SensePair(int index)
{
    switch (index) {
    case 1:
        return 2;
    case 2:
        return 3;
    default:
        return 0;
    }
}

} // namespace

std::string GenerateMcucrCode(const McucrSettings &settings)
{
    const unsigned mcucr = (settings.sre ? 0x80u : 0u) | (settings.srw ? 0x40u : 0u)
        | (settings.sleepMode != 0 ? 0x10u : 0u) | SensePair(settings.sense1) << 2
        | SensePair(settings.sense0);
    char text[32];
    std::snprintf(text, sizeof text, "MCUCR = 0x%x;\r\n", mcucr);
    return text;
}

} // namespace ostrel

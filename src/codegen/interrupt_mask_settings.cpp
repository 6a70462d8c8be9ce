#include "codegen/interrupt_mask_settings.h"

#include <cstdio>

namespace ostrel {

namespace {

std::string MaskStatement(const char *reg, unsigned value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s = 0x%02x ;\r\n", reg, value & 0xffu);
    return text;
}

} // namespace

std::string GenerateInterruptMaskCode(const InterruptMaskSettings &settings)
{
    const unsigned gimsk = (settings.int1 ? 0x80u : 0u) | (settings.int0 ? 0x40u : 0u);
    const unsigned timsk = (settings.toie1 ? 0x80u : 0u) | (settings.ocie1a ? 0x40u : 0u)
        | (settings.ocie1b ? 0x20u : 0u) | (settings.ticie1 ? 0x08u : 0u)
        | (settings.toie0 ? 0x02u : 0u);
    return MaskStatement("GIMSK", gimsk) + MaskStatement("TIMSK", timsk);
}

} // namespace ostrel

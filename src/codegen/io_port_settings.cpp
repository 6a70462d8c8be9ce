#include "codegen/io_port_settings.h"

#include <algorithm>
#include <cstdio>

namespace ostrel {

namespace {

unsigned BitsValue(const std::array<bool, 8> &bits)
{
    unsigned value = 0;
    for (unsigned n = 0; n < bits.size(); ++n) {
        if (bits[n])
            value |= 1u << n;
    }
    return value;
}

} // namespace

std::string GenerateIoPortCode(const IoPortSettings &settings)
{
    const int port = std::clamp(settings.port, 0, 3);
    const char letter = static_cast<char>('A' + port);
    char text[64];
    std::snprintf(text, sizeof text, "PORT%c = 0x%x ;\r\nDDR%c = 0x%x ;\r\n", letter,
        BitsValue(settings.pullUp), letter, BitsValue(settings.direction));
    return text;
}

} // namespace ostrel

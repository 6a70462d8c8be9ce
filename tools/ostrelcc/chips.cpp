#include "chips.h"

namespace ostrel::cc {

namespace {

// Sizes from the data sheets and avr-libc's io headers (RAMEND, XRAMEND, _VECTORS_SIZE).
// The ATmega603 is not known to avr-gcc; /c4 builds for the ATmega103, which has the same
// memory map apart from its larger flash.
const Chip kChips[] = {
    { "AT90S2313", "at90s2313", "/c1", 2048, 0x60, 0xDF, 128, 11 * 2, false, 0xDF, 0x35, 7, 6 },
    { "AT90S4414", "at90s4414", "/c2", 4096, 0x60, 0x15F, 256, 13 * 2, true, 0xFFFF, 0x35, 7, 6 },
    { "AT90S8515", "at90s8515", "/c3", 8192, 0x60, 0x25F, 512, 13 * 2, true, 0xFFFF, 0x35, 7, 6 },
    { "ATmega103", "atmega103", "/c4", 131072, 0x60, 0xFFF, 4096, 24 * 4, true, 0xFFFF, 0x35, 7,
        6 },
};

} // namespace

const Chip *ChipForOption(const std::string &word)
{
    for (const Chip &chip : kChips)
        if (word == chip.optionWord)
            return &chip;
    return nullptr;
}

const Chip &DefaultChip()
{
    return kChips[2];
}

} // namespace ostrel::cc

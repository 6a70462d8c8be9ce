#pragma once

#include <cstdint>
#include <string>

namespace ostrel::cc {

// What the compiler program needs to know about one target chip.
struct Chip
{
    const char *displayName; // "AT90S8515"
    const char *mcu; // avr-gcc's -mmcu name
    const char *optionWord; // "/c3"
    uint32_t flashBytes;
    uint32_t sramStart; // first internal SRAM address (data space)
    uint32_t ramEnd; // last internal SRAM address (RAMEND)
    uint32_t eepromBytes;
    uint32_t vectorBytes; // size of the interrupt vector table in bytes
    bool externalSram; // has the external memory interface (MCUCR SRE/SRW)
    uint32_t xramEnd; // last address reachable with external SRAM
    uint8_t mcucrIo; // I/O address of MCUCR
    uint8_t sreBit;
    uint8_t srwBit;

    uint32_t SramBytes() const { return ramEnd - sramStart + 1; }
};

// The four chips of the option words /c1 to /c4; nullptr for any other word.
const Chip *ChipForOption(const std::string &word);
// The chip of /c3, used when no chip word is given.
const Chip &DefaultChip();

} // namespace ostrel::cc

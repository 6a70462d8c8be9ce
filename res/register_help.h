#pragma once

#include <cstdint>

namespace ostrel {

// What a control of a register dialog stands for on the chip: a short tooltip that names the
// bit, and a longer "What's This" text.
struct RegisterHelp
{
    uint16_t dialog; // dialog resource id
    uint16_t control; // control id within that dialog
    const char *tooltip;
    const char *whatsThis;
};

// Dialog resource ids of the four register dialogs.
constexpr uint16_t kUartDialogId = 102;
constexpr uint16_t kIoPortDialogId = 137;
constexpr uint16_t kMcucrDialogId = 141;
constexpr uint16_t kInterruptMaskDialogId = 142;

// Null when the control has no help.
const RegisterHelp *FindRegisterHelp(uint16_t dialog, uint16_t control);

} // namespace ostrel

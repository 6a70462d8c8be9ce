#include "res/register_help.h"

namespace ostrel {

namespace {

constexpr RegisterHelp kHelp[] = {
    // Interrupt masks.
    { kInterruptMaskDialogId, 1062, "INT1: External interrupt request 1 enable (GIMSK bit 7)",
        "GIMSK bit 7, INT1. When set, and interrupts are enabled (the I bit in SREG), a level "
        "or edge on the INT1 pin raises an interrupt; MCUCR's ISC11 and ISC10 choose which." },
    { kInterruptMaskDialogId, 1063, "INT0: External interrupt request 0 enable (GIMSK bit 6)",
        "GIMSK bit 6, INT0. When set, and interrupts are enabled (the I bit in SREG), a level "
        "or edge on the INT0 pin raises an interrupt; MCUCR's ISC01 and ISC00 choose which." },
    { kInterruptMaskDialogId, 1064, "TOIE1: Timer/Counter1 overflow interrupt enable (TIMSK bit 7)",
        "TIMSK bit 7, TOIE1. When set, an overflow of Timer/Counter1 (TOV1 in TIFR) raises the "
        "Timer/Counter1 overflow interrupt." },
    { kInterruptMaskDialogId, 1065,
        "OCIE1A: Timer/Counter1 output compare A match interrupt enable (TIMSK bit 6)",
        "TIMSK bit 6, OCIE1A. When set, a match of Timer/Counter1 with OCR1A (OCF1A in TIFR) "
        "raises the compare A interrupt." },
    { kInterruptMaskDialogId, 1066,
        "OCIE1B: Timer/Counter1 output compare B match interrupt enable (TIMSK bit 5)",
        "TIMSK bit 5, OCIE1B. When set, a match of Timer/Counter1 with OCR1B (OCF1B in TIFR) "
        "raises the compare B interrupt." },
    { kInterruptMaskDialogId, 1067,
        "TICIE1: Timer/Counter1 input capture interrupt enable (TIMSK bit 3)",
        "TIMSK bit 3, TICIE1. When set, a capture event on the ICP pin (ICF1 in TIFR) raises the "
        "input capture interrupt; the counter value is then in ICR1." },
    { kInterruptMaskDialogId, 1068, "TOIE0: Timer/Counter0 overflow interrupt enable (TIMSK bit 1)",
        "TIMSK bit 1, TOIE0. When set, an overflow of Timer/Counter0 (TOV0 in TIFR) raises the "
        "Timer/Counter0 overflow interrupt." },

    // I/O port: the list, then direction bits 7 to 0, then data (pull-up) bits 7 to 0.
    { kIoPortDialogId, 1105, "The port whose PORTx and DDRx statements are generated",
        "Each port has a data register PORTx and a data direction register DDRx; Generate Code "
        "appends the two statements for the port chosen here." },
#define DIRECTION(id, n)                                                                           \
    {                                                                                              \
        kIoPortDialogId, id, "DDx" #n ": Data direction of pin " #n " (1 = output, 0 = input)",    \
            "DDRx bit " #n ". Checked, pin " #n                                                    \
            " of the port is an output and drives the level of "                                   \
            "PORTx bit " #n "; clear, it is an input, read through PINx."                          \
    }
    DIRECTION(1106, 7),
    DIRECTION(1107, 6),
    DIRECTION(1108, 5),
    DIRECTION(1088, 4),
    DIRECTION(1089, 3),
    DIRECTION(1090, 2),
    DIRECTION(1091, 1),
    DIRECTION(1092, 0),
#undef DIRECTION
#define PULL_UP(id, n)                                                                             \
    {                                                                                              \
        kIoPortDialogId, id,                                                                       \
            "PORTx" #n ": Pull-up of input pin " #n " (level of output pin " #n ")",               \
            "PORTx bit " #n                                                                        \
            ". For an input pin, 1 switches the internal pull-up resistor on; for an "             \
            "output pin, it is the level the pin drives (1 high, 0 low)."                          \
    }
    PULL_UP(1022, 7),
    PULL_UP(1023, 6),
    PULL_UP(1024, 5),
    PULL_UP(1025, 4),
    PULL_UP(1026, 3),
    PULL_UP(1027, 2),
    PULL_UP(1028, 1),
    PULL_UP(1029, 0),
#undef PULL_UP

    // MCU control register.
    { kMcucrDialogId, 1085, "SRE: External SRAM enable (MCUCR bit 7)",
        "MCUCR bit 7, SRE. When set, data memory beyond the internal SRAM is accessed over the "
        "external memory interface, which takes over ports A and C and the RD and WR pins." },
    { kMcucrDialogId, 1086, "SRW: External SRAM wait state (MCUCR bit 6)",
        "MCUCR bit 6, SRW. When set, every access to external SRAM takes one extra wait state, "
        "for memory slower than the chip's clock allows." },
    { kMcucrDialogId, 1110, "SM: Sleep mode (MCUCR bit 4): Idle or Power Down",
        "MCUCR bit 4, SM. Chooses the mode that the SLEEP instruction enters: 0 Idle (the CPU "
        "stops, timers, UART and interrupts go on), 1 Power Down (only a reset, the watchdog or "
        "a level interrupt on INT0 or INT1 wakes the chip). SLEEP works only with SE (bit 5) set, "
        "which this dialog "
        "leaves clear." },
    { kMcucrDialogId, 1111, "ISC01, ISC00: Interrupt sense control 0 (MCUCR bits 1 and 0)",
        "MCUCR bits 1 and 0, ISC01 and ISC00. What on the INT0 pin raises external interrupt 0: "
        "a low level (00), a falling edge (10) or a rising edge (11). It takes effect when INT0 "
        "is enabled in GIMSK." },
    { kMcucrDialogId, 1108, "ISC11, ISC10: Interrupt sense control 1 (MCUCR bits 3 and 2)",
        "MCUCR bits 3 and 2, ISC11 and ISC10. What on the INT1 pin raises external interrupt 1: "
        "a low level (00), a falling edge (10) or a rising edge (11). It takes effect when INT1 "
        "is enabled in GIMSK." },

    // UART.
    { kUartDialogId, 1000, "The chip's clock frequency in MHz, for the baud-rate register UBRR",
        "UBRR = clock / (16 x baud rate) - 1, truncated. The baud rate really reached and its "
        "error are shown below the baud-rate list." },
    { kUartDialogId, 1001, "UBRR: UART baud rate register (8 bits)",
        "The baud rate sets UBRR, the UART baud rate register. It holds 8 bits, so a divisor "
        "above 255 cannot be set on these chips." },
    { kUartDialogId, 1002, "RXCIE: RX complete interrupt enable (UCR bit 7)",
        "UCR bit 7, RXCIE. When set, a received character (RXC in USR) raises the UART receive "
        "complete interrupt." },
    { kUartDialogId, 1003, "TXCIE: TX complete interrupt enable (UCR bit 6)",
        "UCR bit 6, TXCIE. When set, the end of a transmission with nothing more to send (TXC in "
        "USR) raises the UART transmit complete interrupt." },
    { kUartDialogId, 1004, "UDRIE: UART data register empty interrupt enable (UCR bit 5)",
        "UCR bit 5, UDRIE. When set, an empty transmit buffer (UDRE in USR) raises the UART data "
        "register empty interrupt, ready for the next character in UDR." },
    { kUartDialogId, 1005, "RXEN: Receiver enable (UCR bit 4)",
        "UCR bit 4, RXEN. When set, the UART receiver runs and the RXD pin is its input." },
    { kUartDialogId, 1006, "TXEN: Transmitter enable (UCR bit 3)",
        "UCR bit 3, TXEN. When set, the UART transmitter runs and the TXD pin is its output." },
    { kUartDialogId, 1007, "CHR9: 9-bit characters (UCR bit 2)",
        "UCR bit 2, CHR9. When set, characters are 9 bits long: the ninth is received in RXB8 "
        "and sent from TXB8. The generated value also sets bit 1 (RXB8), which the chip only "
        "reads out." },
    { kUartDialogId, 1016, "TXB8: Transmit data bit 8 (UCR bit 0)",
        "UCR bit 0, TXB8. The ninth bit of the next character sent, when CHR9 selects 9-bit "
        "characters." },
};

} // namespace

const RegisterHelp *FindRegisterHelp(uint16_t dialog, uint16_t control)
{
    for (const RegisterHelp &help : kHelp)
        if (help.dialog == dialog && help.control == control)
            return &help;
    return nullptr;
}

} // namespace ostrel

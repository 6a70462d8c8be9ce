// Clock texts as typed into the UART dialog: any bytes must read without undefined behaviour,
// and a clock that is not a positive number must give a baud-rate register of 0.
#include "codegen/baud_figures.h"
#include "codegen/uart_settings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const double megahertz = ostrel::ReadClockMegahertz(text);
    for (const char *baud : ostrel::kUartBaudRates) {
        const uint32_t ubrr = ostrel::ComputeUbrr(text, baud);
        if (!(megahertz > 0.0) && ubrr != 0)
            __builtin_trap();
        // Figures, when shown, are those of the divisor that the generated code sets.
        if (const auto figures = ostrel::ComputeBaudFigures(text, baud)) {
            if (figures->verdict != ostrel::BaudVerdict::OutOfRange
                && static_cast<uint32_t>(figures->ubrr) != ubrr)
                __builtin_trap();
            ostrel::DescribeBaudFigures(*figures);
        }
    }
    // The same bytes as a baud-rate text, against a fixed clock.
    ostrel::ComputeUbrr("4", text);
    ostrel::UartSettings settings;
    settings.clockText.assign(text);
    if (ostrel::GenerateUartCode(settings).size() > 64)
        __builtin_trap();
    return 0;
}

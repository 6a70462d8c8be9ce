#include "codegen/mcucr_settings.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

struct McucrCase
{
    const char *name;
    McucrSettings settings;
    const char *code;
};

void PrintTo(const McucrCase &c, std::ostream *os)
{
    *os << c.name;
}

class McucrCodeTest : public ::testing::TestWithParam<McucrCase>
{
};

TEST_P(McucrCodeTest, Text)
{
    EXPECT_EQ(GenerateMcucrCode(GetParam().settings), GetParam().code);
}

// Fields: sre, srw, sleepMode, sense0, sense1.
INSTANTIATE_TEST_SUITE_P(Table, McucrCodeTest,
    ::testing::Values(McucrCase { "defaults", {}, "MCUCR = 0x0;\r\n" },
        McucrCase { "sre", { true, false, 0, 0, 0 }, "MCUCR = 0x80;\r\n" },
        McucrCase { "srw", { false, true, 0, 0, 0 }, "MCUCR = 0x40;\r\n" },
        McucrCase { "power_down", { false, false, 1, 0, 0 }, "MCUCR = 0x10;\r\n" },
        McucrCase { "power_down_int0_falling", { false, false, 1, 1, 0 }, "MCUCR = 0x12;\r\n" },
        McucrCase { "int0_rising", { false, false, 0, 2, 0 }, "MCUCR = 0x3;\r\n" },
        McucrCase { "int1_falling", { false, false, 0, 0, 1 }, "MCUCR = 0x8;\r\n" },
        McucrCase { "int1_rising", { false, false, 0, 0, 2 }, "MCUCR = 0xc;\r\n" },
        McucrCase { "highest", { true, true, 1, 2, 2 }, "MCUCR = 0xdf;\r\n" },
        // Indexes no list offers stay inside their own bits.
        McucrCase { "sense_out_of_range", { false, false, 0, 3, -1 }, "MCUCR = 0x0;\r\n" },
        McucrCase { "sleep_mode_not_0_or_1", { false, false, 5, 0, 0 }, "MCUCR = 0x10;\r\n" }),
    [](const auto &info) {
        return std::string(info.param.name);
    });

} // namespace
} // namespace ostrel

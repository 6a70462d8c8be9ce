#include "codegen/io_port_settings.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

// Bits given as a mask, bit n of the mask -> flag n.
std::array<bool, 8> Bits(unsigned mask)
{
    std::array<bool, 8> bits {};
    for (unsigned n = 0; n < 8; ++n)
        bits[n] = (mask >> n) & 1u;
    return bits;
}

struct PortCase
{
    const char *name;
    int port;
    unsigned pullUp;
    unsigned direction;
    const char *code;
};

void PrintTo(const PortCase &c, std::ostream *os)
{
    *os << c.name;
}

class IoPortCodeTest : public ::testing::TestWithParam<PortCase>
{
};

TEST_P(IoPortCodeTest, Text)
{
    const PortCase &c = GetParam();
    EXPECT_EQ(GenerateIoPortCode({ c.port, Bits(c.pullUp), Bits(c.direction) }), c.code);
}

INSTANTIATE_TEST_SUITE_P(Table, IoPortCodeTest,
    ::testing::Values(
        // Zero is the single digit 0, never "0x00".
        PortCase { "a_clear", 0, 0x00, 0x00, "PORTA = 0x0 ;\r\nDDRA = 0x0 ;\r\n" },
        PortCase { "b_mixed", 1, 0x03, 0xf0, "PORTB = 0x3 ;\r\nDDRB = 0xf0 ;\r\n" },
        PortCase { "c_single_high_bits", 2, 0x80, 0x40, "PORTC = 0x80 ;\r\nDDRC = 0x40 ;\r\n" },
        PortCase { "d_all", 3, 0xff, 0xff, "PORTD = 0xff ;\r\nDDRD = 0xff ;\r\n" },
        PortCase { "low_bits_no_leading_zero", 0, 0x01, 0x02, "PORTA = 0x1 ;\r\nDDRA = 0x2 ;\r\n" },
        PortCase { "index_below_range", -1, 0, 0, "PORTA = 0x0 ;\r\nDDRA = 0x0 ;\r\n" },
        PortCase { "index_above_range", 9, 0, 0, "PORTD = 0x0 ;\r\nDDRD = 0x0 ;\r\n" }),
    [](const auto &info) {
        return std::string(info.param.name);
    });

TEST(IoPortCode, EachFlagIsItsOwnBit)
{
    for (unsigned n = 0; n < 8; ++n) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "PORTA = 0x%x ;\r\nDDRA = 0x%x ;\r\n", 1u << n,
            0xffu & ~(1u << n));
        EXPECT_EQ(GenerateIoPortCode({ 0, Bits(1u << n), Bits(0xffu & ~(1u << n)) }), expected)
            << "bit " << n;
    }
}

} // namespace
} // namespace ostrel

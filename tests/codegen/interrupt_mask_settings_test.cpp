#include "codegen/interrupt_mask_settings.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

struct MaskCase
{
    const char *name;
    InterruptMaskSettings settings;
    const char *code;
};

void PrintTo(const MaskCase &c, std::ostream *os)
{
    *os << c.name;
}

InterruptMaskSettings Only(bool InterruptMaskSettings::*flag)
{
    InterruptMaskSettings s;
    s.*flag = true;
    return s;
}

InterruptMaskSettings All()
{
    return { true, true, true, true, true, true, true };
}

class InterruptMaskCodeTest : public ::testing::TestWithParam<MaskCase>
{
};

TEST_P(InterruptMaskCodeTest, Text)
{
    EXPECT_EQ(GenerateInterruptMaskCode(GetParam().settings), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Table, InterruptMaskCodeTest,
    ::testing::Values(MaskCase { "none", {}, "GIMSK = 0x00 ;\r\nTIMSK = 0x00 ;\r\n" },
        MaskCase { "all", All(), "GIMSK = 0xc0 ;\r\nTIMSK = 0xea ;\r\n" },
        MaskCase { "int0_toie0", { false, true, false, false, false, false, true },
            "GIMSK = 0x40 ;\r\nTIMSK = 0x02 ;\r\n" },
        MaskCase {
            "int1", Only(&InterruptMaskSettings::int1), "GIMSK = 0x80 ;\r\nTIMSK = 0x00 ;\r\n" },
        MaskCase {
            "int0", Only(&InterruptMaskSettings::int0), "GIMSK = 0x40 ;\r\nTIMSK = 0x00 ;\r\n" },
        MaskCase {
            "toie1", Only(&InterruptMaskSettings::toie1), "GIMSK = 0x00 ;\r\nTIMSK = 0x80 ;\r\n" },
        MaskCase { "ocie1a", Only(&InterruptMaskSettings::ocie1a),
            "GIMSK = 0x00 ;\r\nTIMSK = 0x40 ;\r\n" },
        MaskCase { "ocie1b", Only(&InterruptMaskSettings::ocie1b),
            "GIMSK = 0x00 ;\r\nTIMSK = 0x20 ;\r\n" },
        // Input capture is bit 3, not bit 4.
        MaskCase { "ticie1", Only(&InterruptMaskSettings::ticie1),
            "GIMSK = 0x00 ;\r\nTIMSK = 0x08 ;\r\n" },
        // Leading zero kept: never "0x2".
        MaskCase {
            "toie0", Only(&InterruptMaskSettings::toie0), "GIMSK = 0x00 ;\r\nTIMSK = 0x02 ;\r\n" }),
    [](const auto &info) {
        return std::string(info.param.name);
    });

} // namespace
} // namespace ostrel

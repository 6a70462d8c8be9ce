#include "compile/message_navigation.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(MessageNavigation, StepsWrapAtBothEnds)
{
    const std::vector<int> rows = { 1, 3, 4 };
    // current row, one step forward, one step back
    const int cases[][3] = { { -1, 1, 4 }, { 2, 3, 1 }, { 3, 4, 1 }, { 4, 1, 3 } };
    for (const auto &c : cases) {
        EXPECT_EQ(StepMessageRow(rows, c[0], true), c[1]) << c[0];
        EXPECT_EQ(StepMessageRow(rows, c[0], false), c[2]) << c[0];
    }
    EXPECT_EQ(StepMessageRow({}, 2, true), -1);
}

} // namespace
} // namespace ostrel

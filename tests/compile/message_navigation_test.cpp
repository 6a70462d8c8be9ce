#include "compile/message_navigation.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(MessageNavigation, MessagesThatMarkALineWithTheirKind)
{
    const std::vector<std::string> entries = {
        "Compiling MAIN.C",
        "Error  MAIN.C(12): 'counter' undeclared",
        "Warning UART.C(2): Error handling is missing", // the first word decides
        "In MAIN.C(4): Error here, said the checker",
        "Warning MAIN.C(0): no line to mark",
        "1 error(s), 2 warning(s)",
    };
    const auto messages = LineMessages(entries);
    ASSERT_EQ(messages.size(), 3u);
    const std::tuple<std::string, int32_t, MessageKind, std::string> expected[] = {
        { "MAIN.C", 11, MessageKind::Error, entries[1] },
        { "UART.C", 1, MessageKind::Warning, entries[2] },
        { "MAIN.C", 3, MessageKind::Error, entries[3] },
    };
    for (size_t i = 0; i < messages.size(); ++i)
        EXPECT_EQ(std::tie(messages[i].file, messages[i].line, messages[i].kind, messages[i].text),
            expected[i]);
}

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

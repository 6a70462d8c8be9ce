#include "build/message_navigation.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(MessageNavigation, MessagesThatMarkALineWithTheirKind)
{
    const std::vector<std::string> entries = {
        "Compiling MAIN.C",
        "Error  MAIN.C(12): 'counter' undeclared",
        "Warning UART.C(1): unused variable 'x'",
        "Warning UART.C(2): Error handling is missing", // the first word decides
        "In MAIN.C(4): Error here, said the checker",
        "Warning MAIN.C(0): no line to mark",
        "Error MAIN.C(abc): no number here",
        "1 error(s), 2 warning(s)",
    };
    const auto messages = LineMessages(entries);
    struct Expected
    {
        std::string file;
        int32_t line;
        MessageKind kind;
        size_t entry;
    };
    const std::vector<Expected> expected = {
        { "MAIN.C", 11, MessageKind::Error, 1 },
        { "UART.C", 0, MessageKind::Warning, 2 },
        { "UART.C", 1, MessageKind::Warning, 3 },
        { "MAIN.C", 3, MessageKind::Error, 4 },
    };
    ASSERT_EQ(messages.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(messages[i].file, expected[i].file);
        EXPECT_EQ(messages[i].line, expected[i].line);
        EXPECT_EQ(messages[i].kind, expected[i].kind);
        EXPECT_EQ(messages[i].text, entries[expected[i].entry]);
    }
}

TEST(MessageNavigation, StepsWrapAtBothEnds)
{
    const std::vector<int> rows = { 1, 3, 4 };
    struct Case
    {
        int current;
        int forward;
        int back;
    };
    const Case cases[] = {
        { -1, 1, 4 }, // nothing chosen yet
        { 0, 1, 4 }, // a line that is not a message
        { 1, 3, 4 },
        { 2, 3, 1 },
        { 3, 4, 1 },
        { 4, 1, 3 },
        { 9, 1, 4 },
    };
    for (const Case &c : cases) {
        EXPECT_EQ(StepMessageRow(rows, c.current, true), c.forward) << c.current;
        EXPECT_EQ(StepMessageRow(rows, c.current, false), c.back) << c.current;
    }
    EXPECT_EQ(StepMessageRow({}, 2, true), -1);
    EXPECT_EQ(StepMessageRow({}, 2, false), -1);
    EXPECT_EQ(StepMessageRow({ 5 }, 5, true), 5);
}

} // namespace
} // namespace ostrel

#include "compile/message_line.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace ostrel {
namespace {

struct LineCase
{
    const char *name;
    std::string entry;
    bool navigable;
    std::optional<MessageLocation> location;
};

TEST(MessageLine, EntriesAreTakenApartByPosition)
{
    const std::string longPath = "/" + std::string(298, 'p') + ".c";
    const std::vector<LineCase> cases = {
        { "two blanks", "Error  MAIN.C(12): x undeclared", true, MessageLocation { "MAIN.C", 12 } },
        { "warning", "Warning UART.C(7): unused variable", true, MessageLocation { "UART.C", 7 } },
        { "note", "Note UART.C(3): includes uart.h", true, MessageLocation { "UART.C", 3 } },
        { "19 characters", "Error MAIN.C(1): ab", false, std::nullopt },
        { "20 characters", "Error MAIN.C(1): abc", true, MessageLocation { "MAIN.C", 1 } },
        { "plural word alone", "Warnings: MAIN.C(3) three of them", false, std::nullopt },
        { "keyword anywhere", "In MAIN.C(4): Error here", true, MessageLocation { "MAIN.C", 4 } },
        { "leading blanks", "  Error MAIN.C(5): bad thing", true,
            MessageLocation { "Error MAIN.C", 5 } },
        { "blank before (", "Error MAIN.C (6): bad thing", true, MessageLocation { "MAIN.C ", 6 } },
        { "signs and blanks", "Error MAIN.C( -8): negative", true,
            MessageLocation { "MAIN.C", -8 } },
        { "plus sign", "Error MAIN.C(+9): positive", true, MessageLocation { "MAIN.C", 9 } },
        { "junk after digits", "Error MAIN.C(10abc): junk", true,
            MessageLocation { "MAIN.C", 10 } },
        { "no digits", "Error MAIN.C(abc): junk text", true, std::nullopt },
        { "sign alone", "Error MAIN.C(-): junk text", true, std::nullopt },
        { "beyond 32 bits", "Error MAIN.C(99999999999): x", true, std::nullopt },
        { "no parentheses", "Error MAIN.C line 12: bad thing", true, std::nullopt },
        { "no close", "Error MAIN.C(12: bad thing here", true, std::nullopt },
        { "close first", "Error MAIN.C)12( bad thing here", true, std::nullopt },
        { "empty file name", "Error (12): bad thing happened", true, std::nullopt },
        { "( before the name", "x(3) Error MAIN.C(12): bad thing", true, std::nullopt },
        { "300-character path", "Error " + longPath + "(42): too long", true,
            MessageLocation { longPath, 42 } },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IsNavigable(c.entry), c.navigable) << c.name;
        const auto location = ParseMessageLocation(c.entry);
        ASSERT_EQ(location.has_value(), c.location.has_value()) << c.name;
        if (location) {
            EXPECT_EQ(location->file, c.location->file) << c.name;
            EXPECT_EQ(location->line, c.location->line) << c.name;
        }
    }
}

TEST(MessageLine, RelativeNamesFallBackToTheMessageFilesDirectory)
{
    test::TempDir current, messages;
    test::WriteText(current.File("HERE.C"), "");
    test::WriteText(current.File("BOTH.C"), "");
    test::WriteText(messages.File("BOTH.C"), "");
    test::WriteText(messages.File("THERE.C"), "");
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(current.Path());
    const std::string dir = messages.Path().string() + "/";

    EXPECT_EQ(ResolveMessageFile("HERE.C", dir), current.File("HERE.C"));
    EXPECT_EQ(ResolveMessageFile("BOTH.C", dir), current.File("BOTH.C"));
    EXPECT_EQ(ResolveMessageFile("THERE.C", dir), dir + "THERE.C");
    EXPECT_EQ(ResolveMessageFile("NOWHERE.C", dir), current.File("NOWHERE.C"));
    EXPECT_EQ(ResolveMessageFile(dir + "X.C", "/elsewhere/"), dir + "X.C");
    std::filesystem::current_path(before);
}

} // namespace
} // namespace ostrel

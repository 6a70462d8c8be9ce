#include "contract/compiler_contract.h"

#include "compile/message_line.h"

#include <gtest/gtest.h>

namespace ostrel::contract {
namespace {

TEST(CompilerContract, MessageFileInAnyCase)
{
    for (const char *path : { "output.err", "/p/OUTPUT.ERR", "C:\\p\\Output.Err", "/x/oUtPuT.eRr" })
        EXPECT_TRUE(IsMessageFile(path)) << path;
    for (const char *path : { "/p/output.err.bak", "/p/output.er", "/output.err/MAIN.C", "" })
        EXPECT_FALSE(IsMessageFile(path)) << path;
}

// What the compiler program writes, the output window takes apart again: the same file and
// line; a line without a place is never followed.
TEST(CompilerContract, MessageLinesReadBackOnTheIdeSide)
{
    const struct
    {
        std::string_view word;
        std::string file;
        int line;
    } cases[] = {
        { kErrorWord, "/p/MAIN.C", 12 }, { kWarningWord, "/my work/A B.C", 1 },
        { kWarningWord, "X.C", 7 }, // shorter than a followed line must be: padded
    };
    for (const auto &c : cases) {
        const std::string entry = PlacedMessageLine(c.word, c.file, c.line, "x");
        SCOPED_TRACE(entry);
        EXPECT_GE(entry.size(), kShortestMessageLine);
        const auto location = ParseMessageLocation(entry);
        ASSERT_TRUE(location.has_value());
        EXPECT_EQ(location->file, c.file);
        EXPECT_EQ(location->line, c.line);
    }
    EXPECT_EQ(UnplacedMessageLine(kErrorWord, "no C file"), "Error: no C file    ");
    EXPECT_FALSE(ParseMessageLocation(UnplacedMessageLine(kErrorWord, "no C file (x)")));
}

} // namespace
} // namespace ostrel::contract

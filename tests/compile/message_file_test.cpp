#include "compile/message_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

using Lines = std::vector<std::string>;

TEST(MessageFile, EveryLineWholeWithoutItsLineEnd)
{
    const std::string longLine(150, 'x');
    const std::vector<std::pair<std::string, Lines>> cases = {
        { "", {} },
        { "a\r\nb\r\n", { "a", "b" } },
        { "a\nb", { "a", "b" } },
        { "\n\r\n", { "", "" } },
        { "cr\ralone\n", { "cr\ralone" } },
        { longLine + "\n" + longLine, { longLine, longLine } },
    };
    for (const auto &[text, lines] : cases)
        EXPECT_EQ(SplitMessageLines(text), lines) << text;
}

TEST(MessageFile, OnlyAReadableRegularFileIsRead)
{
    test::TempDir dir;
    test::WriteText(dir.File("OUTPUT.ERR"), "Error  MAIN.C(12): x\r\n0 errors");
    const MessageFile file = ReadMessageFile(dir.File("OUTPUT.ERR"));
    EXPECT_EQ(file.status, MessageFileStatus::Ok);
    EXPECT_EQ(file.lines, (Lines { "Error  MAIN.C(12): x", "0 errors" }));

    for (const std::string &path : { std::string(), dir.File("MISSING.ERR"), dir.Path().string() })
        EXPECT_EQ(ReadMessageFile(path).status, MessageFileStatus::CannotOpen) << path;
}

} // namespace
} // namespace ostrel

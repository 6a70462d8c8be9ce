#include "compile/message_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
        { "cr\ralone\r", { "cr", "alone" } },
        { "a\r\r\nb", { "a", "", "b" } },
        { longLine + "\n" + longLine, { longLine, longLine } },
    };
    for (const auto &[text, lines] : cases) {
        EXPECT_EQ(SplitMessageLines(text), lines) << text;
        // The same text read in pieces of one byte: a CR LF may be split between reads.
        MessageLineSplitter splitter;
        for (const char c : text)
            splitter.Feed(std::string_view(&c, 1));
        EXPECT_EQ(splitter.Finish(), lines) << text;
    }
}

TEST(MessageFile, ReadingStopsAtTheLimitsAndSaysWhatWasLeftOut)
{
    test::TempDir dir;
    const std::string path = dir.File("OUTPUT.ERR");
    struct Case
    {
        std::string text;
        MessageFileLimits limits;
        Lines lines;
    };
    const Case cases[] = {
        { "a\nb\nc\nd\n", { 2, 100 },
            { "a", "b",
                "... 4 more bytes of the message file are not listed (at most 2 lines and "
                "100 bytes are read)." } },
        { "a\nb\n", { 2, 100 }, { "a", "b" } },
        { std::string(5000, '\0'), { 10, 1000 },
            { std::string(1000, '\0'),
                "... 4,000 more bytes of the message file are not listed (at most 10 lines and "
                "1,000 bytes are read)." } },
    };
    for (const Case &c : cases) {
        test::WriteText(path, c.text);
        const MessageFile file = ReadMessageFile(path, c.limits);
        EXPECT_EQ(file.status, MessageFileStatus::Ok);
        EXPECT_EQ(file.lines, c.lines) << c.text.substr(0, 10);
    }
}

TEST(MessageFile, OnlyAReadableRegularFileIsReadAndAFailureSaysWhy)
{
    test::TempDir dir;
    test::WriteText(dir.File("OUTPUT.ERR"), "Error  MAIN.C(12): x\r\n0 errors");
    const MessageFile file = ReadMessageFile(dir.File("OUTPUT.ERR"));
    EXPECT_EQ(file.status, MessageFileStatus::Ok);
    EXPECT_EQ(file.lines, (Lines { "Error  MAIN.C(12): x", "0 errors" }));

    ASSERT_EQ(mkfifo(dir.File("FIFO").c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        { "", "No compile has run yet." }, { dir.File("MISSING.ERR"), "No such file or directory" },
        { dir.Path().string(), "Is a directory" },
        { dir.File("FIFO"), "Not a regular file" }, // and nothing waits for a writer
    };
    for (const auto &[path, reason] : cases) {
        const MessageFile failed = ReadMessageFile(path);
        EXPECT_EQ(failed.status, MessageFileStatus::CannotOpen) << path;
        EXPECT_EQ(failed.reason, reason) << path;
    }
}

TEST(MessageFile, ALongEntryIsCutForShowingAndWholeInItsTip)
{
    EXPECT_EQ(ShownEntry("short"), "short");
    EXPECT_EQ(EntryTip(std::string(kShownEntryLength, 'x')), "");

    // "é" is two bytes; the cut falls between them and moves before the character.
    const std::string entry = std::string(kShownEntryLength - 1, 'x') + "\xC3\xA9" + "tail";
    EXPECT_EQ(
        ShownEntry(entry), std::string(kShownEntryLength - 1, 'x') + " ... (6 more characters)");
    const std::string tip = EntryTip(entry);
    std::string joined;
    for (const char c : tip)
        if (c != '\n')
            joined += c;
    EXPECT_EQ(joined, entry);
    EXPECT_EQ(tip.find('\n'), 200u);

    const std::string huge(1'000'000, 'z');
    EXPECT_LT(EntryTip(huge).size(), 110'000u);
    EXPECT_NE(EntryTip(huge).find("... (900,000 more characters)"), std::string::npos);
}

} // namespace
} // namespace ostrel

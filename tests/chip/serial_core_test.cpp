#include "chip/serial_log.h"
#include "chip/serial_render.h"
#include "chip/serial_send.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

struct RenderCase
{
    const char *name;
    SerialViewOptions options;
    std::string bytes;
    std::string shown;
};

SerialViewOptions Text(SerialLineBreak lineBreak, bool showLineEnds = false,
    SerialUnprintable unprintable = SerialUnprintable::Escape)
{
    return { SerialView::Text, lineBreak, showLineEnds, unprintable, false };
}

class SerialRenderTest : public testing::TestWithParam<RenderCase>
{
};

// Each case is rendered whole and also one byte per piece: state that does not carry over
// between reads (a CR LF split in two) shows up as a difference.
TEST_P(SerialRenderTest, ShowsBytesTheSameWayWholeOrByteByByte)
{
    const RenderCase &c = GetParam();
    SerialRenderer whole(c.options);
    const std::string shownWhole = whole.Feed(c.bytes, 0);
    EXPECT_EQ(shownWhole + whole.Finish(), c.shown);
    SerialRenderer pieces(c.options);
    std::string shown;
    for (char byte : c.bytes)
        shown += pieces.Feed(std::string_view(&byte, 1), 0);
    EXPECT_EQ(shown + pieces.Finish(), c.shown);
}

using B = SerialLineBreak;
INSTANTIATE_TEST_SUITE_P(Cases, SerialRenderTest,
    testing::Values(RenderCase { "AnyEndsOnceForCrLf", Text(B::Any), "a\r\nb\rc\nd", "a\nb\nc\nd" },
        RenderCase { "AnyBlankLines", Text(B::Any), "\r\n\r\n\n\r", "\n\n\n\n" },
        RenderCase { "LfHidesCr", Text(B::Lf), "a\r\nb\rc", "a\nbc" },
        RenderCase { "CrHidesLf", Text(B::Cr), "a\r\nb\nc\r", "a\nbc\n" },
        RenderCase { "ShownLineEnds", Text(B::Any, true), "a\r\nb\n\r", "a\\r\\n\nb\\n\n\\r\n" },
        RenderCase { "ShownLfInCrMode", Text(B::Cr, true), "a\nb\r", "a\\nb\\r\n" },
        RenderCase { "EscapesUnprintable", Text(B::Lf), std::string("\\\t\x00\x7f\xff", 5),
            "\\\\\t\\x00\\x7F\\xFF" },
        RenderCase { "DotsUnprintable", Text(B::Lf, false, SerialUnprintable::Dot),
            std::string("\\\x01\x80z", 4), "\\..z" },
        RenderCase { "HexLineWithPrintableColumn", { SerialView::Hex }, "AB\r\n\x7f",
            "41 42 0D 0A 7F " + std::string(11 * 3 + 1, ' ') + "|AB...|" },
        RenderCase { "HexFullLineEnds", { SerialView::Hex }, "0123456789abcdefg",
            "30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66  |0123456789abcdef|\n"
            "67 "
                + std::string(15 * 3 + 1, ' ') + "|g|" }),
    [](const auto &info) {
        return std::string(info.param.name);
    });

TEST(SerialRenderer, TimestampsTakeTheTimeOfEachLinesFirstByte)
{
    SerialViewOptions options;
    options.timestamps = true;
    SerialRenderer renderer(options);
    std::string shown = renderer.Feed("ab\r", 3723004); // 01:02:03.004
    shown += renderer.Feed("\ncd\n", 86399999);
    EXPECT_EQ(shown, "[01:02:03.004] ab\n[23:59:59.999] cd\n");
}

TEST(SerialRenderer, BreaksOverlongLinesAndEndsThePartialLineBeforeANote)
{
    SerialRenderer renderer;
    const std::string shown = renderer.Feed(std::string(kSerialMaxLineBytes + 1, 'x'), 0);
    EXPECT_EQ(shown, std::string(kSerialMaxLineBytes, 'x') + "\nx");
    EXPECT_EQ(renderer.Note("Closed", 0), "\n--- Closed ---\n");
    EXPECT_EQ(renderer.Feed("y", 0), "y");
}

TEST(SerialLog, KeepsExactlyTheLastBytesWithinItsLimit)
{
    SerialLog log(10);
    std::string sent;
    for (int i = 0; i < 7; ++i) {
        const std::string piece(static_cast<size_t>(i), static_cast<char>('a' + i));
        log.Append(piece, i % 2); // pieces of one millisecond share a chunk
        log.AppendNote("note", 0);
        sent += piece;
    }
    EXPECT_EQ(log.ReceivedBytes(), sent.size());
    EXPECT_EQ(log.Kept(), sent.substr(sent.size() - 10));
    log.Append(std::string(25, 'z'), 5);
    EXPECT_EQ(log.Kept(), std::string(10, 'z'));
}

TEST(SerialLog, RendersNotesBetweenTheBytesAndCompletesTheLastLine)
{
    SerialLog log;
    log.Append("ab", 0);
    log.AppendNote("Port gone", 0);
    log.Append("c\r", 0);
    EXPECT_EQ(log.Render({}), "ab\n--- Port gone ---\nc\n");
    EXPECT_EQ(LastLines("1\n2\n3\n", 2), "2\n3\n");
    EXPECT_EQ(LastLines("1\n2", 5), "1\n2");
}

TEST(SendLineBytes, TurnsEscapesIntoBytesAndLeavesOtherBackslashes)
{
    EXPECT_EQ(SendLineBytes("a\\r\\n\\t\\0\\\\\\x41\\xfF"), std::string("a\r\n\t\0\\A\xff", 8));
    EXPECT_EQ(SendLineBytes("C:\\path \\x4 \\xg1 end\\"), "C:\\path \\x4 \\xg1 end\\");
    EXPECT_EQ(std::string(LineEndBytes(SerialLineEnd::CrLf)), "\r\n");
}

TEST(SendHistory, BrowsesBackAndForthAndGivesBackTheTypedLine)
{
    SendHistory history;
    for (const char *line : { "one", "two", "two", "" })
        history.Add(line);
    EXPECT_EQ(history.Entries(), (std::vector<std::string> { "one", "two" }));
    EXPECT_EQ(history.Down(), std::nullopt);
    EXPECT_EQ(history.Up("draft"), "two");
    EXPECT_EQ(history.Up("two"), "one");
    EXPECT_EQ(history.Up("one"), std::nullopt);
    EXPECT_EQ(history.Down(), "two");
    EXPECT_EQ(history.Down(), "draft");
    EXPECT_EQ(history.Down(), std::nullopt);
    for (int i = 0; i < 150; ++i)
        history.Add(std::to_string(i));
    EXPECT_EQ(history.Entries().size(), SendHistory::kMaxEntries);
    EXPECT_EQ(history.Entries().front(), "50");
}

} // namespace
} // namespace ostrel

#include "codegen/baud_figures.h"

#include <gtest/gtest.h>

#include <string>

namespace ostrel {
namespace {

struct FiguresCase
{
    const char *name;
    const char *clock;
    const char *baud;
    const char *figures; // empty: nothing is shown
    const char *verdict;
};

void PrintTo(const FiguresCase &c, std::ostream *os)
{
    *os << c.name;
}

class BaudFiguresTest : public ::testing::TestWithParam<FiguresCase>
{
};

TEST_P(BaudFiguresTest, Texts)
{
    const FiguresCase &c = GetParam();
    const auto figures = ComputeBaudFigures(c.clock, c.baud);
    if (std::string(c.figures).empty()) {
        EXPECT_FALSE(figures.has_value());
        return;
    }
    ASSERT_TRUE(figures.has_value());
    const BaudFigureTexts texts = DescribeBaudFigures(*figures);
    EXPECT_EQ(texts.figures, c.figures);
    EXPECT_EQ(texts.verdict, c.verdict);
}

constexpr const char *kTooFar = "too far off for reliable communication";

INSTANTIATE_TEST_SUITE_P(Table, BaudFiguresTest,
    ::testing::Values(
        FiguresCase { "mhz4_9600", "4", "9600", "UBRR 25 gives 9615 baud, error +0.2 %", "good" },
        FiguresCase { "exact", "3.6864", "115200", "UBRR 1 gives 115200 baud, exact", "good" },
        FiguresCase { "usable", "7", "9600", "UBRR 44 gives 9722 baud, error +1.3 %", "usable" },
        FiguresCase { "too_far", "16", "57600", "UBRR 16 gives 58824 baud, error +2.1 %", kTooFar },
        // Faster than the clock allows: the register is 0 and the rate far too slow.
        FiguresCase {
            "too_fast", "0.1", "19200", "UBRR 0 gives 6250 baud, error -67.4 %", kTooFar },
        FiguresCase { "register_full", "16", "300",
            "UBRR 3332 is out of range for the chip (8 bits, at most 255)",
            "the lowest baud rate at 16 MHz is 3906" },
        FiguresCase {
            "last_in_range", "4", "976", "UBRR 255 gives 977 baud, error +0.1 %", "good" },
        FiguresCase {
            "unit_and_blanks", " 4 MHz ", "9600", "UBRR 25 gives 9615 baud, error +0.2 %", "good" },
        // Texts the generator reads only in part, or not at all, show nothing.
        FiguresCase { "comma", "3,6864", "9600", "", "" },
        FiguresCase { "empty", "", "9600", "", "" }, FiguresCase { "zero", "0", "9600", "", "" },
        FiguresCase { "negative", "-4", "9600", "", "" },
        FiguresCase { "words", "fast", "9600", "", "" },
        FiguresCase { "infinite", "inf", "9600", "", "" },
        FiguresCase { "baud_zero", "4", "0", "", "" }),
    [](const auto &info) {
        return std::string(info.param.name);
    });

TEST(BaudFigures, VerdictFollowsTheShownError)
{
    // UBRR 9 at 1.63264 MHz gives 10204 baud for 10000: +2.04 %, shown as +2.0 %, so usable.
    const auto edge = ComputeBaudFigures("1.63264", "10000");
    ASSERT_TRUE(edge.has_value());
    EXPECT_EQ(edge->ubrr, 9);
    EXPECT_GT(edge->errorPercent, 2.0);
    EXPECT_EQ(edge->verdict, BaudVerdict::Usable);
}

} // namespace
} // namespace ostrel

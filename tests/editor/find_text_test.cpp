#include "editor/find_text.h"
#include "editor/search_state.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(SearchState, TypedTextAsDocumentBytes)
{
    struct Case
    {
        std::string_view typed;
        bool utf8Document;
        std::optional<std::string> bytes;
    };
    const Case cases[] = {
        { "caf\xc3\xa9", true, "caf\xc3\xa9" },
        { "\xe2\x82\xac", true, "\xe2\x82\xac" }, // euro sign
        { "caf\xc3\xa9", false, "caf\xe9" },
        { "\xc2\x80\xc3\xbf", false, "\x80\xff" }, // both ends of the upper half
        { "\xe2\x82\xac", false, std::nullopt }, // no Latin-1 form
        { "a\xc3", false, std::nullopt }, // cut short
        { "", false, "" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.typed));
        EXPECT_EQ(DocumentBytes(c.typed, c.utf8Document), c.bytes);
    }
}

TEST(FindText, WindowDirectionAndCharacters)
{
    struct Case
    {
        const char *name;
        std::string_view text;
        size_t begin, end;
        std::string_view pattern;
        FindOptions options;
        bool backward;
        std::optional<TextMatch> match;
    };
    const FindOptions any { false, false, true, nullptr };
    const FindOptions word { false, true, true, nullptr };
    const FindOptions latin1 { false, false, false, nullptr };
    const Case cases[] = {
        { "first", "ab ab ab", 1, 8, "AB", any, false, TextMatch { 3, 5 } },
        { "last", "ab ab ab", 0, 7, "ab", any, true, TextMatch { 3, 5 } },
        { "must end inside", "ab ab", 0, 4, "ab", any, true, TextMatch { 0, 2 } },
        { "word looks outside the window", "xab ab", 1, 6, "ab", word, false, TextMatch { 4, 6 } },
        { "word ends that are no word bytes", "f(x) (x)y", 0, 9, "(x)", word, false,
            TextMatch { 1, 4 } },
        { "accented capital, UTF-8", "x \xc3\x89t\xc3\xa9", 0, 8, "\xc3\xa9T\xc3\x89", any, false,
            TextMatch { 2, 7 } },
        { "no match inside a character", "\xc3\xa9", 0, 2, "\xa9", any, false, std::nullopt },
        { "accented capital, Latin-1", "x \xc9t\xe9", 0, 5, "\xe9T\xc9", latin1, false,
            TextMatch { 2, 5 } },
        { "times sign is no capital", "\xd7", 0, 1, "\xf7", latin1, false, std::nullopt },
        { "high bytes are word bytes",
            "\xe9"
            "ab ab",
            0, 6, "ab", FindOptions { false, true, false }, false, TextMatch { 4, 6 } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindText(c.text, c.begin, c.end, c.pattern, c.options, c.backward), c.match);
    }
}

} // namespace
} // namespace ostrel

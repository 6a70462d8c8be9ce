// Find and replace on an editor's bytes, UTF-8 and single-byte documents alike.
#include "editor/search_state.h"
#include "editor/text_search.h"

#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ostrel {
namespace {

using Sci = QsciScintillaBase;

void Load(QsciScintilla &editor, std::string_view bytes, bool utf8)
{
    editor.setUtf8(utf8);
    editor.SendScintilla(Sci::SCI_CLEARALL);
    editor.SendScintilla(
        Sci::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.data());
    editor.SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
}

std::string Bytes(const QsciScintilla &editor)
{
    const long length = editor.SendScintilla(Sci::SCI_GETLENGTH);
    const auto *data =
        static_cast<const char *>(editor.SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    return std::string(data, static_cast<size_t>(length));
}

long SelectionStart(const QsciScintilla &editor)
{
    return editor.SendScintilla(Sci::SCI_GETSELECTIONSTART);
}

void PutCaret(QsciScintilla &editor, long position)
{
    editor.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(position), position);
}

// Every match from the start, found by repeating Find Next until it comes round again.
std::vector<long> Matches(QsciScintilla &editor, const SearchState &state)
{
    std::vector<long> starts;
    PutCaret(editor, 0);
    while (FindNext(editor, state) == SearchResult::Found) {
        const long start = SelectionStart(editor);
        if (!starts.empty() && start <= starts.back())
            break;
        starts.push_back(start);
    }
    return starts;
}

struct Case
{
    const char *name;
    bool utf8;
    std::string_view text;
    std::string findWhat; // typed, UTF-8
    bool matchCase;
    bool wholeWord;
    std::vector<long> matches;
    std::string replaceWith; // typed, UTF-8
    SearchResult replaceResult;
    std::string_view afterReplaceAll;
};

const Case kCases[] = {
    { "utf8 any", true, "Port PORT port portb", "port", false, false, { 0, 5, 10, 15 }, "pin",
        SearchResult::Found, "pin pin pin pinb" },
    { "utf8 case", true, "Port PORT port portb", "port", true, false, { 10, 15 }, "pin",
        SearchResult::Found, "Port PORT pin pinb" },
    { "utf8 word", true, "Port PORT port portb", "port", false, true, { 0, 5, 10 }, "pin",
        SearchResult::Found, "pin pin pin portb" },
    { "utf8 case word", true, "Port PORT port portb", "port", true, true, { 10 }, "pin",
        SearchResult::Found, "Port PORT pin portb" },
    { "utf8 accented", true, "caf\xc3\xa9 CAF\xc3\x89 caf\xc3\xa9s", "caf\xc3\xa9", false, true,
        { 0, 6 }, "t\xc3\xa9", SearchResult::Found, "t\xc3\xa9 t\xc3\xa9 caf\xc3\xa9s" },
    { "latin1 any", false, "caf\xe9 CAF\xc9 caf\xe9s \xff", "caf\xc3\xa9", false, false,
        { 0, 5, 10 }, "th\xc3\xa9", SearchResult::Found, "th\xe9 th\xe9 th\xe9s \xff" },
    { "latin1 case", false, "caf\xe9 CAF\xc9 caf\xe9s \xff", "\xc3\x89", true, false, { 8 }, "E",
        SearchResult::Found, "caf\xe9 CAFE caf\xe9s \xff" },
    { "latin1 word", false, "caf\xe9 CAF\xc9 caf\xe9s \xff", "caf\xc3\xa9", true, true, { 0 },
        "\xc2\xa9", SearchResult::Found, "\xa9 CAF\xc9 caf\xe9s \xff" },
    { "latin1 high byte", false, "a\xff\x80 \xff", "\xc3\xbf", true, false, { 1, 4 }, "",
        SearchResult::Found, "a\x80 " },
    { "latin1 find has no byte form", false, "caf\xe9 \x80", "\xe2\x82\xac", false, false, {}, "x",
        SearchResult::NotFound, "caf\xe9 \x80" },
    { "latin1 replacement has no byte form", false, "caf\xe9 \x80", "caf\xc3\xa9", false, false,
        { 0 }, "\xe2\x82\xac", SearchResult::CannotStore, "caf\xe9 \x80" },
};

TEST(TextSearch, FindAndReplaceAllByOptions)
{
    QsciScintilla editor;
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        Load(editor, c.text, c.utf8);
        SearchState state { c.findWhat, c.replaceWith, c.matchCase, c.wholeWord, true };
        EXPECT_EQ(Matches(editor, state), c.matches);
        int count = -1;
        EXPECT_EQ(ReplaceAll(editor, state, count), c.replaceResult);
        EXPECT_EQ(Bytes(editor), c.afterReplaceAll);
        EXPECT_EQ(
            count, c.replaceResult == SearchResult::Found ? static_cast<int>(c.matches.size()) : 0);
    }
}

TEST(TextSearch, ReplaceAllIsOneUndoStep)
{
    QsciScintilla editor;
    Load(editor, "a = a + a;\r\n", true);
    int count = 0;
    ASSERT_EQ(ReplaceAll(editor, { "a", "aa", true, true, true }, count), SearchResult::Found);
    EXPECT_EQ(count, 3); // a replacement that holds the find text is not replaced again
    EXPECT_EQ(Bytes(editor), "aa = aa + aa;\r\n");
    editor.undo();
    EXPECT_EQ(Bytes(editor), "a = a + a;\r\n");
    EXPECT_FALSE(editor.isUndoAvailable());
}

TEST(TextSearch, DirectionAndWrapAround)
{
    QsciScintilla editor;
    Load(editor, "ab ab ab", true);
    const SearchState down { "ab", "", false, false, true };
    const SearchState up { "ab", "", false, false, false };
    PutCaret(editor, 4); // inside the second "ab"
    const std::pair<const SearchState *, long> steps[] = {
        { &down, 6 },
        { &down, 0 }, // round the end to the start
        { &down, 3 },
        { &up, 0 },
        { &up, 6 }, // round the start to the end
        { &up, 3 },
    };
    for (const auto &[state, start] : steps) {
        ASSERT_EQ(FindNext(editor, *state), SearchResult::Found);
        EXPECT_EQ(SelectionStart(editor), start);
        EXPECT_EQ(editor.SendScintilla(Sci::SCI_GETSELECTIONEND), start + 2);
    }
    EXPECT_EQ(FindNext(editor, { "abc", "", false, false, true }), SearchResult::NotFound);
    EXPECT_EQ(SelectionStart(editor), 3); // a search that finds nothing leaves the selection
}

TEST(TextSearch, ReplaceChangesOnlyASelectedMatch)
{
    QsciScintilla editor;
    Load(editor, "x1 x2 x3", true);
    const SearchState state { "x", "y", true, false, true };
    PutCaret(editor, 1);
    // Nothing matching is selected: Replace only finds.
    ASSERT_EQ(ReplaceNext(editor, state), SearchResult::Found);
    EXPECT_EQ(Bytes(editor), "x1 x2 x3");
    EXPECT_EQ(SelectionStart(editor), 3);
    ASSERT_EQ(ReplaceNext(editor, state), SearchResult::Found);
    EXPECT_EQ(Bytes(editor), "x1 y2 x3");
    EXPECT_EQ(SelectionStart(editor), 6);
}

} // namespace
} // namespace ostrel

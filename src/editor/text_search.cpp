#include "editor/text_search.h"

#include "editor/search_state.h"

#include <Qsci/qsciscintillabase.h>

#include <optional>
#include <string>

namespace ostrel {

namespace {

using Sci = QsciScintillaBase;

struct Match
{
    long start = -1;
    long end = -1;
};

bool IsUtf8(QsciScintillaBase &editor)
{
    return editor.SendScintilla(Sci::SCI_GETCODEPAGE) == Sci::SC_CP_UTF8;
}

long Length(QsciScintillaBase &editor)
{
    return editor.SendScintilla(Sci::SCI_GETLENGTH);
}

void UseFlags(QsciScintillaBase &editor, const SearchState &state)
{
    long flags = 0;
    if (state.matchCase)
        flags |= Sci::SCFIND_MATCHCASE;
    if (state.wholeWord)
        flags |= Sci::SCFIND_WHOLEWORD;
    editor.SendScintilla(Sci::SCI_SETSEARCHFLAGS, flags);
}

// Searches `bytes` between `from` and `to`; backwards when `to` lies before `from`.
std::optional<Match> SearchIn(
    QsciScintillaBase &editor, const std::string &bytes, long from, long to)
{
    editor.SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
    const long start = editor.SendScintilla(
        Sci::SCI_SEARCHINTARGET, static_cast<unsigned long>(bytes.size()), bytes.data());
    if (start < 0)
        return std::nullopt;
    return Match { start, editor.SendScintilla(Sci::SCI_GETTARGETEND) };
}

std::optional<Match> NextMatch(QsciScintillaBase &editor, const std::string &bytes, bool down)
{
    const long length = Length(editor);
    if (down) {
        const long from = editor.SendScintilla(Sci::SCI_GETSELECTIONEND);
        if (auto match = SearchIn(editor, bytes, from, length))
            return match;
        return SearchIn(editor, bytes, 0, length);
    }
    const long from = editor.SendScintilla(Sci::SCI_GETSELECTIONSTART);
    if (auto match = SearchIn(editor, bytes, from, 0))
        return match;
    return SearchIn(editor, bytes, length, 0);
}

// The find text as document bytes; nothing when it cannot occur in the document.
std::optional<std::string> FindBytes(QsciScintillaBase &editor, const SearchState &state)
{
    auto bytes = DocumentBytes(state.findWhat, IsUtf8(editor));
    if (!bytes || bytes->empty())
        return std::nullopt;
    return bytes;
}

void Select(QsciScintillaBase &editor, const Match &match)
{
    editor.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(match.start), match.end);
}

} // namespace

SearchResult FindNext(QsciScintillaBase &editor, const SearchState &state)
{
    const auto bytes = FindBytes(editor, state);
    if (!bytes)
        return SearchResult::NotFound;
    UseFlags(editor, state);
    const auto match = NextMatch(editor, *bytes, state.searchDown);
    if (!match)
        return SearchResult::NotFound;
    Select(editor, *match);
    return SearchResult::Found;
}

SearchResult ReplaceNext(QsciScintillaBase &editor, const SearchState &state)
{
    const auto bytes = FindBytes(editor, state);
    if (!bytes)
        return SearchResult::NotFound;
    const auto replacement = DocumentBytes(state.replaceWith, IsUtf8(editor));
    if (!replacement)
        return SearchResult::CannotStore;
    UseFlags(editor, state);
    const long start = editor.SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const long end = editor.SendScintilla(Sci::SCI_GETSELECTIONEND);
    const auto selected = SearchIn(editor, *bytes, start, end);
    if (selected && selected->start == start && selected->end == end) {
        editor.SendScintilla(Sci::SCI_REPLACETARGET,
            static_cast<unsigned long>(replacement->size()), replacement->data());
        // The search goes on after the replacement (before it when searching up).
        const long caret = state.searchDown ? editor.SendScintilla(Sci::SCI_GETTARGETEND)
                                            : editor.SendScintilla(Sci::SCI_GETTARGETSTART);
        editor.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(caret), caret);
    }
    return FindNext(editor, state);
}

SearchResult ReplaceAll(QsciScintillaBase &editor, const SearchState &state, int &count)
{
    count = 0;
    const auto bytes = FindBytes(editor, state);
    if (!bytes)
        return SearchResult::NotFound;
    const auto replacement = DocumentBytes(state.replaceWith, IsUtf8(editor));
    if (!replacement)
        return SearchResult::CannotStore;
    UseFlags(editor, state);
    editor.SendScintilla(Sci::SCI_BEGINUNDOACTION);
    long from = 0;
    while (SearchIn(editor, *bytes, from, Length(editor))) {
        editor.SendScintilla(Sci::SCI_REPLACETARGET,
            static_cast<unsigned long>(replacement->size()), replacement->data());
        // Go on after the replacement, so a replacement that holds the find text is not
        // replaced again.
        from = editor.SendScintilla(Sci::SCI_GETTARGETEND);
        ++count;
    }
    editor.SendScintilla(Sci::SCI_ENDUNDOACTION);
    return count > 0 ? SearchResult::Found : SearchResult::NotFound;
}

} // namespace ostrel

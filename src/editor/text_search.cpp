#include "editor/text_search.h"

#include "editor/find_text.h"
#include "editor/search_state.h"

#include <Qsci/qsciscintillabase.h>

#include <QChar>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace ostrel {

namespace {

using Sci = QsciScintillaBase;

char32_t FoldCase(char32_t c)
{
    return QChar::toCaseFolded(c);
}

// One search request on one editor: the find text as the document's bytes and the rules.
class Search
{
public:
    Search(QsciScintillaBase &editor, const SearchState &state, std::string bytes)
        : m_editor(editor)
        , m_bytes(std::move(bytes))
        , m_options { state.matchCase, state.wholeWord, IsUtf8(editor), &FoldCase }
    {
    }

    static bool IsUtf8(const QsciScintillaBase &editor)
    {
        return editor.SendScintilla(Sci::SCI_GETCODEPAGE) == Sci::SC_CP_UTF8;
    }

    long Length() const { return m_editor.SendScintilla(Sci::SCI_GETLENGTH); }

    // A match between `from` and `to`, backwards when `to` lies before `from`.
    std::optional<TextMatch> In(long from, long to) const
    {
        const long low = std::min(from, to);
        const long high = std::max(from, to);
        // The whole text, so that the bytes either side count for whole words.
        const auto *data = static_cast<const char *>(
            m_editor.SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
        const std::string_view text(data, static_cast<size_t>(Length()));
        return FindText(text, static_cast<size_t>(low), static_cast<size_t>(high), m_bytes,
            m_options, to < from);
    }

    // After the selection (before it, searching up), then round the end of the text.
    std::optional<TextMatch> Next(bool down) const
    {
        if (down) {
            if (auto match = In(m_editor.SendScintilla(Sci::SCI_GETSELECTIONEND), Length()))
                return match;
            return In(0, Length());
        }
        if (auto match = In(m_editor.SendScintilla(Sci::SCI_GETSELECTIONSTART), 0))
            return match;
        return In(Length(), 0);
    }

    // Every match from the start, none overlapping.
    std::vector<TextMatch> All() const
    {
        std::vector<TextMatch> matches;
        const long length = Length();
        long from = 0;
        while (auto match = In(from, length)) {
            matches.push_back(*match);
            from = static_cast<long>(match->end);
        }
        return matches;
    }

private:
    QsciScintillaBase &m_editor;
    std::string m_bytes;
    FindOptions m_options;
};

// The find text as document bytes; nothing when it cannot occur in the document.
std::optional<Search> MakeSearch(QsciScintillaBase &editor, const SearchState &state)
{
    auto bytes = DocumentBytes(state.findWhat, Search::IsUtf8(editor));
    if (!bytes || bytes->empty())
        return std::nullopt;
    return Search(editor, state, std::move(*bytes));
}

void Select(QsciScintillaBase &editor, size_t start, size_t end)
{
    editor.SendScintilla(
        Sci::SCI_SETSEL, static_cast<unsigned long>(start), static_cast<long>(end));
}

void ReplaceRange(QsciScintillaBase &editor, const TextMatch &match, const std::string &bytes)
{
    editor.SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(match.start),
        static_cast<long>(match.end));
    editor.SendScintilla(
        Sci::SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()), bytes.data());
}

} // namespace

SearchResult FindNext(QsciScintillaBase &editor, const SearchState &state)
{
    const auto search = MakeSearch(editor, state);
    if (!search)
        return SearchResult::NotFound;
    const auto match = search->Next(state.searchDown);
    if (!match)
        return SearchResult::NotFound;
    Select(editor, match->start, match->end);
    return SearchResult::Found;
}

SearchResult ReplaceNext(QsciScintillaBase &editor, const SearchState &state)
{
    const auto search = MakeSearch(editor, state);
    if (!search)
        return SearchResult::NotFound;
    const auto replacement = DocumentBytes(state.replaceWith, Search::IsUtf8(editor));
    if (!replacement)
        return SearchResult::CannotStore;
    const long start = editor.SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const long end = editor.SendScintilla(Sci::SCI_GETSELECTIONEND);
    const auto selected = search->In(start, end);
    if (selected && selected->start == static_cast<size_t>(start)
        && selected->end == static_cast<size_t>(end)) {
        ReplaceRange(editor, *selected, *replacement);
        // The search goes on after the replacement (before it when searching up).
        const size_t caret =
            state.searchDown ? selected->start + replacement->size() : selected->start;
        Select(editor, caret, caret);
    }
    return FindNext(editor, state);
}

SearchResult ReplaceAll(QsciScintillaBase &editor, const SearchState &state, int &count)
{
    count = 0;
    const auto search = MakeSearch(editor, state);
    if (!search)
        return SearchResult::NotFound;
    const auto replacement = DocumentBytes(state.replaceWith, Search::IsUtf8(editor));
    if (!replacement)
        return SearchResult::CannotStore;
    const std::vector<TextMatch> matches = search->All();
    if (matches.empty())
        return SearchResult::NotFound;
    // From the end backwards: the places before each replacement stay valid, and the
    // editor's gap moves only from one match to the one before.
    editor.SendScintilla(Sci::SCI_BEGINUNDOACTION);
    for (auto match = matches.rbegin(); match != matches.rend(); ++match)
        ReplaceRange(editor, *match, *replacement);
    editor.SendScintilla(Sci::SCI_ENDUNDOACTION);
    count = static_cast<int>(matches.size());
    return SearchResult::Found;
}

} // namespace ostrel

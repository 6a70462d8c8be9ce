#pragma once

class QsciScintillaBase;

namespace ostrel {

struct SearchState;

enum class SearchResult {
    Found,
    NotFound,
    // The replacement text holds characters the single-byte document cannot store.
    CannotStore,
};

// Find and replace on an editor's bytes. The typed texts are turned into the document's
// bytes first, so a single-byte document is searched and changed byte for byte, and no byte
// outside a replaced match ever changes.

// Selects the next match after the selection (before it when searching up). The search goes
// round the end of the text once, so any match in the text is found.
SearchResult FindNext(QsciScintillaBase &editor, const SearchState &state);

// Replaces the selection when it is a match, then selects the next match.
SearchResult ReplaceNext(QsciScintillaBase &editor, const SearchState &state);

// Replaces every match in the whole text as one undo step; `count` receives how many.
SearchResult ReplaceAll(QsciScintillaBase &editor, const SearchState &state, int &count);

} // namespace ostrel

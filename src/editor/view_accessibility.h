#pragma once

#include <Qsci/qsciscintillabase.h>

namespace ostrel {

// Screen readers read the editors through an accessibility object of our own. The library's
// object finds a character's place by walking the text from its start on every caret move and
// every change (about 60 ms at the end of a 10 MB file, once for each editor on the text); ours
// keeps the UTF-16 start of each line, so that it walks within one line only.
// Installed once, before the first editor is created; later calls do nothing.
void InstallViewAccessibility();

// Tells a connected screen reader of the view's changes and caret moves: each insertion and
// deletion as it happened, in characters, then where the caret went.
void SpeakForScreenReaders(QsciScintillaBase &view);

// The library answers every insertion and deletion with its own screen-reader event, walking
// the text for it even when no screen reader listens (and copying all of a loaded text to
// UTF-16). Editors therefore report a change only before it is made (SC_MOD_BEFOREINSERT,
// SC_MOD_BEFOREDELETE), and SpeakForScreenReaders reports it to screen readers.
void MaskTextNotices(QsciScintillaBase &editor);

// True for the notice that comes before each change of the text. Whoever needs the text as it
// is afterwards waits for the event loop.
constexpr bool IsChangeAhead(int modificationType)
{
    return (modificationType
               & (QsciScintillaBase::SC_MOD_BEFOREINSERT | QsciScintillaBase::SC_MOD_BEFOREDELETE))
        != 0;
}

} // namespace ostrel

#pragma once

#include <Qsci/qsciscintillabase.h>

namespace ostrel {

// Source views answer screen readers with their full text only while an assistive technology
// is connected. Without one, the editor's own accessibility object would count the characters
// from the start of the text to the caret on every caret move and paint (40 ms at the end of a
// 10 MB file), for nobody; a plain editable-text object with the view's name stands in for it.
// Installed once, before the first view is created.
void InstallViewAccessibility();

// The library answers every insertion and deletion with a screen reader's "text inserted" or
// "text removed" event, and finds the event's character position by walking the text from its
// start: about 60 ms at the end of a 10 MB file, on every key and once for each editor on the
// text, and a UTF-16 copy of all the text while a file loads. Nobody receives those events while
// no assistive technology is connected, so an editor then reports a change only before it is
// made (SC_MOD_BEFOREINSERT, SC_MOD_BEFOREDELETE), which goes out without one.
// `forScreenReaders` is false for an editor that is never shown.
void ChooseChangeNotices(QsciScintillaBase &editor, bool forScreenReaders = true);

// True for the notice that comes before each change of the text, whichever notices the editor
// sends. Whoever needs the text as it is afterwards waits for the event loop.
constexpr bool IsChangeAhead(int modificationType)
{
    return (modificationType
               & (QsciScintillaBase::SC_MOD_BEFOREINSERT | QsciScintillaBase::SC_MOD_BEFOREDELETE))
        != 0;
}

} // namespace ostrel

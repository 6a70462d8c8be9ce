#pragma once

#include "contract/line_message.h"

#include <QPoint>

#include <string>
#include <vector>

class QsciScintilla;

namespace ostrel {

// The last build's messages about one text: a marker on each line that a message names, and
// the message for the marker's tooltip. The markers live in the text, so every view of it shows
// them and they move with their lines as the text is edited.
class MessageMarks
{
public:
    static constexpr int kWarningMarker = 20;
    // Drawn over a warning on the same line.
    static constexpr int kErrorMarker = 21;

    // Replaces the marks; messages about lines the text does not have are left out.
    void Set(QsciScintilla &editor, const std::vector<LineMessage> &messages);
    void Clear(QsciScintilla &editor);
    bool IsEmpty() const { return m_marks.empty(); }
    // The messages marked on `line` now, one a line; empty when there are none.
    std::string TextAt(const QsciScintilla &editor, int line) const;

private:
    struct Mark
    {
        int handle;
        std::string text;
    };
    // The line a mark is on now; -1 when it is gone.
    static long LineOf(const QsciScintilla &editor, const Mark &mark);

    // In the order of their lines when they were set. Edits move whole lines and merge a
    // removed line's marks into the line that stays, so marks never pass each other: the
    // lines of the marks in this order stay ascending, and a binary search finds a line's.
    std::vector<Mark> m_marks;
};

// Shows the view's symbol margin (margin 1) with the error and warning symbols, sized to its
// lines, or hides it.
void ShowMessageMargin(QsciScintilla &view, bool shown);
// The line beside `point` (viewport coordinates) when the point lies in the symbol margin;
// -1 elsewhere.
int MessageMarginLineAt(const QsciScintilla &view, QPoint point);

} // namespace ostrel

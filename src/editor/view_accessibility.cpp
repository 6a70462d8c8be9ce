#include "editor/view_accessibility.h"

#include "editor/text_bytes.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QByteArray>
#include <QMetaObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ostrel {

namespace {

using Q = QsciScintillaBase;

// Screen readers count in UTF-16 code units, the editor in bytes. In a UTF-8 text the editor
// keeps the UTF-16 start of every line (asked for once, kept with the text), so a conversion
// walks within one line; a single-byte text shows each byte as one character.
class Offsets
{
public:
    explicit Offsets(const Q &editor)
        : m_editor(editor)
        , m_utf8(editor.SendScintilla(Q::SCI_GETCODEPAGE) == Q::SC_CP_UTF8)
    {
        if (m_utf8 && !Indexed())
            m_editor.SendScintilla(
                Q::SCI_ALLOCATELINECHARACTERINDEX, Q::SC_LINECHARACTERINDEX_UTF16);
        m_indexed = m_utf8 && Indexed();
    }

    long Length() const { return m_editor.SendScintilla(Q::SCI_GETLENGTH); }

    int FromPosition(long position) const
    {
        position = std::clamp(position, 0L, Length());
        if (!m_utf8)
            return static_cast<int>(position);
        if (!m_indexed)
            return static_cast<int>(m_editor.SendScintilla(Q::SCI_COUNTCODEUNITS, 0UL, position));
        const long line = m_editor.SendScintilla(Q::SCI_LINEFROMPOSITION, position);
        const long start = m_editor.SendScintilla(Q::SCI_POSITIONFROMLINE, line);
        return static_cast<int>(LineOffset(line)
            + m_editor.SendScintilla(
                Q::SCI_COUNTCODEUNITS, static_cast<unsigned long>(start), position));
    }

    // The position of a character offset; -1, and anything past the end, is the end.
    long ToPosition(int offset) const
    {
        const long length = Length();
        if (offset < 0 || offset >= Count())
            return length;
        if (!m_utf8)
            return offset;
        long start = 0;
        long within = offset;
        if (m_indexed) {
            const long line = m_editor.SendScintilla(Q::SCI_LINEFROMINDEXPOSITION,
                static_cast<unsigned long>(offset), static_cast<long>(kIndex));
            start =
                m_editor.SendScintilla(Q::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
            within = offset - LineOffset(line);
        }
        if (within == 0)
            return start;
        const auto relative = [&](long units) {
            return m_editor.SendScintilla(
                Q::SCI_POSITIONRELATIVECODEUNITS, static_cast<unsigned long>(start), units);
        };
        // Between the two halves of a character outside the basic plane the editor finds no
        // place (0): the character's start stands for it.
        const long position = relative(within);
        return position > 0 ? position : relative(within - 1);
    }

    int Count() const { return FromPosition(Length()); }

    QString Text(long start, long end) const
    {
        start = std::clamp(start, 0L, Length());
        end = std::clamp(end, start, Length());
        QByteArray bytes(static_cast<qsizetype>(end - start + 1), '\0');
        m_editor.SendScintilla(Q::SCI_GETTEXTRANGE, start, end, bytes.data());
        bytes.chop(1);
        return Decode(bytes.constData(), bytes.size());
    }

    QString Decode(const char *bytes, qsizetype size) const
    {
        return m_utf8 ? QString::fromUtf8(bytes, size) : QString::fromLatin1(bytes, size);
    }

    QByteArray Encode(const QString &text) const
    {
        return m_utf8 ? text.toUtf8() : text.toLatin1();
    }

private:
    static constexpr unsigned long kIndex = Q::SC_LINECHARACTERINDEX_UTF16;

    bool Indexed() const
    {
        return (m_editor.SendScintilla(Q::SCI_GETLINECHARACTERINDEX) & kIndex) != 0;
    }

    long LineOffset(long line) const
    {
        return m_editor.SendScintilla(
            Q::SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line), kIndex);
    }

    const Q &m_editor;
    bool m_utf8;
    bool m_indexed = false;
};

class EditorAccessible : public QAccessibleWidget,
                         public QAccessibleTextInterface,
                         public QAccessibleEditableTextInterface
{
public:
    explicit EditorAccessible(Q *editor)
        : QAccessibleWidget(editor, QAccessible::EditableText)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !Editor().SendScintilla(Q::SCI_GETREADONLY);
        state.readOnly = !state.editable;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    // --- text
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || selectionCount() == 0)
            return;
        const Offsets offsets(Editor());
        *startOffset = offsets.FromPosition(Editor().SendScintilla(Q::SCI_GETSELECTIONSTART));
        *endOffset = offsets.FromPosition(Editor().SendScintilla(Q::SCI_GETSELECTIONEND));
    }

    int selectionCount() const override
    {
        return Editor().SendScintilla(Q::SCI_GETSELECTIONEMPTY) ? 0 : 1;
    }

    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }

    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            Editor().SendScintilla(Q::SCI_SETEMPTYSELECTION,
                static_cast<unsigned long>(Editor().SendScintilla(Q::SCI_GETCURRENTPOS)));
    }

    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex != 0)
            return;
        const Offsets offsets(Editor());
        Editor().SendScintilla(Q::SCI_SETSEL,
            static_cast<unsigned long>(offsets.ToPosition(startOffset)),
            offsets.ToPosition(endOffset));
    }

    int cursorPosition() const override
    {
        return Offsets(Editor()).FromPosition(Editor().SendScintilla(Q::SCI_GETCURRENTPOS));
    }

    void setCursorPosition(int position) override
    {
        Editor().SendScintilla(
            Q::SCI_GOTOPOS, static_cast<unsigned long>(Offsets(Editor()).ToPosition(position)));
    }

    QString text(QAccessible::Text type) const override { return QAccessibleWidget::text(type); }

    QString text(int startOffset, int endOffset) const override
    {
        const Offsets offsets(Editor());
        return offsets.Text(offsets.ToPosition(startOffset), offsets.ToPosition(endOffset));
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
        int *endOffset) const override
    {
        return Piece(offset, boundary, -1, startOffset, endOffset);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
        int *endOffset) const override
    {
        return Piece(offset, boundary, 1, startOffset, endOffset);
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
        int *endOffset) const override
    {
        return Piece(offset, boundary, 0, startOffset, endOffset);
    }

    int characterCount() const override { return Offsets(Editor()).Count(); }

    QRect characterRect(int offset) const override
    {
        const Q &editor = Editor();
        const long position = Offsets(editor).ToPosition(offset);
        const long next = editor.SendScintilla(Q::SCI_POSITIONAFTER, position);
        const long line = editor.SendScintilla(Q::SCI_LINEFROMPOSITION, position);
        const int x =
            static_cast<int>(editor.SendScintilla(Q::SCI_POINTXFROMPOSITION, 0UL, position));
        const int y =
            static_cast<int>(editor.SendScintilla(Q::SCI_POINTYFROMPOSITION, 0UL, position));
        int width =
            static_cast<int>(editor.SendScintilla(Q::SCI_POINTXFROMPOSITION, 0UL, next)) - x;
        if (width <= 0 || editor.SendScintilla(Q::SCI_LINEFROMPOSITION, next) != line)
            width = static_cast<int>(editor.SendScintilla(
                Q::SCI_TEXTWIDTH, static_cast<unsigned long>(Q::STYLE_DEFAULT), " "));
        const int height = static_cast<int>(
            editor.SendScintilla(Q::SCI_TEXTHEIGHT, static_cast<unsigned long>(line)));
        return QRect(editor.viewport()->mapToGlobal(QPoint(x, y)), QSize(width, height));
    }

    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = Editor().viewport()->mapFromGlobal(point);
        const long position = Editor().SendScintilla(
            Q::SCI_POSITIONFROMPOINTCLOSE, static_cast<unsigned long>(local.x()), local.y());
        return position < 0 ? -1 : Offsets(Editor()).FromPosition(position);
    }

    void scrollToSubstring(int startIndex, int endIndex) override
    {
        const Offsets offsets(Editor());
        Editor().SendScintilla(Q::SCI_SCROLLRANGE,
            static_cast<unsigned long>(offsets.ToPosition(endIndex)),
            offsets.ToPosition(startIndex));
    }

    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        // One run without attributes: the colours of the highlighting say nothing to a listener.
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    // --- editable text
    void deleteText(int startOffset, int endOffset) override
    {
        const Offsets offsets(Editor());
        const long start = offsets.ToPosition(startOffset);
        const long end = offsets.ToPosition(endOffset);
        if (end > start)
            Editor().SendScintilla(
                Q::SCI_DELETERANGE, static_cast<unsigned long>(start), end - start);
    }

    // The text's lines take the document's own line end, as pasted ones do.
    void insertText(int offset, const QString &text) override
    {
        const Offsets offsets(Editor());
        const QByteArray encoded = offsets.Encode(text);
        LineEnd lineEnd = LineEnd::Lf;
        switch (Editor().SendScintilla(Q::SCI_GETEOLMODE)) {
        case Q::SC_EOL_CRLF:
            lineEnd = LineEnd::CrLf;
            break;
        case Q::SC_EOL_CR:
            lineEnd = LineEnd::Cr;
            break;
        default:
            break;
        }
        const std::string bytes = ConvertLineEnds(
            std::string_view(encoded.constData(), static_cast<size_t>(encoded.size())), lineEnd);
        Editor().SendScintilla(Q::SCI_INSERTTEXT,
            static_cast<unsigned long>(offsets.ToPosition(offset)), bytes.c_str());
    }

    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        Editor().SendScintilla(Q::SCI_BEGINUNDOACTION);
        deleteText(startOffset, endOffset);
        insertText(std::min(startOffset, endOffset), text);
        Editor().SendScintilla(Q::SCI_ENDUNDOACTION);
    }

private:
    Q &Editor() const { return *static_cast<Q *>(widget()); }

    // The line, word or character at `offset` (direction 0), or the one before (-1) or after
    // (1) it; empty with offsets -1 where there is none.
    QString Piece(int offset, QAccessible::TextBoundaryType boundary, int direction,
        int *startOffset, int *endOffset) const
    {
        *startOffset = *endOffset = -1;
        const Offsets offsets(Editor());
        const long length = offsets.Length();
        long start = 0;
        long end = 0;
        if (!Around(offsets.ToPosition(offset), boundary, start, end))
            return {};
        if (direction < 0) {
            if (start == 0 || !Around(start - 1, boundary, start, end))
                return {};
        } else if (direction > 0) {
            if (end >= length || !Around(end, boundary, start, end))
                return {};
        }
        *startOffset = offsets.FromPosition(start);
        *endOffset = offsets.FromPosition(end);
        return offsets.Text(start, end);
    }

    // The bounds of the piece of text that holds `position`. Outside a word it is the word
    // before; sentences and paragraphs are lines in source code.
    bool Around(long position, QAccessible::TextBoundaryType boundary, long &start, long &end) const
    {
        const Q &editor = Editor();
        const auto at = static_cast<unsigned long>(position);
        switch (boundary) {
        case QAccessible::CharBoundary:
            start = position;
            end = editor.SendScintilla(Q::SCI_POSITIONAFTER, at);
            return end > start;
        case QAccessible::WordBoundary:
            start = editor.SendScintilla(Q::SCI_WORDSTARTPOSITION, at, 1L);
            end = editor.SendScintilla(Q::SCI_WORDENDPOSITION, at, 1L);
            if (start == end) {
                end = editor.SendScintilla(Q::SCI_WORDSTARTPOSITION, at, 0L);
                if (end == 0)
                    return false;
                start = editor.SendScintilla(
                    Q::SCI_WORDSTARTPOSITION, static_cast<unsigned long>(end), 1L);
            }
            return end > start;
        case QAccessible::SentenceBoundary:
        case QAccessible::ParagraphBoundary:
        case QAccessible::LineBoundary: {
            const long line = editor.SendScintilla(Q::SCI_LINEFROMPOSITION, at);
            start = editor.SendScintilla(Q::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
            end =
                editor.SendScintilla(Q::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + 1));
            if (end < start) // the last line
                end = editor.SendScintilla(Q::SCI_GETLENGTH);
            return end > start;
        }
        case QAccessible::NoBoundary:
            start = 0;
            end = editor.SendScintilla(Q::SCI_GETLENGTH);
            return true;
        }
        return false;
    }
};

QAccessibleInterface *EditorAccessibility(const QString &, QObject *object)
{
    if (auto *editor = qobject_cast<Q *>(object))
        return new EditorAccessible(editor);
    return nullptr;
}

// Reports one view's changes after they are made: each is noted before it happens, while the
// text around it is still there, and goes out when the event loop or the next paint comes.
class ScreenReaderVoice : public QObject
{
public:
    explicit ScreenReaderVoice(Q &view)
        : QObject(&view)
        , m_view(view)
    {
        connect(&view, &Q::SCN_MODIFIED, this,
            [this](int position, int type, const char *, int length) {
                Note(position, type, length);
            });
        connect(&view, &Q::SCN_UPDATEUI, this, [this] {
            Flush();
            ReportCaret();
        });
    }

private:
    struct Change
    {
        bool inserted;
        int offset;
        long position;
        long length;
        QString text;
    };

    // The notice before an insertion does not carry the text: it is read once it is in, which
    // is when the next change comes or the changes go out.
    void Note(int position, int type, int length)
    {
        if (!IsChangeAhead(type) || !QAccessible::isActive())
            return;
        ReadLastInsertion();
        const Offsets offsets(m_view);
        Change change { (type & Q::SC_MOD_BEFOREINSERT) != 0, offsets.FromPosition(position),
            position, length, {} };
        if (!change.inserted)
            change.text = offsets.Text(position, position + length);
        m_pending.push_back(std::move(change));
        if (m_pending.size() == 1)
            QMetaObject::invokeMethod(this, &ScreenReaderVoice::Flush, Qt::QueuedConnection);
    }

    void ReadLastInsertion()
    {
        if (m_pending.empty() || !m_pending.back().inserted || m_pending.back().length == 0)
            return;
        Change &last = m_pending.back();
        last.text = Offsets(m_view).Text(last.position, last.position + last.length);
        last.length = 0;
    }

    void Flush()
    {
        ReadLastInsertion();
        for (Change &change : std::exchange(m_pending, {})) {
            if (change.inserted) {
                QAccessibleTextInsertEvent event(&m_view, change.offset, change.text);
                QAccessible::updateAccessibility(&event);
            } else {
                QAccessibleTextRemoveEvent event(&m_view, change.offset, change.text);
                QAccessible::updateAccessibility(&event);
            }
        }
    }

    void ReportCaret()
    {
        if (!QAccessible::isActive())
            return;
        const Offsets offsets(m_view);
        const int caret = offsets.FromPosition(m_view.SendScintilla(Q::SCI_GETCURRENTPOS));
        if (caret != m_caret) {
            m_caret = caret;
            QAccessibleTextCursorEvent event(&m_view, caret);
            QAccessible::updateAccessibility(&event);
        }
        std::pair<int, int> selection { caret, caret };
        if (!m_view.SendScintilla(Q::SCI_GETSELECTIONEMPTY))
            selection = { offsets.FromPosition(m_view.SendScintilla(Q::SCI_GETSELECTIONSTART)),
                offsets.FromPosition(m_view.SendScintilla(Q::SCI_GETSELECTIONEND)) };
        const bool selected = selection.first != selection.second;
        if (selection != m_selection && (selected || m_selection.first != m_selection.second)) {
            QAccessibleTextSelectionEvent event(&m_view, selection.first, selection.second);
            QAccessible::updateAccessibility(&event);
        }
        m_selection = selection;
    }

    Q &m_view;
    std::vector<Change> m_pending;
    int m_caret = -1;
    std::pair<int, int> m_selection { -1, -1 };
};

} // namespace

void InstallViewAccessibility()
{
    static const bool installed = [] {
        // The library puts its own factory in when its first editor is made, and the newest
        // factory is asked first: make sure ours comes after it.
        {
            const Q first;
        }
        QAccessible::installFactory(EditorAccessibility);
        return true;
    }();
    (void)installed;
}

void SpeakForScreenReaders(QsciScintillaBase &view)
{
    new ScreenReaderVoice(view);
}

void MaskTextNotices(QsciScintillaBase &editor)
{
    // The editor sends a notice when any bit of its type is in the mask, and the insertions and
    // deletions carry the flags (who performed them, undo steps) beside their type: those go too.
    constexpr long kTextEvents = Q::SC_MOD_INSERTTEXT | Q::SC_MOD_DELETETEXT | Q::SC_PERFORMED_USER
        | Q::SC_PERFORMED_UNDO | Q::SC_PERFORMED_REDO | Q::SC_MULTISTEPUNDOREDO
        | Q::SC_LASTSTEPINUNDOREDO | Q::SC_MULTILINEUNDOREDO | Q::SC_STARTACTION;
    editor.SendScintilla(
        Q::SCI_SETMODEVENTMASK, static_cast<unsigned long>(Q::SC_MODEVENTMASKALL & ~kTextEvents));
}

} // namespace ostrel

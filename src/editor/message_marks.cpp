#include "editor/message_marks.h"

#include <Qsci/qsciscintilla.h>

#include <QStyle>

#include <algorithm>

namespace ostrel {

namespace {

constexpr int kMessageMargin = 1;
constexpr int kLargestSymbol = 16;

QPixmap Symbol(const QWidget &view, QStyle::StandardPixmap which, int size)
{
    return view.style()->standardIcon(which, nullptr, &view).pixmap(QSize(size, size));
}

} // namespace

void MessageMarks::Set(QsciScintilla &editor, const std::vector<LineMessage> &messages)
{
    Clear(editor);
    const long lineCount = editor.SendScintilla(QsciScintilla::SCI_GETLINECOUNT);
    std::vector<const LineMessage *> inLineOrder;
    for (const LineMessage &message : messages)
        if (message.line >= 0 && message.line < lineCount)
            inLineOrder.push_back(&message);
    // Messages about one line keep the order of the list.
    std::stable_sort(inLineOrder.begin(), inLineOrder.end(), [](const auto *a, const auto *b) {
        return a->line < b->line;
    });
    m_marks.reserve(inLineOrder.size());
    for (const LineMessage *message : inLineOrder) {
        const int marker = message->kind == MessageKind::Error ? kErrorMarker : kWarningMarker;
        // Straight to the text: the markers need no symbol in the editor that adds them.
        const auto handle = static_cast<int>(editor.SendScintilla(QsciScintilla::SCI_MARKERADD,
            static_cast<unsigned long>(message->line), static_cast<long>(marker)));
        if (handle >= 0)
            m_marks.push_back({ handle, message->text });
    }
}

void MessageMarks::Clear(QsciScintilla &editor)
{
    for (const int marker : { kWarningMarker, kErrorMarker })
        editor.SendScintilla(
            QsciScintilla::SCI_MARKERDELETEALL, static_cast<unsigned long>(marker));
    m_marks.clear();
}

long MessageMarks::LineOf(const QsciScintilla &editor, const Mark &mark)
{
    return editor.SendScintilla(
        QsciScintilla::SCI_MARKERLINEFROMHANDLE, static_cast<unsigned long>(mark.handle));
}

std::string MessageMarks::TextAt(const QsciScintilla &editor, int line) const
{
    constexpr unsigned long kMask = (1u << kWarningMarker) | (1u << kErrorMarker);
    // Asking for a mark's line walks the lines before it: only a marked line is searched.
    if ((editor.SendScintilla(QsciScintilla::SCI_MARKERGET, static_cast<unsigned long>(line))
            & kMask)
        == 0)
        return {};
    auto at = std::partition_point(m_marks.begin(), m_marks.end(), [&](const Mark &mark) {
        return LineOf(editor, mark) < line;
    });
    std::string text;
    for (; at != m_marks.end() && LineOf(editor, *at) == line; ++at) {
        if (!text.empty())
            text += '\n';
        text += at->text;
    }
    return text;
}

void ShowMessageMargin(QsciScintilla &view, bool shown)
{
    if (!shown) {
        view.setMarginWidth(kMessageMargin, 0);
        return;
    }
    const int size = std::clamp(view.textHeight(0) - 2, 8, kLargestSymbol);
    view.setMarginType(kMessageMargin, QsciScintilla::SymbolMargin);
    view.setMarginMarkerMask(
        kMessageMargin, (1 << MessageMarks::kWarningMarker) | (1 << MessageMarks::kErrorMarker));
    view.markerDefine(
        Symbol(view, QStyle::SP_MessageBoxWarning, size), MessageMarks::kWarningMarker);
    view.markerDefine(
        Symbol(view, QStyle::SP_MessageBoxCritical, size), MessageMarks::kErrorMarker);
    view.setMarginWidth(kMessageMargin, size + 4);
}

int MessageMarginLineAt(const QsciScintilla &view, QPoint point)
{
    const int left = view.marginWidth(0);
    const int height = view.textHeight(0);
    if (point.x() < left || point.x() >= left + view.marginWidth(kMessageMargin) || point.y() < 0
        || height <= 0)
        return -1;
    const long visible =
        view.SendScintilla(QsciScintilla::SCI_GETFIRSTVISIBLELINE) + point.y() / height;
    const long line = view.SendScintilla(
        QsciScintilla::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(visible));
    return line < view.lines() ? static_cast<int>(line) : -1;
}

} // namespace ostrel

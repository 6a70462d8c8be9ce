#include "editor/quorlen_view.h"

#include "editor/text_bytes.h"

#include <QFontDatabase>

namespace ostrel {

CQuorlenView::CQuorlenView(CQuorlenDoc *document, QWidget *parent)
    : QsciScintilla(parent)
    , m_document(document)
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setWrapMode(QsciScintilla::WrapNone);
    setUtf8(true);
#ifdef _WIN32
    setEolMode(QsciScintilla::EolWindows);
#else
    setEolMode(QsciScintilla::EolUnix);
#endif
    setAccessibleName(QStringLiteral("Source editor"));
}

void CQuorlenView::LoadBytes(std::string_view bytes)
{
    setUtf8(IsValidUtf8(bytes));
    switch (DetectLineEnd(bytes, eolMode() == EolWindows ? LineEnd::CrLf : LineEnd::Lf)) {
    case LineEnd::CrLf:
        setEolMode(EolWindows);
        break;
    case LineEnd::Lf:
        setEolMode(EolUnix);
        break;
    case LineEnd::Cr:
        setEolMode(EolMac);
        break;
    }
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.data());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1L);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_GOTOPOS, 0L);
    MarkSaved();
}

std::string CQuorlenView::TextBytes() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    if (length <= 0)
        return {};
    const auto *data = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return std::string(data, static_cast<size_t>(length));
}

void CQuorlenView::MarkSaved()
{
    SendScintilla(SCI_SETSAVEPOINT);
}

void CQuorlenView::paintEvent(QPaintEvent *event)
{
    QsciScintilla::paintEvent(event);
    if (!m_painted) {
        m_painted = true;
        emit firstPainted();
    }
}

} // namespace ostrel

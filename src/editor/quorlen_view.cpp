#include "editor/quorlen_view.h"

#include "editor/document_host.h"
#include "editor/find_replace.h"
#include "editor/quorlen_doc.h"
#include "editor/text_bytes.h"
#include "editor/view_printing.h"
#include "platform/clipboard.h"

#include <QFontDatabase>

namespace ostrel {

const CommandMap<CQuorlenView> &CQuorlenView::Commands()
{
    using M = CommandMap<CQuorlenView>;
    static const M map {
        M::On(CommandId::EditUndo, &CQuorlenView::OnEditUndo),
        M::OnState(CommandId::EditUndo, &CQuorlenView::OnUpdateEditUndo),
        M::On(CommandId::EditCut, &CQuorlenView::OnEditCut),
        M::OnState(CommandId::EditCut, &CQuorlenView::OnUpdateNeedSelection),
        M::On(CommandId::EditCopy, &CQuorlenView::OnEditCopy),
        M::OnState(CommandId::EditCopy, &CQuorlenView::OnUpdateNeedSelection),
        M::On(CommandId::EditPaste, &CQuorlenView::OnEditPaste),
        M::OnState(CommandId::EditPaste, &CQuorlenView::OnUpdateEditPaste),
        M::On(CommandId::EditPasteSpecial, &CQuorlenView::OnEditPaste),
        M::OnState(CommandId::EditPasteSpecial, &CQuorlenView::OnUpdateEditPaste),
        M::On(CommandId::EditSelectAll, &CQuorlenView::OnEditSelectAll),
        M::On(CommandId::EditFind, &CQuorlenView::OnEditFind),
        M::On(CommandId::EditRepeat, &CQuorlenView::OnEditRepeat),
        M::On(CommandId::EditReplace, &CQuorlenView::OnEditReplace),
        M::On(CommandId::FilePrint, &CQuorlenView::OnFilePrint),
        M::On(CommandId::FilePrintDirect, &CQuorlenView::OnFilePrintDirect),
        M::On(CommandId::FilePrintPreview, &CQuorlenView::OnFilePrintPreview),
    };
    return map;
}

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
    RemoveEditorKeys();
}

void CQuorlenView::RemoveEditorKeys()
{
    // These keys belong to the main window's accelerators, which route them to the commands
    // above; the editor must not take them first.
    const int keys[] = {
        'C' + (SCMOD_CTRL << 16),
        'X' + (SCMOD_CTRL << 16),
        'V' + (SCMOD_CTRL << 16),
        'Z' + (SCMOD_CTRL << 16),
        'A' + (SCMOD_CTRL << 16),
        SCK_INSERT + (SCMOD_CTRL << 16),
        SCK_INSERT + (SCMOD_SHIFT << 16),
        SCK_DELETE + (SCMOD_SHIFT << 16),
        SCK_BACK + (SCMOD_ALT << 16),
    };
    for (int key : keys)
        SendScintilla(SCI_CLEARCMDKEY, static_cast<unsigned long>(key));
}

std::string CQuorlenView::SelectedBytes() const
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if (end <= start)
        return {};
    const auto *data = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return std::string(data + start, static_cast<size_t>(end - start));
}

// The clipboard holds UTF-8 text; a single-byte document converts on the way in and out, so
// that its bytes 0x80 to 0xFF survive a copy and paste.
std::string CQuorlenView::ToClipboardText(const std::string &bytes) const
{
    if (isUtf8())
        return bytes;
    const QByteArray utf8 =
        QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())).toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

std::string CQuorlenView::FromClipboardText(const std::string &text) const
{
    if (isUtf8())
        return text;
    const QByteArray latin1 =
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLatin1();
    return std::string(latin1.constData(), static_cast<size_t>(latin1.size()));
}

void CQuorlenView::OnEditCopy()
{
    if (hasSelectedText())
        m_document->Host().SystemClipboard().SetText(ToClipboardText(SelectedBytes()));
}

void CQuorlenView::OnEditCut()
{
    if (!hasSelectedText())
        return;
    m_document->Host().SystemClipboard().SetText(ToClipboardText(SelectedBytes()));
    removeSelectedText();
}

void CQuorlenView::OnEditPaste()
{
    const std::string text = FromClipboardText(m_document->Host().SystemClipboard().Text());
    SendScintilla(SCI_REPLACESEL, static_cast<unsigned long>(0), "");
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.c_str());
}

void CQuorlenView::OnUpdateEditPaste(CommandState &state)
{
    state.enabled = !isReadOnly() && !m_document->Host().SystemClipboard().Text().empty();
}

void CQuorlenView::OnEditFind()
{
    CFindReplace::Of(*this).ShowFind(*this);
}

void CQuorlenView::OnEditRepeat()
{
    CFindReplace::Of(*this).FindAgain(*this);
}

void CQuorlenView::OnEditReplace()
{
    CFindReplace::Of(*this).ShowReplace(*this);
}

void CQuorlenView::OnFilePrint()
{
    PrintView(*this, PrintMode::WithDialog);
}

void CQuorlenView::OnFilePrintDirect()
{
    PrintView(*this, PrintMode::Direct);
}

void CQuorlenView::OnFilePrintPreview()
{
    PrintView(*this, PrintMode::Preview);
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

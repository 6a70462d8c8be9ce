#include "editor/quorlen_view.h"

#include "editor/accelerator_keys.h"
#include "editor/document_host.h"
#include "editor/find_replace.h"
#include "editor/find_text.h"
#include "editor/message_marks.h"
#include "editor/quorlen_doc.h"
#include "editor/source_lexers.h"
#include "editor/tab_size_dlg.h"
#include "editor/text_bytes.h"
#include "editor/view_accessibility.h"
#include "editor/view_printing.h"
#include "platform/clipboard.h"
#include "platform/qt_services.h"
#include "res/resources.h"

#include <Qsci/qscicommandset.h>

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <set>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace ostrel {

namespace {

// The longest text of a line that go-to-line searches for.
constexpr long kGotoTextLength = 99;

} // namespace

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
        M::On(CommandId::EditPasteSpecial, &CQuorlenView::OnEditPasteSpecial),
        M::OnState(CommandId::EditPasteSpecial, &CQuorlenView::OnUpdateEditPaste),
        M::On(CommandId::EditSelectAll, &CQuorlenView::OnEditSelectAll),
        M::On(CommandId::ChangeTabSize, &CQuorlenView::OnChangeTabSize),
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
    MaskTextNotices(*this);
    SpeakForScreenReaders(*this);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setWrapMode(QsciScintilla::WrapNone);
    setAccessibleName(QStringLiteral("Source editor"));
    ReleaseWindowKeys();
    // Style what is shown first and the rest a slice at a time while the program idles, so
    // that a large file opens and moves without waiting for the whole text to be styled.
    SendScintilla(SCI_SETIDLESTYLING, static_cast<unsigned long>(SC_IDLESTYLING_ALL));
    setBraceMatching(QsciScintilla::SloppyBraceMatch);
    setMarginLineNumbers(0, true);
    SetUpMessageMargin();
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, [this](int, int type) {
        if (!IsChangeAhead(type) || m_marginDue)
            return;
        m_marginDue = true;
        QMetaObject::invokeMethod(this, &CQuorlenView::FitLineNumberMargin, Qt::QueuedConnection);
    });
    FitLineNumberMargin();

    connect(this, &QsciScintilla::cursorPositionChanged, this, &CQuorlenView::RefreshIndicators);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CQuorlenView::RefreshIndicators);
    connect(document, &CQuorlenDoc::titleChanged, this, [this] {
        ApplySourceLexer(*this, m_document->PathName());
    });
    ApplySourceLexer(*this, m_document->PathName());
}

void CQuorlenView::FitLineNumberMargin()
{
    m_marginDue = false;
    const int digits = static_cast<int>(std::to_string(std::max(lines(), 1)).size());
    if (digits == m_marginDigits)
        return;
    m_marginDigits = digits;
    setMarginWidth(0, QString(digits + 2, QLatin1Char('9')));
}

void CQuorlenView::TrimMemoryWhenStyled()
{
#ifdef __GLIBC__
    // The styler keeps state for every line in arrays that it grows step by step; the steps it
    // leaves behind stay with the process (about 3 MB for 250,000 lines) unless handed back.
    constexpr int kWatchMs = 250;
    constexpr int kLongestWatchTicks = 4 * 60; // a minute: a hidden view may never be styled
    if (!m_stylingWatch) {
        m_stylingWatch = new QTimer(this);
        m_stylingWatch->setInterval(kWatchMs);
        connect(m_stylingWatch, &QTimer::timeout, this, [this] {
            // Along the way too, so that the peak stays low as well.
            malloc_trim(0);
            const bool styled = SendScintilla(SCI_GETENDSTYLED) >= SendScintilla(SCI_GETLENGTH);
            if (styled || ++m_stylingWatchTicks >= kLongestWatchTicks)
                m_stylingWatch->stop();
        });
    }
    m_stylingWatchTicks = 0;
    m_stylingWatch->start();
#endif
}

void CQuorlenView::ReleaseWindowKeys()
{
    // The main window's accelerators route these keys to the commands; the editor must neither
    // act on them nor claim them as shortcut overrides, or the accelerators never fire.
    std::set<int> windowKeys;
    if (const auto *table = GetAcceleratorTable(kMainResourceId))
        for (const Accelerator &accelerator : *table)
            windowKeys.insert(ToKeySequence(accelerator)[0].toCombined());
    for (QsciCommand *command : standardCommands()->commands()) {
        if (windowKeys.count(command->key()))
            command->setKey(0);
        if (windowKeys.count(command->alternateKey()))
            command->setAlternateKey(0);
    }
}

void CQuorlenView::showEvent(QShowEvent *event)
{
    QsciScintilla::showEvent(event);
    if (!m_initialised) {
        m_initialised = true;
        OnInitialUpdate();
    }
}

void CQuorlenView::OnInitialUpdate()
{
    RefreshIndicators();
    m_tabSize = kDefaultTabSize;
    SetTabStops(m_tabSize);
}

void CQuorlenView::RefreshIndicators()
{
    m_document->Host().RefreshIndicators();
}

void CQuorlenView::SetTabStops(int tabSize)
{
    const bool wasModified = m_document->IsModified();
    setTabWidth(tabSize == 0 ? 1 : tabSize);
    SendScintilla(SCI_SETSEL, 0UL, 0L);
    if (!wasModified)
        m_document->SetModifiedFlag(false);
}

void CQuorlenView::OnChangeTabSize()
{
    CTabSizeDlg dialog(m_tabSize, m_document->Services().messages, window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_tabSize = dialog.TabSize();
    SetTabStops(m_tabSize);
}

void CQuorlenView::GotoLine(int lineIndex)
{
    SendScintilla(SCI_SETSEL, 0UL, 1L);
    const long lineCount = SendScintilla(SCI_GETLINECOUNT);
    if (lineIndex < 0 || lineIndex >= lineCount)
        return; // nothing to search for: the selection stays
    const long lineStart =
        SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(lineIndex));
    const long lineLength = std::min<long>(
        SendScintilla(SCI_LINELENGTH, static_cast<unsigned long>(lineIndex)), kGotoTextLength);
    const auto *data = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    const std::string_view all(data, static_cast<size_t>(SendScintilla(SCI_GETLENGTH)));
    std::string_view text =
        all.substr(static_cast<size_t>(lineStart), static_cast<size_t>(lineLength));
    text = text.substr(0, text.find_first_of("\r\n"));
    if (text.empty()) {
        SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(lineStart));
        return;
    }

    // Search forward for the text as a whole word with matching case, as Find does, from one
    // match to the next, until a match lies on the target line. Only the last match becomes the
    // selection: the ones passed over would only scroll the view.
    FindOptions options;
    options.matchCase = true;
    options.wholeWord = true;
    options.utf8 = isUtf8();
    size_t from = 0;
    long selection = -1;
    for (;;) {
        const auto match = FindText(all, from, all.size(), text, options, false);
        if (!match)
            break; // not found: the selection stays where the last search left it
        const size_t found = match->start;
        const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(found));
        if (line > lineIndex) {
            // The line's own text is no whole word (cut in the middle of one): go to its start.
            SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(lineStart));
            return;
        }
        selection = static_cast<long>(found);
        if (line == lineIndex)
            break;
        from = found + text.size();
    }
    if (selection >= 0)
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(selection),
            selection + static_cast<long>(text.size()));
}

void CQuorlenView::ShowCaretLineClearOf(const QRect &cover)
{
    const int lineHeight = textHeight(0);
    const QRect shown(viewport()->mapToGlobal(QPoint(0, 0)), viewport()->size());
    const QRect covered = shown.intersected(cover);
    if (covered.isEmpty() || lineHeight <= 0)
        return;
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long row = SendScintilla(SCI_VISIBLEFROMDOCLINE,
        static_cast<unsigned long>(
            SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret))));
    const long first = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const int lineTop = shown.top() + static_cast<int>(row - first) * lineHeight;
    if (lineTop + lineHeight <= covered.top() || lineTop > covered.bottom())
        return;
    // Whole rows above the cover and below it; the line goes to the middle of the larger part.
    const int rowsAbove = (covered.top() - shown.top()) / lineHeight;
    const int firstRowBelow = (covered.bottom() + 1 - shown.top() + lineHeight - 1) / lineHeight;
    const int rowsBelow = (shown.bottom() + 1 - shown.top()) / lineHeight - firstRowBelow;
    if (std::max(rowsAbove, rowsBelow) < 1)
        return;
    const int target = rowsAbove >= rowsBelow ? rowsAbove / 2 : firstRowBelow + rowsBelow / 2;
    SendScintilla(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(std::max(0L, row - target)));
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
    if (m_document->IsUtf8())
        return bytes;
    const QByteArray utf8 =
        QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())).toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

std::string CQuorlenView::FromClipboardText(const std::string &text) const
{
    if (m_document->IsUtf8())
        return text;
    const QByteArray latin1 =
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLatin1();
    return std::string(latin1.constData(), static_cast<size_t>(latin1.size()));
}

void CQuorlenView::OnEditCopy()
{
    if (hasSelectedText())
        m_document->Services().clipboard.SetText(ToClipboardText(SelectedBytes()));
}

void CQuorlenView::OnEditCut()
{
    if (!hasSelectedText())
        return;
    m_document->Services().clipboard.SetText(ToClipboardText(SelectedBytes()));
    removeSelectedText();
}

void CQuorlenView::PasteText(const std::string &clipboardText)
{
    // The pasted lines take the document's own line end, and replacing the selection is one
    // step for Undo.
    const std::string text =
        ConvertLineEnds(FromClipboardText(clipboardText), m_document->TypedLineEnd());
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_REPLACESEL, 0UL, "");
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.c_str());
    SendScintilla(SCI_ENDUNDOACTION);
}

void CQuorlenView::OnEditPaste()
{
    PasteText(m_document->Services().clipboard.Text());
}

void CQuorlenView::OnEditPasteSpecial()
{
    // The clipboard's text formats to choose from; the choice is pasted as plain text.
    Clipboard &clipboard = m_document->Services().clipboard;
    QStringList formats;
    for (const std::string &format : clipboard.TextFormats())
        formats << QString::fromStdString(format);
    if (formats.isEmpty())
        return;
    bool chosen = false;
    const QString format = QInputDialog::getItem(window(), QStringLiteral("Paste Special"),
        QStringLiteral("As:"), formats, 0, false, &chosen);
    if (chosen)
        PasteText(clipboard.TextOfFormat(format.toStdString()));
}

void CQuorlenView::OnUpdateEditPaste(CommandState &state)
{
    state.enabled = !isReadOnly() && m_document->Services().clipboard.HasText();
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

std::string CQuorlenView::TextBytes() const
{
    return m_document->TextBytes();
}

void CQuorlenView::keyPressEvent(QKeyEvent *event)
{
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (shiftF10 || (event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier)) {
        ShowContextMenu(
            viewport()->mapToGlobal(QPoint(static_cast<int>(SendScintilla(SCI_POINTXFROMPOSITION,
                                               0UL, SendScintilla(SCI_GETCURRENTPOS))),
                static_cast<int>(
                    SendScintilla(SCI_POINTYFROMPOSITION, 0UL, SendScintilla(SCI_GETCURRENTPOS)))
                    + textHeight(0))));
        event->accept();
        return;
    }
    QsciScintilla::keyPressEvent(event);
    RefreshIndicators();
}

void CQuorlenView::mousePressEvent(QMouseEvent *event)
{
    QsciScintilla::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        RefreshIndicators();
}

void CQuorlenView::contextMenuEvent(QContextMenuEvent *event)
{
    // Keys that ask for the menu are handled as they are pressed.
    if (event->reason() != QContextMenuEvent::Keyboard)
        ShowContextMenu(event->globalPos());
    event->accept();
}

void CQuorlenView::ShowContextMenu(const QPoint &globalPosition)
{
    m_document->Host().ShowPopupMenu(kEditorPopupMenuId, globalPosition.x(), globalPosition.y());
}

void CQuorlenView::SetUpMessageMargin()
{
    // The symbol margin holds the build's error and warning marks and shows only while the
    // text has some.
    ShowMessageMargin(*this, m_document->HasMessageMarks());
    connect(m_document, &CQuorlenDoc::messageMarksChanged, this, [this] {
        ShowMessageMargin(*this, m_document->HasMessageMarks());
    });
}

bool CQuorlenView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && ShowMessageTip(static_cast<QHelpEvent &>(*event)))
        return true;
    return QsciScintilla::viewportEvent(event);
}

// A marker's message as the tooltip of the symbol margin beside its line.
bool CQuorlenView::ShowMessageTip(const QHelpEvent &event)
{
    const int line = MessageMarginLineAt(*this, event.pos());
    if (line < 0)
        return false;
    const std::string text = m_document->MessageMarkText(line);
    if (text.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(event.globalPos(), ToQt(text), viewport());
    return true;
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

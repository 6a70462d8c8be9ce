#pragma once

#include "framework/command_map.h"
#include "platform/printing.h"

#include <Qsci/qsciscintilla.h>

#include <string>

class QHelpEvent;
class QTimer;

namespace ostrel {

class CQuorlenDoc;

// The editing window of a source document: a plain-text editor with a fixed-pitch font, no line
// wrapping, a tab size of its own, and the document's bytes kept exactly as they are. It keeps
// the caret line and project indicators of the main window up to date.
class CQuorlenView : public QsciScintilla, public CommandTargetOf<CQuorlenView>, public PrintSource
{
    Q_OBJECT

public:
    // The tab size of a new view.
    static constexpr int kDefaultTabSize = 4;

    explicit CQuorlenView(CQuorlenDoc *document, QWidget *parent = nullptr);

    static const CommandMap<CQuorlenView> &Commands();

    // Edit commands; the clipboard is the application's.
    void OnEditUndo() { undo(); }
    void OnUpdateEditUndo(CommandState &state) { state.enabled = isUndoAvailable(); }
    void OnEditCut();
    void OnEditCopy();
    void OnUpdateNeedSelection(CommandState &state) { state.enabled = hasSelectedText(); }
    void OnEditPaste();
    void OnEditPasteSpecial();
    void OnUpdateEditPaste(CommandState &state);
    void OnEditSelectAll() { selectAll(true); }
    void OnChangeTabSize();
    // Find, Find Next, Replace and printing.
    void OnEditFind();
    void OnEditRepeat();
    void OnEditReplace();
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();

    CQuorlenDoc *GetDocument() const { return m_document; }

    // Selects the text of line `lineIndex` (0-based) as the output window's navigation wants
    // it: the line's text, up to 99 characters, found as a whole word with matching case,
    // passing over earlier lines with the same text. An empty line gets the caret at its start.
    void GotoLine(int lineIndex);
    // Scrolls the caret's line out from under `cover`, a window above this view (screen
    // coordinates), into the larger part of the view that it leaves free.
    void ShowCaretLineClearOf(const QRect &cover);
    // Tab stops every `tabSize` character widths (0 counts as 1) over the whole text; the caret
    // goes to the start and the modified flag stays as it was.
    void SetTabStops(int tabSize);
    int TabSize() const { return m_tabSize; }

    // The text as bytes, exactly as stored.
    std::string TextBytes() const;
    // After a large text is loaded: once the background styling has reached its end, the memory
    // that the styling freed on its way goes back to the system.
    void TrimMemoryWhenStyled();

signals:
    // First paint of the view; the start-up benchmark waits for it.
    void firstPainted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    std::string SelectedBytes() const;
    std::string ToClipboardText(const std::string &bytes) const;
    std::string FromClipboardText(const std::string &text) const;
    void PasteText(const std::string &clipboardText);
    void ReleaseWindowKeys();
    void OnInitialUpdate();
    void RefreshIndicators();
    void ShowContextMenu(const QPoint &globalPosition);
    void SetUpMessageMargin();
    // Line numbers as wide as the line count needs, after the changes of an event-loop pass.
    void FitLineNumberMargin();
    bool ShowMessageTip(const QHelpEvent &event);

    CQuorlenDoc *m_document;
    int m_tabSize = kDefaultTabSize;
    bool m_initialised = false;
    bool m_painted = false;
    bool m_marginDue = false;
    int m_marginDigits = 0;
    QTimer *m_stylingWatch = nullptr;
    int m_stylingWatchTicks = 0;
};

} // namespace ostrel

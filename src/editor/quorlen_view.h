#pragma once

#include "framework/command_map.h"
#include "platform/printing.h"

#include <Qsci/qsciscintilla.h>

#include <string>
#include <string_view>

namespace ostrel {

class CQuorlenDoc;

// The editing window of a source document: a plain-text editor with a fixed-pitch font,
// no line wrapping, and the document's bytes kept exactly as they are.
class CQuorlenView : public QsciScintilla, public CommandTargetOf<CQuorlenView>, public PrintSource
{
    Q_OBJECT

public:
    explicit CQuorlenView(CQuorlenDoc *document, QWidget *parent = nullptr);

    static const CommandMap<CQuorlenView> &Commands();

    // Edit commands; the clipboard is the application's.
    void OnEditUndo() { undo(); }
    void OnUpdateEditUndo(CommandState &state) { state.enabled = isUndoAvailable(); }
    void OnEditCut();
    void OnEditCopy();
    void OnUpdateNeedSelection(CommandState &state) { state.enabled = hasSelectedText(); }
    void OnEditPaste();
    void OnUpdateEditPaste(CommandState &state);
    void OnEditSelectAll() { selectAll(true); }
    // Find, Find Next, Replace and printing.
    void OnEditFind();
    void OnEditRepeat();
    void OnEditReplace();
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();

    CQuorlenDoc *GetDocument() const { return m_document; }

    // Replaces the text with the bytes as they are (NUL bytes included), without undo history,
    // and marks the text unmodified. Chooses UTF-8 or single-byte display and the line end.
    void LoadBytes(std::string_view bytes);
    // The text as bytes, exactly as stored.
    std::string TextBytes() const;
    // Marks the current text as the saved state.
    void MarkSaved();

signals:
    // First paint of the view; the start-up benchmark waits for it.
    void firstPainted();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::string SelectedBytes() const;
    std::string ToClipboardText(const std::string &bytes) const;
    std::string FromClipboardText(const std::string &text) const;
    void RemoveEditorKeys();

    CQuorlenDoc *m_document;
    bool m_painted = false;
};

} // namespace ostrel

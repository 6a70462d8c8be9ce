#pragma once

#include "editor/document_host.h"
#include "editor/message_marks.h"
#include "editor/text_bytes.h"
#include "framework/binary_fields.h"
#include "framework/command_map.h"

#include <Qsci/qscidocument.h>

#include <QObject>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QsciScintilla;

namespace ostrel {

class CQuorlenView;

// The desktop's mail program, which takes a file to attach.
constexpr const char *kMailProgram = "xdg-email";

// One source file, C or assembler, while it is edited. The document owns its text (a QScintilla
// document that every view attaches to), so loading, saving and the modified flag never depend
// on which window is open; the file's bytes are kept exactly as they are.
class CQuorlenDoc : public QObject, public CommandTargetOf<CQuorlenDoc>
{
    Q_OBJECT

public:
    CQuorlenDoc(DocumentServices services, DocumentHost &host, QObject *parent = nullptr);
    ~CQuorlenDoc() override;

    static const CommandMap<CQuorlenDoc> &Commands();
    DocumentHost &Host() const { return m_host; }
    const DocumentServices &Services() const { return m_services; }

    // Views show this document's text, with its character set and line end.
    void AttachView(CQuorlenView *view);
    void DetachView(CQuorlenView *view);
    const std::vector<CQuorlenView *> &Views() const { return m_views; }

    // An untitled document named `title` (Ostrel1, Ostrel2, ...).
    bool OnNewDocument(const std::string &title);
    // Records the file in the workspace file, then reads it. Reports its own failures.
    bool OnOpenDocument(const std::string &path);
    // Writes the text to `path` through a temporary file; a failure is reported and leaves
    // the file on disk and the modified flag as they were.
    bool OnSaveDocument(const std::string &path);

    // File Save: Save As for a document that has no file yet.
    bool DoFileSave();
    // Save As with the source-file filters; the document takes the new path on success.
    bool DoSaveAs();
    // Asks whether to save a modified document: false when the user cancelled or the save
    // failed, so the caller keeps the document open.
    bool SaveModified();

    // Command handlers.
    void OnFileSave() { DoFileSave(); }
    void OnFileSaveAs() { DoSaveAs(); }
    void OnFileClose();
    void OnFileSendMail();
    void OnUpdateFileSendMail(CommandState &state);

    // Replaces the text with the bytes as they are (NUL bytes included), without undo history,
    // and marks it unmodified. Chooses UTF-8 or single-byte display and the typed line end.
    void LoadBytes(std::string_view bytes);
    // The same with the bytes of the file at `path`, read straight into the text so that the
    // file is never held twice. `tooLarge` tells a file larger than kMaxDocumentBytes; on any
    // failure the text is left empty.
    FileResult LoadFile(const std::string &path, bool &tooLarge);
    // Replaces the text with the bytes as one edit that Undo takes back, so the document is
    // modified and the text before is one Undo away.
    void ReplaceBytes(std::string_view bytes);
    // The text as bytes, exactly as stored.
    std::string TextBytes() const;
    // The shared text that views show.
    const QsciDocument &Text() const { return m_text; }
    bool IsUtf8() const { return m_utf8; }
    LineEnd TypedLineEnd() const { return m_lineEnd; }

    const std::string &PathName() const { return m_pathName; }
    const std::string &Title() const { return m_title; }
    bool IsModified() const;
    void SetModifiedFlag(bool modified);
    void SetPathName(const std::string &path);

    // The last build's messages about this text, marked on their lines in every view.
    void SetMessageMarks(const std::vector<LineMessage> &messages);
    void ClearMessageMarks();
    bool HasMessageMarks() const { return !m_messageMarks.IsEmpty(); }
    // The messages marked on `line` (0-based), one a line; empty when there are none.
    std::string MessageMarkText(int line) const;

signals:
    void titleChanged();
    // The text is about to change, in any of the views (sent before each change: whoever needs
    // the text as it is afterwards waits for the event loop).
    void textEdited();
    void messageMarksChanged();

private:
    void UpdateModifiedMark();
    void SetTitle(const std::string &title);
    void ApplyTextSettings(QsciScintilla *editor) const;
    // An editor on the text: the first view, or while there is none an editor of the
    // document's own that is never shown. Every editor on a text costs time on each change,
    // so the spare one goes as soon as a view attaches.
    QsciScintilla &Editor() const;
    void MakeSpareEditor() const;
    // Tells textEdited from `editor`'s notices while it speaks for the document: the first view,
    // or the spare editor while there is none (every editor on the text hears of each change).
    void ListenForChanges(QsciScintilla &editor) const;
    // UTF-8 or single-byte display and the typed line end, from the bytes about to be shown.
    void AdoptTextSettings(std::string_view bytes);
    void BeginLoad(QsciScintilla &editor);
    void FinishLoad(QsciScintilla &editor);
    // The text as stored, valid until the next change.
    std::string_view TextView() const;

    DocumentServices m_services;
    DocumentHost &m_host;
    // Declared before the text, so that the text lets go of its document while this editor
    // still exists to release it.
    mutable std::unique_ptr<QsciScintilla> m_spareEditor;
    QsciDocument m_text;
    bool m_utf8 = true;
    LineEnd m_lineEnd;
    std::string m_pathName;
    std::string m_title;
    std::vector<CQuorlenView *> m_views;
    MessageMarks m_messageMarks;
};

} // namespace ostrel

#pragma once

#include "framework/command_map.h"

#include <QObject>
#include <QPointer>

#include <string>
#include <vector>

namespace ostrel {

class CQuorlenView;
class DocumentHost;

// One source file, C or assembler, while it is edited. The text lives in the QScintilla
// document that all of its views share; the file's bytes are kept exactly as they are.
class CQuorlenDoc : public QObject, public CommandTargetOf<CQuorlenDoc>
{
    Q_OBJECT

public:
    explicit CQuorlenDoc(DocumentHost &host, QObject *parent = nullptr);

    static const CommandMap<CQuorlenDoc> &Commands();
    DocumentHost &Host() const { return m_host; }

    // Views show this document's text; the first one attached holds the shared text.
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
    void OnUpdateFileSendMail(CommandState &state);

    const std::string &PathName() const { return m_pathName; }
    const std::string &Title() const { return m_title; }
    bool IsModified() const;
    void SetModifiedFlag(bool modified);
    void SetPathName(const std::string &path);

signals:
    void titleChanged();
    // The text changed, in any of the views.
    void textEdited();

private:
    void UpdateModifiedMark();
    void SetTitle(const std::string &title);
    CQuorlenView *PrimaryView() const;

    DocumentHost &m_host;
    std::string m_pathName;
    std::string m_title;
    std::vector<CQuorlenView *> m_views;
};

} // namespace ostrel

#include "editor/quorlen_doc.h"

#include "contract/compiler_contract.h"
#include "editor/document_host.h"
#include "editor/mail_attachment.h"
#include "editor/quorlen_view.h"
#include "editor/view_accessibility.h"
#include "framework/binary_fields.h"
#include "framework/path_parts.h"
#include "framework/safe_file.h"
#include "platform/backup_folder.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/process_launcher.h"
#include "platform/qt_services.h"

#include <QMdiSubWindow>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ostrel {

namespace {

const char kSourceFilter[] = "C Files (*.c)|*.c|ASM Files (*.asm)|*.asm|All Files (*.*)|*.*|"
                             "Data Files (*.C;*.asm;)|*.c;*.asm||";

std::string SystemReason(int error)
{
    return std::string(std::strerror(error)) + ".";
}

// Why a file that could not be opened for reading was refused, in the user's terms where they
// are plain and in the system's words otherwise ("File name too long").
std::string WhyNotReadable(const std::string &path)
{
#ifdef _WIN32
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return "The file does not exist.";
    if (std::filesystem::is_directory(path, error))
        return "It is a folder, not a file.";
    return "Access to the file was denied.";
#else
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? "The file does not exist." : SystemReason(errno);
    if (S_ISDIR(info.st_mode))
        return "It is a folder, not a file.";
    if (!S_ISREG(info.st_mode))
        return "It is not a regular file (a FIFO, a device or a socket).";
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return "The file could not be read.";
    }
    return errno == EACCES ? "Access to the file was denied." : SystemReason(errno);
#endif
}

std::string OpenFailure(const std::string &path, FileResult result, bool tooLarge)
{
    std::string reason;
    if (tooLarge)
        reason = "The file is larger than 256 MB.";
    else if (result == FileResult::IoError)
        reason = "The file could not be read completely.";
    else
        reason = WhyNotReadable(path);
    return "Cannot open the file\n" + ShortenForMessage(path) + "\n" + reason;
}

// Attachments for the mail program, removed when the program ends: the mail program may read
// its attachment any time until the mail is sent, and the copy must not outlive the session.
MailAttachments &Attachments()
{
    static MailAttachments attachments;
    return attachments;
}

} // namespace

const CommandMap<CQuorlenDoc> &CQuorlenDoc::Commands()
{
    using M = CommandMap<CQuorlenDoc>;
    static const M map {
        M::On(CommandId::FileSave, &CQuorlenDoc::OnFileSave),
        M::On(CommandId::FileSaveAs, &CQuorlenDoc::OnFileSaveAs),
        M::On(CommandId::FileClose, &CQuorlenDoc::OnFileClose),
        M::On(CommandId::FileSendMail, &CQuorlenDoc::OnFileSendMail),
        M::OnState(CommandId::FileSendMail, &CQuorlenDoc::OnUpdateFileSendMail),
    };
    return map;
}

CQuorlenDoc::CQuorlenDoc(DocumentServices services, DocumentHost &host, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_host(host)
#ifdef _WIN32
    , m_lineEnd(LineEnd::CrLf)
#else
    , m_lineEnd(LineEnd::Lf)
#endif
{
    MakeSpareEditor();
    ApplyTextSettings(m_spareEditor.get());
    m_text = m_spareEditor->document();
}

CQuorlenDoc::~CQuorlenDoc()
{
    // A text that no editor shows any more is released through some live editor, and the last
    // view may be gone. Showing the text again would leak it (the library keeps an extra
    // reference once no editor shows a text), so an editor of its own text does the release.
    if (!m_spareEditor) {
        const QsciScintilla releaser;
        m_text = QsciDocument();
    }
}

void CQuorlenDoc::ApplyTextSettings(QsciScintilla *editor) const
{
    editor->setUtf8(m_utf8);
    switch (m_lineEnd) {
    case LineEnd::CrLf:
        editor->setEolMode(QsciScintilla::EolWindows);
        break;
    case LineEnd::Lf:
        editor->setEolMode(QsciScintilla::EolUnix);
        break;
    case LineEnd::Cr:
        editor->setEolMode(QsciScintilla::EolMac);
        break;
    }
}

QsciScintilla &CQuorlenDoc::Editor() const
{
    if (!m_views.empty())
        return *m_views.front();
    if (!m_spareEditor) {
        MakeSpareEditor();
        m_spareEditor->setDocument(m_text);
        ApplyTextSettings(m_spareEditor.get());
    }
    return *m_spareEditor;
}

void CQuorlenDoc::MakeSpareEditor() const
{
    InstallViewAccessibility(); // before the first editor
    m_spareEditor = std::make_unique<QsciScintilla>();
    MaskTextNotices(*m_spareEditor);
    ListenForChanges(*m_spareEditor);
}

void CQuorlenDoc::ListenForChanges(QsciScintilla &editor) const
{
    auto *self = const_cast<CQuorlenDoc *>(this);
    connect(&editor, &QsciScintillaBase::SCN_MODIFIED, self, [self, &editor](int, int type) {
        const QsciScintilla *speaker =
            self->m_views.empty() ? self->m_spareEditor.get() : self->m_views.front();
        if (IsChangeAhead(type) && &editor == speaker)
            emit self->textEdited();
    });
}

void CQuorlenDoc::AttachView(CQuorlenView *view)
{
    view->setDocument(m_text);
    ApplyTextSettings(view);
    m_views.emplace_back(view);
    m_spareEditor.reset();
    connect(view, &QsciScintilla::modificationChanged, this, [this] {
        UpdateModifiedMark();
    });
    ListenForChanges(*view);
}

void CQuorlenDoc::DetachView(CQuorlenView *view)
{
    // Called while the view is being destroyed, too: compare addresses only.
    std::erase(m_views, view);
}

void CQuorlenDoc::AdoptTextSettings(std::string_view bytes)
{
    m_utf8 = IsValidUtf8(bytes);
    m_lineEnd = DetectLineEnd(bytes, m_lineEnd);
    if (m_spareEditor)
        ApplyTextSettings(m_spareEditor.get());
    for (CQuorlenView *view : m_views)
        ApplyTextSettings(view);
}

void CQuorlenDoc::ReplaceBytes(std::string_view bytes)
{
    AdoptTextSettings(bytes);
    QsciScintilla &editor = Editor();
    editor.SendScintilla(QsciScintilla::SCI_BEGINUNDOACTION);
    editor.SendScintilla(QsciScintilla::SCI_CLEARALL);
    editor.SendScintilla(
        QsciScintilla::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.data());
    editor.SendScintilla(QsciScintilla::SCI_ENDUNDOACTION);
}

void CQuorlenDoc::BeginLoad(QsciScintilla &editor)
{
    editor.SendScintilla(QsciScintilla::SCI_SETUNDOCOLLECTION, 0L);
    editor.SendScintilla(QsciScintilla::SCI_CLEARALL);
}

void CQuorlenDoc::FinishLoad(QsciScintilla &editor)
{
    editor.SendScintilla(QsciScintilla::SCI_SETUNDOCOLLECTION, 1L);
    editor.SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
    editor.SendScintilla(QsciScintilla::SCI_SETSAVEPOINT);
    for (CQuorlenView *view : m_views)
        view->SendScintilla(QsciScintilla::SCI_GOTOPOS, 0L);
}

void CQuorlenDoc::LoadBytes(std::string_view bytes)
{
    AdoptTextSettings(bytes);
    QsciScintilla &editor = Editor();
    BeginLoad(editor);
    editor.SendScintilla(
        QsciScintilla::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.data());
    FinishLoad(editor);
}

FileResult CQuorlenDoc::LoadFile(const std::string &path, bool &tooLarge)
{
    tooLarge = false;
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(
        OpenRegularFile(path, "rb"), &std::fclose);
    if (!file)
        return FileResult::CannotOpen;
    QsciScintilla &editor = Editor();
    BeginLoad(editor);
    // Room for the whole file at once: a text grown as the slices come would be copied over and
    // over, and the copies would stay with the process. Two bytes to spare: the library grows
    // its buffer by a sixth, into a new copy, whenever one byte or less is left over, and the
    // whole text is read as one block (for its encoding and line ends) right after the load.
    std::error_code error;
    const auto expected = std::filesystem::file_size(path, error);
    if (!error && expected > 0)
        editor.SendScintilla(QsciScintilla::SCI_ALLOCATE,
            static_cast<unsigned long>(std::min<uintmax_t>(expected, kMaxDocumentBytes) + 2));
    std::vector<char> slice(size_t { 1 } << 16);
    size_t total = 0;
    FileResult result = FileResult::Ok;
    for (;;) {
        const size_t got = std::fread(slice.data(), 1, slice.size(), file.get());
        total += got;
        if (total > kMaxDocumentBytes) {
            tooLarge = true;
            break;
        }
        editor.SendScintilla(
            QsciScintilla::SCI_APPENDTEXT, static_cast<unsigned long>(got), slice.data());
        if (got < slice.size()) {
            if (std::ferror(file.get()))
                result = FileResult::IoError;
            break;
        }
    }
    if (tooLarge || result != FileResult::Ok)
        editor.SendScintilla(QsciScintilla::SCI_CLEARALL);
    else
        AdoptTextSettings(TextView());
    FinishLoad(editor);
    constexpr size_t kLargeText = size_t { 1 } << 20;
    if (result == FileResult::Ok && total > kLargeText)
        for (CQuorlenView *view : m_views)
            view->TrimMemoryWhenStyled();
    return result;
}

std::string_view CQuorlenDoc::TextView() const
{
    const QsciScintilla &editor = Editor();
    const long length = editor.SendScintilla(QsciScintilla::SCI_GETLENGTH);
    if (length <= 0)
        return {};
    const auto *data = static_cast<const char *>(
        editor.SendScintillaPtrResult(QsciScintilla::SCI_GETCHARACTERPOINTER));
    return std::string_view(data, static_cast<size_t>(length));
}

std::string CQuorlenDoc::TextBytes() const
{
    return std::string(TextView());
}

bool CQuorlenDoc::OnNewDocument(const std::string &title)
{
    m_pathName.clear();
    SetTitle(title);
    return true;
}

bool CQuorlenDoc::OnOpenDocument(const std::string &path)
{
    // Remembered before reading, so that even a file that fails to open is recorded.
    if (!contract::IsMessageFile(path))
        m_host.RecordOpenedFile(path);

    // The name first: the views choose their highlighting by it while the text is still empty,
    // since choosing it afterwards would style the whole text at once.
    SetPathName(path);
    bool tooLarge = false;
    const FileResult result = LoadFile(path, tooLarge);
    if (result != FileResult::Ok || tooLarge) {
        m_services.messages.Warn(OpenFailure(path, result, tooLarge));
        return false;
    }
    UpdateModifiedMark();
    return true;
}

bool CQuorlenDoc::OnSaveDocument(const std::string &path)
{
    const std::string bytes = TextBytes();
    const SaveResult saved = SaveFileContents(path, bytes, SaveBackupFolder());
    if (!saved.ok) {
        m_services.messages.Warn("Cannot save the file\n" + ShortenForMessage(path) + "\n"
            + saved.reason
            + (saved.backupKept.empty() ? "\nThe file on disk was not changed."
                                        : "\nIts old contents are kept in " + saved.backupKept));
        return false;
    }
    Editor().SendScintilla(QsciScintilla::SCI_SETSAVEPOINT);
    UpdateModifiedMark();
    return true;
}

bool CQuorlenDoc::DoFileSave()
{
    if (m_pathName.empty())
        return DoSaveAs();
    return OnSaveDocument(m_pathName);
}

bool CQuorlenDoc::DoSaveAs()
{
    FileDialogRequest request;
    request.title = "Save As";
    request.filter = kSourceFilter;
    request.defaultExtension = "C";
    request.confirmOverwrite = true;
    const auto chosen = m_services.fileDialogs.SaveFile(request);
    if (!chosen)
        return false;
    const std::string path = ApplyDefaultExtension(*chosen, request.defaultExtension);
    if (!OnSaveDocument(path))
        return false;
    SetPathName(path);
    m_host.AddToRecentFiles(path);
    return true;
}

bool CQuorlenDoc::SaveModified()
{
    if (!IsModified())
        return true;
    std::string name = m_title;
    if (!name.empty() && name.back() == '*')
        name.pop_back();
    MessageRequest request { "Save changes to " + name + "?" };
    request.buttons = MessageButtons::YesNoCancel;
    switch (m_services.messages.Show(request)) {
    case MessageAnswer::Yes:
        return DoFileSave();
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

void CQuorlenDoc::OnFileClose()
{
    if (!SaveModified())
        return;
    // Every window of the document closes without asking again; the document goes with them.
    const auto views = m_views;
    for (const auto &view : views) {
        if (!view)
            continue;
        DetachView(view);
        if (auto *frame = qobject_cast<QMdiSubWindow *>(view->parentWidget()))
            frame->deleteLater();
    }
}

void CQuorlenDoc::OnFileSendMail()
{
    // The mail program gets a copy of the text as it stands, unsaved changes included, under
    // the document's own name (its bytes as they are); the user's file is not touched.
    std::string name = m_title;
    if (!name.empty() && name.back() == '*')
        name.pop_back();
    std::error_code error;
    std::string temp = std::filesystem::temp_directory_path(error).string();
    if (error)
        temp = "/tmp";
    const MailAttachments::Result copy = Attachments().Write(temp, name, TextBytes());
    if (copy.path.empty()) {
        m_services.messages.Warn("Cannot prepare the mail attachment in " + ShortenForMessage(temp)
            + "\n" + copy.reason);
        return;
    }
    if (!m_services.processes.StartDetached(
            { kMailProgram, "--subject", name, "--attach", copy.path }, std::string()))
        m_services.messages.Warn(
            std::string("Cannot start the mail program (") + kMailProgram + ").");
}

// Send Mail needs the desktop's mail program.
void CQuorlenDoc::OnUpdateFileSendMail(CommandState &state)
{
    state.enabled = m_host.CanSendMail();
}

bool CQuorlenDoc::IsModified() const
{
    return Editor().isModified();
}

void CQuorlenDoc::SetModifiedFlag(bool modified)
{
    Editor().setModified(modified);
    UpdateModifiedMark();
}

void CQuorlenDoc::SetPathName(const std::string &path)
{
    m_pathName = path;
    SetTitle(FileNameOf(path));
    UpdateModifiedMark();
}

void CQuorlenDoc::SetMessageMarks(const std::vector<LineMessage> &messages)
{
    m_messageMarks.Set(Editor(), messages);
    emit messageMarksChanged();
}

void CQuorlenDoc::ClearMessageMarks()
{
    if (m_messageMarks.IsEmpty())
        return;
    m_messageMarks.Clear(Editor());
    emit messageMarksChanged();
}

std::string CQuorlenDoc::MessageMarkText(int line) const
{
    return m_messageMarks.TextAt(Editor(), line);
}

void CQuorlenDoc::SetTitle(const std::string &title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged();
}

void CQuorlenDoc::UpdateModifiedMark()
{
    if (m_title.empty())
        return;
    const bool marked = m_title.back() == '*';
    if (IsModified() && !marked)
        SetTitle(m_title + "*");
    else if (!IsModified() && marked)
        SetTitle(m_title.substr(0, m_title.size() - 1));
}

} // namespace ostrel

#include "compile/build_controller.h"

#include "app/main_frame.h"
#include "app/quorlen_app.h"
#include "compile/message_file.h"
#include "compile/message_line.h"
#include "compile/output_list_box.h"
#include "compile/output_window.h"
#include "editor/child_frame.h"
#include "editor/doc_template.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "framework/path_parts.h"
#include "platform/message_boxes.h"
#include "platform/sleeper.h"

#include <QMdiArea>
#include <QShortcut>

#include <map>

namespace ostrel {

namespace {

constexpr int kOutputX = 0;
constexpr int kOutputY = 360;
constexpr int kOutputWidth = 640;
constexpr int kOutputHeight = 100;
// The compiler has ended; its message file is read a second later.
constexpr int kMessageFileDelayMs = 1000;

} // namespace

BuildController::BuildController(CQuorlenApp &app)
    : m_app(app)
    , m_driver(*this, app.Services().messages, app.Services().processes)
{
}

BuildController::~BuildController()
{
    delete m_outputWindow;
}

CChildFrame *BuildController::ActiveFrame() const
{
    return qobject_cast<CChildFrame *>(m_app.MainFrame()->MdiArea()->activeSubWindow());
}

bool BuildController::HasActiveDocument() const
{
    return ActiveFrame() != nullptr;
}

bool BuildController::ActiveDocumentModified() const
{
    const CChildFrame *frame = ActiveFrame();
    return frame && frame->GetDocument()->IsModified();
}

bool BuildController::ActiveDocumentHasPath() const
{
    const CChildFrame *frame = ActiveFrame();
    return frame && !frame->GetDocument()->PathName().empty();
}

void BuildController::SaveActiveDocument()
{
    if (CChildFrame *frame = ActiveFrame())
        frame->GetDocument()->OnSaveDocument(frame->GetDocument()->PathName());
}

void BuildController::ConnectWindows()
{
    AddStepKeys(m_app.MainFrame());
    connect(&m_app.DocTemplate(), &CDocTemplate::documentCountChanged, this,
        &BuildController::MarkOpenDocuments);
}

void BuildController::AddStepKeys(QWidget *window)
{
    for (const bool forward : { true, false }) {
        auto *key = new QShortcut(
            forward ? QKeySequence(Qt::Key_F4) : QKeySequence(Qt::SHIFT | Qt::Key_F4), window);
        key->setContext(Qt::WindowShortcut);
        connect(key, &QShortcut::activated, this, [this, forward] {
            StepMessage(forward);
        });
    }
}

void BuildController::Compile()
{
    if (!m_driver.Compile(m_app.ProgramDir(), m_app.Project()) || !m_outputWindow)
        return;
    const std::string messageDir = DirectoryOf(m_driver.CompilerOutputPath());
    for (LineMessage &message : LineMessages(m_outputWindow->Entries())) {
        message.file = ResolveMessageFile(message.file, messageDir);
        m_lineMessages.push_back(std::move(message));
    }
    MarkOpenDocuments();
}

void BuildController::BuildStarting()
{
    m_lineMessages.clear();
    for (CQuorlenDoc *document : m_app.DocTemplate().Documents())
        document->ClearMessageMarks();
}

// Marks the open documents that the last build's messages name and that have no marks yet
// (those opened since).
void BuildController::MarkOpenDocuments()
{
    std::map<std::string, std::vector<LineMessage>> byFile;
    for (const LineMessage &message : m_lineMessages)
        byFile[message.file].push_back(message);
    for (const auto &[file, messages] : byFile) {
        CQuorlenDoc *document = m_app.DocTemplate().FindDocument(file);
        if (document && !document->HasMessageMarks())
            document->SetMessageMarks(messages);
    }
}

void BuildController::StepMessage(bool forward)
{
    COutputWindow *window = m_outputWindow;
    if (!window || !window->List())
        return;
    const int row =
        StepMessageRow(window->NavigableEntries(), window->List()->currentRow(), forward);
    if (row >= 0)
        window->GoToEntry(row);
}

void BuildController::ShowOutputWindow()
{
    delete m_outputWindow;
    auto *window = new COutputWindow(m_app.MainFrame(), m_app.Services().messages);
    m_outputWindow = window;
    connect(window, &COutputWindow::navigateRequested, this, &BuildController::Navigate);
    AddStepKeys(window);
    if (!window->List())
        return;
    window->move(kOutputX, kOutputY);
    window->resize(kOutputWidth, kOutputHeight);
    window->show();
    window->repaint();

    m_app.Services().sleeper.Sleep(kMessageFileDelayMs);
    MessageFile file = ReadMessageFile(m_driver.CompilerOutputPath());
    if (file.status == MessageFileStatus::CannotOpen) {
        m_app.Services().messages.Warn("Cannot open file");
        return;
    }
    window->SetEntries(std::move(file.lines));
    if (file.status == MessageFileStatus::ReadError)
        m_app.Services().messages.Warn("Read Error( ferror)");
}

void BuildController::Navigate(const std::string &entry)
{
    const auto location = ParseMessageLocation(entry);
    if (!location)
        return;
    m_navigationFile = location->file;
    m_navigationLine = location->line;
    const std::string path =
        ResolveMessageFile(m_navigationFile, DirectoryOf(m_driver.CompilerOutputPath()));
    // A file that cannot be opened is reported by the document; no other view moves then.
    const CQuorlenDoc *document = m_app.DocTemplate().OpenDocumentFile(path);
    CChildFrame *frame = ActiveFrame();
    if (!document || !frame || frame->GetDocument() != document)
        return;
    // Line numbers below 1 name no line: the file is shown as it is.
    if (m_navigationLine >= 1)
        frame->GetView()->GotoLine(m_navigationLine - 1);
    m_app.MainFrame()->activateWindow();
    frame->GetView()->setFocus();
}

} // namespace ostrel

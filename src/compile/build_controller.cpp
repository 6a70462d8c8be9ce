#include "compile/build_controller.h"

#include "compile/message_file.h"
#include "compile/message_line.h"
#include "compile/message_navigation.h"
#include "compile/output_list_box.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "framework/path_parts.h"
#include "platform/qt_services.h"

#include <QMainWindow>
#include <QShortcut>
#include <QStatusBar>

namespace ostrel {

namespace {

constexpr int kOutputX = 0;
constexpr int kOutputY = 360;
constexpr int kOutputWidth = 640;
constexpr int kOutputHeight = 100;
// How long a note stays in the status bar.
constexpr int kStatusMs = 5000;

} // namespace

BuildController::BuildController(BuildContext context)
    : m_context(std::move(context))
    , m_driver(*this, m_context.messages, m_context.processes, m_context.sleeper)
{
    AddStepKeys(m_context.mainWindow);
    connect(&m_context.documents, &CDocManager::documentCountChanged, this,
        &BuildController::MarkOpenDocuments);
}

BuildController::~BuildController()
{
    delete m_outputWindow;
}

bool BuildController::HasActiveDocument() const
{
    return m_context.documents.ActiveDocument() != nullptr;
}

bool BuildController::ActiveDocumentModified() const
{
    const CQuorlenDoc *document = m_context.documents.ActiveDocument();
    return document && document->IsModified();
}

bool BuildController::ActiveDocumentHasPath() const
{
    const CQuorlenDoc *document = m_context.documents.ActiveDocument();
    return document && !document->PathName().empty();
}

void BuildController::SaveActiveDocument()
{
    if (CQuorlenDoc *document = m_context.documents.ActiveDocument())
        document->OnSaveDocument(document->PathName());
}

std::vector<std::string> BuildController::ModifiedOtherDocuments(
    const std::vector<std::string> &paths) const
{
    const CQuorlenDoc *active = m_context.documents.ActiveDocument();
    std::vector<std::string> modified;
    for (const std::string &path : paths) {
        const CQuorlenDoc *document = m_context.documents.FindDocument(path);
        if (document && document != active && document->IsModified()
            && std::find(modified.begin(), modified.end(), path) == modified.end())
            modified.push_back(path);
    }
    return modified;
}

bool BuildController::SaveDocument(const std::string &path)
{
    CQuorlenDoc *document = m_context.documents.FindDocument(path);
    return !document || document->OnSaveDocument(path);
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
    // A compiler that did not run leaves no result of its own to mark.
    if (!m_driver.Compile(m_context.programDir, m_context.project))
        m_resultPending = false;
}

bool BuildController::CompileThen(std::function<void()> done)
{
    m_afterBuild = std::move(done);
    Compile();
    if (!m_driver.Running()) {
        m_afterBuild = nullptr;
        return false;
    }
    return true;
}

void BuildController::ShowLines(std::vector<std::string> entries)
{
    COutputWindow *window = m_outputWindow ? m_outputWindow.data() : NewOutputWindow();
    window->SetResult(std::make_shared<const BuildResult>(
        std::move(entries), DirectoryOf(m_driver.CompilerOutputPath())));
    window->show();
    window->List()->scrollToBottom();
}

void BuildController::SetEscapeAction(std::function<void()> action)
{
    m_escapeAction = std::move(action);
    if (m_cancelKey)
        m_cancelKey->setEnabled(m_driver.Running() || m_escapeAction);
}

void BuildController::BuildStarting()
{
    m_marked.reset();
    m_resultPending = true;
    for (CQuorlenDoc *document : m_context.documents.Documents())
        document->ClearMessageMarks();
}

// Marks the open documents that the last build's messages name and that have no marks yet
// (those opened since).
void BuildController::MarkOpenDocuments()
{
    if (!m_marked)
        return;
    for (const auto &[file, messages] : m_marked->LineMessagesByFile()) {
        CQuorlenDoc *document = m_context.documents.FindDocument(file);
        if (document && !document->HasMessageMarks())
            document->SetMessageMarks(messages);
    }
}

void BuildController::StepMessage(bool forward)
{
    COutputWindow *window = m_outputWindow;
    if (!window)
        return;
    const int row =
        StepMessageRow(window->NavigableEntries(), window->List()->currentRow(), forward);
    if (row >= 0)
        window->GoToEntry(row);
}

void BuildController::ShowOutputWindow()
{
    COutputWindow *window = NewOutputWindow();
    if (!m_driver.Running())
        m_driver.ReadMessages();
    // The Output Window command only lists the file again; the marks stay where the edits
    // since the build have moved them.
    window->SetResult(MakeResult());
}

void BuildController::BuildFinished()
{
    auto result = MakeResult();
    if (m_cancelKey)
        m_cancelKey->setEnabled(static_cast<bool>(m_escapeAction));
    if (m_outputWindow) {
        m_outputWindow->SetResult(result);
        m_outputWindow->show();
    }
    if (m_resultPending) {
        m_resultPending = false;
        m_marked = std::move(result);
        MarkOpenDocuments();
    }
    if (auto done = std::move(m_afterBuild)) {
        m_afterBuild = nullptr;
        done();
    }
}

std::shared_ptr<const BuildResult> BuildController::MakeResult() const
{
    return std::make_shared<const BuildResult>(
        m_driver.Entries(), DirectoryOf(m_driver.CompilerOutputPath()));
}

void BuildController::ShowStatus(const std::string &text)
{
    if (auto *window = qobject_cast<QMainWindow *>(m_context.mainWindow))
        window->statusBar()->showMessage(ToQt(text), kStatusMs);
}

COutputWindow *BuildController::NewOutputWindow()
{
    delete m_outputWindow;
    auto *window = new COutputWindow(m_context.mainWindow);
    m_outputWindow = window;
    connect(window, &COutputWindow::navigateRequested, this, &BuildController::Navigate);
    AddStepKeys(window);
    // Escape in the output window ends a running build, as it does in the main window (there,
    // as the accelerator's command); once the build is over it closes the window again.
    auto *cancel = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    cancel->setContext(Qt::WindowShortcut);
    cancel->setEnabled(m_driver.Running() || m_escapeAction);
    connect(cancel, &QShortcut::activated, this, [this] {
        if (m_driver.Running())
            m_driver.Cancel();
        else if (m_escapeAction)
            m_escapeAction();
    });
    m_cancelKey = cancel;
    window->move(kOutputX, kOutputY);
    window->resize(kOutputWidth, kOutputHeight);
    window->show();
    window->repaint();
    return window;
}

void BuildController::Navigate(int row)
{
    if (!m_outputWindow)
        return;
    const BuildResult &result = m_outputWindow->Result();
    const BuildResult::Place *place = result.PlaceAt(row);
    if (!place) {
        // A message that reads like one about a place, but whose line number cannot be used.
        if (row >= 0 && static_cast<size_t>(row) < result.Entries().size()
            && IsNavigable(result.Entries()[static_cast<size_t>(row)]))
            ShowStatus("This message names no line that can be gone to.");
        return;
    }
    m_navigationFile = place->file;
    m_navigationLine = place->line;
    // A file that cannot be opened is reported by the document; no other view moves then.
    const CQuorlenDoc *document = m_context.documents.OpenDocumentFile(place->path);
    CQuorlenView *view = m_context.documents.ActiveView();
    if (!document || !view || view->GetDocument() != document)
        return;
    // Line numbers below 1 name no line: the file is shown as it is.
    if (m_navigationLine >= 1) {
        view->GotoLine(m_navigationLine - 1);
        if (m_outputWindow && m_outputWindow->isVisible())
            view->ShowCaretLineClearOf(m_outputWindow->frameGeometry());
    }
    m_context.mainWindow->activateWindow();
    view->setFocus();
}

} // namespace ostrel

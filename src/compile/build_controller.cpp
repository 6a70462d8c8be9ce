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
#include "platform/qt_services.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QShortcut>
#include <QStatusBar>

#include <map>

namespace ostrel {

namespace {

constexpr int kOutputX = 0;
constexpr int kOutputY = 360;
constexpr int kOutputWidth = 640;
constexpr int kOutputHeight = 100;
constexpr int kStatusMs = 5000;

} // namespace

BuildController::BuildController(CQuorlenApp &app)
    : m_app(app)
    , m_driver(*this, app.Services().messages, app.Services().processes, app.Services().sleeper)
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
    QCoreApplication::instance()->installEventFilter(this);
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
    m_driver.Compile(m_app.ProgramDir(), m_app.Project());
}

void BuildController::BuildFinished()
{
    if (m_outputWindow) {
        m_outputWindow->SetEntries(m_driver.Entries());
        m_outputWindow->show();
    }
    const std::string messageDir = DirectoryOf(m_driver.CompilerOutputPath());
    for (LineMessage &message : LineMessages(m_driver.Entries())) {
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
    if (!m_driver.Running())
        m_driver.ReadMessages();
    window->SetEntries(m_driver.Entries());
}

void BuildController::ShowStatus(const std::string &text)
{
    m_app.MainFrame()->statusBar()->showMessage(ToQt(text), kStatusMs);
}

// Escape in the output window ends a running build, as it does in the main window (there, as
// the accelerator's command); otherwise it closes the window.
bool BuildController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_driver.Running()
        || static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape || !watched->isWidgetType()
        || !m_outputWindow || static_cast<QWidget *>(watched)->window() != m_outputWindow)
        return false;
    m_driver.Cancel();
    return true;
}

void BuildController::Navigate(const std::string &entry)
{
    const auto location = ParseMessageLocation(entry);
    if (!location) {
        // A message that reads like one about a place, but whose line number cannot be used.
        if (IsNavigable(entry))
            ShowStatus("This message names no line that can be gone to.");
        return;
    }
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

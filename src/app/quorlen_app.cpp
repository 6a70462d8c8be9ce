#include "app/quorlen_app.h"

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/new_chooser_dlg.h"
#include "app/version_file.h"
#include "app/workspace_file.h"
#include "chip/program_controller.h"
#include "chip/serial_monitor.h"
#include "codegen/generator_commands.h"
#include "compile/build_controller.h"
#include "editor/child_frame.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "editor/snapshot_keeper.h"
#include "framework/path_parts.h"
#include "platform/file_dialogs.h"
#include "platform/printing.h"
#include "platform/process_launcher.h"
#include "platform/qt_services.h"
#include "project/project_commands.h"
#include "project/project_files_pane.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QShortcut>

namespace ostrel {

const CommandMap<CQuorlenApp> &CQuorlenApp::Commands()
{
    using M = CommandMap<CQuorlenApp>;
    static const M map {
        M::On(CommandId::FileNew, &CQuorlenApp::OnFileNew),
        M::On(CommandId::FileOpen, &CQuorlenApp::OnFileOpen),
        M::On(CommandId::ProjectNew, &CQuorlenApp::OnProjectNew),
        M::On(CommandId::ProjectOpen, &CQuorlenApp::OnProjectOpen),
        M::On(CommandId::ProjectSettings, &CQuorlenApp::OnProjectSettings),
        M::On(CommandId::ProjectClose, &CQuorlenApp::OnProjectClose),
        M::OnState(CommandId::ProjectClose, &CQuorlenApp::OnUpdateProjectClose),
        M::On(CommandId::ProjectFiles, &CQuorlenApp::OnProjectFiles),
        M::On(CommandId::FilePrintSetup, &CQuorlenApp::OnFilePrintSetup),
        M::OnRange(
            CommandId::RecentFileFirst, CommandId::RecentFileLast, &CQuorlenApp::OnOpenRecentFile),
        M::On(CommandId::AppAbout, &CQuorlenApp::OnAppAbout),
        M::On(CommandId::AppExit, &CQuorlenApp::OnAppExit),
        M::OnRange(CommandId::InterruptMasks, CommandId::UartSettings, &CQuorlenApp::OnGenerator),
        M::On(CommandId::Compile, &CQuorlenApp::OnCompile),
        M::OnState(CommandId::Compile, &CQuorlenApp::OnUpdateCompile),
        M::On(CommandId::OutputWindow, &CQuorlenApp::OnOutputWindow),
        M::On(CommandId::SerialMonitor, &CQuorlenApp::OnSerialMonitor),
        M::On(CommandId::ProgramChip, &CQuorlenApp::OnProgramChip),
        M::On(CommandId::ProgrammerSettings, &CQuorlenApp::OnProgrammerSettings),
        M::On(CommandId::Escape, &CQuorlenApp::OnEscape),
        M::OnState(CommandId::Escape, &CQuorlenApp::OnUpdateEscape),
    };
    return map;
}

CQuorlenApp::CQuorlenApp(AppServices services, AppPaths paths)
    : m_services(services)
    , m_paths(std::move(paths))
    , m_programDir(m_paths.programDir)
{
    if (!m_programDir.empty() && m_programDir.back() != '/' && m_programDir.back() != '\\')
        m_programDir += '/';
}

CChildFrame *CQuorlenApp::ActiveFrame() const
{
    // Windows still come and go while the document manager is made and taken down.
    return m_docManager ? m_docManager->ActiveFrame() : nullptr;
}

DocumentServices CQuorlenApp::DocServices() const
{
    return { m_services.messages, m_services.fileDialogs, m_services.clipboard, m_services.printing,
        m_services.processes };
}

CQuorlenApp::~CQuorlenApp()
{
    // The output window and the documents with their windows go before the main window that
    // holds them; the documents' snapshots are settled while they are still there.
    m_programmer.reset();
    m_build.reset();
    m_serialMonitor.reset();
    m_snapshots.reset();
    m_docManager.reset();
    m_mainFrame.reset();
}

bool CQuorlenApp::InitInstance(const std::vector<std::string> &arguments)
{
    m_recentFiles.ReadFrom(m_services.profile);
    m_mainFrame =
        std::make_unique<CMainFrame>(*this, m_services.keyboardLocks, m_services.systemLook);
    CreateParts();
    ShowRecentFiles();
    m_mainFrame->showMaximized();
    m_workspacePath = ChooseWorkspacePath();

    m_project.Close();

    const std::string commandLinePath = CommandLinePath(arguments);
    if (!commandLinePath.empty())
        m_docManager->OpenDocumentFile(commandLinePath);
    else
        RestoreWorkspace();

    m_project.Reload(m_services.messages);
    if (ActiveFrame())
        RefreshIndicators();
    if (m_snapshots)
        m_snapshots->OfferRecovery();
    return true;
}

// The document manager and what works with it, each given only what it uses, and the main
// window's hooks into them.
void CQuorlenApp::CreateParts()
{
    m_docManager = std::make_unique<CDocManager>(DocServices(), *this, m_mainFrame->MdiArea());
    if (!m_paths.dataDir.empty())
        m_snapshots =
            std::make_unique<CSnapshotKeeper>(m_paths.dataDir, *m_docManager, m_services.messages);
    m_build = std::make_unique<BuildController>(BuildContext { *m_docManager, m_mainFrame.get(),
        m_project, m_programDir, m_services.messages, m_services.processes, m_services.sleeper });
    m_programmer =
        std::make_unique<ProgramController>(ProgramContext { *m_build, m_project, *m_docManager,
            m_mainFrame.get(), m_services.messages, m_services.processes, m_services.sleeper,
            // The serial monitor lets go of the programmer's port while it programs (the
            // same port is often both) and opens it again afterwards.
            [this](const std::string &port, bool programming) {
                if (!m_serialMonitor)
                    return;
                if (programming)
                    m_serialMonitor->ReleasePort(port);
                else
                    m_serialMonitor->RestorePort();
            } });
    m_projectCommands = std::make_unique<ProjectCommands>(ProjectCommandContext { m_project,
        m_services.messages, m_services.fileDialogs, *m_docManager, m_mainFrame.get(),
        [this] {
            SaveWorkspace();
        },
        [this] {
            RefreshIndicators();
        } });
    // An extra key for the serial monitor; it is bound to nothing else.
    auto *monitorKey =
        new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), m_mainFrame.get());
    monitorKey->setContext(Qt::WindowShortcut);
    connect(monitorKey, &QShortcut::activated, this, &CQuorlenApp::OnSerialMonitor);
    m_filesPane = new CProjectFilesPane(
        [this](const std::string &path) {
            m_docManager->OpenDocumentFile(path);
        },
        m_mainFrame.get());
    m_mainFrame->addDockWidget(Qt::LeftDockWidgetArea, m_filesPane);
    m_filesPane->hide();
    connect(m_docManager.get(), &CDocManager::documentCountChanged, this, [this](int count) {
        m_mainFrame->SetDocumentOpen(count > 0);
    });
    connect(m_mainFrame->MdiArea(), &QMdiArea::subWindowActivated, this,
        &CQuorlenApp::OnActiveWindowChanged);
    connect(m_docManager.get(), &CDocManager::viewDestroyed, this, &CQuorlenApp::OnViewDestroyed);
    m_mainFrame->SetNewWindowHandler([this] {
        if (CQuorlenDoc *document = m_docManager->ActiveDocument())
            m_docManager->CreateNewFrame(document);
    });
    m_mainFrame->SetCloseGuard([this] {
        if (!m_docManager->SaveAllModified())
            return false;
        m_docManager->CloseAllDocuments();
        return true;
    });
}

void CQuorlenApp::RestoreWorkspace()
{
    const auto record = ReadWorkspaceFile(m_workspacePath);
    if (!record) {
        OnFileNew();
        return;
    }
    m_project.Restore(record->projectPath, record->projectOpen != 0);
    // A workspace file without a file to reopen starts like a first run.
    if (record->lastFile.empty())
        OnFileNew();
    else
        m_docManager->OpenDocumentFile(record->lastFile);
}

std::string CQuorlenApp::ChooseWorkspacePath() const
{
    const QString programDir = ToQt(m_programDir);
    const QFileInfo inProgramDir(QDir(programDir).filePath(QLatin1String(kWorkspaceFileName)));
    const QFileInfo dir(programDir);
    const bool writable =
        (dir.isDir() && dir.isWritable()) || (inProgramDir.exists() && inProgramDir.isWritable());
    if (writable && !m_paths.perUserWorkspace)
        return FromQt(inProgramDir.filePath());
    // An installed program: keep the workspace per user.
    QDir().mkpath(ToQt(m_paths.configDir));
    return FromQt(QDir(ToQt(m_paths.configDir)).filePath(QLatin1String(kWorkspaceFileName)));
}

void CQuorlenApp::SaveWorkspace()
{
    WriteWorkspaceFile(m_workspacePath,
        { m_project.CFile(), m_project.IsOpen() ? 1 : 0, m_project.Path() },
        WorkspaceWriter::Project, m_services.messages);
}

void CQuorlenApp::RecordOpenedFile(const std::string &path)
{
    WriteWorkspaceFile(m_workspacePath, { path, m_project.IsOpen() ? 1 : 0, m_project.Path() },
        WorkspaceWriter::OpenHook, m_services.messages);
}

void CQuorlenApp::AddToRecentFiles(const std::string &path)
{
    m_recentFiles.Add(path);
    m_recentFiles.WriteTo(m_services.profile);
    ShowRecentFiles();
}

void CQuorlenApp::ShowRecentFiles()
{
    std::vector<std::string> texts;
    for (size_t i = 0; i < m_recentFiles.Entries().size(); ++i)
        texts.push_back(m_recentFiles.MenuText(i));
    if (m_mainFrame)
        m_mainFrame->SetRecentFiles(texts);
}

void CQuorlenApp::OnActiveWindowChanged()
{
    const CChildFrame *frame = ActiveFrame();
    if (!frame) {
        m_mainFrame->SetActiveTargets(nullptr, nullptr);
        return;
    }
    m_mainFrame->SetActiveTargets(frame->GetView(), frame->GetDocument());
    // The pane shows the line of the window now in front, not of the one before.
    RefreshIndicators();
}

void CQuorlenApp::OnViewDestroyed(CQuorlenView *view)
{
    // A view that goes away leaves the command route before any command state is asked of it.
    if (m_mainFrame->Router().GetRoute()[0] == view)
        m_mainFrame->SetActiveTargets(nullptr, nullptr);
}

void CQuorlenApp::RefreshIndicators()
{
    if (!m_mainFrame)
        return;
    QString line;
    if (const CChildFrame *frame = ActiveFrame()) {
        const CQuorlenView *view = frame->GetView();
        const long position = view->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
        const long lineIndex = view->SendScintilla(
            QsciScintilla::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
        line = QStringLiteral("Line %1").arg(lineIndex + 1);
    }
    m_mainFrame->SetLineText(line);
    m_mainFrame->SetProjectText(m_project.IsOpen() ? ToQt(BaseNameOf(m_project.Path())).toUpper()
                                                   : QStringLiteral("Empty Project"));
    if (m_filesPane)
        m_filesPane->ShowProject(m_project.Record(), m_project.IsOpen());
}

void CQuorlenApp::ShowPopupMenu(uint16_t menuId, int x, int y)
{
    m_mainFrame->ShowPopupMenu(menuId, QPoint(x, y));
}

void CQuorlenApp::OnOpenRecentFile(uint16_t id)
{
    const size_t index = id - ToUint(CommandId::RecentFileFirst);
    if (index >= m_recentFiles.Entries().size())
        return;
    const std::string path = m_recentFiles.Entries()[index];
    if (!m_docManager->OpenDocumentFile(path)) {
        // A file that can no longer be opened leaves the list.
        m_recentFiles.Remove(index);
        m_recentFiles.WriteTo(m_services.profile);
        ShowRecentFiles();
    }
}

void CQuorlenApp::OnFileOpen()
{
    m_projectCommands->OpenFileCommand();
}

void CQuorlenApp::OnProjectNew()
{
    m_projectCommands->ProjectNew();
}

void CQuorlenApp::OnProjectOpen()
{
    m_projectCommands->ProjectOpen();
}

void CQuorlenApp::OnProjectSettings()
{
    m_projectCommands->ProjectSettings();
}

void CQuorlenApp::OnProjectClose()
{
    m_projectCommands->ProjectClose();
}

void CQuorlenApp::OnProjectFiles()
{
    m_filesPane->ShowProject(m_project.Record(), m_project.IsOpen());
    m_filesPane->Present();
}

void CQuorlenApp::OnUpdateProjectClose(CommandState &state)
{
    state.enabled = ActiveFrame() != nullptr;
}

void CQuorlenApp::OnFilePrintSetup()
{
    m_services.printing.ShowPrintSetup();
}

void CQuorlenApp::OnAppExit()
{
    m_mainFrame->close();
}

void CQuorlenApp::OnGenerator(uint16_t id)
{
    if (static_cast<CommandId>(id) != CommandId::UartSettings) {
        RunGeneratorDialog(static_cast<CommandId>(id), m_mainFrame.get(), m_services.clipboard);
        return;
    }
    // The serial monitor starts at the baud rate the firmware's UART code was made for.
    if (const std::optional<int> baud = RunUartDialog(m_mainFrame.get(), m_services.clipboard))
        m_uartBaud = *baud;
}

CSerialMonitor &CQuorlenApp::SerialMonitor()
{
    if (!m_serialMonitor)
        m_serialMonitor =
            std::make_unique<CSerialMonitor>(SerialMonitorServices { m_services.sleeper,
                                                 m_services.fileDialogs, m_services.messages },
                m_mainFrame.get());
    return *m_serialMonitor;
}

void CQuorlenApp::OnSerialMonitor()
{
    CSerialMonitor &monitor = SerialMonitor();
    if (m_uartBaud != m_monitorBaud) {
        monitor.SetDefaultBaud(m_uartBaud);
        m_monitorBaud = m_uartBaud;
    }
    monitor.show();
    monitor.raise();
    monitor.activateWindow();
}

void CQuorlenApp::OnAppAbout()
{
    CAboutDlg dialog(ReadVersionLine(m_programDir + "version.txt"), m_mainFrame.get());
    dialog.exec();
}

void CQuorlenApp::OnCompile()
{
    m_build->Compile();
}

void CQuorlenApp::OnOutputWindow()
{
    m_build->ShowOutputWindow();
}

void CQuorlenApp::OnProgramChip()
{
    m_programmer->Program();
}

void CQuorlenApp::OnProgrammerSettings()
{
    m_programmer->EditSettings();
}

void CQuorlenApp::OnEscape()
{
    m_build->CancelBuild();
}

void CQuorlenApp::OnUpdateEscape(CommandState &state)
{
    state.enabled = m_build->Driver().Running();
}

void CQuorlenApp::OnFileNew()
{
    CNewChooserDlg chooser(m_mainFrame.get());
    if (chooser.exec() != QDialog::Accepted)
        return;
    if (chooser.GetChoice() == CNewChooserDlg::NewFile) {
        m_docManager->NewDocument();
        return;
    }
    m_projectCommands->ProjectNew();
    // A C file that is open already has its window brought forward: a second document on
    // the same file would let one overwrite the other's changes.
    if (m_project.IsCreated())
        m_docManager->OpenDocumentFile(m_project.CFile());
}

bool CQuorlenApp::CanSendMail()
{
    // Looked up once: the command-state update asks for it several times a second.
    if (!m_mailProgramFound)
        m_mailProgramFound = m_services.processes.CanFind(kMailProgram);
    return *m_mailProgramFound;
}

} // namespace ostrel

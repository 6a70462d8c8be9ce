#include "app/quorlen_app.h"

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/version_file.h"
#include "app/workspace_file.h"
#include "codegen/generator_commands.h"
#include "editor/child_frame.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "framework/doc_template.h"
#include "framework/path_parts.h"
#include "platform/file_dialogs.h"
#include "platform/print_setup.h"
#include "platform/qt_services.h"
#include "project/compiler_options.h"
#include "project/project_file.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace ostrel {

namespace {

const char kOpenFilter[] = "Data and Project Files (*.C;*.asm;*.prj)|*.c;*.asm;*.prj|"
                           "Data Files (*.C;*.asm;)|*.c;*.asm|Project (*.prj)|*.prj|"
                           "C Files (*.c)|*.c|ASM Files (*.asm)|*.asm|All Files (*.*)|*.*||";

} // namespace

const CommandMap<CQuorlenApp> &CQuorlenApp::Commands()
{
    using M = CommandMap<CQuorlenApp>;
    static const M map {
        M::On(CommandId::FileNew, &CQuorlenApp::OnFileNew),
        M::On(CommandId::FileOpen, &CQuorlenApp::OnFileOpen),
        M::On(CommandId::FilePrintSetup, &CQuorlenApp::OnFilePrintSetup),
        M::OnRange(
            CommandId::RecentFileFirst, CommandId::RecentFileLast, &CQuorlenApp::OnOpenRecentFile),
        M::On(CommandId::AppAbout, &CQuorlenApp::OnAppAbout),
        M::On(CommandId::AppExit, &CQuorlenApp::OnAppExit),
        M::OnRange(CommandId::InterruptMasks, CommandId::UartSettings, &CQuorlenApp::OnGenerator),
        M::OnState(CommandId::Compile, &CQuorlenApp::OnUpdateCompile),
    };
    return map;
}

CQuorlenApp::CQuorlenApp(AppServices services, AppPaths paths)
    : m_services(services)
    , m_paths(std::move(paths))
{
}

CQuorlenApp::~CQuorlenApp()
{
    // Documents and their windows go before the main window that holds them.
    m_docTemplate.reset();
    m_mainFrame.reset();
}

bool CQuorlenApp::InitInstance(const std::vector<std::string> &arguments)
{
    m_recentFiles.ReadFrom(m_services.profile);
    m_mainFrame = std::make_unique<CMainFrame>(*this, m_services.keyboardLocks);
    m_docTemplate = std::make_unique<CDocTemplate>(*this, m_mainFrame->MdiArea());
    connect(m_docTemplate.get(), &CDocTemplate::documentCountChanged, this, [this](int count) {
        m_mainFrame->SetDocumentOpen(count > 0);
    });
    connect(m_mainFrame->MdiArea(), &QMdiArea::subWindowActivated, this,
        &CQuorlenApp::OnActiveWindowChanged);
    connect(m_docTemplate.get(), &CDocTemplate::viewDestroyed, this, &CQuorlenApp::OnViewDestroyed);
    m_mainFrame->SetNewWindowHandler([this] {
        if (auto *frame = qobject_cast<CChildFrame *>(m_mainFrame->MdiArea()->activeSubWindow()))
            m_docTemplate->CreateNewFrame(frame->GetDocument());
    });
    ShowRecentFiles();
    m_mainFrame->SetCloseGuard([this] {
        if (!m_docTemplate->SaveAllModified())
            return false;
        m_docTemplate->CloseAllDocuments();
        return true;
    });
    m_mainFrame->showMaximized();

    m_programDir = m_paths.programDir;
    if (!m_programDir.empty() && m_programDir.back() != '/' && m_programDir.back() != '\\')
        m_programDir += '/';
    m_workspacePath = ChooseWorkspacePath();

    ResetProject(project);
    project.projectPath = "NONAME";
    projectOpen = 0;

    const std::string commandLinePath = CommandLinePath(arguments);
    if (!commandLinePath.empty())
        m_docTemplate->OpenDocumentFile(commandLinePath);
    else
        RestoreWorkspace();

    if (projectOpen != 0 && !LoadProject(project, m_services.messages))
        projectOpen = 0;
    ApplyOptions(project, BuildOptionsFromProject(project));
    if (m_mainFrame->MdiArea()->activeSubWindow())
        RefreshIndicators();
    return true;
}

void CQuorlenApp::RestoreWorkspace()
{
    const auto record = ReadWorkspaceFile(m_workspacePath);
    if (!record) {
        OnFileNew();
        return;
    }
    projectOpen = record->projectOpen;
    project.projectPath = record->projectPath;
    // A workspace file without a file to reopen starts like a first run.
    if (record->lastFile.empty())
        OnFileNew();
    else
        m_docTemplate->OpenDocumentFile(record->lastFile);
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
    WriteWorkspaceFile(m_workspacePath, { project.cFile, projectOpen, project.projectPath },
        WorkspaceWriter::Project, m_services.messages);
}

void CQuorlenApp::RecordOpenedFile(const std::string &path)
{
    WriteWorkspaceFile(m_workspacePath, { path, projectOpen, project.projectPath },
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
    auto *frame = qobject_cast<CChildFrame *>(m_mainFrame->MdiArea()->activeSubWindow());
    disconnect(m_caretConnection);
    if (!frame) {
        m_mainFrame->SetActiveTargets(nullptr, nullptr);
        return;
    }
    m_mainFrame->SetActiveTargets(frame->GetView(), frame->GetDocument());
    m_caretConnection =
        connect(frame->GetView(), &QsciScintilla::cursorPositionChanged, this, [this] {
            RefreshIndicators();
        });
    RefreshIndicators();
}

void CQuorlenApp::OnViewDestroyed(CQuorlenView *view)
{
    // A view that goes away leaves the command route before any command state is asked of it.
    if (m_mainFrame->Router().GetRoute()[0] == view) {
        disconnect(m_caretConnection);
        m_mainFrame->SetActiveTargets(nullptr, nullptr);
    }
}

void CQuorlenApp::RefreshIndicators()
{
    auto *frame = qobject_cast<CChildFrame *>(m_mainFrame->MdiArea()->activeSubWindow());
    QString line;
    if (frame) {
        int lineIndex = 0, column = 0;
        frame->GetView()->getCursorPosition(&lineIndex, &column);
        line = QStringLiteral("Line %1").arg(lineIndex + 1);
    }
    m_mainFrame->LinePane()->setText(line);

    QComboBox *box = m_mainFrame->ProjectBox();
    box->clear();
    box->addItem(projectOpen != 0 ? ToQt(BaseNameOf(project.projectPath)).toUpper()
                                  : QStringLiteral("Empty Project"));
    box->setCurrentIndex(0);
}

void CQuorlenApp::OnOpenRecentFile(uint16_t id)
{
    const size_t index = id - ToUint(CommandId::RecentFileFirst);
    if (index >= m_recentFiles.Entries().size())
        return;
    const std::string path = m_recentFiles.Entries()[index];
    if (!m_docTemplate->OpenDocumentFile(path)) {
        // A file that can no longer be opened leaves the list.
        m_recentFiles.Remove(index);
        m_recentFiles.WriteTo(m_services.profile);
        ShowRecentFiles();
    }
}

void CQuorlenApp::OnFileOpen()
{
    FileDialogRequest request;
    request.title = "Open";
    request.filter = kOpenFilter;
    request.defaultExtension = "C";
    const auto chosen = m_services.fileDialogs.OpenFile(request);
    if (!chosen)
        return;
    std::string path = *chosen;
    const std::string extension = ExtensionOf(path);
    // Only "PRJ" and "prj" name a project; other spellings open as source files.
    if (extension == "PRJ" || extension == "prj") {
        project.projectPath = path;
        if (LoadProject(project, m_services.messages)) {
            projectOpen = 1;
            SaveWorkspace();
            ApplyOptions(project, BuildOptionsFromProject(project));
            path = project.cFile;
        }
    }
    m_docTemplate->OpenDocumentFile(path);
    RefreshIndicators();
}

void CQuorlenApp::OnFilePrintSetup()
{
    m_services.printSetup.ShowPrintSetup();
}

void CQuorlenApp::OnAppExit()
{
    m_mainFrame->close();
}

void CQuorlenApp::OnGenerator(uint16_t id)
{
    RunGeneratorDialog(static_cast<CommandId>(id), m_mainFrame.get(), m_services.clipboard);
}

void CQuorlenApp::OnAppAbout()
{
    CAboutDlg dialog(ReadVersionLine(m_programDir + "version.txt"), m_mainFrame.get());
    dialog.exec();
}

void CQuorlenApp::OnFileNew()
{
    m_docTemplate->OpenDocumentFile(std::string());
}

} // namespace ostrel

#include "app/quorlen_app.h"

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/version_file.h"
#include "app/workspace_file.h"
#include "framework/doc_template.h"
#include "framework/path_parts.h"
#include "platform/qt_services.h"
#include "project/compiler_options.h"
#include "project/project_file.h"

#include <QDir>
#include <QFileInfo>

namespace ostrel {

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
    m_mainFrame = std::make_unique<CMainFrame>();
    m_docTemplate = std::make_unique<CDocTemplate>(*this, m_mainFrame->MdiArea());
    m_mainFrame->SetCloseGuard([this] {
        return m_docTemplate->SaveAllModified();
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
    if ((dir.isDir() && dir.isWritable()) || (inProgramDir.exists() && inProgramDir.isWritable()))
        return FromQt(inProgramDir.filePath());
    // A system-wide install: keep the workspace per user.
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

void CQuorlenApp::AddToRecentFiles(const std::string &) { }

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

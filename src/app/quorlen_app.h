#pragma once

#include "app/app_services.h"
#include "editor/document_host.h"
#include "framework/command_map.h"
#include "framework/recent_file_list.h"
#include "project/project_session.h"

#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ostrel {

class BuildController;
class ProgramController;
class CChildFrame;
class CDocManager;
class CMainFrame;
class CProjectFilesPane;
class CQuorlenView;
class CSerialMonitor;
class CSnapshotKeeper;
class ProjectCommands;

// The application object: start-up, the workspace file, the recent-file list and the
// application's commands. It holds the open project's session and creates the parts that
// keep the rest (the document manager, the project commands, the build controller), handing
// each only what it needs.
class CQuorlenApp : public QObject, public DocumentHost, public CommandTargetOf<CQuorlenApp>
{
    Q_OBJECT

public:
    CQuorlenApp(AppServices services, AppPaths paths);
    ~CQuorlenApp() override;

    static const CommandMap<CQuorlenApp> &Commands();

    // Creates the main window and restores the last session; `arguments` as given to main.
    bool InitInstance(const std::vector<std::string> &arguments);

    // Writes the workspace file from the open project.
    void SaveWorkspace();

    // Command handlers.
    void OnAppAbout();
    void OnAppExit();
    void OnFileNew();
    void OnFileOpen();
    void OnProjectNew();
    void OnProjectOpen();
    void OnProjectSettings();
    void OnProjectClose();
    void OnProjectFiles();
    // Project Close belongs to the source window: offered only while one is active.
    void OnUpdateProjectClose(CommandState &state);
    void OnFilePrintSetup();
    void OnOpenRecentFile(uint16_t id);
    void OnGenerator(uint16_t id);
    void OnCompile();
    // Compile is available at all times, also without a document.
    void OnUpdateCompile(CommandState &) { }
    void OnOutputWindow();
    // Shows the serial monitor, made on first use.
    void OnSerialMonitor();
    void OnProgramChip();
    void OnProgrammerSettings();
    // Escape ends a running build; it does nothing otherwise.
    void OnEscape();
    void OnUpdateEscape(CommandState &state);

    const RecentFileList &RecentFiles() const { return m_recentFiles; }

    CMainFrame *MainFrame() const { return m_mainFrame.get(); }
    CProjectFilesPane *FilesPane() const { return m_filesPane; }
    // The open documents and which one is active.
    CDocManager &DocManager() const { return *m_docManager; }
    // Null when the program runs without a data folder.
    CSnapshotKeeper *Snapshots() const { return m_snapshots.get(); }
    const AppServices &Services() const { return m_services; }

    const std::string &ProgramDir() const { return m_programDir; }
    const std::string &WorkspacePath() const { return m_workspacePath; }

    // The open project, its flags and its compiler options.
    ProjectSession &Project() { return m_project; }
    const ProjectSession &Project() const { return m_project; }

    // Compile, the output window and going from a message to its line.
    BuildController &Build() const { return *m_build; }
    // The serial monitor window (made on first use); the programmer releases its port.
    CSerialMonitor &SerialMonitor();
    ProgramController &Programmer() const { return *m_programmer; }

    // DocumentHost
    bool CanSendMail() override;
    void RecordOpenedFile(const std::string &path) override;
    void AddToRecentFiles(const std::string &path) override;
    // The caret line in the status bar and the project's name in the project box.
    void RefreshIndicators() override;
    void ShowPopupMenu(uint16_t menuId, int x, int y) override;

private:
    void CreateParts();
    void RestoreWorkspace();
    std::string ChooseWorkspacePath() const;
    void ShowRecentFiles();
    DocumentServices DocServices() const;
    CChildFrame *ActiveFrame() const;
    void OnActiveWindowChanged();
    void OnViewDestroyed(CQuorlenView *view);

    AppServices m_services;
    AppPaths m_paths;
    std::string m_programDir;
    std::string m_workspacePath;
    std::unique_ptr<CMainFrame> m_mainFrame;
    std::unique_ptr<CDocManager> m_docManager;
    std::unique_ptr<CSnapshotKeeper> m_snapshots;
    RecentFileList m_recentFiles;
    ProjectSession m_project;
    std::unique_ptr<ProjectCommands> m_projectCommands;
    CProjectFilesPane *m_filesPane = nullptr; // owned by the main frame
    std::unique_ptr<BuildController> m_build;
    std::unique_ptr<ProgramController> m_programmer;
    std::optional<bool> m_mailProgramFound;
    std::unique_ptr<CSerialMonitor> m_serialMonitor;
    int m_uartBaud = 9600; // of the UART code last generated
    int m_monitorBaud = 0; // the default the monitor was last given
};

} // namespace ostrel

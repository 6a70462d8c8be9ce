#pragma once

#include "chip/avrdude_run.h"

#include <QObject>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMainWindow;

namespace ostrel {

class BuildController;
class CDocManager;
class MessageBoxes;
class PendingWait;
class ProcessLauncher;
class ProjectSession;
class RunningProcess;
class Sleeper;
struct LaunchResult;

// What programming the chip works with in the running application.
struct ProgramContext
{
    BuildController &build;
    ProjectSession &project;
    CDocManager &documents;
    QMainWindow *mainWindow; // its status bar holds the progress bar and Cancel
    MessageBoxes &messages;
    ProcessLauncher &processes;
    Sleeper &sleeper; // the time without progress after which avrdude is ended
    // Called with the port before avrdude starts (true) and once it has ended (false), so
    // that whatever holds the port (a serial monitor) lets it go and takes it back. May be
    // empty.
    std::function<void(const std::string &port, bool programming)> portHook;
};

// Chip > Program Chip: builds the firmware when anything is out of date, then has avrdude
// write and verify it, one line per step in the output window, with a progress bar and
// Cancel in the status bar; and Chip > Programmer Settings.
class ProgramController : public QObject
{
    Q_OBJECT

public:
    explicit ProgramController(ProgramContext context);
    ~ProgramController() override;

    void Program();
    // Ends avrdude and every process it started; nothing when none runs.
    void Cancel();
    bool Running() const { return m_running; }
    // From the command to the last line: building or running avrdude.
    bool Busy() const { return m_running || m_building; }
    // Runs the settings dialog; after OK the project keeps them in its file.
    void EditSettings();

    QProgressBar *Progress() const { return m_progress; }
    QPushButton *CancelButton() const { return m_cancel; }
    // The step lines of the last run, as the output window shows them.
    const std::vector<std::string> &Lines() const { return m_lines; }

private:
    void AfterBuild();
    void StartAvrdude();
    void OnOutput(const std::string &bytes);
    void OnEnded(const LaunchResult &result);
    void WatchForStall();
    void Say(const std::string &line);
    void Refuse(const std::string &line);
    void ShowBusy(bool busy);

    ProgramContext m_context;
    QPointer<QProgressBar> m_progress;
    QPointer<QPushButton> m_cancel;
    std::vector<std::string> m_prefix; // the build's lines, when this run built first
    std::vector<std::string> m_lines;
    std::unique_ptr<AvrdudeMonitor> m_monitor;
    std::unique_ptr<RunningProcess> m_process;
    std::unique_ptr<PendingWait> m_stallWait;
    std::string m_port; // the setting, for the port hook
    bool m_running = false;
    bool m_building = false;
    bool m_stalled = false;
};

} // namespace ostrel

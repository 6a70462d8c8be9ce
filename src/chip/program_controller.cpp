#include "chip/program_controller.h"

#include "chip/firmware.h"
#include "chip/programmer_settings_dlg.h"
#include "compile/build_controller.h"
#include "contract/file_access.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "framework/path_parts.h"
#include "platform/process_launcher.h"
#include "platform/qt_services.h"
#include "platform/sleeper.h"
#include "project/project_session.h"

#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <fstream>
#include <iterator>

namespace ostrel {

namespace {

constexpr int kStatusMs = 5000;
// An EEPROM image larger than any of these chips' EEPROM is read no further.
constexpr size_t kMaxImageBytes = 1 << 20;

bool AnyDocumentModified(CDocManager &documents)
{
    for (const CQuorlenDoc *document : documents.Documents())
        if (document->IsModified())
            return true;
    return false;
}

// Whether the EEPROM image exists and holds data.
bool ImageHasData(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::string text(kMaxImageBytes, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(file.gcount()));
    return HexHasData(text);
}

} // namespace

ProgramController::ProgramController(ProgramContext context)
    : m_context(std::move(context))
{
    if (!m_context.mainWindow)
        return;
    m_progress = new QProgressBar;
    m_progress->setRange(0, 100);
    m_progress->setMaximumWidth(160);
    m_progress->setFormat(tr("%p%"));
    m_cancel = new QPushButton(tr("Cancel"));
    m_cancel->setToolTip(tr("Ends avrdude at once"));
    connect(m_cancel, &QPushButton::clicked, this, &ProgramController::Cancel);
    m_context.mainWindow->statusBar()->addPermanentWidget(m_progress);
    m_context.mainWindow->statusBar()->addPermanentWidget(m_cancel);
    ShowBusy(false);
}

ProgramController::~ProgramController()
{
    m_stallWait.reset();
    m_process.reset(); // ends a running avrdude
    if (m_running && m_context.portHook)
        m_context.portHook(m_port, false);
}

void ProgramController::ShowBusy(bool busy)
{
    if (m_progress) {
        m_progress->setValue(0);
        m_progress->setVisible(busy);
    }
    if (m_cancel)
        m_cancel->setVisible(busy);
}

void ProgramController::Program()
{
    if (m_running || m_building) {
        if (m_context.mainWindow)
            m_context.mainWindow->statusBar()->showMessage(
                tr("The chip is being programmed already."), kStatusMs);
        return;
    }
    m_prefix.clear();
    m_lines.clear();
    if (!m_context.project.IsOpen()) {
        Refuse("No project is open: open the project whose firmware goes into the chip.");
        return;
    }
    if (!AnyDocumentModified(m_context.documents)
        && !FirmwareOutOfDate(m_context.project.Record())) {
        StartAvrdude();
        return;
    }
    m_building = true;
    if (!m_context.build.CompileThen([this] {
            AfterBuild();
        })) {
        m_building = false;
        Refuse("Nothing was programmed: the firmware is out of date and no build was started "
               "(open the project's C file, or save it, and program again).");
    }
}

void ProgramController::AfterBuild()
{
    m_building = false;
    m_prefix = m_context.build.Driver().Entries();
    if (FirmwareOutOfDate(m_context.project.Record())) {
        Refuse("Nothing was programmed: the build did not make an up-to-date "
            + FileNameOf(FirmwareOf(m_context.project.Record()).hex) + ".");
        return;
    }
    StartAvrdude();
}

void ProgramController::Refuse(const std::string &line)
{
    Say(line);
}

void ProgramController::Say(const std::string &line)
{
    m_lines.push_back(line);
    std::vector<std::string> entries = m_prefix;
    if (!entries.empty())
        entries.emplace_back();
    entries.insert(entries.end(), m_lines.begin(), m_lines.end());
    m_context.build.ShowLines(std::move(entries));
}

void ProgramController::StartAvrdude()
{
    const ProjectRecord &project = m_context.project.Record();
    const ProgrammerSettings &settings = project.extension.programmer;
    const FirmwareFiles files = FirmwareOf(project);
    if (!m_context.processes.CanFind("avrdude")) {
        Refuse("avrdude was not found: install it (on Debian: sudo apt-get install avrdude).");
        return;
    }
    std::string eep;
    if (settings.writeEeprom) {
        if (ImageHasData(files.eep))
            eep = files.eep;
        else
            Say("The firmware has no EEPROM data: only the flash is written.");
    }
    const ChipPart &part = PartOfCpu(project.cpuType);
    const AvrdudeCommand command = AvrdudeArguments(settings, part, files.hex, eep);
    if (!command.error.empty()) {
        Refuse(command.error + " Nothing was programmed.");
        return;
    }
    m_monitor =
        std::make_unique<AvrdudeMonitor>(part, EffectiveProgrammer(settings), PortText(settings));
    m_port = settings.port;
    m_stalled = false;
    Say(m_monitor->StartLine());
    if (m_context.portHook)
        m_context.portHook(m_port, true);
    m_process.reset();
    m_running = true;
    m_process = m_context.processes.StartReading(
        command.arguments, DirectoryOf(files.hex), 0,
        [this](const std::string &bytes) {
            OnOutput(bytes);
        },
        [this](const LaunchResult &result) {
            OnEnded(result);
        });
    if (!m_process) {
        m_running = false;
        if (m_context.portHook)
            m_context.portHook(m_port, false);
        Refuse("avrdude could not be started. Nothing was written to the chip.");
        return;
    }
    ShowBusy(true);
    m_context.build.SetEscapeAction([this] {
        Cancel();
    });
    WatchForStall();
}

void ProgramController::WatchForStall()
{
    m_stallWait.reset();
    m_stallWait = m_context.sleeper.After(AvrdudeMonitor::kStallSeconds * 1000, [this] {
        if (!m_process || !m_process->IsRunning())
            return;
        m_stalled = true;
        m_process->Cancel();
    });
}

void ProgramController::OnOutput(const std::string &bytes)
{
    if (!m_monitor)
        return;
    for (const std::string &step : m_monitor->Feed(bytes))
        Say(step);
    if (m_progress)
        m_progress->setValue(std::max(0, m_monitor->Percent()));
    if (m_running && m_monitor->TakeProgress())
        WatchForStall();
}

void ProgramController::OnEnded(const LaunchResult &result)
{
    m_stallWait.reset();
    m_running = false;
    const RunEnd end = m_stalled ? RunEnd::Stalled
        : result.cancelled       ? RunEnd::Cancelled
                                 : RunEnd::Exited;
    const int exitCode = result.crashed && end == RunEnd::Exited ? -1 : result.exitCode;
    std::vector<std::string> last = m_monitor->Finish(end, exitCode);
    // avrdude's own lines stand between the steps and the outcome.
    if (!m_monitor->Lines().empty()) {
        m_lines.emplace_back("avrdude:");
        for (const std::string &line : m_monitor->Lines())
            m_lines.push_back("    " + line);
    }
    ShowBusy(false);
    m_context.build.SetEscapeAction(nullptr);
    if (m_context.portHook)
        m_context.portHook(m_port, false);
    for (const std::string &line : last)
        Say(line);
    if (m_context.mainWindow)
        m_context.mainWindow->statusBar()->showMessage(ToQt(last.back()), kStatusMs);
}

void ProgramController::Cancel()
{
    if (m_process && m_process->IsRunning())
        m_process->Cancel(); // its end comes back through OnEnded
}

void ProgramController::EditSettings()
{
    CProgrammerSettingsDlg dialog(
        m_context.project.Record().extension.programmer, m_context.mainWindow);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_context.project.SetProgrammer(dialog.Settings());
    // Without an open project the settings hold for this session only.
    if (m_context.project.IsOpen())
        m_context.project.Save(m_context.messages);
}

} // namespace ostrel

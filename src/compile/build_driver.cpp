#include "compile/build_driver.h"

#include "compile/compile_command.h"
#include "framework/path_parts.h"
#include "platform/message_boxes.h"
#include "platform/process_launcher.h"
#include "platform/sleeper.h"
#include "project/project_files.h"
#include "project/project_session.h"

#include <cstdio>
#include <cstdlib>

namespace ostrel {

namespace {

constexpr char kCancelled[] = "Build cancelled.";
constexpr char kNoMessageFile[] = "The compiler left no message file for this build.";

} // namespace

BuildDriver::BuildDriver(
    BuildHost &host, MessageBoxes &messages, ProcessLauncher &launcher, Sleeper &sleeper)
    : m_host(host)
    , m_messages(messages)
    , m_launcher(launcher)
    , m_sleeper(sleeper)
{
}

// The compiler goes with the driver: a build does not outlive the program.
BuildDriver::~BuildDriver() = default;

int BuildDriver::TimeLimitSeconds()
{
    const char *text = std::getenv("OSTREL_BUILD_TIMEOUT_S");
    if (!text)
        return kDefaultTimeLimitS;
    char *end = nullptr;
    const long seconds = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || seconds <= 0 || seconds > 24 * 3600)
        return kDefaultTimeLimitS;
    return static_cast<int>(seconds);
}

bool BuildDriver::SaveActiveDocument()
{
    MessageRequest question { "File is modified. It must be saved\nSave file ?" };
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    if (m_messages.Show(question) != MessageAnswer::Yes)
        return false;
    if (!m_host.ActiveDocumentHasPath()) {
        m_messages.Warn("New File.\nNo File name attached to file.\n\t\t\t\t\tPlease Save it first "
                        "using save as command.");
        return false;
    }
    m_host.SaveActiveDocument();
    return true;
}

// A project's other sources, open and changed, are built as they are on the disk only when
// the user says so: a build of what the windows do not show is a riddle to debug.
bool BuildDriver::SaveOtherSources(const ProjectSession &project)
{
    const std::vector<std::string> modified =
        m_host.ModifiedOtherDocuments(ProjectSourcePaths(project.Record()));
    if (modified.empty())
        return true;
    std::string names;
    for (const std::string &path : modified)
        names += "\n" + FileNameOf(path);
    MessageRequest question { "These project files are modified:" + names
        + "\n\nSave them before the build ?" };
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNoCancel;
    switch (m_messages.Show(question)) {
    case MessageAnswer::Yes:
        for (const std::string &path : modified)
            if (!m_host.SaveDocument(path))
                return false;
        return true;
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

bool BuildDriver::Compile(const std::string &programDir, const ProjectSession &project)
{
    if (m_running) {
        m_host.ShowStatus("A build is already running.");
        return false;
    }
    if (!m_host.HasActiveDocument())
        return false;
    if (m_host.ActiveDocumentModified() && !SaveActiveDocument())
        return false;
    if (!project.IsOpen()) {
        m_messages.Warn("No project is open !\n\t\t\tPlease, see 'Getting Started' topic in the "
                        "Help/Search Menu");
        return false;
    }
    if (!SaveOtherSources(project))
        return false;
    std::fflush(nullptr);

    const std::string program = CompilerProgramPath(programDir);
    m_outputPath = ostrel::CompilerOutputPath(project.CFile());
    m_commandLine = CompileCommandLine(program, project.CFile(), project.CommandOptions());
    m_before = StampOf(m_outputPath);
    m_built = true;
    m_wait.reset();
    m_process.reset();
    m_host.BuildStarting();
    m_timeLimitS = TimeLimitSeconds();
    // The child inherits this program's current directory.
    m_process = m_launcher.Start(CompileArguments(program, project.CFile(), project.CommandWords()),
        {}, m_timeLimitS * 1000, [this](const LaunchResult &result) {
            OnCompilerEnded(result);
        });
    if (!m_process) {
        // The program goes on, so no unsaved work is lost.
        m_messages.Warn("ERROR: Cannot launch child process\n");
        return false;
    }
    m_running = true;
    m_entries = { "Building " + FileNameOf(project.CFile()) + " ..." };
    m_host.ShowOutputWindow();
    return true;
}

void BuildDriver::OnCompilerEnded(const LaunchResult &result)
{
    if (result.cancelled) {
        EndWith(kCancelled);
        return;
    }
    if (result.timedOut) {
        EndWith("The build was stopped after " + std::to_string(m_timeLimitS)
            + " seconds: that is as long as a build may run.");
        return;
    }
    // The exit status is not looked at: the messages tell the user what happened.
    m_wait = m_sleeper.After(kMessageFileDelayMs, [this] {
        m_running = false;
        ReadMessages();
        m_host.BuildFinished();
    });
}

void BuildDriver::EndWith(const std::string &line)
{
    m_running = false;
    m_entries.push_back(line);
    m_host.BuildFinished();
}

void BuildDriver::Cancel()
{
    if (!m_running)
        return;
    if (m_process && m_process->IsRunning()) {
        m_process->Cancel(); // its end comes back through OnCompilerEnded
        return;
    }
    // The compiler has ended and its messages are not read yet.
    m_wait.reset();
    EndWith(kCancelled);
}

void BuildDriver::ReadMessages()
{
    // A file that this build did not write holds an earlier build's result.
    if (m_built && m_before.exists && StampOf(m_outputPath) == m_before) {
        m_entries = { kNoMessageFile };
        return;
    }
    MessageFile file = ReadMessageFile(m_outputPath);
    m_entries = std::move(file.lines);
    if (file.status == MessageFileStatus::CannotOpen)
        m_messages.Warn(
            "Cannot open file\n" + (m_outputPath.empty() ? "" : m_outputPath + "\n") + file.reason);
    else if (file.status == MessageFileStatus::ReadError)
        m_messages.Warn("Read Error( ferror)\n" + m_outputPath + "\n" + file.reason);
}

} // namespace ostrel

#pragma once

#include "compile/message_file.h"

#include <memory>
#include <string>
#include <vector>

namespace ostrel {

class MessageBoxes;
class PendingWait;
class ProcessLauncher;
class ProjectSession;
class RunningProcess;
class Sleeper;
struct LaunchResult;

// What Compile needs of the windows around it.
class BuildHost
{
public:
    virtual ~BuildHost() = default;
    // The document of the active source window; false when no source window is open.
    virtual bool HasActiveDocument() const = 0;
    virtual bool ActiveDocumentModified() const = 0;
    virtual bool ActiveDocumentHasPath() const = 0;
    // Saves it under its path; a failure is reported by the document itself.
    virtual void SaveActiveDocument() = 0;
    // The compiler is about to be started.
    virtual void BuildStarting() = 0;
    // Shows a new output window that lists the driver's Entries(); while no build runs, it
    // has them read from the message file first (ReadMessages).
    virtual void ShowOutputWindow() = 0;
    // The build has ended (done, cancelled or stopped); Entries() hold its result.
    virtual void BuildFinished() = 0;
    // A short note for the user that needs no answer (the status bar).
    virtual void ShowStatus(const std::string &text) = 0;
    // Of `paths`, those open in a modified document other than the active one.
    virtual std::vector<std::string> ModifiedOtherDocuments(
        const std::vector<std::string> &paths) const
    {
        (void)paths;
        return {};
    }
    // Saves the open document of `path`; false when that failed (the document said why).
    virtual bool SaveDocument(const std::string &path)
    {
        (void)path;
        return true;
    }
};

// The Compile command: saves the active document if the user agrees, starts the compiler on
// the project's C file and has the output window show that it runs; the program goes on
// meanwhile. Once the compiler has ended, its message file is read a second later and the
// output window lists it. A message file that the build did not write is not shown as its
// result.
class BuildDriver
{
public:
    static constexpr int kMessageFileDelayMs = 1000;
    static constexpr int kDefaultTimeLimitS = 600;

    BuildDriver(
        BuildHost &host, MessageBoxes &messages, ProcessLauncher &launcher, Sleeper &sleeper);
    ~BuildDriver();
    BuildDriver(const BuildDriver &) = delete;
    BuildDriver &operator=(const BuildDriver &) = delete;

    // True when the compiler was started. While a build runs, another is not started.
    bool Compile(const std::string &programDir, const ProjectSession &project);
    // Ends the running build and its compiler; nothing when none runs.
    void Cancel();
    // From the start of the compiler to its messages being listed.
    bool Running() const { return m_running; }

    // Fills Entries() from the message file of the last build; a file that cannot be opened
    // or read is reported in a message box.
    void ReadMessages();
    // What the output window lists.
    const std::vector<std::string> &Entries() const { return m_entries; }

    // The message file of the last Compile that got past its checks; empty before.
    const std::string &CompilerOutputPath() const { return m_outputPath; }
    // The command line of that Compile, as text.
    const std::string &CommandLine() const { return m_commandLine; }

    // The longest a build may run, in seconds: OSTREL_BUILD_TIMEOUT_S when it holds a
    // positive number, otherwise kDefaultTimeLimitS.
    static int TimeLimitSeconds();

private:
    bool SaveActiveDocument();
    bool SaveOtherSources(const ProjectSession &project);
    void OnCompilerEnded(const LaunchResult &result);
    void EndWith(const std::string &line);

    BuildHost &m_host;
    MessageBoxes &m_messages;
    ProcessLauncher &m_launcher;
    Sleeper &m_sleeper;
    std::string m_outputPath;
    std::string m_commandLine;
    std::vector<std::string> m_entries;
    // The message file as it was before the last build started.
    FileStamp m_before;
    bool m_built = false;
    bool m_running = false;
    int m_timeLimitS = kDefaultTimeLimitS;
    std::unique_ptr<PendingWait> m_wait;
    std::unique_ptr<RunningProcess> m_process;
};

} // namespace ostrel

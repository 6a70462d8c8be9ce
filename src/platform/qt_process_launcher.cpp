#include "platform/qt_process_launcher.h"

#include "platform/qt_services.h"

#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ; // NOLINT(readability-redundant-declaration)

namespace ostrel {

namespace {

// How often a running child is looked at: well below what a user notices.
constexpr int kPollMs = 20;
// After Cancel, the time a child has to end on SIGTERM before it is killed.
constexpr int kGraceMs = 1000;
// When the program ends with a child still running, the time it waits for it in all.
constexpr int kExitGraceMs = 300;

// The session that `pid` belongs to, from /proc; -1 when it cannot be read.
pid_t SessionOf(const std::string &pid)
{
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string text;
    std::getline(stat, text);
    // "pid (name) state ppid pgrp session ..."; the name may hold blanks and parentheses.
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    char state = 0;
    long ppid = 0, group = 0, session = -1;
    if (std::sscanf(text.c_str() + close + 1, " %c %ld %ld %ld", &state, &ppid, &group, &session)
        != 4)
        return -1;
    return static_cast<pid_t>(session);
}

// Sends `signal` to every process of the session that `leader` leads: its own process group
// and the groups its children made for themselves.
void SignalSession(pid_t leader, int signal)
{
    kill(-leader, signal);
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (SessionOf(name) == leader)
            kill(static_cast<pid_t>(std::stol(name)), signal);
    }
}

LaunchResult ResultOf(int status)
{
    LaunchResult result;
    result.started = true;
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else
        result.crashed = true;
    return result;
}

class QtRunningProcess : public RunningProcess
{
public:
    QtRunningProcess(pid_t pid, int timeLimitMs, ProcessLauncher::Finished finished,
        int outputFd = -1, ProcessLauncher::Output output = {})
        : m_pid(pid)
        , m_finished(std::move(finished))
        , m_outputFd(outputFd)
        , m_output(std::move(output))
    {
        if (m_outputFd >= 0) {
            m_notifier = std::make_unique<QSocketNotifier>(m_outputFd, QSocketNotifier::Read);
            QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
                ReadOutput();
            });
        }
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            Poll();
        });
        m_poll.start(kPollMs);
        m_kill.setSingleShot(true);
        QObject::connect(&m_kill, &QTimer::timeout, [this] {
            SignalSession(m_pid, SIGKILL);
        });
        if (timeLimitMs > 0) {
            m_limit.setSingleShot(true);
            QObject::connect(&m_limit, &QTimer::timeout, [this] {
                m_timedOut = true;
                End();
            });
            m_limit.start(timeLimitMs);
        }
    }

    ~QtRunningProcess() override
    {
        CloseOutput();
        if (!m_running)
            return;
        SignalSession(m_pid, SIGTERM);
        int status = 0;
        for (int waited = 0; waited < kExitGraceMs; waited += 10) {
            if (waitpid(m_pid, &status, WNOHANG) == m_pid)
                return;
            const timespec pause { 0, 10'000'000 };
            nanosleep(&pause, nullptr);
        }
        SignalSession(m_pid, SIGKILL);
        waitpid(m_pid, &status, WNOHANG);
    }

    QtRunningProcess(const QtRunningProcess &) = delete;
    QtRunningProcess &operator=(const QtRunningProcess &) = delete;

    void Cancel() override
    {
        m_cancelled = true;
        End();
    }

    bool IsRunning() const override { return m_running; }

private:
    // Hands what the pipe holds to the reader; at its end (every writer gone) stops reading.
    void ReadOutput()
    {
        if (m_outputFd < 0)
            return;
        char buffer[4096];
        for (;;) {
            const ssize_t n = read(m_outputFd, buffer, sizeof buffer);
            if (n > 0) {
                if (m_output)
                    m_output(std::string(buffer, static_cast<size_t>(n)));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0)
                CloseOutput();
            return; // EAGAIN: nothing more for now
        }
    }

    void CloseOutput()
    {
        m_notifier.reset();
        if (m_outputFd >= 0)
            close(m_outputFd);
        m_outputFd = -1;
    }

    void End()
    {
        if (!m_running || m_kill.isActive())
            return;
        SignalSession(m_pid, SIGTERM);
        m_kill.start(kGraceMs);
    }

    void Poll()
    {
        int status = 0;
        const pid_t ended = waitpid(m_pid, &status, WNOHANG);
        if (ended == 0 || (ended < 0 && errno == EINTR))
            return;
        m_running = false;
        m_poll.stop();
        m_limit.stop();
        m_kill.stop();
        LaunchResult result = ended == m_pid ? ResultOf(status) : LaunchResult { true, true };
        if (m_cancelled || m_timedOut)
            SignalSession(m_pid, SIGKILL); // what the child left behind
        result.cancelled = m_cancelled && !m_timedOut;
        result.timedOut = m_timedOut;
        // What the child wrote before it ended; a process it left behind may hold the pipe
        // still, so only what is there now is read.
        ReadOutput();
        CloseOutput();
        // The report comes last: whoever gets it may go on as it likes.
        const ProcessLauncher::Finished finished = std::move(m_finished);
        if (finished)
            finished(result);
    }

    pid_t m_pid;
    ProcessLauncher::Finished m_finished;
    bool m_running = true;
    bool m_cancelled = false;
    bool m_timedOut = false;
    int m_outputFd;
    ProcessLauncher::Output m_output;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_poll;
    QTimer m_limit;
    QTimer m_kill;
};

// posix_spawn's attributes and file actions, released however the start goes.
struct SpawnSetup
{
    SpawnSetup()
    {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup &) = delete;
    SpawnSetup &operator=(const SpawnSetup &) = delete;

    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
};

QStringList ArgumentsAfterProgram(const std::vector<std::string> &arguments)
{
    QStringList list;
    for (size_t i = 1; i < arguments.size(); ++i)
        list.append(ToQt(arguments[i]));
    return list;
}

} // namespace

std::unique_ptr<RunningProcess> QtProcessLauncher::Start(const std::vector<std::string> &arguments,
    const std::string &workingDirectory, int timeLimitMs, Finished finished)
{
    return StartReading(arguments, workingDirectory, timeLimitMs, {}, std::move(finished));
}

std::unique_ptr<RunningProcess> QtProcessLauncher::StartReading(
    const std::vector<std::string> &arguments, const std::string &workingDirectory, int timeLimitMs,
    Output output, Finished finished)
{
    if (arguments.empty() || arguments.front().empty())
        return nullptr;
    // Without a reader the child shares this program's standard output and error.
    int pipeFds[2] = { -1, -1 };
    if (output && pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    SpawnSetup setup;
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
    flags |= POSIX_SPAWN_SETSID;
#else
    flags |= POSIX_SPAWN_SETPGROUP;
#endif
    posix_spawnattr_setflags(&setup.attributes, flags);
    sigset_t set;
    sigemptyset(&set);
    posix_spawnattr_setsigmask(&setup.attributes, &set);
    for (const int signal : { SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGCHLD })
        sigaddset(&set, signal);
    posix_spawnattr_setsigdefault(&setup.attributes, &set);
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (output) {
        // The child's ends block as usual; only this program's end reads without waiting.
        fcntl(pipeFds[1], F_SETFL, 0);
        posix_spawn_file_actions_adddup2(&setup.actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&setup.actions, pipeFds[1], STDERR_FILENO);
    }
    if (!workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&setup.actions, workingDirectory.c_str());

    std::vector<std::string> copies(arguments);
    std::vector<char *> argv;
    for (std::string &argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    // A name without a slash is looked for on the PATH, as a shell would.
    const bool started =
        posix_spawnp(&pid, argv[0], &setup.actions, &setup.attributes, argv.data(), environ) == 0;
    if (output)
        close(pipeFds[1]);
    if (!started) {
        if (output)
            close(pipeFds[0]);
        return nullptr;
    }
    return std::make_unique<QtRunningProcess>(
        pid, timeLimitMs, std::move(finished), pipeFds[0], std::move(output));
}

bool QtProcessLauncher::StartDetached(
    const std::vector<std::string> &arguments, const std::string &workingDirectory)
{
    if (arguments.empty())
        return false;
    QProcess process;
    process.setProgram(ToQt(arguments.front()));
    process.setArguments(ArgumentsAfterProgram(arguments));
    if (!workingDirectory.empty())
        process.setWorkingDirectory(ToQt(workingDirectory));
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

bool QtProcessLauncher::CanFind(const std::string &program) const
{
    if (program.empty())
        return false;
    const QString name = ToQt(program);
    if (name.contains(QLatin1Char('/'))) {
        const QFileInfo file(name);
        return file.isFile() && file.isExecutable();
    }
    return !QStandardPaths::findExecutable(name).isEmpty();
}

} // namespace ostrel

#include "process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <unistd.h>
extern char **environ;
#endif

namespace ostrel::cc {

namespace {

unsigned LimitFrom(const char *variable, unsigned fallback)
{
    const char *text = std::getenv(variable);
    if (text == nullptr || *text == '\0')
        return fallback;
    unsigned long value = 0;
    for (const char *c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return fallback;
        value = value * 10 + static_cast<unsigned long>(*c - '0');
        if (value > 1000000)
            return fallback;
    }
    return value > 0 ? static_cast<unsigned>(value) : fallback;
}

} // namespace

ToolLimits LimitsFromEnvironment()
{
    return { LimitFrom(kTimeLimitVariable, kDefaultTimeLimit),
        LimitFrom(kMemoryLimitVariable, kDefaultMemoryLimit) };
}

bool FindOnPath(const std::string &program)
{
    const char *path = std::getenv("PATH");
    if (path == nullptr)
        return false;
#ifdef _WIN32
    const char separator = ';';
    const std::string name = program + ".exe";
#else
    const char separator = ':';
    const std::string &name = program;
#endif
    std::string list = path;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(separator, start);
        if (end == std::string::npos)
            end = list.size();
        const std::string dir = list.substr(start, end - start);
        start = end + 1;
        if (dir.empty())
            continue;
        std::error_code error;
        const std::filesystem::path candidate = std::filesystem::path(dir) / name;
        if (std::filesystem::is_regular_file(candidate, error)) {
#ifdef _WIN32
            return true;
#else
            if (access(candidate.c_str(), X_OK) == 0)
                return true;
#endif
        }
    }
    return false;
}

#ifdef _WIN32

namespace {

// The command line for CreateProcess, each argument quoted the way the C runtime reads it.
std::string QuoteArgument(const std::string &argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            quoted.append(backslashes + 1, '\\');
            backslashes = 0;
        } else {
            backslashes = 0;
        }
        quoted += c;
    }
    quoted.append(backslashes, '\\');
    return quoted + "\"";
}

} // namespace

// Untested branch for the Windows build: the same contract through CreateProcessA.
// The limits are not applied there yet.
ProcessResult RunProcess(
    const std::vector<std::string> &argv, const std::string &stdoutFile, const ToolLimits &)
{
    ProcessResult result;
    std::string commandLine;
    for (const std::string &argument : argv)
        commandLine += (commandLine.empty() ? "" : " ") + QuoteArgument(argument);
    SECURITY_ATTRIBUTES inherit { sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE };
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE outFile = INVALID_HANDLE_VALUE;
    if (!stdoutFile.empty())
        outFile = CreateFileA(stdoutFile.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS,
            FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outFile != INVALID_HANDLE_VALUE ? outFile : writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION info {};
    SetEnvironmentVariableA("LC_ALL", "C");
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    const BOOL ok = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
        nullptr, nullptr, &startup, &info);
    CloseHandle(writeEnd);
    if (!ok) {
        CloseHandle(readEnd);
        if (outFile != INVALID_HANDLE_VALUE)
            CloseHandle(outFile);
        result.output = "cannot run " + argv[0];
        return result;
    }
    result.started = true;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0)
        result.output.append(chunk, got);
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    result.exitCode = static_cast<int>(code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    CloseHandle(readEnd);
    if (outFile != INVALID_HANDLE_VALUE)
        CloseHandle(outFile);
    return result;
}

#else

namespace {

using Clock = std::chrono::steady_clock;

// The environment of the tools: this process's, with messages in the C locale.
std::vector<std::string> ToolEnvironment()
{
    std::vector<std::string> environment;
    for (char **entry = environ; entry && *entry; ++entry) {
        if (std::strncmp(*entry, "LC_ALL=", 7) != 0 && std::strncmp(*entry, "LANGUAGE=", 9) != 0)
            environment.emplace_back(*entry);
    }
    environment.emplace_back("LC_ALL=C");
    return environment;
}

std::vector<char *> Pointers(std::vector<std::string> &texts)
{
    std::vector<char *> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string &text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The process group of the tool that runs now; 0 between tools. A tool runs in a group of its
// own, so ending this program (the IDE's Cancel) must end that group too, or a tool blocked on
// its input would outlive the build.
volatile sig_atomic_t g_toolGroup = 0;

extern "C" void EndToolAndExit(int signalNumber)
{
    if (const pid_t group = g_toolGroup; group > 0)
        kill(-group, SIGKILL);
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

// Installed once, before the first tool starts.
void EndToolsWithThisProgram()
{
    static const bool installed = [] {
        for (const int signalNumber : { SIGTERM, SIGINT, SIGHUP }) {
            struct sigaction action
            {
            };
            action.sa_handler = EndToolAndExit;
            sigemptyset(&action.sa_mask);
            sigaction(signalNumber, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(char **args, char **envp, int outFd, int errFd, int reportFd,
    const ToolLimits &limits, pid_t parent)
{
    setpgid(0, 0); // its own process group, so that a time limit ends its children too
#ifdef __linux__
    // A killed compiler program takes its tool along, even one that SIGKILL gave no chance.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(127);
#endif
    for (const int signalNumber : { SIGTERM, SIGINT, SIGHUP })
        signal(signalNumber, SIG_DFL);
    const int nullFd = open("/dev/null", O_RDONLY);
    if (nullFd >= 0)
        dup2(nullFd, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    if (limits.memoryMiB > 0) {
        const rlim_t bytes = static_cast<rlim_t>(limits.memoryMiB) * 1024 * 1024;
        const rlimit memory { bytes, bytes };
        setrlimit(RLIMIT_AS, &memory);
    }
    environ = envp;
    execvp(args[0], args);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(reportFd, &error, sizeof error);
    _exit(127);
}

// Waits for the child, ending its process group when the deadline passes first.
int WaitForChild(pid_t pid, const std::optional<Clock::time_point> &deadline, bool &timedOut)
{
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, deadline ? WNOHANG : 0);
        if (done == pid)
            return status;
        if (done < 0 && errno != EINTR)
            return status;
        if (done == 0) {
            if (Clock::now() >= *deadline) {
                kill(-pid, SIGKILL);
                timedOut = true;
                while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
                return status;
            }
            // The child closed its output but has not ended: look again shortly.
            poll(nullptr, 0, 20);
        }
    }
}

// The descriptors of one run: the pipe that collects the child's output, the pipe that
// reports a failed exec, and the file for its standard output. -1 where there is none.
struct Channels
{
    int out[2] = { -1, -1 };
    int report[2] = { -1, -1 };
    int stdoutFd = -1;

    Channels() = default;
    Channels(const Channels &) = delete;
    Channels &operator=(const Channels &) = delete;
    ~Channels()
    {
        for (int *fd : { &out[0], &out[1], &report[0], &report[1], &stdoutFd })
            Close(*fd);
    }

    static void Close(int &fd)
    {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }

    // The parent's ends after the fork: only the reading ends stay open.
    void KeepReadingEnds()
    {
        Close(stdoutFd);
        Close(out[1]);
        Close(report[1]);
    }
};

// Opens the pipes and the standard output file; empty, or the reason it failed.
std::string OpenChannels(Channels &channels, const std::string &stdoutFile)
{
    if (pipe2(channels.out, O_CLOEXEC) != 0 || pipe2(channels.report, O_CLOEXEC) != 0)
        return "cannot create a pipe";
    if (!stdoutFile.empty()) {
        channels.stdoutFd =
            open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (channels.stdoutFd < 0)
            return "cannot write " + stdoutFile + ": " + std::strerror(errno);
    }
    return {};
}

// Forks and execs the child; its pid, or -1 with the reason in error. A child whose exec
// failed has been waited for.
pid_t StartChild(const std::vector<std::string> &argv, Channels &channels, const ToolLimits &limits,
    std::string &error)
{
    std::vector<std::string> environment = ToolEnvironment();
    std::vector<char *> envp = Pointers(environment);
    std::vector<std::string> arguments = argv;
    std::vector<char *> args = Pointers(arguments);

    EndToolsWithThisProgram();
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0)
        ExecChild(args.data(), envp.data(),
            channels.stdoutFd >= 0 ? channels.stdoutFd : channels.out[1], channels.out[1],
            channels.report[1], limits, parent);
    const int forkError = errno;
    channels.KeepReadingEnds();
    if (pid < 0) {
        error = "cannot run " + argv[0] + ": " + std::strerror(forkError);
        return -1;
    }
    setpgid(pid, pid); // also here, so that the group exists before any kill below
    g_toolGroup = pid;

    int execError = 0;
    ssize_t got = 0;
    while ((got = read(channels.report[0], &execError, sizeof execError)) < 0 && errno == EINTR) { }
    if (got == static_cast<ssize_t>(sizeof execError)) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
        g_toolGroup = 0;
        error = "cannot run " + argv[0] + ": " + std::strerror(execError);
        return -1;
    }
    return pid;
}

// Reads the child's output until it closes it; false when the deadline came first (the
// child's group is killed then).
bool CollectOutput(
    int fd, pid_t pid, const std::optional<Clock::time_point> &deadline, std::string &output)
{
    char chunk[4096];
    for (;;) {
        int timeout = -1;
        if (deadline) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, left.count()));
        }
        pollfd watch { fd, POLLIN, 0 };
        const int ready = poll(&watch, 1, timeout);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0) {
            kill(-pid, SIGKILL);
            return false;
        }
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n > 0)
            output.append(chunk, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            return true;
    }
}

// How the child ended, from its wait status.
void SetEnding(ProcessResult &result, int status, bool timedOut)
{
    if (timedOut) {
        result.ending = Ending::TimeLimit;
        result.exitCode = 128 + SIGKILL;
    } else if (WIFSIGNALED(status)) {
        result.ending = Ending::Signal;
        result.exitCode = 128 + WTERMSIG(status);
    } else {
        result.exitCode = WEXITSTATUS(status);
    }
}

} // namespace

ProcessResult RunProcess(
    const std::vector<std::string> &argv, const std::string &stdoutFile, const ToolLimits &limits)
{
    ProcessResult result;
    if (argv.empty())
        return result;
    Channels channels;
    if (std::string error = OpenChannels(channels, stdoutFile); !error.empty()) {
        result.output = error;
        return result;
    }
    const pid_t pid = StartChild(argv, channels, limits, result.output);
    if (pid < 0)
        return result;
    result.started = true;

    std::optional<Clock::time_point> deadline;
    if (limits.seconds > 0)
        deadline = Clock::now() + std::chrono::seconds(limits.seconds);
    bool timedOut = !CollectOutput(channels.out[0], pid, deadline, result.output);
    const int status = WaitForChild(pid, deadline, timedOut);
    kill(-pid, SIGKILL); // whatever the tool left running in its group
    g_toolGroup = 0;
    SetEnding(result, status, timedOut);
    return result;
}

#endif

} // namespace ostrel::cc

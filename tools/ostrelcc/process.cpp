#include "process.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char **environ;
#endif

namespace ostrel::cc {

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
ProcessResult RunProcess(const std::vector<std::string> &argv, const std::string &stdoutFile)
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

ProcessResult RunProcess(const std::vector<std::string> &argv, const std::string &stdoutFile)
{
    ProcessResult result;
    if (argv.empty())
        return result;

    // The environment: this process's, with messages in the C locale.
    std::vector<std::string> environment;
    for (char **entry = environ; entry && *entry; ++entry) {
        if (std::strncmp(*entry, "LC_ALL=", 7) != 0 && std::strncmp(*entry, "LANGUAGE=", 9) != 0)
            environment.emplace_back(*entry);
    }
    environment.emplace_back("LC_ALL=C");
    std::vector<char *> envp;
    envp.reserve(environment.size() + 1);
    for (std::string &entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::vector<std::string> arguments = argv;
    std::vector<char *> args;
    args.reserve(arguments.size() + 1);
    for (std::string &argument : arguments)
        args.push_back(argument.data());
    args.push_back(nullptr);

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        result.output = "cannot create a pipe";
        return result;
    }
    int outFd = -1;
    if (!stdoutFile.empty()) {
        outFd = open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (outFd < 0) {
            close(pipeEnds[0]);
            close(pipeEnds[1]);
            result.output = "cannot write " + stdoutFile;
            return result;
        }
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outFd >= 0 ? outFd : pipeEnds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);

    pid_t pid = 0;
    const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (outFd >= 0)
        close(outFd);
    if (error != 0) {
        close(pipeEnds[0]);
        result.output = "cannot run " + argv[0] + ": " + std::strerror(error);
        return result;
    }
    result.started = true;
    char chunk[4096];
    for (;;) {
        const ssize_t got = read(pipeEnds[0], chunk, sizeof chunk);
        if (got > 0)
            result.output.append(chunk, static_cast<size_t>(got));
        else if (got == 0 || errno != EINTR)
            break;
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

#endif

} // namespace ostrel::cc

#include "file_checks.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace ostrel::cc {

Examined Examine(const fs::path &path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found)
        return { FileKind::Missing, {} };
    if (error)
        return { FileKind::Unreadable, error.message() };
    switch (status.type()) {
    case fs::file_type::regular:
        return { FileKind::Regular, {} };
    case fs::file_type::directory:
        return { FileKind::Directory, {} };
    default:
        return { FileKind::Other, {} };
    }
}

bool SameFile(const fs::path &a, const fs::path &b)
{
    std::error_code error;
    const fs::path left = fs::absolute(a, error).lexically_normal();
    const fs::path right = fs::absolute(b, error).lexically_normal();
    if (left == right)
        return true;
    return fs::equivalent(a, b, error) && !error;
}

std::vector<std::string> CheckOutputs(
    const std::vector<fs::path> &outputs, const std::vector<NamedFile> &inputs)
{
    std::vector<std::string> problems;
    for (const fs::path &output : outputs) {
        // A symbolic link at an output's name is removed, not written through: only its own
        // name can clash with an input then.
        std::error_code linkError;
        const bool link = fs::is_symlink(output, linkError);
        bool isInput = false;
        for (const NamedFile &input : inputs) {
            if (input.path.empty())
                continue;
            const bool same = link ? fs::absolute(output, linkError).lexically_normal()
                    == fs::absolute(input.path, linkError).lexically_normal()
                                   : SameFile(output, input.path);
            if (same) {
                problems.push_back(output.string() + " would be written over the " + input.role
                    + "; give the " + input.role + " another name");
                isInput = true;
                break;
            }
        }
        if (isInput)
            continue;
        std::error_code error;
        const fs::file_status status = fs::symlink_status(output, error);
        const fs::file_type type = status.type();
        if (type == fs::file_type::not_found || type == fs::file_type::regular
            || type == fs::file_type::symlink)
            continue;
        if (error)
            problems.push_back("cannot examine " + output.string() + ": " + error.message());
        else
            problems.push_back(output.string() + " is not a regular file; it was left as it is");
    }
    return problems;
}

std::vector<std::string> RemoveOutputs(const std::vector<fs::path> &outputs)
{
    std::vector<std::string> problems;
    for (const fs::path &output : outputs) {
        std::error_code error;
        const fs::file_type type = fs::symlink_status(output, error).type();
        if (type != fs::file_type::regular && type != fs::file_type::symlink)
            continue;
        if (!fs::remove(output, error) && error)
            problems.push_back(
                "cannot remove the earlier " + output.string() + ": " + error.message());
    }
    return problems;
}

#ifdef _WIN32

bool ReplaceFile(const fs::path &path, const std::string &text, std::string &error)
{
    fs::path temp = path;
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::trunc); // text mode: the platform's line ends
        out << text;
        if (!out) {
            error = "cannot write " + temp.string();
            return false;
        }
    }
    std::error_code renameError;
    fs::rename(temp, path, renameError);
    if (renameError) {
        fs::remove(temp, renameError);
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

#else

bool ReplaceFile(const fs::path &path, const std::string &text, std::string &error)
{
    std::string temp = (path.parent_path() / ("." + path.filename().string() + "-XXXXXX")).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = "cannot write " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    // The permissions a newly created file gets.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    size_t done = 0;
    int writeError = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            writeError = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (close(fd) != 0 && writeError == 0)
        writeError = errno;
    if (writeError == 0 && std::rename(temp.c_str(), path.c_str()) != 0)
        writeError = errno;
    if (writeError != 0) {
        unlink(temp.c_str());
        error = "cannot write " + path.string() + ": " + std::strerror(writeError);
        return false;
    }
    return true;
}

#endif

} // namespace ostrel::cc

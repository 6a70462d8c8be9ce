#include "framework/safe_file.h"

#include "contract/file_access.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ostrel {

#ifdef _WIN32

// Windows has no FIFOs at ordinary paths; the checks that matter there are the folder and the
// kind of file.
std::FILE *OpenRegularFile(const std::string &path, const char *mode, bool create)
{
    std::error_code error;
    const auto type = std::filesystem::status(path, error).type();
    if (type == std::filesystem::file_type::not_found && create)
        return std::fopen(path.c_str(), "w+b");
    if (type != std::filesystem::file_type::regular)
        return nullptr;
    return std::fopen(path.c_str(), mode);
}

SaveResult SaveFileContents(const std::string &path, std::string_view bytes, const std::string &)
{
    const files::ReplaceResult result = files::ReplaceFile(path, { bytes });
    if (!result.Ok())
        return { false, result.Reason(), {} };
    return { true, {}, {} };
}

#else

std::FILE *OpenRegularFile(const std::string &path, const char *mode, bool create)
{
    const bool update = std::strchr(mode, '+') != nullptr;
    // Non-blocking, so that a FIFO without a writer cannot hold the open.
    const int flags = (update ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    int fd = open(path.c_str(), flags);
    if (fd < 0 && errno == ENOENT && create)
        fd = open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
    if (fd < 0)
        return nullptr;
    struct stat info
    {
    };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        errno = EINVAL;
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE *file = fdopen(fd, mode);
    if (file == nullptr)
        close(fd);
    return file;
}

namespace {

// Replaces the whole contents of an open file; 0 or an errno.
int Overwrite(int fd, std::string_view bytes)
{
    if (lseek(fd, 0, SEEK_SET) < 0)
        return errno;
    if (const int error = files::WriteAll(fd, bytes))
        return error;
    if (ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || fsync(fd) != 0)
        return errno;
    return 0;
}

std::string Reason(int error)
{
    return std::strerror(error);
}

// The file a save writes: the one a symbolic link at path names, or path itself.
std::string SaveTarget(const std::string &path)
{
    struct stat link
    {
    };
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char *resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path; // a dangling link: the new file takes its place
    std::string target = resolved;
    std::free(resolved);
    return target;
}

// Writes a temporary file beside target and renames it over target. `existing`, when set,
// gives the permissions, owner and group the new file must keep; when the owner cannot be
// kept, nothing is written and the stage is Prepare (the caller writes in place then).
files::ReplaceResult ReplaceByRename(
    const std::string &target, std::string_view bytes, const struct stat *existing)
{
    files::ReplaceSettings settings;
    if (existing) {
        settings.mode = existing->st_mode & 07777;
        settings.owner = files::FileOwner { existing->st_uid, existing->st_gid };
    }
    return files::ReplaceFile(target, { bytes }, settings);
}

bool ReadAll(const std::string &path, std::string &out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Copies the old contents into a new file in backupDir; its path, or empty with the system's
// error in `error`.
std::string WriteBackup(
    const std::string &target, const std::string &old, const std::string &backupDir, int &error)
{
    std::error_code created;
    std::filesystem::create_directories(backupDir, created);
    if (created) {
        error = created.value();
        return {};
    }
    std::string name = (std::filesystem::path(backupDir)
        / (std::filesystem::path(target).filename().string() + ".XXXXXX"))
                           .string();
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return {};
    }
    error = files::WriteAll(fd, old);
    if (error == 0 && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        unlink(name.c_str());
        return {};
    }
    return name;
}

SaveResult WriteInPlace(
    const std::string &target, std::string_view bytes, const std::string &backupDir)
{
    std::string old;
    if (!ReadAll(target, old))
        return { false, "The file could not be read for its backup.", {} };
    int backupError = 0;
    const std::string backup = WriteBackup(target, old, backupDir, backupError);
    if (backup.empty())
        return { false,
            "No backup of the file could be written in " + backupDir + " (" + Reason(backupError)
                + ").",
            {} };
    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        unlink(backup.c_str());
        return { false, Reason(error), {} };
    }
    const int error = Overwrite(fd, bytes);
    if (error == 0) {
        const bool closed = close(fd) == 0;
        if (closed) {
            unlink(backup.c_str());
            return { true, {}, {} };
        }
        return { false, Reason(errno), backup };
    }
    // Put the old bytes back; they fitted before, so they fit again.
    const bool restored = Overwrite(fd, old) == 0;
    close(fd);
    if (!restored)
        return { false, Reason(error), backup };
    unlink(backup.c_str());
    return { false, Reason(error), {} };
}

} // namespace

SaveResult SaveFileContents(
    const std::string &path, std::string_view bytes, const std::string &backupDir)
{
    const std::string target = SaveTarget(path);
    struct stat info
    {
    };
    if (stat(target.c_str(), &info) != 0) {
        if (errno != ENOENT)
            return { false, Reason(errno), {} };
        const files::ReplaceResult created = ReplaceByRename(target, bytes, nullptr);
        if (!created.Ok())
            return { false, created.Reason(), {} };
        return { true, {}, {} };
    }
    if (!S_ISREG(info.st_mode))
        return { false, "It is not a regular file.", {} };
    if (access(target.c_str(), W_OK) != 0)
        return { false, errno == EROFS ? Reason(errno) : "The file is read-only.", {} };

    // A rename gives the name a new file: fine unless other names share the old one or the
    // new file could not have the old one's owner.
    const bool ownerKept = info.st_uid == geteuid() || geteuid() == 0;
    if (info.st_nlink == 1 && ownerKept) {
        const files::ReplaceResult renamed = ReplaceByRename(target, bytes, &info);
        if (renamed.Ok())
            return { true, {}, {} };
        if (renamed.stage == files::ReplaceStage::Write)
            return { false, renamed.Reason(), {} };
        // The folder takes no new file (read-only, no permission): write in place instead.
    }
    return WriteInPlace(target, bytes, backupDir);
}

#endif

} // namespace ostrel

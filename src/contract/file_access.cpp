#include "contract/file_access.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ostrel::files {

std::string ReplaceResult::Reason() const
{
    return std::strerror(error);
}

#ifdef _WIN32

ReplaceResult ReplaceFile(const std::string &target, const std::vector<std::string_view> &parts,
    const ReplaceSettings &settings)
{
    const std::filesystem::path path(target);
    const std::filesystem::path temp =
        path.parent_path() / ("." + path.filename().string() + ".new" + settings.tempSuffix);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return { ReplaceStage::Prepare, EACCES };
        for (std::string_view part : parts)
            out.write(part.data(), static_cast<std::streamsize>(part.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return { ReplaceStage::Write, EIO };
        }
    }
    std::error_code error;
    std::filesystem::rename(temp, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return { ReplaceStage::Prepare, error.value() };
    }
    return {};
}

ReadStatus ExamineRegularFile(const std::string &path, uint64_t maxBytes)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return ReadStatus::Missing;
    if (error)
        return ReadStatus::Failed;
    if (status.type() != std::filesystem::file_type::regular)
        return ReadStatus::NotRegular;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return ReadStatus::Failed;
    return size > maxBytes ? ReadStatus::TooLarge : ReadStatus::Ok;
}

ReadResult ReadRegularFile(const std::string &path, uint64_t maxBytes)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return { ReadStatus::Missing, {}, ENOENT };
    if (error)
        return { ReadStatus::Failed, {}, error.value() };
    if (status.type() != std::filesystem::file_type::regular)
        return { ReadStatus::NotRegular, {}, 0 };
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return { ReadStatus::Failed, {}, EACCES };
    ReadResult result { ReadStatus::Ok, {}, 0 };
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        result.bytes.append(chunk, static_cast<size_t>(in.gcount()));
        if (result.bytes.size() > maxBytes)
            return { ReadStatus::TooLarge, {}, 0 };
    }
    if (in.bad())
        return { ReadStatus::Failed, {}, EIO };
    return result;
}

#else

int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

namespace {

void SyncFolder(const std::filesystem::path &folder)
{
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

ReplaceResult ReplaceFile(const std::string &target, const std::vector<std::string_view> &parts,
    const ReplaceSettings &settings)
{
    const std::filesystem::path path(target);
    std::string temp =
        (path.parent_path() / ("." + path.filename().string() + ".XXXXXX" + settings.tempSuffix))
            .string();
    const int fd = mkostemps(temp.data(), static_cast<int>(settings.tempSuffix.size()), O_CLOEXEC);
    if (fd < 0)
        return { ReplaceStage::Prepare, errno };
    auto fail = [&](ReplaceStage stage, int error, bool open) {
        if (open)
            close(fd);
        unlink(temp.c_str());
        return ReplaceResult { stage, error };
    };
    if (settings.owner) {
        const FileOwner &owner = *settings.owner;
        if ((owner.user != geteuid() || owner.group != getegid())
            && fchown(fd, owner.user, owner.group) != 0)
            return fail(ReplaceStage::Prepare, errno, true);
    }
    if (settings.mode) {
        fchmod(fd, static_cast<mode_t>(*settings.mode & 07777));
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    for (std::string_view part : parts)
        if (const int error = WriteAll(fd, part))
            return fail(ReplaceStage::Write, error, true);
    if (fsync(fd) != 0)
        return fail(ReplaceStage::Write, errno, true);
    if (close(fd) != 0)
        return fail(ReplaceStage::Write, errno, false);
    if (rename(temp.c_str(), target.c_str()) != 0)
        return fail(ReplaceStage::Prepare, errno, false);
    if (settings.syncFolder)
        SyncFolder(path.parent_path());
    return {};
}

ReadStatus ExamineRegularFile(const std::string &path, uint64_t maxBytes)
{
    struct stat info
    {
    };
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    if (!S_ISREG(info.st_mode))
        return ReadStatus::NotRegular;
    return static_cast<uint64_t>(info.st_size) > maxBytes ? ReadStatus::TooLarge : ReadStatus::Ok;
}

ReadResult ReadRegularFile(const std::string &path, uint64_t maxBytes)
{
    struct stat info
    {
    };
    if (stat(path.c_str(), &info) != 0)
        return { errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed, {}, errno };
    if (!S_ISREG(info.st_mode))
        return { ReadStatus::NotRegular, {}, 0 };
    if (static_cast<uint64_t>(info.st_size) > maxBytes)
        return { ReadStatus::TooLarge, {}, 0 };
    // Non-blocking: should a FIFO have taken the file's place since the stat, the open does
    // not wait for a writer; the fstat below refuses it then.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return { errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed, {}, errno };
    ReadResult result { ReadStatus::Ok, {}, 0 };
    if (fstat(fd, &info) != 0) {
        result = { ReadStatus::Failed, {}, errno };
    } else if (!S_ISREG(info.st_mode)) {
        result = { ReadStatus::NotRegular, {}, 0 };
    } else if (static_cast<uint64_t>(info.st_size) > maxBytes) {
        result = { ReadStatus::TooLarge, {}, 0 };
    } else {
        // Never more than the limit, even when the file grows while it is read.
        char chunk[65536];
        for (;;) {
            const ssize_t n = read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                result = { ReadStatus::Failed, {}, errno };
                break;
            }
            if (n == 0)
                break;
            result.bytes.append(chunk, static_cast<size_t>(n));
            if (result.bytes.size() > maxBytes) {
                result = { ReadStatus::TooLarge, {}, 0 };
                break;
            }
        }
    }
    close(fd);
    return result;
}

#endif

} // namespace ostrel::files

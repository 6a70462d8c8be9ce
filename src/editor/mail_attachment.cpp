#include "editor/mail_attachment.h"

#include "contract/file_access.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ostrel {

namespace {

// One name in a folder: a path separator or a name that means a folder would lead elsewhere.
std::string SafeFileName(const std::string &name)
{
    std::string safe = name;
    for (char &c : safe)
        if (c == '/' || c == '\\' || c == '\0')
            c = '_';
    if (safe.empty() || safe == "." || safe == "..")
        safe = "document";
    return safe;
}

} // namespace

MailAttachments::~MailAttachments()
{
    RemoveAll();
}

#ifdef _WIN32

MailAttachments::Result MailAttachments::Write(
    const std::string &, const std::string &, std::string_view)
{
    return { {}, "Mail attachments are not supported on this system." };
}

void MailAttachments::RemoveAll()
{
    m_files.clear();
}

#else

MailAttachments::Result MailAttachments::Write(
    const std::string &tempFolder, const std::string &name, std::string_view bytes)
{
    std::string folder = (std::filesystem::path(tempFolder) / "ostrel-mail-XXXXXX").string();
    if (!::mkdtemp(folder.data())) // mode 0700
        return { {}, std::strerror(errno) };
    const std::string path = (std::filesystem::path(folder) / SafeFileName(name)).string();
    const int fd = ::open(
        path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    int error = fd < 0 ? errno : files::WriteAll(fd, bytes);
    if (fd >= 0 && ::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        if (fd >= 0)
            ::unlink(path.c_str());
        ::rmdir(folder.c_str());
        return { {}, std::strerror(error) };
    }
    m_files.push_back(path);
    return { path, {} };
}

void MailAttachments::RemoveAll()
{
    for (const std::string &file : m_files) {
        ::unlink(file.c_str());
        ::rmdir(std::filesystem::path(file).parent_path().c_str());
    }
    m_files.clear();
}

#endif

} // namespace ostrel

#include "support/test_mounts.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include <sys/mount.h>
#include <unistd.h>

namespace ostrel::test {

TestMounts::~TestMounts()
{
    for (auto it = m_mounted.rbegin(); it != m_mounted.rend(); ++it)
        umount2(it->c_str(), MNT_DETACH);
}

bool TestMounts::Mount(const char *source, const std::string &target, const char *type,
    unsigned long flags, const char *data)
{
    if (geteuid() != 0) {
        m_error = "mounting needs root";
        return false;
    }
    if (mount(source, target.c_str(), type, flags, data) != 0) {
        m_error = std::string("mount is not allowed here: ") + std::strerror(errno);
        return false;
    }
    if ((flags & MS_REMOUNT) == 0)
        m_mounted.push_back(target);
    return true;
}

bool TestMounts::Tmpfs(const std::string &folder, unsigned long bytes)
{
    const std::string options = "size=" + std::to_string(bytes);
    return Mount("tmpfs", folder, "tmpfs", 0, options.c_str());
}

bool TestMounts::ReadOnlyFolderWithWritableFile(
    const std::string &folder, const std::string &name, const std::string &source)
{
    if (!Tmpfs(folder, 1 << 20))
        return false;
    const std::string file = folder + "/" + name;
    std::ofstream(file).put('\0'); // the mount point
    return Mount(nullptr, folder, nullptr, MS_REMOUNT | MS_RDONLY, nullptr)
        && Mount(source.c_str(), file, nullptr, MS_BIND, nullptr);
}

} // namespace ostrel::test

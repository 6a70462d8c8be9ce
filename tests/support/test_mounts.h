#pragma once

#include <string>
#include <vector>

namespace ostrel::test {

// Mounts for tests that need a folder even root cannot write, or a disk that fills up. Only
// root may mount; each call returns false (with the reason in Error()) where that is not
// allowed, and the test is then skipped. Everything is unmounted with the object.
class TestMounts
{
public:
    TestMounts() = default;
    ~TestMounts();
    TestMounts(const TestMounts &) = delete;
    TestMounts &operator=(const TestMounts &) = delete;

    // A small tmpfs of `bytes` at folder.
    bool Tmpfs(const std::string &folder, unsigned long bytes);
    // folder becomes a read-only folder holding `name`, a writable file whose bytes are those
    // of `source` (a bind mount of it): a writable file in a folder nobody can write.
    bool ReadOnlyFolderWithWritableFile(
        const std::string &folder, const std::string &name, const std::string &source);

    const std::string &Error() const { return m_error; }

private:
    bool Mount(const char *source, const std::string &target, const char *type, unsigned long flags,
        const char *data);
    std::vector<std::string> m_mounted;
    std::string m_error;
};

} // namespace ostrel::test

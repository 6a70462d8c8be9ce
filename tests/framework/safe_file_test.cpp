#include "framework/safe_file.h"
#include "support/temp_dir.h"
#include "support/test_mounts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

namespace ostrel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string Read(const std::string &path)
{
    const Bytes bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class SafeFileTest : public ::testing::Test
{
public:
    std::string File(const std::string &name, const std::string &text)
    {
        const std::string path = dir.File(name);
        test::WriteText(path, text);
        return path;
    }
    SaveResult Save(const std::string &path, const std::string &text)
    {
        return SaveFileContents(path, text, Backups());
    }
    std::string Backups() const { return dir.File("cache/backups"); }
    bool NoBackupLeft() const { return !fs::exists(Backups()) || fs::is_empty(Backups()); }

    TempDir dir;
};

TEST_F(SafeFileTest, OnlyRegularFilesAreOpened)
{
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(dir.File("folder"));
    const std::string regular = File("plain.c", "x");
    const struct
    {
        std::string path;
        bool opens;
    } cases[] = { { regular, true }, { fifo, false }, { dir.File("folder"), false },
        { "/dev/null", false }, { dir.File("missing"), false } };
    for (const auto &c : cases) {
        for (const char *mode : { "rb", "r+b" }) {
            SCOPED_TRACE(c.path + " " + mode);
            std::FILE *file = OpenRegularFile(c.path, mode);
            EXPECT_EQ(file != nullptr, c.opens);
            if (file)
                std::fclose(file);
        }
    }
    // Creating makes a missing file, and nothing else.
    EXPECT_EQ(OpenRegularFile(fifo, "r+b", true), nullptr);
    std::FILE *created = OpenRegularFile(dir.File("missing"), "r+b", true);
    ASSERT_NE(created, nullptr);
    std::fclose(created);
    EXPECT_TRUE(fs::is_regular_file(dir.File("missing")));
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// What the user set up on a file survives a save; each case checks its own part of it.
TEST_F(SafeFileTest, SaveKeepsLinksPermissionsAndOwner)
{
    const struct
    {
        const char *what;
        bool needsRoot;
        std::function<std::string(SafeFileTest &)> setUp; // returns the path to save
        std::function<void(SafeFileTest &)> check;
    } cases[] = {
        { "hard link", false,
            [](SafeFileTest &t) {
                const std::string a = t.File("a.c", "old");
                fs::create_hard_link(a, t.dir.File("b.c"));
                return a;
            },
            [](SafeFileTest &t) {
                EXPECT_EQ(Read(t.dir.File("b.c")), "new");
                EXPECT_EQ(fs::hard_link_count(t.dir.File("a.c")), 2u);
            } },
        { "symbolic link", false,
            [](SafeFileTest &t) {
                t.File("real.c", "old");
                fs::create_symlink("real.c", t.dir.File("link.c"));
                return t.dir.File("link.c");
            },
            [](SafeFileTest &t) {
                EXPECT_TRUE(fs::is_symlink(t.dir.File("link.c")));
                EXPECT_EQ(Read(t.dir.File("real.c")), "new");
            } },
        { "permissions", false,
            [](SafeFileTest &t) {
                const std::string path = t.File("p.c", "old");
                chmod(path.c_str(), 0640);
                return path;
            },
            [](SafeFileTest &t) {
                struct stat info
                {
                };
                stat(t.dir.File("p.c").c_str(), &info);
                EXPECT_EQ(info.st_mode & 07777, 0640u);
            } },
        { "another user's file", true,
            [](SafeFileTest &t) {
                const std::string path = t.File("o.c", "old");
                EXPECT_EQ(chown(path.c_str(), 4321, 4322), 0);
                return path;
            },
            [](SafeFileTest &t) {
                struct stat info
                {
                };
                stat(t.dir.File("o.c").c_str(), &info);
                EXPECT_EQ(info.st_uid, 4321u);
                EXPECT_EQ(info.st_gid, 4322u);
            } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && geteuid() != 0)
            continue; // only root can give a file to another user
        const std::string path = c.setUp(*this);
        const SaveResult result = Save(path, "new");
        ASSERT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(Read(path), "new");
        c.check(*this);
        EXPECT_TRUE(NoBackupLeft());
    }
}

// A folder that takes no new file: a writable file there is written in place.
TEST_F(SafeFileTest, WritableFileInReadOnlyFolderIsSavedInPlace)
{
    const std::string folder = dir.File("ro");
    fs::create_directory(folder);
    test::TestMounts mounts;
    std::string source = folder + "/MAIN.C"; // where the bytes end up
    if (geteuid() == 0) {
        source = File("bound.c", "old");
        if (!mounts.ReadOnlyFolderWithWritableFile(folder, "MAIN.C", source))
            GTEST_SKIP() << "root writes into read-only folders, and " << mounts.Error();
    } else {
        test::WriteText(source, "old");
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    }
    const SaveResult result = Save(folder + "/MAIN.C", "new text");
    std::error_code ignored; // the read-only mount keeps its permissions
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(Read(source), "new text");
    EXPECT_TRUE(NoBackupLeft());
}

// A disk that fills part-way: the system's reason, and the old bytes, on both ways of saving.
TEST_F(SafeFileTest, FullDiskIsNamedAndTheOldFileStays)
{
    const std::string disk = dir.File("disk");
    fs::create_directory(disk);
    test::TestMounts mounts;
    if (!mounts.Tmpfs(disk, 64 * 1024))
        GTEST_SKIP() << "needs a small disk: " << mounts.Error();
    const std::string big(256 * 1024, 'x');
    const std::string renamed = disk + "/a.c", inPlace = disk + "/b.c";
    test::WriteText(renamed, "old a");
    test::WriteText(inPlace, "old b");
    fs::create_hard_link(inPlace, disk + "/b-link.c");
    for (const std::string &path : { renamed, inPlace }) {
        SCOPED_TRACE(path);
        const SaveResult result = Save(path, big);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.reason, "No space left on device");
        EXPECT_TRUE(result.backupKept.empty());
    }
    EXPECT_EQ(Read(renamed), "old a");
    EXPECT_EQ(Read(inPlace), "old b");
    // No temporary file is left on the full disk either.
    EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator {}), 3);
    EXPECT_TRUE(NoBackupLeft());
}

// A save in place that cannot keep a backup says why, in the system's words.
TEST_F(SafeFileTest, FailedBackupGivesTheReason)
{
    const std::string path = File("a.c", "old");
    fs::create_hard_link(path, dir.File("b.c")); // saved in place, so a backup comes first
    test::WriteText(dir.File("cache"), "a file where the backup folder would go");
    const SaveResult result = Save(path, "new");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find(std::strerror(ENOTDIR)), std::string::npos) << result.reason;
    EXPECT_EQ(Read(path), "old");
}

} // namespace
} // namespace ostrel

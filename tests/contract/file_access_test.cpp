#include "contract/file_access.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace ostrel::files {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string Read(const fs::path &path)
{
    return ReadRegularFile(path.string(), 1 << 20).bytes;
}

// Whatever a name stands for, the read ends at once, and only a regular file within the limit
// gives its bytes.
TEST(FileAccess, OnlyRegularFilesWithinTheLimitAreRead)
{
    test::TempDir dir;
    Write(dir.Path() / "ten", "0123456789");
    fs::create_symlink(dir.Path() / "ten", dir.Path() / "link");
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
    const struct
    {
        std::string path;
        uint64_t limit;
        ReadStatus status;
    } cases[] = {
        { dir.File("ten"), 10, ReadStatus::Ok },
        { dir.File("link"), 10, ReadStatus::Ok },
        { dir.File("ten"), 9, ReadStatus::TooLarge },
        { dir.File("missing"), 10, ReadStatus::Missing },
        { dir.File("fifo"), 10, ReadStatus::NotRegular },
        { dir.Path().string(), 10, ReadStatus::NotRegular },
        { "/dev/zero", 1 << 20, ReadStatus::NotRegular },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path + " limit " + std::to_string(c.limit));
        const ReadResult read = ReadRegularFile(c.path, c.limit);
        EXPECT_EQ(read.status, c.status);
        EXPECT_EQ(read.bytes, c.status == ReadStatus::Ok ? "0123456789" : "");
    }
}

TEST(FileAccess, ReplaceWritesThePartsAndReplacesALinkWithoutFollowingIt)
{
    test::TempDir dir;
    Write(dir.Path() / "elsewhere", "keep");
    fs::create_symlink(dir.Path() / "elsewhere", dir.Path() / "out");
    ReplaceSettings settings;
    settings.mode = 0640;
    settings.tempSuffix = ".tmp";
    ASSERT_TRUE(ReplaceFile(dir.File("out"), { "head,", "body" }, settings).Ok());
    EXPECT_FALSE(fs::is_symlink(dir.Path() / "out"));
    EXPECT_EQ(Read(dir.Path() / "out"), "head,body");
    EXPECT_EQ(Read(dir.Path() / "elsewhere"), "keep");
    EXPECT_EQ(fs::status(dir.Path() / "out").permissions() & fs::perms::all,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);

    // A folder that is not there takes no temporary file; nothing is left behind.
    const ReplaceResult failed = ReplaceFile(dir.File("no/such/file"), { "x" });
    EXPECT_EQ(failed.stage, ReplaceStage::Prepare);
    EXPECT_FALSE(failed.Reason().empty());
}

} // namespace
} // namespace ostrel::files

#include "editor/mail_attachment.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace ostrel {
namespace {

namespace fs = std::filesystem;

// Each copy has a fresh folder of its own, keeps to it whatever its name, and goes with the
// program; what someone else left in such a folder stays.
TEST(MailAttachments, EachCopyHasItsOwnFolderAndGoesWithTheProgram)
{
    test::TempDir dir;
    fs::path first;
    fs::path second;
    {
        MailAttachments attachments;
        first = attachments.Write(dir.Path().string(), "MAIN.C", "a").path;
        second = attachments.Write(dir.Path().string(), "../MAIN.C", "b").path;
        ASSERT_FALSE(first.empty());
        ASSERT_FALSE(second.empty());
        EXPECT_NE(first.parent_path(), second.parent_path());
        EXPECT_EQ(second.parent_path().parent_path(), dir.Path());
        EXPECT_EQ(test::ReadBytes(second.string()), test::ToBytes("b"));
        test::WriteText((second.parent_path() / "draft").string(), "x");

        const auto failed = attachments.Write((dir.Path() / "missing").string(), "x", "");
        EXPECT_TRUE(failed.path.empty());
        EXPECT_EQ(failed.reason, std::strerror(ENOENT));
    }
    EXPECT_FALSE(fs::exists(first.parent_path()));
    EXPECT_FALSE(fs::exists(second));
    EXPECT_TRUE(fs::exists(second.parent_path() / "draft"));
}

} // namespace
} // namespace ostrel

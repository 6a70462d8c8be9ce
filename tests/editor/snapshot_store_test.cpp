#include "editor/snapshot_store.h"
#include "editor/text_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>

namespace ostrel {
namespace {

using test::TempDir;

class SnapshotStoreTest : public ::testing::Test
{
protected:
    TempDir dir;
    SnapshotStore store { dir.Path() / "snapshots" };
    const std::string session = SnapshotStore::NewSessionName();
};

TEST_F(SnapshotStoreTest, KeepsTheBytesExactlyAndReplacesThemWhole)
{
    const std::string bytes("a\0b\r\n\xe9\xff\r\rend", 12);
    const SnapshotInfo info { "/src/MAIN.C", "MAIN.C", 1'800'000'000 };
    ASSERT_TRUE(store.Write(session, "doc1", info, bytes));
    ASSERT_TRUE(store.Write(session, "doc2", { "", "Ostrel1", 1'800'000'001 }, ""));

    auto listed = store.List(session);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].info.originalPath, "/src/MAIN.C");
    EXPECT_EQ(listed[0].info.title, "MAIN.C");
    EXPECT_EQ(listed[0].info.savedAt, 1'800'000'000);
    EXPECT_EQ(store.ReadContent(listed[0].file), bytes);
    EXPECT_EQ(listed[1].info.title, "Ostrel1");
    EXPECT_EQ(store.ReadContent(listed[1].file), "");

    // A second write of the same document replaces the first; a shorter text leaves no tail.
    ASSERT_TRUE(store.Write(session, "doc1", info, "x"));
    EXPECT_EQ(store.ReadContent(store.List(session)[0].file), "x");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store.SessionFolder(session)),
                  std::filesystem::directory_iterator()),
        2);

    EXPECT_FALSE(store.RemoveSessionIfEmpty(session));
    store.Remove(session, "doc1");
    store.Remove(session, "doc2");
    // A temporary file left by a write that never finished does not keep the folder.
    test::WriteText((store.SessionFolder(session) / "doc3.tmp").string(), "half");
    EXPECT_TRUE(store.RemoveSessionIfEmpty(session));
    EXPECT_TRUE(store.Sessions().empty());
}

TEST_F(SnapshotStoreTest, DamagedFilesAreLeftOut)
{
    const std::string whole = EncodeSnapshotHeader({ "/a.c", "a.c", 5 }, 3) + "abc";
    ASSERT_TRUE(ParseSnapshot(whole).has_value());
    const std::string damaged[] = {
        whole.substr(0, whole.size() - 1), // cut short
        whole + "d", // longer than it says
        "X" + whole.substr(1), // not a snapshot
        whole.substr(0, 20), // cut inside the header
        "",
    };
    std::filesystem::create_directories(store.SessionFolder(session));
    int index = 0;
    for (const std::string &bytes : damaged) {
        EXPECT_FALSE(ParseSnapshot(bytes).has_value()) << index;
        test::WriteText(
            (store.SessionFolder(session) / ("bad" + std::to_string(index++) + ".snap")).string(),
            bytes);
    }
    std::vector<std::filesystem::path> skipped;
    EXPECT_TRUE(store.List(session, &skipped).empty());
    EXPECT_EQ(skipped.size(), std::size(damaged));
}

// A file is judged by its header and its size before anything else of it is read: one larger
// than any document that opens is passed over at once, however whole its header.
TEST_F(SnapshotStoreTest, SizeAndHeaderComeFirst)
{
    std::filesystem::create_directories(store.SessionFolder(session));
    const auto big = store.SessionFolder(session) / "big.snap";
    const uint64_t length = kMaxDocumentBytes + 1;
    test::WriteText(big.string(), EncodeSnapshotHeader({ "/a.c", "a.c", 5 }, length));
    std::filesystem::resize_file(big, std::filesystem::file_size(big) + length); // sparse
    ASSERT_TRUE(store.Write(session, "doc1", { "/b.c", "b.c", 6 }, "small"));

    std::vector<std::filesystem::path> skipped;
    const auto listed = store.List(session, &skipped);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].info.title, "b.c");
    EXPECT_EQ(skipped, std::vector<std::filesystem::path> { big });
    EXPECT_FALSE(store.ReadContent(big).has_value());
    EXPECT_EQ(store.ReadContent(listed[0].file), "small");
}

// Only folders named as this program names them are its sessions; nothing else is removed.
TEST_F(SnapshotStoreTest, OnlyItsOwnFoldersAreSessions)
{
    for (const char *name : { "notes", "0000000000001-dead", "0000000000001-0000DEAD" }) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(SnapshotStore::IsSessionName(name));
        std::filesystem::create_directories(store.SessionFolder(name));
        EXPECT_FALSE(store.RemoveSessionIfEmpty(name));
        EXPECT_TRUE(std::filesystem::exists(store.SessionFolder(name)));
    }
    EXPECT_TRUE(SnapshotStore::IsSessionName(session));
    std::filesystem::create_directories(store.SessionFolder(session));
    EXPECT_EQ(store.Sessions(), std::vector<std::string> { session });
}

TEST(RecoveryQuestion, NamesTheDocumentItsFileAndTheTime)
{
    const std::string text = RecoveryQuestion({ "/src/MAIN.C", "MAIN.C", 0 });
    EXPECT_NE(text.find("MAIN.C (/src/MAIN.C)"), std::string::npos) << text;
    EXPECT_NE(text.find(FormatSnapshotTime(0)), std::string::npos) << text;
    EXPECT_EQ(FormatSnapshotTime(0).size(), 19u); // 1970-01-01 00:00:00 in some time zone
    EXPECT_NE(
        RecoveryQuestion({ "", "Ostrel2", 0 }).find("changes to Ostrel2 were"), std::string::npos);
    // A time no snapshot can have been taken at is shown as unknown, not as a made-up date.
    for (const int64_t absurd : { INT64_MAX, int64_t { -1 }, INT64_MIN, int64_t { 1 } << 40 }) {
        EXPECT_EQ(FormatSnapshotTime(absurd), "") << absurd;
        EXPECT_NE(RecoveryQuestion({ "", "Ostrel2", absurd }).find("at a time that is not known"),
            std::string::npos);
    }
}

} // namespace
} // namespace ostrel

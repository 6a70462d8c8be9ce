#include "fakes/fake_services.h"
#include "framework/recent_file_list.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFileList, NewestFirstWithoutDuplicatesAndAtMostFour)
{
    RecentFileList list;
    for (const char *path : { "/a.c", "/b.c", "/a.c", "/c.c", "/d.c", "/e.c", "" })
        list.Add(path);
    EXPECT_EQ(list.Entries(), (Paths { "/e.c", "/d.c", "/c.c", "/a.c" }));
    list.Remove(1);
    list.Remove(9);
    EXPECT_EQ(list.Entries(), (Paths { "/e.c", "/c.c", "/a.c" }));
}

TEST(RecentFileList, ProfileRoundTripClearsDroppedEntries)
{
    test::FakeProfile profile;
    RecentFileList list;
    list.Add("/one.c");
    list.Add("/two.c");
    list.WriteTo(profile);
    EXPECT_EQ(profile.GetString("Recent File List", "File1", ""), "/two.c");
    EXPECT_EQ(profile.GetString("Recent File List", "File3", "x"), "");

    profile.WriteString("Recent File List", "File3", "/two.c"); // a doubled entry is read once
    RecentFileList back;
    back.ReadFrom(profile);
    EXPECT_EQ(back.Entries(), (Paths { "/two.c", "/one.c" }));
}

TEST(RecentFileList, MenuTextNumbersShortensAndEscapes)
{
    RecentFileList list;
    list.Add("/home/user/projects/very/deep/folder/structure/BLINK.C");
    list.Add("/p/R&D.c");
    EXPECT_EQ(list.MenuText(0), "&1 /p/R&&D.c");
    const std::string shortened = list.MenuText(1);
    EXPECT_EQ(shortened.rfind("&2 /home/user/projects/very/", 0), 0u);
    EXPECT_NE(shortened.find(".../BLINK.C"), std::string::npos);
    EXPECT_LE(shortened.size(), 3u + 40u);
    EXPECT_EQ(list.MenuText(5), "");
}

} // namespace
} // namespace ostrel

#include "menus/platform_menus.h"

#include <gtest/gtest.h>

#include <vector>

namespace ostrel {
namespace {

constexpr uint32_t kPos = MenuFlag::ByPosition;
constexpr uint32_t kCmd = MenuFlag::ByCommand;

// A bar with "&File" (New 100, separator, Exit 101) and "&Help" (About 200).
struct PlatformMenusTest : ::testing::Test
{
    PlatformMenusTest()
    {
        bar = menus.CreateMenu();
        file = menus.CreatePopupMenu();
        help = menus.CreatePopupMenu();
        menus.AppendMenu(file, MenuFlag::String, 100, "&New");
        menus.AppendMenu(file, MenuFlag::Separator, 0, {});
        menus.AppendMenu(file, MenuFlag::String, 101, "E&xit");
        menus.AppendMenu(help, MenuFlag::String, 200, "&About");
        menus.AppendMenu(bar, MenuFlag::Popup, file, "&File");
        menus.AppendMenu(bar, MenuFlag::Popup, help, "&Help");
    }

    PlatformMenus menus;
    MenuHandle bar = 0, file = 0, help = 0;
};

TEST_F(PlatformMenusTest, QueriesByPositionAndByCommand)
{
    EXPECT_EQ(menus.GetMenuItemCount(bar), 2);
    EXPECT_EQ(menus.GetMenuItemCount(0), -1);
    EXPECT_EQ(menus.GetSubMenu(bar, 0), file);
    EXPECT_EQ(menus.GetSubMenu(file, 0), 0u);
    EXPECT_EQ(menus.GetMenuItemID(bar, 0), kMenuNoItem);
    EXPECT_EQ(menus.GetMenuItemID(file, 1), 0u);
    EXPECT_EQ(menus.GetMenuItemID(file, 2), 101u);
    EXPECT_EQ(menus.GetMenuItemID(file, 3), kMenuNoItem);
    EXPECT_EQ(menus.GetMenuItemID(file, -1), kMenuNoItem);

    // A submenu entry reports its flag byte and the submenu's entry count in the second byte.
    EXPECT_EQ(menus.GetMenuState(bar, 0, kPos), 0x0310u);
    EXPECT_EQ(menus.GetMenuState(file, 1, kPos), MenuFlag::Separator);
    // By command the search goes through the submenus.
    EXPECT_EQ(menus.GetMenuString(bar, 200, kCmd), "&About");
    EXPECT_EQ(menus.GetMenuState(bar, 999, kCmd), kMenuNoItem);
    EXPECT_EQ(menus.GetMenuString(bar, 0, kPos, 4), "&Fi");
    EXPECT_EQ(menus.GetMenuString(bar, 0, kPos, 0), "");
}

TEST_F(PlatformMenusTest, EnableCheckAndBitmapsReportWhatWasThere)
{
    EXPECT_EQ(menus.EnableMenuItem(bar, 101, MenuFlag::Grayed), MenuFlag::Enabled);
    EXPECT_EQ(menus.EnableMenuItem(bar, 101, MenuFlag::Enabled), MenuFlag::Grayed);
    EXPECT_EQ(menus.CheckMenuItem(file, 0, kPos | MenuFlag::Checked), 0u);
    EXPECT_EQ(menus.GetMenuState(file, 100, kCmd), MenuFlag::Checked);
    EXPECT_EQ(menus.EnableMenuItem(bar, 999, MenuFlag::Grayed), kMenuNoItem);
    EXPECT_TRUE(menus.SetMenuItemBitmaps(bar, 100, kCmd, 0x1234));
    EXPECT_EQ(menus.GetMenuItemInfo(file, 0, kPos)->checkedBitmap, 0x1234u);
}

TEST_F(PlatformMenusTest, OwnerDrawnEntriesKeepTheirDataAndNoText)
{
    int record = 0;
    const auto data = reinterpret_cast<uintptr_t>(&record);
    ASSERT_TRUE(menus.ModifyMenu(file, 0, kPos | MenuFlag::OwnerDraw, 100, "ignored", data));
    const auto item = menus.GetMenuItemInfo(bar, 100, kCmd);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->itemData, data);
    EXPECT_EQ(item->flags, MenuFlag::OwnerDraw);
    EXPECT_EQ(menus.GetMenuString(file, 0, kPos), "");
    // Plain text written over it comes back.
    ASSERT_TRUE(menus.ModifyMenu(file, 100, kCmd, 100, "C:\\MAIN.C"));
    EXPECT_EQ(menus.GetMenuString(file, 0, kPos), "C:\\MAIN.C");
}

TEST_F(PlatformMenusTest, SubmenusLiveAndDieWithTheirEntries)
{
    // Keeping the entry a popup keeps the submenu.
    ASSERT_TRUE(menus.ModifyMenu(bar, 0, kPos | MenuFlag::Popup, file, "&File"));
    EXPECT_TRUE(menus.IsMenu(file));
    // Replacing it by a plain entry destroys it.
    ASSERT_TRUE(menus.ModifyMenu(bar, 0, kPos, 5, "Plain"));
    EXPECT_FALSE(menus.IsMenu(file));
    // Removing keeps the submenu, deleting destroys it.
    ASSERT_TRUE(menus.RemoveMenu(bar, 1, kPos));
    EXPECT_TRUE(menus.IsMenu(help));
    ASSERT_TRUE(menus.AppendMenu(bar, MenuFlag::Popup, help, "&Help"));
    ASSERT_TRUE(menus.DeleteMenu(bar, 1, kPos));
    EXPECT_FALSE(menus.IsMenu(help));
    EXPECT_EQ(menus.GetMenuItemCount(bar), 1);
}

TEST_F(PlatformMenusTest, DestroyingABarDestroysItsLists)
{
    ASSERT_TRUE(menus.DestroyMenu(bar));
    EXPECT_FALSE(menus.IsMenu(bar));
    EXPECT_FALSE(menus.IsMenu(file));
    EXPECT_FALSE(menus.IsMenu(help));
    EXPECT_FALSE(menus.DestroyMenu(bar));
    // New handles never reuse old ones, so a stale handle stays invalid.
    EXPECT_NE(menus.CreateMenu(), bar);
}

TEST_F(PlatformMenusTest, CyclesAndMissingSubmenusAreRefused)
{
    EXPECT_FALSE(menus.AppendMenu(file, MenuFlag::Popup, bar, "loop"));
    EXPECT_FALSE(menus.AppendMenu(file, MenuFlag::Popup, file, "self"));
    EXPECT_FALSE(menus.ModifyMenu(help, 0, kPos | MenuFlag::Popup, bar, "loop"));
    EXPECT_FALSE(menus.AppendMenu(file, MenuFlag::Popup, 0x7FFFFFFF, "none"));
    EXPECT_FALSE(menus.AppendMenu(0x7FFFFFFF, MenuFlag::String, 1, "x"));
    EXPECT_EQ(menus.GetMenuItemCount(file), 3);
    EXPECT_EQ(menus.GetMenuString(bar, 200, kCmd), "&About");
}

TEST_F(PlatformMenusTest, InsertAndChangeNotices)
{
    std::vector<MenuHandle> changed;
    menus.SetChangeListener([&](MenuHandle menu) {
        changed.push_back(menu);
    });
    ASSERT_TRUE(menus.InsertMenu(file, 101, kCmd, 57616, "1 MAIN.C"));
    ASSERT_TRUE(menus.InsertMenu(file, 99, kPos, 57617, "last"));
    EXPECT_EQ(menus.GetMenuItemID(file, 2), 57616u);
    EXPECT_EQ(menus.GetMenuItemID(file, 3), 101u);
    EXPECT_EQ(menus.GetMenuItemID(file, 4), 57617u);
    EXPECT_EQ(menus.EnableMenuItem(bar, 57616, MenuFlag::Enabled), 0u); // no change, no notice
    menus.DestroyMenu(help);
    EXPECT_EQ(changed, (std::vector<MenuHandle> { file, file, help }));
}

} // namespace
} // namespace ostrel

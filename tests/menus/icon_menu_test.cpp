#include "fakes/fake_system_look.h"
#include "framework/command_ids.h"
#include "menus/icon_menu.h"
#include "menus/menu_text.h"
#include "res/resources.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace ostrel {
namespace {

using test::FakeSystemLook;
using test::FixedPitchSurface;

constexpr uint32_t kPos = MenuFlag::ByPosition;
constexpr uint32_t kFirstRecent = 57616;

struct IconMenuTest : ::testing::Test
{
    CIconMenu &Load(CIconMenu &menu, uint16_t id)
    {
        EXPECT_TRUE(menu.LoadMenu(id));
        const int toolbars[] = { kMainResourceId };
        menu.LoadToolbars(toolbars, 1);
        return menu;
    }
    CIconMenu &List(CIconMenu &root, int position)
    {
        return *dynamic_cast<CIconMenu *>(
            CMenu::FromHandlePermanent(context, menus.GetSubMenu(root.GetSafeHmenu(), position)));
    }
    const CIconMenuItem *Record(CIconMenu &root, uint32_t command)
    {
        const auto owner = root.FindCommandOwner(command);
        return owner ? owner->menu->Items()[static_cast<size_t>(owner->position)].get() : nullptr;
    }
    std::vector<std::string> Texts(const CIconMenu &list)
    {
        std::vector<std::string> texts;
        for (const auto &record : list.Items())
            texts.push_back(record->Text8());
        return texts;
    }

    PlatformMenus menus;
    FakeSystemLook look;
    MenuContext context { menus, look, ProgramMenuResources(), [] {
                             return std::make_unique<FixedPitchSurface>();
                         } };
};

TEST_F(IconMenuTest, CommandsGetTheImagesOfTheirToolbarButtons)
{
    CIconMenu doc(context), plain(context);
    Load(doc, kDocumentMenuId);
    Load(plain, kMainResourceId);
    const std::map<uint32_t, int> docImages = { { 57601, 0 }, { 57603, 1 }, { 57607, 2 },
        { 57635, 3 }, { 57634, 4 }, { 57637, 5 }, { 57636, 6 }, { 57641, 7 }, { 32771, 8 },
        { 57664, 10 } };
    for (const auto &[root, images] : { std::pair { &doc, docImages },
             std::pair { &plain, std::map<uint32_t, int> { { 57601, 0 }, { 57664, 10 } } } }) {
        int withImage = 0;
        for (const auto &submenu : root->Submenus())
            for (const auto &record : submenu->Items()) {
                const auto found = images.find(record->commandId);
                EXPECT_EQ(record->imageIndex, found == images.end() ? -1 : found->second)
                    << record->Text8();
                EXPECT_EQ(record->iconResourceId, found == images.end() ? -1 : 128);
                if (found != images.end()) {
                    ++withImage;
                    ASSERT_NE(record->images, nullptr);
                    EXPECT_EQ(record->images->Count(), 12);
                }
            }
        EXPECT_EQ(withImage, static_cast<int>(images.size()));
        // On the toolbar, in no menu.
        EXPECT_FALSE(root->FindCommandOwner(32772));
        EXPECT_FALSE(root->FindCommandOwner(57669));
    }
}

TEST_F(IconMenuTest, MenuBarEntriesStayPlainAndDropDownEntriesAreOwnerDrawn)
{
    CIconMenu doc(context);
    Load(doc, kDocumentMenuId);
    const MenuHandle bar = doc.GetSafeHmenu();
    ASSERT_EQ(menus.GetMenuItemCount(bar), 9);
    ASSERT_EQ(doc.Submenus().size(), 9u);
    for (int i = 0; i < 9; ++i) {
        const auto entry = menus.GetMenuItemInfo(bar, static_cast<uint32_t>(i), kPos);
        EXPECT_EQ(entry->flags, MenuFlag::Popup);
        EXPECT_EQ(entry->text, doc.Items()[static_cast<size_t>(i)]->Text8());
        EXPECT_EQ(doc.Items()[static_cast<size_t>(i)]->flags, 0x410u);
        EXPECT_EQ(doc.Submenus()[static_cast<size_t>(i)]->GetSafeHmenu(), entry->id);
        EXPECT_TRUE(doc.OwnsPopup(&List(doc, i)));
    }
    EXPECT_FALSE(doc.OwnsPopup(&doc));
    // Every drop-down entry is owner-drawn and points at its record.
    const CIconMenu &file = List(doc, 0);
    const auto *entries = menus.Items(file.GetSafeHmenu());
    ASSERT_EQ(entries->size(), file.Items().size());
    for (size_t i = 0; i < entries->size(); ++i) {
        EXPECT_TRUE((*entries)[i].IsOwnerDraw());
        EXPECT_EQ((*entries)[i].itemData, reinterpret_cast<uintptr_t>(file.Items()[i].get()));
    }
    EXPECT_EQ(file.Items()[6]->flags, 0x900u); // separator
    // A bar entry with a command keeps its id as a plain string entry.
    CIconMenu flat(context);
    const Bytes bytes = *WriteMenuTemplate({ MenuItem("&Go", CommandId::Compile) });
    ASSERT_TRUE(flat.LoadMenuFromTemplate(bytes.data(), bytes.size()));
    EXPECT_EQ(flat.Items()[0]->flags, 0x400u);
    EXPECT_EQ(menus.GetMenuState(flat.GetSafeHmenu(), 0, kPos), 0u);
    EXPECT_EQ(menus.GetMenuItemID(flat.GetSafeHmenu(), 0), 32771u);
}

TEST_F(IconMenuTest, AcceleratorsArePaddedToOneColumn)
{
    CIconMenu plain(context);
    Load(plain, kMainResourceId);
    // The widest label is "P&rint Setup..." and a space: 15 characters shown.
    EXPECT_EQ(Texts(List(plain, 0)),
        (std::vector<std::string> { "&New" + std::string(12, ' ') + "\tCtrl+N",
            "&Open..." + std::string(8, ' ') + "\tCtrl+O", "", "P&rint Setup...", "", "Recent File",
            "", "E&xit" }));
    EXPECT_EQ(
        Texts(List(plain, 2)), (std::vector<std::string> { "&Help Topics", "", "&About Ostrel" }));
}

TEST_F(IconMenuTest, MnemonicsChooseTheFirstEntryThatMarksTheLetter)
{
    CIconMenu plain(context);
    Load(plain, kMainResourceId);
    CIconMenu &file = List(plain, 0);
    const uint32_t popup = MenuFlag::Popup;
    EXPECT_EQ(CIconMenu::FindMnemonic('o', popup, &file), 0x20001u);
    EXPECT_EQ(CIconMenu::FindMnemonic('O', popup, &file), 0x20001u);
    EXPECT_EQ(CIconMenu::FindMnemonic('x', popup, &file), 0x20007u);
    EXPECT_EQ(CIconMenu::FindMnemonic('z', popup, &file), 0u);
    EXPECT_EQ(CIconMenu::FindMnemonic('o', 0, &file), 0u);
    EXPECT_EQ(CIconMenu::FindMnemonic('o', popup, nullptr), 0u);

    // A doubled ampersand before the letter matches too, and the first position wins.
    CIconMenu list(context);
    list.Attach(menus.CreatePopupMenu());
    list.AppendIconItem("R&&D tools", 0, 1, -1);
    list.AppendIconItem("&Delete", 0, 2, -1);
    EXPECT_EQ(CIconMenu::FindMnemonic('d', popup, &list), 0x20000u);

    // A grown list (a new window entry in plain text) is brought in step first.
    menus.AppendMenu(list.GetSafeHmenu(), 0, 0xFF00, "&9 MAIN.C");
    EXPECT_EQ(CIconMenu::FindMnemonic('9', popup, &list), 0x20002u);
    EXPECT_EQ(list.Items().size(), 3u);
    EXPECT_TRUE(menus.GetMenuItemInfo(list.GetSafeHmenu(), 2, kPos)->IsOwnerDraw());
}

TEST_F(IconMenuTest, SyncItemsFollowsEntriesRewrittenAsPlainText)
{
    CIconMenu plain(context);
    Load(plain, kMainResourceId);
    CIconMenu &file = List(plain, 0);
    const MenuHandle list = file.GetSafeHmenu();
    const CIconMenuItem *open = file.Items()[1].get();
    const CIconMenuItem *placeholder = file.Items()[5].get();
    const CIconMenuItem *separator = file.Items()[2].get();

    // The recent-file list replaces its placeholder; Print Setup goes; Open appears twice.
    menus.DeleteMenu(list, 5, kPos);
    menus.InsertMenu(list, 5, kPos, kFirstRecent, "&1 /src/MAIN.C");
    menus.InsertMenu(list, 6, kPos | MenuFlag::Grayed, kFirstRecent + 1, "&2 B.C");
    menus.DeleteMenu(list, 3, kPos);
    menus.AppendMenu(list, 0, 57601, "&Open again");
    file.SyncItems();

    ASSERT_EQ(Texts(file),
        (std::vector<std::string> { "&New" + std::string(12, ' ') + "\tCtrl+N",
            "&Open..." + std::string(8, ' ') + "\tCtrl+O", "", "", "&1 /src/MAIN.C", "&2 B.C", "",
            "E&xit", "&Open again" }));
    EXPECT_EQ(file.Items()[1].get(), open); // the first of two entries takes the record
    EXPECT_EQ(file.Items()[8]->imageIndex, -1);
    EXPECT_EQ(file.Items()[4].get(), placeholder); // same id, new text
    EXPECT_EQ(file.Items()[2].get(), separator);
    EXPECT_EQ(file.Items()[5]->flags, 0x501u);
    EXPECT_EQ(file.FindCommandOwner(57606), std::nullopt);
    const auto *entries = menus.Items(list);
    ASSERT_EQ(entries->size(), file.Items().size());
    for (size_t i = 0; i < entries->size(); ++i) {
        EXPECT_TRUE((*entries)[i].IsOwnerDraw()) << i;
        EXPECT_EQ((*entries)[i].itemData, reinterpret_cast<uintptr_t>(file.Items()[i].get()));
    }
    EXPECT_TRUE((*entries)[5].IsGrayed());

    // The menu bar's popup entries keep their records and plain texts.
    const CIconMenuItem *first = plain.Items()[0].get();
    plain.SyncItems();
    EXPECT_EQ(plain.Items()[0].get(), first);
    EXPECT_EQ(plain.Items()[0]->Text8(), "&File");
}

TEST_F(IconMenuTest, SetItemIconResetsTheEntryUntilTheNextStateUpdate)
{
    CIconMenu plain(context);
    Load(plain, kMainResourceId);
    const MenuHandle bar = plain.GetSafeHmenu();
    menus.EnableMenuItem(bar, 57601, MenuFlag::Grayed);
    menus.CheckMenuItem(bar, 57601, MenuFlag::Checked);
    plain.SetItemIcon("&Open it", 57601, kMainResourceId);
    EXPECT_EQ(menus.GetMenuState(bar, 57601, 0), MenuFlag::OwnerDraw);
    EXPECT_EQ(Record(plain, 57601)->flags, MenuFlag::OwnerDraw);
    EXPECT_EQ(Record(plain, 57601)->Text8(), "&Open it");
    EXPECT_EQ(Record(plain, 57601)->imageIndex, 0);
}

TEST_F(IconMenuTest, IncompleteTemplatesBuildNothing)
{
    const Bytes whole = *LoadMenuResource(kDocumentMenuId);
    for (size_t size = 0; size < whole.size(); ++size) {
        CIconMenu menu(context);
        EXPECT_FALSE(menu.LoadMenuFromTemplate(whole.data(), size)) << size;
        EXPECT_EQ(menu.GetSafeHmenu(), 0u);
        EXPECT_TRUE(menu.Items().empty());
        EXPECT_TRUE(context.attached.empty());
    }
    CIconMenu menu(context);
    EXPECT_TRUE(menu.LoadMenu("#129"));
    EXPECT_FALSE(menu.LoadMenu("#129")); // already holds a menu
    CIconMenu other(context);
    EXPECT_FALSE(other.LoadMenu("FloatMenu"));
    EXPECT_FALSE(other.LoadMenu(uint16_t { 999 }));
}

TEST_F(IconMenuTest, DetachedRootKeepsItsListsUntilDestroyed)
{
    CIconMenu doc(context);
    Load(doc, kDocumentMenuId);
    std::vector<MenuHandle> lists;
    for (const auto &submenu : doc.Submenus())
        lists.push_back(submenu->GetSafeHmenu());
    const MenuHandle bar = doc.Detach();
    EXPECT_TRUE(menus.IsMenu(bar));
    EXPECT_EQ(doc.Items().size(), 9u);
    EXPECT_FALSE(doc.DestroyMenu()); // no platform menu attached any more
    for (const MenuHandle list : lists)
        EXPECT_FALSE(menus.IsMenu(list));
    EXPECT_TRUE(doc.Items().empty());
    EXPECT_TRUE(context.attached.empty());
    menus.DestroyMenu(bar);
}

struct MeasureCase
{
    int level;
    std::string text; // "-" for a separator
    int width;
    int height;
};

void PrintTo(const MeasureCase &c, std::ostream *out)
{
    *out << "level " << c.level << " " << ::testing::PrintToString(c.text);
}

class IconMenuMeasureTest : public IconMenuTest, public ::testing::WithParamInterface<MeasureCase>
{
};

TEST_P(IconMenuMeasureTest, WidthAndHeight)
{
    const MeasureCase &c = GetParam();
    look.level = c.level;
    CIconMenu list(context);
    list.Attach(menus.CreatePopupMenu());
    list.AppendIconItem(c.text == "-" ? "" : c.text, 0, c.text == "-" ? 0 : 100, -1);
    MeasureItemRequest request;
    request.itemId = 100;
    request.itemData = reinterpret_cast<uintptr_t>(list.Items()[0].get());
    list.MeasureItem(request);
    EXPECT_EQ(request.itemWidth, c.width);
    EXPECT_EQ(request.itemHeight, c.height);
}

INSTANTIATE_TEST_SUITE_P(Entries, IconMenuMeasureTest,
    ::testing::Values(MeasureCase { 3, "-", 0, 9 },
        // 16-bit extent of every character, tab and ampersand included, + 37.
        MeasureCase { 3, "&Open...\tCtrl+O", 15 * 6 + 37, 20 },
        // 8-bit: 14 characters shown = 84, + 3, + 3 * (87 / 15), + 37.
        MeasureCase { 0, "&Open...\tCtrl+O", 87 + 15 + 37, 20 }, MeasureCase { 0, "", 3 + 37, 20 }),
    [](const ::testing::TestParamInfo<MeasureCase> &info) {
        // A stable name: the level and the kind of entry.
        const std::string kind = info.param.text == "-" ? "separator"
            : info.param.text.empty()                   ? "empty"
                                                        : "text";
        return "level" + std::to_string(info.param.level) + "_" + kind;
    });

} // namespace
} // namespace ostrel

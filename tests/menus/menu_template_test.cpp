#include "menus/menu_template.h"
#include "res/resources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ostrel {
namespace {

// Compares what was read with what was declared, entry by entry.
void ExpectSameTree(const std::vector<MenuTemplateItem> &read, const MenuDefinition &declared)
{
    ASSERT_EQ(read.size(), declared.size());
    for (size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(declared[i].text);
        EXPECT_EQ(read[i].flags, declared[i].flags);
        EXPECT_EQ(read[i].id, declared[i].id);
        EXPECT_EQ(read[i].text, std::u16string(declared[i].text.begin(), declared[i].text.end()));
        ExpectSameTree(read[i].items, declared[i].items);
    }
}

// The model's entries against the declaration: separators as separators, lists as submenus.
void ExpectSameModel(const PlatformMenus &menus, MenuHandle menu, const MenuDefinition &declared)
{
    const std::vector<PlatformMenuItem> *items = menus.Items(menu);
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(items->size(), declared.size());
    for (size_t i = 0; i < declared.size(); ++i) {
        const PlatformMenuItem &item = (*items)[i];
        const MenuEntry &entry = declared[i];
        SCOPED_TRACE(entry.text);
        EXPECT_EQ(item.IsSeparator(), entry.IsSeparator());
        EXPECT_EQ(item.IsPopup(), entry.IsPopup());
        EXPECT_EQ(item.IsGrayed(), (entry.flags & MenuFlag::Grayed) != 0);
        EXPECT_EQ(item.text, entry.text);
        if (entry.IsPopup())
            ExpectSameModel(menus, item.id, entry.items);
        else
            EXPECT_EQ(item.id, entry.id);
    }
}

Bytes Words(std::initializer_list<uint16_t> words)
{
    Bytes bytes;
    for (const uint16_t word : words) {
        bytes.push_back(static_cast<unsigned char>(word & 0xFF));
        bytes.push_back(static_cast<unsigned char>(word >> 8));
    }
    return bytes;
}

TEST(MenuTemplate, WritesTheStandardLayout)
{
    const MenuDefinition menu {
        MenuPopup("&F",
            {
                MenuItem("N", CommandId::FileNew),
                MenuSeparator(),
                MenuItem("R", CommandId::RecentFileFirst, MenuFlag::Grayed),
            }),
        MenuPopup("H", { MenuItem("A", CommandId::AppAbout) }),
    };
    const Bytes expected = Words({
        0, 0, // version, offset
        0x10, '&', 'F', 0, // popup
        0x00, 57600, 'N', 0, //
        0x00, 0, 0, // separator: id 0, empty text
        0x81, 57616, 'R', 0, // greyed, last of its list
        0x90, 'H', 0, // last popup of the bar
        0x80, 57664, 'A', 0, //
    });
    const std::optional<Bytes> written = WriteMenuTemplate(menu);
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, expected);
}

TEST(MenuTemplate, EveryResourceMenuSurvivesTheRoundTrip)
{
    for (const uint16_t id :
        { kMainResourceId, kDocumentMenuId, kInPlaceResourceId, kEditorPopupMenuId }) {
        SCOPED_TRACE(id);
        const MenuDefinition *declared = GetMenuResource(id);
        ASSERT_NE(declared, nullptr);
        const std::optional<Bytes> bytes = LoadMenuResource(id);
        ASSERT_TRUE(bytes);
        const auto read = ReadMenuTemplate(*bytes);
        ASSERT_TRUE(read);
        ExpectSameTree(*read, *declared);

        PlatformMenus menus;
        const MenuHandle bar = LoadMenuTemplate(menus, *bytes);
        ASSERT_NE(bar, 0u);
        EXPECT_TRUE(menus.IsMenuBar(bar));
        ExpectSameModel(menus, bar, *declared);
    }
}

TEST(MenuTemplate, EveryCutShortTemplateIsRefused)
{
    const std::optional<Bytes> bytes = LoadMenuResource(kDocumentMenuId);
    ASSERT_TRUE(bytes);
    for (size_t size = 0; size < bytes->size(); ++size) {
        const Bytes prefix(bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ReadMenuTemplate(prefix)) << size;
        PlatformMenus menus;
        EXPECT_EQ(LoadMenuTemplate(menus, prefix), 0u) << size;
    }
}

TEST(MenuTemplate, GarbledTemplates)
{
    struct Case
    {
        const char *what;
        Bytes bytes;
        bool readable;
    };
    Bytes nested = Words({ 0, 0 });
    for (size_t depth = 0; depth < kMaxMenuTemplateDepth; ++depth) {
        const Bytes popup = Words({ 0x10, 'P', 0 });
        nested.insert(nested.end(), popup.begin(), popup.end());
    }
    const Bytes leaf = Words({ 0x80, 1, 0 });
    nested.insert(nested.end(), leaf.begin(), leaf.end());

    Bytes oddTail = Words({ 0, 0, 0x80, 7, 'X', 0 });
    oddTail.push_back(0x55);

    const Case cases[] = {
        { "plain", Words({ 0, 0, 0x80, 7, 'X', 0 }), true },
        { "bytes after the end are ignored", oddTail, true },
        { "offset skips padding", Words({ 0, 2, 0xEEEE, 0x80, 7, 'X', 0 }), true },
        { "offset past the end", Words({ 0, 40, 0x80, 7, 'X', 0 }), false },
        { "extended version", Words({ 1, 4, 0, 0, 0x80, 7, 'X', 0 }), false },
        { "text without terminator", Words({ 0, 0, 0x80, 7, 'X', 'Y' }), false },
        { "no end flag", Words({ 0, 0, 0x00, 7, 'X', 0 }), false },
        { "popup list never ends", Words({ 0, 0, 0x90, 'P', 0, 0x00, 1, 0 }), false },
        { "header only", Words({ 0, 0 }), false },
        { "too deep", nested, false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReadMenuTemplate(c.bytes).has_value(), c.readable);
    }
}

TEST(MenuTemplate, EntriesAfterAClosedPopupStayInTheOuterList)
{
    // "A" opens a list holding B and C; D follows A in the bar.
    const Bytes bytes =
        Words({ 0, 0, 0x10, 'A', 0, 0, 1, 'B', 0, 0x80, 2, 'C', 0, 0x80, 3, 'D', 0 });
    const auto read = ReadMenuTemplate(bytes);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[0].items.size(), 2u);
    EXPECT_EQ((*read)[1].text, u"D");
    EXPECT_EQ((*read)[1].id, 3);
}

TEST(MenuTemplate, WriterRefusesWhatATemplateCannotHold)
{
    EXPECT_FALSE(WriteMenuTemplate({}));
    EXPECT_FALSE(WriteMenuTemplate({ MenuPopup("Empty", {}) }));
    MenuEntry listWithoutPopup = MenuItem("X", CommandId::FileNew);
    listWithoutPopup.items.push_back(MenuItem("Y", CommandId::FileOpen));
    EXPECT_FALSE(WriteMenuTemplate({ listWithoutPopup }));
}

TEST(MenuTemplate, WideCharactersNarrowToQuestionMarks)
{
    const Bytes bytes = Words({ 0, 0, 0x80, 9, 0x00E9, 0x263A, 'x', 0 });
    PlatformMenus menus;
    const MenuHandle bar = LoadMenuTemplate(menus, bytes);
    ASSERT_NE(bar, 0u);
    EXPECT_EQ(menus.GetMenuString(bar, 9, MenuFlag::ByCommand), "\xE9?x");
}

} // namespace
} // namespace ostrel

namespace ostrel {
namespace {

TEST(MenuTemplate, AnEntryThatOpensAListIsNeverASeparator)
{
    // Popup and Separator together: the list is kept and opened by the entry.
    const Bytes bytes = Words({ 0, 0, 0x890, 'P', 0, 0x80, 4, 'X', 0 });
    PlatformMenus menus;
    const MenuHandle bar = LoadMenuTemplate(menus, bytes);
    ASSERT_NE(bar, 0u);
    const MenuHandle list = menus.GetSubMenu(bar, 0);
    ASSERT_TRUE(menus.IsMenu(list));
    EXPECT_EQ(menus.GetMenuString(list, 0, MenuFlag::ByPosition), "X");
}

} // namespace
} // namespace ostrel

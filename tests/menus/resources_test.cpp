#include "menus/menu_template.h"
#include "menus/platform_menus.h"
#include "res/resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace ostrel {
namespace {

// A menu as built from its resource bytes, one line per entry: "List > text = id", a
// separator as "List > -", a greyed entry with " (grey)".
std::vector<std::string> Listing(uint16_t resourceId)
{
    const std::optional<Bytes> bytes = LoadMenuResource(resourceId);
    if (!bytes)
        return {};
    PlatformMenus menus;
    const MenuHandle bar = LoadMenuTemplate(menus, *bytes);
    std::vector<std::string> lines;
    for (const PlatformMenuItem &top : *menus.Items(bar)) {
        if (top.IsSeparator()) {
            lines.push_back("-");
            continue;
        }
        for (const PlatformMenuItem &item : *menus.Items(top.id)) {
            std::string line = top.text + " > ";
            if (item.IsSeparator())
                line += "-";
            else
                line += item.text + " = " + std::to_string(item.id);
            if (item.IsGrayed())
                line += " (grey)";
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(MenuResources, MenuWithoutDocument)
{
    const std::vector<std::string> expected {
        "&File > &New\tCtrl+N = 57600",
        "&File > &Open...\tCtrl+O = 57601",
        "&File > -",
        "&File > P&rint Setup... = 57606",
        "&File > -",
        "&File > Recent File = 57616 (grey)",
        "&File > -",
        "&File > E&xit = 57665",
        "&View > &Toolbar = 59392",
        "&View > &Status Bar = 59393",
        "Ch&ip > Serial &Monitor = 32801",
        "&Help > &Help Topics = 57667",
        "&Help > -",
        "&Help > &About Ostrel = 57664",
    };
    EXPECT_EQ(Listing(kMainResourceId), expected);
}

TEST(MenuResources, MenuWithDocument)
{
    const std::vector<std::string> expected {
        "&File > &New\tCtrl+N = 57600",
        "&File > &Open...\tCtrl+O = 57601",
        "&File > &Close = 57602",
        "&File > &Save\tCtrl+S = 57603",
        "&File > Save &As... = 57604",
        "&File > Send &Mail = 57612",
        "&File > -",
        "&File > &Print...\tCtrl+P = 57607",
        "&File > P&rint Setup... = 57606",
        "&File > -",
        "&File > Recent File = 57616 (grey)",
        "&File > -",
        "&File > E&xit = 57665",
        "&Edit > &Undo\tCtrl+Z = 57643",
        "&Edit > -",
        "&Edit > Cu&t\tCtrl+X = 57635",
        "&Edit > &Copy\tCtrl+C = 57634",
        "&Edit > &Paste\tCtrl+V = 57637",
        "&Edit > Paste &Special... = 57639",
        "&Edit > Select A&ll\tCtrl+A = 57642",
        "&Edit > -",
        "&Edit > &Find...\tCtrl+F = 57636",
        "&Edit > F&ind Next\tF3 = 57640",
        "&Edit > R&eplace\tCtrl+H = 57641",
        "&Edit > -",
        "&Edit > Change &Tab Size = 32782",
        "&View > &Toolbar = 59392",
        "&View > &Status Bar = 59393",
        "&View > -",
        "&View > &Output Window = 32774",
        "&Project > &New = 32775",
        "&Project > &Open = 32776",
        "&Project > -",
        "&Project > &Settings = 32777",
        "&Project > -",
        "&Project > Cl&ose = 32786",
        "&Project > -",
        "&Project > &Files... = 32800",
        "&Compile > &Compile   F9 = 32771",
        "Visual Code &Generator > Set / Clear Interrupt Masks = 32787",
        "Visual Code &Generator > Set I/O Pins Direction = 32788",
        "Visual Code &Generator > MCUCR Settings = 32789",
        "Visual Code &Generator > UART Settings = 32790",
        "Ch&ip > &Program Chip\tCtrl+F9 = 32802",
        "Ch&ip > Programmer &Settings... = 32803",
        "Ch&ip > -",
        "Ch&ip > Serial &Monitor = 32801",
        "&Window > &New Window = 57648",
        "&Window > &Cascade = 57650",
        "&Window > &Tile = 57651",
        "&Window > &Arrange Icons = 57649",
        "&Help > &Help Topics = 57667",
        "&Help > -",
        "&Help > &About Ostrel = 57664",
    };
    EXPECT_EQ(Listing(kDocumentMenuId), expected);
}

TEST(MenuResources, EditorPopupPadsShortcutsWithBlanks)
{
    const std::vector<std::string> expected {
        "FloatMenu > &Undo                 Ctrl+Z = 57643",
        "FloatMenu > -",
        "FloatMenu > Cu&t                    Ctrl+X = 57635",
        "FloatMenu > &Copy                 Ctrl+C = 57634",
        "FloatMenu > &Paste                Ctrl+V = 57637",
        "FloatMenu > Select A&ll          Ctrl+A = 57642",
        "FloatMenu > -",
        "FloatMenu > Change &Tab Size = 32782",
    };
    EXPECT_EQ(Listing(kEditorPopupMenuId), expected);
}

TEST(MenuResources, InPlaceMenuLeavesTwoSlots)
{
    const std::vector<std::string> lines = Listing(kInPlaceResourceId);
    ASSERT_EQ(lines.size(), 13u + 2u + 4u);
    EXPECT_EQ(lines[7], "&File > Print Pre&view = 57609");
    EXPECT_EQ(lines[13], "-");
    EXPECT_EQ(lines[14], "-");
    EXPECT_EQ(lines[15], "&Window > &New Window = 57648");
    EXPECT_EQ(GetMenuResource(1), nullptr);
    EXPECT_FALSE(LoadMenuResource(130));
}

using KeyTable = std::vector<std::pair<std::string, uint16_t>>;

KeyTable Keys(uint16_t tableId)
{
    KeyTable keys;
    for (const Accelerator &accelerator : *GetAcceleratorTable(tableId))
        keys.emplace_back(AcceleratorText(accelerator), accelerator.command);
    return keys;
}

TEST(AcceleratorResources, MainTable)
{
    const KeyTable expected {
        { "Ctrl+A", 57642 },
        { "Ctrl+C", 57634 },
        { "Ctrl+F", 57636 },
        { "Ctrl+H", 57641 },
        { "Ctrl+N", 57600 },
        { "Ctrl+O", 57601 },
        { "Ctrl+P", 57607 },
        { "Ctrl+S", 57603 },
        { "Ctrl+V", 57637 },
        { "Alt+Backspace", 57643 },
        { "Shift+Delete", 57635 },
        { "Esc", 32768 },
        { "F1", 57670 },
        { "Shift+F1", 57669 },
        { "F3", 57640 },
        { "F6", 57680 },
        { "Shift+F6", 57681 },
        { "F9", 32771 },
        { "Ctrl+F9", 32802 },
        { "Ctrl+Insert", 57634 },
        { "Shift+Insert", 57637 },
        { "Alt+Enter", 57860 },
        { "Ctrl+X", 57635 },
        { "Ctrl+Z", 57643 },
    };
    EXPECT_EQ(Keys(kMainResourceId), expected);
}

TEST(AcceleratorResources, InPlaceTable)
{
    const KeyTable expected {
        { "Ctrl+N", 57600 },
        { "Ctrl+O", 57601 },
        { "Ctrl+S", 57603 },
        { "Ctrl+P", 57607 },
        { "F6", 57680 },
        { "Shift+F6", 57681 },
        { "Shift+F1", 57669 },
        { "F1", 57670 },
        { "Esc", 32768 },
    };
    EXPECT_EQ(Keys(kInPlaceResourceId), expected);
    EXPECT_EQ(GetAcceleratorTable(129), nullptr);
}

TEST(AcceleratorResources, NoKeyIsBoundTwiceAndMenuShortcutsAreReal)
{
    std::set<std::pair<uint16_t, uint8_t>> seen;
    for (const Accelerator &a : *GetAcceleratorTable(kMainResourceId)) {
        EXPECT_TRUE(seen.insert({ static_cast<uint16_t>(a.key), a.modifiers }).second)
            << AcceleratorText(a);
    }

    // Every shortcut a menu shows after its tab is a key of the main table for that command.
    const KeyTable keys = Keys(kMainResourceId);
    int shown = 0;
    for (const MenuEntry &list : *GetMenuResource(kDocumentMenuId)) {
        for (const MenuEntry &entry : list.items) {
            const size_t tab = entry.text.find('\t');
            if (tab == std::string::npos)
                continue;
            ++shown;
            const std::pair<std::string, uint16_t> key { entry.text.substr(tab + 1), entry.id };
            EXPECT_NE(std::find(keys.begin(), keys.end(), key), keys.end()) << entry.text;
        }
    }
    EXPECT_EQ(shown, 13);
}

TEST(ToolbarResources, ButtonsAndImages)
{
    const ToolbarResource *toolbar = GetToolbarResource(kMainResourceId);
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->buttonWidth, 18);
    EXPECT_EQ(toolbar->buttonHeight, 16);
    const std::vector<uint16_t> expected { 0, 0, 57601, 57603, 57607, 0, 57635, 57634, 57637, 0,
        57636, 57641, 0, 32771, 32772, 0, 57664, 57669 };
    EXPECT_EQ(toolbar->buttons, expected);

    const std::pair<uint16_t, int> images[] = {
        { 57601, 0 },
        { 57603, 1 },
        { 57607, 2 },
        { 57635, 3 },
        { 57634, 4 },
        { 57637, 5 },
        { 57636, 6 },
        { 57641, 7 },
        { 32771, 8 },
        { 32772, 9 },
        { 57664, 10 },
        { 57669, 11 },
        { 0, -1 },
        { 57600, -1 },
        { 57643, -1 },
    };
    for (const auto &[command, image] : images)
        EXPECT_EQ(ToolbarImageIndex(*toolbar, command), image) << command;
    EXPECT_EQ(GetToolbarResource(129), nullptr);
}

TEST(StringResources, PromptsAndTooltips)
{
    const std::tuple<uint16_t, const char *, const char *> cases[] = {
        { 32771, "Compiles the file", "Complie F9." },
        { 32772, "Debugs the program.", "Debug." },
        { 32774, "Shows\\hides output window.", "" },
        { 32775, "Opens a new Project", "Open new Project." },
        { 32782, "Change Tab size.", "" },
        { 57601, "Open an existing document", "Open" },
        { 57609, "Display full pages", "Print Preview" },
        { 57612, "Send mail wirh open document attached.", "" },
        { 57616, "Open this document", "" },
        { 57631, "Open this document", "" },
        { 57650, "Arrange windows so they overlap", "Cascade Windows" },
        { 57669, "Display help for clicked on buttons, menus and windows", "Help" },
        { 59392, "Show or hide the toolbar", "Toggle ToolBar" },
        // Commands without a prompt.
        { 32768, "", "" },
        { 32786, "", "" },
        { 32787, "", "" },
        { 57608, "", "" },
        { 57671, "", "" },
        { 57860, "", "" },
    };
    for (const auto &[id, status, tooltip] : cases) {
        SCOPED_TRACE(id);
        const CommandPrompt prompt = PromptOf(id);
        EXPECT_EQ(prompt.status, status);
        EXPECT_EQ(prompt.tooltip, tooltip);
    }
    for (uint16_t id = 57616; id <= 57631; ++id)
        EXPECT_EQ(GetResourceString(id), "Open this document");
}

TEST(StringResources, FrameTexts)
{
    const std::pair<StringId, const char *> cases[] = {
        { StringId::AppTitle, "Ostrel" },
        { StringId::IdleMessage, "For Help, press F1" },
        { StringId::HelpModeMessage, "Select an object on which to get Help" },
        { StringId::IndicatorExt, "EXT" },
        { StringId::IndicatorCaps, "CAP" },
        { StringId::IndicatorNum, "NUM" },
        { StringId::IndicatorScroll, "SCRL" },
        { StringId::IndicatorOverwrite, "OVR" },
        { StringId::IndicatorRecord, "REC" },
    };
    for (const auto &[id, text] : cases)
        EXPECT_EQ(GetResourceString(id), text);
    EXPECT_FALSE(GetResourceString(uint16_t { 1 }));
}

TEST(StringResources, SplitPromptCutsAtTheFirstNewline)
{
    EXPECT_EQ(SplitPrompt("a\nb\nc").status, "a");
    EXPECT_EQ(SplitPrompt("a\nb\nc").tooltip, "b\nc");
    EXPECT_EQ(SplitPrompt("\nTip").status, "");
    EXPECT_EQ(SplitPrompt("\nTip").tooltip, "Tip");
    EXPECT_EQ(SplitPrompt("only").tooltip, "");
}

TEST(StringResources, EveryMenuCommandWithAPromptInTheTableHasOne)
{
    // Commands of the menus and the toolbar that carry no prompt by design.
    const std::set<uint16_t> silent { 32786, 32787, 32788, 32789, 32790 };
    for (const uint16_t menuId : { kMainResourceId, kDocumentMenuId, kInPlaceResourceId }) {
        for (const MenuEntry &list : *GetMenuResource(menuId)) {
            for (const MenuEntry &entry : list.items) {
                if (!entry.IsSeparator() && !silent.count(entry.id)) {
                    EXPECT_FALSE(PromptOf(entry.id).status.empty()) << entry.text;
                }
            }
        }
    }
    for (const uint16_t button : GetToolbarResource(kMainResourceId)->buttons) {
        if (button != 0) {
            EXPECT_FALSE(PromptOf(button).tooltip.empty()) << button;
        }
    }
}

} // namespace
} // namespace ostrel

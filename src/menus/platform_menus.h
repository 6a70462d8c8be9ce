#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// A menu by handle; 0 is no menu. Handles start above the 16-bit command ids, so the command id
// of an entry that opens a submenu (the submenu's handle) never looks like a command.
using MenuHandle = uint32_t;

// Entry flags and the flags that say how an entry is addressed, with the platform's values.
struct MenuFlag
{
    static constexpr uint32_t ByCommand = 0x0000;
    static constexpr uint32_t String = 0x0000;
    static constexpr uint32_t Enabled = 0x0000;
    static constexpr uint32_t Grayed = 0x0001;
    static constexpr uint32_t Disabled = 0x0002;
    static constexpr uint32_t Checked = 0x0008;
    static constexpr uint32_t Popup = 0x0010;
    static constexpr uint32_t End = 0x0080; // in menu templates only
    static constexpr uint32_t OwnerDraw = 0x0100;
    static constexpr uint32_t ByPosition = 0x0400;
    static constexpr uint32_t Separator = 0x0800;
};

// Returned by the state and id queries for an entry that does not exist (and by
// GetMenuItemID for an entry that opens a submenu).
constexpr uint32_t kMenuNoItem = 0xFFFFFFFF;

struct PlatformMenuItem
{
    uint32_t flags = 0; // as last appended or modified, without ByPosition
    uint32_t id = 0; // command id; the submenu's handle when the entry opens one; 0 for a separator
    std::string text; // 8-bit; empty for separators and owner-drawn entries
    uintptr_t itemData = 0; // the owner's record for an owner-drawn entry
    uintptr_t checkedBitmap = 0; // non-zero: the check mark is a bitmap (a radio dot), not a tick

    bool IsPopup() const { return flags & MenuFlag::Popup; }
    bool IsSeparator() const { return flags & MenuFlag::Separator; }
    bool IsOwnerDraw() const { return flags & MenuFlag::OwnerDraw; }
    bool IsGrayed() const { return flags & (MenuFlag::Grayed | MenuFlag::Disabled); }
    bool IsChecked() const { return flags & MenuFlag::Checked; }
};

// The program's menus: menu bars and drop-down lists by handle, with the operations of the
// platform's menu calls. The Qt layer mirrors this model into QMenuBar/QMenu/QAction and the
// icon menus draw from it; tests use it as it is.
//
// Entries are addressed by position (flags carry ByPosition) or by command id (searched
// depth-first through the submenus, the entry itself before its submenu). No call ever follows a
// cycle: an entry may not open a menu that contains the menu it stands in.
class PlatformMenus
{
public:
    using ChangeListener = std::function<void(MenuHandle)>;

    MenuHandle CreateMenu();
    MenuHandle CreatePopupMenu();
    bool IsMenu(MenuHandle menu) const;
    bool IsMenuBar(MenuHandle menu) const;
    // Destroys the menu and, with it, every submenu its entries open.
    bool DestroyMenu(MenuHandle menu);

    // `idOrSubmenu` is the submenu's handle when the flags carry Popup. A separator takes no id
    // and no text; an owner-drawn entry keeps no text, only its item data.
    bool AppendMenu(MenuHandle menu, uint32_t flags, uint32_t idOrSubmenu, std::string_view text,
        uintptr_t itemData = 0);
    // Inserts before `item`; by position, a position at or past the end appends.
    bool InsertMenu(MenuHandle menu, uint32_t item, uint32_t flags, uint32_t idOrSubmenu,
        std::string_view text, uintptr_t itemData = 0);
    // Replaces the entry. Replacing an entry that opens a submenu by one that does not
    // destroys that submenu.
    bool ModifyMenu(MenuHandle menu, uint32_t item, uint32_t flags, uint32_t idOrSubmenu,
        std::string_view text, uintptr_t itemData = 0);
    // Removes the entry and destroys the submenu it opens.
    bool DeleteMenu(MenuHandle menu, uint32_t item, uint32_t flags);
    // Removes the entry; a submenu it opens stays alive.
    bool RemoveMenu(MenuHandle menu, uint32_t item, uint32_t flags);

    // -1 for a handle that is not a menu.
    int GetMenuItemCount(MenuHandle menu) const;
    // The command id at `position`; kMenuNoItem for an entry that opens a submenu or none.
    uint32_t GetMenuItemID(MenuHandle menu, int position) const;
    // The entry's flags; for an entry that opens a submenu, its low byte of flags and the
    // submenu's entry count in the second byte. kMenuNoItem when there is no such entry.
    uint32_t GetMenuState(MenuHandle menu, uint32_t item, uint32_t flags) const;
    // At most `bufferSize` - 1 bytes of the entry's text, as a buffer of that size would hold.
    std::string GetMenuString(
        MenuHandle menu, uint32_t item, uint32_t flags, size_t bufferSize = 256) const;
    MenuHandle GetSubMenu(MenuHandle menu, int position) const;
    std::optional<PlatformMenuItem> GetMenuItemInfo(
        MenuHandle menu, uint32_t item, uint32_t flags) const;

    // Set the Grayed/Disabled, resp. the Checked bit; the previous bits, or kMenuNoItem.
    uint32_t EnableMenuItem(MenuHandle menu, uint32_t item, uint32_t flags);
    uint32_t CheckMenuItem(MenuHandle menu, uint32_t item, uint32_t flags);
    bool SetMenuItemBitmaps(
        MenuHandle menu, uint32_t item, uint32_t flags, uintptr_t checkedBitmap);

    // The entries of a menu, in position order; null for a handle that is not a menu.
    const std::vector<PlatformMenuItem> *Items(MenuHandle menu) const;

    // Told the handle of every menu whose entries change, or that is destroyed.
    void SetChangeListener(ChangeListener listener);

private:
    struct Menu
    {
        bool menuBar = false;
        std::vector<PlatformMenuItem> items;
    };
    struct Location
    {
        MenuHandle menu = 0;
        size_t index = 0;
    };

    MenuHandle NewMenu(bool menuBar);
    std::optional<Location> Locate(MenuHandle menu, uint32_t item, uint32_t flags) const;
    std::optional<Location> FindCommand(MenuHandle menu, uint32_t id, int depth) const;
    bool Contains(MenuHandle menu, MenuHandle sought, int depth) const;
    std::optional<PlatformMenuItem> MakeItem(MenuHandle owner, uint32_t flags, uint32_t idOrSubmenu,
        std::string_view text, uintptr_t itemData) const;
    PlatformMenuItem *ItemAt(const Location &location);
    void Changed(MenuHandle menu) const;

    std::map<MenuHandle, Menu> m_menus;
    MenuHandle m_nextHandle = 0x00010000;
    ChangeListener m_listener;
};

} // namespace ostrel

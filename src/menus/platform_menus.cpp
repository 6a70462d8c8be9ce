#include "menus/platform_menus.h"

#include <algorithm>
#include <utility>

namespace ostrel {

namespace {

// Menus nest a few levels deep; a chain deeper than this is refused rather than walked.
constexpr int kMaxDepth = 64;

} // namespace

MenuHandle PlatformMenus::CreateMenu()
{
    return NewMenu(true);
}

MenuHandle PlatformMenus::CreatePopupMenu()
{
    return NewMenu(false);
}

MenuHandle PlatformMenus::NewMenu(bool menuBar)
{
    const MenuHandle handle = m_nextHandle++;
    m_menus[handle].menuBar = menuBar;
    return handle;
}

bool PlatformMenus::IsMenu(MenuHandle menu) const
{
    return m_menus.count(menu) != 0;
}

bool PlatformMenus::IsMenuBar(MenuHandle menu) const
{
    const auto found = m_menus.find(menu);
    return found != m_menus.end() && found->second.menuBar;
}

bool PlatformMenus::DestroyMenu(MenuHandle menu)
{
    const auto found = m_menus.find(menu);
    if (found == m_menus.end())
        return false;
    const std::vector<PlatformMenuItem> items = std::move(found->second.items);
    m_menus.erase(found);
    for (const PlatformMenuItem &item : items) {
        if (item.IsPopup())
            DestroyMenu(item.id);
    }
    Changed(menu);
    return true;
}

std::optional<PlatformMenuItem> PlatformMenus::MakeItem(MenuHandle owner, uint32_t flags,
    uint32_t idOrSubmenu, std::string_view text, uintptr_t itemData) const
{
    PlatformMenuItem item;
    item.flags = flags & ~MenuFlag::ByPosition;
    if (item.IsPopup())
        item.flags &= ~MenuFlag::Separator; // an entry that opens a list is never a separator
    item.itemData = itemData;
    if (item.IsSeparator())
        return item;
    if (item.IsPopup()) {
        // The submenu must exist and must not hold the menu that would open it.
        if (!IsMenu(idOrSubmenu) || idOrSubmenu == owner || Contains(idOrSubmenu, owner, 0))
            return std::nullopt;
    }
    item.id = idOrSubmenu;
    if (!item.IsOwnerDraw())
        item.text = std::string(text);
    return item;
}

bool PlatformMenus::AppendMenu(MenuHandle menu, uint32_t flags, uint32_t idOrSubmenu,
    std::string_view text, uintptr_t itemData)
{
    const auto found = m_menus.find(menu);
    if (found == m_menus.end())
        return false;
    std::optional<PlatformMenuItem> item = MakeItem(menu, flags, idOrSubmenu, text, itemData);
    if (!item)
        return false;
    found->second.items.push_back(std::move(*item));
    Changed(menu);
    return true;
}

bool PlatformMenus::InsertMenu(MenuHandle menu, uint32_t item, uint32_t flags, uint32_t idOrSubmenu,
    std::string_view text, uintptr_t itemData)
{
    if (!IsMenu(menu))
        return false;
    Location where { menu, 0 };
    if (flags & MenuFlag::ByPosition) {
        where.index = std::min<size_t>(item, m_menus.at(menu).items.size());
    } else {
        const std::optional<Location> found = FindCommand(menu, item, 0);
        if (!found)
            return false;
        where = *found;
    }
    std::optional<PlatformMenuItem> entry =
        MakeItem(where.menu, flags, idOrSubmenu, text, itemData);
    if (!entry)
        return false;
    auto &items = m_menus.at(where.menu).items;
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(where.index), std::move(*entry));
    Changed(where.menu);
    return true;
}

bool PlatformMenus::ModifyMenu(MenuHandle menu, uint32_t item, uint32_t flags, uint32_t idOrSubmenu,
    std::string_view text, uintptr_t itemData)
{
    const std::optional<Location> where = Locate(menu, item, flags);
    if (!where)
        return false;
    std::optional<PlatformMenuItem> entry =
        MakeItem(where->menu, flags, idOrSubmenu, text, itemData);
    if (!entry)
        return false;
    PlatformMenuItem &current = *ItemAt(*where);
    const bool dropsSubmenu = current.IsPopup() && !entry->IsPopup();
    const MenuHandle oldSubmenu = current.id;
    entry->checkedBitmap = current.checkedBitmap;
    current = std::move(*entry);
    if (dropsSubmenu)
        DestroyMenu(oldSubmenu);
    Changed(where->menu);
    return true;
}

bool PlatformMenus::DeleteMenu(MenuHandle menu, uint32_t item, uint32_t flags)
{
    const std::optional<Location> where = Locate(menu, item, flags);
    if (!where)
        return false;
    const PlatformMenuItem removed = *ItemAt(*where);
    if (!RemoveMenu(menu, item, flags))
        return false;
    if (removed.IsPopup())
        DestroyMenu(removed.id);
    return true;
}

bool PlatformMenus::RemoveMenu(MenuHandle menu, uint32_t item, uint32_t flags)
{
    const std::optional<Location> where = Locate(menu, item, flags);
    if (!where)
        return false;
    auto &items = m_menus.at(where->menu).items;
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(where->index));
    Changed(where->menu);
    return true;
}

int PlatformMenus::GetMenuItemCount(MenuHandle menu) const
{
    const auto found = m_menus.find(menu);
    return found == m_menus.end() ? -1 : static_cast<int>(found->second.items.size());
}

uint32_t PlatformMenus::GetMenuItemID(MenuHandle menu, int position) const
{
    if (position < 0)
        return kMenuNoItem;
    const std::optional<Location> where =
        Locate(menu, static_cast<uint32_t>(position), MenuFlag::ByPosition);
    if (!where)
        return kMenuNoItem;
    const PlatformMenuItem &item = m_menus.at(where->menu).items[where->index];
    return item.IsPopup() ? kMenuNoItem : item.id;
}

uint32_t PlatformMenus::GetMenuState(MenuHandle menu, uint32_t item, uint32_t flags) const
{
    const std::optional<Location> where = Locate(menu, item, flags);
    if (!where)
        return kMenuNoItem;
    const PlatformMenuItem &entry = m_menus.at(where->menu).items[where->index];
    if (!entry.IsPopup())
        return entry.flags;
    const auto count = static_cast<uint32_t>(GetMenuItemCount(entry.id));
    return (entry.flags & 0xFF) | ((count & 0xFF) << 8);
}

std::string PlatformMenus::GetMenuString(
    MenuHandle menu, uint32_t item, uint32_t flags, size_t bufferSize) const
{
    const std::optional<Location> where = Locate(menu, item, flags);
    if (!where || bufferSize == 0)
        return {};
    const std::string &text = m_menus.at(where->menu).items[where->index].text;
    return text.substr(0, bufferSize - 1);
}

MenuHandle PlatformMenus::GetSubMenu(MenuHandle menu, int position) const
{
    if (position < 0)
        return 0;
    const std::optional<Location> where =
        Locate(menu, static_cast<uint32_t>(position), MenuFlag::ByPosition);
    if (!where)
        return 0;
    const PlatformMenuItem &item = m_menus.at(where->menu).items[where->index];
    return item.IsPopup() ? item.id : 0;
}

std::optional<PlatformMenuItem> PlatformMenus::GetMenuItemInfo(
    MenuHandle menu, uint32_t item, uint32_t flags) const
{
    const std::optional<Location> where = Locate(menu, item, flags);
    if (!where)
        return std::nullopt;
    return m_menus.at(where->menu).items[where->index];
}

uint32_t PlatformMenus::EnableMenuItem(MenuHandle menu, uint32_t item, uint32_t flags)
{
    const std::optional<Location> where = Locate(menu, item, flags);
    if (!where)
        return kMenuNoItem;
    constexpr uint32_t bits = MenuFlag::Grayed | MenuFlag::Disabled;
    PlatformMenuItem &entry = *ItemAt(*where);
    const uint32_t previous = entry.flags & bits;
    entry.flags = (entry.flags & ~bits) | (flags & bits);
    if (previous != (flags & bits))
        Changed(where->menu);
    return previous;
}

uint32_t PlatformMenus::CheckMenuItem(MenuHandle menu, uint32_t item, uint32_t flags)
{
    const std::optional<Location> where = Locate(menu, item, flags);
    if (!where)
        return kMenuNoItem;
    PlatformMenuItem &entry = *ItemAt(*where);
    const uint32_t previous = entry.flags & MenuFlag::Checked;
    entry.flags = (entry.flags & ~MenuFlag::Checked) | (flags & MenuFlag::Checked);
    if (previous != (flags & MenuFlag::Checked))
        Changed(where->menu);
    return previous;
}

bool PlatformMenus::SetMenuItemBitmaps(
    MenuHandle menu, uint32_t item, uint32_t flags, uintptr_t checkedBitmap)
{
    const std::optional<Location> where = Locate(menu, item, flags);
    if (!where)
        return false;
    ItemAt(*where)->checkedBitmap = checkedBitmap;
    Changed(where->menu);
    return true;
}

const std::vector<PlatformMenuItem> *PlatformMenus::Items(MenuHandle menu) const
{
    const auto found = m_menus.find(menu);
    return found == m_menus.end() ? nullptr : &found->second.items;
}

void PlatformMenus::SetChangeListener(ChangeListener listener)
{
    m_listener = std::move(listener);
}

std::optional<PlatformMenus::Location> PlatformMenus::Locate(
    MenuHandle menu, uint32_t item, uint32_t flags) const
{
    const auto found = m_menus.find(menu);
    if (found == m_menus.end())
        return std::nullopt;
    if (!(flags & MenuFlag::ByPosition))
        return FindCommand(menu, item, 0);
    if (item >= found->second.items.size())
        return std::nullopt;
    return Location { menu, item };
}

std::optional<PlatformMenus::Location> PlatformMenus::FindCommand(
    MenuHandle menu, uint32_t id, int depth) const
{
    const auto found = m_menus.find(menu);
    if (found == m_menus.end() || depth > kMaxDepth)
        return std::nullopt;
    const std::vector<PlatformMenuItem> &items = found->second.items;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].id == id && !items[i].IsSeparator())
            return Location { menu, i };
        if (items[i].IsPopup()) {
            if (std::optional<Location> inner = FindCommand(items[i].id, id, depth + 1))
                return inner;
        }
    }
    return std::nullopt;
}

bool PlatformMenus::Contains(MenuHandle menu, MenuHandle sought, int depth) const
{
    if (depth > kMaxDepth)
        return true; // too deep to tell: treat as a cycle and refuse
    const auto found = m_menus.find(menu);
    if (found == m_menus.end())
        return false;
    for (const PlatformMenuItem &item : found->second.items) {
        if (item.IsPopup() && (item.id == sought || Contains(item.id, sought, depth + 1)))
            return true;
    }
    return false;
}

PlatformMenuItem *PlatformMenus::ItemAt(const Location &location)
{
    return &m_menus.at(location.menu).items[location.index];
}

void PlatformMenus::Changed(MenuHandle menu) const
{
    if (m_listener)
        m_listener(menu);
}

} // namespace ostrel

#include "app/menu_lists.h"

#include "framework/command_ids.h"

namespace ostrel {

void SetRecentFileEntries(
    PlatformMenus &menus, MenuHandle bar, const std::vector<std::string> &menuTexts)
{
    const uint32_t first = ToUint(CommandId::RecentFileFirst);
    const uint32_t last = ToUint(CommandId::RecentFileLast);
    const MenuHandle file = menus.GetSubMenu(bar, 0);
    // Take out the old entries (or the placeholder), remembering where they stood.
    int position = -1;
    for (int i = menus.GetMenuItemCount(file) - 1; i >= 0; --i) {
        const uint32_t id = menus.GetMenuItemID(file, i);
        if (id >= first && id <= last) {
            menus.DeleteMenu(file, static_cast<uint32_t>(i), MenuFlag::ByPosition);
            position = i;
        }
    }
    if (position < 0)
        return;
    if (menuTexts.empty()) {
        menus.InsertMenu(file, static_cast<uint32_t>(position),
            MenuFlag::ByPosition | MenuFlag::Grayed, first, "Recent File");
    }
    for (size_t i = 0; i < menuTexts.size() && first + i <= last; ++i)
        menus.InsertMenu(file, static_cast<uint32_t>(position + static_cast<int>(i)),
            MenuFlag::ByPosition, first + static_cast<uint32_t>(i), menuTexts[i]);
}

void SetWindowListEntries(
    PlatformMenus &menus, MenuHandle bar, const std::vector<std::string> &titles, int activeIndex)
{
    MenuHandle window = 0;
    for (int i = 0; i < menus.GetMenuItemCount(bar); ++i)
        if (menus.GetMenuString(bar, static_cast<uint32_t>(i), MenuFlag::ByPosition) == "&Window")
            window = menus.GetSubMenu(bar, i);
    if (!window)
        return;
    // Drop the old list and the separator before it.
    for (int i = menus.GetMenuItemCount(window) - 1; i >= 0; --i)
        if (IsWindowListId(menus.GetMenuItemID(window, i)))
            menus.DeleteMenu(window, static_cast<uint32_t>(i), MenuFlag::ByPosition);
    const int count = menus.GetMenuItemCount(window);
    if (count > 0
        && (menus.GetMenuState(window, static_cast<uint32_t>(count - 1), MenuFlag::ByPosition)
            & MenuFlag::Separator))
        menus.DeleteMenu(window, static_cast<uint32_t>(count - 1), MenuFlag::ByPosition);

    if (titles.empty())
        return;
    menus.AppendMenu(window, MenuFlag::Separator, 0, "");
    for (size_t i = 0; i < titles.size() && i < kMaxWindows; ++i) {
        const bool active = static_cast<int>(i) == activeIndex;
        menus.AppendMenu(window, active ? MenuFlag::Checked : 0U,
            kFirstWindowId + static_cast<uint32_t>(i),
            "&" + std::to_string(i + 1) + " " + titles[i]);
    }
}

} // namespace ostrel

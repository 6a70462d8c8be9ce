#pragma once

#include "menus/platform_menus.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ostrel {

// The entries the main window writes into its menu bars as it runs: the recent files in the
// File list and the open windows at the end of the Window list.

// Entries of the window list: the n-th window (from 0) has id kFirstWindowId + n.
constexpr uint32_t kFirstWindowId = 0xFF00;
constexpr uint32_t kMaxWindows = 9;

constexpr bool IsWindowListId(uint32_t id)
{
    return id >= kFirstWindowId && id < kFirstWindowId + kMaxWindows;
}

// Replaces the recent-file entries (or their greyed placeholder) of the bar's first list with
// `menuTexts`; no entries give the placeholder back. A bar without such entries is left alone.
void SetRecentFileEntries(
    PlatformMenus &menus, MenuHandle bar, const std::vector<std::string> &menuTexts);

// Rewrites the window list at the end of the bar's "&Window" list: a separator and one entry
// per window (at most kMaxWindows), "&1 title" and so on, the active one checked (-1: none).
void SetWindowListEntries(
    PlatformMenus &menus, MenuHandle bar, const std::vector<std::string> &titles, int activeIndex);

} // namespace ostrel

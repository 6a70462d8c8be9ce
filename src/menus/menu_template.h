#pragma once

#include "framework/binary_fields.h"
#include "framework/command_ids.h"
#include "menus/platform_menus.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ostrel {

// One entry of a menu as the resources declare it. An entry with the Popup flag opens the
// drop-down list `items`; an entry with id 0 and no text is a separator.
struct MenuEntry
{
    std::string text;
    uint16_t id = 0;
    uint16_t flags = 0; // MenuFlag bits: Popup, Grayed, ...
    std::vector<MenuEntry> items;

    bool IsPopup() const { return flags & MenuFlag::Popup; }
    bool IsSeparator() const { return !IsPopup() && id == 0 && text.empty(); }
};
using MenuDefinition = std::vector<MenuEntry>;

MenuEntry MenuItem(std::string text, CommandId id, uint16_t flags = 0);
MenuEntry MenuSeparator();
MenuEntry MenuPopup(std::string text, std::vector<MenuEntry> items);

// One entry read from a menu template: the flags word without End, the id (0 for an entry that
// opens a drop-down list) and the 16-bit text.
struct MenuTemplateItem
{
    uint16_t flags = 0;
    uint16_t id = 0;
    std::u16string text;
    std::vector<MenuTemplateItem> items;

    bool IsPopup() const { return flags & MenuFlag::Popup; }
};

// Nesting deeper than this is refused by the reader (and never occurs in the program's menus).
constexpr size_t kMaxMenuTemplateDepth = 16;

// The bytes of a menu template: a header of two 16-bit words (version 0, offset 0 of the first
// item after the header), then each entry as a flags word (End on the last of its list, Popup
// for an entry that opens a list), the id word for entries without Popup, and the text as
// zero-terminated 16-bit characters; a drop-down list follows its entry at once. Words are
// little-endian. Nothing for a definition that a template cannot hold: an empty list, or a
// popup without entries, or an entry with entries but without Popup.
std::optional<Bytes> WriteMenuTemplate(const MenuDefinition &menu);

// Reads a menu template. Nothing when the bytes end before the closing End, a text has no
// terminator inside the bytes, the header's version is not 0, or nesting goes past
// kMaxMenuTemplateDepth. Bytes after the closing End are ignored.
std::optional<std::vector<MenuTemplateItem>> ReadMenuTemplate(
    const unsigned char *data, size_t size);
std::optional<std::vector<MenuTemplateItem>> ReadMenuTemplate(const Bytes &bytes);

// Builds a menu bar in `menus` from the items: entries that open lists become popup entries
// with new drop-down lists, id 0 without Popup becomes a separator. Returns the menu bar's
// handle; 0 (and nothing left in `menus`) when the template cannot be read.
MenuHandle LoadMenuTemplate(PlatformMenus &menus, const Bytes &bytes);
MenuHandle BuildMenu(PlatformMenus &menus, const std::vector<MenuTemplateItem> &items);

} // namespace ostrel

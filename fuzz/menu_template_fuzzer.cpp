// Menu templates from outside bytes: reading must never look past the end, and whatever reads
// must build a consistent menu model and survive being written and read again.
#include "menus/menu_template.h"
#include "menus/menu_text.h"
#include "menus/platform_menus.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using ostrel::MenuDefinition;
using ostrel::MenuEntry;
using ostrel::MenuTemplateItem;

// False when a text holds a character that 8-bit text cannot carry.
bool ToDefinition(const std::vector<MenuTemplateItem> &items, MenuDefinition &out)
{
    for (const MenuTemplateItem &item : items) {
        MenuEntry entry;
        entry.text = ostrel::NarrowMenuText(item.text);
        if (ostrel::WidenMenuText(entry.text) != item.text)
            return false;
        entry.id = item.id;
        entry.flags = item.flags;
        if (!ToDefinition(item.items, entry.items))
            return false;
        out.push_back(std::move(entry));
    }
    return true;
}

bool SameTree(const std::vector<MenuTemplateItem> &a, const std::vector<MenuTemplateItem> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].flags != b[i].flags || a[i].id != b[i].id || a[i].text != b[i].text
            || !SameTree(a[i].items, b[i].items))
            return false;
    }
    return true;
}

void CheckModel(const ostrel::PlatformMenus &menus, ostrel::MenuHandle menu,
    const std::vector<MenuTemplateItem> &items)
{
    const std::vector<ostrel::PlatformMenuItem> *entries = menus.Items(menu);
    if (!entries || entries->size() != items.size())
        __builtin_trap();
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].IsPopup() != (*entries)[i].IsPopup())
            __builtin_trap();
        if (items[i].IsPopup())
            CheckModel(menus, (*entries)[i].id, items[i].items);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto items = ostrel::ReadMenuTemplate(data, size);
    if (!items)
        return 0;

    ostrel::PlatformMenus menus;
    const ostrel::MenuHandle bar = ostrel::BuildMenu(menus, *items);
    if (bar == 0)
        __builtin_trap();
    CheckModel(menus, bar, *items);

    MenuDefinition definition;
    if (ToDefinition(*items, definition)) {
        const auto bytes = ostrel::WriteMenuTemplate(definition);
        if (!bytes)
            __builtin_trap();
        const auto again = ostrel::ReadMenuTemplate(*bytes);
        if (!again || !SameTree(*items, *again))
            __builtin_trap();
    }
    return 0;
}

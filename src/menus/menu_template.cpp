#include "menus/menu_template.h"

#include "menus/menu_text.h"

#include <utility>

namespace ostrel {

namespace {

void PutWord(Bytes &out, uint16_t word)
{
    out.push_back(static_cast<unsigned char>(word & 0xFF));
    out.push_back(static_cast<unsigned char>(word >> 8));
}

bool WriteList(Bytes &out, const MenuDefinition &list, size_t depth)
{
    if (list.empty() || depth > kMaxMenuTemplateDepth)
        return false;
    for (size_t i = 0; i < list.size(); ++i) {
        const MenuEntry &entry = list[i];
        if (entry.IsPopup() != !entry.items.empty())
            return false;
        uint16_t flags = entry.flags & ~MenuFlag::End;
        if (i + 1 == list.size())
            flags |= MenuFlag::End;
        PutWord(out, flags);
        if (!entry.IsPopup())
            PutWord(out, entry.id);
        for (const char16_t c : WidenMenuText(entry.text))
            PutWord(out, c);
        PutWord(out, 0);
        if (entry.IsPopup() && !WriteList(out, entry.items, depth + 1))
            return false;
    }
    return true;
}

// Reads 16-bit little-endian words and zero-terminated texts, never past the end.
class WordReader
{
public:
    WordReader(const unsigned char *data, size_t size, size_t position)
        : m_data(data)
        , m_size(size)
        , m_position(position)
    {
    }

    bool Word(uint16_t &word)
    {
        if (m_position > m_size || m_size - m_position < 2)
            return false;
        word = static_cast<uint16_t>(m_data[m_position] | (m_data[m_position + 1] << 8));
        m_position += 2;
        return true;
    }

    bool Text(std::u16string &text)
    {
        text.clear();
        for (uint16_t c = 0; Word(c);) {
            if (c == 0)
                return true;
            text.push_back(static_cast<char16_t>(c));
        }
        return false;
    }

private:
    const unsigned char *m_data;
    size_t m_size;
    size_t m_position;
};

bool AppendItems(PlatformMenus &menus, MenuHandle menu, const std::vector<MenuTemplateItem> &items)
{
    // Flags that would change what the entry's data means are not taken from a template.
    constexpr uint32_t unsafe = MenuFlag::End | MenuFlag::OwnerDraw | MenuFlag::ByPosition | 0x4;
    for (const MenuTemplateItem &item : items) {
        const uint32_t flags = item.flags & ~unsafe;
        const std::string text = NarrowMenuText(item.text);
        if (item.IsPopup()) {
            const MenuHandle popup = menus.CreatePopupMenu();
            if (!menus.AppendMenu(menu, flags, popup, text)) {
                menus.DestroyMenu(popup);
                return false;
            }
            if (!AppendItems(menus, popup, item.items))
                return false;
        } else if (item.id == 0 || (flags & MenuFlag::Separator)) {
            if (!menus.AppendMenu(menu, MenuFlag::Separator, 0, {}))
                return false;
        } else if (!menus.AppendMenu(menu, flags, item.id, text)) {
            return false;
        }
    }
    return true;
}

} // namespace

MenuEntry MenuItem(std::string text, CommandId id, uint16_t flags)
{
    return MenuEntry { std::move(text), ToUint(id), flags, {} };
}

MenuEntry MenuSeparator()
{
    return MenuEntry {};
}

MenuEntry MenuPopup(std::string text, std::vector<MenuEntry> items)
{
    return MenuEntry { std::move(text), 0, MenuFlag::Popup, std::move(items) };
}

std::optional<Bytes> WriteMenuTemplate(const MenuDefinition &menu)
{
    Bytes out;
    PutWord(out, 0); // version
    PutWord(out, 0); // offset of the first item after the header
    if (!WriteList(out, menu, 1))
        return std::nullopt;
    return out;
}

std::optional<std::vector<MenuTemplateItem>> ReadMenuTemplate(
    const unsigned char *data, size_t size)
{
    WordReader header(data, size, 0);
    uint16_t version = 0;
    uint16_t offset = 0;
    if (!header.Word(version) || !header.Word(offset) || version != 0)
        return std::nullopt;

    WordReader reader(data, size, 4 + size_t { offset });
    std::vector<MenuTemplateItem> root;
    // The lists being filled, innermost last, each with whether its last entry has been read.
    // Only the innermost list grows, so the pointers to the outer ones stay valid.
    struct Open
    {
        std::vector<MenuTemplateItem> *list;
        bool ended;
    };
    std::vector<Open> open { { &root, false } };
    while (!open.empty()) {
        MenuTemplateItem item;
        uint16_t flags = 0;
        if (!reader.Word(flags))
            return std::nullopt;
        item.flags = flags & ~MenuFlag::End;
        if (!item.IsPopup() && !reader.Word(item.id))
            return std::nullopt;
        if (!reader.Text(item.text))
            return std::nullopt;
        const bool last = flags & MenuFlag::End;
        std::vector<MenuTemplateItem> &list = *open.back().list;
        list.push_back(std::move(item));
        if (last)
            open.back().ended = true;
        if (list.back().IsPopup()) {
            if (open.size() >= kMaxMenuTemplateDepth)
                return std::nullopt;
            open.push_back({ &list.back().items, false });
            continue;
        }
        while (!open.empty() && open.back().ended)
            open.pop_back();
    }
    return root;
}

std::optional<std::vector<MenuTemplateItem>> ReadMenuTemplate(const Bytes &bytes)
{
    return ReadMenuTemplate(bytes.data(), bytes.size());
}

MenuHandle BuildMenu(PlatformMenus &menus, const std::vector<MenuTemplateItem> &items)
{
    const MenuHandle bar = menus.CreateMenu();
    if (!AppendItems(menus, bar, items)) {
        menus.DestroyMenu(bar);
        return 0;
    }
    return bar;
}

MenuHandle LoadMenuTemplate(PlatformMenus &menus, const Bytes &bytes)
{
    const std::optional<std::vector<MenuTemplateItem>> items = ReadMenuTemplate(bytes);
    return items ? BuildMenu(menus, *items) : 0;
}

} // namespace ostrel

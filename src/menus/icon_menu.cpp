#include "menus/icon_menu.h"

#include "menus/menu_text.h"

#include <algorithm>
#include <charconv>

namespace ostrel {

namespace {

constexpr size_t kMenuStringBuffer = 256;

// Lower case of 8-bit (Latin-1) text.
char LowerChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
        return static_cast<char>(u + 0x20);
    return c;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), LowerChar);
    return text;
}

} // namespace

std::string CIconMenuItem::Text8() const
{
    return text ? NarrowMenuText(*text) : std::string();
}

CIconMenu::CIconMenu(MenuContext &context)
    : CMenu(context)
{
}

CIconMenu::~CIconMenu()
{
    CIconMenu::DestroyMenu();
}

bool CIconMenu::LoadMenu(uint16_t resourceId)
{
    const std::optional<Bytes> bytes = m_context.resources.Menu(resourceId);
    return bytes && LoadMenuFromTemplate(bytes->data(), bytes->size());
}

bool CIconMenu::LoadMenu(std::string_view resourceName)
{
    unsigned id = 0;
    if (resourceName.size() < 2 || resourceName[0] != '#')
        return false;
    const char *end = resourceName.data() + resourceName.size();
    const auto [last, error] = std::from_chars(resourceName.data() + 1, end, id);
    if (error != std::errc() || last != end || id > 0xFFFF)
        return false;
    return LoadMenu(static_cast<uint16_t>(id));
}

bool CIconMenu::LoadMenuFromTemplate(const unsigned char *data, size_t size)
{
    if (m_hMenu != 0)
        return false;
    const std::optional<std::vector<MenuTemplateItem>> items = ReadMenuTemplate(data, size);
    if (!items)
        return false;
    const MenuHandle bar = m_context.menus.CreateMenu();
    if (!Attach(bar)) {
        m_context.menus.DestroyMenu(bar);
        return false;
    }
    if (!AppendList(*this, *items)) {
        DestroyMenu();
        return false;
    }
    // The menu bar's own entries are plain text drawn by the platform.
    PlatformMenus &menus = m_context.menus;
    for (int i = 0; i < menus.GetMenuItemCount(bar) && i < static_cast<int>(m_items.size()); ++i) {
        CIconMenuItem &record = *m_items[static_cast<size_t>(i)];
        const std::string text = record.Text8();
        const auto position = static_cast<uint32_t>(i);
        if (const MenuHandle submenu = menus.GetSubMenu(bar, i)) {
            record.flags = MenuFlag::ByPosition | MenuFlag::Popup;
            menus.ModifyMenu(bar, position, record.flags, submenu, text);
        } else {
            record.flags = MenuFlag::ByPosition | MenuFlag::String;
            menus.ModifyMenu(bar, position, record.flags, record.commandId, text);
        }
    }
    return true;
}

bool CIconMenu::AppendList(CIconMenu &list, const std::vector<MenuTemplateItem> &items)
{
    for (const MenuTemplateItem &item : items) {
        if (!item.IsPopup()) {
            if (!list.AppendIconItem(std::u16string_view(item.text), item.flags, item.id, -1))
                return false;
            continue;
        }
        auto submenu = std::make_unique<CIconMenu>(m_context);
        submenu->m_checkNormalBitmapId = m_checkNormalBitmapId;
        submenu->m_checkSelectedBitmapId = m_checkSelectedBitmapId;
        submenu->m_checkImages = m_checkImages;
        submenu->m_checkImagesBorrowed = 1;
        const MenuHandle handle = m_context.menus.CreatePopupMenu();
        submenu->Attach(handle);
        CIconMenu &added = *submenu;
        m_submenus.push_back(std::move(submenu));
        if (!list.AppendIconItem(std::u16string_view(item.text), item.flags, handle, -1))
            return false;
        if (!AppendList(added, item.items))
            return false;
    }
    list.PadAcceleratorColumn();
    return true;
}

bool CIconMenu::AppendIconItem(
    std::u16string_view text, uint32_t flags, uint32_t commandId, int iconId)
{
    if (m_hMenu == 0)
        return false;
    flags = commandId == 0 ? (MenuFlag::Separator | MenuFlag::OwnerDraw)
                           : (flags | MenuFlag::OwnerDraw);
    auto record = std::make_unique<CIconMenuItem>();
    const std::u16string copy(text);
    record->SetText(&copy);
    GiveImage(*record, iconId, commandId);
    record->flags = flags;
    record->commandId = commandId;
    const auto data = reinterpret_cast<uintptr_t>(record.get());
    // A record whose entry cannot be made is not kept.
    if (!m_context.menus.AppendMenu(m_hMenu, flags, commandId, {}, data))
        return false;
    m_items.push_back(std::move(record));
    return true;
}

bool CIconMenu::AppendIconItem(
    std::string_view text, uint32_t flags, uint32_t commandId, int iconId)
{
    return AppendIconItem(std::u16string_view(WidenMenuText(text)), flags, commandId, iconId);
}

void CIconMenu::GiveImage(CIconMenuItem &record, int iconId, uint32_t commandId) const
{
    record.iconResourceId = iconId;
    record.imageIndex = -1;
    if (iconId < 0 || iconId > 0xFFFF)
        return;
    // A command that is not on the toolbar gets no image rather than the toolbar's first one.
    if (const ToolbarResource *toolbar = m_context.resources.Toolbar(static_cast<uint16_t>(iconId));
        toolbar && commandId <= 0xFFFF)
        record.imageIndex = ToolbarImageIndex(*toolbar, static_cast<uint16_t>(commandId));
    record.images = std::make_unique<ImageList>(m_iconWidth, m_iconHeight);
    AddBitmap(*record.images, iconId);
}

std::optional<Bitmap> CIconMenu::LoadMappedBitmap(int bitmapId) const
{
    if (bitmapId < 0 || bitmapId > 0xFFFF)
        return std::nullopt;
    const std::optional<Bytes> bytes = m_context.resources.Bitmap(static_cast<uint16_t>(bitmapId));
    if (!bytes)
        return std::nullopt;
    const SystemLook &look = m_context.look;
    const ColourMapping mapping {
        { MakeColour(0, 0, 0), look.Color(SysColour::BtnText) },
        { MakeColour(128, 128, 128), look.Color(SysColour::BtnShadow) },
        { MakeColour(192, 192, 192), look.Color(SysColour::BtnFace) },
        { MakeColour(255, 255, 255), look.Color(SysColour::BtnHighlight) },
    };
    return DecodeBitmap(bytes->data(), bytes->size(), mapping);
}

int CIconMenu::AddBitmap(ImageList &list, int bitmapId) const
{
    const std::optional<Bitmap> bitmap = LoadMappedBitmap(bitmapId);
    if (!bitmap)
        return -1;
    const Colour mask =
        m_useBitmapBackground ? m_bitmapBackground : m_context.look.Color(SysColour::BtnFace);
    return list.AddMasked(*bitmap, mask);
}

void CIconMenu::SetItemIcon(uint32_t commandId, int toolbarId)
{
    SetItemIcon(static_cast<const std::u16string *>(nullptr), commandId, toolbarId);
}

void CIconMenu::SetItemIcon(std::u16string_view text, uint32_t commandId, int toolbarId)
{
    const std::u16string copy(text);
    SetItemIcon(&copy, commandId, toolbarId);
}

void CIconMenu::SetItemIcon(std::string_view text, uint32_t commandId, int toolbarId)
{
    const std::u16string wide = WidenMenuText(text);
    SetItemIcon(&wide, commandId, toolbarId);
}

void CIconMenu::SetItemIcon(const std::u16string *text, uint32_t commandId, int toolbarId)
{
    CIconMenuItem *record = nullptr;
    if (const std::optional<Owner> owner = FindCommandOwner(commandId);
        owner && owner->position < static_cast<int>(owner->menu->m_items.size()))
        record = owner->menu->m_items[static_cast<size_t>(owner->position)].get();
    if (!record) {
        m_items.push_back(std::make_unique<CIconMenuItem>());
        record = m_items.back().get();
    }
    if (text)
        record->SetText(text);
    GiveImage(*record, toolbarId, commandId);
    record->flags = MenuFlag::OwnerDraw;
    record->commandId = commandId;
    m_context.menus.ModifyMenu(m_hMenu, commandId, MenuFlag::ByCommand | MenuFlag::OwnerDraw,
        commandId, {}, reinterpret_cast<uintptr_t>(record));
}

bool CIconMenu::LoadToolbar(int toolbarId)
{
    const ToolbarResource *toolbar = toolbarId >= 0 && toolbarId <= 0xFFFF
        ? m_context.resources.Toolbar(static_cast<uint16_t>(toolbarId))
        : nullptr;
    if (!toolbar)
        return false;
    for (const uint16_t id : toolbar->buttons) {
        if (id == 0
            || m_context.menus.GetMenuState(m_hMenu, id, MenuFlag::ByCommand) == kMenuNoItem)
            continue;
        SetItemIcon(id, toolbarId);
    }
    return true;
}

void CIconMenu::LoadToolbars(const int *toolbarIds, int count)
{
    for (int i = 0; i < count; ++i)
        LoadToolbar(toolbarIds[i]);
}

std::optional<CIconMenu::Owner> CIconMenu::FindCommandOwner(uint32_t commandId)
{
    const PlatformMenus &menus = m_context.menus;
    for (int i = 0; i < menus.GetMenuItemCount(m_hMenu); ++i) {
        if (const MenuHandle submenu = menus.GetSubMenu(m_hMenu, i)) {
            auto *object = dynamic_cast<CIconMenu *>(FromHandlePermanent(m_context, submenu));
            if (object && object != this)
                if (std::optional<Owner> found = object->FindCommandOwner(commandId))
                    return found;
        } else if (menus.GetMenuItemID(m_hMenu, i) == commandId) {
            return Owner { this, i };
        }
    }
    return std::nullopt;
}

bool CIconMenu::GetItemText(int position, std::string &text) const
{
    if (position < 0 || position >= static_cast<int>(m_items.size()))
        return false;
    text = m_items[static_cast<size_t>(position)]->Text8();
    return true;
}

void CIconMenu::PadAcceleratorColumn()
{
    std::unique_ptr<DrawingSurface> surface =
        m_context.measuringSurface ? m_context.measuringSurface() : nullptr;
    if (!surface)
        return;
    int column = -1;
    for (const auto &record : m_items) {
        const std::string text = record->Text8();
        const std::string label = text.substr(0, text.find('\t')) + ' ';
        column = std::max(column, surface->TextExtent(label).width);
    }
    for (const auto &record : m_items) {
        const std::string text = record->Text8();
        const size_t tab = text.find('\t');
        if (tab == std::string::npos)
            continue;
        std::string label = text.substr(0, tab);
        while (surface->TextExtent(label).width < column)
            label += ' ';
        const std::u16string padded = WidenMenuText(label + text.substr(tab));
        record->SetText(&padded);
    }
}

std::unique_ptr<CIconMenuItem> CIconMenu::NewItemAt(
    int position, uint32_t flags, uint32_t commandId, const std::string &text)
{
    auto record = std::make_unique<CIconMenuItem>();
    const std::u16string wide = WidenMenuText(text);
    record->SetText(&wide);
    record->flags = flags;
    record->commandId = commandId;
    m_context.menus.ModifyMenu(m_hMenu, static_cast<uint32_t>(position),
        flags | MenuFlag::ByPosition, commandId, {}, reinterpret_cast<uintptr_t>(record.get()));
    return record;
}

void CIconMenu::SyncItems()
{
    PlatformMenus &menus = m_context.menus;
    for (const auto &record : m_items)
        record->syncMark = 0;
    // Claims the first unclaimed record of the id; claimed records leave the old list.
    auto claim = [this](uint32_t id) -> std::unique_ptr<CIconMenuItem> {
        for (auto &record : m_items)
            if (record && !record->syncMark && record->commandId == id) {
                record->syncMark = 1;
                return std::move(record);
            }
        return nullptr;
    };
    std::vector<std::unique_ptr<CIconMenuItem>> fresh;
    for (int i = 0; i < menus.GetMenuItemCount(m_hMenu); ++i) {
        const auto position = static_cast<uint32_t>(i);
        const uint32_t state = menus.GetMenuState(m_hMenu, position, MenuFlag::ByPosition);
        std::unique_ptr<CIconMenuItem> record;
        if (state & MenuFlag::Popup) {
            const MenuHandle submenu = menus.GetSubMenu(m_hMenu, i);
            const std::string text =
                menus.GetMenuString(m_hMenu, position, MenuFlag::ByPosition, kMenuStringBuffer);
            record = claim(submenu);
            if (record && !text.empty()) {
                const std::u16string wide = WidenMenuText(text);
                record->SetText(&wide);
            } else if (!record) {
                record = NewItemAt(i,
                    (state & 0xFF) | MenuFlag::Popup | MenuFlag::OwnerDraw | MenuFlag::ByPosition,
                    submenu, text);
            }
        } else if (state & MenuFlag::Separator) {
            record = claim(0);
            if (record)
                menus.ModifyMenu(m_hMenu, position, record->flags | MenuFlag::ByPosition, 0, {},
                    reinterpret_cast<uintptr_t>(record.get()));
            else
                record = NewItemAt(i,
                    state | MenuFlag::Separator | MenuFlag::OwnerDraw | MenuFlag::ByPosition, 0,
                    {});
        } else {
            const uint32_t id = menus.GetMenuItemID(m_hMenu, i);
            const std::string text =
                menus.GetMenuString(m_hMenu, position, MenuFlag::ByPosition, kMenuStringBuffer);
            record = claim(id);
            const uint32_t flags = state | MenuFlag::OwnerDraw | MenuFlag::ByPosition;
            if (record) {
                record->flags = flags;
                if (!text.empty()) {
                    const std::u16string wide = WidenMenuText(text);
                    record->SetText(&wide);
                }
                menus.ModifyMenu(
                    m_hMenu, position, flags, id, {}, reinterpret_cast<uintptr_t>(record.get()));
            } else {
                record = NewItemAt(i, flags, id, text);
            }
        }
        fresh.push_back(std::move(record));
    }
    // What no entry claimed is freed with the old list.
    m_items = std::move(fresh);
}

uint32_t CIconMenu::FindMnemonic(uint32_t character, uint32_t menuFlags, CMenu *menu)
{
    if (!menu || !(menuFlags & MenuFlag::Popup))
        return kMenuCharIgnore;
    const std::string key = Lower(std::string { '&', static_cast<char>(character & 0xFF) });
    const PlatformMenus &menus = menu->Context().menus;
    auto *icons = dynamic_cast<CIconMenu *>(menu);
    if (icons
        && menus.GetMenuItemCount(icons->GetSafeHmenu()) != static_cast<int>(icons->m_items.size()))
        icons->SyncItems();
    const int count = menus.GetMenuItemCount(menu->GetSafeHmenu());
    for (int i = 0; i < count && icons; ++i) {
        std::string text;
        if (icons->GetItemText(i, text) && Lower(text).find(key) != std::string::npos)
            return (static_cast<uint32_t>(i) & 0xFFFF) | kMenuCharExecute;
    }
    return kMenuCharIgnore;
}

bool CIconMenu::OwnsPopup(const CMenu *menu) const
{
    return std::any_of(
        m_submenus.begin(), m_submenus.end(), [menu](const std::unique_ptr<CIconMenu> &submenu) {
            return submenu.get() == menu;
        });
}

void CIconMenu::SetIconSize(int width, int height)
{
    m_iconWidth = width;
    m_iconHeight = height;
}

void CIconMenu::SetBitmapBackground(Colour colour)
{
    m_bitmapBackground = colour;
    m_useBitmapBackground = 1;
}

void CIconMenu::SetCheckImages(int normalBitmapId, int selectedBitmapId)
{
    if (normalBitmapId < 0 || selectedBitmapId < 0)
        return;
    m_checkNormalBitmapId = normalBitmapId;
    m_checkSelectedBitmapId = selectedBitmapId;
    // The object stays, so lists that borrow it see the new images.
    if (m_checkImages)
        *m_checkImages = ImageList(m_iconWidth, m_iconHeight);
    else
        m_checkImages = new ImageList(m_iconWidth, m_iconHeight);
    AddBitmap(*m_checkImages, normalBitmapId);
    AddBitmap(*m_checkImages, selectedBitmapId);
}

bool CIconMenu::DestroyMenu()
{
    while (!m_submenus.empty())
        m_submenus.pop_back(); // last to first
    m_items.clear();
    if (m_checkImages && !m_checkImagesBorrowed) {
        delete m_checkImages;
        m_checkImages = nullptr;
    }
    return CMenu::DestroyMenu();
}

} // namespace ostrel

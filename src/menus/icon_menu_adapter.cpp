#include "menus/icon_menu_adapter.h"

#include "menus/icon_menu_style.h"
#include "menus/menu_template.h"
#include "menus/menu_text.h"
#include "menus/qt_menu_mirror.h"
#include "platform/qt_services.h"
#include "platform/qt_system_look.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>

namespace ostrel {

IconMenuAdapter::IconMenuAdapter(const SystemLook &look, const MenuResources &resources,
    QMenuBar *bar, const MenuIds &ids, Hooks hooks, QObject *parent)
    : QObject(parent)
    , m_hooks(std::move(hooks))
    , m_context(m_menus, look, resources,
          [] {
              return std::make_unique<QtDrawingSurface>(nullptr, MenuFont());
          })
    , m_docMenu(m_context)
    , m_defaultMenu(m_context)
{
    InstallIconMenuStyle();
    QtMenuMirror::Hooks mirror;
    mirror.commandAction = [this](uint32_t id) {
        return id <= 0xFFFF && m_hooks.commandAction
            ? m_hooks.commandAction(static_cast<uint16_t>(id))
            : nullptr;
    };
    mirror.run = [this](uint32_t id) {
        if (m_hooks.run)
            m_hooks.run(id);
    };
    mirror.beforeShow = [this](MenuHandle menu) {
        OnInitMenuPopup(menu, false);
    };
    mirror.entryText = [this](MenuHandle list, int position) {
        return EntryText(list, position);
    };
    mirror.ownerDraw.measure = [this](MenuHandle list, int position) {
        return MeasureEntry(list, position);
    };
    mirror.ownerDraw.draw = [this](MenuHandle list, int position, QPainter &painter,
                                const QRect &rect, bool selected) {
        DrawEntry(list, position, painter, rect, selected);
    };
    mirror.ownerDraw.menuChar = [this](MenuHandle list, uint32_t character) {
        return OnMenuChar(character, MenuFlag::Popup, list);
    };
    mirror.prompt = [this](uint32_t id) {
        return m_hooks.prompt ? m_hooks.prompt(id) : QString();
    };
    m_mirror = new QtMenuMirror(m_menus, bar, mirror, this);
    BuildDocumentMenu(ids);
    BuildDefaultMenu(ids);
}

IconMenuAdapter::~IconMenuAdapter()
{
    m_docMenu.DestroyMenu();
    m_defaultMenu.DestroyMenu();
}

void IconMenuAdapter::BuildDocumentMenu(const MenuIds &ids)
{
    m_docMenu.LoadMenu(ids.documentMenu);
    const int toolbars[] = { ids.toolbar };
    m_docMenu.LoadToolbars(toolbars, 1);
    m_documentMenuHandle = m_docMenu.Detach();
}

void IconMenuAdapter::BuildDefaultMenu(const MenuIds &ids)
{
    m_defaultMenu.LoadMenu(ids.defaultMenu);
    m_defaultMenu.LoadToolbar(ids.toolbar);
    m_defaultMenuHandle = m_defaultMenu.Detach();
    m_mirror->Show(m_defaultMenuHandle);
}

MenuHandle IconMenuAdapter::Shown() const
{
    return m_mirror->Shown();
}

void IconMenuAdapter::Show(MenuHandle bar)
{
    if (m_mirror->Shown() != bar)
        m_mirror->Show(bar);
}

QString IconMenuAdapter::EntryText(MenuHandle list, int position) const
{
    std::string text;
    if (const auto *menu =
            dynamic_cast<const CIconMenu *>(CMenu::FromHandlePermanent(m_context, list)))
        menu->GetItemText(position, text);
    return ToQt(UnpaddedMenuText(text));
}

QSize IconMenuAdapter::MeasureEntry(MenuHandle list, int position)
{
    const auto entry =
        m_menus.GetMenuItemInfo(list, static_cast<uint32_t>(position), MenuFlag::ByPosition);
    MeasureItemRequest request;
    request.itemId = entry ? entry->id : 0;
    request.itemData = entry ? entry->itemData : 0;
    OnMeasureItem(request, list);
    return QSize(request.itemWidth, request.itemHeight);
}

void IconMenuAdapter::DrawEntry(
    MenuHandle list, int position, QPainter &painter, const QRect &rect, bool selected)
{
    const auto entry =
        m_menus.GetMenuItemInfo(list, static_cast<uint32_t>(position), MenuFlag::ByPosition);
    if (!entry)
        return;
    QtDrawingSurface surface(&painter, MenuFont());
    DrawItemRequest request;
    request.itemId = entry->id;
    request.itemState = (selected ? DrawState::Selected : 0)
        | (entry->IsGrayed() ? DrawState::Grayed : 0)
        | (entry->IsChecked() ? DrawState::Checked : 0);
    request.menu = list;
    request.surface = &surface;
    request.rect = { rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1 };
    request.itemData = entry->itemData;
    OnDrawItem(request);
}

CIconMenu *IconMenuAdapter::OwnedIconMenu(MenuHandle list) const
{
    CMenu *menu = CMenu::FromHandlePermanent(m_context, list);
    if (!menu || !(m_docMenu.OwnsPopup(menu) || m_defaultMenu.OwnsPopup(menu)))
        return nullptr;
    return dynamic_cast<CIconMenu *>(menu);
}

void IconMenuAdapter::OnMeasureItem(MeasureItemRequest &request, MenuHandle list)
{
    if (request.controlType == kOwnerDrawMenu && m_menus.IsMenu(request.itemId)
        && OwnedIconMenu(request.itemId)) {
        m_docMenu.MeasureItem(request);
        return;
    }
    // Otherwise the menu object of the list that holds the entry measures it.
    if (CMenu *holder = CMenu::FromHandlePermanent(m_context, list))
        holder->MeasureItem(request);
}

void IconMenuAdapter::OnDrawItem(const DrawItemRequest &request)
{
    if (CMenu *holder = CMenu::FromHandlePermanent(m_context, request.menu))
        holder->DrawItem(request);
}

uint32_t IconMenuAdapter::OnMenuChar(uint32_t character, uint32_t menuFlags, MenuHandle menu)
{
    if (CIconMenu *owned = OwnedIconMenu(menu))
        return CIconMenu::FindMnemonic(character, menuFlags, owned);
    return kMenuCharIgnore;
}

void IconMenuAdapter::OnInitMenuPopup(MenuHandle menu, bool systemMenu)
{
    if (m_hooks.beforeShow)
        m_hooks.beforeShow();
    WriteMenuStates(menu);
    if (systemMenu)
        return;
    if (CIconMenu *owned = OwnedIconMenu(menu))
        owned->SyncItems();
}

void IconMenuAdapter::WriteMenuStates(MenuHandle list)
{
    if (!m_hooks.state || !m_hooks.commandAction)
        return;
    // Commands take their state from the route; the recent files and the window list keep
    // theirs.
    for (int i = 0; i < m_menus.GetMenuItemCount(list); ++i) {
        const uint32_t id = m_menus.GetMenuItemID(list, i);
        if (id == 0 || id > 0xFFFF || !m_hooks.commandAction(static_cast<uint16_t>(id)))
            continue;
        const CommandState state = m_hooks.state(static_cast<uint16_t>(id));
        const auto position = static_cast<uint32_t>(i);
        m_menus.EnableMenuItem(
            list, position, MenuFlag::ByPosition | (state.enabled ? 0 : MenuFlag::Grayed));
        m_menus.CheckMenuItem(
            list, position, MenuFlag::ByPosition | (state.checked ? MenuFlag::Checked : 0));
    }
}

void IconMenuAdapter::ShowPopup(uint16_t menuId, QWidget *parent, const QPoint &globalPosition)
{
    const auto bytes = m_context.resources.Menu(menuId);
    const MenuHandle loaded = bytes ? LoadMenuTemplate(m_menus, *bytes) : 0;
    if (!loaded)
        return;
    const MenuHandle popup = m_menus.GetSubMenu(loaded, 0);
    if (m_hooks.beforeShow)
        m_hooks.beforeShow();
    // The entries show the states of their commands.
    for (int i = 0; m_hooks.state && i < m_menus.GetMenuItemCount(popup); ++i) {
        const uint32_t id = m_menus.GetMenuItemID(popup, i);
        if (id == 0 || id > 0xFFFF)
            continue;
        const CommandState state = m_hooks.state(static_cast<uint16_t>(id));
        m_menus.EnableMenuItem(popup, static_cast<uint32_t>(i),
            MenuFlag::ByPosition | (state.enabled ? MenuFlag::Enabled : MenuFlag::Grayed));
    }
    QMenu menu(parent);
    menu.setObjectName(QStringLiteral("popupMenu"));
    m_mirror->Fill(&menu, popup);
    menu.exec(globalPosition);
    m_menus.DestroyMenu(loaded);
}

} // namespace ostrel

#include "menus/menu_object.h"

namespace ostrel {

CMenu::CMenu(MenuContext &context)
    : m_context(context)
{
}

CMenu::~CMenu()
{
    Detach();
}

bool CMenu::Attach(MenuHandle menu)
{
    if (m_hMenu != 0 || menu == 0 || m_context.attached.count(menu) != 0)
        return false;
    m_hMenu = menu;
    m_context.attached[menu] = this;
    return true;
}

MenuHandle CMenu::Detach()
{
    const MenuHandle menu = m_hMenu;
    if (menu != 0)
        m_context.attached.erase(menu);
    m_hMenu = 0;
    return menu;
}

CMenu *CMenu::FromHandlePermanent(const MenuContext &context, MenuHandle menu)
{
    const auto found = context.attached.find(menu);
    return found == context.attached.end() ? nullptr : found->second;
}

bool CMenu::DestroyMenu()
{
    const MenuHandle menu = Detach();
    return menu != 0 && m_context.menus.DestroyMenu(menu);
}

void CMenu::MeasureItem(MeasureItemRequest &) { }

void CMenu::DrawItem(const DrawItemRequest &) { }

} // namespace ostrel

#pragma once

#include "menus/menu_resources.h"
#include "menus/platform_menus.h"
#include "platform/drawing_surface.h"
#include "platform/system_look.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace ostrel {

class CMenu;

// What menu objects work with: the platform's menus, the system's look, the resources that
// menus and images are loaded from, the main window's surface for measuring text in the menu
// font, and which object stands for which handle.
struct MenuContext
{
    MenuContext(PlatformMenus &platformMenus, const SystemLook &systemLook,
        const MenuResources &menuResources,
        std::function<std::unique_ptr<DrawingSurface>()> surfaceForMeasuring)
        : menus(platformMenus)
        , look(systemLook)
        , resources(menuResources)
        , measuringSurface(std::move(surfaceForMeasuring))
    {
    }

    PlatformMenus &menus;
    const SystemLook &look;
    const MenuResources &resources;
    std::function<std::unique_ptr<DrawingSurface>()> measuringSurface;
    std::map<MenuHandle, CMenu *> attached;
};

constexpr uint32_t kOwnerDrawMenu = 1; // control type of requests that concern a menu entry

// Item states of a draw request.
struct DrawState
{
    static constexpr uint32_t Selected = 0x1;
    static constexpr uint32_t Grayed = 0x2;
    static constexpr uint32_t Checked = 0x8;
};

struct MeasureItemRequest
{
    uint32_t controlType = kOwnerDrawMenu;
    uint32_t itemId = 0; // for an entry that opens a submenu: the submenu's handle
    int itemWidth = 0;
    int itemHeight = 0;
    uintptr_t itemData = 0;
};

struct DrawItemRequest
{
    uint32_t controlType = kOwnerDrawMenu;
    uint32_t itemId = 0;
    uint32_t itemState = 0; // DrawState bits
    MenuHandle menu = 0; // the list that holds the entry
    DrawingSurface *surface = nullptr;
    Rect rect;
    uintptr_t itemData = 0;
};

// A menu object holding a platform menu handle. While attached, the object is found again from
// its handle.
class CMenu
{
public:
    explicit CMenu(MenuContext &context);
    virtual ~CMenu();
    CMenu(const CMenu &) = delete;
    CMenu &operator=(const CMenu &) = delete;

    MenuHandle GetSafeHmenu() const { return m_hMenu; }
    // False when this object already holds a menu or the handle has an object.
    bool Attach(MenuHandle menu);
    // Hands the handle to its new owner; the object forgets it.
    MenuHandle Detach();
    static CMenu *FromHandlePermanent(const MenuContext &context, MenuHandle menu);

    // Destroys the attached platform menu; false when there is none.
    virtual bool DestroyMenu();
    virtual void MeasureItem(MeasureItemRequest &request);
    virtual void DrawItem(const DrawItemRequest &request);

    MenuContext &Context() const { return m_context; }

protected:
    MenuContext &m_context;
    MenuHandle m_hMenu = 0;
};

} // namespace ostrel

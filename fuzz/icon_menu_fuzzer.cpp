// Menu templates and bitmaps from outside bytes, loaded into an icon menu: loading must never
// read past the end, and a menu that loads must have one record per entry, each entry pointing
// at its record, through toolbar images, synchronisation, mnemonics and destruction.
#include "menus/icon_menu.h"
#include "platform/image_list.h"
#include "res/resources.h"

#include <cstddef>
#include <cstdint>

namespace {

class FixedLook : public ostrel::SystemLook
{
public:
    ostrel::Colour Color(ostrel::SysColour index) const override
    {
        return static_cast<ostrel::Colour>(index) * 0x010101U;
    }
    int MenuBarHeight() const override { return 19; }
    int PlatformLevel() const override { return 3; }
};

class CountingSurface : public ostrel::DrawingSurface
{
public:
    void FillRect(const ostrel::Rect &, ostrel::Colour) override { }
    void SetPixel(int, int, ostrel::Colour) override { }
    void Ellipse(const ostrel::Rect &, ostrel::Colour) override { }
    void DrawText(
        const ostrel::Rect &, std::string_view, ostrel::Colour, ostrel::TextAlign) override
    {
    }
    ostrel::Size TextExtent(std::string_view text) override
    {
        return { static_cast<int>(text.size()) * 6, 13 };
    }
    ostrel::Size TextExtent16(std::u16string_view text) override
    {
        return { static_cast<int>(text.size()) * 6, 13 };
    }
    void DrawBitmap(int, int, const ostrel::Bitmap &, const ostrel::PixelMask *) override { }
};

void CheckRecords(const ostrel::PlatformMenus &menus, const ostrel::CIconMenu &list, bool bar)
{
    const auto *entries = menus.Items(list.GetSafeHmenu());
    if (!entries || entries->size() != list.Items().size())
        __builtin_trap();
    for (size_t i = 0; i < entries->size(); ++i)
        if (!bar && (*entries)[i].itemData != reinterpret_cast<uintptr_t>(list.Items()[i].get()))
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (const auto bitmap = ostrel::DecodeBitmap(data, size)) {
        ostrel::ImageList images(18, 16);
        images.AddMasked(*bitmap, 0);
    }

    ostrel::PlatformMenus menus;
    FixedLook look;
    ostrel::MenuContext context(menus, look, ostrel::ProgramMenuResources(), [] {
        return std::make_unique<CountingSurface>();
    });
    ostrel::CIconMenu root(context);
    if (!root.LoadMenuFromTemplate(data, size)) {
        if (root.GetSafeHmenu() != 0 || !root.Items().empty() || !context.attached.empty())
            __builtin_trap();
        return 0;
    }
    CheckRecords(menus, root, true);
    root.LoadToolbar(128);
    CountingSurface surface;
    for (const auto &list : root.Submenus()) {
        list->SyncItems();
        CheckRecords(menus, *list, false);
        ostrel::CIconMenu::FindMnemonic(size > 0 ? data[size - 1] : 'a', 0x10, list.get());
        for (size_t i = 0; i < list->Items().size(); ++i) {
            ostrel::MeasureItemRequest measure;
            measure.itemData = reinterpret_cast<uintptr_t>(list->Items()[i].get());
            list->MeasureItem(measure);
            ostrel::DrawItemRequest draw;
            draw.itemState = static_cast<uint32_t>(i) & 0xB;
            draw.menu = list->GetSafeHmenu();
            draw.surface = &surface;
            draw.rect = { 0, 0, 100, measure.itemHeight };
            draw.itemData = measure.itemData;
            list->DrawItem(draw);
        }
    }
    root.DestroyMenu();
    if (!context.attached.empty())
        __builtin_trap();
    return 0;
}

#pragma once

#include "menus/icon_menu_item.h"
#include "menus/menu_object.h"
#include "menus/menu_template.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// Menu-character answers: the high word 2 chooses the entry at the position in the low word.
constexpr uint32_t kMenuCharIgnore = 0;
constexpr uint32_t kMenuCharExecute = 0x20000;

// A menu whose drop-down entries are owner-drawn: each shows the image of the toolbar button of
// its command in a column at its left, and its accelerator right-aligned in a second column.
// The menu bar's own entries stay plain.
class CIconMenu : public CMenu
{
public:
    explicit CIconMenu(MenuContext &context);
    ~CIconMenu() override;

    struct Owner
    {
        CIconMenu *menu = nullptr;
        int position = 0;
    };

    void DrawItem(const DrawItemRequest &request) override;
    void MeasureItem(MeasureItemRequest &request) override;
    // Builds the menu bar and its drop-down lists from the menu resource.
    virtual bool LoadMenu(uint16_t resourceId);
    // "#129" names resource 129; there are no resources by other names.
    virtual bool LoadMenu(std::string_view resourceName);
    // Frees the drop-down objects, the records and the check images, then the platform menu.
    bool DestroyMenu() override;

    // LoadMenu on the bytes of a menu template. False, with nothing built, when the bytes are
    // not a complete template (one that ends before its closing end flag included).
    bool LoadMenuFromTemplate(const unsigned char *data, size_t size);
    // Gives every entry whose command is on the toolbar that button's image.
    bool LoadToolbar(int toolbarId);
    void LoadToolbars(const int *toolbarIds, int count);

    // Appends an owner-drawn entry with a new record; icon id -1 is no image.
    bool AppendIconItem(std::u16string_view text, uint32_t flags, uint32_t commandId, int iconId);
    bool AppendIconItem(std::string_view text, uint32_t flags, uint32_t commandId, int iconId);
    // Makes the entry of the command owner-drawn with the toolbar's image, with or without a
    // new text.
    void SetItemIcon(uint32_t commandId, int toolbarId);
    void SetItemIcon(std::u16string_view text, uint32_t commandId, int toolbarId);
    void SetItemIcon(std::string_view text, uint32_t commandId, int toolbarId);

    // Depth-first by position, through the objects attached to the submenus.
    std::optional<Owner> FindCommandOwner(uint32_t commandId);
    bool GetItemText(int position, std::string &text) const;
    // Brings the records back in step with the entries the menu holds now.
    void SyncItems();
    static uint32_t FindMnemonic(uint32_t character, uint32_t menuFlags, CMenu *menu);
    bool OwnsPopup(const CMenu *menu) const;

    void SetIconSize(int width, int height);
    void SetBitmapBackground(Colour colour);
    void ClearBitmapBackground() { m_useBitmapBackground = 0; }
    void SetDibDisabledStyle() { m_dibDisabledStyle = 1; }
    void ClearDibDisabledStyle() { m_dibDisabledStyle = 0; }
    int32_t GetDibDisabledStyle() const { return m_dibDisabledStyle; }
    // Check-mark images for checked entries without an image: both ids must be 0 or more.
    void SetCheckImages(int normalBitmapId, int selectedBitmapId);

    const std::vector<std::unique_ptr<CIconMenuItem>> &Items() const { return m_items; }
    const std::vector<std::unique_ptr<CIconMenu>> &Submenus() const { return m_submenus; }
    int IconWidth() const { return m_iconWidth; }
    int IconHeight() const { return m_iconHeight; }

private:
    void DrawImageColumn(const DrawItemRequest &request, const CIconMenuItem *record,
        bool checkImage, const Rect &inner, const Rect &outer, int x, int y) const;
    void DrawCheckMark(const DrawItemRequest &request, const Rect &box) const;
    void DrawLabel(const DrawItemRequest &request, const std::string &text, Colour colour) const;
    // The disabled form of the w x h area at (sx, sy) of `source`, drawn at (x, y).
    void DrawEmbossed(DrawingSurface &surface, int x, int y, const Bitmap &source, int sx) const;
    void DrawDisabledDib(DrawingSurface &surface, int x, int y, const Bitmap &source, int sx) const;

    bool AppendList(CIconMenu &list, const std::vector<MenuTemplateItem> &items);
    void SetItemIcon(const std::u16string *text, uint32_t commandId, int toolbarId);
    void GiveImage(CIconMenuItem &record, int iconId, uint32_t commandId) const;
    // The bitmap with its button colours mapped to the current system colours.
    std::optional<Bitmap> LoadMappedBitmap(int bitmapId) const;
    int AddBitmap(ImageList &list, int bitmapId) const;
    void PadAcceleratorColumn();
    std::unique_ptr<CIconMenuItem> NewItemAt(
        int position, uint32_t flags, uint32_t commandId, const std::string &text);

    std::vector<std::unique_ptr<CIconMenuItem>> m_items;
    std::vector<std::unique_ptr<CIconMenu>> m_submenus;
    ImageList *m_checkImages = nullptr; // owned unless borrowed
    int32_t m_checkImagesBorrowed = 0;
    int32_t m_checkSelectedBitmapId = -1;
    int32_t m_checkNormalBitmapId = -1;
    int32_t m_iconWidth = 18;
    int32_t m_iconHeight = 16;
    Colour m_bitmapBackground = MakeColour(192, 192, 192);
    int32_t m_useBitmapBackground = 0;
    int32_t m_dibDisabledStyle = 0;
};

} // namespace ostrel

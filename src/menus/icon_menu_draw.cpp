// Measuring and drawing the owner-drawn entries of an icon menu.
#include "menus/icon_menu.h"

#include <algorithm>

namespace ostrel {

namespace {

const CIconMenuItem *RecordOf(uintptr_t itemData)
{
    // The entry's item data is the address of its record.
    return reinterpret_cast<const CIconMenuItem *>(itemData); // NOLINT(performance-no-int-to-ptr)
}

// One bit per pixel of the area: set where the pixel has neither colour.
PixelMask ShapeMask(const Bitmap &area, Colour face, Colour highlight)
{
    PixelMask shape(area.pixels.size());
    for (size_t i = 0; i < shape.size(); ++i)
        shape[i] = area.pixels[i] != face && area.pixels[i] != highlight;
    return shape;
}

// Paints `colour` into `work` where the shape, moved by (dx, dy), lies.
void PaintShape(Bitmap &work, const PixelMask &shape, int dx, int dy, Colour colour)
{
    for (int y = 0; y < work.height; ++y)
        for (int x = 0; x < work.width; ++x) {
            const int sx = x - dx, sy = y - dy;
            if (sx >= 0 && sy >= 0 && sx < work.width && sy < work.height
                && shape[static_cast<size_t>(sy) * static_cast<size_t>(work.width)
                    + static_cast<size_t>(sx)])
                work.Set(x, y, colour);
        }
}

} // namespace

void CIconMenu::MeasureItem(MeasureItemRequest &request)
{
    const SystemLook &look = m_context.look;
    const CIconMenuItem *record = RecordOf(request.itemData);
    if (record && (record->flags & MenuFlag::Separator)) {
        request.itemWidth = 0;
        request.itemHeight = look.MenuBarHeight() >> 1;
        return;
    }
    int textWidth = 0;
    std::unique_ptr<DrawingSurface> surface =
        m_context.measuringSurface ? m_context.measuringSurface() : nullptr;
    if (surface && record && record->text) {
        if (look.PlatformLevel() != 0) {
            textWidth = surface->TextExtent16(*record->text).width;
        } else {
            const std::string text = record->Text8();
            textWidth = surface->TextExtent(text).width + 3;
            if (!text.empty())
                textWidth += 3 * (textWidth / static_cast<int>(text.size()));
        }
    }
    request.itemWidth = m_iconWidth + textWidth + m_iconWidth + 1;
    request.itemHeight = std::max(look.MenuBarHeight(), m_iconHeight + 4);
}

void CIconMenu::DrawItem(const DrawItemRequest &request)
{
    if (!request.surface)
        return;
    DrawingSurface &surface = *request.surface;
    const SystemLook &look = m_context.look;
    const CIconMenuItem *record = RecordOf(request.itemData);
    const Rect &rect = request.rect;
    const int L = rect.left, T = rect.top, H = rect.Height();
    const uint32_t state = request.itemState;
    const bool selected = state & DrawState::Selected;
    const bool checked = state & DrawState::Checked;

    if (record && (record->flags & MenuFlag::Separator)) {
        // The band in the entries' background, so that only one thin line shows.
        surface.FillRect(rect, look.Color(SysColour::Menu));
        const int y = rect.top + (H >> 1);
        surface.FillRect({ rect.left, y, rect.right, y + 1 }, look.Color(SysColour::BtnShadow));
        return;
    }

    const int iconId = record ? record->iconResourceId : -1;
    const bool checkImage = checked && iconId < 0
        && ((selected && m_checkSelectedBitmapId > 0) || m_checkNormalBitmapId > 0);
    const bool hasImage = !checkImage && iconId != -1;

    Colour textColour = look.Color(SysColour::MenuText);
    if (selected) {
        Rect fill = rect;
        if (hasImage || checkImage || checked)
            fill.left = L + m_iconWidth + 5;
        surface.FillRect(fill, look.Color(SysColour::Highlight));
        textColour = look.Color(SysColour::HighlightText);
    } else {
        surface.FillRect(rect, look.Color(SysColour::Menu));
        OutlineRect(surface, rect, look.Color(SysColour::Menu), look.Color(SysColour::Menu));
    }

    const int dy = std::max(0, (H - m_iconHeight - 4) / 2);
    const Rect inner { L + 1, T + dy + 1, L + m_iconWidth + 3, T + m_iconHeight + dy + 3 };
    const Rect outer { L, T + dy, L + m_iconWidth + 4, T + m_iconHeight + dy + 4 };
    if (hasImage || checkImage)
        DrawImageColumn(request, record, checkImage, inner, outer, L + 2, T + dy + 2);
    if (iconId < 0 && checked && !checkImage)
        DrawCheckMark(
            request, { L + 1, T + dy + 2, L + m_iconWidth + 1, T + m_iconHeight + dy + 2 });

    if (record && record->text && !record->text->empty())
        DrawLabel(request, record->Text8(), textColour);
}

void CIconMenu::DrawImageColumn(const DrawItemRequest &request, const CIconMenuItem *record,
    bool checkImage, const Rect &inner, const Rect &outer, int x, int y) const
{
    DrawingSurface &surface = *request.surface;
    const SystemLook &look = m_context.look;
    const Colour menu = look.Color(SysColour::Menu);
    const Colour shadow = look.Color(SysColour::BtnShadow);
    const Colour light = look.Color(SysColour::BtnHighlight);
    const bool selected = request.itemState & DrawState::Selected;
    const bool checked = request.itemState & DrawState::Checked;
    const bool grayed = request.itemState & DrawState::Grayed;
    const bool newLook = IsNewLook(look);
    auto drawImage = [&] {
        if (record && record->images)
            record->images->Draw(surface, record->imageIndex, x, y);
    };

    OutlineRect(surface, inner, menu, menu);
    if (checkImage && m_checkImages) {
        surface.FillRect(inner, menu);
        OutlineRect(surface, outer, menu, menu);
        m_checkImages->Draw(surface, selected ? 1 : 0, x, y);
    } else if (selected && !grayed) {
        surface.FillRect(inner, menu);
        if (newLook)
            OutlineRect(surface, outer, checked ? shadow : light, checked ? light : shadow);
        drawImage();
    } else if (grayed) {
        if (const std::optional<Bitmap> bitmap = LoadMappedBitmap(record->iconResourceId)) {
            OutlineRect(surface, outer, menu, menu);
            const int sx = record->imageIndex * m_iconWidth;
            if (m_dibDisabledStyle)
                DrawDisabledDib(surface, x, y, *bitmap, sx);
            else
                DrawEmbossed(surface, x, y, *bitmap, sx);
        }
    } else if (checked) {
        surface.FillRect(inner, look.Color(SysColour::Light3D));
        if (newLook)
            OutlineRect(surface, outer, shadow, light);
        drawImage();
    } else {
        surface.FillRect(inner, menu);
        OutlineRect(surface, outer, menu, menu);
        drawImage();
    }
}

void CIconMenu::DrawCheckMark(const DrawItemRequest &request, const Rect &box) const
{
    DrawingSurface &surface = *request.surface;
    const SystemLook &look = m_context.look;
    const bool selected = request.itemState & DrawState::Selected;
    const bool newLook = IsNewLook(look);
    const std::optional<PlatformMenuItem> info =
        m_context.menus.GetMenuItemInfo(request.menu, request.itemId, MenuFlag::ByCommand);
    const bool dot = info && info->checkedBitmap != 0;

    surface.FillRect(box, look.Color(selected || !newLook ? SysColour::Menu : SysColour::Light3D));
    if (newLook)
        OutlineRect(
            surface, box, look.Color(SysColour::BtnShadow), look.Color(SysColour::BtnHighlight));
    const Colour mark = look.Color(SysColour::MenuText);
    if (dot) {
        surface.Ellipse({ box.left + 5, box.top + 4, box.left + 11, box.top + 10 }, mark);
        return;
    }
    const int x = box.left + 4, y = box.top + 4;
    constexpr int starts[7] = { 2, 3, 4, 3, 2, 1, 0 };
    for (int column = 0; column < 7; ++column)
        for (int run = 0; run < 3; ++run)
            surface.SetPixel(x + column, y + starts[column] + run, mark);
}

void CIconMenu::DrawLabel(
    const DrawItemRequest &request, const std::string &text, Colour colour) const
{
    DrawingSurface &surface = *request.surface;
    const SystemLook &look = m_context.look;
    const Rect &rect = request.rect;
    Rect area { rect.left + m_iconWidth + 9, rect.top - 1, rect.right, rect.bottom - 1 };
    const size_t tab = text.find('\t');
    const std::string label = text.substr(0, tab);
    const std::string accelerator = tab == std::string::npos ? std::string() : text.substr(tab + 1);
    if (tab != std::string::npos)
        area.right -= m_iconWidth;
    auto draw = [&](const Rect &where, Colour textColour) {
        surface.DrawText(where, label, textColour, TextAlign::Left);
        if (!accelerator.empty())
            surface.DrawText(where, accelerator, textColour, TextAlign::Right);
    };
    const bool selected = request.itemState & DrawState::Selected;
    if ((request.itemState & DrawState::Grayed) && !selected) {
        draw(area.Moved(1, 1), look.Color(SysColour::BtnHighlight));
        draw(area, look.Color(SysColour::GrayText));
    } else if (request.itemState & DrawState::Grayed) {
        draw(area, look.Color(SysColour::Menu));
    } else {
        draw(area, colour);
    }
}

void CIconMenu::DrawEmbossed(
    DrawingSurface &surface, int x, int y, const Bitmap &source, int sx) const
{
    const SystemLook &look = m_context.look;
    const Colour highlight = look.Color(SysColour::BtnHighlight);
    const int w = m_iconWidth, h = m_iconHeight;
    const PixelMask shape =
        ShapeMask(source.Copy(sx, 0, w, h), look.Color(SysColour::BtnFace), highlight);
    Bitmap work(w, h, look.Color(IsNewLook(look) ? SysColour::BtnFace : SysColour::Menu));
    PaintShape(work, shape, 0, 0, highlight);
    surface.DrawBitmap(x + 1, y + 1, work, nullptr);
    PaintShape(work, shape, 1, 1, highlight);
    PaintShape(work, shape, 0, 0, look.Color(SysColour::BtnShadow));
    surface.DrawBitmap(x, y, work, nullptr);
}

void CIconMenu::DrawDisabledDib(
    DrawingSurface &surface, int x, int y, const Bitmap &source, int sx) const
{
    const SystemLook &look = m_context.look;
    const int w = m_iconWidth, h = m_iconHeight;
    surface.FillRect(
        { x, y, x + w, y + h }, look.Color(IsNewLook(look) ? SysColour::BtnFace : SysColour::Menu));
    // A one-bit image of the area: dark pixels are the shape.
    const Bitmap area = source.Copy(sx, 0, w, h);
    PixelMask shape(area.pixels.size());
    for (size_t i = 0; i < shape.size(); ++i) {
        const Colour c = area.pixels[i];
        shape[i] = RedOf(c) * 30 + GreenOf(c) * 59 + BlueOf(c) * 11 < 128 * 100;
    }
    const Bitmap highlight(w, h, look.Color(SysColour::BtnHighlight));
    const Bitmap shadow(w, h, look.Color(SysColour::BtnShadow));
    surface.DrawBitmap(x + 1, y + 1, highlight, &shape);
    surface.DrawBitmap(x, y, shadow, &shape);
}

} // namespace ostrel

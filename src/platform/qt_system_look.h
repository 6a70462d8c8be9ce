#pragma once

#include "platform/drawing_surface.h"
#include "platform/system_look.h"

#include <QFont>

class QPainter;

namespace ostrel {

// Colours from the palette of the running style (menus take the menu palette), so a dark theme
// gives dark menus.
class QtSystemLook : public SystemLook
{
public:
    Colour Color(SysColour index) const override;
    int MenuBarHeight() const override;
    // There are no older looks to tell apart here: always the new look with 16-bit measuring.
    int PlatformLevel() const override { return 3; }
};

// The font menus are drawn in.
QFont MenuFont();

// Draws with a QPainter (none: measures only) and measures in `font`.
class QtDrawingSurface : public DrawingSurface
{
public:
    QtDrawingSurface(QPainter *painter, const QFont &font);

    void FillRect(const Rect &rect, Colour colour) override;
    void SetPixel(int x, int y, Colour colour) override;
    void Ellipse(const Rect &rect, Colour colour) override;
    void DrawText(const Rect &rect, std::string_view text, Colour colour, TextAlign align) override;
    Size TextExtent(std::string_view text) override;
    Size TextExtent16(std::u16string_view text) override;
    void DrawBitmap(int x, int y, const Bitmap &bitmap, const PixelMask *mask) override;

private:
    QPainter *m_painter;
    QFont m_font;
};

} // namespace ostrel

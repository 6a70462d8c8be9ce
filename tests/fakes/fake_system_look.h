#pragma once

#include "platform/drawing_surface.h"
#include "platform/system_look.h"

#include <map>

namespace ostrel::test {

// The classic grey look: fixed colours, a 19-pixel menu bar, the new three-dimensional style.
class FakeSystemLook : public SystemLook
{
public:
    FakeSystemLook();
    Colour Color(SysColour index) const override { return colours.at(index); }
    int MenuBarHeight() const override { return menuBarHeight; }
    int PlatformLevel() const override { return level; }

    std::map<SysColour, Colour> colours;
    int menuBarHeight = 19;
    int level = 3;
};

// Measures every character 6 pixels wide and 13 high (an ampersand only where it shows, as
// drawing would); draws nothing.
class FixedPitchSurface : public DrawingSurface
{
public:
    static constexpr int kCharWidth = 6;

    void FillRect(const Rect &, Colour) override { }
    void SetPixel(int, int, Colour) override { }
    void Ellipse(const Rect &, Colour) override { }
    void DrawText(const Rect &, std::string_view, Colour, TextAlign) override { }
    Size TextExtent(std::string_view text) override;
    Size TextExtent16(std::u16string_view text) override;
    void DrawBitmap(int, int, const Bitmap &, const PixelMask *) override { }
};

} // namespace ostrel::test

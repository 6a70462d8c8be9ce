#pragma once

#include <cstdint>

namespace ostrel {

// A colour as 0x00BBGGRR.
using Colour = uint32_t;

constexpr Colour MakeColour(int red, int green, int blue)
{
    return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(Colour colour)
{
    return static_cast<int>(colour & 0xFF);
}
constexpr int GreenOf(Colour colour)
{
    return static_cast<int>((colour >> 8) & 0xFF);
}
constexpr int BlueOf(Colour colour)
{
    return static_cast<int>((colour >> 16) & 0xFF);
}

// The system colours the owner-drawn menus use, with the platform's indexes.
enum class SysColour : int {
    Menu = 4,
    MenuText = 7,
    Highlight = 13,
    HighlightText = 14,
    BtnFace = 15,
    BtnShadow = 16,
    GrayText = 17,
    BtnText = 18,
    BtnHighlight = 20,
    Light3D = 22,
};

// The running system's colours and metrics, read each time something is measured or drawn, so
// that a change of theme shows at the next drawing.
class SystemLook
{
public:
    virtual ~SystemLook() = default;
    virtual Colour Color(SysColour index) const = 0;
    // Height of a menu bar line.
    virtual int MenuBarHeight() const = 0;
    // 0 and 2 are the old looks, 1 and 3 the new (three-dimensional) ones; 0 measures menu texts
    // as 8-bit text, the others as 16-bit text.
    virtual int PlatformLevel() const = 0;
};

inline bool IsNewLook(const SystemLook &look)
{
    return look.PlatformLevel() == 1 || look.PlatformLevel() == 3;
}

} // namespace ostrel

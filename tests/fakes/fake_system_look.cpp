#include "fakes/fake_system_look.h"

namespace ostrel::test {

FakeSystemLook::FakeSystemLook()
    : colours {
        { SysColour::Menu, MakeColour(192, 192, 192) },
        { SysColour::MenuText, MakeColour(0, 0, 0) },
        { SysColour::Highlight, MakeColour(0, 0, 128) },
        { SysColour::HighlightText, MakeColour(255, 255, 255) },
        { SysColour::BtnFace, MakeColour(192, 192, 192) },
        { SysColour::BtnShadow, MakeColour(128, 128, 128) },
        { SysColour::GrayText, MakeColour(128, 128, 128) },
        { SysColour::BtnText, MakeColour(0, 0, 0) },
        { SysColour::BtnHighlight, MakeColour(255, 255, 255) },
        { SysColour::Light3D, MakeColour(223, 223, 223) },
    }
{
}

Size FixedPitchSurface::TextExtent(std::string_view text)
{
    int shown = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        ++shown;
    }
    return { shown * kCharWidth, 13 };
}

Size FixedPitchSurface::TextExtent16(std::u16string_view text)
{
    return { static_cast<int>(text.size()) * kCharWidth, 13 };
}

} // namespace ostrel::test

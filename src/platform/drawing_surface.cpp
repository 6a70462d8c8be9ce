#include "platform/drawing_surface.h"

namespace ostrel {

Bitmap::Bitmap(int w, int h, Colour fill)
    : width(w > 0 ? w : 0)
    , height(h > 0 ? h : 0)
    , pixels(static_cast<size_t>(width) * static_cast<size_t>(height), fill)
{
}

Bitmap Bitmap::Copy(int x, int y, int w, int h) const
{
    Bitmap out(w, h);
    for (int row = 0; row < out.height; ++row)
        for (int column = 0; column < out.width; ++column)
            if (Contains(x + column, y + row))
                out.Set(column, row, At(x + column, y + row));
    return out;
}

void OutlineRect(DrawingSurface &surface, const Rect &rect, Colour topLeft, Colour bottomRight)
{
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    surface.FillRect({ l, t, r - 1, t + 1 }, topLeft);
    surface.FillRect({ l, t, l + 1, b - 1 }, topLeft);
    surface.FillRect({ l, b - 1, r, b }, bottomRight);
    surface.FillRect({ r - 1, t, r, b }, bottomRight);
}

void EtchedTopLine(DrawingSurface &surface, const Rect &rect, Colour shadow, Colour highlight)
{
    surface.FillRect({ rect.left, rect.top, rect.right, rect.top + 1 }, shadow);
    surface.FillRect({ rect.left, rect.top + 1, rect.right, rect.top + 2 }, highlight);
}

} // namespace ostrel

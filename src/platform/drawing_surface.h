#pragma once

#include "platform/system_look.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace ostrel {

// Right and bottom are outside the rectangle.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    Rect Moved(int dx, int dy) const { return { left + dx, top + dy, right + dx, bottom + dy }; }
};

struct Size
{
    int width = 0;
    int height = 0;
};

// Pixels row by row from the top.
struct Bitmap
{
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    Bitmap() = default;
    Bitmap(int w, int h, Colour fill = 0);
    Colour At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    void Set(int x, int y, Colour colour) { pixels[static_cast<size_t>(y * width + x)] = colour; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // The area (x, y, w, h); parts outside the bitmap come out black.
    Bitmap Copy(int x, int y, int w, int h) const;
};

// One bit per pixel, as a byte: set marks a pixel that is drawn.
using PixelMask = std::vector<uint8_t>;

enum class TextAlign { Left, Right };

// What drawing the menus needs of the platform's graphics.
class DrawingSurface
{
public:
    virtual ~DrawingSurface() = default;
    virtual void FillRect(const Rect &rect, Colour colour) = 0;
    virtual void SetPixel(int x, int y, Colour colour) = 0;
    // Filled, with a one-pixel outline of the same colour.
    virtual void Ellipse(const Rect &rect, Colour colour) = 0;
    // One line, vertically centred, on a transparent background; "&x" underlines x and "&&"
    // shows one ampersand.
    virtual void DrawText(
        const Rect &rect, std::string_view text, Colour colour, TextAlign align) = 0;
    // The size DrawText takes for 8-bit text, and the plain extent of 16-bit characters.
    virtual Size TextExtent(std::string_view text) = 0;
    virtual Size TextExtent16(std::u16string_view text) = 0;
    // Copies the pixels that `mask` marks (every pixel when it is null).
    virtual void DrawBitmap(int x, int y, const Bitmap &bitmap, const PixelMask *mask) = 0;
};

// A one-pixel frame: the top and left edges in one colour, the bottom and right edges in the
// other (the corners top-right and bottom-left belong to the second).
void OutlineRect(DrawingSurface &surface, const Rect &rect, Colour topLeft, Colour bottomRight);
// An etched line along the top edge of `rect`: a shadow line with a highlight line below.
void EtchedTopLine(DrawingSurface &surface, const Rect &rect, Colour shadow, Colour highlight);

} // namespace ostrel

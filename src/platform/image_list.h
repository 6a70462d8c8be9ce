#pragma once

#include "platform/drawing_surface.h"

#include <array>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace ostrel {

// Colours of a bitmap's colour table that are replaced as it loads (button colours by the
// system's current ones). Only the first 16 entries of the table are looked at.
using ColourMapping = std::vector<std::pair<Colour, Colour>>;

// Reads an uncompressed Windows bitmap file (1, 4, 8, 24 or 32 bits per pixel, either row
// order). Nothing for anything else, or for bytes that end before the pixels do.
std::optional<Bitmap> DecodeBitmap(
    const unsigned char *data, size_t size, const ColourMapping &mapping = {});

// Images of one cell size with their masks.
class ImageList
{
public:
    ImageList(int cellWidth, int cellHeight);

    int CellWidth() const { return m_cellWidth; }
    int CellHeight() const { return m_cellHeight; }
    int Count() const { return static_cast<int>(m_images.size()); }
    // Cuts the bitmap into as many cells as its width holds; pixels of `maskColour` become
    // transparent. The index of the first image added, or -1 when none fits.
    int AddMasked(const Bitmap &bitmap, Colour maskColour);
    // Draws the image's opaque pixels at (x, y); nothing for an index the list lacks.
    void Draw(DrawingSurface &surface, int index, int x, int y) const;

private:
    struct Image
    {
        Bitmap pixels;
        PixelMask mask;
    };

    int m_cellWidth;
    int m_cellHeight;
    std::vector<Image> m_images;
};

} // namespace ostrel

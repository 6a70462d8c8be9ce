#include "platform/image_list.h"

#include <cstdint>

namespace ostrel {

namespace {

// Bitmaps larger than this are not images of a menu or a toolbar.
constexpr int64_t kMaxPixels = 1 << 22;

class ByteView
{
public:
    ByteView(const unsigned char *data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool Has(size_t offset, size_t count) const
    {
        return offset <= m_size && m_size - offset >= count;
    }
    uint32_t U16(size_t offset) const { return m_data[offset] | (m_data[offset + 1] << 8); }
    uint32_t U32(size_t offset) const
    {
        return U16(offset) | (static_cast<uint32_t>(U16(offset + 2)) << 16);
    }
    unsigned char Byte(size_t offset) const { return m_data[offset]; }

private:
    const unsigned char *m_data;
    size_t m_size;
};

} // namespace

std::optional<Bitmap> DecodeBitmap(
    const unsigned char *data, size_t size, const ColourMapping &mapping)
{
    const ByteView bytes(data, size);
    if (!bytes.Has(0, 14 + 40) || bytes.Byte(0) != 'B' || bytes.Byte(1) != 'M')
        return std::nullopt;
    const size_t pixelsAt = bytes.U32(10);
    const size_t headerSize = bytes.U32(14);
    const auto width = static_cast<int32_t>(bytes.U32(18));
    const auto rawHeight = static_cast<int32_t>(bytes.U32(22));
    const uint32_t bits = bytes.U16(28);
    const uint32_t compression = bytes.U32(30);
    uint32_t used = bytes.U32(46);
    if (headerSize < 40 || width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN
        || compression != 0)
        return std::nullopt;
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    if (static_cast<int64_t>(width) * height > kMaxPixels)
        return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return std::nullopt;

    std::vector<Colour> table;
    if (bits <= 8) {
        const uint32_t full = 1U << bits;
        if (used == 0 || used > full)
            used = full;
        const size_t tableAt = 14 + headerSize;
        if (!bytes.Has(tableAt, size_t { used } * 4))
            return std::nullopt;
        for (uint32_t i = 0; i < used; ++i) {
            const size_t at = tableAt + size_t { i } * 4;
            Colour colour = MakeColour(bytes.Byte(at + 2), bytes.Byte(at + 1), bytes.Byte(at));
            if (i < 16)
                for (const auto &[from, to] : mapping)
                    if (colour == from) {
                        colour = to;
                        break;
                    }
            table.push_back(colour);
        }
    }

    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    if (!bytes.Has(pixelsAt, stride * static_cast<size_t>(height)))
        return std::nullopt;
    Bitmap bitmap(width, height);
    for (int32_t row = 0; row < height; ++row) {
        const size_t line =
            pixelsAt + stride * static_cast<size_t>(topDown ? row : height - 1 - row);
        for (int32_t x = 0; x < width; ++x) {
            const auto column = static_cast<size_t>(x);
            Colour colour = 0;
            if (bits >= 24) {
                const size_t at = line + column * (bits / 8);
                colour = MakeColour(bytes.Byte(at + 2), bytes.Byte(at + 1), bytes.Byte(at));
            } else {
                const size_t bit = column * bits;
                const unsigned byte = bytes.Byte(line + bit / 8);
                const unsigned shift = 8 - bits - static_cast<unsigned>(bit % 8);
                const unsigned index = (byte >> shift) & ((1U << bits) - 1);
                colour = index < table.size() ? table[index] : 0;
            }
            bitmap.Set(x, row, colour);
        }
    }
    return bitmap;
}

ImageList::ImageList(int cellWidth, int cellHeight)
    : m_cellWidth(cellWidth)
    , m_cellHeight(cellHeight)
{
}

int ImageList::AddMasked(const Bitmap &bitmap, Colour maskColour)
{
    if (m_cellWidth <= 0 || m_cellHeight <= 0 || bitmap.width < m_cellWidth)
        return -1;
    const int first = Count();
    for (int x = 0; x + m_cellWidth <= bitmap.width; x += m_cellWidth) {
        Image image { bitmap.Copy(x, 0, m_cellWidth, m_cellHeight), {} };
        image.mask.resize(image.pixels.pixels.size());
        for (size_t i = 0; i < image.mask.size(); ++i)
            image.mask[i] = image.pixels.pixels[i] != maskColour;
        m_images.push_back(std::move(image));
    }
    return first;
}

void ImageList::Draw(DrawingSurface &surface, int index, int x, int y) const
{
    if (index < 0 || index >= Count())
        return;
    const Image &image = m_images[static_cast<size_t>(index)];
    surface.DrawBitmap(x, y, image.pixels, &image.mask);
}

} // namespace ostrel

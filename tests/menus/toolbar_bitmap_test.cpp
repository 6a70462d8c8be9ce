#include "framework/binary_fields.h"
#include "res/resources.h"

#include <gtest/gtest.h>

#include <string>

namespace ostrel {
namespace {

uint16_t Word(const Bytes &bytes, size_t offset)
{
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

// The toolbar's images must be a 16-colour strip of twelve 18x16 cells on the grey button face.
TEST(ToolbarBitmap, FileHoldsTwelveButtonImages)
{
    const ToolbarResource *toolbar = GetToolbarResource(kMainResourceId);
    ASSERT_NE(toolbar, nullptr);
    ASSERT_NE(toolbar->bitmapFile, nullptr);
    Bytes bmp;
    ASSERT_EQ(
        ReadWholeFile(std::string(OSTREL_SOURCE_DIR) + "/res/" + toolbar->bitmapFile, bmp, 1 << 20),
        FileResult::Ok);
    ASSERT_GE(bmp.size(), 14u + 40u + 64u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(ReadInt32(bmp, 2), static_cast<int32_t>(bmp.size()));
    const int32_t pixelsAt = ReadInt32(bmp, 10);
    EXPECT_EQ(ReadInt32(bmp, 14), 40); // info header size
    const int32_t width = ReadInt32(bmp, 18);
    const int32_t height = ReadInt32(bmp, 22);
    EXPECT_EQ(width, 216);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(Word(bmp, 26), 1); // planes
    EXPECT_EQ(Word(bmp, 28), 4); // bits per pixel
    EXPECT_EQ(ReadInt32(bmp, 30), 0); // uncompressed

    int buttons = 0;
    for (const uint16_t button : toolbar->buttons)
        buttons += button != 0;
    EXPECT_EQ(width, buttons * toolbar->buttonWidth);
    EXPECT_EQ(height, toolbar->buttonHeight);

    // Rows of 4-bit pixels, padded to four bytes, all inside the file.
    const size_t stride = ((static_cast<size_t>(width) * 4 + 31) / 32) * 4;
    ASSERT_GE(bmp.size(), static_cast<size_t>(pixelsAt) + stride * static_cast<size_t>(height));

    // The top-left pixel (last row in the file) is the button face, (192,192,192).
    const unsigned char topLeft = bmp[static_cast<size_t>(pixelsAt) + stride * 15] >> 4;
    const size_t colour = 54 + 4 * size_t { topLeft };
    EXPECT_EQ(bmp[colour], 192);
    EXPECT_EQ(bmp[colour + 1], 192);
    EXPECT_EQ(bmp[colour + 2], 192);
}

} // namespace
} // namespace ostrel

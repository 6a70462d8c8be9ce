// Entries drawn by the icon menu through the QPainter surface, in the classic fixed colours.
#include "fakes/fake_system_look.h"
#include "menus/icon_menu.h"
#include "platform/qt_system_look.h"
#include "res/resources.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace ostrel {
namespace {

using test::FakeSystemLook;
using Pixel = std::pair<int, int>;

constexpr Colour kUntouched = MakeColour(255, 0, 255);
constexpr int kWidth = 200;
constexpr uint32_t kSelected = DrawState::Selected, kGrayed = DrawState::Grayed,
                   kChecked = DrawState::Checked;

QFont PlainFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias); // exact colours to compare
    return font;
}

struct IconMenuDrawTest : ::testing::Test
{
    IconMenuDrawTest()
    {
        list.Attach(menus.CreatePopupMenu());
        list.AppendIconItem("&Open...\tCtrl+O", 0, 57601, kMainResourceId); // image 0
        list.AppendIconItem("&Close", 0, 57602, -1);
        list.AppendIconItem("", 0, 0, -1); // separator
    }

    QImage Draw(int position, uint32_t state, int height = 20)
    {
        QImage image(kWidth, height, QImage::Format_RGB32);
        image.fill(QColor(255, 0, 255));
        QPainter painter(&image);
        QtDrawingSurface surface(&painter, PlainFont());
        const CIconMenuItem &record = *list.Items()[static_cast<size_t>(position)];
        DrawItemRequest request;
        request.itemId = record.commandId;
        request.itemState = state;
        request.menu = list.GetSafeHmenu();
        request.surface = &surface;
        request.rect = { 0, 0, kWidth, height };
        request.itemData = reinterpret_cast<uintptr_t>(&record);
        list.DrawItem(request);
        return image;
    }
    Colour C(SysColour index) const { return look.Color(index); }
    static Colour At(const QImage &image, int x, int y)
    {
        const QRgb rgb = image.pixel(x, y);
        return MakeColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
    }
    static std::set<Pixel> PixelsOf(const QImage &image, Colour colour, int left, int right)
    {
        std::set<Pixel> found;
        for (int y = 0; y < image.height(); ++y)
            for (int x = left; x < right; ++x)
                if (At(image, x, y) == colour)
                    found.insert({ x, y });
        return found;
    }

    PlatformMenus menus;
    FakeSystemLook look;
    MenuContext context { menus, look, ProgramMenuResources(), [] {
                             return std::make_unique<QtDrawingSurface>(nullptr, PlainFont());
                         } };
    CIconMenu list { context };
};

TEST_F(IconMenuDrawTest, SeparatorIsOneLineAtHalfHeightOnTheEntriesBackground)
{
    const QImage image = Draw(2, 0, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(At(image, x, y), C(y == 4 ? SysColour::BtnShadow : SysColour::Menu))
                << x << "," << y;
}

TEST_F(IconMenuDrawTest, PlainEntryShowsImageLabelAndAccelerator)
{
    const QImage image = Draw(0, 0);
    EXPECT_EQ(At(image, 0, 0), C(SysColour::Menu));
    EXPECT_EQ(At(image, kWidth - 1, 19), C(SysColour::Menu));
    // Image 0 at (2, 2): the open folder has black outline pixels.
    EXPECT_FALSE(PixelsOf(image, C(SysColour::BtnText), 2, 20).empty());
    // The label from x = 27, the accelerator ending 18 pixels before the right edge.
    const auto text = PixelsOf(image, C(SysColour::MenuText), 27, kWidth);
    ASSERT_FALSE(text.empty());
    EXPECT_LT(text.begin()->first, 40);
    int rightmost = 0;
    for (const auto &[x, y] : text)
        rightmost = std::max(rightmost, x);
    EXPECT_GT(rightmost, kWidth - 18 - 8);
    EXPECT_LT(rightmost, kWidth - 18);
}

TEST_F(IconMenuDrawTest, HighlightStartsRightOfTheImageColumnWithAFrameAroundTheImage)
{
    struct Case
    {
        uint32_t state;
        Colour topLeft, bottomRight, inside;
    };
    const Case cases[] = {
        { kSelected, C(SysColour::BtnHighlight), C(SysColour::BtnShadow), C(SysColour::Menu) },
        { kSelected | kChecked, C(SysColour::BtnShadow), C(SysColour::BtnHighlight),
            C(SysColour::Menu) },
        { kChecked, C(SysColour::BtnShadow), C(SysColour::BtnHighlight), C(SysColour::Light3D) },
    };
    for (const Case &c : cases) {
        const QImage image = Draw(0, c.state);
        const bool selected = c.state & kSelected;
        EXPECT_EQ(At(image, 23, 1), selected ? C(SysColour::Highlight) : C(SysColour::Menu));
        EXPECT_NE(At(image, 22, 1), C(SysColour::Highlight));
        EXPECT_EQ(At(image, 0, 8), c.topLeft) << c.state;
        EXPECT_EQ(At(image, 8, 0), c.topLeft);
        EXPECT_EQ(At(image, 21, 8), c.bottomRight);
        EXPECT_EQ(At(image, 8, 19), c.bottomRight);
        EXPECT_EQ(At(image, 1, 8), c.inside);
        if (selected) {
            EXPECT_FALSE(PixelsOf(image, C(SysColour::HighlightText), 27, kWidth).empty());
        }
    }
    // Without image or check mark the highlight takes the whole width.
    EXPECT_EQ(At(Draw(1, kSelected), 0, 1), C(SysColour::Highlight));
}

TEST_F(IconMenuDrawTest, CheckedEntryWithoutImageShowsATickOrADot)
{
    // The box (1, 2)-(19, 18): light with a sunken border; the tick's 21 pixels from (5, 6).
    QImage image = Draw(1, kChecked);
    EXPECT_EQ(At(image, 1, 8), C(SysColour::BtnShadow));
    EXPECT_EQ(At(image, 8, 2), C(SysColour::BtnShadow));
    EXPECT_EQ(At(image, 18, 8), C(SysColour::BtnHighlight));
    EXPECT_EQ(At(image, 3, 4), C(SysColour::Light3D));
    std::set<Pixel> tick;
    const int starts[7] = { 2, 3, 4, 3, 2, 1, 0 };
    for (int column = 0; column < 7; ++column)
        for (int run = 0; run < 3; ++run)
            tick.insert({ 5 + column, 6 + starts[column] + run });
    EXPECT_EQ(PixelsOf(image, C(SysColour::MenuText), 0, 20), tick);

    // Highlighted, the box takes the menu colour.
    image = Draw(1, kChecked | kSelected);
    EXPECT_EQ(At(image, 3, 4), C(SysColour::Menu));
    EXPECT_EQ(At(image, 23, 1), C(SysColour::Highlight));

    // A radio-style bitmap for the checked state makes the mark a dot in (6, 6)-(12, 12).
    menus.SetMenuItemBitmaps(list.GetSafeHmenu(), 57602, 0, 1);
    image = Draw(1, kChecked);
    const auto dot = PixelsOf(image, C(SysColour::MenuText), 0, 20);
    EXPECT_TRUE(dot.count({ 8, 8 }));
    EXPECT_FALSE(dot.count({ 5, 8 }));
    for (const auto &[x, y] : dot) {
        EXPECT_TRUE(x >= 6 && x < 12 && y >= 6 && y < 12) << x << "," << y;
    }

    // With check images the mark is image 0 of them (here the toolbar's first) at (2, 2).
    list.SetCheckImages(kMainResourceId, kMainResourceId);
    image = Draw(1, kChecked);
    const Bitmap strip = *DecodeBitmap(
        LoadBitmapResource(kMainResourceId)->data(), LoadBitmapResource(kMainResourceId)->size());
    int same = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 18; ++x)
            same += strip.At(x, y) == MakeColour(0, 0, 0) && At(image, 2 + x, 2 + y) == 0;
    EXPECT_GT(same, 20);
    EXPECT_NE(PixelsOf(image, C(SysColour::MenuText), 0, 20), tick);
}

TEST_F(IconMenuDrawTest, DisabledEntryIsEmbossed)
{
    const QImage image = Draw(0, kGrayed);
    // The image's shape in the shadow colour, a highlight copy one pixel right and down, the
    // rest button face.
    const Bitmap strip = *DecodeBitmap(
        LoadBitmapResource(kMainResourceId)->data(), LoadBitmapResource(kMainResourceId)->size());
    auto inShape = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= 18 || y >= 16)
            return false;
        const Colour c = strip.At(x, y);
        return c != MakeColour(192, 192, 192) && c != MakeColour(255, 255, 255);
    };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 18; ++x) {
            const Colour expected = inShape(x, y) ? C(SysColour::BtnShadow)
                : inShape(x - 1, y - 1)           ? C(SysColour::BtnHighlight)
                                                  : C(SysColour::BtnFace);
            EXPECT_EQ(At(image, 2 + x, 2 + y), expected) << x << "," << y;
        }

    // The text: a highlight copy one pixel right and down under the grey text.
    const auto grey = PixelsOf(image, C(SysColour::GrayText), 27, kWidth);
    const auto light = PixelsOf(image, C(SysColour::BtnHighlight), 27, kWidth);
    ASSERT_FALSE(grey.empty());
    ASSERT_FALSE(light.empty());
    for (const auto &[x, y] : light)
        EXPECT_TRUE(grey.count({ x - 1, y - 1 })) << x << "," << y;
    for (const auto &[x, y] : grey)
        EXPECT_TRUE(grey.count({ x + 1, y + 1 }) || light.count({ x + 1, y + 1 }));

    // Highlighted, the text takes the menu colour on the highlight.
    const QImage selected = Draw(0, kGrayed | kSelected);
    EXPECT_TRUE(PixelsOf(selected, C(SysColour::GrayText), 27, kWidth).empty());
    EXPECT_FALSE(PixelsOf(selected, C(SysColour::Menu), 27, kWidth).empty());
}

TEST_F(IconMenuDrawTest, SecondDisabledMethodPaintsTheDarkPixels)
{
    list.SetDibDisabledStyle();
    const QImage image = Draw(0, kGrayed);
    std::set<Colour> colours;
    for (int y = 2; y < 18; ++y)
        for (int x = 2; x < 20; ++x)
            colours.insert(At(image, x, y));
    EXPECT_TRUE(colours.count(C(SysColour::BtnShadow)));
    EXPECT_FALSE(colours.count(C(SysColour::BtnText)));
    for (const Colour c : colours)
        EXPECT_TRUE(c == C(SysColour::BtnShadow) || c == C(SysColour::BtnHighlight)
            || c == C(SysColour::BtnFace));
}

} // namespace
} // namespace ostrel

#include "platform/qt_system_look.h"

#include "platform/qt_services.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPalette>

namespace ostrel {

namespace {

Colour FromQColor(const QColor &colour)
{
    return MakeColour(colour.red(), colour.green(), colour.blue());
}

QColor ToQColor(Colour colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

constexpr int kTextFlags = Qt::TextSingleLine | Qt::AlignVCenter | Qt::TextShowMnemonic;

} // namespace

Colour QtSystemLook::Color(SysColour index) const
{
    const QPalette menu = QApplication::palette("QMenu");
    const QPalette buttons = QApplication::palette("QPushButton");
    switch (index) {
    case SysColour::Menu:
        return FromQColor(menu.color(QPalette::Window));
    case SysColour::MenuText:
        return FromQColor(menu.color(QPalette::WindowText));
    case SysColour::Highlight:
        return FromQColor(menu.color(QPalette::Highlight));
    case SysColour::HighlightText:
        return FromQColor(menu.color(QPalette::HighlightedText));
    case SysColour::BtnFace:
        return FromQColor(buttons.color(QPalette::Button));
    case SysColour::BtnShadow:
        return FromQColor(buttons.color(QPalette::Dark));
    case SysColour::GrayText:
        return FromQColor(menu.color(QPalette::Disabled, QPalette::WindowText));
    case SysColour::BtnText:
        return FromQColor(buttons.color(QPalette::ButtonText));
    case SysColour::BtnHighlight:
        return FromQColor(buttons.color(QPalette::Light));
    case SysColour::Light3D:
        return FromQColor(buttons.color(QPalette::Midlight));
    }
    return 0;
}

int QtSystemLook::MenuBarHeight() const
{
    // A line of the menu font with the platform's usual two pixels above and below.
    return QFontMetrics(MenuFont()).height() + 4;
}

QFont MenuFont()
{
    return QApplication::font("QMenu");
}

QtDrawingSurface::QtDrawingSurface(QPainter *painter, const QFont &font)
    : m_painter(painter)
    , m_font(font)
{
}

void QtDrawingSurface::FillRect(const Rect &rect, Colour colour)
{
    if (m_painter && rect.Width() > 0 && rect.Height() > 0)
        m_painter->fillRect(
            QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(colour));
}

void QtDrawingSurface::SetPixel(int x, int y, Colour colour)
{
    FillRect({ x, y, x + 1, y + 1 }, colour);
}

void QtDrawingSurface::Ellipse(const Rect &rect, Colour colour)
{
    if (!m_painter)
        return;
    m_painter->save();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setPen(ToQColor(colour));
    m_painter->setBrush(ToQColor(colour));
    // The pen's outline lies inside the rectangle, as the platform's ellipse does.
    m_painter->drawEllipse(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
    m_painter->restore();
}

void QtDrawingSurface::DrawText(
    const Rect &rect, std::string_view text, Colour colour, TextAlign align)
{
    if (!m_painter)
        return;
    m_painter->save();
    m_painter->setFont(m_font);
    m_painter->setPen(ToQColor(colour));
    m_painter->setBackgroundMode(Qt::TransparentMode);
    const int flags = kTextFlags | (align == TextAlign::Left ? Qt::AlignLeft : Qt::AlignRight);
    m_painter->drawText(
        QRect(rect.left, rect.top, rect.Width(), rect.Height()), flags, ToQt(std::string(text)));
    m_painter->restore();
}

Size QtDrawingSurface::TextExtent(std::string_view text)
{
    const QRect bounds =
        QFontMetrics(m_font).boundingRect(QRect(), kTextFlags, ToQt(std::string(text)));
    return { bounds.width(), QFontMetrics(m_font).height() };
}

Size QtDrawingSurface::TextExtent16(std::u16string_view text)
{
    const QString string = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetrics metrics(m_font);
    return { metrics.horizontalAdvance(string), metrics.height() };
}

void QtDrawingSurface::DrawBitmap(int x, int y, const Bitmap &bitmap, const PixelMask *mask)
{
    if (!m_painter || bitmap.width <= 0 || bitmap.height <= 0)
        return;
    QImage image(bitmap.width, bitmap.height, QImage::Format_ARGB32);
    for (int row = 0; row < bitmap.height; ++row)
        for (int column = 0; column < bitmap.width; ++column) {
            const size_t i = static_cast<size_t>(row) * static_cast<size_t>(bitmap.width)
                + static_cast<size_t>(column);
            const bool shown = !mask || (i < mask->size() && (*mask)[i]);
            const Colour c = bitmap.pixels[i];
            image.setPixel(column, row,
                shown ? qRgba(RedOf(c), GreenOf(c), BlueOf(c), 255) : qRgba(0, 0, 0, 0));
        }
    m_painter->drawImage(x, y, image);
}

} // namespace ostrel

#pragma once

#include <QProxyStyle>

namespace ostrel {

// The application's style with owner-drawn menu entries: an entry of an OwnerDrawMenu is
// measured and drawn by the menu's owner; everything else is left to the running style.
// Installed application-wide, since a style set on one menu does not reach its submenus.
class IconMenuStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
        const QWidget *widget) const override;
};

// Makes the application's style an IconMenuStyle over the present one (once).
void InstallIconMenuStyle();

} // namespace ostrel

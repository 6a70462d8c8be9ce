#include "menus/icon_menu_style.h"

#include "menus/owner_draw_menu.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace ostrel {

void IconMenuStyle::drawControl(ControlElement element, const QStyleOption *option,
    QPainter *painter, const QWidget *widget) const
{
    if (element == CE_MenuItem && painter)
        if (const auto *menu = qobject_cast<const OwnerDrawMenu *>(widget))
            if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option))
                if (menu->DrawEntry(*item, *painter))
                    return;
    QProxyStyle::drawControl(element, option, painter, widget);
}

QSize IconMenuStyle::sizeFromContents(
    ContentsType type, const QStyleOption *option, const QSize &size, const QWidget *widget) const
{
    if (type == CT_MenuItem)
        if (const auto *menu = qobject_cast<const OwnerDrawMenu *>(widget))
            if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option))
                if (const std::optional<QSize> measured = menu->MeasureEntry(*item))
                    return *measured;
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void InstallIconMenuStyle()
{
    if (qobject_cast<IconMenuStyle *>(QApplication::style()))
        return;
    // The proxy takes a fresh copy of the running style as its base.
    QApplication::setStyle(new IconMenuStyle(QStyleFactory::create(QApplication::style()->name())));
}

} // namespace ostrel

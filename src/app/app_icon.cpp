#include "app/app_icon.h"

#include <QIcon>

namespace ostrel {

const QIcon &AppIcon()
{
    static const QIcon icon = [] {
        QIcon sizes;
        for (const int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
            sizes.addFile(QStringLiteral(":/res/icons/ostrel-%1.png").arg(size), QSize(size, size));
        return sizes;
    }();
    return icon;
}

} // namespace ostrel

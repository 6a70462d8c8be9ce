#include "platform/backup_folder.h"

#include "platform/qt_services.h"

#include <QDir>
#include <QStandardPaths>

namespace ostrel {

std::string SaveBackupFolder()
{
    QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty())
        cache = QDir::tempPath();
    return FromQt(cache) + "/save-backups";
}

} // namespace ostrel

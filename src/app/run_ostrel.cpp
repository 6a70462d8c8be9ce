#include "app/app_services.h"
#include "app/main_frame.h"
#include "app/quorlen_app.h"
#include "platform/qt_services.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace ostrel {

int RunOstrel(QApplication &application)
{
    QApplication::setApplicationName(QStringLiteral("Ostrel"));
    QtMessageBoxes messages;
    QtFileDialogs fileDialogs;
    QtSleeper sleeper;
    QtProfile profile;
    QtClipboard clipboard;
    AppServices services { messages, fileDialogs, sleeper, profile, clipboard };
    AppPaths paths {
        FromQt(QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath()),
        FromQt(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)),
    };

    std::vector<std::string> arguments;
    for (const QString &argument : QCoreApplication::arguments())
        arguments.push_back(FromQt(argument));

    CQuorlenApp app(services, paths);
    if (!app.InitInstance(arguments))
        return 1;
    messages.SetOwner(app.MainFrame());
    fileDialogs.SetOwner(app.MainFrame());
    return application.exec();
}

} // namespace ostrel

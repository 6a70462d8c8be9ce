#include "app/app_services.h"
#include "app/main_frame.h"
#include "app/quorlen_app.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "framework/doc_template.h"
#include "platform/qt_platform_extras.h"
#include "platform/qt_process_launcher.h"
#include "platform/qt_services.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace ostrel {

namespace {

// For the start-up benchmark: say when the first source window has been painted, then quit.
void ReportFirstPaint(CQuorlenApp &app)
{
    const auto documents = app.DocTemplate().Documents();
    if (documents.empty() || documents.front()->Views().empty())
        return;
    QObject::connect(documents.front()->Views().front(), &CQuorlenView::firstPainted, [] {
        std::fputs("painted\n", stdout);
        std::fflush(stdout);
        // Not from inside the paint event: quitting closes and deletes the windows at once.
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
}

} // namespace

int RunOstrel(QApplication &application)
{
    QApplication::setApplicationName(QStringLiteral("Ostrel"));
    QtMessageBoxes messages;
    QtFileDialogs fileDialogs;
    QtSleeper sleeper;
    QtProfile profile;
    QtClipboard clipboard;
    QtKeyboardLocks keyboardLocks;
    QtPrintSetup printSetup;
    QtProcessLauncher processes;
    AppServices services { messages, fileDialogs, sleeper, profile, clipboard, keyboardLocks,
        printSetup, processes };
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
    printSetup.SetOwner(app.MainFrame());
    if (qEnvironmentVariableIsSet("OSTREL_REPORT_FIRST_PAINT"))
        ReportFirstPaint(app);
    return application.exec();
}

} // namespace ostrel

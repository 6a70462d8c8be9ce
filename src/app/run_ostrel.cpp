#include "app/app_services.h"
#include "app/main_frame.h"
#include "app/qt_service_set.h"
#include "app/quorlen_app.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "framework/doc_template.h"

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

int RunOstrel(QApplication &application, const std::vector<std::string> &arguments)
{
    QApplication::setApplicationName(QStringLiteral("Ostrel"));
    QtServiceSet services;
    AppPaths paths {
        FromQt(QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath()),
        FromQt(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)),
        FromQt(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
    };

    CQuorlenApp app(services.Services(), paths);
    if (!app.InitInstance(arguments))
        return 1;
    services.SetOwner(app.MainFrame());
    if (qEnvironmentVariableIsSet("OSTREL_REPORT_FIRST_PAINT"))
        ReportFirstPaint(app);
    return application.exec();
}

} // namespace ostrel

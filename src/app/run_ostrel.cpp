#include "app/app_icon.h"
#include "app/app_services.h"
#include "app/main_frame.h"
#include "app/qt_service_set.h"
#include "app/quorlen_app.h"
#include "app/version_file.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace ostrel {

namespace {

// Beside an installed program: the workspace file goes to the user's configuration folder.
constexpr char kPerUserWorkspaceMarker[] = "per-user-workspace";

// For the start-up benchmark and the install test: say where the program found its files, and
// when the first source window has been painted; then quit, at once or `lingerMs` later (so
// that the benchmark can read the memory of the settled program).
void ReportFirstPaint(CQuorlenApp &app, int lingerMs)
{
    std::printf("program directory: %s\nversion: %s\nworkspace: %s\n", app.ProgramDir().c_str(),
        ReadVersionLine(app.ProgramDir() + "version.txt").c_str(), app.WorkspacePath().c_str());
    const auto documents = app.DocManager().Documents();
    if (documents.empty() || documents.front()->Views().empty())
        return;
    QObject::connect(documents.front()->Views().front(), &CQuorlenView::firstPainted, [lingerMs] {
        std::fputs("painted\n", stdout);
        std::fflush(stdout);
        // Not from inside the paint event: quitting closes and deletes the windows at once.
        QTimer::singleShot(std::max(lingerMs, 0), qApp, &QCoreApplication::quit);
    });
}

} // namespace

int RunOstrel(QApplication &application, const std::vector<std::string> &arguments)
{
    QApplication::setApplicationName(QStringLiteral("Ostrel"));
    QtServiceSet services;
    QApplication::setWindowIcon(AppIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ostrel.Ostrel"));
    // The program's real folder, links resolved: bin/ostrel of an install is a link to it.
    const QString programDir =
        QFileInfo(QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath())
            .absolutePath();
    AppPaths paths {
        FromQt(programDir),
        FromQt(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)),
        FromQt(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
        QFileInfo::exists(QDir(programDir).filePath(QLatin1String(kPerUserWorkspaceMarker))),
    };

    CQuorlenApp app(services.Services(), paths);
    if (!app.InitInstance(arguments))
        return 1;
    services.SetOwner(app.MainFrame());
    if (qEnvironmentVariableIsSet("OSTREL_REPORT_FIRST_PAINT"))
        ReportFirstPaint(app, qEnvironmentVariableIntValue("OSTREL_REPORT_FIRST_PAINT"));
    return application.exec();
}

} // namespace ostrel

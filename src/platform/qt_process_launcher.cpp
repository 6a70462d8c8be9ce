#include "platform/qt_process_launcher.h"

#include "platform/qt_services.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

namespace ostrel {

namespace {

QStringList ArgumentsAfterProgram(const std::vector<std::string> &arguments)
{
    QStringList list;
    for (size_t i = 1; i < arguments.size(); ++i)
        list.append(ToQt(arguments[i]));
    return list;
}

// The busy cursor while the program waits for a child.
class BusyCursor
{
public:
    BusyCursor()
        : m_shown(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (m_shown)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor()
    {
        if (m_shown)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    bool m_shown;
};

} // namespace

LaunchResult QtProcessLauncher::Run(
    const std::vector<std::string> &arguments, const std::string &workingDirectory)
{
    LaunchResult result;
    if (arguments.empty())
        return result;
    QProcess process;
    process.setProgram(ToQt(arguments.front()));
    process.setArguments(ArgumentsAfterProgram(arguments));
    if (!workingDirectory.empty())
        process.setWorkingDirectory(ToQt(workingDirectory));
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());

    const BusyCursor busy;
    process.start();
    if (!process.waitForStarted(-1))
        return result;
    result.started = true;
    process.waitForFinished(-1);
    // A crash is reported as an error; only a normal exit has an exit code.
    result.crashed =
        process.exitStatus() == QProcess::CrashExit || process.error() == QProcess::Crashed;
    if (!result.crashed)
        result.exitCode = process.exitCode();
    return result;
}

bool QtProcessLauncher::StartDetached(
    const std::vector<std::string> &arguments, const std::string &workingDirectory)
{
    if (arguments.empty())
        return false;
    QProcess process;
    process.setProgram(ToQt(arguments.front()));
    process.setArguments(ArgumentsAfterProgram(arguments));
    if (!workingDirectory.empty())
        process.setWorkingDirectory(ToQt(workingDirectory));
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

bool QtProcessLauncher::CanFind(const std::string &program) const
{
    if (program.empty())
        return false;
    const QString name = ToQt(program);
    if (name.contains(QLatin1Char('/'))) {
        const QFileInfo file(name);
        return file.isFile() && file.isExecutable();
    }
    return !QStandardPaths::findExecutable(name).isEmpty();
}

} // namespace ostrel

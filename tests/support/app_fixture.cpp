#include "support/app_fixture.h"

#include "compile/build_controller.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <filesystem>

namespace ostrel::test {

AppFixture::AppFixture()
{
    std::filesystem::create_directories(ProgramDir());
}

AppFixture::~AppFixture()
{
    app.reset();
}

CQuorlenApp &AppFixture::Start(const std::vector<std::string> &words)
{
    app = std::make_unique<CQuorlenApp>(
        Services(), AppPaths { ProgramDir(), dir.File("config"), dir.File("data") });
    std::vector<std::string> arguments { ProgramDir() + "/ostrel" };
    arguments.insert(arguments.end(), words.begin(), words.end());
    app->InitInstance(arguments);
    return *app;
}

} // namespace ostrel::test

namespace ostrel::test {

bool AppFixture::WaitForBuild(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    // A running build looks at its compiler from a timer, so the loop wakes up regularly.
    while (app->Build().Driver().Running() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return !app->Build().Driver().Running();
}

} // namespace ostrel::test

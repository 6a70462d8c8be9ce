#include "support/app_fixture.h"

#include "app/workspace_file.h"
#include "compile/build_controller.h"
#include "project/project_file.h"

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

bool AppFixture::PrepareProject(const ProjectRecord &project, const std::string &compiler)
{
    FakeMessageBoxes quiet;
    if (!SaveProject(project, quiet))
        return false;
    WriteBytes(WorkspacePath(), EncodeWorkspace({ project.cFile, 1, project.projectPath }));
    std::error_code error;
    std::filesystem::copy_file(compiler, std::filesystem::path(ProgramDir()) / "OSTREL.EXE",
        std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

} // namespace ostrel::test

#include "support/app_fixture.h"

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

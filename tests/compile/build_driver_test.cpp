#include "compile/build_driver.h"
#include "fakes/fake_services.h"
#include "project/project_session.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace ostrel {
namespace {

using Texts = std::vector<std::string>;

// The windows around the driver: an active, saved document; what the driver asks is counted.
class RecordingHost : public BuildHost
{
public:
    bool HasActiveDocument() const override { return true; }
    bool ActiveDocumentModified() const override { return false; }
    bool ActiveDocumentHasPath() const override { return true; }
    void SaveActiveDocument() override { }
    void BuildStarting() override { ++starts; }
    void ShowOutputWindow() override { ++windows; }
    void BuildFinished() override { ++finishes; }
    void ShowStatus(const std::string &text) override { status.push_back(text); }
    Texts ModifiedOtherDocuments(const Texts &paths) const override
    {
        Texts open;
        for (const std::string &path : paths)
            if (std::find(modified.begin(), modified.end(), path) != modified.end())
                open.push_back(path);
        return open;
    }
    bool SaveDocument(const std::string &path) override
    {
        saved.push_back(path);
        return path != cannotSave;
    }

    Texts modified; // open, changed documents besides the active one
    Texts saved;
    std::string cannotSave;

    int starts = 0;
    int windows = 0;
    int finishes = 0;
    Texts status;
};

class BuildDriverTest : public ::testing::Test
{
protected:
    BuildDriverTest()
    {
        project.StartNew(dir.File("MAIN.PRJ"));
        ProjectRecord values = project.Record();
        values.cFile = dir.File("MAIN.C");
        project.ApplySettings(values, BuildOptionsFromDialog(values));
        project.SetOpen(true);
    }

    // What the compiler does as it runs: writes a new message file, as the real one does
    // (a temporary file renamed over the old one).
    void CompilerWrites(const std::string &messages)
    {
        launcher.onRun = [this, messages](const auto &) {
            test::WriteText(dir.File("OUTPUT.new"), messages);
            std::filesystem::rename(dir.File("OUTPUT.new"), dir.File("OUTPUT.ERR"));
        };
    }

    test::TempDir dir;
    ProjectSession project;
    RecordingHost host;
    test::FakeMessageBoxes messages;
    test::FakeProcessLauncher launcher;
    test::FakeSleeper sleeper;
    BuildDriver driver { host, messages, launcher, sleeper };
};

TEST_F(BuildDriverTest, TheBuildRunsWhileTheProgramGoesOnAndOneAtATime)
{
    CompilerWrites("Error  MAIN.C(3): x\r\n1 error(s)");
    ASSERT_TRUE(driver.Compile(dir.File("bin"), project));
    EXPECT_TRUE(driver.Running());
    EXPECT_EQ(driver.Entries(), Texts { "Building MAIN.C ..." });
    EXPECT_EQ(host.windows, 1);
    EXPECT_EQ(launcher.calls.at(0).timeLimitMs, BuildDriver::kDefaultTimeLimitS * 1000);

    EXPECT_FALSE(driver.Compile(dir.File("bin"), project));
    EXPECT_EQ(host.status, Texts { "A build is already running." });
    EXPECT_EQ(launcher.calls.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());

    ASSERT_TRUE(launcher.Finish({ true, false, 1 })); // a failed build is listed all the same
    EXPECT_FALSE(driver.Running());
    EXPECT_EQ(sleeper.sleeps, std::vector<int> { BuildDriver::kMessageFileDelayMs });
    EXPECT_EQ(driver.Entries(), (Texts { "Error  MAIN.C(3): x", "1 error(s)" }));
    EXPECT_EQ(host.finishes, 1);
    EXPECT_TRUE(driver.Compile(dir.File("bin"), project));
}

TEST_F(BuildDriverTest, ChangedProjectSourcesInOtherWindowsAreSavedWhenTheUserSays)
{
    ProjectRecord values = project.Record();
    values.extension.cFiles = { dir.File("UART.C"), dir.File("SPI.C") };
    project.ApplySettings(values, BuildOptionsFromDialog(values));
    struct Case
    {
        MessageAnswer answer;
        std::string cannotSave;
        Texts saved;
        bool builds;
    };
    const Case cases[] = {
        { MessageAnswer::Yes, "", { dir.File("UART.C"), dir.File("SPI.C") }, true },
        { MessageAnswer::No, "", {}, true },
        { MessageAnswer::Cancel, "", {}, false },
        { MessageAnswer::Yes, dir.File("UART.C"), { dir.File("UART.C") }, false },
    };
    for (const Case &c : cases) {
        RecordingHost other;
        other.modified = { dir.File("SPI.C"), dir.File("NOTES.C"), dir.File("UART.C") };
        other.cannotSave = c.cannotSave;
        test::FakeMessageBoxes asked;
        asked.answers = { c.answer };
        test::FakeProcessLauncher started;
        BuildDriver build { other, asked, started, sleeper };
        EXPECT_EQ(build.Compile(dir.File("bin"), project), c.builds);
        ASSERT_EQ(asked.shown.size(), 1u);
        EXPECT_EQ(asked.shown[0].text,
            "These project files are modified:\nUART.C\nSPI.C\n\nSave them before the build ?");
        EXPECT_EQ(other.saved, c.saved);
        EXPECT_EQ(started.calls.size(), c.builds ? 1u : 0u);
    }
}

TEST_F(BuildDriverTest, CancelAndTheTimeLimitEndTheBuildWithALineThatSaysSo)
{
    struct Case
    {
        const char *limit; // OSTREL_BUILD_TIMEOUT_S
        bool cancel;
        int limitMs;
        std::string line;
    };
    const Case cases[] = {
        { nullptr, true, 600'000, "Build cancelled." },
        { "5", false, 5'000,
            "The build was stopped after 5 seconds: that is as long as a build may run." },
        { "soon", false, 600'000,
            "The build was stopped after 600 seconds: that is as long as a build may run." },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        if (c.limit)
            setenv("OSTREL_BUILD_TIMEOUT_S", c.limit, 1);
        else
            unsetenv("OSTREL_BUILD_TIMEOUT_S");
        ASSERT_TRUE(driver.Compile(dir.File("bin"), project));
        EXPECT_EQ(launcher.calls.back().timeLimitMs, c.limitMs);
        if (c.cancel) {
            driver.Cancel();
            EXPECT_EQ(launcher.cancels, 1);
        } else {
            LaunchResult expired { true, true };
            expired.timedOut = true;
            launcher.Finish(expired);
        }
        EXPECT_FALSE(driver.Running());
        EXPECT_FALSE(launcher.AnyRunning());
        EXPECT_EQ(driver.Entries(), (Texts { "Building MAIN.C ...", c.line }));
        EXPECT_TRUE(sleeper.sleeps.empty()); // no message file is read
    }
    unsetenv("OSTREL_BUILD_TIMEOUT_S");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(BuildDriverTest, AMessageFileTheBuildDidNotWriteIsNeverItsResult)
{
    test::WriteText(dir.File("OUTPUT.ERR"), "0 error(s), 0 warning(s)"); // an earlier build's
    ASSERT_TRUE(driver.Compile(dir.File("bin"), project));
    launcher.Finish();
    EXPECT_EQ(driver.Entries(), Texts { "The compiler left no message file for this build." });
    driver.ReadMessages(); // the Output Window command reads it again
    EXPECT_EQ(driver.Entries(), Texts { "The compiler left no message file for this build." });

    CompilerWrites("0 error(s), 0 warning(s)");
    ASSERT_TRUE(driver.Compile(dir.File("bin"), project));
    launcher.Finish();
    EXPECT_EQ(driver.Entries(), Texts { "0 error(s), 0 warning(s)" });
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(BuildDriverTest, AMissingMessageFileIsReportedWithItsPathAndReason)
{
    driver.ReadMessages(); // before any build
    ASSERT_TRUE(driver.Compile(dir.File("bin"), project));
    launcher.Finish();
    EXPECT_EQ(messages.Texts(),
        (Texts { "Cannot open file\nNo compile has run yet.",
            "Cannot open file\n" + dir.File("OUTPUT.ERR") + "\nNo such file or directory" }));
    EXPECT_TRUE(driver.Entries().empty());
}

} // namespace
} // namespace ostrel

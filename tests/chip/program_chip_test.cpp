// Ctrl+F9 with the real avrdude and the real OSTREL.EXE: the example's firmware goes through
// STK500 version 1 on a pseudo-terminal into the test programmer's emulated chip.
#include "app/main_frame.h"
#include "chip/program_controller.h"
#include "chip/programmer_settings_dlg.h"
#include "compile/build_controller.h"
#include "compile/output_window.h"
#include "editor/child_frame.h"
#include "editor/quorlen_view.h"
#include "platform/qt_process_launcher.h"
#include "support/app_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace ostrel {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

// The bytes of an Intel hex file's data records, by address.
std::map<unsigned, uint8_t> HexBytes(const fs::path &path)
{
    std::map<unsigned, uint8_t> bytes;
    std::ifstream file(path);
    std::string line;
    unsigned base = 0;
    while (std::getline(file, line)) {
        auto byte = [&](size_t i) {
            return static_cast<unsigned>(std::stoul(line.substr(1 + 2 * i, 2), nullptr, 16));
        };
        const unsigned count = byte(0), address = (byte(1) << 8) | byte(2), type = byte(3);
        if (type == 2)
            base = ((byte(4) << 8) | byte(5)) << 4;
        if (type == 0)
            for (unsigned i = 0; i < count; ++i)
                bytes[base + address + i] = static_cast<uint8_t>(byte(4 + i));
    }
    return bytes;
}

// The test programmer, running while it lives.
class TestProgrammer
{
public:
    TestProgrammer(const fs::path &dir, const std::string &signature, const std::string &mode)
        : m_dir(dir)
    {
        fs::create_directories(dir);
        const std::string command = "exec " + std::string(STK500_CHIP) + " '" + dir.string() + "' "
            + signature + " 8192 512 " + mode;
        m_pipe = popen(command.c_str(), "r");
        char line[256] = {};
        char port[200] = {};
        if (std::fgets(line, sizeof line, m_pipe)
            && std::sscanf(line, "%d %199s", &m_pid, port) == 2)
            m_port = port;
    }
    ~TestProgrammer()
    {
        if (m_pid > 0)
            kill(m_pid, SIGKILL);
        pclose(m_pipe);
    }
    const std::string &Port() const { return m_port; }
    std::string Writes() const { return ReadAll(m_dir / "writes.txt"); }
    std::string Flash() const { return ReadAll(m_dir / "flash.bin"); }
    bool Silent() const { return fs::exists(m_dir / "silent.txt"); }

private:
    fs::path m_dir;
    FILE *m_pipe = nullptr;
    int m_pid = 0;
    std::string m_port;
};

bool WaitFor(const std::function<bool()> &condition, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

TEST(ProgramChip, RealAvrdudeWritesVerifiesRefusesAndEndsAStalledOrCancelledRun)
{
    for (const char *tool : { "avr-gcc", "avr-objcopy", "avrdude" })
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed (`make test` installs it)";
    test::AppFixture f;
    const fs::path example = fs::path(OSTREL_SOURCE_DIR) / "examples" / "blink";
    // avrdude splits its -U argument at colons: the folder's colon must not matter.
    const fs::path work = f.dir.Path() / "my:blink";
    fs::create_directories(work);
    fs::copy_file(example / "BLINK.C", work / "BLINK.C");
    fs::copy_file(example / "START.ASM", work / "START.ASM");
    ProjectRecord project;
    project.projectPath = (work / "BLINK.PRJ").string();
    project.cFile = (work / "BLINK.C").string();
    project.asmFile = (work / "START.ASM").string();
    project.extension.programmer.programmer = "stk500v1";
    ASSERT_TRUE(f.PrepareProject(project, OSTRELCC_EXE));
    QtProcessLauncher launcher;
    f.launcher = &launcher;
    f.sleeper.held.insert(AvrdudeMonitor::kStallSeconds * 1000);
    CQuorlenApp &app = f.Start();
    ProgramController &programmer = app.Programmer();
    auto *view =
        qobject_cast<CChildFrame *>(app.MainFrame()->MdiArea()->activeSubWindow())->GetView();

    // Pictures of the windows for the build's artifacts.
    const QString artifacts = QStringLiteral(OSTREL_BINARY_DIR "/artifacts");
    QDir().mkpath(artifacts);
    auto picture = [&](QWidget *window, const char *name) {
        EXPECT_TRUE(window->grab().toImage().save(artifacts + QLatin1Char('/') + name));
    };

    // The port is set in the dialog, with keys, for each programmer started.
    auto setPort = [&](const std::string &port) {
        test::ModalAnswer<CProgrammerSettingsDlg> answer([&](CProgrammerSettingsDlg &dialog) {
            EXPECT_EQ(dialog.Programmer()->currentText(), QStringLiteral("stk500v1"));
            picture(&dialog, "programmer_settings.png");
            dialog.Port()->setFocus();
            dialog.Port()->selectAll();
            QTest::keyClicks(dialog.Port(), QString::fromStdString(port));
            QTest::keyClick(dialog.Port(), Qt::Key_Return);
        });
        programmer.EditSettings();
        ASSERT_EQ(app.Project().Record().extension.programmer.port, port);
    };
    auto program = [&] {
        QApplication::setActiveWindow(app.MainFrame());
        view->setFocus();
        QTest::keyClick(view, Qt::Key_F9, Qt::ControlModifier);
    };
    auto last = [&] {
        return programmer.Lines().empty() ? std::string() : programmer.Lines().back();
    };

    {
        TestProgrammer chip(f.dir.Path() / "good", "1e9301", "-");
        setPort(chip.Port());
        program(); // builds first: there is no .hex yet
        ASSERT_TRUE(WaitFor([&] {
            return !programmer.Busy();
        }));
        EXPECT_EQ(last(), "Done: the chip is programmed and verified.");
        if (QWidget *output = app.Build().OutputWindow()) {
            output->resize(760, 420);
            picture(output, "program_chip_output.png");
        }
        const auto image = HexBytes(work / "BLINK.hex");
        ASSERT_FALSE(image.empty());
        const std::string flash = chip.Flash();
        for (const auto &[address, byte] : image)
            ASSERT_EQ(static_cast<uint8_t>(flash.at(address)), byte) << "at " << address;
    }
    {
        TestProgrammer chip(f.dir.Path() / "other", "1e9101", "-");
        setPort(chip.Port());
        program();
        ASSERT_TRUE(WaitFor([&] {
            return !programmer.Busy();
        }));
        EXPECT_NE(last().find("1E 91 01, not the 1E 93 01"), std::string::npos) << last();
        EXPECT_EQ(chip.Writes(), "0 0\n"); // no erase, no write
    }
    {
        TestProgrammer chip(f.dir.Path() / "corrupt", "1e9301", "corrupt");
        setPort(chip.Port());
        program();
        ASSERT_TRUE(WaitFor([&] {
            return !programmer.Busy();
        }));
        EXPECT_EQ(last().rfind("Verifying failed", 0), 0u) << last();
    }
    for (const bool cancel : { false, true }) {
        TestProgrammer chip(
            f.dir.Path() / (cancel ? "cancel" : "stall"), "1e9301", "silent-after-20");
        setPort(chip.Port());
        program();
        ASSERT_TRUE(WaitFor([&] {
            return chip.Silent();
        }));
        // The editor takes keys while avrdude waits for the programmer.
        view->setFocus();
        QTest::keyClicks(view, QStringLiteral("/*x*/"));
        EXPECT_TRUE(view->text().startsWith(QStringLiteral("/*x*/")));
        view->undo();
        ASSERT_TRUE(programmer.Running());
        if (cancel)
            QTest::mouseClick(programmer.CancelButton(), Qt::LeftButton);
        else
            EXPECT_EQ(f.sleeper.FireHeld(), 1); // the time without progress is up
        // Cancel and the stall limit end avrdude at once; a second is room to spare.
        ASSERT_TRUE(WaitFor(
            [&] {
                return !programmer.Busy();
            },
            3000));
        EXPECT_NE(last().find(cancel ? "cancelled" : "stopped answering"), std::string::npos)
            << last();
        EXPECT_NE(last().find("partly written"), std::string::npos);
    }
}

} // namespace
} // namespace ostrel

#include "chip/serial_monitor.h"
#include "fakes/fake_services.h"
#include "support/temp_dir.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace ostrel {
namespace {

// Waits that the test ends when it likes.
class ManualSleeper : public Sleeper
{
public:
    std::unique_ptr<PendingWait> After(int, std::function<void()> then) override
    {
        m_waits.push_back(std::move(then));
        return std::make_unique<PendingWait>();
    }
    void EndAll()
    {
        auto waits = std::move(m_waits);
        m_waits.clear();
        for (auto &then : waits)
            then();
    }

private:
    std::vector<std::function<void()>> m_waits;
};

// The far end of a serial line: the master side of a pseudo-terminal.
class PtyPair
{
public:
    PtyPair()
    {
        char name[128];
        EXPECT_EQ(openpty(&m_master, &m_slave, name, nullptr, nullptr), 0);
        fcntl(m_master, F_SETFL, O_NONBLOCK);
        m_name = name;
    }
    ~PtyPair() { Unplug(); }
    void Unplug()
    {
        for (int *fd : { &m_master, &m_slave }) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    }
    const std::string &Name() const { return m_name; }
    void Write(const std::string &bytes)
    {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // What the monitor sent, once `count` bytes have come.
    std::string Read(size_t count)
    {
        std::string got;
        const bool came = QTest::qWaitFor([&] {
            char buffer[4096];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, size_t(n));
            return got.size() >= count;
        });
        EXPECT_TRUE(came) << got.size() << " of " << count << " bytes";
        return got;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_name;
};

std::string AllBytes()
{
    std::string bytes;
    for (int value = 0; value < 256; ++value)
        bytes += static_cast<char>(value);
    return bytes;
}

class SerialMonitorTest : public testing::Test
{
protected:
    SerialMonitorTest()
        : monitor({ sleeper, dialogs, messages }, nullptr)
    {
        monitor.show();
    }
    bool OpenOn(const std::string &path)
    {
        monitor.PortBox()->setCurrentText(QString::fromStdString(path));
        QTest::mouseClick(monitor.findChild<QPushButton *>("open"), Qt::LeftButton);
        return monitor.IsOpen();
    }
    void WaitForBytes(uint64_t count)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return monitor.Log().ReceivedBytes() >= count;
        }));
    }
    std::string Shown()
    {
        monitor.FlushNow();
        return monitor.View()->toPlainText().toStdString();
    }
    void SendTyped(const QString &text)
    {
        monitor.SendEdit()->setFocus();
        QTest::keyClicks(monitor.SendEdit(), text);
        QTest::keyClick(monitor.SendEdit(), Qt::Key_Return);
    }

    ManualSleeper sleeper;
    test::FakeFileDialogs dialogs;
    test::FakeMessageBoxes messages;
    CSerialMonitor monitor;
    PtyPair pty;
};

TEST_F(SerialMonitorTest, EveryByteArrivesAndLeavesExactlyAndHexViewAndSaveShowThemAll)
{
    ASSERT_TRUE(OpenOn(pty.Name()));
    pty.Write(AllBytes());
    WaitForBytes(256);
    EXPECT_EQ(monitor.Log().Kept(), AllBytes());

    SerialViewOptions hex;
    hex.view = SerialView::Hex;
    monitor.SetViewOptions(hex);
    // The hex columns of the view read back as the bytes sent.
    std::string fromView;
    for (const QString &line : QString::fromStdString(Shown()).split('\n')) {
        if (line.startsWith("---"))
            continue; // the monitor's own lines
        for (const QString &word :
            line.left(kSerialHexBytesPerLine * 3).split(' ', Qt::SkipEmptyParts)) {
            if (word.size() == 2)
                fromView += static_cast<char>(word.toInt(nullptr, 16));
        }
    }
    EXPECT_EQ(fromView, AllBytes());
    // A picture of the window for the build's artifacts.
    const QString folder = QStringLiteral(OSTREL_BINARY_DIR "/artifacts");
    QDir().mkpath(folder);
    monitor.resize(760, 480);
    EXPECT_TRUE(monitor.grab().toImage().save(folder + QStringLiteral("/serial_monitor.png")));

    test::TempDir dir;
    dialogs.saveAnswers.push_back(dir.File("out.txt"));
    QTest::mouseClick(monitor.findChild<QPushButton *>("save"), Qt::LeftButton);
    const Bytes saved = test::ReadBytes(dir.File("out.txt"));
    EXPECT_EQ(std::string(saved.begin(), saved.end()), Shown());

    // Every byte the other way, typed as escapes; no line end.
    QString typed;
    for (int value = 0; value < 256; ++value)
        typed += QString::asprintf("\\x%02x", value);
    monitor.findChild<QComboBox *>("lineEnd")->setCurrentIndex(int(SerialLineEnd::None));
    monitor.SendEdit()->setText(typed);
    QTest::keyClick(monitor.SendEdit(), Qt::Key_Return);
    EXPECT_EQ(pty.Read(256), AllBytes());
}

TEST_F(SerialMonitorTest, SendsTheChosenLineEndAndBrowsesTheHistoryWithUpAndDown)
{
    ASSERT_TRUE(OpenOn(pty.Name()));
    const char *ends[] = { "", "\r", "\n", "\r\n" };
    for (int end = 0; end < 4; ++end) {
        monitor.findChild<QComboBox *>("lineEnd")->setCurrentIndex(end);
        SendTyped(QStringLiteral("at%1").arg(end));
        const std::string expected = "at" + std::to_string(end) + ends[end];
        EXPECT_EQ(pty.Read(expected.size()), expected);
    }
    QTest::keyClicks(monitor.SendEdit(), "draft");
    QTest::keyClick(monitor.SendEdit(), Qt::Key_Up);
    QTest::keyClick(monitor.SendEdit(), Qt::Key_Up);
    EXPECT_EQ(monitor.SendEdit()->text(), "at2");
    QTest::keyClick(monitor.SendEdit(), Qt::Key_Down);
    QTest::keyClick(monitor.SendEdit(), Qt::Key_Down);
    EXPECT_EQ(monitor.SendEdit()->text(), "draft");
    QTest::mouseClick(monitor.findChild<QPushButton *>("sendButton"), Qt::LeftButton);
    EXPECT_EQ(pty.Read(7), "draft\r\n");

    // The programmer takes the port by its real name and gives it back.
    EXPECT_FALSE(monitor.ReleasePort("/dev/ttyS99"));
    EXPECT_TRUE(monitor.ReleasePort(pty.Name()));
    EXPECT_FALSE(monitor.IsOpen());
    EXPECT_TRUE(monitor.RestorePort());
    EXPECT_TRUE(monitor.IsOpen());
}

TEST_F(SerialMonitorTest, AnUnpluggedPortIsReportedAndOpenedAgainWhenItIsBack)
{
    // The port by a link, as udev names an adapter: the link dangles while it is unplugged.
    test::TempDir dir;
    const std::filesystem::path link = dir.Path() / "ttyADAPTER";
    std::filesystem::create_symlink(pty.Name(), link);
    ASSERT_TRUE(OpenOn(link.string()));
    pty.Write("before");
    WaitForBytes(6);

    pty.Unplug();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return !monitor.IsOpen();
        },
        1000))
        << Shown();
    EXPECT_NE(
        Shown().find("before\n--- The port " + link.string() + " is gone"), std::string::npos);
    sleeper.EndAll(); // a poll while the port is still away
    EXPECT_FALSE(monitor.IsOpen());

    PtyPair replugged;
    std::filesystem::remove(link);
    std::filesystem::create_symlink(replugged.Name(), link);
    sleeper.EndAll();
    ASSERT_TRUE(monitor.IsOpen());
    replugged.Write("after");
    WaitForBytes(11);
    EXPECT_EQ(monitor.Log().Kept(), "beforeafter");
    EXPECT_NE(Shown().find(" is back ---\nafter"), std::string::npos);
}

} // namespace
} // namespace ostrel

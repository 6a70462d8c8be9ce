#include "codegen/generator_commands.h"
#include "codegen/interrupt_mask_dlg.h"
#include "codegen/io_port_dlg.h"
#include "codegen/mcucr_dlg.h"
#include "codegen/uart_dlg.h"
#include "fakes/fake_services.h"
#include "platform/qt_services.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace ostrel {
namespace {

template <typename T> T *Find(QWidget *dialog, const char *name)
{
    T *widget = dialog->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void Click(QWidget *dialog, const char *button)
{
    Find<QPushButton>(dialog, button)->click();
}

void Check(QWidget *dialog, const char *box, bool checked = true)
{
    Find<QCheckBox>(dialog, box)->setChecked(checked);
}

void Select(QWidget *dialog, const char *list, int index)
{
    Find<QComboBox>(dialog, list)->setCurrentIndex(index);
}

QString BoxText(QWidget *dialog)
{
    return Find<QPlainTextEdit>(dialog, "generatedCode")->toPlainText();
}

void PressKey(QWidget *dialog, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(dialog, &press);
}

bool HasLabel(QWidget *dialog, const QString &text)
{
    for (const QLabel *label : dialog->findChildren<QLabel *>()) {
        if (label->text() == text)
            return true;
    }
    return false;
}

QStringList Entries(QComboBox *list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries;
}

// What every dialog shows when it opens, and how its buttons behave.
struct DialogKind
{
    const char *name;
    std::function<std::unique_ptr<CGeneratorDlg>(Clipboard &)> create;
    const char *caption;
    const char *copyLabel;
    const char *closeLabel;
    bool systemMenu;
};

void PrintTo(const DialogKind &k, std::ostream *os)
{
    *os << k.name;
}

template <typename Dialog> auto Create()
{
    return [](Clipboard &clipboard) -> std::unique_ptr<CGeneratorDlg> {
        return std::make_unique<Dialog>(clipboard, nullptr);
    };
}

class GeneratorDialogTest : public ::testing::TestWithParam<DialogKind>
{
protected:
    test::FakeClipboard clipboard;
};

TEST_P(GeneratorDialogTest, OpensWithEmptyDisabledBoxAndItsButtons)
{
    const DialogKind &k = GetParam();
    auto dialog = k.create(clipboard);
    dialog->show();
    EXPECT_EQ(dialog->windowTitle(), QString::fromLatin1(k.caption));
    EXPECT_EQ(dialog->windowFlags().testFlag(Qt::WindowSystemMenuHint), k.systemMenu);
    auto *box = Find<QPlainTextEdit>(dialog.get(), "generatedCode");
    EXPECT_FALSE(box->isEnabled());
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_TRUE(box->toPlainText().isEmpty());
    EXPECT_EQ(Find<QPushButton>(dialog.get(), "generateCode")->text(), "&Generate Code");
    EXPECT_EQ(Find<QPushButton>(dialog.get(), "copyToClipboard")->text(), k.copyLabel);
    auto *close = Find<QPushButton>(dialog.get(), "close");
    EXPECT_EQ(close->text(), k.closeLabel);
    EXPECT_TRUE(close->isDefault());
}

TEST_P(GeneratorDialogTest, GenerateTwiceShowsTheSameTextAndCopyTakesItAll)
{
    auto dialog = GetParam().create(clipboard);
    dialog->show();
    Click(dialog.get(), "generateCode");
    const std::string once = dialog->GeneratedText();
    ASSERT_FALSE(once.empty());
    Click(dialog.get(), "generateCode");
    // The port dialog appends; the others replace.
    const std::string expected = qobject_cast<CIoPortDlg *>(dialog.get()) ? once + once : once;
    EXPECT_EQ(dialog->GeneratedText(), expected);
    EXPECT_EQ(BoxText(dialog.get()), ToQt(expected).replace("\r\n", "\n"));

    clipboard.SetText("old");
    Click(dialog.get(), "copyToClipboard");
    EXPECT_EQ(clipboard.Text(), expected);
}

TEST_P(GeneratorDialogTest, CloseAndEscapeEndTheDialog)
{
    for (const bool escape : { false, true }) {
        auto dialog = GetParam().create(clipboard);
        dialog->show();
        if (escape)
            PressKey(dialog.get(), Qt::Key_Escape);
        else
            Click(dialog.get(), "close");
        EXPECT_FALSE(dialog->isVisible()) << (escape ? "escape" : "close");
    }
}

// Every check box, list and edit box says which register bit it stands for, each its own.
TEST_P(GeneratorDialogTest, EverySettingControlHasItsOwnBitHelp)
{
    auto dialog = GetParam().create(clipboard);
    QStringList tooltips;
    for (QWidget *control : dialog->findChildren<QWidget *>()) {
        if (!qobject_cast<QCheckBox *>(control) && !qobject_cast<QComboBox *>(control)
            && !(qobject_cast<QLineEdit *>(control) && !control->objectName().isEmpty()))
            continue;
        EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
        EXPECT_FALSE(control->whatsThis().isEmpty()) << control->objectName().toStdString();
        EXPECT_FALSE(tooltips.contains(control->toolTip())) << control->toolTip().toStdString();
        tooltips << control->toolTip();
    }
    EXPECT_GE(tooltips.size(), 5);
}

INSTANTIATE_TEST_SUITE_P(All, GeneratorDialogTest,
    ::testing::Values(
        DialogKind { "InterruptMask", Create<CInterruptMaskDlg>(),
            "Configure Interrupt Mask Registers", "&Add to Clipboard", "&Close", true },
        DialogKind { "IoPort", Create<CIoPortDlg>(), "Configure I/O Port", "&Copy To Clipboard",
            "&Close", true },
        DialogKind { "Mcucr", Create<CMcucrDlg>(), "Configure MCU Control Register",
            "&Copy to Clipboard", "C&lose", true },
        DialogKind {
            "Uart", Create<CUartDlg>(), "UART Setting", "Co&py To Clipboard", "&Close", false }),
    [](const auto &info) {
        return std::string(info.param.name);
    });

TEST(InterruptMaskDlg, OpensClearAndGeneratesFromTheBoxes)
{
    test::FakeClipboard clipboard;
    CInterruptMaskDlg dialog(clipboard, nullptr);
    dialog.show();
    for (const char *name : { "int1", "int0", "toie1", "ocie1a", "ocie1b", "ticie1", "toie0" })
        EXPECT_FALSE(Find<QCheckBox>(&dialog, name)->isChecked()) << name;
    EXPECT_TRUE(HasLabel(&dialog, "OCE1A"));
    EXPECT_TRUE(Find<QCheckBox>(&dialog, "toie0")
                    ->toolTip()
                    .startsWith("TOIE0: Timer/Counter0 overflow interrupt enable"));
    EXPECT_TRUE(Find<QCheckBox>(&dialog, "ocie1a")->toolTip().startsWith("OCIE1A:"));
    // Shift+F1 on the focused box shows its What's This text.
    QApplication::setActiveWindow(&dialog);
    Find<QCheckBox>(&dialog, "toie0")->setFocus();
    QTest::keyClick(Find<QCheckBox>(&dialog, "toie0"), Qt::Key_F1, Qt::ShiftModifier);
    bool shown = false;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->inherits("QWhatsThat")) {
            shown = true;
            delete top;
        }
    }
    EXPECT_TRUE(shown);
    EXPECT_TRUE(HasLabel(&dialog, "INT1  "));
    EXPECT_TRUE(HasLabel(&dialog, "Generated Code"));

    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "GIMSK = 0x00 ;\r\nTIMSK = 0x00 ;\r\n");
    Check(&dialog, "int0");
    Check(&dialog, "toie0");
    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "GIMSK = 0x40 ;\r\nTIMSK = 0x02 ;\r\n");
    for (const char *name : { "int1", "toie1", "ocie1a", "ocie1b", "ticie1" })
        Check(&dialog, name);
    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "GIMSK = 0xc0 ;\r\nTIMSK = 0xea ;\r\n");
}

TEST(IoPortDlg, AppendsTheLinesOfEachPort)
{
    test::FakeClipboard clipboard;
    CIoPortDlg dialog(clipboard, nullptr);
    dialog.show();
    auto *port = Find<QComboBox>(&dialog, "port");
    EXPECT_EQ(Entries(port), QStringList({ "PORTA", "PORTB", "PORTC", "PORTD" }));
    EXPECT_EQ(port->currentIndex(), 0);
    EXPECT_TRUE(Find<QCheckBox>(&dialog, "direction4")->toolTip().startsWith("DDx4:"));
    EXPECT_TRUE(Find<QCheckBox>(&dialog, "pullUp0")->toolTip().startsWith("PORTx0:"));
    for (const char *row : { "direction", "pullUp" }) {
        for (int bit = 0; bit < 8; ++bit) {
            const QByteArray name = QByteArray(row) + QByteArray::number(bit);
            EXPECT_FALSE(Find<QCheckBox>(&dialog, name.constData())->isChecked()) << name.data();
        }
    }

    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "PORTA = 0x0 ;\r\nDDRA = 0x0 ;\r\n");

    Select(&dialog, "port", 2);
    Check(&dialog, "pullUp1");
    Check(&dialog, "pullUp0");
    for (const char *bit : { "direction7", "direction6", "direction5", "direction4" })
        Check(&dialog, bit);
    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(),
        "PORTA = 0x0 ;\r\nDDRA = 0x0 ;\r\nPORTC = 0x3 ;\r\nDDRC = 0xf0 ;\r\n");

    // Clearing a box clears exactly its own bit; the ticks stay when the port changes.
    Check(&dialog, "direction7", false);
    Check(&dialog, "pullUp0", false);
    Select(&dialog, "port", 3);
    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(),
        "PORTA = 0x0 ;\r\nDDRA = 0x0 ;\r\nPORTC = 0x3 ;\r\nDDRC = 0xf0 ;\r\n"
        "PORTD = 0x2 ;\r\nDDRD = 0x70 ;\r\n");
    Click(&dialog, "copyToClipboard");
    EXPECT_EQ(clipboard.Text(), dialog.GeneratedText());
}

TEST(McucrDlg, ListsAndTheirIndexes)
{
    test::FakeClipboard clipboard;
    CMcucrDlg dialog(clipboard, nullptr);
    dialog.show();
    EXPECT_EQ(Entries(Find<QComboBox>(&dialog, "sleepMode")),
        QStringList({ "Idel Mode", "Power Down Mode" }));
    EXPECT_EQ(Entries(Find<QComboBox>(&dialog, "sense0")),
        QStringList({ "The low level of INT0  generates an interrupt request",
            "The falling edge of INT0 generates an interrupt request",
            "The rising edge of INT0 generates an interrupt request" }));
    EXPECT_EQ(Find<QComboBox>(&dialog, "sense1")->itemText(0),
        "The low level of INT1  generates an interrupt request");
    for (const char *list : { "sleepMode", "sense0", "sense1" })
        EXPECT_EQ(Find<QComboBox>(&dialog, list)->currentIndex(), 0) << list;
    EXPECT_TRUE(HasLabel(&dialog, "Bit1 &"));
    EXPECT_TRUE(Find<QComboBox>(&dialog, "sense1")->toolTip().startsWith("ISC11, ISC10:"));

    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "MCUCR = 0x0;\r\n");
    Select(&dialog, "sleepMode", 1);
    Select(&dialog, "sense0", 1);
    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "MCUCR = 0x12;\r\n");
    Check(&dialog, "sre");
    Check(&dialog, "srw");
    Select(&dialog, "sense0", 2);
    Select(&dialog, "sense1", 2);
    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "MCUCR = 0xdf;\r\n");
}

TEST(UartDlg, OpensAt4MhzAnd9600WithReceiverAndTransmitter)
{
    test::FakeClipboard clipboard;
    CUartDlg dialog(clipboard, nullptr);
    dialog.show();
    auto *clock = Find<QLineEdit>(&dialog, "clock");
    EXPECT_EQ(clock->text(), "4");
    EXPECT_EQ(dialog.focusWidget(), clock);
    auto *baud = Find<QComboBox>(&dialog, "baudRate");
    EXPECT_EQ(Entries(baud),
        QStringList({ "110", "150", "300", "600", "1200", "2400", "4800", "9600", "19200" }));
    EXPECT_EQ(baud->currentText(), "9600");
    for (const char *name : { "rxcie", "txcie", "udrie", "rxe", "txe", "chr9", "txd8" }) {
        const bool initial = QByteArray(name) == "rxe" || QByteArray(name) == "txe";
        EXPECT_EQ(Find<QCheckBox>(&dialog, name)->isChecked(), initial) << name;
    }
    EXPECT_EQ(Find<QCheckBox>(&dialog, "chr9")->text(), "CHR9");

    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "UBRR = 0x0019 ;\r\nUCR = 0x18 ;");

    clock->setText(" 3.6864 ");
    baud->setCurrentText("19200");
    Check(&dialog, "rxe", false);
    Check(&dialog, "txe", false);
    Check(&dialog, "chr9");
    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "UBRR = 0x000b ;\r\nUCR = 0x6 ;");
    clock->setText("fast");
    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "UBRR = 0x0000 ;\r\nUCR = 0x6 ;");
}

TEST(UartDlg, TypingTheClockUpdatesTheBaudFigures)
{
    test::FakeClipboard clipboard;
    CUartDlg dialog(clipboard, nullptr);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    auto *figures = Find<QLabel>(&dialog, "baudFigures");
    auto *verdict = Find<QLabel>(&dialog, "baudVerdict");
    EXPECT_EQ(figures->text(), "UBRR 25 gives 9615 baud, error +0.2 %");
    EXPECT_EQ(verdict->text(), "good");
    const QColor good = verdict->palette().color(QPalette::WindowText);

    auto *clock = Find<QLineEdit>(&dialog, "clock");
    ASSERT_EQ(QApplication::focusWidget(), clock);
    QTest::keyClick(clock, Qt::Key_Backspace);
    EXPECT_TRUE(figures->text().isEmpty()) << "an empty clock shows no figure";
    QTest::keyClicks(clock, "16");
    EXPECT_EQ(figures->text(), "UBRR 103 gives 9615 baud, error +0.2 %");
    QTest::keyClicks(clock, ",5");
    EXPECT_TRUE(figures->text().isEmpty());
    EXPECT_TRUE(verdict->text().isEmpty());
    QTest::keyClick(clock, Qt::Key_Backspace);
    QTest::keyClick(clock, Qt::Key_Backspace);

    // The baud list, stepped with the keyboard, updates them too: 300 baud at 16 MHz needs
    // a divisor the 8-bit register cannot hold.
    auto *baud = Find<QComboBox>(&dialog, "baudRate");
    baud->setFocus();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(baud, Qt::Key_Up);
    ASSERT_EQ(baud->currentText(), "300");
    EXPECT_EQ(figures->text(), "UBRR 3332 is out of range for the chip (8 bits, at most 255)");
    EXPECT_EQ(verdict->text(), "the lowest baud rate at 16 MHz is 3906");
    EXPECT_NE(verdict->palette().color(QPalette::WindowText), good);
    // The generated code is unchanged by all this: it still shows the full divisor.
    Click(&dialog, "generateCode");
    EXPECT_EQ(dialog.GeneratedText(), "UBRR = 0x0d04 ;\r\nUCR = 0x18 ;");
}

TEST(UartDlg, EnterOnCloseEndsLikeEscape)
{
    test::FakeClipboard clipboard;
    CUartDlg dialog(clipboard, nullptr);
    dialog.show();
    PressKey(&dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// The state of every setting control, to compare two openings.
QStringList Snapshot(QWidget *dialog)
{
    QStringList state;
    for (const QCheckBox *box : dialog->findChildren<QCheckBox *>())
        state << box->objectName() + (box->isChecked() ? "=1" : "=0");
    for (const QComboBox *list : dialog->findChildren<QComboBox *>())
        state << list->objectName() + "=" + QString::number(list->currentIndex());
    for (const QLineEdit *edit : dialog->findChildren<QLineEdit *>()) {
        if (!edit->objectName().isEmpty())
            state << edit->objectName() + "=" + edit->text();
    }
    state << "code=" + BoxText(dialog);
    return state;
}

// Changes everything the user can change and generates.
void ChangeEverything(QWidget *dialog)
{
    for (QCheckBox *box : dialog->findChildren<QCheckBox *>())
        box->toggle();
    for (QComboBox *list : dialog->findChildren<QComboBox *>())
        list->setCurrentIndex(list->count() - 1);
    if (auto *clock = dialog->findChild<QLineEdit *>("clock"))
        clock->setText("8");
    Click(dialog, "generateCode");
}

class GeneratorCommandTest : public ::testing::TestWithParam<CommandId>
{
};

TEST_P(GeneratorCommandTest, RunsModallyOverTheMainWindowAndStartsAfresh)
{
    QMainWindow mainWindow;
    mainWindow.show();
    test::FakeClipboard clipboard;
    QStringList first;
    QStringList second;
    // Queued into the dialog's modal loop: note the opening state, change it all, close.
    auto inspect = [&](QStringList &snapshot) {
        QTimer::singleShot(0, &mainWindow, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->parentWidget(), &mainWindow);
            EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
            snapshot = Snapshot(dialog);
            ChangeEverything(dialog);
            EXPECT_NE(Snapshot(dialog), snapshot);
            PressKey(dialog, Qt::Key_Escape);
        });
    };
    inspect(first);
    EXPECT_TRUE(RunGeneratorDialog(GetParam(), &mainWindow, clipboard));
    inspect(second);
    EXPECT_TRUE(RunGeneratorDialog(GetParam(), &mainWindow, clipboard));
    EXPECT_EQ(first, second);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Commands, GeneratorCommandTest,
    ::testing::Values(CommandId::InterruptMasks, CommandId::IoPinsDirection,
        CommandId::McucrSettings, CommandId::UartSettings),
    [](const auto &info) {
        return std::to_string(static_cast<int>(info.param));
    });

TEST(GeneratorCommand, OtherCommandsAreNotGenerators)
{
    test::FakeClipboard clipboard;
    EXPECT_FALSE(RunGeneratorDialog(CommandId::Compile, nullptr, clipboard));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace ostrel

#include "fakes/fake_services.h"
#include "project/project_settings_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace ostrel {
namespace {

// A settings dialog on screen, as the user sees it, with fake file dialogs and message boxes.
class SettingsDialogTest : public ::testing::Test
{
protected:
    void Open(const ProjectRecord &values)
    {
        dialog = std::make_unique<CProjectSettingsDlg>(values, fileDialogs, messages, nullptr);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }

    template <typename T> T *Control(const char *name)
    {
        T *control = dialog->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    void Click(const char *name) { QTest::mouseClick(Control<QWidget>(name), Qt::LeftButton); }

    QStringList Options() { return Control<QPlainTextEdit>("options")->toPlainText().split('\n'); }

    QStringList Files()
    {
        QStringList files;
        auto *list = Control<QListWidget>("files");
        for (int i = 0; i < list->count(); ++i)
            files << list->item(i)->text();
        return files;
    }

    void Browse(const std::string &path)
    {
        fileDialogs.openAnswers.push_back(path);
        Click("browse");
    }

    test::FakeFileDialogs fileDialogs;
    test::FakeMessageBoxes messages;
    std::unique_ptr<CProjectSettingsDlg> dialog;
};

ProjectRecord Mega()
{
    ProjectRecord values;
    values.projectPath = "/work/BLINK.PRJ";
    values.cFile = "/work/MAIN.C";
    values.cpuType = CpuAtmega103;
    return values;
}

TEST_F(SettingsDialogTest, EveryKeystrokeInAnAddressBoxRebuildsTheOptions)
{
    Open(Mega());
    auto *start = Control<QLineEdit>("extSramStart");
    start->setFocus();
    start->selectAll();
    QStringList seen;
    for (char key : std::string("11005")) {
        QTest::keyClick(start, key);
        seen << Options().at(2);
    }
    // The fifth character does not fit.
    EXPECT_EQ(seen, (QStringList { "/rs0x1", "/rs0x11", "/rs0x110", "/rs0x1100", "/rs0x1100" }));
    EXPECT_EQ(start->text().toStdString(), "1100");
}

TEST_F(SettingsDialogTest, AnotherChipDisablesTheMegaControlsButKeepsThem)
{
    ProjectRecord values = Mega();
    values.sreEnable = 1;
    values.extSramStart = "1100";
    Open(values);
    const char *megaOnly[] = { "extSramStart", "extSramEnd", "stackInit", "sreEnable",
        "waitState" };

    Click("chip2313");

    for (const char *name : megaOnly)
        EXPECT_FALSE(Control<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(Control<QCheckBox>("sreEnable")->isChecked());
    EXPECT_EQ(Control<QLineEdit>("extSramStart")->text().toStdString(), "1100");
    EXPECT_EQ(Options(), (QStringList { "/sm", "/c1", "/s", "/o0x30" }));

    Click("chipMega");
    for (const char *name : megaOnly)
        EXPECT_TRUE(Control<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(Options(), (QStringList { "/sm", "/c4", "/x", "/rs0x1100", "/s", "/o0x30" }));
}

TEST_F(SettingsDialogTest, AChipCheckedWithoutAClickCountsToo)
{
    // A screen reader's toggle action checks the button without a click.
    Open(Mega());
    Control<QRadioButton>("chip2313")->setChecked(true);
    EXPECT_EQ(Options(), (QStringList { "/sm", "/c1", "/s", "/o0x30" }));
    EXPECT_FALSE(Control<QWidget>("extSramStart")->isEnabled());
}

TEST_F(SettingsDialogTest, BrowseTakesOneFileOfEachKindAndRefusesOthers)
{
    ProjectRecord values = Mega();
    values.cpuType = CpuAt90s8515;
    Open(values);
    EXPECT_FALSE(Control<QWidget>("extSramStart")->isEnabled());

    Browse("/work/OTHER.c");
    Browse("/work/notes.txt");
    Browse("/work/Start.Asm");
    Browse("/work/README");
    Browse("/work/libm.a");
    fileDialogs.openAnswers.push_back(std::nullopt);
    Click("browse");

    EXPECT_EQ(Files(), (QStringList { "/work/OTHER.c", "/work/Start.Asm", "/work/libm.a" }));
    EXPECT_EQ(messages.Texts(),
        (std::vector<std::string> { "Please add valid file name", "Please add valid file name" }));
    EXPECT_EQ(Options().at(3).toStdString(), "/a/work/Start.Asm");
    EXPECT_EQ(Options().at(4).toStdString(), "/L/work/libm.a");
    const FileDialogRequest &request = fileDialogs.openRequests.at(0);
    EXPECT_EQ(request.defaultExtension, "C");
    EXPECT_FALSE(request.mustExist);

    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Values().cFile, "/work/OTHER.c");
    EXPECT_EQ(dialog->Values().asmFile, "/work/Start.Asm");
}

TEST_F(SettingsDialogTest, RemovingAFileClearsItsOptionAtOnce)
{
    ProjectRecord values = Mega();
    values.asmFile = "/work/START.ASM";
    values.libFile = "/work/IO.LIB";
    Open(values);

    Click("removeFile");
    EXPECT_EQ(messages.Texts(), std::vector<std::string> { "Select the item first" });

    auto *list = Control<QListWidget>("files");
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    Click("removeFile");

    EXPECT_EQ(Files(), (QStringList { "/work/MAIN.C", "/work/IO.LIB" }));
    EXPECT_EQ(Options(), (QStringList { "/sm", "/c4", "/s", "/L/work/IO.LIB", "/o0x30" }));
    EXPECT_TRUE(Control<QPushButton>("removeFile")->isEnabled());
}

TEST_F(SettingsDialogTest, OkNeedsACFile)
{
    ProjectRecord values = Mega();
    values.cFile.clear();
    values.asmFile = "/work/START.ASM";
    Open(values);

    Click("ok");
    EXPECT_EQ(messages.Texts(), std::vector<std::string> { "You must specify C file" });
    EXPECT_TRUE(dialog->isVisible());

    Browse("/work/MAIN.C");
    QTest::keyClick(Control<QLineEdit>("codeStart"), Qt::Key_Backspace);
    Click("ok");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Values().codeStart, "3");
    EXPECT_EQ(dialog->Values().commandOptions, "/sm /c4 /s /a/work/START.ASM /o0x3");
}

TEST_F(SettingsDialogTest, AddFilesTakesSeveralOfEveryKindAndRemoveFileTakesTheSelected)
{
    Open(Mega());
    // It opens at this size: room for it and the title bar on an 800x600 screen.
    EXPECT_LE(dialog->sizeHint().width(), 800);
    EXPECT_LE(dialog->sizeHint().height(), 560);

    fileDialogs.openFilesAnswers.push_back({ "/work/uart.c", "/work/isr.S", "/work/boot.s",
        "/work/libm.a", "/work/IO.LIB", "/work/notes.txt", "/work/main.c" });
    Click("addFiles");
    EXPECT_EQ(Files(),
        (QStringList { "/work/MAIN.C", "/work/uart.c", "/work/isr.S", "/work/boot.s",
            "/work/libm.a", "/work/IO.LIB" }));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("/work/notes.txt"), std::string::npos);
    EXPECT_EQ(Options().mid(3),
        (QStringList { "/a/work/isr.S", "/L/work/libm.a", "/o0x30", "/f/work/uart.c",
            "/f/work/boot.s", "/L/work/IO.LIB" }));

    auto *list = Control<QListWidget>("files");
    const auto rowCenter = [list](int row) {
        return list->visualItemRect(list->item(row)).center();
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCenter(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCenter(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCenter(5));
    Click("removeFile");
    // MAIN.C and isr.S gave way to the next file of their kind.
    EXPECT_EQ(Files(), (QStringList { "/work/uart.c", "/work/boot.s", "/work/libm.a" }));
    EXPECT_EQ(Options().mid(3), (QStringList { "/a/work/boot.s", "/L/work/libm.a", "/o0x30" }));
    Click("ok");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Values().cFile, "/work/uart.c");
}

TEST_F(SettingsDialogTest, BuildSettingsFollowEveryKeyAndOkRefusesWhatCannotBeUsed)
{
    ProjectRecord values = Mega();
    values.cpuType = CpuAt90s8515;
    Open(values);
    Control<QTabWidget>("pages")->setCurrentIndex(1);
    auto *clock = Control<QLineEdit>("clockHz");
    auto *defines = Control<QPlainTextEdit>("defines");
    auto *includes = Control<QPlainTextEdit>("includeFolders");
    QTest::keyClicks(clock, "8MHz");
    EXPECT_EQ(Options().last(), "/F8MHz");
    QTest::keyClicks(defines, "DEBUG");
    QTest::keyClick(defines, Qt::Key_Return);
    QTest::keyClicks(defines, "9X");
    EXPECT_EQ(Options().mid(4), (QStringList { "/DDEBUG", "/D9X", "/F8MHz" }));
    QTest::keyClicks(Control<QLineEdit>("extraFlags"), "-Os  -g");
    EXPECT_EQ(Options().mid(7), (QStringList { "/X-Os", "/X-g" }));

    const auto okRefuses = [&](QWidget *field, const char *words) {
        messages.shown.clear();
        Control<QTabWidget>("pages")->setCurrentIndex(0);
        Click("ok");
        ASSERT_EQ(messages.shown.size(), 1u) << words;
        EXPECT_NE(messages.shown[0].text.find(words), std::string::npos) << messages.shown[0].text;
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), field) << words;
    };
    okRefuses(clock, "8MHz");
    clock->selectAll();
    QTest::keyClicks(clock, "8000000");
    okRefuses(defines, "9X");
    // The line at fault is selected: one key replaces it.
    QTest::keyClick(defines, Qt::Key_Backspace);
    QTest::keyClicks(defines, "BAUD=9600");
    QTest::keyClicks(includes, "no such folder");
    okRefuses(includes, "no such folder");

    includes->clear();
    const std::string folder = std::filesystem::temp_directory_path().string();
    fileDialogs.folderAnswers.push_back(folder);
    Click("includeFoldersAdd");
    Click("ok");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const ProjectExtension &saved = dialog->Values().extension;
    EXPECT_EQ(saved.clockHz, "8000000");
    EXPECT_EQ(saved.defines, (std::vector<std::string> { "DEBUG", "BAUD=9600" }));
    EXPECT_EQ(saved.includeFolders, std::vector<std::string> { folder });
    EXPECT_EQ(dialog->Values().commandOptions,
        "/sm /c3 /s /o0x30 /I" + folder + " /DDEBUG /DBAUD=9600 /F8000000 /X-Os /X-g");
}

} // namespace
} // namespace ostrel

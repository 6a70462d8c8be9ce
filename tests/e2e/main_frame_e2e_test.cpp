// The running main window, driven as a user would: menus, keys, toolbar, windows.
#include "app/command_actions.h"
#include "app/main_frame.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "framework/command_ids.h"
#include "support/app_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

namespace ostrel {
namespace {

using test::AppFixture;
using test::WriteText;

// A menu as it shows: "-" for a separator, "text" (or "text [grey]") for an entry.
std::vector<std::string> Shown(QMenu *menu)
{
    emit menu->aboutToShow();
    std::vector<std::string> entries;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            entries.push_back("-");
        else
            entries.push_back(
                action->text().toStdString() + (action->isEnabled() ? "" : " [grey]"));
    }
    return entries;
}

std::vector<std::string> Titles(QMenuBar *bar)
{
    std::vector<std::string> titles;
    for (QAction *action : bar->actions())
        titles.push_back(action->text().toStdString());
    return titles;
}

QMenu *MenuNamed(QMenuBar *bar, const std::string &title)
{
    for (QAction *action : bar->actions())
        if (action->text().toStdString() == title)
            return action->menu();
    return nullptr;
}

void ProcessDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class MainFrameTest : public ::testing::Test
{
protected:
    CMainFrame &Frame() { return *f.App().MainFrame(); }
    QMenuBar *Bar() { return Frame().menuBar(); }
    bool Enabled(CommandId id) { return Frame().Router().IsEnabled(ToUint(id)); }
    void CloseAll()
    {
        Frame().MdiArea()->closeAllSubWindows();
        ProcessDeletes();
    }

    AppFixture f;
};

TEST_F(MainFrameTest, MenuBarsHoldTheirEntriesInOrder)
{
    f.Start();
    CloseAll();
    EXPECT_EQ(Titles(Bar()), (std::vector<std::string> { "&File", "&View", "&Help" }));
    EXPECT_EQ(Shown(MenuNamed(Bar(), "&File")),
        (std::vector<std::string> { "&New\tCtrl+N", "&Open...\tCtrl+O", "-", "P&rint Setup...", "-",
            "Recent File [grey]", "-", "E&xit" }));
    EXPECT_EQ(
        Shown(MenuNamed(Bar(), "&View")), (std::vector<std::string> { "&Toolbar", "&Status Bar" }));
    EXPECT_EQ(Shown(MenuNamed(Bar(), "&Help")),
        (std::vector<std::string> { "&Help Topics", "-", "&About Ostrel" }));

    f.App().OnFileNew();
    EXPECT_EQ(Titles(Bar()),
        (std::vector<std::string> { "&File", "&Edit", "&View", "&Project", "&Compile",
            "Visual Code &Generator", "&Window", "&Help" }));
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        { "&File",
            { "&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "&Save\tCtrl+S", "Save &As...",
                "Send &Mail [grey]", "-", "&Print...\tCtrl+P", "P&rint Setup...", "-",
                "Recent File [grey]", "-", "E&xit" } },
        { "&Edit",
            { "&Undo\tCtrl+Z [grey]", "-", "Cu&t\tCtrl+X [grey]", "&Copy\tCtrl+C [grey]",
                "&Paste\tCtrl+V [grey]", "Paste &Special... [grey]", "Select A&ll\tCtrl+A", "-",
                "&Find...\tCtrl+F", "F&ind Next\tF3", "R&eplace\tCtrl+H", "-",
                "Change &Tab Size" } },
        { "&View", { "&Toolbar", "&Status Bar", "-", "&Output Window" } },
        { "&Project", { "&New", "&Open", "-", "&Settings", "-", "Cl&ose" } },
        { "&Compile", { "&Compile   F9" } },
        { "Visual Code &Generator",
            { "Set / Clear Interrupt Masks", "Set I/O Pins Direction", "MCUCR Settings",
                "UART Settings" } },
        { "&Window",
            { "&New Window", "&Cascade", "&Tile", "&Arrange Icons", "-",
                "&1 Ostrel2" } }, // the count of new documents goes on
        { "&Help", { "&Help Topics", "-", "&About Ostrel" } },
    };
    for (const auto &[title, entries] : expected)
        EXPECT_EQ(Shown(MenuNamed(Bar(), title)), entries) << title;
}

TEST_F(MainFrameTest, ToolbarButtonsPromptsAndProjectBox)
{
    f.Start();
    QToolBar *toolbar = Frame().ToolBar();
    std::vector<std::string> buttons;
    for (QAction *action : toolbar->actions()) {
        if (action->isSeparator())
            buttons.push_back("-");
        else if (QWidget *widget = toolbar->widgetForAction(action);
                 widget && !action->data().isValid())
            buttons.push_back(widget == Frame().ProjectBox() ? "[project box]" : "[gap]");
        else
            buttons.push_back(action->toolTip().toStdString());
    }
    EXPECT_EQ(buttons,
        (std::vector<std::string> { "[project box]", "[gap]", "Open", "Save", "Print", "-", "Cut",
            "Copy", "Paste", "-", "Find", "Replace", "-", "Complie F9.", "Debug.", "-", "About",
            "Help" }));
    EXPECT_EQ(Frame().ProjectBox()->width(), 100);
    QAction *open = Frame().Actions().Action(ToUint(CommandId::FileOpen));
    EXPECT_EQ(open->statusTip().toStdString(), "Open an existing document");
    EXPECT_FALSE(open->icon().isNull());

    // The Debug button has no handler anywhere and stays disabled; Compile is always enabled.
    Frame().UpdateCommandUI();
    EXPECT_FALSE(Frame().Actions().Action(ToUint(CommandId::Debug))->isEnabled());
    EXPECT_TRUE(Enabled(CommandId::Compile));

    // Choosing in the project box runs nothing, although it shares its id with a command.
    Frame().ProjectBox()->addItem(QStringLiteral("Empty Project"));
    emit Frame().ProjectBox()->activated(0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    EXPECT_EQ(Frame().findChild<QLabel *>(QStringLiteral("messagePane"))->text().toStdString(),
        "For Help, press F1");
    EXPECT_EQ(Frame().LinePane()->width(), 75);
}

TEST_F(MainFrameTest, AcceleratorsRouteTheirCommands)
{
    f.Start();
    std::multimap<uint16_t, std::string> keys;
    for (const auto &[id, object] : Frame().Actions().Shortcuts())
        keys.emplace(id, static_cast<QShortcut *>(object)->key().toString().toStdString());
    const std::multimap<uint16_t, std::string> expected = {
        { 57642, "Ctrl+A" },
        { 57634, "Ctrl+C" },
        { 57636, "Ctrl+F" },
        { 57641, "Ctrl+H" },
        { 57600, "Ctrl+N" },
        { 57601, "Ctrl+O" },
        { 57607, "Ctrl+P" },
        { 57603, "Ctrl+S" },
        { 57637, "Ctrl+V" },
        { 57643, "Alt+Backspace" },
        { 57635, "Shift+Del" },
        { 32768, "Esc" },
        { 57670, "F1" },
        { 57669, "Shift+F1" },
        { 57640, "F3" },
        { 57680, "F6" },
        { 57681, "Shift+F6" },
        { 32771, "F9" },
        { 57634, "Ctrl+Ins" },
        { 57637, "Shift+Ins" },
        { 57860, "Alt+Return" },
        { 57635, "Ctrl+X" },
        { 57643, "Ctrl+Z" },
    };
    EXPECT_EQ(keys.size(), expected.size());
    for (const auto &[id, key] : expected) {
        const auto range = keys.equal_range(id);
        bool found = false;
        for (auto it = range.first; it != range.second; ++it)
            found = found || it->second == key;
        EXPECT_TRUE(found) << id << " " << key;
    }

    // Ctrl+N with no document reaches the application object and makes one.
    CloseAll();
    for (const auto &[id, object] : Frame().Actions().Shortcuts())
        if (id == ToUint(CommandId::FileNew))
            emit static_cast<QShortcut *>(object)->activated();
    ASSERT_EQ(f.App().DocManager().Documents().size(), 1u);
    EXPECT_EQ(f.App().DocManager().Documents().front()->Title(), "Ostrel2");
}

TEST_F(MainFrameTest, ViewCommandsNeedAView)
{
    f.Start();
    CloseAll();
    EXPECT_FALSE(Enabled(CommandId::EditSelectAll));
    EXPECT_FALSE(Enabled(CommandId::FileSave));
    EXPECT_TRUE(Enabled(CommandId::Compile)); // F9 still reaches the application object
    EXPECT_TRUE(Enabled(CommandId::FileNew));
    EXPECT_FALSE(Enabled(CommandId::Escape));

    f.App().OnFileNew();
    EXPECT_TRUE(Enabled(CommandId::EditSelectAll));
    EXPECT_TRUE(Enabled(CommandId::FileSave));
    EXPECT_FALSE(Enabled(CommandId::EditCopy)); // nothing selected
    f.clipboard.SetText("PORTB = 0x01 ;");
    EXPECT_TRUE(Enabled(CommandId::EditPaste));
    EXPECT_TRUE(Frame().RouteCommand(ToUint(CommandId::EditPaste)));
    EXPECT_TRUE(Frame().RouteCommand(ToUint(CommandId::EditSelectAll)));
    EXPECT_TRUE(Frame().RouteCommand(ToUint(CommandId::EditCut)));
    EXPECT_EQ(f.clipboard.Text(), "PORTB = 0x01 ;");
}

TEST_F(MainFrameTest, OpenTwoFilesWindowListRecentFilesBarsAndExit)
{
    f.Start();
    CloseAll();
    EXPECT_EQ(Titles(Bar()).size(), 3u);

    const std::string a = f.dir.File("a.c"), b = f.dir.File("b.asm");
    WriteText(a, "int a;\n");
    WriteText(b, "nop\n");
    f.fileDialogs.openAnswers = { a, b };
    Frame().RouteCommand(ToUint(CommandId::FileOpen));
    Frame().RouteCommand(ToUint(CommandId::FileOpen));
    EXPECT_EQ(Titles(Bar()).size(), 8u);

    QMenu *window = MenuNamed(Bar(), "&Window");
    const auto windows = Shown(window);
    ASSERT_GE(windows.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(windows.end() - 2, windows.end()),
        (std::vector<std::string> { "&1 a.c", "&2 b.asm" }));
    // The active window carries the check mark; choosing the other activates it.
    EXPECT_TRUE(window->actions().back()->isChecked());
    window->actions()[window->actions().size() - 2]->trigger();
    EXPECT_EQ(Frame().MdiArea()->activeSubWindow()->windowTitle().toStdString(), "a.c");

    const auto file = Shown(MenuNamed(Bar(), "&File"));
    EXPECT_EQ(file[10], "&1 " + b);
    EXPECT_EQ(file[11], "&2 " + a);
    EXPECT_EQ(f.profile.GetString("Recent File List", "File1", ""), b);

    // Both bars hide and show, and their menu entries show the state.
    Frame().RouteCommand(ToUint(CommandId::ViewToolbar));
    Frame().RouteCommand(ToUint(CommandId::ViewStatusBar));
    EXPECT_TRUE(Frame().ToolBar()->isHidden());
    EXPECT_TRUE(Frame().statusBar()->isHidden());
    EXPECT_FALSE(Frame().Router().QueryState(ToUint(CommandId::ViewToolbar)).checked);
    Frame().RouteCommand(ToUint(CommandId::ViewToolbar));
    Frame().RouteCommand(ToUint(CommandId::ViewStatusBar));
    EXPECT_FALSE(Frame().ToolBar()->isHidden());
    EXPECT_TRUE(Frame().Router().QueryState(ToUint(CommandId::ViewStatusBar)).checked);

    // Exit asks about the modified document; the answer No closes everything.
    f.App().DocManager().Documents().front()->Views().front()->SendScintilla(
        QsciScintillaBase::SCI_ADDTEXT, 1UL, "x");
    f.messages.answers.push_back(MessageAnswer::No);
    Frame().RouteCommand(ToUint(CommandId::AppExit));
    ProcessDeletes();
    EXPECT_EQ(f.messages.Texts(), std::vector<std::string> { "Save changes to a.c?" });
    EXPECT_TRUE(f.App().DocManager().Documents().empty());
    EXPECT_FALSE(Frame().isVisible());
    // Nothing of the closed windows is left on the command route.
    EXPECT_EQ(Frame().Router().GetRoute()[0], nullptr);
    EXPECT_EQ(Frame().Router().GetRoute()[1], nullptr);
    Frame().UpdateCommandUI();
}

TEST_F(MainFrameTest, GeneratorCommandsRunTheirDialogsModally)
{
    f.Start();
    const std::pair<CommandId, const char *> commands[] = {
        { CommandId::InterruptMasks, "Configure Interrupt Mask Registers" },
        { CommandId::IoPinsDirection, "Configure I/O Port" },
        { CommandId::McucrSettings, "Configure MCU Control Register" },
        { CommandId::UartSettings, "UART Setting" },
    };
    for (const auto &[id, caption] : commands) {
        QString seen;
        bool blocksMainWindow = false;
        // Runs inside the dialog's modal loop, then ends it.
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            seen = dialog->windowTitle();
            blocksMainWindow = dialog->isModal() && dialog->windowModality() == Qt::ApplicationModal
                && dialog->parentWidget() == &Frame();
            dialog->close();
        });
        EXPECT_TRUE(Frame().RouteCommand(ToUint(id)));
        EXPECT_EQ(seen.toStdString(), caption);
        EXPECT_TRUE(blocksMainWindow) << caption;
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainFrameTest, RecentFileThatIsGoneLeavesTheList)
{
    f.profile.WriteString("Recent File List", "File1", f.dir.File("gone.c"));
    f.Start();
    Frame().RouteCommand(ToUint(CommandId::RecentFileFirst));
    EXPECT_TRUE(f.App().RecentFiles().Entries().empty());
    EXPECT_EQ(f.profile.GetString("Recent File List", "File1", "x"), "");
}

TEST_F(MainFrameTest, ScreenshotWithOneDocument)
{
    const std::string source = f.dir.File("BLINK.C");
    WriteText(source,
        "#include <avr/io.h>\n\nint main(void)\n{\n    DDRB = 0xff;\n"
        "    for (;;)\n        PORTB ^= 1;\n}\n");
    f.Start({ source });
    Frame().resize(900, 600);
    Frame().UpdateCommandUI();
    const QString folder = QStringLiteral(OSTREL_BINARY_DIR "/artifacts");
    QDir().mkpath(folder);
    const QString file = folder + QStringLiteral("/main_window.png");
    const QImage picture = Frame().grab().toImage();
    ASSERT_TRUE(picture.save(file));

    // The C source is highlighted: keywords are drawn in the keyword colour (blue on the light
    // palette of the tests), which plain text never uses.
    int keywordPixels = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            keywordPixels += pixel.blue() > 150 && pixel.red() < 90 && pixel.green() < 90;
        }
    EXPECT_GT(keywordPixels, 20);
    // Line numbers stand in a margin of their own.
    auto *view = f.App().DocManager().Documents().front()->Views().front();
    EXPECT_GT(view->marginWidth(0), 0);
}

} // namespace
} // namespace ostrel

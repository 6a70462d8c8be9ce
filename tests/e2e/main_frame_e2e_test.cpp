// The running main window, driven as a user would: menus, keys, toolbar, windows.
#include "app/command_actions.h"
#include "app/main_frame.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "framework/command_ids.h"
#include "res/resources.h"
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
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <Qsci/qscilexercpp.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

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

// The lists of a menu resource as the bar should show them: titles and entries; a separator
// as "-", the entries' states left out.
std::vector<std::pair<std::string, std::vector<std::string>>> ResourceLists(uint16_t menuId)
{
    std::vector<std::pair<std::string, std::vector<std::string>>> lists;
    for (const MenuEntry &list : *GetMenuResource(menuId)) {
        std::vector<std::string> entries;
        for (const MenuEntry &entry : list.items)
            entries.push_back(entry.IsSeparator() ? "-" : entry.text);
        lists.emplace_back(list.text, entries);
    }
    return lists;
}

// The bar's lists as shown, and the entries shown grey.
std::vector<std::pair<std::string, std::vector<std::string>>> ShownLists(
    QMenuBar *bar, std::set<std::string> &grey)
{
    std::vector<std::pair<std::string, std::vector<std::string>>> lists;
    for (const std::string &title : Titles(bar)) {
        std::vector<std::string> entries;
        for (std::string entry : Shown(MenuNamed(bar, title))) {
            if (const size_t mark = entry.find(" [grey]"); mark != std::string::npos) {
                entry.erase(mark);
                grey.insert(entry);
            }
            entries.push_back(entry);
        }
        lists.emplace_back(title, entries);
    }
    return lists;
}

TEST_F(MainFrameTest, MenuBarsShowTheirResourcesWithTheCommandsStates)
{
    f.Start();
    CloseAll();
    std::set<std::string> grey;
    EXPECT_EQ(ShownLists(Bar(), grey), ResourceLists(kMainResourceId));
    EXPECT_EQ(grey, std::set<std::string> { "Recent File" });

    f.App().OnFileNew();
    grey.clear();
    auto expected = ResourceLists(kDocumentMenuId);
    for (auto &[title, entries] : expected)
        if (title == "&Window") // the window list follows the window entries
            entries.insert(
                entries.end(), { "-", "&1 Ostrel2" }); // the count of new documents goes on
    EXPECT_EQ(ShownLists(Bar(), grey), expected);
    // Nothing to undo, copy or paste in a new document; no mail program among the fakes.
    EXPECT_EQ(grey,
        (std::set<std::string> { "Send &Mail", "Recent File", "&Undo\tCtrl+Z", "Cu&t\tCtrl+X",
            "&Copy\tCtrl+C", "&Paste\tCtrl+V", "Paste &Special..." }));
}

TEST_F(MainFrameTest, ToolbarButtonsPromptsAndProjectBox)
{
    f.Start();
    // The toolbar resource's places in order: the project box, a gap, then buttons (their
    // command ids) and separators (0).
    QToolBar *toolbar = Frame().ToolBar();
    std::vector<int> places;
    for (QAction *action : toolbar->actions()) {
        QWidget *widget = toolbar->widgetForAction(action);
        if (action->isSeparator() || (widget && !action->data().isValid()))
            places.push_back(widget == Frame().ProjectBox() ? -1 : 0);
        else
            places.push_back(action->data().toInt());
    }
    std::vector<int> expected(GetToolbarResource(kMainResourceId)->buttons.begin(),
        GetToolbarResource(kMainResourceId)->buttons.end());
    expected[0] = -1;
    EXPECT_EQ(places, expected);
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

// The key an accelerator's text names ("Ctrl+N", "Shift+Delete", "Alt+Enter"), read apart from
// the program's own conversion.
std::pair<Qt::Key, Qt::KeyboardModifiers> KeyOf(const std::string &text)
{
    Qt::KeyboardModifiers modifiers;
    std::string rest = text;
    for (const auto &[prefix, modifier] : { std::pair { "Ctrl+", Qt::ControlModifier },
             std::pair { "Shift+", Qt::ShiftModifier }, std::pair { "Alt+", Qt::AltModifier } })
        if (rest.rfind(prefix, 0) == 0) {
            modifiers |= modifier;
            rest.erase(0, std::string(prefix).size());
        }
    const std::map<std::string, Qt::Key> named { { "Backspace", Qt::Key_Backspace },
        { "Delete", Qt::Key_Delete }, { "Insert", Qt::Key_Insert }, { "Enter", Qt::Key_Return },
        { "Esc", Qt::Key_Escape } };
    if (const auto found = named.find(rest); found != named.end())
        return { found->second, modifiers };
    if (rest.size() > 1 && rest[0] == 'F')
        return { static_cast<Qt::Key>(Qt::Key_F1 + std::stoi(rest.substr(1)) - 1), modifiers };
    return { static_cast<Qt::Key>(Qt::Key_A + (rest[0] - 'A')), modifiers };
}

// Stands first on the route and takes every command.
struct RecordingTarget : CommandTarget
{
    bool RunCommand(uint16_t id) override
    {
        ran.push_back(id);
        return true;
    }
    bool HasHandler(uint16_t) const override { return true; }
    bool UpdateCommandState(uint16_t, CommandState &state) override
    {
        state.enabled = true;
        return true;
    }
    std::vector<uint16_t> ran;
};

TEST_F(MainFrameTest, AcceleratorKeysOnTheFocusedViewRouteTheirCommands)
{
    f.Start();
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    auto *view = f.App().DocManager().Documents().front()->Views().front();
    view->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), view);
    RecordingTarget recorder;
    Frame().SetActiveTargets(&recorder, nullptr);

    std::vector<uint16_t> expected;
    for (const Accelerator &accelerator : *GetAcceleratorTable(kMainResourceId)) {
        const auto [key, modifiers] = KeyOf(AcceleratorText(accelerator));
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        expected.push_back(accelerator.command);
        EXPECT_EQ(recorder.ran, expected) << AcceleratorText(accelerator);
        recorder.ran = expected; // one miss does not hide the keys after it
    }
    Frame().SetActiveTargets(nullptr, nullptr);

    // Ctrl+N with no document reaches the application object and makes one.
    CloseAll();
    Frame().MdiArea()->setFocus();
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
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
    EXPECT_EQ(Titles(Bar()).size(), 4u);

    const std::string a = f.dir.File("a.c"), b = f.dir.File("b.asm");
    WriteText(a, "int a;\n");
    WriteText(b, "nop\n");
    f.fileDialogs.openAnswers = { a, b };
    Frame().RouteCommand(ToUint(CommandId::FileOpen));
    Frame().RouteCommand(ToUint(CommandId::FileOpen));
    EXPECT_EQ(Titles(Bar()).size(), 9u);

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

    // The C source is highlighted: the keywords take the C lexer's keyword style, and the view
    // shows them in its keyword colour.
    auto *view = f.App().DocManager().Documents().front()->Views().front();
    const QImage shown = view->viewport()->grab().toImage();
    const auto *lexer = qobject_cast<QsciLexerCPP *>(view->lexer());
    ASSERT_NE(lexer, nullptr);
    const QString text = view->text();
    auto styleOf = [&](const char *word) {
        return view->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
            static_cast<unsigned long>(text.indexOf(QLatin1String(word))));
    };
    for (const char *word : { "int", "void", "for" })
        EXPECT_EQ(styleOf(word), QsciLexerCPP::Keyword) << word;
    EXPECT_EQ(styleOf("main"), QsciLexerCPP::Identifier);
    // The keyword colour is blue; plain text and the margin are grey tones.
    ASSERT_GT(lexer->color(QsciLexerCPP::Keyword).blue(), 150);
    int keywordPixels = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QColor pixel = shown.pixelColor(x, y);
            keywordPixels += pixel.blue() - std::max(pixel.red(), pixel.green()) > 60;
        }
    EXPECT_GT(keywordPixels, 20);
    // Line numbers stand in a margin of their own.
    EXPECT_GT(view->marginWidth(0), 0);
    // No fold margin, so no fold levels are kept for the lines (they cost memory per line).
    const long braceLine = view->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
        static_cast<unsigned long>(text.indexOf(QLatin1Char('{'))));
    EXPECT_EQ(view->SendScintilla(
                  QsciScintillaBase::SCI_GETFOLDLEVEL, static_cast<unsigned long>(braceLine))
            & QsciScintillaBase::SC_FOLDLEVELHEADERFLAG,
        0);
}

} // namespace
} // namespace ostrel

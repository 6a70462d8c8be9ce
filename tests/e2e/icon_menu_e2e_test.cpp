// The owner-drawn menus of the running main window: keys, screen-reader names, their picture.
#include "app/main_frame.h"
#include "editor/doc_manager.h"
#include "support/app_fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <set>

namespace ostrel {
namespace {

using test::AppFixture;

class IconMenuE2eTest : public ::testing::Test
{
protected:
    CMainFrame &Frame() { return *f.App().MainFrame(); }
    // Starts with one new document, the main window active.
    void StartWithDocument()
    {
        f.Start();
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }
    QMenu *OpenFileMenuByKey()
    {
        QTest::keyClick(&Frame(), Qt::Key_F, Qt::AltModifier);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        EXPECT_NE(menu, nullptr);
        if (menu) {
            EXPECT_EQ(menu->title().toStdString(), "&File");
        }
        return menu;
    }
    static int IndexOf(QMenu *menu, QAction *action)
    {
        return static_cast<int>(menu->actions().indexOf(action));
    }

    AppFixture f;
};

TEST_F(IconMenuE2eTest, MnemonicLetterRunsItsEntry)
{
    StartWithDocument();
    QMenu *file = OpenFileMenuByKey();
    ASSERT_NE(file, nullptr);
    // "Save &As..." is the first entry that marks the letter a.
    f.fileDialogs.saveAnswers.push_back(std::nullopt);
    QTest::keyClick(file, Qt::Key_A);
    EXPECT_EQ(f.fileDialogs.saveRequests.size(), 1u);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // A letter that no entry marks leaves the list open and runs nothing.
    file = OpenFileMenuByKey();
    ASSERT_NE(file, nullptr);
    QTest::keyClick(file, Qt::Key_Q);
    EXPECT_EQ(QApplication::activePopupWidget(), file);
    QTest::keyClick(file, Qt::Key_Escape);
}

TEST_F(IconMenuE2eTest, ArrowsMoveTheHighlightAndEscapeCloses)
{
    StartWithDocument();
    QMenu *file = OpenFileMenuByKey();
    ASSERT_NE(file, nullptr);
    QTest::keyClick(file, Qt::Key_Down);
    const int first = IndexOf(file, file->activeAction());
    QTest::keyClick(file, Qt::Key_Down);
    const int second = IndexOf(file, file->activeAction());
    EXPECT_GE(first, 0);
    EXPECT_GT(second, first);
    QTest::keyClick(file, Qt::Key_Up);
    EXPECT_EQ(IndexOf(file, file->activeAction()), first);
    QTest::keyClick(file, Qt::Key_Escape);
    EXPECT_FALSE(file->isVisible());
}

TEST_F(IconMenuE2eTest, EntriesAndButtonsHaveNamesForScreenReaders)
{
    StartWithDocument();
    QMenu *file = OpenFileMenuByKey();
    ASSERT_NE(file, nullptr);
    QAccessibleInterface *menu = QAccessible::queryAccessibleInterface(file);
    ASSERT_NE(menu, nullptr);
    ASSERT_GT(menu->childCount(), 1);
    EXPECT_EQ(
        menu->child(1)->text(QAccessible::Name).section(QLatin1Char('\t'), 0, 0).toStdString(),
        "Open...");
    QTest::keyClick(file, Qt::Key_Escape);

    for (QToolButton *button : Frame().ToolBar()->findChildren<QToolButton *>()) {
        if (!button->defaultAction() || !button->isVisible())
            continue;
        QAccessibleInterface *item = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(item, nullptr);
        EXPECT_FALSE(item->text(QAccessible::Name).isEmpty())
            << button->defaultAction()->data().toInt();
    }
}

TEST_F(IconMenuE2eTest, ScreenshotOfTheFileMenu)
{
    StartWithDocument();
    QMenu *file = nullptr;
    for (QAction *action : Frame().menuBar()->actions())
        if (action->text() == QStringLiteral("&File"))
            file = action->menu();
    ASSERT_NE(file, nullptr);
    file->popup(Frame().mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(file->isVisible());
    const QImage picture = file->grab().toImage();
    const QString folder = QStringLiteral(OSTREL_BINARY_DIR "/artifacts");
    QDir().mkpath(folder);
    ASSERT_TRUE(picture.save(folder + QStringLiteral("/file_menu.png")));

    QAction *open = nullptr, *close = nullptr;
    for (QAction *action : file->actions()) {
        if (action->text().startsWith(QStringLiteral("&Open")))
            open = action;
        if (action->text() == QStringLiteral("&Close"))
            close = action;
    }
    ASSERT_TRUE(open && close);
    // The image column: 18 x 16 pixels two pixels in from the entry's corner.
    const QRgb background =
        f.systemLook.Color(SysColour::Menu) == MakeColour(192, 192, 192) ? qRgb(192, 192, 192) : 0;
    auto differing = [&](QAction *action) {
        const QRect entry = file->actionGeometry(action);
        int count = 0;
        for (int y = entry.top() + 2; y < entry.top() + 18; ++y)
            for (int x = entry.left() + 2; x < entry.left() + 20; ++x)
                count += (picture.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF);
        return count;
    };
    EXPECT_EQ(file->actionGeometry(open).height(), 20);
    EXPECT_GT(differing(open), 20);
    EXPECT_EQ(differing(close), 0);

    // A separator shows the entries' background with one line across, not a band of its own.
    const auto colourAt = [&](int x, int y) {
        const QRgb rgb = picture.pixel(x, y);
        return MakeColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
    };
    for (QAction *action : file->actions()) {
        if (!action->isSeparator())
            continue;
        const QRect band = file->actionGeometry(action);
        std::set<int> lineRows;
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = band.left(); x <= band.right(); ++x) {
                const Colour c = colourAt(x, y);
                ASSERT_TRUE(c == f.systemLook.Color(SysColour::Menu)
                    || c == f.systemLook.Color(SysColour::BtnShadow))
                    << x << "," << y;
                if (c != f.systemLook.Color(SysColour::Menu))
                    lineRows.insert(y);
            }
        EXPECT_EQ(lineRows.size(), 1u);
    }
    file->hide();
}

} // namespace
} // namespace ostrel

// The source view as a user reaches it: keys sent to the focused view of a running application.
#include "app/help_window.h"
#include "app/main_frame.h"
#include "editor/child_frame.h"
#include "editor/doc_manager.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "framework/command_ids.h"
#include "support/app_fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

namespace ostrel {
namespace {

using test::AppFixture;
using test::ReadBytes;
using test::ToBytes;
using test::WriteText;

class SourceViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        f.Start();
        Frame().MdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CMainFrame &Frame() { return *f.App().MainFrame(); }

    // Opens `text` as a file and gives its view the keyboard focus, as a click would.
    CQuorlenView *Open(const std::string &name, const std::string &text)
    {
        const std::string path = f.dir.File(name);
        WriteText(path, text);
        CQuorlenDoc *doc = f.App().DocManager().OpenDocumentFile(path);
        EXPECT_NE(doc, nullptr);
        CQuorlenView *view = f.App().DocManager().Frames(doc).back()->GetView();
        Focus(view);
        return view;
    }

    void Focus(CQuorlenView *view)
    {
        QApplication::setActiveWindow(&Frame());
        Frame().MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(view->parentWidget()));
        view->setFocus();
    }

    std::string LinePane() { return Frame().LinePane()->text().toStdString(); }

    // Sends a key as the keyboard does and waits until it has moved the caret or changed the
    // text: while a screen reader listens, Qt hands each key to the accessibility bus first and
    // the view gets it when the bus answers. Then paints, when the caret is reported.
    static void Press(CQuorlenView *view, Qt::Key key, Qt::KeyboardModifiers modifiers = {},
        const QString &text = {})
    {
        const auto state = [view] {
            return std::make_pair(view->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS),
                view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
        };
        const auto before = state();
        QTest::sendKeyEvent(QTest::Click, view, key, text, modifiers);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return state() != before;
            },
            5000))
            << key;
        view->viewport()->repaint();
    }

    AppFixture f;
};

TEST_F(SourceViewTest, EditKeysReachTheirCommandsInBothForms)
{
    struct Case
    {
        const char *name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char *text; // the document afterwards
        const char *clipboard; // the clipboard afterwards
    };
    // Each case starts from "abc def" with "def" selected and "XY" on the clipboard.
    const Case cases[] = {
        { "Ctrl+C", Qt::Key_C, Qt::ControlModifier, "abc def", "def" },
        { "Ctrl+Insert", Qt::Key_Insert, Qt::ControlModifier, "abc def", "def" },
        { "Ctrl+X", Qt::Key_X, Qt::ControlModifier, "abc ", "def" },
        { "Shift+Delete", Qt::Key_Delete, Qt::ShiftModifier, "abc ", "def" },
        { "Ctrl+V", Qt::Key_V, Qt::ControlModifier, "abc XY", "XY" },
        { "Shift+Insert", Qt::Key_Insert, Qt::ShiftModifier, "abc XY", "XY" },
        { "Ctrl+A", Qt::Key_A, Qt::ControlModifier, "abc def", "XY" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CQuorlenView *view = Open("keys.c", "abc def");
        view->setSelection(0, 4, 0, 7);
        f.clipboard.SetText("XY");
        QTest::keyClick(view, c.key, c.modifiers);
        EXPECT_EQ(view->TextBytes(), c.text);
        EXPECT_EQ(f.clipboard.Text(), c.clipboard);
        if (c.key == Qt::Key_A) {
            EXPECT_EQ(view->selectedText().toStdString(), "abc def");
        }
        // Both forms of Undo take the change back.
        for (const auto &[key, modifiers] : { std::pair { Qt::Key_Z, Qt::ControlModifier },
                 std::pair { Qt::Key_Backspace, Qt::AltModifier } }) {
            QTest::keyClicks(view, "!");
            QTest::keyClick(view, key, modifiers);
            EXPECT_EQ(view->TextBytes(), c.text);
        }
        f.messages.answers.push_back(MessageAnswer::No);
        f.App().DocManager().CloseAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(SourceViewTest, PasteIsOneUndoStepAndTakesTheDocumentsLineEnds)
{
    CQuorlenView *view = Open("crlf.c", "one\r\ntwo\r\n");
    f.clipboard.SetText("a\nb\n");
    view->setSelection(0, 0, 0, 3);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(view->TextBytes(), "a\r\nb\r\n\r\ntwo\r\n");
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view->TextBytes(), "one\r\ntwo\r\n");
    EXPECT_FALSE(view->GetDocument()->IsModified());

    // A single-byte document gets its bytes back from the UTF-8 clipboard.
    CQuorlenView *latin1 = Open("latin1.c", "\xe0x\n");
    f.clipboard.SetText("\xc3\xa9\r\n");
    QTest::keyClick(latin1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(latin1->TextBytes(), "\xe9\n\xe0x\n");
}

TEST_F(SourceViewTest, NonAsciiTypedAndPastedIntoAnAsciiFileIsSavedAsUtf8)
{
    CQuorlenView *view = Open("ascii.c", "int x;\r\n");
    // keyClicks takes only ASCII; the others go as the keyboard sends them, key and text.
    QTest::keyClicks(view, "a");
    QTest::sendKeyEvent(
        QTest::Click, view, Qt::Key_Eacute, QString::fromUtf8("\xc3\xa9"), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, view, Qt::Key_unknown, QString::fromUtf8("\xe2\x82\xac"),
        Qt::NoModifier); // € has no single-byte code
    f.clipboard.SetText("\xc3\xbc\n"); // ü
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(
        ReadBytes(f.dir.File("ascii.c")), ToBytes("a\xc3\xa9\xe2\x82\xac\xc3\xbc\r\nint x;\r\n"));
}

// The editor sends none of the text notices that the library's screen-reader events walk the
// text for (its textChanged comes from them); the line numbers still follow the text.
TEST_F(SourceViewTest, EditsSkipTheLibrarysTextNotices)
{
    CQuorlenView *view = Open("nine.c", "1\n2\n3\n4\n5\n6\n7\n8\n9");
    QSignalSpy notices(view, &QsciScintilla::textChanged);
    const int narrow = view->marginWidth(0);
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_GT(view->marginWidth(0), narrow);
    EXPECT_EQ(notices.count(), 0);
}

// What a screen reader asks of a view, in UTF-16 code units as Qt counts: a character outside
// the basic plane is two, a byte of a single-byte text one.
TEST_F(SourceViewTest, ScreenReadersCountAndEditInCharacters)
{
    const auto reader = [](CQuorlenView *view) {
        QAccessibleInterface *object = QAccessible::queryAccessibleInterface(view);
        EXPECT_NE(object, nullptr);
        EXPECT_NE(object->editableTextInterface(), nullptr);
        return object;
    };
    const QString first = QString::fromUtf8("a\xc3\xa9\xf0\x9f\x98\x80"
                                            "b\n");
    CQuorlenView *utf8 = Open("wide.c",
        "a\xc3\xa9\xf0\x9f\x98\x80"
        "b\nxy");
    QAccessibleTextInterface *text = reader(utf8)->textInterface();
    EXPECT_EQ(text->characterCount(), 8);
    EXPECT_EQ(text->text(2, 4), QString::fromUtf8("\xf0\x9f\x98\x80"));
    struct Piece
    {
        int offset;
        QAccessible::TextBoundaryType boundary;
        int direction; // before, at, after
        QString text;
        int start, end;
    };
    const Piece pieces[] = {
        { 7, QAccessible::LineBoundary, 0, "xy", 6, 8 },
        { 1, QAccessible::LineBoundary, 0, first, 0, 6 },
        { 7, QAccessible::LineBoundary, -1, first, 0, 6 },
        { 0, QAccessible::LineBoundary, 1, "xy", 6, 8 },
        { 0, QAccessible::LineBoundary, -1, "", -1, -1 },
        { 2, QAccessible::CharBoundary, 0, QString::fromUtf8("\xf0\x9f\x98\x80"), 2, 4 },
        { 7, QAccessible::WordBoundary, 0, "xy", 6, 8 },
    };
    for (const Piece &p : pieces) {
        SCOPED_TRACE(p.offset * 10 + p.direction);
        int start = 0, end = 0;
        const QString got = p.direction < 0
            ? text->textBeforeOffset(p.offset, p.boundary, &start, &end)
            : p.direction > 0 ? text->textAfterOffset(p.offset, p.boundary, &start, &end)
                              : text->textAtOffset(p.offset, p.boundary, &start, &end);
        EXPECT_EQ(got, p.text);
        EXPECT_EQ(start, p.start);
        EXPECT_EQ(end, p.end);
    }
    // The caret, the selection and edits in characters; between the halves of the wide
    // character stands for its start.
    text->setCursorPosition(6);
    EXPECT_EQ(utf8->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 9);
    text->setCursorPosition(3);
    EXPECT_EQ(text->cursorPosition(), 2);
    text->setSelection(0, 1, 4);
    EXPECT_EQ(utf8->selectedText(), QString::fromUtf8("\xc3\xa9\xf0\x9f\x98\x80"));
    int start = 0, end = 0;
    text->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(1, 4));
    QAccessibleEditableTextInterface *editable = reader(utf8)->editableTextInterface();
    editable->insertText(7, QString::fromUtf8("\xe2\x82\xac"));
    editable->replaceText(0, 2, "Z");
    editable->deleteText(4, 5);
    EXPECT_EQ(utf8->TextBytes(),
        "Z\xf0\x9f\x98\x80"
        "bx\xe2\x82\xacy");
    EXPECT_EQ(text->characterCount(), 7);

    CQuorlenView *crlf = Open("crlf.c", "a\r\nb");
    reader(crlf)->editableTextInterface()->insertText(1, "\nx\n");
    EXPECT_EQ(crlf->TextBytes(), "a\r\nx\r\n\r\nb");

    CQuorlenView *latin1 = Open("narrow.c", "\xe9t\xe9\n");
    text = reader(latin1)->textInterface();
    EXPECT_EQ(text->characterCount(), 4);
    EXPECT_EQ(text->text(0, -1), QString::fromUtf8("\xc3\xa9t\xc3\xa9\n"));
    reader(latin1)->editableTextInterface()->insertText(1, QString::fromUtf8("\xc3\xa0"));
    EXPECT_EQ(latin1->TextBytes(), "\xe9\xe0t\xe9\n");
}

// Runs where a screen reader is connected: ctest runs it under with_screen_reader.sh.
TEST_F(SourceViewTest, ScreenReaderHearsEditsAndReadsTheText)
{
    QCoreApplication::processEvents(); // the bridge learns of the screen reader
    if (!QAccessible::isActive()) {
        if (qEnvironmentVariableIsSet("OSTREL_SCREEN_READER"))
            FAIL() << "the screen reader announced on the accessibility bus was not heard";
        GTEST_SKIP() << "no assistive technology is connected";
    }
    struct Heard
    {
        QAccessible::Event type;
        int position;
        std::string text;
        bool operator==(const Heard &) const = default;
    };
    static std::vector<Heard> heard;
    const auto previous = QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
        if (event->type() == QAccessible::TextInserted) {
            const auto *inserted = static_cast<QAccessibleTextInsertEvent *>(event);
            heard.push_back({ event->type(), inserted->changePosition(),
                inserted->textInserted().toStdString() });
        } else if (event->type() == QAccessible::TextRemoved) {
            const auto *removed = static_cast<QAccessibleTextRemoveEvent *>(event);
            heard.push_back(
                { event->type(), removed->changePosition(), removed->textRemoved().toStdString() });
        } else if (event->type() == QAccessible::TextCaretMoved) {
            heard.push_back({ event->type(),
                static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition(), {} });
        }
    });
    CQuorlenView *view = Open("heard.c", "\xc3\xa9\n2");
    QCoreApplication::processEvents();
    heard.clear(); // the text as loaded
    Press(view, Qt::Key_End, Qt::ControlModifier);
    Press(view, Qt::Key_Return, {}, "\r");
    Press(view, Qt::Key_Backspace);
    QAccessible::installUpdateHandler(previous);
    // Positions in characters: é is one.
    const std::vector<Heard> expected = {
        { QAccessible::TextCaretMoved, 3, {} },
        { QAccessible::TextInserted, 3, "\n" },
        { QAccessible::TextCaretMoved, 4, {} },
        { QAccessible::TextRemoved, 3, "\n" },
        { QAccessible::TextCaretMoved, 3, {} },
    };
    EXPECT_EQ(heard, expected);
    QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(view);
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(reader->textInterface(), nullptr);
    EXPECT_EQ(reader->textInterface()->text(0, 3).toStdString(), "\xc3\xa9\n2");
    EXPECT_EQ(reader->textInterface()->cursorPosition(), 3);
}

// Runs with a screen reader of our own on the accessibility bus (ctest starts it with
// with_screen_reader.sh): it hears the changes and reads the line at the caret through the bus.
TEST_F(SourceViewTest, ScreenReaderReadsTheLineAtTheCaretOverTheBus)
{
    const QString log = qEnvironmentVariable("OSTREL_READER_LOG");
    if (log.isEmpty() || !QAccessible::isActive())
        GTEST_SKIP() << "no screen reader listens on the accessibility bus";
    CQuorlenView *view = Open("read.c", "ab\ncd");
    Press(view, Qt::Key_End, Qt::ControlModifier);
    Press(view, Qt::Key_Return, {}, "\r");
    Press(view, Qt::Key_Eacute, {}, QString::fromUtf8("\xc3\xa9"));
    Press(view, Qt::Key_Up);
    const QStringList expected = { "line 5 cd", "insert 5 \\n", "insert 6 \xc3\xa9",
        "line 7 \xc3\xa9", "line 4 cd\\n" };
    QStringList heard;
    const bool all = QTest::qWaitFor(
        [&] {
            QFile file(log);
            if (!file.open(QIODevice::ReadOnly))
                return false;
            heard = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
            return std::all_of(expected.begin(), expected.end(), [&](const QString &line) {
                return heard.contains(line);
            });
        },
        10000);
    EXPECT_TRUE(all) << heard.join(" | ").toStdString();
}

TEST_F(SourceViewTest, GotoLineSelectsTheTargetLine)
{
    const std::string longLine = "int " + std::string(120, 'v') + ";"; // 125 characters
    const std::string cutAtBracket = std::string(98, 'w') + "(x);"; // cut after the bracket
    const std::string text = "x = 1;\n"
                             "  max = 1;\n"
                             "\n"
                             "  x = 1;\n"
                             "y = 2;\r\n"
        + longLine + "\n" + "last\n" + cutAtBracket;
    CQuorlenView *view = Open("goto.c", text);
    struct Case
    {
        int line;
        int selectionLine; // the caret's line afterwards
        std::string selected;
    };
    const Case cases[] = {
        { 3, 3, "  x = 1;" }, // its text stands on line 0 too, and inside "max = 1;"
        { 0, 0, "x = 1;" },
        { 4, 4, "y = 2;" }, // the carriage return is not part of the text
        { 2, 2, "" }, // empty: the caret at the line's start
        { 5, 0, "x" }, // cut after 99 characters inside a word: not found, nothing moves
        { 6, 6, "last" },
        { 7, 7, cutAtBracket.substr(0, 99) }, // the last line, without a line end
        { 8, 0, "x" }, // beyond the end: the first character stays selected
        { -1, 0, "x" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        view->GotoLine(c.line);
        int line = -1, index = -1;
        view->getCursorPosition(&line, &index);
        EXPECT_EQ(line, c.selectionLine);
        EXPECT_EQ(view->selectedText().toStdString(), c.selected);
        if (c.selected.empty() && c.line >= 0) {
            EXPECT_EQ(index, 0);
        }
    }
}

TEST_F(SourceViewTest, MessageTextsStayWithTheirLinesThroughEdits)
{
    CQuorlenView *view = Open("MARKS.C", "a\nb\nc\nd\ne\nf\n");
    CQuorlenDoc *doc = view->GetDocument();
    // Out of line order, two on one line, one beyond the text.
    doc->SetMessageMarks({ { "", 4, MessageKind::Error, "e1" },
        { "", 1, MessageKind::Warning, "b1" }, { "", 2, MessageKind::Error, "c1" },
        { "", 1, MessageKind::Error, "b2" }, { "", 40, MessageKind::Error, "gone" } });
    auto texts = [doc] {
        std::vector<std::string> all;
        for (int line = 0; line < 7; ++line)
            all.push_back(doc->MessageMarkText(line));
        return all;
    };
    using Texts = std::vector<std::string>;
    EXPECT_EQ(texts(), (Texts { "", "b1\nb2", "c1", "", "e1", "", "" }));

    view->setCursorPosition(0, 0);
    QTest::keyClick(view, Qt::Key_Return); // every line one down
    EXPECT_EQ(texts(), (Texts { "", "", "b1\nb2", "c1", "", "e1", "" }));
    // Joining two marked lines keeps both lines' messages on the one that stays.
    view->setCursorPosition(2, 1);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(texts(), (Texts { "", "", "b1\nb2\nc1", "", "e1", "", "" }));
}

TEST_F(SourceViewTest, TabStopsKeepTheModifiedFlagAndMoveTheCaretToTheStart)
{
    CQuorlenView *view = Open("tabs.c", "\tint a;\n\tint b;\n");
    EXPECT_EQ(view->tabWidth(), 4); // a new view
    for (const auto &[size, width] : { std::pair { 8, 8 }, { 0, 1 }, { 1, 1 }, { 4, 4 } }) {
        view->setCursorPosition(1, 2);
        view->SetTabStops(size);
        EXPECT_EQ(view->tabWidth(), width);
        EXPECT_EQ(view->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 0);
        EXPECT_FALSE(view->GetDocument()->IsModified());
    }
    QTest::keyClicks(view, "x");
    view->SetTabStops(2);
    EXPECT_TRUE(view->GetDocument()->IsModified());
    EXPECT_EQ(view->GetDocument()->Title(), "tabs.c*");
}

// Answers the Change Tab Size dialog with `typed` and Enter; returns the dialog's caption.
QString RunTabSizeDialog(CMainFrame &frame, const QString &typed, bool thenCancel)
{
    QString caption;
    QTimer::singleShot(0, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        caption = dialog->windowTitle();
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("tabSize"));
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        if (thenCancel && dialog->isVisible())
            QTest::keyClick(dialog, Qt::Key_Escape);
    });
    frame.RouteCommand(ToUint(CommandId::ChangeTabSize));
    return caption;
}

TEST_F(SourceViewTest, ChangeTabSizeRefusesWhatIsNoSize)
{
    CQuorlenView *view = Open("tabs.c", "\tx\n");
    EXPECT_EQ(RunTabSizeDialog(Frame(), "8", false).toStdString(), "Change Tab size");
    EXPECT_EQ(view->tabWidth(), 8);
    EXPECT_TRUE(f.messages.shown.empty());

    for (const auto &[typed, message] : { std::pair { "abc", "Please enter an integer." },
             { "-3", "Please enter an integer between 0 and 128." } }) {
        f.messages.shown.clear();
        RunTabSizeDialog(Frame(), QString::fromLatin1(typed), true);
        EXPECT_EQ(f.messages.Texts(), std::vector<std::string> { message });
        EXPECT_EQ(view->tabWidth(), 8);
    }
}

TEST_F(SourceViewTest, TitleAndCaptionCarryTheModifiedMark)
{
    EXPECT_EQ(Frame().windowTitle().toStdString(), "Ostrel");
    CQuorlenView *view = Open("MAIN.C", "int a;\n");
    CQuorlenDoc *doc = view->GetDocument();
    EXPECT_EQ(Frame().windowTitle().toStdString(), "Ostrel - MAIN.C");
    QTest::keyClicks(view, "x");
    EXPECT_EQ(doc->Title(), "MAIN.C*");
    EXPECT_EQ(Frame().windowTitle().toStdString(), "Ostrel - MAIN.C*");
    view->parentWidget()->showMaximized();
    EXPECT_EQ(Frame().windowTitle().toStdString(), "Ostrel - MAIN.C*");
    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(doc->Title(), "MAIN.C");
    EXPECT_EQ(Frame().windowTitle().toStdString(), "Ostrel - MAIN.C");
    EXPECT_EQ(ReadBytes(f.dir.File("MAIN.C")), (Bytes { 'x', 'i', 'n', 't', ' ', 'a', ';', '\n' }));
    QTest::keyClicks(view, "y");
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc->Title(), "MAIN.C"); // back at the saved text
    view->parentWidget()->showNormal();
    EXPECT_EQ(Frame().windowTitle().toStdString(), "Ostrel - MAIN.C");
    Frame().MdiArea()->closeAllSubWindows();
    EXPECT_EQ(Frame().windowTitle().toStdString(), "Ostrel");
}

TEST_F(SourceViewTest, IndicatorsFollowKeysClicksAndWindows)
{
    CQuorlenView *a = Open("a.c", "1\n2\n3\n4\n");
    EXPECT_EQ(LinePane(), "Line 1");
    EXPECT_EQ(Frame().ProjectBox()->currentText().toStdString(), "Empty Project");
    QTest::keyClick(a, Qt::Key_Down);
    QTest::keyClick(a, Qt::Key_Down);
    EXPECT_EQ(LinePane(), "Line 3");

    CQuorlenView *b = Open("b.c", "1\n2\n");
    EXPECT_EQ(LinePane(), "Line 1");
    const QPoint second(b->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, 2L) + 1,
        b->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, 2L) + 1);
    QTest::mouseClick(b->viewport(), Qt::LeftButton, Qt::NoModifier, second);
    EXPECT_EQ(LinePane(), "Line 2");

    Focus(a); // the pane shows the line of the window in front
    EXPECT_EQ(LinePane(), "Line 3");

    // Six-digit line numbers show whole.
    a->GotoLine(0);
    Frame().SetLineText(QStringLiteral("Line 250000"));
    EXPECT_GE(Frame().LinePane()->width(), 75);
    EXPECT_GE(Frame().LinePane()->minimumWidth(),
        Frame().LinePane()->fontMetrics().horizontalAdvance(QStringLiteral("Line 250000")));
}

TEST_F(SourceViewTest, ContextMenuOpensFromTheKeyboardWithTheFloatMenu)
{
    CQuorlenView *view = Open("menu.c", "text\n");
    for (const auto &[key, modifiers] :
        { std::pair { Qt::Key_F10, Qt::ShiftModifier }, { Qt::Key_Menu, Qt::NoModifier } }) {
        std::vector<std::string> entries;
        QTimer::singleShot(0, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction *action : menu->actions())
                entries.push_back(action->isSeparator()
                        ? "-"
                        : action->text().toStdString() + (action->isEnabled() ? "" : " [grey]"));
            menu->close();
        });
        QTest::keyClick(view, key, modifiers);
        EXPECT_EQ(entries,
            (std::vector<std::string> { "&Undo                 Ctrl+Z [grey]", "-",
                "Cu&t                    Ctrl+X [grey]", "&Copy                 Ctrl+C [grey]",
                "&Paste                Ctrl+V [grey]", "Select A&ll          Ctrl+A", "-",
                "Change &Tab Size" }));
    }
}

TEST_F(SourceViewTest, HelpKeyFromTheView)
{
    CQuorlenView *view = Open("help.c", "x\n");
    ASSERT_EQ(Frame().findChild<CHelpWindow *>(), nullptr);
    QTest::keyClick(view, Qt::Key_F1);
    auto *help = Frame().findChild<CHelpWindow *>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->CurrentPage().toStdString(), "index.html");
    help->close();
}

TEST_F(SourceViewTest, DocumentSavesWhicheverWindowIsLeft)
{
    CQuorlenView *first = Open("two.c", "x");
    CQuorlenDoc *doc = first->GetDocument();
    CChildFrame *second = f.App().DocManager().CreateNewFrame(doc);
    first->parentWidget()->close(); // the window that loaded the text goes
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Focus(second->GetView());
    QTest::keyClicks(second->GetView(), "y");
    EXPECT_TRUE(doc->IsModified());
    QTest::keyClick(second->GetView(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(f.dir.File("two.c")), (Bytes { 'y', 'x' }));
    EXPECT_EQ(doc->Title(), "two.c");
}

TEST_F(SourceViewTest, LockPanesKeepTheirPlaceAndRecentFilesHaveAPrompt)
{
    Frame().UpdateCommandUI();
    QLabel *caps = Frame().LockPane(0);
    EXPECT_TRUE(caps->isVisibleTo(&Frame()));
    EXPECT_EQ(caps->text().toStdString(), "");
    f.keyboardLocks.state.capsLock = true;
    CQuorlenView *view = Open("locks.c", "x\n");
    QTest::keyClick(view, Qt::Key_CapsLock);
    Frame().UpdateCommandUI();
    EXPECT_EQ(caps->text().toStdString(), "CAP");

    QMenu *file = nullptr;
    for (QAction *action : Frame().menuBar()->actions())
        if (action->text() == QStringLiteral("&File"))
            file = action->menu();
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    bool prompted = false;
    for (QAction *action : file->actions())
        if (action->text().startsWith(QStringLiteral("&1 ")))
            prompted = action->statusTip() == QStringLiteral("Open this document");
    EXPECT_TRUE(prompted);
}

TEST(SendMail, AttachesTheTextAsItStandsOnlyWhereAMailProgramExists)
{
    for (const bool found : { false, true }) {
        SCOPED_TRACE(found);
        AppFixture f;
        if (found)
            f.processes.found.insert("xdg-email");
        const std::string path = f.dir.File("MAIN.C");
        WriteText(path, "int a;\r\n");
        f.Start({ path });
        CMainFrame &frame = *f.App().MainFrame();
        EXPECT_EQ(frame.Router().IsEnabled(ToUint(CommandId::FileSendMail)), found);
        if (!found)
            continue;
        CQuorlenView *view = f.App().DocManager().Documents().front()->Views().front();
        view->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 2UL, "//");
        frame.RouteCommand(ToUint(CommandId::FileSendMail));
        ASSERT_EQ(f.processes.calls.size(), 1u);
        const auto &call = f.processes.calls[0];
        EXPECT_TRUE(call.detached);
        ASSERT_EQ(call.arguments.size(), 5u);
        EXPECT_EQ(call.arguments[0], "xdg-email");
        EXPECT_EQ(call.arguments[2], "MAIN.C");
        EXPECT_EQ(call.arguments[3], "--attach");
        EXPECT_EQ(std::filesystem::path(call.arguments[4]).filename(), "MAIN.C");
        EXPECT_NE(call.arguments[4], path);
        EXPECT_EQ(ReadBytes(call.arguments[4]), ToBytes("//int a;\r\n")); // unsaved text too
        EXPECT_EQ(ReadBytes(path), ToBytes("int a;\r\n"));
        std::filesystem::remove_all(std::filesystem::path(call.arguments[4]).parent_path());
    }
}

// Folders planted where a guessable attachment folder would go, each with a link named like
// the document: nothing is written through them, and the copy keeps the name's bytes.
TEST(SendMail, WritesAPrivateCopyWhateverWasPlantedInTheTemporaryFolder)
{
    for (const std::string name : { "MAIN.C", "caf\xe9.c" }) {
        SCOPED_TRACE(name);
        AppFixture f;
        f.processes.found.insert("xdg-email");
        const std::string tmp = f.dir.File("tmp");
        const std::string victim = f.dir.File("victim");
        std::filesystem::create_directory(tmp);
        WriteText(victim, "theirs");
        const std::string path = f.dir.File(name);
        WriteText(path, "int a;\n");
        f.Start({ path });

        const bool hadTmp = qEnvironmentVariableIsSet("TMPDIR");
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QByteArray::fromStdString(tmp));
        // A folder with the link, under every name a guessable folder would have from now on:
        // planted from a second ahead down to the moment the planting meets the clock.
        const auto planted = std::filesystem::path(f.dir.File("planted"));
        std::filesystem::create_directory(planted);
        std::filesystem::create_symlink(victim, planted / name);
        for (qint64 ms = QDateTime::currentMSecsSinceEpoch() + 1000;; --ms) {
            std::filesystem::create_directory_symlink(
                planted, std::filesystem::path(tmp) / ("ostrel-mail-" + std::to_string(ms)));
            if (ms <= QDateTime::currentMSecsSinceEpoch())
                break;
        }
        f.App().MainFrame()->RouteCommand(ToUint(CommandId::FileSendMail));
        if (hadTmp)
            qputenv("TMPDIR", oldTmp);
        else
            qunsetenv("TMPDIR");

        EXPECT_EQ(ReadBytes(victim), ToBytes("theirs"));
        ASSERT_EQ(f.processes.calls.size(), 1u);
        const auto &arguments = f.processes.calls[0].arguments;
        ASSERT_EQ(arguments.size(), 5u);
        EXPECT_EQ(arguments[2], name);
        const std::filesystem::path copy = arguments[4];
        EXPECT_EQ(copy.filename().string(), name);
        EXPECT_EQ(ReadBytes(copy.string()), ToBytes("int a;\n"));
        struct stat file
        {
        };
        struct stat folder
        {
        };
        ASSERT_EQ(lstat(copy.c_str(), &file), 0);
        ASSERT_EQ(lstat(copy.parent_path().c_str(), &folder), 0);
        EXPECT_TRUE(S_ISREG(file.st_mode));
        EXPECT_EQ(file.st_mode & 0777, 0600u);
        EXPECT_EQ(folder.st_mode & 0777, 0700u);
    }
}

} // namespace
} // namespace ostrel

// Find, Find Next, Replace and printing from a source window, driven with the user's keys.
#include "app/main_frame.h"
#include "editor/doc_manager.h"
#include "editor/find_replace.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "framework/command_ids.h"
#include "platform/qt_printing.h"
#include "support/app_fixture.h"
#include "support/test_mounts.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPicture>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace ostrel {
namespace {

using test::AppFixture;
using test::WriteText;
using Sci = QsciScintillaBase;

class FindPrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        f.Start();
        Frame().show();
    }

    CMainFrame &Frame() { return *f.App().MainFrame(); }

    CQuorlenView *Open(const std::string &name, const std::string &text)
    {
        const std::string path = f.dir.File(name);
        WriteText(path, text);
        CQuorlenDoc *doc = f.App().DocManager().OpenDocumentFile(path);
        return doc ? doc->Views().front() : nullptr;
    }

    // The main window active and the view focused, so keys take the user's path through
    // shortcut overrides and the main window's accelerators.
    void Focus(CQuorlenView *view)
    {
        QApplication::processEvents(); // a dialog's own activation comes first
        QApplication::setActiveWindow(&Frame());
        view->setFocus();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), view);
    }

    static std::pair<long, long> Selection(const CQuorlenView *view)
    {
        return { view->SendScintilla(Sci::SCI_GETSELECTIONSTART),
            view->SendScintilla(Sci::SCI_GETSELECTIONEND) };
    }

    AppFixture f;
};

TEST_F(FindPrintTest, CtrlFFindsAndF3FindsAgainInAnyWindow)
{
    CQuorlenView *a = Open("a.c", "int port;\nport = 1;\n");
    ASSERT_NE(a, nullptr);
    Focus(a);
    a->SendScintilla(Sci::SCI_SETSEL, 4UL, 8L);
    QTest::keyClick(a, Qt::Key_F, Qt::ControlModifier);
    CFindReplaceDlg *dialog = CFindReplace::Of(*a).Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->IsReplace());
    EXPECT_EQ(dialog->FindEdit()->text(), QStringLiteral("port")); // the selection
    QTest::mouseClick(dialog->FindNextButton(), Qt::LeftButton);
    EXPECT_EQ(Selection(a), std::make_pair(10L, 14L));

    Focus(a);
    QTest::keyClick(a, Qt::Key_F3);
    EXPECT_EQ(Selection(a), std::make_pair(4L, 8L)); // round the end

    CQuorlenView *b = Open("b.c", "x port\n");
    Focus(b);
    QTest::keyClick(b, Qt::Key_F3);
    EXPECT_EQ(Selection(b), std::make_pair(2L, 6L));

    CQuorlenView *c = Open("c.c", "nothing\n");
    Focus(c);
    QTest::keyClick(c, Qt::Key_F3);
    EXPECT_EQ(f.messages.Texts(), std::vector<std::string> { "Cannot find \"port\"." });
}

TEST_F(FindPrintTest, CtrlHReplacesInASingleByteFile)
{
    CQuorlenView *view = Open("latin1.c", "caf\xe9 CAF\xc9 \xff\n");
    ASSERT_NE(view, nullptr);
    Focus(view);
    QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
    Focus(view);
    QTest::keyClick(view, Qt::Key_H, Qt::ControlModifier);
    CFindReplaceDlg *dialog = CFindReplace::Of(*view).Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->IsReplace()); // the Find dialog gave way

    dialog->FindEdit()->setText(QStringLiteral("caf\u00e9"));
    dialog->ReplaceEdit()->setText(QStringLiteral("\u20ac")); // no single-byte form
    QTest::mouseClick(dialog->ReplaceAllButton(), Qt::LeftButton);
    EXPECT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(view->TextBytes(), "caf\xe9 CAF\xc9 \xff\n");

    dialog->ReplaceEdit()->setText(QStringLiteral("th\u00e9"));
    QTest::mouseClick(dialog->ReplaceAllButton(), Qt::LeftButton);
    EXPECT_EQ(view->TextBytes(), "th\xe9 th\xe9 \xff\n");
    EXPECT_TRUE(view->GetDocument()->IsModified());
}

TEST_F(FindPrintTest, CtrlPReachesThePrintDialogAndTheOtherPrintCommandsRoute)
{
    CQuorlenView *view = Open("main.c", "int main;\n");
    ASSERT_NE(view, nullptr);
    Focus(view);
    QTest::keyClick(view, Qt::Key_X);
    ASSERT_EQ(view->GetDocument()->Title(), "main.c*");
    QTest::keyClick(view, Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(f.printing.jobs.size(), 1u);
    EXPECT_EQ(f.printing.jobs[0].title, "main.c"); // without the mark of unsaved changes
    EXPECT_TRUE(f.printing.jobs[0].withDialog);
    EXPECT_EQ(f.printing.jobs[0].source, static_cast<PrintSource *>(view));

    EXPECT_TRUE(Frame().RouteCommand(ToUint(CommandId::FilePrintDirect)));
    EXPECT_TRUE(Frame().RouteCommand(ToUint(CommandId::FilePrintPreview)));
    EXPECT_TRUE(Frame().RouteCommand(ToUint(CommandId::FilePrintSetup)));
    ASSERT_EQ(f.printing.jobs.size(), 3u);
    EXPECT_FALSE(f.printing.jobs[1].withDialog);
    EXPECT_FALSE(f.printing.jobs[1].preview);
    EXPECT_TRUE(f.printing.jobs[2].preview);
    EXPECT_EQ(f.printing.setupShown, 1);
    EXPECT_TRUE(f.messages.shown.empty());

    f.printing.result = PrintResult::Failed;
    Frame().RouteCommand(ToUint(CommandId::FilePrintDirect));
    EXPECT_EQ(f.messages.shown.size(), 1u);
    f.printing.result = PrintResult::Cancelled;
    Frame().RouteCommand(ToUint(CommandId::FilePrint));
    EXPECT_EQ(f.messages.shown.size(), 1u);
}

int PdfPages(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(file.readAll()).count(page));
}

TEST_F(FindPrintTest, PrintsPagesWithTitleAndPageNumber)
{
    std::string text;
    for (int line = 1; line <= 200; ++line)
        text += "line " + std::to_string(line) + "\r\n";
    CQuorlenView *view = Open("long.c", text);
    ASSERT_NE(view, nullptr);

    QtPrinting printing;
    SourcePrinter &printer = printing.Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = QString::fromStdString(f.dir.File("long.pdf"));
    printer.setOutputFileName(pdf);
    ASSERT_EQ(printing.Print(*view, "LONG.C", false), PrintResult::Printed);
    const int pages = PdfPages(pdf);
    EXPECT_GT(pages, 1);
    view->SendScintilla(Sci::SCI_SETSEL, 0UL, 12L); // a selection is printed only when asked
    ASSERT_EQ(printing.Print(*view, "LONG.C", false), PrintResult::Printed);
    EXPECT_EQ(PdfPages(pdf), pages);

    // What one page draws: the title at its head and the number at its foot.
    QPicture picture;
    QPainter painter(&picture);
    printer.SetTitle(QStringLiteral("LONG.C"));
    ASSERT_TRUE(printer.printRange(view, painter, 0, 2));
    painter.end();
    const QByteArray drawn(picture.data(), picture.size());
    const auto has = [&drawn](const QString &text) {
        QByteArray utf16;
        for (QChar c : text)
            utf16.append('\0').append(static_cast<char>(c.unicode()));
        return drawn.contains(utf16);
    };
    EXPECT_TRUE(has(QStringLiteral("LONG.C")));
    EXPECT_TRUE(has(QStringLiteral("Page 1")));
}

// The print dialog's output file: a FIFO is refused before anything could wait on it, and a
// file that could not be written whole is removed, with the system's reason.
TEST_F(FindPrintTest, PrintingToAFileOnlyWritesARegularFileAndSaysWhyItFailed)
{
    alarm(60); // a regression would block in open() for good
    CQuorlenView *view = Open("main.c", "int main;\n");
    ASSERT_NE(view, nullptr);
    QtPrinting printing;
    const std::string fifo = f.dir.File("out.pdf");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    printing.Printer().setOutputFileName(QString::fromStdString(fifo));
    EXPECT_EQ(printing.Print(*view, "main.c", false), PrintResult::Failed);
    EXPECT_NE(printing.FailureReason().find("not a regular file"), std::string::npos);

    test::TestMounts mounts;
    const std::string small = f.dir.File("small");
    std::filesystem::create_directory(small);
    if (!mounts.Tmpfs(small, 4096))
        GTEST_SKIP() << "needs a small disk: " << mounts.Error();
    test::WriteText(small + "/filler", std::string(4096, 'x'));
    const std::string pdf = small + "/out.pdf";
    printing.Printer().setOutputFileName(QString::fromStdString(pdf));
    EXPECT_EQ(printing.Print(*view, "main.c", false), PrintResult::Failed);
    EXPECT_NE(printing.FailureReason().find(std::strerror(ENOSPC)), std::string::npos)
        << printing.FailureReason();
    EXPECT_FALSE(std::filesystem::exists(pdf));
    alarm(0);
}

} // namespace
} // namespace ostrel

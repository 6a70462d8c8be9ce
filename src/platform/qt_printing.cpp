#include "platform/qt_printing.h"

#include "platform/qt_services.h"

#include <Qsci/qsciscintillabase.h>

#include <QFile>
#include <QFontMetrics>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ostrel {

namespace {

using Sci = QsciScintillaBase;

QsciScintillaBase *EditorOf(PrintSource &source)
{
    return dynamic_cast<QsciScintillaBase *>(&source);
}

bool HasSelection(const QsciScintillaBase &editor)
{
    return editor.SendScintilla(Sci::SCI_GETSELECTIONSTART)
        != editor.SendScintilla(Sci::SCI_GETSELECTIONEND);
}

} // namespace

SourcePrinter::SourcePrinter()
    : QsciPrinter(QPrinter::HighResolution)
{
    setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
}

bool SourcePrinter::PrintEditor(QsciScintillaBase &editor)
{
    return PrintLines(editor, nullptr);
}

bool SourcePrinter::PrintEditor(
    QsciScintillaBase &editor, QPainter &painter, QPagedPaintDevice &target)
{
    m_target = &target;
    const bool printed = PrintLines(editor, &painter);
    m_target = nullptr;
    return printed;
}

bool SourcePrinter::newPage()
{
    return m_target ? m_target->newPage() : QsciPrinter::newPage();
}

bool SourcePrinter::PrintLines(QsciScintillaBase &editor, QPainter *painter)
{
    m_font = editor.font();
    setDocName(m_title);
    // Screen colours may be light on dark; paper is white.
    editor.SendScintilla(
        Sci::SCI_SETPRINTCOLOURMODE, static_cast<long>(Sci::SC_PRINT_BLACKONWHITE));
    int from = -1;
    int to = -1;
    if (QPrinter::printRange() == QPrinter::Selection && HasSelection(editor)) {
        const long start = editor.SendScintilla(Sci::SCI_GETSELECTIONSTART);
        const long end = editor.SendScintilla(Sci::SCI_GETSELECTIONEND);
        from = static_cast<int>(
            editor.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start)));
        to = static_cast<int>(
            editor.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end)));
    }
    const bool printed =
        (painter ? printRange(&editor, *painter, from, to) : printRange(&editor, from, to)) != 0;
    // The choices of the print dialog hold for one job; the next prints the whole text.
    setPrintRange(QPrinter::AllPages);
    setFromTo(0, 0);
    return printed;
}

void SourcePrinter::formatPage(QPainter &painter, bool drawing, QRect &area, int pageNumber)
{
    const QFontMetrics metrics(m_font, painter.device());
    const int line = metrics.height();
    const QRect header(area.left(), area.top(), area.width(), line);
    const QRect footer(area.left(), area.bottom() - line + 1, area.width(), line);
    if (drawing) {
        painter.save();
        painter.setFont(m_font);
        painter.setPen(Qt::black);
        painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, m_title);
        const int rule = header.bottom() + line / 4;
        painter.drawLine(area.left(), rule, area.right(), rule);
        painter.drawText(
            footer, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Page %1").arg(pageNumber));
        painter.restore();
    }
    // The text goes between header and footer, a blank line away from each.
    area.setTop(area.top() + 2 * line);
    area.setBottom(area.bottom() - 2 * line);
}

QtPrinting::QtPrinting() = default;

QtPrinting::~QtPrinting() = default;

SourcePrinter &QtPrinting::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<SourcePrinter>();
    return *m_printer;
}

void QtPrinting::ShowPrintSetup()
{
    QPageSetupDialog dialog(&Printer(), m_owner);
    dialog.exec();
}

PrintResult QtPrinting::Print(PrintSource &source, const std::string &title, bool withDialog)
{
    QsciScintillaBase *editor = EditorOf(source);
    if (!editor)
        return PrintResult::Failed;
    Printer().SetTitle(ToQt(title));
    if (withDialog) {
        QPrintDialog dialog(&Printer(), m_owner);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, HasSelection(*editor));
        if (dialog.exec() != QDialog::Accepted)
            return PrintResult::Cancelled;
    }
    m_failure.clear();
    const QString output = Printer().outputFileName();
    if (!output.isEmpty())
        return PrintToFile(*editor, output);
    return Printer().PrintEditor(*editor) ? PrintResult::Printed : PrintResult::Failed;
}

PrintResult QtPrinting::PrintToFile(QsciScintillaBase &editor, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const auto fail = [this, &path](const std::string &reason) {
        // A long path is shown by its start and its end, so that the message stays small.
        const QString shown =
            path.size() <= 160 ? path : path.left(78) + QStringLiteral("...") + path.right(78);
        m_failure = "Cannot print to " + FromQt(shown) + "\n" + reason;
        return PrintResult::Failed;
    };
#ifndef _WIN32
    struct stat info
    {
    };
    if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return fail("It is not a regular file.");
    // Without waiting, should a FIFO have taken the name meanwhile.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC,
        S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH);
    if (fd < 0)
        return fail(std::strerror(errno));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail("It is not a regular file.");
    }
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(FromQt(file.errorString()));
    }
#else
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(FromQt(file.errorString()));
#endif
    bool printed = false;
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(Printer().pageLayout());
        writer.setResolution(Printer().resolution());
        writer.setTitle(Printer().docName());
        writer.setCreator(Printer().creator());
        QPainter painter;
        if (painter.begin(&writer)) {
            printed = Printer().PrintEditor(editor, painter, writer);
            painter.end();
        }
    }
    bool written = file.flush() && file.error() == QFileDevice::NoError;
    QString reason = file.errorString();
#ifndef _WIN32
    if (written && ::fsync(file.handle()) != 0) {
        written = false;
        reason = QString::fromLocal8Bit(std::strerror(errno));
    }
#endif
    file.close();
    if (written && file.error() != QFileDevice::NoError) {
        written = false;
        reason = file.errorString();
    }
    if (printed && written)
        return PrintResult::Printed;
    // What is there is no whole document.
    QFile::remove(path);
    return fail(written ? "The pages could not be drawn." : FromQt(reason));
}

void QtPrinting::Preview(PrintSource &source, const std::string &title)
{
    QsciScintillaBase *editor = EditorOf(source);
    if (!editor)
        return;
    Printer().SetTitle(ToQt(title));
    QPrintPreviewDialog dialog(&Printer(), m_owner);
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog, [this, editor](QPrinter *) {
            Printer().PrintEditor(*editor);
        });
    dialog.exec();
}

} // namespace ostrel

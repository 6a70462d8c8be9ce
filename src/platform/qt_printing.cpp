#include "platform/qt_printing.h"

#include "platform/qt_services.h"

#include <Qsci/qsciscintillabase.h>

#include <QFontMetrics>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

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
    const bool printed = printRange(&editor, from, to) != 0;
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

QtPrinting::QtPrinting()
    : m_printer(std::make_unique<SourcePrinter>())
{
}

QtPrinting::~QtPrinting() = default;

void QtPrinting::ShowPrintSetup()
{
    QPageSetupDialog dialog(m_printer.get(), m_owner);
    dialog.exec();
}

PrintResult QtPrinting::Print(PrintSource &source, const std::string &title, bool withDialog)
{
    QsciScintillaBase *editor = EditorOf(source);
    if (!editor)
        return PrintResult::Failed;
    m_printer->SetTitle(ToQt(title));
    if (withDialog) {
        QPrintDialog dialog(m_printer.get(), m_owner);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, HasSelection(*editor));
        if (dialog.exec() != QDialog::Accepted)
            return PrintResult::Cancelled;
    }
    return m_printer->PrintEditor(*editor) ? PrintResult::Printed : PrintResult::Failed;
}

void QtPrinting::Preview(PrintSource &source, const std::string &title)
{
    QsciScintillaBase *editor = EditorOf(source);
    if (!editor)
        return;
    m_printer->SetTitle(ToQt(title));
    QPrintPreviewDialog dialog(m_printer.get(), m_owner);
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog, [this, editor](QPrinter *) {
            m_printer->PrintEditor(*editor);
        });
    dialog.exec();
}

} // namespace ostrel

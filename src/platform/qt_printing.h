#pragma once

#include "platform/printing.h"

#include <Qsci/qsciprinter.h>

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QsciScintillaBase;

namespace ostrel {

// A printer for source text: the editor's fixed-pitch font, the document title at the head
// of each page and "Page n" at its foot, long lines wrapped, black on white.
class SourcePrinter : public QsciPrinter
{
public:
    SourcePrinter();

    void SetTitle(const QString &title) { m_title = title; }
    // Prints the editor's text (its selected lines when the print dialog asked for the
    // selection); false when nothing could be printed. With `target`, the pages go to that
    // device through `painter` instead, laid out as on this printer.
    bool PrintEditor(QsciScintillaBase &editor);
    bool PrintEditor(QsciScintillaBase &editor, QPainter &painter, QPagedPaintDevice &target);

    bool newPage() override;

    void formatPage(QPainter &painter, bool drawing, QRect &area, int pageNumber) override;

private:
    bool PrintLines(QsciScintillaBase &editor, QPainter *painter);

    QString m_title;
    QFont m_font;
    QPagedPaintDevice *m_target = nullptr;
};

// Printing through QtPrintSupport over one printer kept for the whole run, made when first
// needed: making it loads the system's print service and its libraries (a few megabytes),
// which a run that never prints does without. The dialogs are owned by the main window. Page
// margins start at half an inch on each side.
class QtPrinting : public Printing
{
public:
    QtPrinting();
    ~QtPrinting() override;

    void ShowPrintSetup() override;
    PrintResult Print(PrintSource &source, const std::string &title, bool withDialog) override;
    void Preview(PrintSource &source, const std::string &title) override;
    std::string FailureReason() const override { return m_failure; }

    void SetOwner(QWidget *owner) { m_owner = owner; }
    SourcePrinter &Printer();

private:
    // Printing to the file chosen in the print dialog: only to a regular file (or a new
    // one), never to a FIFO or a device that would keep the program waiting; a file that
    // could not be written whole is removed and the reason kept.
    PrintResult PrintToFile(QsciScintillaBase &editor, const QString &path);

    std::unique_ptr<SourcePrinter> m_printer;
    std::string m_failure;
    QPointer<QWidget> m_owner;
};

} // namespace ostrel

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
    // selection); false when nothing could be printed.
    bool PrintEditor(QsciScintillaBase &editor);

    void formatPage(QPainter &painter, bool drawing, QRect &area, int pageNumber) override;

private:
    QString m_title;
    QFont m_font;
};

// Printing through QtPrintSupport over one printer kept for the whole run; the dialogs are
// owned by the main window. Page margins start at half an inch on each side.
class QtPrinting : public Printing
{
public:
    QtPrinting();
    ~QtPrinting() override;

    void ShowPrintSetup() override;
    PrintResult Print(PrintSource &source, const std::string &title, bool withDialog) override;
    void Preview(PrintSource &source, const std::string &title) override;

    void SetOwner(QWidget *owner) { m_owner = owner; }
    SourcePrinter &Printer() { return *m_printer; }

private:
    std::unique_ptr<SourcePrinter> m_printer;
    QPointer<QWidget> m_owner;
};

} // namespace ostrel

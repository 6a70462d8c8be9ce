#pragma once

#include <string>

namespace ostrel {

// Something that can be printed. The printing service knows the real type behind it (the
// source view), so this stays free of any window type.
class PrintSource
{
public:
    virtual ~PrintSource() = default;
};

enum class PrintResult { Printed, Cancelled, Failed };

// Printing with one printer kept for the whole run, so that what the user chose in Print
// Setup (printer, paper, margins) is what Print and Print Preview use.
class Printing
{
public:
    virtual ~Printing() = default;

    // The page set-up dialog: printer, paper, orientation and margins.
    virtual void ShowPrintSetup() = 0;
    // Prints `source` with `title` at the head of each page and the page number at its foot;
    // `withDialog` lets the user choose printer, pages and copies first.
    virtual PrintResult Print(PrintSource &source, const std::string &title, bool withDialog) = 0;
    // Shows the pages as they will be printed; they can be printed from there.
    virtual void Preview(PrintSource &source, const std::string &title) = 0;
    // Why the last Print failed, when that is known ("No space left on device").
    virtual std::string FailureReason() const { return {}; }
};

} // namespace ostrel

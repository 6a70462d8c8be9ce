#pragma once

#include <QKeySequence>

namespace ostrel {

struct Accelerator;

// The key of an accelerator-table entry. The main window's shortcuts and the source view, which
// must leave those keys to the window, both take their keys from here.
QKeySequence ToKeySequence(const Accelerator &accelerator);

} // namespace ostrel

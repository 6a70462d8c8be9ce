#pragma once

#include "platform/keyboard_locks.h"
#include "platform/print_setup.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QPrinter;

namespace ostrel {

// Caps, Num and Scroll Lock: read from the X server's keyboard indicators under X11 and from
// the key states on Windows; elsewhere they read as off.
class QtKeyboardLocks : public KeyboardLocks
{
public:
    LockState State() const override;

private:
    mutable bool m_masksKnown = false;
    mutable unsigned int m_masks[3] = {};
};

// The page set-up dialog over one printer kept for the whole run.
class QtPrintSetup : public PrintSetup
{
public:
    QtPrintSetup();
    ~QtPrintSetup() override;
    void ShowPrintSetup() override;
    void SetOwner(QWidget *owner) { m_owner = owner; }

private:
    std::unique_ptr<QPrinter> m_printer;
    QPointer<QWidget> m_owner;
};

} // namespace ostrel

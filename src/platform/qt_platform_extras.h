#pragma once

#include "platform/keyboard_locks.h"

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

} // namespace ostrel

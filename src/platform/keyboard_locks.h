#pragma once

namespace ostrel {

struct LockState
{
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// The keyboard's lock keys, where the platform reports them.
class KeyboardLocks
{
public:
    virtual ~KeyboardLocks() = default;
    virtual LockState State() const = 0;
};

} // namespace ostrel

#pragma once

#include <functional>
#include <memory>

namespace ostrel {

// A wait that has been asked for; destroying it before its time cancels it.
class PendingWait
{
public:
    virtual ~PendingWait() = default;
};

// Waits of the program. None blocks: the program goes on and `then` runs from the event loop
// once the time has passed. Tests count the waits instead of waiting.
class Sleeper
{
public:
    virtual ~Sleeper() = default;
    virtual std::unique_ptr<PendingWait> After(int milliseconds, std::function<void()> then) = 0;
};

} // namespace ostrel

#pragma once

namespace ostrel {

// Waits of the program; tests count them instead of waiting.
class Sleeper
{
public:
    virtual ~Sleeper() = default;
    virtual void Sleep(int milliseconds) = 0;
};

} // namespace ostrel

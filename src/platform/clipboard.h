#pragma once

#include <string>

namespace ostrel {

// Plain text on the system clipboard, as UTF-8.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual void SetText(const std::string &text) = 0;
    virtual std::string Text() const = 0;
};

} // namespace ostrel

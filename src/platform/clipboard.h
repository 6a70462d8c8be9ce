#pragma once

#include <string>
#include <vector>

namespace ostrel {

// Plain text on the system clipboard, as UTF-8.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual void SetText(const std::string &text) = 0;
    virtual std::string Text() const = 0;
    // Whether there is text to paste; cheap enough to ask on every command-state update.
    virtual bool HasText() const = 0;
    // The text formats the clipboard offers ("text/plain", "text/html", ...), and one of them
    // as UTF-8 text.
    virtual std::vector<std::string> TextFormats() const = 0;
    virtual std::string TextOfFormat(const std::string &format) const = 0;
};

} // namespace ostrel

#pragma once

#include <cstdint>
#include <string>

namespace ostrel {

// A note adds to the message before it; it is marked as a warning is.
enum class MessageKind { Error, Warning, Note };

// A compiler message about one line of a source file, as a build reports it and the source
// views mark it.
struct LineMessage
{
    std::string file; // the file's path
    int32_t line = 0; // 0-based
    MessageKind kind = MessageKind::Error;
    std::string text; // the whole entry
};

} // namespace ostrel

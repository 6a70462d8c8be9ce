#pragma once

#include <cstdint>
#include <string>

namespace ostrel {

enum class MessageKind { Error, Warning };

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

#include "app/version_file.h"

#include "framework/binary_fields.h"

namespace ostrel {

std::string ReadVersionLine(const std::string &path)
{
    constexpr size_t kMaxLine = 99;
    Bytes bytes;
    if (ReadWholeFile(path, bytes, kMaxLine) != FileResult::Ok || bytes.empty())
        return kBuiltInVersionLine;
    std::string line(bytes.begin(), bytes.end());
    const size_t newline = line.find('\n');
    if (newline != std::string::npos)
        line.resize(newline + 1);
    return line;
}

} // namespace ostrel

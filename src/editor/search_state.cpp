#include "editor/search_state.h"

namespace ostrel {

std::optional<std::string> DocumentBytes(std::string_view text, bool utf8Document)
{
    if (utf8Document)
        return std::string(text);
    // Latin-1 holds exactly the code points up to U+00FF: ASCII as it is, U+0080 to U+00FF
    // from their two-byte UTF-8 forms (lead byte 0xC2 or 0xC3).
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            bytes.push_back(static_cast<char>(lead));
            continue;
        }
        if ((lead != 0xC2 && lead != 0xC3) || i + 1 >= text.size())
            return std::nullopt;
        const auto next = static_cast<unsigned char>(text[++i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        bytes.push_back(static_cast<char>(((lead & 0x03u) << 6) | (next & 0x3Fu)));
    }
    return bytes;
}

} // namespace ostrel

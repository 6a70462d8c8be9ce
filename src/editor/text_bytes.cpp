#include "editor/text_bytes.h"

namespace ostrel {

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        size_t length = 0;
        unsigned minimum = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (bytes.size() - i < length)
            return false;
        unsigned code = lead & (0xFFu >> (length + 1));
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

LineEnd DetectLineEnd(std::string_view bytes, LineEnd fallback)
{
    const size_t end = bytes.find_first_of("\r\n");
    if (end == std::string_view::npos)
        return fallback;
    if (bytes[end] == '\n')
        return LineEnd::Lf;
    return end + 1 < bytes.size() && bytes[end + 1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
}

std::string ConvertLineEnds(std::string_view text, LineEnd lineEnd)
{
    const std::string_view eol = lineEnd == LineEnd::CrLf ? "\r\n"
        : lineEnd == LineEnd::Lf                          ? "\n"
                                                          : "\r";
    std::string converted;
    converted.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            converted += eol;
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (text[i] == '\n') {
            converted += eol;
        } else {
            converted += text[i];
        }
    }
    return converted;
}

std::string ShortenForMessage(std::string_view text, size_t maxBytes)
{
    constexpr std::string_view kGap = "...";
    if (text.size() <= maxBytes || maxBytes <= kGap.size() + 2)
        return std::string(text);
    const auto continues = [&](size_t at) {
        return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
    };
    size_t head = (maxBytes - kGap.size()) / 2;
    size_t tail = text.size() - (maxBytes - kGap.size() - head);
    while (head > 0 && continues(head))
        --head;
    while (continues(tail))
        ++tail;
    std::string shown(text.substr(0, head));
    shown += kGap;
    shown += text.substr(tail);
    return shown;
}

} // namespace ostrel

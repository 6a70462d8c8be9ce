#include "app/menus/menu_text.h"

namespace ostrel {

std::u16string WidenMenuText(std::string_view text)
{
    std::u16string wide;
    wide.reserve(text.size());
    for (const char c : text)
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return wide;
}

std::string NarrowMenuText(std::u16string_view text)
{
    std::string narrow;
    narrow.reserve(text.size());
    for (const char16_t c : text)
        narrow.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    return narrow;
}

} // namespace ostrel

#include "menus/menu_text.h"

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

std::string UnpaddedMenuText(std::string_view text)
{
    const size_t tab = text.find('\t');
    if (tab == std::string_view::npos)
        return std::string(text);
    const size_t end = text.find_last_not_of(' ', tab == 0 ? 0 : tab - 1);
    const size_t labelEnd = end == std::string_view::npos || tab == 0 ? 0 : end + 1;
    return std::string(text.substr(0, labelEnd)) + std::string(text.substr(tab));
}

} // namespace ostrel

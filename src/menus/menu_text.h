#pragma once

#include <string>
#include <string_view>

namespace ostrel {

// Menu texts are kept as 16-bit characters in menu templates and icon-menu records, and as
// 8-bit text everywhere else. With no system code page to ask, the 8-bit side is Latin-1: every
// byte maps to the character of the same value, and a character above 255 narrows to '?'.
std::u16string WidenMenuText(std::string_view text);
std::string NarrowMenuText(std::u16string_view text);

// The text without the blanks that line its accelerator up with the others of its list:
// "&New      \tCtrl+N" gives "&New\tCtrl+N". Text without a tab stays as it is.
std::string UnpaddedMenuText(std::string_view text);

} // namespace ostrel

#include "contract/compiler_contract.h"

#include <cctype>

namespace ostrel::contract {

bool IsMessageFile(std::string_view path)
{
    const size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() != kMessageFile.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto a = static_cast<unsigned char>(name[i]);
        const auto b = static_cast<unsigned char>(kMessageFile[i]);
        if (std::toupper(a) != std::toupper(b))
            return false;
    }
    return true;
}

} // namespace ostrel::contract

#include "platform/short_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace ostrel {

std::string ShortPath(const std::string &path)
{
#ifdef _WIN32
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (wideLength <= 0)
        return path;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), wideLength);
    const DWORD shortLength = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (shortLength == 0)
        return path;
    std::wstring shortWide(shortLength, L'\0');
    if (GetShortPathNameW(wide.c_str(), shortWide.data(), shortLength) == 0)
        return path;
    shortWide.resize(wcslen(shortWide.c_str()));
    const int narrowLength =
        WideCharToMultiByte(CP_ACP, 0, shortWide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (narrowLength <= 0)
        return path;
    std::string result(static_cast<size_t>(narrowLength), '\0');
    WideCharToMultiByte(
        CP_ACP, 0, shortWide.c_str(), -1, result.data(), narrowLength, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
#else
    return path;
#endif
}

} // namespace ostrel

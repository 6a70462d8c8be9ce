#include "framework/path_parts.h"

#include <algorithm>
#include <cctype>

namespace ostrel {

namespace {

size_t NameStart(const std::string &path)
{
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? 0 : separator + 1;
}

} // namespace

std::string FileNameOf(const std::string &path)
{
    return path.substr(NameStart(path));
}

std::string DirectoryOf(const std::string &path)
{
    return path.substr(0, NameStart(path));
}

std::string BaseNameOf(const std::string &path)
{
    const std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ExtensionOf(const std::string &path)
{
    const std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string JoinPath(const std::string &directory, const std::string &name)
{
    if (directory.empty() || directory.back() == '/' || directory.back() == '\\')
        return directory + name;
    return directory + '/' + name;
}

bool EqualsIgnoringCase(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x))
            == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string ApplyDefaultExtension(const std::string &path, const std::string &extension)
{
    const std::string name = FileNameOf(path);
    if (name.empty() || name.find('.') != std::string::npos || extension.empty())
        return path;
    return path + '.' + extension;
}

std::string CommandLinePath(const std::vector<std::string> &arguments)
{
    std::string path;
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (i > 1)
            path += ' ';
        path += arguments[i];
    }
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    return path;
}

} // namespace ostrel

#include "project/extension_checks.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace ostrel {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string Trimmed(const std::string &text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

bool IsValidDefine(const std::string &define)
{
    const std::string name = define.substr(0, define.find('='));
    if (name.empty() || IsDigit(name.front()))
        return false;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')
            || static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool IsValidClock(const std::string &clockHz)
{
    if (clockHz.empty() || clockHz.size() > 20)
        return false;
    uint64_t value = 0;
    for (char c : clockHz) {
        if (!IsDigit(c))
            return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > UINT32_MAX)
            return false;
    }
    return value >= 1;
}

std::vector<std::string> SplitFlags(const std::string &flags)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : flags) {
        if (!IsBlank(c)) {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string item = Trimmed(text.substr(start, end - start));
        if (!item.empty())
            items.push_back(std::move(item));
        start = end + 1;
    }
    return items;
}

std::string JoinLines(const std::vector<std::string> &items)
{
    std::string text;
    for (const std::string &item : items) {
        if (!text.empty())
            text += '\n';
        text += item;
    }
    return text;
}

std::optional<ExtensionProblem> CheckExtension(
    const ProjectExtension &extension, const std::function<bool(const std::string &)> &folderExists)
{
    if (!extension.clockHz.empty() && !IsValidClock(extension.clockHz))
        return ExtensionProblem { ExtensionProblem::Clock, 0,
            "The clock frequency \"" + extension.clockHz
                + "\" is not a number.\nGive it in Hz as decimal digits, from 1 to 4294967295 "
                  "(for example 8000000)." };
    for (size_t i = 0; i < extension.defines.size(); ++i)
        if (!IsValidDefine(extension.defines[i]))
            return ExtensionProblem { ExtensionProblem::Define, i,
                "\"" + extension.defines[i]
                    + "\" is not a valid define.\nWrite NAME or NAME=value; NAME is made of "
                      "letters, digits and _ and does not begin with a digit." };
    for (size_t i = 0; i < extension.includeFolders.size(); ++i)
        if (!folderExists(extension.includeFolders[i]))
            return ExtensionProblem { ExtensionProblem::IncludeFolder, i,
                "The include folder \"" + extension.includeFolders[i] + "\" does not exist." };
    for (size_t i = 0; i < extension.librarySources.size(); ++i)
        if (!folderExists(extension.librarySources[i]))
            return ExtensionProblem { ExtensionProblem::LibrarySource, i,
                "The library source folder \"" + extension.librarySources[i]
                    + "\" does not exist." };
    return std::nullopt;
}

bool FolderExists(const std::string &path)
{
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::path(path), error);
}

} // namespace ostrel

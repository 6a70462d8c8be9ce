#include "compile/message_file.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace ostrel {

std::vector<std::string> SplitMessageLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        else if (end > begin && text[end - 1] == '\r')
            --end;
        lines.emplace_back(text.substr(begin, end - begin));
        begin = next;
    }
    return lines;
}

MessageFile ReadMessageFile(const std::string &path)
{
    MessageFile result;
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        result.status = MessageFileStatus::CannotOpen;
        return result;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(
        std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        result.status = MessageFileStatus::CannotOpen;
        return result;
    }
    std::string text;
    char buffer[65536];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        text.append(buffer, count);
    if (std::ferror(file.get()))
        result.status = MessageFileStatus::ReadError;
    result.lines = SplitMessageLines(text);
    return result;
}

} // namespace ostrel

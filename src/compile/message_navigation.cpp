#include "compile/message_navigation.h"

#include "compile/message_line.h"

#include <algorithm>

namespace ostrel {

std::optional<MessageKind> MessageKindOf(std::string_view entry)
{
    const size_t error = entry.find("Error ");
    const size_t warning = entry.find("Warning ");
    if (error == std::string_view::npos && warning == std::string_view::npos)
        return std::nullopt;
    return error < warning ? MessageKind::Error : MessageKind::Warning;
}

std::vector<LineMessage> LineMessages(const std::vector<std::string> &entries)
{
    std::vector<LineMessage> messages;
    for (const std::string &entry : entries) {
        auto location = ParseMessageLocation(entry);
        if (!location || location->line < 1)
            continue;
        // A navigable entry always holds one of the two words.
        messages.push_back({ std::move(location->file), location->line - 1,
            MessageKindOf(entry).value_or(MessageKind::Error), entry });
    }
    return messages;
}

int StepMessageRow(const std::vector<int> &navigableRows, int current, bool forward)
{
    if (navigableRows.empty())
        return -1;
    if (forward) {
        const auto next = std::upper_bound(navigableRows.begin(), navigableRows.end(), current);
        return next == navigableRows.end() ? navigableRows.front() : *next;
    }
    const auto at = std::lower_bound(navigableRows.begin(), navigableRows.end(), current);
    return at == navigableRows.begin() ? navigableRows.back() : *std::prev(at);
}

} // namespace ostrel

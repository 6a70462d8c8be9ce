#include "compile/message_navigation.h"

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

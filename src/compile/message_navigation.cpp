#include "compile/message_navigation.h"

#include <algorithm>

namespace ostrel {

std::optional<MessageKind> MessageKindOf(std::string_view entry)
{
    const std::pair<std::string_view, MessageKind> kWords[] = { { "Error ", MessageKind::Error },
        { "Warning ", MessageKind::Warning }, { "Note ", MessageKind::Note } };
    std::optional<MessageKind> kind;
    size_t first = std::string_view::npos;
    for (const auto &[word, wordKind] : kWords) {
        const size_t at = entry.find(word);
        if (at < first) {
            first = at;
            kind = wordKind;
        }
    }
    return kind;
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

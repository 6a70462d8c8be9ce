#include "compile/build_result.h"

#include "compile/message_line.h"
#include "compile/message_navigation.h"

#include <algorithm>

namespace ostrel {

BuildResult::BuildResult(std::vector<std::string> entries, const std::string &messageFileDir)
    : m_entries(std::move(entries))
{
    // A file is looked up on disk once, however many messages name it.
    std::map<std::string, std::string> resolved;
    for (size_t row = 0; row < m_entries.size(); ++row) {
        const std::string &entry = m_entries[row];
        auto location = ParseMessageLocation(entry);
        if (!location)
            continue;
        auto [known, added] = resolved.try_emplace(location->file);
        if (added)
            known->second = ResolveMessageFile(location->file, messageFileDir);
        // A navigable entry always holds one of the two words.
        const MessageKind kind = MessageKindOf(entry).value_or(MessageKind::Error);
        m_rows.push_back(static_cast<int>(row));
        m_places.push_back({ kind, std::move(location->file), known->second, location->line });
        if (location->line >= 1)
            m_lineMessages[known->second].push_back(
                { known->second, location->line - 1, kind, entry });
    }
}

const BuildResult::Place *BuildResult::PlaceAt(int row) const
{
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row);
    if (at == m_rows.end() || *at != row)
        return nullptr;
    return &m_places[static_cast<size_t>(at - m_rows.begin())];
}

} // namespace ostrel

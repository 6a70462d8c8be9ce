#include "compile/build_result.h"

#include "compile/message_line.h"
#include "compile/message_navigation.h"

#include <algorithm>
#include <filesystem>

namespace ostrel {

BuildResult::BuildResult(std::vector<std::string> entries, const std::string &messageFileDir)
    : m_entries(std::move(entries))
{
    // A file is looked up on disk once, however many messages name it.
    std::map<std::string, std::string> resolved;
    std::map<std::string, bool> existing;
    auto resolve = [&](const std::string &name) -> const std::string & {
        auto [known, added] = resolved.try_emplace(name);
        if (added)
            known->second = ResolveMessageFile(name, messageFileDir);
        return known->second;
    };
    auto exists = [&](const std::string &name) {
        auto [known, added] = existing.try_emplace(name);
        if (added) {
            std::error_code error;
            known->second = std::filesystem::is_regular_file(resolve(name), error);
        }
        return known->second;
    };
    for (size_t row = 0; row < m_entries.size(); ++row) {
        const std::string &entry = m_entries[row];
        auto location = LocateMessage(entry, exists);
        if (!location)
            continue;
        const std::string path = resolve(location->file);
        // A navigable entry always holds one of the words.
        const MessageKind kind = MessageKindOf(entry).value_or(MessageKind::Error);
        m_rows.push_back(static_cast<int>(row));
        m_places.push_back({ kind, std::move(location->file), path, location->line });
        if (location->line >= 1)
            m_lineMessages[path].push_back({ path, location->line - 1, kind, entry });
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

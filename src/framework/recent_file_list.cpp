#include "framework/recent_file_list.h"

#include "framework/path_parts.h"
#include "platform/profile.h"

#include <algorithm>

namespace ostrel {

namespace {

const char kSection[] = "Recent File List";

std::string KeyOf(size_t index)
{
    return "File" + std::to_string(index + 1);
}

} // namespace

RecentFileList::RecentFileList(size_t size)
    : m_size(size)
{
}

void RecentFileList::Add(const std::string &path)
{
    if (path.empty())
        return;
    std::erase(m_entries, path);
    m_entries.insert(m_entries.begin(), path);
    if (m_entries.size() > m_size)
        m_entries.resize(m_size);
}

void RecentFileList::Remove(size_t index)
{
    if (index < m_entries.size())
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
}

void RecentFileList::ReadFrom(const Profile &profile)
{
    m_entries.clear();
    for (size_t i = 0; i < m_size; ++i) {
        const std::string path = profile.GetString(kSection, KeyOf(i), "");
        if (!path.empty() && std::find(m_entries.begin(), m_entries.end(), path) == m_entries.end())
            m_entries.push_back(path);
    }
}

void RecentFileList::WriteTo(Profile &profile) const
{
    for (size_t i = 0; i < m_size; ++i)
        profile.WriteString(kSection, KeyOf(i), i < m_entries.size() ? m_entries[i] : "");
}

std::string RecentFileList::MenuText(size_t index, size_t maxLength) const
{
    if (index >= m_entries.size())
        return {};
    std::string shown = m_entries[index];
    const std::string name = FileNameOf(shown);
    if (shown.size() > maxLength && name.size() + 4 < shown.size()) {
        // Keep the start of the path and the whole file name.
        const size_t keep = maxLength > name.size() + 4 ? maxLength - name.size() - 4 : 0;
        shown = shown.substr(0, keep) + "...";
        shown += shown.empty() || keep == 0 ? name : "/" + name;
    }
    // A literal "&" in a path must not become a mnemonic.
    std::string escaped;
    for (char c : shown) {
        escaped += c;
        if (c == '&')
            escaped += '&';
    }
    std::string text = "&";
    text += std::to_string(index + 1);
    text += ' ';
    text += escaped;
    return text;
}

} // namespace ostrel

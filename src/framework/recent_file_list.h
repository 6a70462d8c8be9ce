#pragma once

#include <string>
#include <vector>

namespace ostrel {

class Profile;

// The most recently opened files, newest first, kept in the user's profile.
class RecentFileList
{
public:
    explicit RecentFileList(size_t size = 4);

    // Moves `path` to the top; the oldest entry drops off a full list.
    void Add(const std::string &path);
    void Remove(size_t index);
    const std::vector<std::string> &Entries() const { return m_entries; }
    size_t Size() const { return m_size; }

    void ReadFrom(const Profile &profile);
    void WriteTo(Profile &profile) const;

    // The menu text of entry `index`: "&1 " and the path, shortened in its middle to
    // about `maxLength` characters so the menu stays narrow.
    std::string MenuText(size_t index, size_t maxLength = 40) const;

private:
    size_t m_size;
    std::vector<std::string> m_entries;
};

} // namespace ostrel

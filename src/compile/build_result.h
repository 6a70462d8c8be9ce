#pragma once

#include "contract/line_message.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ostrel {

// What one compile reported, made once when its message file has been read: the entries of
// the output window and, for each message about a place, its kind, file and line. The output
// window, stepping with F4 and the margin marks all read this one value.
class BuildResult
{
public:
    // Where a message points.
    struct Place
    {
        MessageKind kind = MessageKind::Error;
        std::string file; // as the message writes it
        std::string path; // the file it means (ResolveMessageFile)
        int32_t line = 0; // 1-based as written; below 1 it names no line
    };

    BuildResult() = default;
    // Relative file names that do not exist in the current directory are looked for in
    // `messageFileDir`, where the compiler ran.
    BuildResult(std::vector<std::string> entries, const std::string &messageFileDir);

    const std::vector<std::string> &Entries() const { return m_entries; }
    // The rows whose entries name a place, ascending.
    const std::vector<int> &NavigableRows() const { return m_rows; }
    // The place the entry at `row` names; null for any other row.
    const Place *PlaceAt(int row) const;
    // The messages about a line (line 1 or beyond) by the path of their file, each file's in
    // the order of the list.
    const std::map<std::string, std::vector<LineMessage>> &LineMessagesByFile() const
    {
        return m_lineMessages;
    }

private:
    std::vector<std::string> m_entries;
    std::vector<int> m_rows;
    std::vector<Place> m_places; // one for each of m_rows
    std::map<std::string, std::vector<LineMessage>> m_lineMessages;
};

} // namespace ostrel

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// What the serial monitor adds after each line it sends.
enum class SerialLineEnd : unsigned char { None, Cr, Lf, CrLf };

std::string_view LineEndBytes(SerialLineEnd end);

// The bytes a typed send line stands for: its text as UTF-8, with the escapes \xHH (two hex
// digits, any byte), \r, \n, \t, \0 and \\. A backslash before anything else is sent as typed.
std::string SendLineBytes(std::string_view typed);

// The lines sent, for Up and Down in the send line. Up from the line being typed keeps it
// and Down past the newest entry gives it back.
class SendHistory
{
public:
    static constexpr size_t kMaxEntries = 100;

    // A line just sent: empty lines and a repeat of the newest entry are not added.
    void Add(const std::string &line);
    // The older entry, or nothing at the oldest; `typed` is what the send line holds now.
    std::optional<std::string> Up(const std::string &typed);
    // The newer entry, the kept typed line past the newest, or nothing when not browsing.
    std::optional<std::string> Down();

    const std::vector<std::string> &Entries() const { return m_entries; }

private:
    std::vector<std::string> m_entries; // oldest first
    size_t m_position = 0; // == size(): not browsing
    std::string m_typed;
};

} // namespace ostrel

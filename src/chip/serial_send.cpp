#include "chip/serial_send.h"

namespace ostrel {

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string_view LineEndBytes(SerialLineEnd end)
{
    switch (end) {
    case SerialLineEnd::Cr:
        return "\r";
    case SerialLineEnd::Lf:
        return "\n";
    case SerialLineEnd::CrLf:
        return "\r\n";
    case SerialLineEnd::None:
        break;
    }
    return {};
}

std::string SendLineBytes(std::string_view typed)
{
    std::string bytes;
    bytes.reserve(typed.size());
    for (size_t i = 0; i < typed.size(); ++i) {
        const char c = typed[i];
        if (c != '\\' || i + 1 == typed.size()) {
            bytes += c;
            continue;
        }
        const char next = typed[i + 1];
        char plain = 0;
        switch (next) {
        case 'r':
            plain = '\r';
            break;
        case 'n':
            plain = '\n';
            break;
        case 't':
            plain = '\t';
            break;
        case '0':
            plain = '\0';
            break;
        case '\\':
            plain = '\\';
            break;
        case 'x':
            if (i + 3 < typed.size() && HexValue(typed[i + 2]) >= 0
                && HexValue(typed[i + 3]) >= 0) {
                bytes += static_cast<char>(HexValue(typed[i + 2]) * 16 + HexValue(typed[i + 3]));
                i += 3;
                continue;
            }
            bytes += c;
            continue;
        default:
            bytes += c;
            continue;
        }
        bytes += plain;
        ++i;
    }
    return bytes;
}

void SendHistory::Add(const std::string &line)
{
    m_position = m_entries.size();
    if (line.empty() || (!m_entries.empty() && m_entries.back() == line))
        return;
    if (m_entries.size() == kMaxEntries)
        m_entries.erase(m_entries.begin());
    m_entries.push_back(line);
    m_position = m_entries.size();
}

std::optional<std::string> SendHistory::Up(const std::string &typed)
{
    if (m_position == 0)
        return std::nullopt;
    if (m_position == m_entries.size())
        m_typed = typed;
    return m_entries[--m_position];
}

std::optional<std::string> SendHistory::Down()
{
    if (m_position >= m_entries.size())
        return std::nullopt;
    ++m_position;
    return m_position == m_entries.size() ? m_typed : m_entries[m_position];
}

} // namespace ostrel

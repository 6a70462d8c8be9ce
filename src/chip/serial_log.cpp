#include "chip/serial_log.h"

#include <algorithm>

namespace ostrel {

namespace {

// Pieces that come within the same millisecond share one chunk up to this size.
constexpr size_t kChunkBytes = 64 * 1024;

} // namespace

SerialLog::SerialLog(size_t limitBytes)
    : m_limit(std::max<size_t>(limitBytes, 1))
{
}

void SerialLog::Append(std::string_view bytes, int64_t timeOfDayMs)
{
    m_received += bytes.size();
    if (bytes.size() > m_limit)
        bytes.remove_prefix(bytes.size() - m_limit);
    if (!m_chunks.empty() && !m_chunks.back().note && m_chunks.back().timeOfDayMs == timeOfDayMs
        && m_chunks.back().bytes.size() + bytes.size() <= kChunkBytes)
        m_chunks.back().bytes.append(bytes);
    else
        m_chunks.push_back({ timeOfDayMs, std::string(bytes) });
    m_kept += bytes.size();
    while (m_kept > m_limit) {
        if (m_chunks.front().note) {
            m_chunks.pop_front();
            continue;
        }
        std::string &oldest = m_chunks.front().bytes;
        const size_t excess = m_kept - m_limit;
        if (oldest.size() <= excess) {
            m_kept -= oldest.size();
            m_chunks.pop_front();
        } else {
            oldest.erase(0, excess);
            m_kept -= excess;
        }
    }
}

void SerialLog::AppendNote(std::string_view text, int64_t timeOfDayMs)
{
    m_chunks.push_back({ timeOfDayMs, std::string(text), true });
}

void SerialLog::Clear()
{
    m_chunks.clear();
    m_kept = 0;
}

std::string SerialLog::Kept() const
{
    std::string all;
    all.reserve(m_kept);
    for (const Chunk &chunk : m_chunks) {
        if (!chunk.note)
            all += chunk.bytes;
    }
    return all;
}

std::string SerialLog::Render(const SerialViewOptions &options) const
{
    SerialRenderer renderer(options);
    std::string text;
    for (const Chunk &chunk : m_chunks) {
        text += chunk.note ? renderer.Note(chunk.bytes, chunk.timeOfDayMs)
                           : renderer.Feed(chunk.bytes, chunk.timeOfDayMs);
    }
    text += renderer.Finish();
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    return text;
}

std::string_view LastLines(std::string_view text, size_t maxLines)
{
    if (maxLines == 0)
        return {};
    size_t end = text.size();
    if (end > 0 && text[end - 1] == '\n')
        --end; // the last line's own line end
    size_t lines = 0;
    for (size_t i = end; i > 0; --i) {
        if (text[i - 1] == '\n' && ++lines == maxLines)
            return text.substr(i);
    }
    return text;
}

} // namespace ostrel

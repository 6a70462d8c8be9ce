#pragma once

#include "chip/serial_render.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace ostrel {

// What the serial monitor received, as bytes with the time they came, bounded: past the limit
// the oldest bytes go, so what is kept is always exactly the last bytes received. The view is
// drawn from it again whenever its options change, and Save writes all of it.
class SerialLog
{
public:
    static constexpr size_t kDefaultLimit = 4 << 20;

    explicit SerialLog(size_t limitBytes = kDefaultLimit);

    void Append(std::string_view bytes, int64_t timeOfDayMs);
    // A line of the monitor's own between the bytes (see SerialRenderer::Note); not a byte.
    void AppendNote(std::string_view text, int64_t timeOfDayMs);
    void Clear();

    size_t KeptBytes() const { return m_kept; }
    uint64_t ReceivedBytes() const { return m_received; }
    size_t LimitBytes() const { return m_limit; }

    // The bytes kept, without the notes.
    std::string Kept() const;
    // All that is kept as the view with these options shows it, its last line complete.
    std::string Render(const SerialViewOptions &options) const;

private:
    struct Chunk
    {
        int64_t timeOfDayMs;
        std::string bytes;
        bool note = false;
    };

    size_t m_limit;
    size_t m_kept = 0;
    uint64_t m_received = 0;
    std::deque<Chunk> m_chunks;
};

// The last `maxLines` lines of a rendered text (all of it when it has no more).
std::string_view LastLines(std::string_view text, size_t maxLines);

} // namespace ostrel

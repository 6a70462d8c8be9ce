#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ostrel {

// How the serial monitor shows what it received.
enum class SerialView : uint8_t {
    Text,
    Hex, // 16 bytes a line as hex, with the printable ones beside them
};

// Which received bytes end a line of the text view.
enum class SerialLineBreak : uint8_t {
    Lf,
    Cr,
    Any, // CR, LF and CR LF each end one line
};

// How the text view shows a byte outside printable ASCII (tab counts as printable).
enum class SerialUnprintable : uint8_t {
    Escape, // \xHH; a backslash itself is shown doubled, so nothing is ambiguous
    Dot,
};

struct SerialViewOptions
{
    SerialView view = SerialView::Text;
    SerialLineBreak lineBreak = SerialLineBreak::Any;
    // CR and LF also shown as \r and \n (a line still ends where lineBreak says). Without it,
    // a CR or LF that ends no line is not shown.
    bool showLineEnds = false;
    SerialUnprintable unprintable = SerialUnprintable::Escape;
    bool timestamps = false; // "[HH:MM:SS.mmm] " before each line, the time of its first byte
    bool operator==(const SerialViewOptions &) const = default;
};

// A text line is broken after this many received bytes, so that a device that never sends a
// line end cannot grow one line without bound.
inline constexpr int kSerialMaxLineBytes = 256;
inline constexpr int kSerialHexBytesPerLine = 16;

// Turns received bytes into the text the monitor shows, piece by piece as they arrive: what
// Feed returns is appended to what it returned before. The result is ASCII; lines end with
// "\n". State carries over between pieces (a CR LF split across two reads is one line end).
class SerialRenderer
{
public:
    explicit SerialRenderer(SerialViewOptions options = {});

    const SerialViewOptions &Options() const { return m_options; }
    // Starts afresh with other options, as at the beginning of a line.
    void Reset(SerialViewOptions options);

    // `timeOfDayMs`: when the bytes came, milliseconds since local midnight.
    std::string Feed(std::string_view bytes, int64_t timeOfDayMs);
    // A line of the monitor's own ("--- Port closed ---") on a line of its own: the line being
    // received is ended first, and the next bytes start a new one.
    std::string Note(std::string_view text, int64_t timeOfDayMs);
    // What the last line still lacks to be complete: the line end of a trailing CR, or a partial
    // hex line's padding and printable column; empty otherwise.
    std::string Finish() const;

private:
    void FeedText(unsigned char byte, int64_t timeOfDayMs, std::string &out);
    void FeedHex(unsigned char byte, int64_t timeOfDayMs, std::string &out);
    void StartLine(int64_t timeOfDayMs, std::string &out);
    void EndLine(std::string &out);

    SerialViewOptions m_options;
    bool m_atLineStart = true;
    bool m_pendingCr =
        false; // a CR ended the line (Any mode); its line end waits for the next byte
    int m_lineBytes = 0;
    std::string m_hexPrintable; // the printable column of the hex line being built
};

// "[HH:MM:SS.mmm] "
std::string FormatTimestamp(int64_t timeOfDayMs);

} // namespace ostrel

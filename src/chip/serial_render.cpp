#include "chip/serial_render.h"

#include <cstdio>

namespace ostrel {

namespace {

bool IsPrintable(unsigned char byte)
{
    return byte == '\t' || (byte >= 0x20 && byte < 0x7f);
}

void AppendHex(unsigned char byte, std::string &out)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xf];
}

} // namespace

std::string FormatTimestamp(int64_t timeOfDayMs)
{
    const int64_t dayMs = 24LL * 60 * 60 * 1000;
    int64_t ms = timeOfDayMs % dayMs;
    if (ms < 0)
        ms += dayMs;
    char text[32];
    std::snprintf(text, sizeof text, "[%02d:%02d:%02d.%03d] ", static_cast<int>(ms / 3600000),
        static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
        static_cast<int>(ms % 1000));
    return text;
}

SerialRenderer::SerialRenderer(SerialViewOptions options)
    : m_options(options)
{
}

void SerialRenderer::Reset(SerialViewOptions options)
{
    *this = SerialRenderer(options);
}

std::string SerialRenderer::Feed(std::string_view bytes, int64_t timeOfDayMs)
{
    std::string out;
    out.reserve(m_options.view == SerialView::Hex ? bytes.size() * 4 + 64 : bytes.size() + 64);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (m_options.view == SerialView::Hex)
            FeedHex(byte, timeOfDayMs, out);
        else
            FeedText(byte, timeOfDayMs, out);
    }
    return out;
}

void SerialRenderer::StartLine(int64_t timeOfDayMs, std::string &out)
{
    if (!m_atLineStart)
        return;
    m_atLineStart = false;
    if (m_options.timestamps)
        out += FormatTimestamp(timeOfDayMs);
}

void SerialRenderer::EndLine(std::string &out)
{
    out += '\n';
    m_atLineStart = true;
    m_lineBytes = 0;
}

void SerialRenderer::FeedText(unsigned char byte, int64_t timeOfDayMs, std::string &out)
{
    // A CR ended the line; an LF right after it belongs to the same line end.
    if (m_pendingCr) {
        m_pendingCr = false;
        if (byte == '\n') {
            if (m_options.showLineEnds)
                out += "\\n";
            EndLine(out);
            return;
        }
        EndLine(out);
    }
    const SerialLineBreak mode = m_options.lineBreak;
    if (byte == '\r' || byte == '\n') {
        if (m_options.showLineEnds) {
            StartLine(timeOfDayMs, out);
            out += byte == '\r' ? "\\r" : "\\n";
        }
        const bool endsLine =
            byte == '\n' ? mode != SerialLineBreak::Cr : mode != SerialLineBreak::Lf;
        if (!endsLine)
            return;
        StartLine(timeOfDayMs, out);
        if (byte == '\r' && mode == SerialLineBreak::Any)
            m_pendingCr = true;
        else
            EndLine(out);
        return;
    }
    if (m_lineBytes == kSerialMaxLineBytes)
        EndLine(out);
    StartLine(timeOfDayMs, out);
    ++m_lineBytes;
    if (IsPrintable(byte)) {
        if (byte == '\\' && m_options.unprintable == SerialUnprintable::Escape)
            out += '\\';
        out += static_cast<char>(byte);
    } else if (m_options.unprintable == SerialUnprintable::Dot) {
        out += '.';
    } else {
        out += "\\x";
        AppendHex(byte, out);
    }
}

void SerialRenderer::FeedHex(unsigned char byte, int64_t timeOfDayMs, std::string &out)
{
    StartLine(timeOfDayMs, out);
    AppendHex(byte, out);
    out += ' ';
    m_hexPrintable += byte >= 0x20 && byte < 0x7f ? static_cast<char>(byte) : '.';
    if (++m_lineBytes == kSerialHexBytesPerLine) {
        out += Finish();
        m_hexPrintable.clear();
        EndLine(out);
    }
}

std::string SerialRenderer::Note(std::string_view text, int64_t timeOfDayMs)
{
    std::string out;
    if (!m_atLineStart) {
        out = Finish();
        if (!m_pendingCr)
            out += '\n';
    }
    Reset(m_options);
    StartLine(timeOfDayMs, out);
    out += "--- ";
    out += text;
    out += " ---";
    EndLine(out);
    return out;
}

std::string SerialRenderer::Finish() const
{
    if (m_pendingCr)
        return "\n";
    if (m_options.view != SerialView::Hex || m_hexPrintable.empty())
        return {};
    std::string tail((kSerialHexBytesPerLine - m_lineBytes) * 3 + 1, ' ');
    tail += '|';
    tail += m_hexPrintable;
    tail += '|';
    return tail;
}

} // namespace ostrel

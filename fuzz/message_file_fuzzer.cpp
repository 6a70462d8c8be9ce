// Feeds large texts to the message-file splitter in pieces of changing size, with and without
// limits. The input after its first two bytes is repeated (up to 4,096 times) so that texts of
// megabytes come up; the first byte also chooses the limits and the second the piece size.
// Pieces must give the lines of the whole text; limited lines must stay within their limits,
// and no line may hold a line end. Each line, as shown and as a tip, must stay bounded.
#include "compile/message_file.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const unsigned shape = data[0];
    const size_t pieceSize = 1 + data[1] * 257u;
    const std::string_view unit(reinterpret_cast<const char *>(data + 2), size - 2);
    std::string text;
    const size_t repeats = 1 + (shape & 0x0F) * (shape & 0x0F) * 16;
    for (size_t i = 0; i < repeats && text.size() < (size_t { 8 } << 20); ++i)
        text.append(unit);

    const std::vector<std::string> whole = ostrel::SplitMessageLines(text);
    ostrel::MessageLineSplitter unlimited({ SIZE_MAX, SIZE_MAX });
    for (size_t at = 0; at < text.size(); at += pieceSize)
        Check(unlimited.Feed(std::string_view(text).substr(at, pieceSize))
            == std::min(pieceSize, text.size() - at));
    Check(unlimited.Finish() == whole);

    const ostrel::MessageFileLimits limits { 1 + (shape >> 4) * 100, 1 + (shape >> 4) * 70'000 };
    ostrel::MessageLineSplitter limited(limits);
    size_t taken = 0;
    for (size_t at = 0; at < text.size() && !limited.Full(); at += pieceSize)
        taken += limited.Feed(std::string_view(text).substr(at, pieceSize));
    const std::vector<std::string> lines = limited.Finish();
    Check(lines.size() <= limits.maxLines);
    Check(taken <= text.size());
    size_t bytes = 0;
    for (const std::string &line : lines) {
        Check(line.find_first_of("\r\n") == std::string::npos);
        bytes += line.size();
        Check(ostrel::ShownEntry(line).size() <= ostrel::kShownEntryLength + 64);
        Check(ostrel::EntryTip(line).size() <= 110'000);
    }
    Check(bytes <= limits.maxBytes);
    // Up to where it stopped, the limited splitter saw what the unlimited one did.
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        Check(lines[i] == whole[i]);
    return 0;
}

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

enum class MessageFileStatus { Ok, CannotOpen, ReadError };

// How much of a message file is read: a compiler gone wrong must not fill the memory.
struct MessageFileLimits
{
    size_t maxLines = 100'000;
    size_t maxBytes = 16u << 20;
};

// The compiler's message file, one entry per line. After a read error the lines read so far
// are kept; a file beyond the limits ends with an entry that says how much was left out.
struct MessageFile
{
    MessageFileStatus status = MessageFileStatus::Ok;
    std::vector<std::string> lines;
    // Why it could not be opened or read, in the system's words.
    std::string reason;
};

// Splits text into lines as it comes, piece by piece, until the limits are reached. A line
// ends at LF, CR LF or a CR alone; a last line without a line end keeps all of its
// characters, and an empty text has no lines.
class MessageLineSplitter
{
public:
    explicit MessageLineSplitter(const MessageFileLimits &limits = {});

    // Takes the next piece of the text; returns how many of its bytes were taken, fewer than
    // its size only once the limits are reached.
    size_t Feed(std::string_view piece);
    // Whether the limits are reached: more text is not taken.
    bool Full() const { return m_full; }
    // The lines, the last one without a line end included.
    std::vector<std::string> Finish();

private:
    void EndLine();

    MessageFileLimits m_limits;
    std::vector<std::string> m_lines;
    std::string m_line;
    size_t m_taken = 0;
    bool m_afterCr = false;
    bool m_full = false;
};

std::vector<std::string> SplitMessageLines(std::string_view text);

// Reads the file at `path` within `limits`. Only a regular file is read (nothing waits on a
// pipe).
MessageFile ReadMessageFile(const std::string &path, const MessageFileLimits &limits = {});

// What a file was at one moment, to tell whether it has been written since.
struct FileStamp
{
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;

    bool operator==(const FileStamp &) const = default;
};
FileStamp StampOf(const std::string &path);

// The longest entry a list shows whole; longer ones are cut for showing (their text stays
// whole) and the whole text is offered as a tooltip.
constexpr size_t kShownEntryLength = 1000;
// The entry as a list shows it: cut after kShownEntryLength bytes (not inside a UTF-8
// character), with a note of how much more there is.
std::string ShownEntry(std::string_view entry);
// The tooltip of a long entry: its text in lines of 200 characters, up to 100,000 characters;
// empty for an entry that is shown whole.
std::string EntryTip(std::string_view entry);

} // namespace ostrel

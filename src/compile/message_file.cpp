#include "compile/message_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrel {

namespace {

constexpr size_t kTipLength = 100'000;
constexpr size_t kTipLineLength = 200;

// "1234567" as "1,234,567".
std::string Grouped(uint64_t number)
{
    std::string digits = std::to_string(number);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

// A cut at `length` or just before, so that no UTF-8 character is split.
size_t CutAt(std::string_view text, size_t length)
{
    if (length >= text.size())
        return text.size();
    size_t cut = length;
    for (int back = 0;
         back < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++back)
        --cut;
    return cut;
}

// Closes a descriptor at the end of a scope.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

MessageLineSplitter::MessageLineSplitter(const MessageFileLimits &limits)
    : m_limits(limits)
{
}

size_t MessageLineSplitter::Feed(std::string_view piece)
{
    size_t i = 0;
    if (m_afterCr && !m_full && !piece.empty()) {
        // The LF of a CR LF that was split between two pieces.
        m_afterCr = false;
        if (piece[0] == '\n') {
            ++i;
            ++m_taken;
        }
    }
    while (i < piece.size() && !m_full) {
        if (m_taken >= m_limits.maxBytes) {
            m_full = true;
            break;
        }
        const size_t end = piece.find_first_of("\r\n", i);
        const size_t stop = end == std::string_view::npos ? piece.size() : end;
        const size_t take = std::min(stop - i, m_limits.maxBytes - m_taken);
        m_line.append(piece.substr(i, take));
        i += take;
        m_taken += take;
        if (i != end)
            continue; // the piece is used up, or the limit is reached
        if (piece[i] == '\r') {
            if (i + 1 == piece.size())
                m_afterCr = true;
            else if (piece[i + 1] == '\n') {
                ++i;
                ++m_taken;
            }
        }
        ++i;
        ++m_taken;
        EndLine();
    }
    return i;
}

void MessageLineSplitter::EndLine()
{
    m_lines.push_back(std::move(m_line));
    m_line.clear();
    if (m_lines.size() >= m_limits.maxLines)
        m_full = true;
}

std::vector<std::string> MessageLineSplitter::Finish()
{
    if (!m_line.empty())
        EndLine();
    return std::move(m_lines);
}

std::vector<std::string> SplitMessageLines(std::string_view text)
{
    MessageLineSplitter splitter({ SIZE_MAX, SIZE_MAX });
    splitter.Feed(text);
    return splitter.Finish();
}

MessageFile ReadMessageFile(const std::string &path, const MessageFileLimits &limits)
{
    MessageFile result;
    result.status = MessageFileStatus::CannotOpen;
    if (path.empty()) {
        result.reason = "No compile has run yet.";
        return result;
    }
    // Not blocking: a pipe put in the file's place must not stop the program.
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info
    {
    };
    if (file.Get() < 0 || fstat(file.Get(), &info) != 0) {
        result.reason = std::strerror(errno);
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.reason = S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "Not a regular file";
        return result;
    }
    result.status = MessageFileStatus::Ok;
    MessageLineSplitter splitter(limits);
    uint64_t taken = 0;
    std::string buffer(size_t { 1 } << 16, '\0');
    while (!splitter.Full()) {
        const ssize_t count = read(file.Get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            result.status = MessageFileStatus::ReadError;
            result.reason = std::strerror(errno);
            break;
        }
        if (count == 0)
            break;
        taken += splitter.Feed(std::string_view(buffer.data(), static_cast<size_t>(count)));
    }
    result.lines = splitter.Finish();
    if (splitter.Full()) {
        struct stat now
        {
        };
        const uint64_t size = fstat(file.Get(), &now) == 0 ? static_cast<uint64_t>(now.st_size) : 0;
        if (size > taken)
            result.lines.push_back("... " + Grouped(size - taken)
                + " more bytes of the message file are not listed (at most "
                + Grouped(limits.maxLines) + " lines and " + Grouped(limits.maxBytes)
                + " bytes are read).");
    }
    return result;
}

FileStamp StampOf(const std::string &path)
{
    FileStamp stamp;
    struct stat info
    {
    };
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = static_cast<uint64_t>(info.st_dev);
    stamp.inode = static_cast<uint64_t>(info.st_ino);
    stamp.size = static_cast<uint64_t>(info.st_size);
    stamp.modifiedNs = int64_t { info.st_mtim.tv_sec } * 1'000'000'000 + info.st_mtim.tv_nsec;
    stamp.changedNs = int64_t { info.st_ctim.tv_sec } * 1'000'000'000 + info.st_ctim.tv_nsec;
    return stamp;
}

std::string ShownEntry(std::string_view entry)
{
    if (entry.size() <= kShownEntryLength)
        return std::string(entry);
    const size_t cut = CutAt(entry, kShownEntryLength);
    return std::string(entry.substr(0, cut)) + " ... (" + Grouped(entry.size() - cut)
        + " more characters)";
}

std::string EntryTip(std::string_view entry)
{
    if (entry.size() <= kShownEntryLength)
        return {};
    std::string tip;
    size_t at = 0;
    while (at < entry.size() && at < kTipLength) {
        const size_t cut = std::max(CutAt(entry, at + kTipLineLength), at + 1);
        if (!tip.empty())
            tip += '\n';
        tip.append(entry.substr(at, cut - at));
        at = cut;
    }
    if (at < entry.size())
        tip += "\n... (" + Grouped(entry.size() - at) + " more characters)";
    return tip;
}

} // namespace ostrel

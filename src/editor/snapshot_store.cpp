#include "editor/snapshot_store.h"

#include "contract/file_access.h"
#include "editor/text_bytes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>

namespace ostrel {

namespace {

constexpr std::string_view kMagic = "OSTRELSNAPSHOT1\n";
constexpr const char *kSnapshotExtension = ".snap";
constexpr const char *kTemporaryExtension = ".tmp";
// A path or title longer than this is not ours.
constexpr uint32_t kMaxTextField = 64 * 1024;
static_assert(kMaxSnapshotHeader == kMagic.size() + 2 * (4 + kMaxTextField) + 8 + 8);

void PutUint(std::string &out, uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

bool TakeUint(std::string_view &in, int size, uint64_t &value)
{
    if (in.size() < static_cast<size_t>(size))
        return false;
    value = 0;
    for (int i = 0; i < size; ++i)
        value |= static_cast<uint64_t>(static_cast<unsigned char>(in[static_cast<size_t>(i)]))
            << (8 * i);
    in.remove_prefix(static_cast<size_t>(size));
    return true;
}

bool TakeText(std::string_view &in, std::string &text)
{
    uint64_t length = 0;
    if (!TakeUint(in, 4, length) || length > kMaxTextField || in.size() < length)
        return false;
    text.assign(in.substr(0, length));
    in.remove_prefix(length);
    return true;
}

// Up to `count` bytes from the start of a regular file, and the file's size. Nothing for any
// other kind of file, so that nothing ever waits on a FIFO or a device found here.
std::optional<std::string> ReadStart(
    const std::filesystem::path &file, uint64_t count, uint64_t &fileSize)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    fileSize = std::filesystem::file_size(file, error);
    if (error)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(std::min(count, fileSize)), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<size_t>(in.gcount()) != bytes.size())
        return std::nullopt;
    return bytes;
}

// The header of a snapshot file, read only as far as it goes and only from a file whose size a
// snapshot of a document that opens can have.
std::optional<ParsedSnapshot> ReadHeader(const std::filesystem::path &file, uint64_t &fileSize)
{
    const auto start = ReadStart(file, kMaxSnapshotHeader, fileSize);
    if (!start || fileSize > kMaxSnapshotHeader + kMaxDocumentBytes)
        return std::nullopt;
    auto parsed = ParseSnapshotHeader(*start, fileSize);
    if (parsed && fileSize - parsed->contentOffset > kMaxDocumentBytes)
        return std::nullopt;
    return parsed;
}

} // namespace

std::string EncodeSnapshotHeader(const SnapshotInfo &info, uint64_t contentLength)
{
    std::string header(kMagic);
    PutUint(header, info.originalPath.size(), 4);
    header += info.originalPath;
    PutUint(header, info.title.size(), 4);
    header += info.title;
    PutUint(header, static_cast<uint64_t>(info.savedAt), 8);
    PutUint(header, contentLength, 8);
    return header;
}

std::optional<ParsedSnapshot> ParseSnapshot(std::string_view bytes)
{
    return ParseSnapshotHeader(bytes, bytes.size());
}

std::optional<ParsedSnapshot> ParseSnapshotHeader(std::string_view start, uint64_t fileSize)
{
    if (start.size() > fileSize)
        return std::nullopt;
    std::string_view in = start;
    if (in.substr(0, kMagic.size()) != kMagic)
        return std::nullopt;
    in.remove_prefix(kMagic.size());
    ParsedSnapshot parsed;
    uint64_t savedAt = 0;
    uint64_t length = 0;
    if (!TakeText(in, parsed.info.originalPath) || !TakeText(in, parsed.info.title)
        || !TakeUint(in, 8, savedAt) || !TakeUint(in, 8, length))
        return std::nullopt;
    parsed.contentOffset = start.size() - in.size();
    if (length != fileSize - parsed.contentOffset)
        return std::nullopt;
    parsed.info.savedAt = static_cast<int64_t>(savedAt);
    return parsed;
}

SnapshotStore::SnapshotStore(std::filesystem::path folder)
    : m_folder(std::move(folder))
{
}

std::filesystem::path SnapshotStore::SessionFolder(const std::string &session) const
{
    return m_folder / session;
}

std::string SnapshotStore::NewSessionName()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::random_device random;
    char name[64];
    std::snprintf(name, sizeof name, "%013lld-%08x",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()),
        static_cast<unsigned>(random()));
    return name;
}

bool SnapshotStore::IsSessionName(std::string_view name)
{
    // 13 decimal digits, "-", 8 hexadecimal digits.
    if (name.size() != 22 || name[13] != '-')
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool digit = c >= '0' && c <= '9';
        if (i < 13 ? !digit : i > 13 && !digit && !(c >= 'a' && c <= 'f'))
            return false;
    }
    return true;
}

std::vector<std::string> SnapshotStore::Sessions() const
{
    std::vector<std::string> sessions;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(m_folder, error)) {
        const std::string name = entry.path().filename().string();
        if (IsSessionName(name) && entry.is_directory(error) && !entry.is_symlink(error))
            sessions.push_back(name);
    }
    std::sort(sessions.begin(), sessions.end());
    return sessions;
}

bool SnapshotStore::Write(const std::string &session, const std::string &name,
    const SnapshotInfo &info, std::string_view bytes) const
{
    const std::filesystem::path folder = SessionFolder(session);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const auto target = folder / (name + kSnapshotExtension);
    // Only this user may read what the editor held; a leftover of a crash ends in ".tmp".
    files::ReplaceSettings settings;
    settings.mode = 0600;
    settings.tempSuffix = kTemporaryExtension;
    settings.syncFolder = true;
    const std::string header = EncodeSnapshotHeader(info, bytes.size());
    return files::ReplaceFile(target.string(), { header, bytes }, settings).Ok();
}

std::vector<StoredSnapshot> SnapshotStore::List(
    const std::string &session, std::vector<std::filesystem::path> *skipped) const
{
    std::vector<StoredSnapshot> snapshots;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(SessionFolder(session), error)) {
        if (entry.path().extension() != kSnapshotExtension)
            continue;
        uint64_t size = 0;
        if (const auto parsed = ReadHeader(entry.path(), size))
            snapshots.push_back({ entry.path(), parsed->info });
        else if (skipped)
            skipped->push_back(entry.path());
    }
    std::sort(snapshots.begin(), snapshots.end(), [](const auto &a, const auto &b) {
        return a.info.savedAt != b.info.savedAt ? a.info.savedAt < b.info.savedAt : a.file < b.file;
    });
    return snapshots;
}

std::optional<std::string> SnapshotStore::ReadContent(const std::filesystem::path &file) const
{
    uint64_t size = 0;
    const auto parsed = ReadHeader(file, size);
    if (!parsed)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<size_t>(size - parsed->contentOffset), '\0');
    in.seekg(static_cast<std::streamoff>(parsed->contentOffset));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in || static_cast<size_t>(in.gcount()) != bytes.size())
        return std::nullopt;
    return bytes;
}

void SnapshotStore::Remove(const std::string &session, const std::string &name) const
{
    Remove(SessionFolder(session) / (name + kSnapshotExtension));
}

void SnapshotStore::Remove(const std::filesystem::path &file) const
{
    std::error_code error;
    std::filesystem::remove(file, error);
}

bool SnapshotStore::RemoveSessionIfEmpty(const std::string &session) const
{
    const auto folder = SessionFolder(session);
    std::error_code error;
    if (!IsSessionName(session)
        || !std::filesystem::is_directory(std::filesystem::symlink_status(folder, error)))
        return false;
    for (const auto &entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != kTemporaryExtension)
            return false;
    }
    std::filesystem::remove_all(folder, error);
    return true;
}

std::string FormatSnapshotTime(int64_t savedAt)
{
    // 10000-01-01 in UTC; local time moves it by a day at most.
    constexpr int64_t kYear10000 = 253'402'300'800;
    if (savedAt < 0 || savedAt >= kYear10000 - 86'400)
        return {};
    const std::time_t time = static_cast<std::time_t>(savedAt);
    std::tm local {};
#ifdef _WIN32
    if (localtime_s(&local, &time) != 0)
        return {};
#else
    if (!localtime_r(&time, &local))
        return {};
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string RecoveryQuestion(const SnapshotInfo &info)
{
    std::string document = info.title;
    if (!info.originalPath.empty())
        document += " (" + ShortenForMessage(info.originalPath) + ")";
    const std::string time = FormatSnapshotTime(info.savedAt);
    return "Ostrel did not end normally last time.\n\nUnsaved changes to " + document
        + " were kept " + (time.empty() ? "at a time that is not known" : "at " + time)
        + ".\n\nRestore them as a modified document? No discards them.";
}

} // namespace ostrel

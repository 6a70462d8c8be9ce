#include "editor/snapshot_store.h"

#include "contract/file_access.h"

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

std::optional<std::string> ReadFile(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
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
    std::string_view in = bytes;
    if (in.substr(0, kMagic.size()) != kMagic)
        return std::nullopt;
    in.remove_prefix(kMagic.size());
    ParsedSnapshot parsed;
    uint64_t savedAt = 0;
    uint64_t length = 0;
    if (!TakeText(in, parsed.info.originalPath) || !TakeText(in, parsed.info.title)
        || !TakeUint(in, 8, savedAt) || !TakeUint(in, 8, length) || length != in.size())
        return std::nullopt;
    parsed.info.savedAt = static_cast<int64_t>(savedAt);
    parsed.contentOffset = bytes.size() - in.size();
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

std::vector<std::string> SnapshotStore::Sessions() const
{
    std::vector<std::string> sessions;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(m_folder, error))
        if (entry.is_directory(error))
            sessions.push_back(entry.path().filename().string());
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

std::vector<StoredSnapshot> SnapshotStore::List(const std::string &session) const
{
    std::vector<StoredSnapshot> snapshots;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(SessionFolder(session), error)) {
        if (entry.path().extension() != kSnapshotExtension || !entry.is_regular_file(error))
            continue;
        const auto bytes = ReadFile(entry.path());
        if (!bytes)
            continue;
        if (const auto parsed = ParseSnapshot(*bytes))
            snapshots.push_back({ entry.path(), parsed->info });
    }
    std::sort(snapshots.begin(), snapshots.end(), [](const auto &a, const auto &b) {
        return a.info.savedAt != b.info.savedAt ? a.info.savedAt < b.info.savedAt : a.file < b.file;
    });
    return snapshots;
}

std::optional<std::string> SnapshotStore::ReadContent(const std::filesystem::path &file) const
{
    auto bytes = ReadFile(file);
    if (!bytes)
        return std::nullopt;
    const auto parsed = ParseSnapshot(*bytes);
    if (!parsed)
        return std::nullopt;
    bytes->erase(0, parsed->contentOffset);
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
    for (const auto &entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != kTemporaryExtension)
            return false;
    }
    std::filesystem::remove_all(folder, error);
    return true;
}

std::string FormatSnapshotTime(int64_t savedAt)
{
    const std::time_t time = static_cast<std::time_t>(savedAt);
    std::tm local {};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string RecoveryQuestion(const SnapshotInfo &info)
{
    std::string document = info.title;
    if (!info.originalPath.empty())
        document += " (" + info.originalPath + ")";
    return "Ostrel did not end normally last time.\n\nUnsaved changes to " + document
        + " were kept at " + FormatSnapshotTime(info.savedAt)
        + ".\n\nRestore them as a modified document? No discards them.";
}

} // namespace ostrel

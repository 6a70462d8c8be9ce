#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// What a snapshot says about the document it was taken of.
struct SnapshotInfo
{
    std::string originalPath; // the document's file; empty for an untitled document
    std::string title; // its name as shown, without the modified mark
    int64_t savedAt = 0; // seconds since 1970, UTC
};

struct StoredSnapshot
{
    std::filesystem::path file;
    SnapshotInfo info;
};

// The on-disk form: a header (magic, the path, the title, the time, the length) followed by the
// document's bytes exactly as they are. Nothing when `bytes` is not a whole snapshot.
std::string EncodeSnapshotHeader(const SnapshotInfo &info, uint64_t contentLength);
struct ParsedSnapshot
{
    SnapshotInfo info;
    size_t contentOffset = 0;
};
std::optional<ParsedSnapshot> ParseSnapshot(std::string_view bytes);
// The same from the first bytes of a file of `fileSize` bytes (kMaxSnapshotHeader of them are
// enough): the header must be whole and give exactly the length that follows it.
std::optional<ParsedSnapshot> ParseSnapshotHeader(std::string_view start, uint64_t fileSize);
// The longest header there can be: the magic, two texts of at most 64 KB with their lengths,
// the time and the length.
constexpr size_t kMaxSnapshotHeader = 16 + 2 * (4 + 64 * 1024) + 8 + 8;

// Copies of modified documents kept in the user's data folder, so that work survives a crash
// or a power cut. Each run of the program writes into a session folder of its own; the
// snapshots of sessions that did not end normally are offered back at the next start.
// Every write goes to a temporary file that is flushed to disk and then renamed over the
// snapshot, so a snapshot on disk is always whole.
class SnapshotStore
{
public:
    explicit SnapshotStore(std::filesystem::path folder);

    const std::filesystem::path &Folder() const { return m_folder; }
    std::filesystem::path SessionFolder(const std::string &session) const;
    // A name no other run uses: the time and a random part.
    static std::string NewSessionName();
    // Whether `name` is one that NewSessionName gives: only such folders and their lock files
    // are this program's; anything else in the folder is left alone.
    static bool IsSessionName(std::string_view name);
    // The session folders present, oldest first by name.
    std::vector<std::string> Sessions() const;

    // The snapshot `name` of `session`, replaced whole; false when it could not be written
    // (the one before it, if any, stays).
    bool Write(const std::string &session, const std::string &name, const SnapshotInfo &info,
        std::string_view bytes) const;
    // The whole snapshots of a session, oldest first. Only the header of each file is read,
    // and only when the file's size fits it. Damaged or foreign "*.snap" files are left out;
    // `skipped`, when given, receives them.
    std::vector<StoredSnapshot> List(
        const std::string &session, std::vector<std::filesystem::path> *skipped = nullptr) const;
    // The document's bytes kept in a snapshot file; nothing when it is no whole snapshot.
    std::optional<std::string> ReadContent(const std::filesystem::path &file) const;
    void Remove(const std::string &session, const std::string &name) const;
    void Remove(const std::filesystem::path &file) const;
    // Removes the session folder when nothing but unfinished temporary files is left in it;
    // false when anything else is still there or it is no session folder of this program.
    bool RemoveSessionIfEmpty(const std::string &session) const;

private:
    std::filesystem::path m_folder;
};

// "2026-12-08 14:03:12" in local time; empty for a time before 1970 or after the year 9999,
// which no snapshot was taken at.
std::string FormatSnapshotTime(int64_t savedAt);
// The question asked at start-up for one snapshot of a session that did not end normally.
std::string RecoveryQuestion(const SnapshotInfo &info);

} // namespace ostrel

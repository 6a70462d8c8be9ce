// The snapshot folder as the next start finds it. The first 8 bytes are the size a file claims
// to have, the rest its first bytes: the header must be judged from those alone. Then the rest
// is listed as a real "*.snap" file: it is either a snapshot whose content is exactly what
// follows its header, or it is reported as skipped; nothing in between.
#include "editor/snapshot_store.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

const std::string kSession = "0000000000000-00000000";

std::string g_folder;

const ostrel::SnapshotStore &Store()
{
    static const ostrel::SnapshotStore store = [] {
        std::string folder =
            (std::filesystem::temp_directory_path() / "snapshot-list-XXXXXX").string();
        if (!::mkdtemp(folder.data()))
            std::abort();
        g_folder = folder;
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(g_folder, error);
        });
        std::filesystem::create_directories(std::filesystem::path(folder) / kSession);
        return ostrel::SnapshotStore(folder);
    }();
    return store;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 8)
        return 0;
    uint64_t claimed = 0;
    for (int i = 0; i < 8; ++i)
        claimed |= static_cast<uint64_t>(data[i]) << (8 * i);
    const std::string_view start(reinterpret_cast<const char *>(data) + 8, size - 8);

    if (const auto parsed = ostrel::ParseSnapshotHeader(start, claimed)) {
        if (parsed->contentOffset > start.size() || parsed->contentOffset > claimed)
            __builtin_trap();
        if (ostrel::EncodeSnapshotHeader(parsed->info, claimed - parsed->contentOffset)
            != start.substr(0, parsed->contentOffset))
            __builtin_trap();
    }

    const ostrel::SnapshotStore &store = Store();
    const auto file = store.SessionFolder(kSession) / "doc1.snap";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(start.data(), static_cast<std::streamsize>(start.size()));
    }
    std::vector<std::filesystem::path> skipped;
    const auto listed = store.List(kSession, &skipped);
    if (listed.size() + skipped.size() != 1)
        __builtin_trap();
    const auto whole = ostrel::ParseSnapshot(start);
    if (listed.empty() != !whole)
        __builtin_trap();
    if (whole && store.ReadContent(file) != start.substr(whole->contentOffset))
        __builtin_trap();
    return 0;
}

// Snapshot files as found in the data folder after a crash: any bytes must parse without
// reading past the end, and a snapshot that parses is exactly its header and its content.
#include "editor/snapshot_store.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto parsed = ostrel::ParseSnapshot(bytes);
    if (!parsed)
        return 0;
    if (parsed->contentOffset > size)
        __builtin_trap();
    const uint64_t length = size - parsed->contentOffset;
    if (ostrel::EncodeSnapshotHeader(parsed->info, length)
        != bytes.substr(0, parsed->contentOffset))
        __builtin_trap();
    return 0;
}

// Feeds arbitrary bytes to the workspace-file reader; whatever it reads must write back and
// read again as the same record.
#include "app/workspace_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ostrel::Bytes bytes(data, data + size);
    const ostrel::WorkspaceRecord record = ostrel::DecodeWorkspace(bytes);
    const ostrel::WorkspaceRecord again = ostrel::DecodeWorkspace(ostrel::EncodeWorkspace(record));
    if (again.lastFile != record.lastFile || again.projectOpen != record.projectOpen
        || again.projectPath != record.projectPath)
        std::abort();
    return 0;
}

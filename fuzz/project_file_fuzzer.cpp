// Feeds arbitrary bytes to the project-file reader and checks that a record it accepts
// survives a write and a second read unchanged.
#include "project/project_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ostrel::Bytes bytes(data, data + size);
    ostrel::ProjectRecord record;
    if (!ostrel::DecodeProject(bytes, record))
        return 0;
    ostrel::ProjectRecord again;
    if (!ostrel::DecodeProject(ostrel::EncodeProject(record), again))
        std::abort();
    if (ostrel::EncodeProject(again) != ostrel::EncodeProject(record))
        std::abort();
    return 0;
}

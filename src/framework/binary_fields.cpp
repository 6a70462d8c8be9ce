#include "framework/binary_fields.h"

#include "framework/safe_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace ostrel {

namespace {

struct FileCloser
{
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

std::string ReadTextField(const Bytes &bytes, size_t offset, size_t size)
{
    if (offset > bytes.size() || size > bytes.size() - offset)
        return {};
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto end = begin + static_cast<std::ptrdiff_t>(size);
    const auto zero = std::find(begin, end, 0);
    if (zero == end)
        return {};
    return std::string(begin, zero);
}

int32_t ReadInt32(const Bytes &bytes, size_t offset, int32_t fallback)
{
    if (offset > bytes.size() || bytes.size() - offset < 4)
        return fallback;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[offset + static_cast<size_t>(i)];
    return static_cast<int32_t>(value);
}

void WriteTextField(Bytes &bytes, size_t offset, size_t size, const std::string &text)
{
    if (size == 0 || offset > bytes.size() || size > bytes.size() - offset)
        return;
    const size_t length = std::min(text.size(), size - 1);
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), size, 0);
    std::memcpy(bytes.data() + offset, text.data(), length);
}

void WriteInt32(Bytes &bytes, size_t offset, int32_t value)
{
    if (offset > bytes.size() || bytes.size() - offset < 4)
        return;
    const auto bits = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<unsigned char>((bits >> (8 * i)) & 0xFF);
}

FileResult ReadWholeFile(const std::string &path, Bytes &out, size_t maxSize)
{
    FilePtr file(OpenRegularFile(path, "rb"));
    if (!file)
        return FileResult::CannotOpen;
    out.clear();
    unsigned char buffer[4096];
    while (out.size() < maxSize) {
        const size_t want = std::min(sizeof buffer, maxSize - out.size());
        const size_t got = std::fread(buffer, 1, want, file.get());
        out.insert(out.end(), buffer, buffer + got);
        if (got < want)
            return std::ferror(file.get()) ? FileResult::IoError : FileResult::Ok;
    }
    return FileResult::Ok;
}

FileResult WriteRecordInPlace(const std::string &path, const Bytes &record)
{
    // "r+b" keeps what lies beyond the record; only a missing file is created afresh.
    FilePtr file(OpenRegularFile(path, "r+b", true));
    if (!file)
        return FileResult::CannotOpen;
    const size_t written = std::fwrite(record.data(), 1, record.size(), file.get());
    const bool closed = std::fclose(file.release()) == 0;
    return written == record.size() && closed ? FileResult::Ok : FileResult::IoError;
}

} // namespace ostrel

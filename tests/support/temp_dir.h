#pragma once

#include "framework/binary_fields.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace ostrel::test {

// A fresh directory under the system's temporary folder, removed with the object.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &Path() const { return path_; }
    std::string File(const std::string &name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

Bytes ReadBytes(const std::string &path);
inline Bytes ToBytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}
void WriteBytes(const std::string &path, const Bytes &bytes);
void WriteText(const std::string &path, const std::string &text);

} // namespace ostrel::test

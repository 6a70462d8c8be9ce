#include "support/temp_dir.h"

#include <fstream>
#include <iterator>
#include <random>

namespace ostrel::test {

TempDir::TempDir()
{
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    do {
        path_ = base / ("ostrel-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
}

TempDir::~TempDir()
{
    std::error_code error;
    // Tests make folders read-only; give the rights back so everything can go.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
            std::filesystem::perm_options::add, error);
    std::filesystem::permissions(
        path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
}

Bytes ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(
        reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string &path, const std::string &text)
{
    WriteBytes(path, Bytes(text.begin(), text.end()));
}

} // namespace ostrel::test

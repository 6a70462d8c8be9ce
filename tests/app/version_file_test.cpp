#include "app/version_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(VersionFile, FirstLineAsReadOrTheBuiltInLine)
{
    test::TempDir dir;
    const std::string path = dir.File("version.txt");
    const std::pair<std::string, std::string> cases[] = {
        { "Ostrel 2.0\nsecond line\n", "Ostrel 2.0\n" },
        { "no line end", "no line end" },
        { std::string(120, 'v') + "\n", std::string(99, 'v') },
        { std::string(98, 'w') + "\n", std::string(98, 'w') + "\n" },
        { "", kBuiltInVersionLine },
    };
    for (const auto &[content, expected] : cases) {
        test::WriteText(path, content);
        EXPECT_EQ(ReadVersionLine(path), expected);
    }
    EXPECT_EQ(ReadVersionLine(dir.File("missing.txt")), kBuiltInVersionLine);
}

} // namespace
} // namespace ostrel

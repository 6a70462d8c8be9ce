#include "app/version_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
    // A FIFO there would block a plain open until some writer came.
    const std::string fifo = dir.File("fifo.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadVersionLine(fifo), kBuiltInVersionLine);
}

} // namespace
} // namespace ostrel

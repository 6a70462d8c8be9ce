#include "framework/path_parts.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(PathParts, TakesPathsApart)
{
    struct Case
    {
        const char *path, *directory, *name, *base, *extension;
    };
    const Case cases[] = {
        { "/home/u/MAIN.C", "/home/u/", "MAIN.C", "MAIN", "C" },
        { "C:\\PROJ\\START.ASM", "C:\\PROJ\\", "START.ASM", "START", "ASM" },
        { "noext", "", "noext", "noext", "" },
        { "/a.b/file", "/a.b/", "file", "file", "" },
        { "/p/arch.tar.gz", "/p/", "arch.tar.gz", "arch.tar", "gz" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(DirectoryOf(c.path), c.directory);
        EXPECT_EQ(FileNameOf(c.path), c.name);
        EXPECT_EQ(BaseNameOf(c.path), c.base);
        EXPECT_EQ(ExtensionOf(c.path), c.extension);
    }
}

TEST(PathParts, DefaultExtensionOnlyForNamesWithout)
{
    EXPECT_EQ(ApplyDefaultExtension("/p/main", "C"), "/p/main.C");
    EXPECT_EQ(ApplyDefaultExtension("/p/main.c", "C"), "/p/main.c");
    EXPECT_EQ(ApplyDefaultExtension("/p.d/main", "C"), "/p.d/main.C");
    EXPECT_EQ(ApplyDefaultExtension("/p/", "C"), "/p/");
}

TEST(PathParts, CommandLinePath)
{
    using Args = std::vector<std::string>;
    EXPECT_EQ(CommandLinePath(Args { "ostrel" }), "");
    EXPECT_EQ(CommandLinePath(Args { "ostrel", "/p/MAIN.C" }), "/p/MAIN.C");
    EXPECT_EQ(CommandLinePath(Args { "ostrel", "/my", "projects/MAIN.C" }), "/my projects/MAIN.C");
    EXPECT_EQ(
        CommandLinePath(Args { "ostrel", "\"/my", "projects/MAIN.C\"" }), "/my projects/MAIN.C");
    EXPECT_EQ(CommandLinePath(Args { "ostrel", "\"\"" }), "");
    EXPECT_EQ(CommandLinePath(Args { "ostrel", "\"a\"b\"" }), "a\"b"); // one pair only
    EXPECT_EQ(CommandLinePath(Args { "ostrel", "\"half" }), "\"half");
}

} // namespace
} // namespace ostrel

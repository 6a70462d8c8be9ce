#include "project/project_files.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(ProjectFiles, KindFollowsTheExtensionInAnyCase)
{
    const std::pair<const char *, ProjectFileKind> cases[] = {
        { "/p/MAIN.C", ProjectCFile },
        { "/p/main.c", ProjectCFile },
        { "/p/Start.Asm", ProjectAsmFile },
        { "C:\\P\\IO.LIB", ProjectLibFile },
        { "/p/MAIN.CPP", NotAProjectFile },
        { "/p/notes.txt", NotAProjectFile },
        { "/p/C", NotAProjectFile },
        { "/p.c/MAKEFILE", NotAProjectFile },
    };
    for (const auto &[path, kind] : cases)
        EXPECT_EQ(ClassifyProjectFile(path), kind) << path;
}

TEST(ProjectFiles, ANewFileOfAKindReplacesTheOldOne)
{
    ProjectRecord values;
    values.cFile = "/p/MAIN.C";
    values.libFile = "/p/IO.LIB";
    std::vector<std::string> entries = ProjectFileEntries(values);
    ASSERT_EQ(entries, (std::vector<std::string> { "/p/MAIN.C", "/p/IO.LIB" }));

    EXPECT_TRUE(AddProjectFile(values, entries, "/p/other.c"));
    EXPECT_FALSE(AddProjectFile(values, entries, "/p/notes.txt"));
    EXPECT_EQ(entries, (std::vector<std::string> { "/p/IO.LIB", "/p/other.c" }));
    EXPECT_EQ(values.cFile, "/p/other.c");

    RemoveProjectFile(values, entries, 0);
    EXPECT_EQ(values.libFile, "");
    EXPECT_EQ(entries, std::vector<std::string> { "/p/other.c" });
}

TEST(ProjectFiles, OnlyTwoSpellingsNameAProjectFile)
{
    EXPECT_TRUE(IsProjectFileName("/p/X.PRJ"));
    EXPECT_TRUE(IsProjectFileName("/p/x.prj"));
    EXPECT_FALSE(IsProjectFileName("/p/X.Prj"));
    EXPECT_FALSE(IsProjectFileName("/p.prj/X"));
}

} // namespace
} // namespace ostrel

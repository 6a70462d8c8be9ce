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

} // namespace
} // namespace ostrel

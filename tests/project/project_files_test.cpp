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
        { "/p/isr.S", ProjectAsmFile },
        { "/p/isr.s", ProjectAsmFile },
        { "/p/libm.a", ProjectLibFile },
        { "/p/LIBM.A", ProjectLibFile },
        { "/p/MAIN.CPP", NotAProjectFile },
        { "/p/notes.txt", NotAProjectFile },
        { "/p/C", NotAProjectFile },
        { "/p.c/MAKEFILE", NotAProjectFile },
    };
    for (const auto &[path, kind] : cases)
        EXPECT_EQ(ClassifyProjectFile(path), kind) << path;
}

TEST(ProjectFiles, FurtherFilesJoinTheirKindAndRemovingTheMainOnePromotesTheNext)
{
    ProjectRecord r;
    std::vector<std::string> entries;
    for (const char *path : { "/p/main.c", "/p/uart.c", "/p/isr.S", "/p/boot.asm" })
        EXPECT_EQ(AddMoreProjectFile(r, entries, path), AddFileResult::Added) << path;
    EXPECT_EQ(AddMoreProjectFile(r, entries, "/P/UART.C"), AddFileResult::AlreadyThere);
    EXPECT_EQ(AddMoreProjectFile(r, entries, "/p/notes.txt"), AddFileResult::NotAProjectFile);
    EXPECT_EQ(r.cFile, "/p/main.c");
    EXPECT_EQ(r.asmFile, "/p/isr.S");
    EXPECT_EQ(r.extension.cFiles, std::vector<std::string> { "/p/uart.c" });
    EXPECT_EQ(r.extension.asmFiles, std::vector<std::string> { "/p/boot.asm" });
    EXPECT_EQ(ProjectFileEntries(r),
        (std::vector<std::string> { "/p/main.c", "/p/isr.S", "/p/uart.c", "/p/boot.asm" }));

    RemoveProjectFile(r, entries, 0); // main.c: uart.c becomes the C file
    EXPECT_EQ(r.cFile, "/p/uart.c");
    EXPECT_TRUE(r.extension.cFiles.empty());
    RemoveProjectFile(r, entries, 2); // boot.asm, a further file: the main one stays
    EXPECT_EQ(r.asmFile, "/p/isr.S");
    EXPECT_TRUE(r.extension.asmFiles.empty());
    EXPECT_EQ(entries, (std::vector<std::string> { "/p/uart.c", "/p/isr.S" }));

    // Browsing to a further file makes it the main one without listing it twice.
    AddMoreProjectFile(r, entries, "/p/lcd.c");
    AddProjectFile(r, entries, "/p/lcd.c");
    EXPECT_EQ(r.cFile, "/p/lcd.c");
    EXPECT_TRUE(r.extension.cFiles.empty());
    EXPECT_EQ(entries, (std::vector<std::string> { "/p/isr.S", "/p/lcd.c" }));
}

} // namespace
} // namespace ostrel

#include "compile/build_result.h"

#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

#include <tuple>

namespace ostrel {
namespace {

TEST(BuildResult, EachMessageIsTakenApartOnceWithItsKindAndFile)
{
    test::TempDir dir;
    test::WriteText(dir.File("UART.C"), "");
    const std::string main = dir.File("MAIN.C"); // absolute: taken as it is
    const std::vector<std::string> entries = {
        "Compiling MAIN.C",
        "Error  " + main + "(12): 'counter' undeclared",
        "Warning UART.C(2): Error handling is missing", // the first word decides
        "In " + main + "(4): Error here, said the checker",
        "Warning UART.C(0): no line to mark",
        "1 error(s), 2 warning(s)",
    };
    const BuildResult result(entries, dir.File(""));
    EXPECT_EQ(result.Entries(), entries);
    EXPECT_EQ(result.NavigableRows(), (std::vector<int> { 1, 2, 3, 4 }));

    using Place = std::tuple<MessageKind, std::string, std::string, int32_t>;
    const Place places[] = {
        { MessageKind::Error, main, main, 12 },
        { MessageKind::Warning, "UART.C", dir.File("UART.C"), 2 },
        { MessageKind::Error, main, main, 4 },
        { MessageKind::Warning, "UART.C", dir.File("UART.C"), 0 },
    };
    for (int row = 0; row < 6; ++row) {
        const BuildResult::Place *place = result.PlaceAt(row);
        const bool navigable = row >= 1 && row <= 4;
        ASSERT_EQ(place != nullptr, navigable) << row;
        if (navigable) {
            EXPECT_EQ(
                std::tie(place->kind, place->file, place->path, place->line), places[row - 1]);
        }
    }

    // Line 0 names no line to mark; each file's messages keep the order of the list.
    const auto &byFile = result.LineMessagesByFile();
    ASSERT_EQ(byFile.size(), 2u);
    const auto &inMain = byFile.at(main);
    ASSERT_EQ(inMain.size(), 2u);
    EXPECT_EQ(std::make_tuple(inMain[0].line, inMain[0].text), std::make_tuple(11, entries[1]));
    EXPECT_EQ(
        std::make_tuple(inMain[1].line, inMain[1].kind), std::make_tuple(3, MessageKind::Error));
    const auto &inUart = byFile.at(dir.File("UART.C"));
    ASSERT_EQ(inUart.size(), 1u);
    EXPECT_EQ(std::make_tuple(inUart[0].file, inUart[0].line, inUart[0].kind),
        std::make_tuple(dir.File("UART.C"), 1, MessageKind::Warning));
}

TEST(BuildResult, FileNamesWithParenthesesAndNotesAreFollowed)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.File("shared (lib)"));
    for (const char *name : { "Code (1).c", "shared (lib)/h.h", "A", "A(1).c" })
        test::WriteText(dir.File(name), "");
    const std::string base = dir.File("");
    const std::vector<std::string> entries = {
        "Error " + base + "Code (1).c(12): expected ';'",
        "Note " + base + "shared (lib)/h.h(3): includes x (2).h",
        // Where the name up to the first "(" is a file, that file is meant.
        "Warning " + base + "A(1).c(5): unused",
        // An earlier version wrote notes as warnings.
        "Warning " + base + "Code (1).c(2): note: earlier",
        "Error " + base + "Gone (1).c(7): no such file",
    };
    const BuildResult result(entries, base);
    using Place = std::tuple<MessageKind, std::string, int32_t>;
    const Place places[] = {
        { MessageKind::Error, base + "Code (1).c", 12 },
        { MessageKind::Note, base + "shared (lib)/h.h", 3 },
        { MessageKind::Warning, base + "A", 1 },
        { MessageKind::Warning, base + "Code (1).c", 2 },
        { MessageKind::Error, base + "Gone ", 1 },
    };
    for (int row = 0; row < 5; ++row) {
        const BuildResult::Place *place = result.PlaceAt(row);
        ASSERT_NE(place, nullptr) << row;
        EXPECT_EQ(std::tie(place->kind, place->path, place->line), places[row]) << row;
    }
    EXPECT_EQ(result.LineMessagesByFile().at(base + "shared (lib)/h.h").size(), 1u);
}

} // namespace
} // namespace ostrel

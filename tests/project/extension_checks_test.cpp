#include "project/extension_checks.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(ExtensionChecks, DefinesAndClocks)
{
    const std::pair<const char *, bool> defines[] = {
        { "F_CPU", true },
        { "_x1=", true },
        { "BAUD=9600", true },
        { "MSG=a=b c", true },
        { "", false },
        { "=1", false },
        { "9LIVES", false },
        { "MY-NAME", false },
        { "A B", false },
        { "\xc3\xa9t\xc3\xa9", false },
    };
    for (const auto &[text, valid] : defines)
        EXPECT_EQ(IsValidDefine(text), valid) << text;

    const std::pair<const char *, bool> clocks[] = {
        { "1", true },
        { "8000000", true },
        { "4294967295", true },
        { "4294967296", false },
        { "99999999999999999999999", false },
        { "0", false },
        { "", false },
        { "8 MHz", false },
        { "-8", false },
        { "0x10", false },
    };
    for (const auto &[text, valid] : clocks)
        EXPECT_EQ(IsValidClock(text), valid) << text;
}

TEST(ExtensionChecks, LinesAndFlagsNeverGiveEmptyItems)
{
    EXPECT_EQ(SplitLines(" /p/inc \r\n\r\n/p/my inc\n  \n"),
        (std::vector<std::string> { "/p/inc", "/p/my inc" }));
    EXPECT_TRUE(SplitFlags(" \t ").empty());
}

TEST(ExtensionChecks, ReportsTheFirstUnusableSettingWithItsIndex)
{
    ProjectExtension x;
    x.includeFolders = { "/there", "/gone" };
    x.librarySources = { "/also-gone" };
    const auto exists = [](const std::string &path) {
        return path == "/there";
    };
    auto problem = CheckExtension(x, exists);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, ExtensionProblem::IncludeFolder);
    EXPECT_EQ(problem->index, 1u);
    EXPECT_NE(problem->message.find("/gone"), std::string::npos);

    x.defines = { "OK", "1BAD" };
    problem = CheckExtension(x, exists);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, ExtensionProblem::Define);
    EXPECT_EQ(problem->index, 1u);

    x.includeFolders = { "/there" };
    x.defines.clear();
    problem = CheckExtension(x, exists);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, ExtensionProblem::LibrarySource);

    x.librarySources.clear();
    EXPECT_FALSE(CheckExtension(x, exists));
}

} // namespace
} // namespace ostrel

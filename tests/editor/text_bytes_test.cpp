#include "editor/source_language.h"
#include "editor/text_bytes.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(TextBytes, Utf8Validity)
{
    const std::pair<std::string_view, bool> cases[] = {
        { "", true }, { "plain ascii", true }, { "\xc3\xa9", true }, // e acute
        { "\xe2\x82\xac", true }, // euro sign
        { "\xf0\x9f\x98\x80", true }, // four bytes
        { "caf\xe9", false }, // Latin-1
        { "\xc3", false }, // cut short
        { "\xc0\xaf", false }, // overlong
        { "\xed\xa0\x80", false }, // surrogate
        { "\xf4\x90\x80\x80", false }, // beyond U+10FFFF
        { "\x80", false }, // lone continuation
    };
    for (const auto &[bytes, valid] : cases)
        EXPECT_EQ(IsValidUtf8(bytes), valid) << testing::PrintToString(std::string(bytes));
}

TEST(TextBytes, LineEndOfTheFirstLine)
{
    EXPECT_EQ(DetectLineEnd("a\r\nb\n", LineEnd::Lf), LineEnd::CrLf);
    EXPECT_EQ(DetectLineEnd("a\nb\r\n", LineEnd::CrLf), LineEnd::Lf);
    EXPECT_EQ(DetectLineEnd("a\rb", LineEnd::Lf), LineEnd::Cr);
    EXPECT_EQ(DetectLineEnd("ends in cr\r", LineEnd::Lf), LineEnd::Cr);
    EXPECT_EQ(DetectLineEnd("none", LineEnd::CrLf), LineEnd::CrLf);
}

TEST(TextBytes, PastedLineEndsTakeTheDocumentsStyle)
{
    const std::string_view mixed = "a\r\nb\nc\rd\r\n\r\n\xe9";
    EXPECT_EQ(ConvertLineEnds(mixed, LineEnd::CrLf), "a\r\nb\r\nc\r\nd\r\n\r\n\xe9");
    EXPECT_EQ(ConvertLineEnds(mixed, LineEnd::Lf), "a\nb\nc\nd\n\n\xe9");
    EXPECT_EQ(ConvertLineEnds(mixed, LineEnd::Cr), "a\rb\rc\rd\r\r\xe9");
    EXPECT_EQ(ConvertLineEnds("\r", LineEnd::CrLf), "\r\n");
}

TEST(SourceLanguage, ChosenByExtensionInAnyCase)
{
    const std::pair<const char *, SourceLanguage> cases[] = {
        { "/p/MAIN.C", SourceLanguage::C },
        { "io.h", SourceLanguage::C },
        { "START.ASM", SourceLanguage::AvrAssembler },
        { "boot.S", SourceLanguage::AvrAssembler },
        { "m8def.inc", SourceLanguage::AvrAssembler },
        { "OUTPUT.ERR", SourceLanguage::Plain },
        { "Makefile", SourceLanguage::Plain },
        { "dir.c/file", SourceLanguage::Plain },
    };
    for (const auto &[path, language] : cases)
        EXPECT_EQ(LanguageOfPath(path), language) << path;
}

TEST(ShortenForMessage, KeepsStartAndEndWithoutSplittingACharacter)
{
    const std::string longPath = "/home/" + std::string(5000, 'a') + "/MAIN.C";
    const std::string shown = ShortenForMessage(longPath, 40);
    EXPECT_EQ(shown, "/home/aaaaaaaaaaaa...aaaaaaaaaaaa/MAIN.C");
    EXPECT_EQ(ShortenForMessage("/short/MAIN.C", 40), "/short/MAIN.C");
    // Two-byte characters either side of the cut stay whole.
    std::string utf8 = "/";
    for (int i = 0; i < 40; ++i)
        utf8 += "\xc3\xa9";
    const std::string cut = ShortenForMessage(utf8, 21);
    EXPECT_TRUE(IsValidUtf8(cut)) << cut;
    EXPECT_LE(cut.size(), 21u);
}

} // namespace
} // namespace ostrel

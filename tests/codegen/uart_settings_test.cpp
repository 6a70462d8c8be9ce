#include "codegen/uart_settings.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale>
#include <memory>
#include <string>

namespace ostrel {
namespace {

struct UbrrCase
{
    const char *name;
    const char *clock;
    const char *baud;
    uint32_t ubrr;
};

void PrintTo(const UbrrCase &c, std::ostream *os)
{
    *os << c.name;
}

class ComputeUbrrTest : public ::testing::TestWithParam<UbrrCase>
{
};

TEST_P(ComputeUbrrTest, Value)
{
    EXPECT_EQ(ComputeUbrr(GetParam().clock, GetParam().baud), GetParam().ubrr);
}

INSTANTIATE_TEST_SUITE_P(Table, ComputeUbrrTest,
    ::testing::Values(UbrrCase { "mhz4_9600", "4", "9600", 0x19 }, // 25.04 truncated
        UbrrCase { "exact_3_6864_9600", "3.6864", "9600", 0x17 },
        UbrrCase { "exact_3_6864_19200", "3.6864", "19200", 0x0b },
        UbrrCase { "exact_7_3728_9600", "7.3728", "9600", 0x2f },
        UbrrCase { "truncated_not_rounded", "1", "9600", 0x05 }, // 5.51
        UbrrCase { "no_clamp", "8", "110", 0x11c0 }, UbrrCase { "zero", "0", "9600", 0 },
        UbrrCase { "negative", "-4", "9600", 0 }, UbrrCase { "empty", "", "9600", 0 },
        UbrrCase { "blanks_only", " \t ", "9600", 0 }, UbrrCase { "junk", "MHz", "9600", 0 },
        UbrrCase { "point_only", ".", "9600", 0 },
        UbrrCase { "quotient_below_one", "0.000001", "9600", 0 },
        UbrrCase { "blanks_around", "  4 \t", "9600", 0x19 },
        UbrrCase { "line_ends_around", "\r\n4\r\n", "9600", 0x19 },
        UbrrCase { "unit_after_number", "4MHz", "9600", 0x19 },
        UbrrCase { "comma_ends_number", "3,6864", "9600", 0x12 }, // read as 3
        UbrrCase { "plus_sign", "+4", "9600", 0x19 }, UbrrCase { "two_signs", "+-4", "9600", 0 },
        UbrrCase { "fraction_without_integer", ".5", "9600", 0x02 },
        UbrrCase { "exponent", "0.4e1", "9600", 0x19 },
        UbrrCase { "incomplete_exponent", "4e", "9600", 0x19 },
        UbrrCase { "hex_is_not_decimal", "0x10", "9600", 0 },
        UbrrCase { "blank_inside", "1 2", "9600", 0x05 },
        UbrrCase { "baud_trailing_blanks", "4", "9600  ", 0x19 },
        // Beyond the 32 bits the low word is kept, as the register text has always shown.
        UbrrCase { "low_32_bits", "1e12", "110", 0x2370c8b9 },
        // Defined results where a plain conversion would be undefined.
        UbrrCase { "saturated_beyond_64_bits", "1e300", "110", 0xffffffff },
        UbrrCase { "infinite_quotient", "1e305", "9600", 0 },
        UbrrCase { "clock_beyond_double", "1e999", "9600", 0 },
        UbrrCase { "clock_below_double", "1e-999", "9600", 0 },
        UbrrCase { "inf", "inf", "9600", 0 }, UbrrCase { "minus_infinity", "-infinity", "9600", 0 },
        UbrrCase { "nan", "nan", "9600", 0 }, UbrrCase { "baud_zero", "4", "0", 0 },
        UbrrCase { "baud_negative", "4", "-9600", 0 }, UbrrCase { "baud_junk", "4", "fast", 0 }),
    [](const auto &info) {
        return std::string(info.param.name);
    });

TEST(ReadClockMegahertz, NumbersOutsideDoubleRange)
{
    EXPECT_EQ(ReadClockMegahertz("1e999"), HUGE_VAL);
    EXPECT_EQ(ReadClockMegahertz("-1e999"), -HUGE_VAL);
    EXPECT_EQ(ReadClockMegahertz("123456789e400"), HUGE_VAL);
    EXPECT_EQ(ReadClockMegahertz("0.0001e-999"), 0.0);
    EXPECT_EQ(ReadClockMegahertz("1e-99999999999999999999999"), 0.0);
    EXPECT_EQ(ReadClockMegahertz("1e99999999999999999999999"), HUGE_VAL);
    EXPECT_EQ(ReadClockMegahertz("0.00000000000000000001e320"), 1e300);
    EXPECT_TRUE(std::isnan(ReadClockMegahertz("nan(1)")));
}

// A comma as the locale's decimal separator changes nothing: the text is read as C reads it
// in the "C" locale. The C library's locale is switched too where such a locale is installed.
class CommaLocale : public ::testing::Test
{
protected:
    struct CommaPoint : std::numpunct<char>
    {
        char do_decimal_point() const override { return ','; }
    };

    void SetUp() override
    {
        m_savedLocale = std::locale();
        m_savedNumeric = std::setlocale(LC_NUMERIC, nullptr);
        std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
        if (!SetCommaNumeric())
            BuildCommaNumeric();
        RecordProperty("c_decimal_point", std::localeconv()->decimal_point);
    }

    void TearDown() override
    {
        std::setlocale(LC_NUMERIC, m_savedNumeric.c_str());
        std::locale::global(m_savedLocale);
        if (m_localeDir)
            unsetenv("LOCPATH");
    }

private:
    static bool SetCommaNumeric()
    {
        for (const char *name : { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE" }) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr)
                return true;
        }
        return false;
    }

    // Most build machines carry only the C locales; compile a German one for this test where
    // the locale sources are at hand.
    void BuildCommaNumeric()
    {
        m_localeDir = std::make_unique<test::TempDir>();
        const std::string command = "localedef -i de_DE -f UTF-8 '"
            + m_localeDir->File("de_DE.UTF-8") + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return;
        setenv("LOCPATH", m_localeDir->Path().c_str(), 1);
        SetCommaNumeric();
    }

    std::locale m_savedLocale;
    std::string m_savedNumeric;
    std::unique_ptr<test::TempDir> m_localeDir;
};

TEST_F(CommaLocale, PointStaysTheDecimalPoint)
{
    EXPECT_EQ(ReadClockMegahertz("3.6864"), 3.6864);
    EXPECT_EQ(ReadClockMegahertz("3,6864"), 3.0);
    EXPECT_EQ(ComputeUbrr("3.6864", "9600"), 0x17u);
    EXPECT_EQ(ComputeUbrr("3,6864", "9600"), 0x12u);
}

struct UartCase
{
    const char *name;
    UartSettings settings;
    const char *code;
};

void PrintTo(const UartCase &c, std::ostream *os)
{
    *os << c.name;
}

UartSettings Flags(bool rxcie, bool txcie, bool udrie, bool rxe, bool txe, bool chr9, bool txd8)
{
    UartSettings s;
    s.rxcie = rxcie;
    s.txcie = txcie;
    s.udrie = udrie;
    s.rxe = rxe;
    s.txe = txe;
    s.chr9 = chr9;
    s.txd8 = txd8;
    return s;
}

class UartCodeTest : public ::testing::TestWithParam<UartCase>
{
};

TEST_P(UartCodeTest, Text)
{
    EXPECT_EQ(GenerateUartCode(GetParam().settings), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Table, UartCodeTest,
    ::testing::Values(UartCase { "opening_state", {}, "UBRR = 0x0019 ;\r\nUCR = 0x18 ;" },
        UartCase { "no_flags", Flags(0, 0, 0, 0, 0, 0, 0), "UBRR = 0x0019 ;\r\nUCR = 0x0 ;" },
        UartCase { "all_flags", Flags(1, 1, 1, 1, 1, 1, 1), "UBRR = 0x0019 ;\r\nUCR = 0xff ;" },
        UartCase { "chr9_two_bits", Flags(0, 0, 0, 0, 0, 1, 0), "UBRR = 0x0019 ;\r\nUCR = 0x6 ;" },
        UartCase { "rxcie", Flags(1, 0, 0, 0, 0, 0, 0), "UBRR = 0x0019 ;\r\nUCR = 0x80 ;" },
        UartCase { "txcie", Flags(0, 1, 0, 0, 0, 0, 0), "UBRR = 0x0019 ;\r\nUCR = 0x40 ;" },
        UartCase { "udrie", Flags(0, 0, 1, 0, 0, 0, 0), "UBRR = 0x0019 ;\r\nUCR = 0x20 ;" },
        UartCase { "rxe", Flags(0, 0, 0, 1, 0, 0, 0), "UBRR = 0x0019 ;\r\nUCR = 0x10 ;" },
        UartCase { "txe", Flags(0, 0, 0, 0, 1, 0, 0), "UBRR = 0x0019 ;\r\nUCR = 0x8 ;" },
        UartCase { "txd8", Flags(0, 0, 0, 0, 0, 0, 1), "UBRR = 0x0019 ;\r\nUCR = 0x1 ;" },
        UartCase {
            "ubrr_zero_four_digits", UartSettings { "0" }, "UBRR = 0x0000 ;\r\nUCR = 0x18 ;" },
        UartCase { "ubrr_wider_than_four_digits", UartSettings { "1000", "110" },
            "UBRR = 0x8ab74 ;\r\nUCR = 0x18 ;" },
        UartCase { "ubrr_full_32_bits", UartSettings { "1e300", "110" },
            "UBRR = 0xffffffff ;\r\nUCR = 0x18 ;" }),
    [](const auto &info) {
        return std::string(info.param.name);
    });

} // namespace
} // namespace ostrel

#include "tables/NumberText.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* text;
    IntWidth width;
    bool ok;
    qint32 value;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class NumberTextCases : public ::testing::TestWithParam<Case> {};

TEST_P(NumberTextCases, Converts) {
    const Case c = GetParam();
    const NumberConversion result = convertNumber(QString::fromUtf8(c.text), c.width);
    EXPECT_EQ(result.ok, c.ok) << c.text << ": " << result.error.toStdString();
    if (c.ok)
        EXPECT_EQ(result.value, c.value) << c.text;
    else
        EXPECT_FALSE(result.error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    RoundingBlanksAndRanges, NumberTextCases,
    ::testing::Values(
        // halves go to the even neighbour
        Case{"12.5", IntWidth::Int16, true, 12}, Case{"13.5", IntWidth::Int16, true, 14},
        Case{"-2.5", IntWidth::Int16, true, -2}, Case{"0.5", IntWidth::Int16, true, 0},
        Case{"2.6", IntWidth::Int16, true, 3}, Case{"-0.4", IntWidth::Int16, true, 0},
        // blanks around the number are allowed, only blanks are not a number
        Case{"  42 ", IntWidth::Int16, true, 42}, Case{"   ", IntWidth::Int16, false, 0},
        Case{"", IntWidth::Int16, false, 0}, Case{"4 2", IntWidth::Int16, false, 0},
        // signs, leading zeros, exponents
        Case{"+7", IntWidth::Int16, true, 7}, Case{"0150", IntWidth::Int32, true, 150},
        Case{"1e3", IntWidth::Int32, true, 1000}, Case{".5", IntWidth::Int16, true, 0},
        // the 16-bit and 32-bit ranges, also after rounding
        Case{"32767", IntWidth::Int16, true, 32767}, Case{"32768", IntWidth::Int16, false, 0},
        Case{"-32768", IntWidth::Int16, true, -32768}, Case{"32767.5", IntWidth::Int16, false, 0},
        Case{"2147483647", IntWidth::Int32, true, 2147483647},
        Case{"2147483648", IntWidth::Int32, false, 0},
        Case{"-2147483648", IntWidth::Int32, true, -2147483647 - 1},
        // not numbers
        Case{"abc", IntWidth::Int16, false, 0}, Case{"0x10", IntWidth::Int16, false, 0},
        Case{"inf", IntWidth::Int32, false, 0}, Case{"nan", IntWidth::Int32, false, 0},
        Case{"1,5", IntWidth::Int16, false, 0}, Case{"1e999", IntWidth::Int32, false, 0},
        // the edges of the grammar: a dot needs a digit beside it, an exponent its digits
        Case{"5.", IntWidth::Int16, true, 5}, Case{"+.5e1", IntWidth::Int16, true, 5},
        Case{".", IntWidth::Int16, false, 0}, Case{"-", IntWidth::Int16, false, 0},
        Case{"1e", IntWidth::Int16, false, 0}, Case{"1e+", IntWidth::Int16, false, 0},
        Case{"1.2.3", IntWidth::Int16, false, 0}, Case{"\u0661", IntWidth::Int16, false, 0}));

TEST(NumberText, ErrorNamesTheTextAndTheRange) {
    EXPECT_EQ(toInt16(QStringLiteral("abc")).error, QStringLiteral("\"abc\" is not a number"));
    EXPECT_EQ(toInt16(QStringLiteral("40000")).error,
              QStringLiteral("\"40000\" is out of range (-32768 to 32767)"));
}

} // namespace

// Lenient argument readings: leading numbers, the timed verbs' word lists and the
// rounding rule of rotations.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "argument_text.h"
#include "comma_locale.h"

TEST(ArgumentText, LeadingIntegerReadsUpToTheFirstOtherCharacter) {
    struct Case {
        const char* text;
        int value;
        bool digits;
    };
    const Case cases[] = {
        {"2nd", 2, true},        {"  -17x", -17, true},    {"+5", 5, true},        {"\t\n 42", 42, true},
        {"", 0, false},          {"word", 0, false},       {"-", 0, false},        {"- 3", 0, false},
        {"00", 0, true},         {"99999999999", INT_MAX, true}, {"-99999999999", INT_MIN, true},
        {"2147483648", INT_MAX, true}, {"-2147483648", INT_MIN, true},
    };
    for (const Case& c : cases) {
        bool digits = !c.digits;
        EXPECT_EQ(c.value, LeadingInteger(c.text, &digits)) << "[" << c.text << "]";
        EXPECT_EQ(c.digits, digits) << "[" << c.text << "]";
    }
}

TEST(ArgumentText, LeadingDecimalTakesOnlyTheDecimalForm) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"12.56", 12.56}, {" -12.56deg", -12.56}, {".5", 0.5},  {"5.", 5.0},   {"1e3", 1000.0},
        {"2E-1x", 0.2},   {"1e", 1.0},            {"1e+", 1.0}, {"word", 0.0}, {"", 0.0},
        {"-", 0.0},       {".", 0.0},             {"inf", 0.0}, {"nan", 0.0},  {"0x10", 0.0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(c.value, LeadingDecimal(c.text)) << "[" << c.text << "]";
}

TEST(ArgumentText, WordsSplitAtBlanksAndSkipEmptyOnes) {
    struct Case {
        const char* argument;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"", {}},
        {"1000", {"1000"}},
        {"1000 3", {"1000", "3"}},
        {"50  4\t 2 ", {"50", "4\t", "2"}},  // only the blank separates words
        {" 400 0", {"400", "0"}},
        {"a\tb c", {"a\tb", "c"}},
        {"   ", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.words, ArgumentWords(c.argument)) << "[" << c.argument << "]";
}

TEST(ArgumentText, RoundingGoesUpFromHalvesAndTruncatesNegatives) {
    struct Case {
        double x;
        double rounded;
    };
    const Case cases[] = {
        {125.6, 126}, {125.5, 126}, {125.4, 125}, {0.5, 1}, {0.0, 0}, {-125.6, -125}, {-0.5, 0}, {-3598.9, -3598},
        {2.5, 3},     {1e300, 1e300},
    };
    for (const Case& c : cases) EXPECT_EQ(c.rounded, RoundForRotation(c.x)) << c.x;
    EXPECT_EQ(0.0, RoundForRotation(1.0 / 0.0));
}

TEST(ArgumentText, DecimalTextsUseAPointUnderACommaDecimalLocale) {
    CommaDecimalLocale locale;
    if (!locale.Active()) GTEST_SKIP() << locale.Why();
    EXPECT_DOUBLE_EQ(12.56, LeadingDecimal("12.56"));
    EXPECT_DOUBLE_EQ(-0.5, LeadingDecimal("-.5e0"));
    EXPECT_DOUBLE_EQ(12.0, LeadingDecimal("12,56"));  // a comma ends the number, as everywhere
    EXPECT_EQ("51.400002", FixedDecimalText(static_cast<double>(514 * 0.1f)));
    EXPECT_EQ("-3600.000000", FixedDecimalText(-3600.0));
}

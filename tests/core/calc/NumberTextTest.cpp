#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <limits>

#include "calc/NumberText.h"

namespace zan {
namespace {

TEST(NumberText, StrictRealParsing) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"25", true, 25},    {"2.5E1", true, 25}, {"2.5e1", true, 25}, {"-0.5", true, -0.5},
        {"+7", true, 7},     {".5", true, 0.5},   {"5.", true, 5},     {"1e-400", true, 0},
        {"25 ft", false, 0}, {"inf", false, 0},   {"nan", false, 0},   {"0x10", false, 0},
        {"", false, 0},      {".", false, 0},     {"1e", false, 0},    {"1e+", false, 0},
        {" 5", false, 0},    {"5 ", false, 0},    {"1,5", false, 0},   {"1e400", false, 0},
        {"--1", false, 0},   {"Nan", false, 0},
    };
    for (const Case& c : cases) {
        double v = 12345;
        EXPECT_EQ(ParseReal(c.text, v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : 12345) << c.text;
    }
    double v = 0;
    EXPECT_TRUE(ParseReal("   -3.25", v, true));
    EXPECT_EQ(v, -3.25);
}

// The parser converts short decimal texts itself; every result must equal the correctly rounded one.
TEST(NumberText, ShortFormsConvertExactly) {
    std::mt19937_64 rng(11);
    std::uniform_int_distribution<int> digits(1, 19);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-40, 40);
    std::uniform_int_distribution<int> point(0, 20);
    for (int n = 0; n < 200000; ++n) {
        std::string text;
        const int count = digits(rng);
        const int dot = point(rng);
        for (int i = 0; i < count; ++i) {
            if (i == dot)
                text += '.';
            text += static_cast<char>('0' + digit(rng));
        }
        if (n % 2 == 0)
            text += "E" + std::to_string(exponent(rng));
        double mine = 0;
        double reference = 0;
        ASSERT_TRUE(ParseReal(text, mine)) << text;
        std::from_chars(text.data(), text.data() + text.size(), reference);
        ASSERT_EQ(mine, reference) << text;
    }
}

TEST(NumberText, IntegerParsing) {
    struct Case {
        const char* text;
        bool ok;
        std::int32_t value;
    };
    const Case cases[] = {{"0", true, 0},
                          {"-2147483648", true, -2147483648LL},
                          {"2147483647", true, 2147483647},
                          {"2147483648", false, 0},
                          {"12a", false, 0},
                          {"1.0", false, 0},
                          {"", false, 0},
                          {"-", false, 0}};
    for (const Case& c : cases) {
        std::int32_t v = 99;
        EXPECT_EQ(ParseInt32(c.text, v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : 99) << c.text;
    }
}

TEST(NumberText, RoundingHalvesToEvenWithFaultValue) {
    struct Case {
        double in;
        std::int32_t out;
    };
    const Case cases[] = {{2.5, 2},
                          {3.5, 4},
                          {-2.5, -2},
                          {-3.5, -4},
                          {0.49999999999999994, 0},
                          {2147483647.4, 2147483647},
                          {2147483647.5, -1},
                          {-2147483648.5, -2147483648LL},
                          {std::numeric_limits<double>::quiet_NaN(), -1},
                          {1e300, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(RealToInt32(c.in, -1), c.out) << c.in;
    EXPECT_EQ(RealToInt64(9.3e18, 7), 7);
    EXPECT_EQ(RealToInt64(-9.2e18, 7), -9200000000000000000LL);
    EXPECT_EQ(TruncToInt64(-2.7), -2);
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
}

TEST(NumberText, GeneralFormWithFifteenDigits) {
    struct Case {
        double in;
        const char* out;
    };
    const Case cases[] = {{0.1, "0.1"},
                          {2.5, "2.5"},
                          {100, "100"},
                          {0.1 + 0.2, "0.3"},
                          {1e20, "1e+20"},
                          {-0.001, "-0.001"},
                          {1.0 / 3, "0.333333333333333"}};
    for (const Case& c : cases)
        EXPECT_EQ(FormatReal(c.in), c.out) << c.in;
}

} // namespace
} // namespace zan

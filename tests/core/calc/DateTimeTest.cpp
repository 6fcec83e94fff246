#include <gtest/gtest.h>

#include <cmath>

#include "calc/DateTime.h"

namespace zan {
namespace {

MyDateTime Make(int year, int month, int day, int hour, int minute, int second, int msec = kUnsetPart) {
    MyDateTime d;
    d.Year = static_cast<std::int16_t>(year);
    d.Month = static_cast<std::uint8_t>(month);
    d.Day = static_cast<std::uint8_t>(day);
    d.Hour = static_cast<std::uint8_t>(hour);
    d.Min = static_cast<std::uint8_t>(minute);
    d.Sec = static_cast<std::uint8_t>(second);
    d.MSec = static_cast<std::uint8_t>(msec);
    return d;
}

constexpr int U = kUnsetPart;
constexpr int UY = kUnsetYear;

TEST(DateTime, ParseDateTextCases) {
    const MyDateTime unset = MyDateTime::Unset();
    const MyDateTime zero = MyDateTime::Zero();
    struct Case {
        const char* text;
        int kind;
        MyDateTime def;
        bool valid;
        MyDateTime expected;
    };
    const Case cases[] = {
        {"7/4/1999-13:05:09", kDateAndTime, unset, true, Make(99, 7, 4, 13, 5, 9)},
        // A blank does not end a number: "1999 13" is one year, out of range.
        {"7/4/1999 13:05", kDateAndTime, unset, true, Make(0, 7, 4, 5, 0, 0)},
        {"13:05", kTimeOnly, unset, true, Make(UY, U, U, 13, 5, 0)},
        {"13:05", kTimeOnly, zero, true, Make(0, 0, 0, 13, 5, 0, 0)},
        {"12/25/2020", kDateOnly, zero, true, Make(120, 12, 25, 0, 0, 0, 0)},
        {"12/25/2020", kDateOnly, unset, true, Make(120, 12, 25, U, U, U)},
        {"?/15/2000", kDateAndTime, unset, true, Make(100, U, 15, 0, 0, 0)},
        {"1/?/?", kDateOnly, Make(50, 3, 3, 1, 1, 1, 0), true, Make(50, 1, 3, 1, 1, 1, 0)},
        // Blanks inside a number are dropped.
        {"1 2/3 1/2000", kDateOnly, unset, true, Make(100, 12, 31, U, U, U)},
        // Out-of-range parts become 0, each on its own.
        {"13/5/2001,24:60:61", kDateAndTime, unset, true, Make(101, 0, 5, 0, 0, 0)},
        {"4/31/2001", kDateOnly, unset, true, Make(101, 4, 0, U, U, U)},
        {"2/29/2001", kDateOnly, unset, true, Make(101, 2, 0, U, U, U)},
        {"2/29/2000", kDateOnly, unset, true, Make(100, 2, 29, U, U, U)},
        {"2/29/1900", kDateOnly, unset, true, Make(0, 2, 29, U, U, U)}, // every fourth year
        {"2/30/2000", kDateOnly, unset, true, Make(100, 2, 0, U, U, U)},
        {"1/1/9999", kDateOnly, unset, true, Make(0, 1, 1, U, U, U)},
        // Years below 100 lie in the current century; year 0 and a missing year are this year.
        {"1/1/5", kDateOnly, unset, true, Make(105, 1, 1, U, U, U)},
        {"1/1/99", kDateOnly, unset, true, Make(199, 1, 1, U, U, U)},
        {"1/1/0", kDateOnly, unset, true, Make(125, 1, 1, U, U, U)},
        {"7/4", kDateOnly, unset, true, Make(125, 7, 4, U, U, U)},
        {"1/1/1850", kDateOnly, unset, true, Make(-50, 1, 1, U, U, U)},
        // Parts that are not numbers read 0 and are reported.
        {"a/1/2000", kDateOnly, unset, false, Make(101, 0, 0, U, U, U)}, // "a" and "/" each end a number
        {"1//2000", kDateOnly, unset, false, Make(100, 1, 0, U, U, U)},
        {"1?/1/2000", kDateOnly, unset, false, Make(100, 0, 1, U, U, U)},
        {"", kDateAndTime, unset, false, zero},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        bool valid = !c.valid;
        const MyDateTime d = ParseDateText(c.text, c.kind, c.def, 2025, &valid);
        EXPECT_EQ(valid, c.valid);
        EXPECT_EQ(d.Year, c.expected.Year);
        EXPECT_EQ(d.Month, c.expected.Month);
        EXPECT_EQ(d.Day, c.expected.Day);
        EXPECT_EQ(d.Hour, c.expected.Hour);
        EXPECT_EQ(d.Min, c.expected.Min);
        EXPECT_EQ(d.Sec, c.expected.Sec);
        EXPECT_EQ(d.MSec, c.expected.MSec);
    }
}

TEST(DateTime, TextIsCutToThirtyCharacters) {
    // The year starts at character 29, so only "19" of it is read.
    const std::string text = "7/4/" + std::string(24, ' ') + "1999";
    const MyDateTime d = ParseDateText(text, kDateOnly, MyDateTime::Unset(), 2025);
    EXPECT_EQ(d.Year, 2019 - 1900);
}

TEST(DateTime, DoubleCarriesEveryByte) {
    // An unset date's bytes form a NaN; the round trip must keep them all.
    const MyDateTime unset = MyDateTime::Unset();
    const double v = DateToDouble(unset);
    EXPECT_TRUE(std::isnan(v));
    EXPECT_EQ(DoubleToDate(v), unset);
    const MyDateTime d = Make(99, 7, 4, 13, 5, 9, 0);
    EXPECT_EQ(DoubleToDate(DateToDouble(d)), d);
}

TEST(DateTime, ComparisonsWithWildcards) {
    struct Case {
        MyDateTime a, b;
        bool equal, less, greater;
    };
    const Case cases[] = {
        {Make(100, 1, 15, 0, 0, 0), Make(100, 1, 15, 0, 0, 0), true, false, false},
        {Make(100, 1, U, 0, 0, 0), Make(100, 1, 15, 0, 0, 0), true, false, false},
        {Make(100, 1, 14, 0, 0, 0), Make(100, 1, 15, 0, 0, 0), false, true, false},
        {Make(101, 1, 1, 0, 0, 0), Make(100, 12, 31, 0, 0, 0), false, false, true},
        // An unset part is skipped; the later parts decide.
        {Make(UY, 3, 1, U, U, U), Make(100, 2, 28, U, U, U), false, false, true},
        {Make(UY, U, U, 10, U, U), Make(100, 5, 5, 11, 0, 0), false, true, false},
        {MyDateTime::Unset(), Make(100, 5, 5, 11, 0, 0), true, false, false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        EXPECT_EQ(DateEqual(c.a, c.b), c.equal);
        EXPECT_EQ(DateEqual(c.b, c.a), c.equal);
        EXPECT_EQ(DateLess(c.a, c.b), c.less);
        EXPECT_EQ(DateLess(c.b, c.a), c.greater);
    }
}

} // namespace
} // namespace zan

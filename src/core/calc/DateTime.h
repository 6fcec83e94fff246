// Dates and times as the expression language, searches and date worksheet fields hold them: a
// packed 8-byte record that travels in the slot of a double. Any part may be unset; unset parts
// match anything when two dates are compared.
#pragma once

#include <cstdint>
#include <string_view>

namespace zan {

inline constexpr std::int16_t kUnsetYear = 30000;
inline constexpr std::uint8_t kUnsetPart = 255;

struct MyDateTime {
    std::int16_t Year = kUnsetYear; // years since 1900
    std::uint8_t Month = kUnsetPart;
    std::uint8_t Day = kUnsetPart;
    std::uint8_t Hour = kUnsetPart;
    std::uint8_t Min = kUnsetPart;
    std::uint8_t Sec = kUnsetPart;
    std::uint8_t MSec = kUnsetPart;

    // Every part unset (the default) or every byte zero.
    static MyDateTime Unset() { return {}; }
    static MyDateTime Zero() { return {0, 0, 0, 0, 0, 0, 0}; }

    friend bool operator==(const MyDateTime&, const MyDateTime&) = default;
};
static_assert(sizeof(MyDateTime) == 8, "a date shares the 8 bytes of a double");

// Byte-wise copies between a date and the double that carries it. Never arithmetic: an unset
// date's bytes form a NaN, which must survive unchanged.
double DateToDouble(const MyDateTime& d);
MyDateTime DoubleToDate(double v);

// What ParseDateText reads: 0 date and time, 1 time only, 2 date only.
enum : int { kDateAndTime = 0, kTimeOnly = 1, kDateOnly = 2 };

// Reads a typed date and/or time ("7/4/1999 13:05:00", "?/15/2000", "9:30"). The text (cut to 30
// characters) is a sequence of numbers, each a run of digits, blanks (dropped) and "?" ended by any
// other character. Date parts come in the order month, day, year, then hour, minute, second. "?"
// leaves a part unset; a part missing at the end is 0; year 0 is `currentYear`, a year below 100
// lies in the current century. Out-of-range parts become 0. Unset parts finally take `def`'s part.
// An empty text gives all bytes zero. `valid` (optional) is cleared for an empty text or a part
// that is not a number.
MyDateTime ParseDateText(std::string_view text, int kind, const MyDateTime& def, int currentYear,
                         bool* valid = nullptr);
// The same with the current year from the system clock.
MyDateTime ParseDateText(std::string_view text, int kind, const MyDateTime& def, bool* valid = nullptr);

// The current calendar year by the system clock.
int CurrentYear();

// Comparison of Year, Month, Day, Hour, Min, Sec in turn; an unset part on either side matches.
bool DateEqual(const MyDateTime& a, const MyDateTime& b);
// a before b: at the first part, among those set on both sides, where they differ.
bool DateLess(const MyDateTime& a, const MyDateTime& b);

} // namespace zan

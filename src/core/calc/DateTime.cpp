#include "calc/DateTime.h"

#include <array>
#include <chrono>
#include <cstring>
#include <string>

#include "calc/NumberText.h"

namespace zan {

double DateToDouble(const MyDateTime& d) {
    double v = 0;
    std::memcpy(&v, &d, sizeof v);
    return v;
}

MyDateTime DoubleToDate(double v) {
    MyDateTime d;
    std::memcpy(static_cast<void*>(&d), &v, sizeof d);
    return d;
}

int CurrentYear() {
    const auto today =
        std::chrono::year_month_day{std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    return static_cast<int>(today.year());
}

namespace {

constexpr int kUnsetValue = -1; // a part written "?" while parsing

// Reads the numbers of a date text one after the other.
class TDateReader {
public:
    explicit TDateReader(std::string_view text) : text_(text) {}

    // The next part: its value, kUnsetValue for "?", 0 when the text is used up. A part that is not
    // a number reads as 0 and clears `valid`.
    int Next(bool& valid) {
        if (pos_ >= text_.size())
            return 0;
        std::string digits;
        bool hasQuery = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c >= '0' && c <= '9')
                digits += c;
            else if (c == '?')
                hasQuery = true;
            else if (c != ' ')
                break;
            ++pos_;
        }
        const bool atEnd = pos_ >= text_.size();
        if (!atEnd)
            ++pos_; // the character that ended the number
        if (hasQuery) {
            if (digits.empty())
                return kUnsetValue;
            valid = false;
            return 0;
        }
        if (digits.empty()) {
            if (!atEnd)
                valid = false;
            return 0;
        }
        std::int32_t v = 0;
        if (!ParseInt32(digits, v)) {
            valid = false;
            return 0;
        }
        return v;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

int MonthLength(int month, int storedYear, bool yearSet) {
    switch (month) {
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        if (!yearSet)
            return 29;
        return ((storedYear + 1900) % 4 == 0) ? 29 : 28;
    default:
        return 31;
    }
}

std::uint8_t StorePart(int v) {
    return v == kUnsetValue ? kUnsetPart : static_cast<std::uint8_t>(v);
}

} // namespace

MyDateTime ParseDateText(std::string_view text, int kind, const MyDateTime& def, int currentYear,
                         bool* valid) {
    bool ok = true;
    if (text.empty()) {
        if (valid)
            *valid = false;
        return MyDateTime::Zero();
    }
    if (text.size() > 30)
        text = text.substr(0, 30);
    TDateReader reader(text);
    int month = kUnsetValue, day = kUnsetValue, year = kUnsetValue;
    int hour = kUnsetValue, minute = kUnsetValue, second = kUnsetValue;
    if (kind == kDateAndTime || kind == kDateOnly) {
        month = reader.Next(ok);
        day = reader.Next(ok);
        year = reader.Next(ok);
    }
    if (kind == kDateAndTime || kind == kTimeOnly) {
        hour = reader.Next(ok);
        minute = reader.Next(ok);
        second = reader.Next(ok);
    }

    // The year as stored: years since 1900, or unset.
    int storedYear = kUnsetYear;
    if (year != kUnsetValue) {
        int full = year;
        if (year == 0)
            full = currentYear;
        else if (year < 100)
            full = (currentYear / 100) * 100 + year;
        storedYear = full - 1900;
        if (storedYear > 4100)
            storedYear = 0;
    }
    const bool yearSet = storedYear != kUnsetYear;
    if (month != kUnsetValue && (month < 1 || month > 12))
        month = 0;
    if (minute != kUnsetValue && minute > 59)
        minute = 0;
    if (second != kUnsetValue && second > 59)
        second = 0;
    if (hour != kUnsetValue && hour > 23)
        hour = 0;
    if (day != kUnsetValue && day > MonthLength(month, storedYear, yearSet))
        day = 0;

    MyDateTime d;
    d.Year = static_cast<std::int16_t>(storedYear);
    d.Month = StorePart(month);
    d.Day = StorePart(day);
    d.Hour = StorePart(hour);
    d.Min = StorePart(minute);
    d.Sec = StorePart(second);
    d.MSec = kUnsetPart;

    if (d.Year == kUnsetYear)
        d.Year = def.Year;
    if (d.Month == kUnsetPart)
        d.Month = def.Month;
    if (d.Day == kUnsetPart)
        d.Day = def.Day;
    if (d.Hour == kUnsetPart)
        d.Hour = def.Hour;
    if (d.Min == kUnsetPart)
        d.Min = def.Min;
    if (d.Sec == kUnsetPart)
        d.Sec = def.Sec;
    if (d.MSec == kUnsetPart)
        d.MSec = def.MSec;
    if (valid)
        *valid = ok;
    return d;
}

MyDateTime ParseDateText(std::string_view text, int kind, const MyDateTime& def, bool* valid) {
    return ParseDateText(text, kind, def, CurrentYear(), valid);
}

namespace {

// The six compared parts, an unset part as 30000.
std::array<int, 6> ComparedParts(const MyDateTime& d) {
    auto part = [](std::uint8_t p) { return p == kUnsetPart ? int{kUnsetYear} : int{p}; };
    return {d.Year, part(d.Month), part(d.Day), part(d.Hour), part(d.Min), part(d.Sec)};
}

} // namespace

bool DateEqual(const MyDateTime& a, const MyDateTime& b) {
    const auto pa = ComparedParts(a);
    const auto pb = ComparedParts(b);
    for (std::size_t i = 0; i < pa.size(); ++i) {
        if (pa[i] != pb[i] && pa[i] != kUnsetYear && pb[i] != kUnsetYear)
            return false;
    }
    return true;
}

bool DateLess(const MyDateTime& a, const MyDateTime& b) {
    const auto pa = ComparedParts(a);
    const auto pb = ComparedParts(b);
    for (std::size_t i = 0; i < pa.size(); ++i) {
        if (pa[i] == kUnsetYear || pb[i] == kUnsetYear)
            continue;
        if (pa[i] != pb[i])
            return pa[i] < pb[i];
    }
    return false;
}

} // namespace zan

#include "calc/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace zan {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view SkipLeadingBlanks(std::string_view text, bool allow) {
    if (allow) {
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
    }
    return text;
}

} // namespace

bool ParseReal(std::string_view text, double& value, bool allowLeadingBlanks) {
    text = SkipLeadingBlanks(text, allowLeadingBlanks);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Check the form before converting: from_chars alone would take "inf", "nan" and a leading prefix.
    // On the way, collect the significant digits and the exponent for the exact fast path below.
    std::size_t i = 0;
    std::size_t digits = 0;
    std::uint64_t mantissa = 0;
    int significant = 0;    // significant digits gathered in mantissa
    int scale = 0;          // power of ten to apply to mantissa
    bool truncated = false; // more than 19 significant digits
    auto take = [&](char c, bool fraction) {
        ++digits;
        if (mantissa == 0 && c == '0') {
            if (fraction)
                --scale;
            return;
        }
        if (significant < 19) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            ++significant;
            if (fraction)
                --scale;
        } else {
            truncated = true;
            if (!fraction)
                ++scale;
        }
    };
    while (i < text.size() && IsDigit(text[i]))
        take(text[i++], false);
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            take(text[i++], true);
    }
    if (digits == 0)
        return false;
    int exponent = 0;
    bool exponentLarge = false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        std::size_t expDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            if (exponent < 100000) {
                exponent = exponent * 10 + (text[i] - '0');
            } else {
                exponentLarge = true;
            }
            ++i, ++expDigits;
        }
        if (expDigits == 0)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != text.size())
        return false;

    // Exact fast path: a mantissa below 2^53 times a power of ten up to 10^22 is one correctly
    // rounded operation on exact operands.
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const int power = scale + exponent;
    if (!truncated && !exponentLarge && mantissa < (std::uint64_t{1} << 53) && power >= -22 && power <= 22) {
        double parsed = static_cast<double>(mantissa);
        parsed = power < 0 ? parsed / kPowers[-power] : parsed * kPowers[power];
        value = negative ? -parsed : parsed;
        return true;
    }

    double parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (end != text.data() + text.size())
        return false;
    if (ec == std::errc::result_out_of_range) {
        // Too small to represent is zero; too large is refused.
        bool allZero = true;
        for (char c : text) {
            if (c == 'E' || c == 'e')
                break;
            if (IsDigit(c) && c != '0')
                allZero = false;
        }
        const std::size_t e = text.find_first_of("Ee");
        if (allZero || (e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-')) {
            parsed = 0;
        } else {
            return false;
        }
    } else if (ec != std::errc()) {
        return false;
    }
    value = negative ? -parsed : parsed;
    return true;
}

bool ParseInt32(std::string_view text, std::int32_t& value, bool allowLeadingBlanks) {
    text = SkipLeadingBlanks(text, allowLeadingBlanks);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    std::int64_t v = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return false;
        v = v * 10 + (c - '0');
        if (v > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

double RoundHalfEven(double v) {
    return std::nearbyint(v);
}

std::int32_t RealToInt32(double v, std::int32_t fault) {
    const double r = std::nearbyint(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        return fault;
    return static_cast<std::int32_t>(r);
}

std::int64_t RealToInt64(double v, std::int64_t fault) {
    const double r = std::nearbyint(v);
    // 2^63 is exactly representable; every double below it converts.
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        return fault;
    return static_cast<std::int64_t>(r);
}

std::int64_t TruncToInt64(double v, std::int64_t fault) {
    const double r = std::trunc(v);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        return fault;
    return static_cast<std::int64_t>(r);
}

std::string FormatReal(double v) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

} // namespace zan

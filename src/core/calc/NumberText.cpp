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
    const char* p = text.data();
    const char* const e = p + text.size();
    if (allowLeadingBlanks) {
        while (p < e && *p == ' ')
            ++p;
    }
    bool negative = false;
    if (p < e && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* const number = p;
    // Check the form before converting (from_chars alone would take "inf", "nan" and a leading
    // prefix), collecting the significant digits and the power of ten for the exact fast path.
    std::uint64_t mantissa = 0;
    int significant = 0;
    int scale = 0;
    bool truncated = false; // more than 19 significant digits
    std::size_t digits = 0;
    auto digit = [](char c) { return static_cast<unsigned>(static_cast<unsigned char>(c)) - '0'; };
    for (; p < e && digit(*p) <= 9; ++p) {
        const unsigned d = digit(*p);
        ++digits;
        if (mantissa == 0 && d == 0)
            continue;
        if (significant < 19) {
            mantissa = mantissa * 10 + d;
            ++significant;
        } else {
            truncated = true;
            ++scale;
        }
    }
    if (p < e && *p == '.') {
        for (++p; p < e && digit(*p) <= 9; ++p) {
            const unsigned d = digit(*p);
            ++digits;
            if (mantissa == 0 && d == 0) {
                --scale;
            } else if (significant < 19) {
                mantissa = mantissa * 10 + d;
                ++significant;
                --scale;
            } else {
                truncated = true;
            }
        }
    }
    if (digits == 0)
        return false;
    int exponent = 0;
    bool exponentLarge = false;
    if (p < e && (*p == 'E' || *p == 'e')) {
        ++p;
        bool negativeExponent = false;
        if (p < e && (*p == '+' || *p == '-')) {
            negativeExponent = *p == '-';
            ++p;
        }
        const char* const exponentDigits = p;
        for (; p < e && digit(*p) <= 9; ++p) {
            if (exponent < 100000)
                exponent = exponent * 10 + static_cast<int>(digit(*p));
            else
                exponentLarge = true;
        }
        if (p == exponentDigits)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (p != e)
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
    const auto [end, ec] = std::from_chars(number, e, parsed);
    if (end != e)
        return false;
    if (ec == std::errc::result_out_of_range) {
        // Too small to represent is zero; too large is refused.
        if (mantissa == 0 || power < 0) {
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

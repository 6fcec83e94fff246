// The one way numbers are read from and written as text, everywhere in the program: dialogs,
// expressions, files and tables. Locale-independent; "." is the only decimal separator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zan {

// Reads a whole text as a real: optional sign, digits, optional "." and digits (at least one digit in
// all), optional exponent ("E" or "e", optional sign, digits). Refuses anything else, including
// "inf", "nan", hexadecimal forms, trailing text ("25 ft") and values out of range. Leading blanks
// are accepted when allowLeadingBlanks is set (right-aligned fields).
bool ParseReal(std::string_view text, double& value, bool allowLeadingBlanks = false);

// Reads a whole text as a 32-bit integer: optional sign and digits only.
bool ParseInt32(std::string_view text, std::int32_t& value, bool allowLeadingBlanks = false);

// The nearest whole number, halves to even.
double RoundHalfEven(double v);

// Real to integer: the nearest integer with halves to even; a NaN or a value outside the target
// type gives `fault`.
std::int32_t RealToInt32(double v, std::int32_t fault = 0);
std::int64_t RealToInt64(double v, std::int64_t fault = 0);

// Truncation toward zero, with the same fault rule.
std::int64_t TruncToInt64(double v, std::int64_t fault = 0);

// The shortest general form with at most 15 significant digits, e.g. "0.1", "2.5", "1e+20".
std::string FormatReal(double v);

} // namespace zan

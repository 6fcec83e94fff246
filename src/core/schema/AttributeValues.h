// Attribute values as elements hold them: doubles by format letter (a category code packs eight
// characters into the double's bytes), string values in the element's string list, and the
// worksheet functions that compute a real attribute from variable values.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "model/NetworkElements.h"
#include "schema/EntityClass.h"

namespace zan {

class TNetwork;

// The first eight characters of the text, padded with blanks, packed into the eight bytes of a value.
double TextToCode(std::string_view text);
// The eight bytes of a value as characters; a byte outside 32..126 reads as a blank.
std::string CodeToText(double value);
// The n-th (1-based) description of a hint text ("desc&&desc&&..."), at most 30 characters; empty when
// there are fewer.
std::string GetHintItem(std::string_view hint, int n);

// A date as text: kind 0 "month/day/year" and ",hour:minute:second" unless the time is 0:0:0;
// kind 1 the time; kind 2 the date. Unset parts are "?".
std::string FormatDateText(double date, int kind);

// An attribute value as the dialogs show it: R in the general form, I rounded to a whole number
// (halves to even), C as its first wcount code characters, D/X/T as date and time texts, S as the
// element's string value at the attribute's place in `strings`.
std::string ShownValueText(const TAttrib& attribute, double value, const TStringList& strings);

// Texts of the string attributes of one element, indexed by attribute number (0..100).
using stringsetarray = std::array<std::string, 101>;

// The element whose string values loadstrings and unloadstrings move: the node when given, else the
// link when given, else the system.
struct TStringHolder {
    TNode* node = nullptr;
    TLinkValues* link = nullptr;
};
void loadstrings(TNetwork& net, TStringHolder holder, stringsetarray& astringset);
void unloadstrings(TNetwork& net, TStringHolder holder, const stringsetarray& astringset);

// Worksheet inputs: p0..pn (the rows' parameters) and x1..xn (the variable values), n = wcount.
struct TWorksheetInputs {
    std::array<double, kWorkRows> p{};
    std::array<double, kWorkRows> x{}; // x[0] unused
    int n = 0;
};

// The value of a real or integer attribute from its worksheet. `result` keeps its value when the
// computation is impossible. Function type 0 evaluates the attribute's expression through
// `evaluate`, which returns false when the expression is rejected.
void ComputeWorksheet(const TAttrib& attribute, const TWorksheetInputs& inputs, double& result,
                      const std::function<bool(const std::string& funct, double& value)>& evaluate = {});

} // namespace zan

#include "schema/AttributeValues.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "calc/DateTime.h"
#include "calc/NumberText.h"
#include "model/Network.h"

namespace zan {

double TextToCode(std::string_view text) {
    char bytes[8];
    for (std::size_t i = 0; i < 8; ++i)
        bytes[i] = i < text.size() ? text[i] : ' ';
    double value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

std::string CodeToText(double value) {
    unsigned char bytes[8];
    std::memcpy(bytes, &value, sizeof bytes);
    std::string text(8, ' ');
    for (std::size_t i = 0; i < 8; ++i) {
        if (bytes[i] >= 32 && bytes[i] <= 126)
            text[i] = static_cast<char>(bytes[i]);
    }
    return text;
}

std::string GetHintItem(std::string_view hint, int n) {
    for (int i = 1; n >= 1; ++i) {
        const std::size_t end = hint.find("&&");
        if (end == std::string_view::npos)
            return {};
        if (i == n)
            return std::string(hint.substr(0, std::min<std::size_t>(end, 30)));
        hint.remove_prefix(end + 2);
    }
    return {};
}

std::string ShownValueText(const TAttrib& attribute, double value, const TStringList& strings) {
    switch (attribute.aformat) {
    case 'I':
        // Adding 0 turns a rounded -0 into 0.
        return FormatReal(std::isfinite(value) ? RoundHalfEven(value) + 0.0 : value);
    case 'C':
        return CodeToText(value).substr(0, static_cast<std::size_t>(std::clamp(attribute.wcount, 0, 8)));
    case 'D':
        return FormatDateText(value, kDateAndTime);
    case 'X':
        return FormatDateText(value, kDateOnly);
    case 'T':
        return FormatDateText(value, kTimeOnly);
    case 'S':
        return attribute.stringloc < strings.size() ? std::string(strings[attribute.stringloc].view())
                                                    : std::string();
    default:
        return FormatReal(value);
    }
}

std::string FormatDateText(double date, int kind) {
    const MyDateTime d = DoubleToDate(date);
    auto part = [](int v, int unset) {
        return v == unset ? std::string("?") : std::to_string(v).substr(0, 4);
    };
    const std::string datePart = part(d.Month, kUnsetPart) + "/" + part(d.Day, kUnsetPart) + "/" +
                                 part(d.Year + 1900, kUnsetYear + 1900);
    const std::string timePart =
        part(d.Hour, kUnsetPart) + ":" + part(d.Min, kUnsetPart) + ":" + part(d.Sec, kUnsetPart);
    switch (kind) {
    case kTimeOnly:
        return timePart;
    case kDateOnly:
        return datePart;
    default:
        // An unset part counts as not 0.
        return (d.Hour != 0 || d.Min != 0 || d.Sec != 0) ? datePart + "," + timePart : datePart;
    }
}

namespace {

struct HolderView {
    const TEntityType* type = nullptr;
    TStringList* strings = nullptr;
};

HolderView ViewOf(TNetwork& net, TStringHolder holder) {
    if (holder.node != nullptr)
        return {&net.NodeDef.TypeOf(holder.node->NType), &holder.node->AttString};
    if (holder.link != nullptr)
        return {&net.LinkDef.TypeOf(holder.link->LType), &holder.link->AttString};
    return {&net.SystemDef.TypeOf(1), &net.SystemStrings};
}

template <class F> void ForEachStringAttribute(const TEntityType& type, F&& f) {
    if (type.numstrings == 0)
        return;
    const int count = std::min(type.atcount, kMaxAttributes);
    for (int i = 1; i <= count; ++i) {
        const TAttrib* a = type.Attribute(i);
        if (a != nullptr && a->IsString())
            f(i, a->stringloc);
    }
}

} // namespace

void loadstrings(TNetwork& net, TStringHolder holder, stringsetarray& astringset) {
    for (std::string& s : astringset)
        s.clear();
    const HolderView h = ViewOf(net, holder);
    ForEachStringAttribute(*h.type, [&](int i, std::uint8_t loc) {
        // A list shorter than the type's string count reads as empty texts.
        if (loc < h.strings->size())
            astringset[static_cast<std::size_t>(i)] = (*h.strings)[loc].str();
    });
}

void unloadstrings(TNetwork& net, TStringHolder holder, const stringsetarray& astringset) {
    const HolderView h = ViewOf(net, holder);
    FitStrings(*h.strings, h.type->numstrings);
    ForEachStringAttribute(*h.type, [&](int i, std::uint8_t loc) {
        if (loc < h.strings->size())
            (*h.strings)[loc] = astringset[static_cast<std::size_t>(i)];
    });
}

void ComputeWorksheet(const TAttrib& attribute, const TWorksheetInputs& in, double& result,
                      const std::function<bool(const std::string&, double&)>& evaluate) {
    const int n = std::clamp(in.n, 0, kWorkRows - 1);
    const auto& p = in.p;
    const auto& x = in.x;
    switch (attribute.wftype) {
    case wfExpression: {
        double value = 0;
        if (evaluate && evaluate(attribute.funct, value))
            result = value;
        return;
    }
    case wfLinear: {
        double s = p[0];
        for (int i = 1; i <= n; ++i)
            s += p[i] * x[i];
        result = s;
        return;
    }
    case wfMultiplic: {
        double s = p[0] > 0 ? std::log(p[0]) : 0;
        for (int i = 1; i <= n; ++i) {
            if (x[i] <= 0)
                return;
            s += p[i] * std::log(x[i]);
        }
        if (!(std::abs(s) < 80))
            return;
        result = std::exp(s);
        return;
    }
    case wfCMultiplic: {
        double s = 0;
        for (int i = 2; i <= n; ++i) {
            if (x[i] <= 0)
                return;
            s += p[i] * std::log(x[i]);
        }
        if (!(std::abs(s) < 80))
            return;
        result = x[1] * (p[0] * std::exp(s) + p[1]);
        return;
    }
    case wfHarmonic: {
        double s = 0;
        for (int i = 1; i <= n; ++i) {
            const double t = x[i] > 0 ? p[i] * std::log(x[i]) : 0;
            if (!(std::abs(t) < 80))
                return;
            s += std::exp(t);
        }
        if (!(s > 0))
            return;
        const double u = p[0] * std::log(s);
        result = std::abs(u) < 80 ? std::exp(u) : 0;
        return;
    }
    case wfLogit: {
        double s = p[0];
        for (int i = 2; i <= n; ++i)
            s += p[i] * x[i];
        if (std::abs(s) < 80) {
            result = p[1] * x[1] / (std::exp(s) + 1);
        } else if (s <= -80) {
            result = p[1] * x[1];
        }
        // s >= 80 (or not a number): the share is about 0 and the value stays as it was.
        return;
    }
    case wfReciprocal: {
        double s = 0;
        for (int i = 1; i <= n; ++i) {
            if (p[i] == 0)
                return;
            s += x[i] / p[i];
        }
        if (s == 0)
            return;
        result = p[0] / s;
        return;
    }
    default:
        return;
    }
}

} // namespace zan

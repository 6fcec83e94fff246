#include "schema/RangeFilter.h"

#include <algorithm>

#include "calc/DateTime.h"
#include "geometry/PolygonGeometry.h"
#include "model/Network.h"
#include "model/WindowSettings.h"
#include "schema/AttributeValues.h"

namespace zan {

namespace {

// Position (1-based) of a code character in a variable's codes, 0 when absent.
int CodePosition(const std::string& subset, char c) {
    const std::size_t at = subset.find(c);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

void PrepareSchema(TEntityClass& schema) {
    for (TEntityType& type : schema.Classs) {
        const int count = std::clamp(type.atcount, 0, kMaxAttributes);
        type.checkrange = type.andor && count == 0;
        for (int i = 1; i <= count; ++i) {
            TAttrib* a = type.Attribute(i);
            if (a == nullptr || !a->rangeset)
                continue;
            type.checkrange = true;
            if (a->aformat != 'C' || !a->WorkSheet)
                continue;
            const std::string bottom = CodeToText(a->brange);
            const std::string top = CodeToText(a->trange);
            const int n = std::clamp(a->wcount, 0, 8);
            for (int v = 1; v <= n; ++v) {
                TWorkDef& row = a->WorkSheet->WorkDef[static_cast<std::size_t>(v)];
                const char b = bottom[static_cast<std::size_t>(v - 1)];
                const char t = top[static_cast<std::size_t>(v - 1)];
                row.IsAEnd = static_cast<std::uint8_t>(b == '?' ? 0 : CodePosition(row.subset, b));
                row.top = static_cast<std::uint8_t>(t == '?' ? 254 : CodePosition(row.subset, t));
            }
        }
    }
}

bool AnyRanges(const TEntityClass& schema) {
    return std::any_of(schema.Classs.begin(), schema.Classs.end(),
                       [](const TEntityType& t) { return t.checkrange; });
}

bool Occurs(std::string_view needle, std::string_view text) {
    return !needle.empty() && text.find(needle) != std::string_view::npos;
}

bool DateInRange(double value, const TAttrib& a) {
    const MyDateTime v = DoubleToDate(value);
    return !DateLess(v, DoubleToDate(a.brange)) && !DateLess(DoubleToDate(a.trange), v);
}

} // namespace

bool CategoryInRange(const TAttrib& a, double value, bool allOf) {
    if (!a.WorkSheet || a.wcount <= 0)
        return allOf;
    bool answer = allOf;
    const std::string code = CodeToText(value);
    const int n = std::min(a.wcount, 8);
    for (int v = 1; v <= n; ++v) {
        const TWorkDef& row = a.WorkSheet->WorkDef[static_cast<std::size_t>(v)];
        if (row.IsAEnd == 0 && row.top == 254)
            continue;
        const int found = CodePosition(row.subset, code[static_cast<std::size_t>(v - 1)]);
        const int at = found == 0 ? 255 : found;
        const bool inside = row.IsAEnd <= at && at <= row.top;
        if (allOf && !inside)
            answer = false;
        if (!allOf && inside)
            answer = true;
    }
    return answer;
}

TRangeFilter::TRangeFilter(TNetwork& net, const TWindowSettings& window) : net_(&net) {
    if (window.PolygonSearchNode != nullptr) {
        polygon_ = window.PolygonSearchNode->MyPolygonList.GetPolygonPoints();
        polygonRect_ = window.PolygonSearchNode->PolygonRectangle;
        polygonForNodes_ = window.PolygonSearchbyNode;
        polygonForLinks_ = window.PolygonSearchbyLink;
        outside_ = window.PolygonSearchOutside;
        bothEnds_ = window.PolygonSearch2Ends;
    }
    PrepareSchema(net.NodeDef);
    PrepareSchema(net.LinkDef);
    NotAnyNodeRanges = !AnyRanges(net.NodeDef) && !polygonForNodes_;
    NotAnyLinkRanges = !AnyRanges(net.LinkDef) && !polygonForLinks_;
}

bool TRangeFilter::PassesValues(const TEntityType& type, const double* values, int valueCount,
                                const TStringList& strings) const {
    const int count = std::clamp(type.atcount, 0, kMaxAttributes);
    auto value = [&](int i) { return (values != nullptr && i <= valueCount) ? values[i - 1] : 0.0; };
    auto text = [&](const TAttrib& a) {
        return a.stringloc < strings.size() ? strings[a.stringloc].view() : std::string_view();
    };
    if (type.andor) {
        bool result = count > 0;
        if (!type.checkrange)
            return result;
        for (int i = 1; i <= count; ++i) {
            const TAttrib* a = type.Attribute(i);
            if (a == nullptr || !a->rangeset)
                continue;
            switch (a->aformat) {
            case 'C':
                result = result && CategoryInRange(*a, value(i), true);
                break;
            case 'D':
            case 'T':
            case 'X':
                if (!DateInRange(value(i), *a))
                    result = false;
                break;
            case 'S':
                if (!(Occurs(a->trangestr, text(*a)) && Occurs(a->brangestr, text(*a))))
                    result = false;
                break;
            default:
                if (!(a->brange <= value(i) && value(i) <= a->trange))
                    result = false;
                break;
            }
        }
        return result;
    }
    if (!type.checkrange)
        return true;
    for (int i = 1; i <= count; ++i) {
        const TAttrib* a = type.Attribute(i);
        if (a == nullptr || !a->rangeset)
            continue;
        bool passes = false;
        switch (a->aformat) {
        case 'C':
            passes = CategoryInRange(*a, value(i), false);
            break;
        case 'D':
        case 'T':
        case 'X':
            passes = DateInRange(value(i), *a);
            break;
        case 'S':
            passes = Occurs(a->trangestr, text(*a)) || Occurs(a->brangestr, text(*a));
            break;
        default:
            passes = a->brange <= value(i) && value(i) <= a->trange;
            break;
        }
        if (passes)
            return true;
    }
    return false;
}

int TRangeFilter::Where(const TNode& node) const {
    return PointInPolygon(node.x_cent, node.y_cent, polygon_, polygonRect_);
}

bool TRangeFilter::PassesNode(const TNode& node) const {
    if (!PassesValues(net_->NodeDef.TypeOf(node.NType), node.NValue.get(), node.ValueCount(),
                      node.AttString)) {
        return false;
    }
    if (!polygonForNodes_)
        return true;
    const int where = Where(node);
    return outside_ ? where == kOutsidePolygon : where != kOutsidePolygon;
}

bool TRangeFilter::PassesLink(const TLinkValues& link) const {
    if (!PassesValues(net_->LinkDef.TypeOf(link.LType), link.LValue.get(), link.ValueCount(),
                      link.AttString)) {
        return false;
    }
    if (!polygonForLinks_)
        return true;
    auto there = [&](const TNode* end) {
        const int where = Where(*end);
        return outside_ ? where == kOutsidePolygon : where != kOutsidePolygon;
    };
    const bool a = there(link.AEnd);
    const bool b = there(link.BEnd);
    return bothEnds_ ? (a && b) : (a || b);
}

} // namespace zan

#include "display/Widths.h"

#include <algorithm>

#include "display/Styles.h"
#include "model/Network.h"

namespace zan {

namespace {

constexpr std::size_t kMaxWidthExpressions = 10;
constexpr std::size_t kSeparatorReach = 50; // a separator must lie within this many characters
constexpr std::size_t kLaterPartLength = 100;
constexpr std::int32_t kMaxUserColorIndex = 16; // the colours a user chooses from
constexpr std::int32_t kMaxPolygonStyle = 40;   // the user's polygon styles 0..40
constexpr std::int32_t kBigSymbol = 20;         // larger symbols make BigNodes / BigLinks

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

// A colour index the colour tables can resolve: below 0 is 0 (not drawn), above 25 black.
std::int32_t CheckedColor(std::int32_t c) {
    return CheckedColorIndex(c);
}

std::int32_t UserColor(std::int32_t c) {
    return CheckedColor(std::min(c, kMaxUserColorIndex));
}

// The entity type of an element: a type code outside 1..10 is type 0.
int TypeIndex(int type) {
    return type >= 1 && type <= kLastEntityType ? type : 0;
}

// Position of the first ":" outside quotes and braces within the reach, or npos.
std::size_t FindSeparator(std::string_view text) {
    bool inQuote = false;
    int braces = 0;
    const std::size_t reach = std::min(text.size(), kSeparatorReach);
    for (std::size_t i = 0; i < reach; ++i) {
        const char c = text[i];
        if (inQuote) {
            if (c == '\'')
                inQuote = false;
        } else if (c == '\'') {
            inQuote = true;
        } else if (c == '{') {
            ++braces;
        } else if (c == '}') {
            if (braces > 0)
                --braces;
        } else if (c == ':' && braces == 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool IsBlank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\t'; });
}

bool UsesLinkExpressions(TWidthStatus s) {
    return s == TWidthStatus::widthh || s == TWidthStatus::colorr || s == TWidthStatus::arrow;
}

bool UsesNodeExpressions(TWidthStatus s) {
    return s == TWidthStatus::widthh || s == TWidthStatus::colorr || s == TWidthStatus::traverse;
}

} // namespace

std::vector<std::string> SplitWidthExpressions(std::string_view text) {
    std::vector<std::string> parts;
    std::string_view rest = text;
    while (!rest.empty() && parts.size() < kMaxWidthExpressions) {
        const std::size_t sep = FindSeparator(rest);
        if (sep == std::string_view::npos) {
            parts.emplace_back(rest);
            break;
        }
        parts.emplace_back(rest.substr(0, sep));
        rest = rest.substr(sep + 1, kLaterPartLength);
    }
    return parts;
}

int IntervalOf(double value, const std::array<double, kWidthIntervals + 1>& bottom,
               const std::array<double, kWidthIntervals + 1>& top) {
    for (int k = 1; k <= kWidthIntervals; ++k) {
        if (bottom[At(k)] <= value && value <= top[At(k)])
            return k;
    }
    return 0;
}

TWidthEvaluator::TWidthEvaluator(const TNetwork& net, const TWindowSettings& window)
    : net_(net), window_(window) {
    const TWidthData& wd = window.wd;
    auto translate = [&](const std::string& text, int type, int context, TTypeExpressions& out) {
        for (const std::string& part : SplitWidthExpressions(text)) {
            const bool blank = IsBlank(part);
            out.parts.push_back(blank ? TExpression() : TExpression::Translate(part, &net, type, context));
            out.blank.push_back(blank);
        }
    };
    // Type 0 has no expressions: its elements are never found in an interval.
    for (int type = 1; type <= kLastEntityType; ++type) {
        if (UsesLinkExpressions(wd.linkwidthstatus))
            translate(wd.linkcriterion[At(type)], type, kContextLink, linkExprs_[At(type)]);
        if (UsesNodeExpressions(wd.nodewidthstatus))
            translate(wd.nodecriterion[At(type)], type, kContextNode, nodeExprs_[At(type)]);
    }
}

int TWidthEvaluator::preshape(const TTypeExpressions& exprs, const TEvalContext& ctx,
                              const std::array<double, kWidthIntervals + 1>& bottom,
                              const std::array<double, kWidthIntervals + 1>& top, TSliceValues& values,
                              std::array<int, 4>& interval) const {
    values.fill(0);
    interval.fill(0);
    const std::size_t n = std::min(exprs.parts.size(), kMaxWidthExpressions);
    for (std::size_t j = 0; j < n; ++j) {
        if (exprs.blank[j])
            continue; // absent
        int errorPos = 0;
        const double v = exprs.parts[j].Evaluate(ctx, errorPos);
        if (errorPos != 0)
            continue; // not found, and no slice
        values[j] = v;
        if (j < 3)
            interval[j + 1] = IntervalOf(v, bottom, top);
    }
    return static_cast<int>(n);
}

TLinkShape TWidthEvaluator::linkshape(const TLinkValues& link) const {
    const TWidthData& wd = window_.wd;
    const int type = TypeIndex(link.LType);
    const TEntityType& et = net_.LinkDef.TypeOf(type);
    TLinkShape r;
    r.code = et.shape;
    r.color = CheckedColor(et.ecolor);
    r.secondwidth = 0;
    const TWidthStatus status = wd.linkwidthstatus;
    if (!UsesLinkExpressions(status))
        return r;
    if (status == TWidthStatus::arrow)
        r.secondwidth = et.shape; // the line width; the code becomes the arrow size

    std::array<int, 4> k{};
    const TTypeExpressions& exprs = linkExprs_[At(type)];
    if (type != 0 && !exprs.parts.empty()) {
        record_.LoadLink(net_, link);
        TEvalContext ctx;
        ctx.network = &net_;
        ctx.window = &window_;
        ctx.link = &link;
        ctx.record = &record_.Record();
        ctx.texts = &record_.Texts();
        ctx.label = link.alabel.view();
        TSliceValues values{};
        preshape(exprs, ctx, wd.linkbottom, wd.linktop, values, k);
    }
    if (k[1] == 0) {
        if (!wd.linknotfoundaction) {
            r.color = 0; // not drawn; its label still is
            return r;
        }
        k[1] = 1;
    }
    auto value = [&](int interval) { return wd.linkactual[At(interval)]; };
    switch (status) {
    case TWidthStatus::widthh:
        r.code = value(k[1]);
        r.secondwidth = k[2] != 0 ? value(k[2]) : 0;
        if (k[3] != 0)
            r.color = CheckedColor(value(k[3]));
        break;
    case TWidthStatus::colorr:
        r.color = UserColor(value(k[1]));
        if (k[2] != 0)
            r.code = value(k[2]);
        break;
    case TWidthStatus::arrow:
        r.code = value(k[1]);
        if (k[2] != 0)
            r.color = UserColor(value(k[2]));
        break;
    default:
        break;
    }
    return r;
}

TNodeShape TWidthEvaluator::EntityNodeShape(const TNode& node) const {
    const int type = TypeIndex(node.NType);
    const TEntityType& et = net_.NodeDef.TypeOf(type);
    TNodeShape r;
    r.size = et.shape;
    r.color = CheckedColor(et.ecolor);
    r.polygonstyle = window_.Display.entitypolygonstyles[At(type)];
    return r;
}

TNodeShape TWidthEvaluator::nodeshape(const TNode& node) const {
    const TWidthData& wd = window_.wd;
    TNodeShape r = EntityNodeShape(node);
    const TWidthStatus status = wd.nodewidthstatus;
    if (!UsesNodeExpressions(status))
        return r;

    const int type = TypeIndex(node.NType);
    std::array<int, 4> k{};
    const TTypeExpressions& exprs = nodeExprs_[At(type)];
    if (type != 0 && !exprs.parts.empty()) {
        record_.LoadNode(net_, node);
        TEvalContext ctx;
        ctx.network = &net_;
        ctx.window = &window_;
        ctx.node = &node;
        ctx.record = &record_.Record();
        ctx.texts = &record_.Texts();
        ctx.label = node.alabel.view();
        preshape(exprs, ctx, wd.nodebottomf, wd.nodetopf, r.slices, k);
    }
    if (k[1] == 0) {
        if (!wd.nodenotfoundaction) {
            r.color = 0; // not drawn; its label still is
            return r;
        }
        k[1] = 1;
    }
    auto value = [&](int interval) { return wd.nodeactual[At(interval)]; };
    switch (status) {
    case TWidthStatus::widthh:
        r.size = value(k[1]);
        if (k[2] != 0)
            r.color = UserColor(value(k[2]));
        break;
    case TWidthStatus::colorr:
        r.color = UserColor(value(k[1]));
        if (k[2] != 0)
            r.size = value(k[2]);
        break;
    case TWidthStatus::traverse:
        r.polygonstyle = std::min(value(k[1]), kMaxPolygonStyle); // a negative style hides the polygon
        if (k[2] != 0)
            r.size = value(k[2]);
        if (k[3] != 0)
            r.color = CheckedColor(value(k[3]));
        break;
    default:
        break;
    }
    return r;
}

TFinalNodeShape TWidthEvaluator::finalnodeshape(const TNode& node) const {
    const TWidthStatus status = window_.wd.nodewidthstatus;
    TFinalNodeShape r;
    if (status == TWidthStatus::nonee || status == TWidthStatus::arrow) {
        const TNodeShape e = EntityNodeShape(node);
        r.code = (status == TWidthStatus::nonee && e.size == 0) ? 1 : e.size;
        r.color = e.color;
        return r;
    }
    const TNodeShape s = nodeshape(node);
    r.code = s.size;
    r.color = s.color;
    r.slices = s.slices;
    return r;
}

void ComputeWorstSizes(const TNetwork& net, TWindowSettings& window, const TBitmapCatalog& bitmaps) {
    const TWidthData& wd = window.wd;
    const bool linkBitmaps = wd.showaend == TAEndDotShape::linkbitmap;

    std::int32_t links = 0;
    const bool linkValues =
        wd.linkwidthstatus == TWidthStatus::widthh || wd.linkwidthstatus == TWidthStatus::colorr;
    if (linkValues && !linkBitmaps) {
        for (int k = 1; k <= kWidthIntervals; ++k)
            links = std::max(links, wd.linkactual[At(k)]);
    } else if (linkValues) {
        for (int k = 1; k <= kWidthIntervals; ++k)
            links = std::max(links, bitmaps.LargerSide(TBitmapFamily::link, wd.linkactual[At(k)]));
    } else {
        for (const TEntityType& et : net.LinkDef.Classs) {
            if (et.shape <= 10)
                continue;
            const int side = bitmaps.LargerSide(TBitmapFamily::link, et.shape - 10);
            links = std::max(links, side > 0 ? side : et.shape);
        }
    }

    std::int32_t nodes = window.NodeExtent;
    const bool nodeValues =
        wd.nodewidthstatus == TWidthStatus::widthh || wd.nodewidthstatus == TWidthStatus::colorr;
    switch (wd.GlobalShape) {
    case TGlobalShape::circle:
    case TGlobalShape::dot:
    case TGlobalShape::piegraph:
        for (const TEntityType& et : net.NodeDef.Classs)
            nodes = std::max(nodes, et.shape);
        if (wd.nodewidthstatus == TWidthStatus::widthh) {
            for (int k = 1; k <= kWidthIntervals; ++k)
                nodes = std::max(nodes, wd.nodeactual[At(k)]);
        }
        break;
    case TGlobalShape::entity:
        if (nodeValues) {
            for (int k = 1; k <= kWidthIntervals; ++k)
                nodes = std::max(nodes, bitmaps.LargerSide(TBitmapFamily::node, wd.nodeactual[At(k)]));
        } else {
            for (const TEntityType& et : net.NodeDef.Classs) {
                if (et.shape > 10)
                    nodes = std::max(nodes, bitmaps.LargerSide(TBitmapFamily::node, et.shape - 10));
            }
        }
        break;
    default:
        break;
    }

    window.LinkWorstSize = links;
    window.NodeWorstSize = nodes;
    window.BigLinks = links > kBigSymbol;
    window.BigNodes = nodes > kBigSymbol;
}

void ClearWidths(const TNetwork& net, TWindowSettings& window, const TBitmapCatalog& bitmaps) {
    TWidthData& wd = window.wd;
    wd.linktop.fill(0);
    wd.linkbottom.fill(0);
    wd.nodetopf.fill(0);
    wd.nodebottomf.fill(0);
    wd.linkactual = DefaultIntervalValues();
    wd.nodeactual = DefaultIntervalValues();
    for (std::string& s : wd.linkcriterion)
        s.clear();
    for (std::string& s : wd.nodecriterion)
        s.clear();
    wd.desirecriterion.clear();
    wd.linkwidthstatus = TWidthStatus::nonee;
    wd.nodewidthstatus = TWidthStatus::nonee;
    wd.linknotfoundaction = true;
    wd.nodenotfoundaction = true;
    wd.alinklegend = TLegendRecord{};
    wd.anodelegend = TLegendRecord{};
    wd.nodelegend.fill(false);
    wd.linklegend.fill(false);
    wd.nodeentitylegend.fill(false);
    wd.linkentitylegend.fill(false);
    ComputeWorstSizes(net, window, bitmaps);
}

} // namespace zan

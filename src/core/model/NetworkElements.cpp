#include "model/NetworkElements.h"

#include <cmath>
#include <numbers>

#include "model/HashTable.h"
#include "model/WindowSettings.h"

namespace zan {

void PointDispose::operator()(TNetworkPoint* point) const {
    if (point == nullptr)
        return;
    if (point->IsShapePoint()) {
        std::default_delete<TShapePoint>{}(point->AsShapePoint());
    } else {
        std::default_delete<TNode>{}(point->AsNode());
    }
}

// ---- polygon vertex lists ----

std::vector<TPoint> TMyPolygonList::GetPolygonPoints() const {
    std::vector<TPoint> points;
    points.reserve(static_cast<std::size_t>(Count()));
    for (const TNetworkPoint* p : *this) {
        if (p->IsDrawnN)
            points.push_back(p->Position());
    }
    return points;
}

std::int32_t TMyPolygonList::NetCount(bool IncludeShape) const {
    std::int32_t n = 0;
    for (const TNetworkPoint* p : *this) {
        if (!p->IsDrawnN)
            continue;
        if (const TShapePoint* sp = p->AsShapePoint()) {
            if (IncludeShape && sp->MyLink != nullptr && sp->MyLink->IsDrawnL)
                ++n;
        } else {
            ++n;
        }
    }
    return n;
}

std::int32_t TMyPolygonList::NetOrder(const TNetworkPoint* npoint) const {
    std::int32_t order = 0;
    for (const TNetworkPoint* p : *this) {
        if (!p->IsDrawnN)
            continue;
        ++order;
        if (p == npoint)
            return order;
    }
    return order;
}

bool TMyPolygonList::IsInList(const TNetworkPoint* MyNode, std::int32_t& insertion) const {
    insertion = 0;
    for (std::int32_t i = 0; i < Count(); ++i) {
        if ((*this)[i] == MyNode) {
            insertion = i;
            return true;
        }
    }
    return false;
}

// ---- half-links ----

double Orientation(std::int32_t ax, std::int32_t ay, std::int32_t bx, std::int32_t by) {
    if (ax == bx)
        return by < ay ? 0.0 : 180.0;
    constexpr double kDegrees = 57.295779513082320877;
    double r = std::atan((static_cast<double>(ay) - by) / (static_cast<double>(bx) - ax)) * kDegrees;
    if (ax > bx)
        r += 180.0;
    r = 360.0 - (r - 90.0);
    if (r >= 360.0)
        r -= 360.0;
    return r;
}

double TLink::ABOrientation() const {
    const TNode& a = *LinkData->AEnd;
    const TNode& b = *LinkData->BEnd;
    return Orientation(a.x_cent, a.y_cent, b.x_cent, b.y_cent);
}

bool TLinkList::FindLink(const TNode* MyNode, TLink*& MyLink) const {
    for (TLink* half : *this) {
        if (half->OppEndNode == MyNode && half->LinkData != nullptr) {
            MyLink = half;
            return true;
        }
    }
    MyLink = nullptr;
    return false;
}

bool TLinkList::FindLinkSerial(std::int32_t MyNodeSerial, TLink*& position) const {
    for (TLink* half : *this) {
        if (half->LinkData != nullptr && half->OppEndNode->snumb == MyNodeSerial) {
            position = half;
            return true;
        }
    }
    return false;
}

bool TLinkList::ValidCount(TNode*& nodeone, TNode*& nodetwo, TLinkValues*& linkdataone,
                           TLinkValues*& linkdatatwo) const {
    int count = 0;
    bool firstLeaves = false;
    bool secondLeaves = false;
    for (const TLink* half : *this) {
        if (!half->LinkData->IsDrawnL)
            continue;
        ++count;
        if (count == 1) {
            nodeone = half->OppEndNode;
            linkdataone = half->LinkData;
            firstLeaves = half->IsAEnd();
        } else if (count == 2) {
            nodetwo = half->OppEndNode;
            linkdatatwo = half->LinkData;
            secondLeaves = half->IsAEnd();
        }
    }
    if (count != 2 || firstLeaves == secondLeaves)
        return false;
    if (firstLeaves) {
        std::swap(nodeone, nodetwo);
        std::swap(linkdataone, linkdatatwo);
    }
    return true;
}

// ---- nodes ----

namespace {

void ResizeValueArray(std::unique_ptr<double[]>& values, std::int16_t& valueSize, std::int32_t n) {
    n = std::clamp(n, 0, 100);
    const std::int32_t old = valueSize / 8;
    if (n == old && (n == 0) == (values == nullptr))
        return;
    std::unique_ptr<double[]> fresh;
    if (n > 0) {
        fresh = std::make_unique<double[]>(static_cast<std::size_t>(n)); // zeroed
        if (values)
            std::copy_n(values.get(), std::min(old, n), fresh.get());
    }
    values = std::move(fresh);
    valueSize = static_cast<std::int16_t>(8 * n);
}

} // namespace

void TNode::ResizeValues(std::int32_t n) {
    ResizeValueArray(NValue, ValueSize, n);
}
void TLinkValues::ResizeValues(std::int32_t n) {
    ResizeValueArray(LValue, ValueSize, n);
}

void FitStrings(TStringList& strings, std::int32_t n) {
    n = std::max(n, 0);
    strings.resize(static_cast<std::uint32_t>(n));
}

void TNode::CopyTemplateSettings(const TNode& tmpl) {
    alabel = tmpl.alabel;
    Suppress = tmpl.Suppress;
    IsFeature = tmpl.IsFeature;
    NType = tmpl.NType;
    Font = tmpl.Font;
    Place = tmpl.Place;
    Layer = tmpl.Layer;
    PolygonStyle = tmpl.PolygonStyle;
    XOffset = tmpl.XOffset;
    YOffset = tmpl.YOffset;
    BitmapOverride = tmpl.BitmapOverride;
    notes = tmpl.notes;
    selectlabel = tmpl.selectlabel;
}

bool TNode::ValidLayer(const TWindowSettings& window) const {
    return window.LayerShown(Layer);
}

void TNode::SetActivePolygon(bool astate) {
    IsActivePolygonOwner = astate;
    for (TNetworkPoint* vertex : MyPolygonList)
        vertex->IsActivePolygonCorner = astate;
}

void TNode::UpdateRectangleOnly() {
    PolygonRectangle = TRect::Empty();
    for (const TNetworkPoint* vertex : MyPolygonList) {
        if (vertex->IsDrawnN)
            PolygonRectangle.Include(vertex->x_cent, vertex->y_cent);
    }
}

void TNode::UpdateRectangle(THashTable& table) {
    UpdateRectangleOnly();
    if (THashEntry* cell = table.Address(x_cent, y_cent))
        cell->updatenoderectangle();
}

std::int32_t DrawnLinkCount(const TNode& node) {
    std::int32_t n = 0;
    for (const TLink* half : node.LinkList) {
        if (half->LinkData->IsDrawnL)
            ++n;
    }
    return n;
}

// ---- link records ----

void TLinkValues::CopyTemplateSettings(const TLinkValues& tmpl) {
    ValueSize = 0;
    LValue.reset();
    LType = tmpl.LType;
    Font = tmpl.Font;
    Place = tmpl.Place;
    BitmapOverride = tmpl.BitmapOverride;
    IsDrawnL = tmpl.IsDrawnL;
    IsFeature = tmpl.IsFeature;
    Mark = tmpl.Mark;
    Suppress = tmpl.Suppress;
    IsNodeDelete = tmpl.IsNodeDelete;
    HasALabel = tmpl.HasALabel;
    selectlabel = tmpl.selectlabel;
    XOffset = tmpl.XOffset;
    YOffset = tmpl.YOffset;
    serial = tmpl.serial;
    alabel = tmpl.alabel;
    notes = tmpl.notes;
}

void TLinkValues::ExtendRectangle(THashTable& table, const TNetworkPoint& point) {
    LinkRect.Include(point.x_cent, point.y_cent);
    // Growing one link's rectangle can only grow the union kept by A's cell; take the grown
    // rectangle into it instead of recomputing the whole cell.
    if (AEnd != nullptr && AEnd->IsDrawnN) {
        if (THashEntry* cell = table.Address(AEnd->x_cent, AEnd->y_cent))
            cell->linkcomprectangle.Include(LinkRect);
    }
}

void TLinkValues::RecomputeRectangleOnly() {
    LinkRect = TRect::At(AEnd->x_cent, AEnd->y_cent);
    LinkRect.Include(BEnd->x_cent, BEnd->y_cent);
    for (const TShapePoint* sp : ShapePoints)
        LinkRect.Include(sp->x_cent, sp->y_cent);
}

void TLinkValues::RecomputeRectangle(THashTable& table) {
    RecomputeRectangleOnly();
    if (THashEntry* cell = table.Address(AEnd->x_cent, AEnd->y_cent))
        cell->updatelinkrectangle();
}

std::vector<TPoint> TLinkValues::Polyline() const {
    std::vector<TPoint> points;
    points.reserve(ShapePoints.size() + 2);
    points.push_back(AEnd->Position());
    for (const TShapePoint* sp : ShapePoints)
        points.push_back(sp->Position());
    points.push_back(BEnd->Position());
    return points;
}

namespace {
double SegmentLength(const TPoint& a, const TPoint& b) {
    return std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
}
} // namespace

double TLinkValues::PathLength(const TShapePoint* item, double NetworkScale) const {
    double length = 0;
    TPoint previous = AEnd->Position();
    bool reached = false;
    for (const TShapePoint* sp : ShapePoints) {
        length += SegmentLength(previous, sp->Position());
        previous = sp->Position();
        if (sp == item) {
            reached = true;
            break;
        }
    }
    if (!reached)
        length += SegmentLength(previous, BEnd->Position());
    return length / NetworkScale;
}

TPoint TLinkValues::MidPoint() const {
    // Measured in plane units: the scale divides both sides of the comparison alike.
    const std::vector<TPoint> points = Polyline();
    auto midpoint = [](const TPoint& a, const TPoint& b) {
        return TPoint{static_cast<std::int32_t>(std::nearbyint((static_cast<double>(a.x) + b.x) / 2)),
                      static_cast<std::int32_t>(std::nearbyint((static_cast<double>(a.y) + b.y) / 2))};
    };
    if (ShapePoints.empty())
        return midpoint(points.front(), points.back());
    double total = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        total += SegmentLength(points[i - 1], points[i]);
    const double half = total / 2;
    double sum = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        sum += SegmentLength(points[i - 1], points[i]);
        if (sum >= half)
            return midpoint(points[i - 1], points[i]);
    }
    // Rounding left the running sum short of half: the last segment holds the middle.
    return midpoint(points[points.size() - 2], points.back());
}

} // namespace zan

#include "editing/LinkOperations.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "calc/NumberText.h"
#include "editing/NodeOperations.h"

namespace zan {

namespace {

constexpr std::int32_t kPlaneLimit = 512000;
constexpr std::size_t kMaxIntersections = 999;

// How far a link's drawing may reach beyond its rectangle: symbols, widths and the node marks at
// its ends.
std::int32_t LinkBuffer(const TWindowSettings& window) {
    return std::max(window.NodeExtent, window.LinkWorstSize) + 2;
}

void RepaintLink(TEditResult& result, const TWindowSettings& window, const TLinkValues& link) {
    result.Repaint(link.LinkRect, LinkBuffer(window));
}

void RepaintNode(TEditResult& result, const TWindowSettings& window, const TNode& node) {
    result.RepaintPoint(node.x_cent, node.y_cent, window.NodeExtent + 2);
}

// Lets the cell of the link's A end record the link's width and height (searches along links use
// them).
void NoteLinkExtent(THashTable& table, const TLinkValues& link) {
    if (link.AEnd == nullptr)
        return;
    if (THashEntry* cell = table.Address(link.AEnd->x_cent, link.AEnd->y_cent)) {
        cell->xdist = std::max(cell->xdist, ClampToInt32(link.LinkRect.Width()));
        cell->ydist = std::max(cell->ydist, ClampToInt32(link.LinkRect.Height()));
    }
}

// Updates the rectangles of the polygons a point is a vertex of and repaints them.
void RefreshPolygonsOf(THashTable& table, const TNetworkPoint& point, TEditResult& result) {
    for (TNode* owner : point.YourPolygonList) {
        const TRect before = owner->PolygonRectangle;
        owner->UpdateRectangle(table);
        result.Repaint(before, 3);
        result.Repaint(owner->PolygonRectangle, 3);
    }
}

bool RecordRefersTo(const TShapePointUndo& record, const TLinkValues* link) {
    return record.TheLink != nullptr && record.TheLink == link;
}
bool RecordRefersTo(const TShapePointUndo& record, const TNode* owner) {
    return record.TheLink != nullptr &&
           std::any_of(record.polygons.begin(), record.polygons.end(),
                       [owner](const auto& entry) { return entry.first == owner; });
}

template <class T> void AddOnce(std::vector<const T*>& list, const T* item) {
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

// Values sized to the type's attribute count, the first ones copied from `values`; strings copied
// and fitted to the type's string count.
void CopyValuesAndStrings(const TNetwork& net, TLinkValues& made, const double* values, std::int32_t count,
                          const TStringList* strings) {
    const std::int32_t n = net.LinkDef.AttributeCount(made.LType);
    made.ValueSize = 0;
    made.LValue.reset();
    made.ResizeValues(n);
    if (values != nullptr && made.LValue)
        std::copy_n(values, std::min(n, std::max(count, 0)), made.LValue.get());
    if (strings != nullptr)
        made.AttString = *strings;
    FitStrings(made.AttString, net.LinkDef.StringCount(made.LType));
}

// A record made to replace others is drawn, comes and goes with its end nodes and carries no mark.
void MakeLive(TLinkValues& made) {
    made.IsDrawnL = true;
    made.IsNodeDelete = true;
    made.Mark = false;
}

// A full copy of a record's own settings, values and strings (not its ends, shape points or rectangle).
void CopyRecord(const TNetwork& net, TLinkValues& to, const TLinkValues& from) {
    to.CopyTemplateSettings(from);
    CopyValuesAndStrings(net, to, from.LValue.get(), from.ValueCount(), &from.AttString);
}

// A new link a -> b from the template without initialisation, then given `source`'s whole record.
TLinkValues* NewLinkCopying(TNetwork& net, TNode& a, TNode& b, const TLinkValues& source) {
    TLink* l1 = nullptr;
    TLink* l2 = nullptr;
    TLinkValues* made = net.Hash.InsertLink(a, b, l1, l2, 0, false);
    CopyRecord(net, *made, source);
    MakeLive(*made);
    made->RecomputeRectangle(net.Hash);
    NoteLinkExtent(net.Hash, *made);
    return made;
}

// Brings a deleted link back: drawn, returning with its nodes again, its shape points drawn and
// their polygons updated. Its deletion records are taken off the undelete stack, since they no
// longer describe a deleted link.
void RestoreLink(TNetwork& net, TWindowSettings& window, TLinkValues& link, TEditResult& result) {
    link.IsDrawnL = true;
    link.IsNodeDelete = true;
    for (TShapePoint* sp : link.ShapePoints) {
        sp->IsDrawnN = true;
        RefreshPolygonsOf(net.Hash, *sp, result);
    }
    std::erase_if(net.DeleteStack,
                  [&](const TDeletedItem& item) { return !item.IsNodeDelete && item.link == &link; });
    link.RecomputeRectangle(net.Hash);
    NoteLinkExtent(net.Hash, link);
    RepaintLink(result, window, link);
}

bool SharesEnd(const TLinkValues& a, const TLinkValues& b) {
    return a.AEnd == b.AEnd || a.AEnd == b.BEnd || a.BEnd == b.AEnd || a.BEnd == b.BEnd;
}

bool Overlaps(const TRect& a, const TRect& b) {
    if (a.IsEmpty() || b.IsEmpty())
        return false;
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

TRect Grown(const TRect& r, std::int32_t by) {
    if (r.IsEmpty())
        return r;
    return TRect{ClampToInt32(std::int64_t{r.left} - by), ClampToInt32(std::int64_t{r.top} - by),
                 ClampToInt32(std::int64_t{r.right} + by), ClampToInt32(std::int64_t{r.bottom} + by)};
}

using Wide = __int128;

// num / den (den > 0) to the nearest integer, halves to even.
Wide DivideHalfEven(Wide num, Wide den) {
    Wide q = num / den;
    Wide r = num % den;
    if (r < 0) {
        q -= 1;
        r += den;
    }
    const Wide twice = 2 * r;
    if (twice > den || (twice == den && (q % 2 != 0)))
        q += 1;
    return q;
}

bool IsNumericFormat(char f) {
    return f == 'I' || f == 'R';
}

// The vertex at index i of a link's polyline (A end, shape points, B end) as a point object.
TNetworkPoint* PolylineVertex(TLinkValues& link, std::uint32_t i) {
    if (i == 0)
        return link.AEnd;
    if (i <= link.ShapePoints.size())
        return link.ShapePoints[i - 1];
    return link.BEnd;
}

std::uint32_t PolylineCount(const TLinkValues& link) {
    return link.ShapePoints.size() + 2;
}

void FreeShapePoint(TNetwork& net, TWindowSettings& window, TShapePoint* sp) {
    ForgetPoint(window, sp);
    net.Hash.UnplacePoint(*sp);
    PointDispose{}(sp);
}

} // namespace

bool IsRetiredLink(const TNetwork&, const TLinkValues& link) {
    return link.Retired;
}

TLinkValues* FindLinkBetween(TNode& a, TNode& b) {
    TLinkValues* hidden = nullptr;
    for (TLink* half : a.LinkList) {
        if (half->OppEndNode != &b || half->LinkData == nullptr || half->LinkData->Retired)
            continue;
        if (half->LinkData->IsDrawnL)
            return half->LinkData;
        if (hidden == nullptr)
            hidden = half->LinkData;
    }
    return hidden;
}

TLinkValues* FindLinkBetween(const TNetwork&, TNode& a, TNode& b) {
    return FindLinkBetween(a, b);
}

TLinkValues* LinkPlot(TNetwork& net, TWindowSettings& window, TNode& first, TNode& second,
                      TLinkPlotOutcome& outcome, TEditResult& result) {
    net.Modified = true;
    result.changed = true;
    outcome = TLinkPlotOutcome::refused;
    if (&first == &second || !first.IsDrawnN || !second.IsDrawnN)
        return nullptr;
    RepaintNode(result, window, first);
    RepaintNode(result, window, second);
    if (TLinkValues* found = FindLinkBetween(net, first, second)) {
        if (found->IsDrawnL) {
            outcome = TLinkPlotOutcome::existed;
            return found;
        }
        RestoreLink(net, window, *found, result);
        LinkDirection(net, window, *found, first, result);
        outcome = TLinkPlotOutcome::restored;
        return found;
    }
    TLink* l1 = nullptr;
    TLink* l2 = nullptr;
    TLinkValues* made =
        net.Hash.InsertLink(first, second, l1, l2, net.LinkDef.AttributeCount(net.InitialLink.LType), true);
    MakeLive(*made);
    RepaintLink(result, window, *made);
    outcome = TLinkPlotOutcome::created;
    return made;
}

void LinkDelete(TNetwork& net, TWindowSettings& window, TNode& firstPicked, TLinkValues& link,
                TEditResult& result) {
    net.Modified = true;
    result.changed = true;
    RepaintLink(result, window, link);
    link.IsDrawnL = false;
    for (TShapePoint* sp : link.ShapePoints) {
        sp->IsDrawnN = false;
        RefreshPolygonsOf(net.Hash, *sp, result);
    }
    link.IsNodeDelete = false;
    net.DeleteStack.push_back(TDeletedItem{&firstPicked, &link, false});
    NoteShapeChange(window, result, link);
    RepaintNode(result, window, *link.AEnd);
    RepaintNode(result, window, *link.BEnd);
}

void LinkDirection(TNetwork& net, TWindowSettings& window, TLinkValues& link, TNode& newA,
                   TEditResult& result) {
    if (link.AEnd == &newA || link.BEnd != &newA)
        return; // already leaving newA, or newA is not an end of the link
    // Shape point indices count from the A end: a record of a removal would put the point back
    // at the wrong end.
    NoteShapeChange(window, result, link);
    net.Modified = true;
    result.changed = true;
    TNode* oldA = link.AEnd;
    // The halves keep their nodes; which one is the A half follows from the record's ends.
    std::swap(link.AEnd, link.BEnd);
    std::reverse(link.ShapePoints.begin(), link.ShapePoints.end());
    // The old A cell no longer holds this link's rectangle; the new A cell takes it.
    if (THashEntry* cell = net.Hash.Address(oldA->x_cent, oldA->y_cent))
        cell->updatelinkrectangle();
    link.RecomputeRectangle(net.Hash);
    NoteLinkExtent(net.Hash, link);
    RepaintLink(result, window, link);
}

void LinkSplitFinish(TNetwork& net, TWindowSettings& window, TLinkValues& deleted, TNode& firstnode,
                     TNode& secondnode, TNode& n, TEditResult& result) {
    if (&n == &firstnode || &n == &secondnode || &firstnode == &secondnode)
        return;
    net.Modified = true;
    result.changed = true;
    const bool forward = deleted.AEnd == &firstnode;
    TLinkValues* one =
        forward ? NewLinkCopying(net, firstnode, n, deleted) : NewLinkCopying(net, n, firstnode, deleted);
    TLinkValues* two =
        forward ? NewLinkCopying(net, n, secondnode, deleted) : NewLinkCopying(net, secondnode, n, deleted);
    deleted.LType = 0;
    deleted.ResizeValues(net.LinkDef.AttributeCount(0));
    FitStrings(deleted.AttString, net.LinkDef.StringCount(0));
    RepaintLink(result, window, *one);
    RepaintLink(result, window, *two);
    RepaintNode(result, window, firstnode);
    RepaintNode(result, window, secondnode);
    RepaintNode(result, window, n);
    result.status = "Link Split";
}

bool LinkSplice(TNetwork& net, TWindowSettings& window, TNode& n, TEditResult& result) {
    TNode* u = nullptr;
    TNode* d = nullptr;
    TLinkValues* up = nullptr;
    TLinkValues* down = nullptr;
    if (!n.IsDrawnN || !n.LinkList.ValidCount(u, d, up, down))
        return false;
    if (u == d || !u->IsDrawnN || !d->IsDrawnN)
        return false;
    if (TLinkValues* existing = FindLinkBetween(*u, *d); existing != nullptr && existing->IsDrawnL)
        return false; // U and D are linked already: N keeps its links
    const int upType = up->LType;
    const int downType = down->LType;
    // Deleting N changes the old links' types (and so their value arrays): keep what the rules need.
    TLinkValues upCopy;
    TLinkValues downCopy;
    CopyRecord(net, upCopy, *up);
    CopyRecord(net, downCopy, *down);

    // Deleting N stops drawing both links, which drops removal records that refer to them.
    DoNodeDelete(net, window, n, true, result);
    TLinkPlotOutcome outcome = TLinkPlotOutcome::refused;
    TLinkValues* made = LinkPlot(net, window, *u, *d, outcome, result);
    if (made != nullptr && outcome == TLinkPlotOutcome::created) {
        ApplySpliceRules(net, window.SpliceRules, *made, upCopy, upType, downCopy, downType);
        RepaintLink(result, window, *made);
    }
    window.LastNode = nullptr;
    window.LastSp = nullptr;
    net.Modified = true;
    result.changed = true;
    return true;
}

void ApplySpliceRules(TNetwork& net, const TSpliceRules& rules, TLinkValues& made, const TLinkValues& up,
                      int upType, const TLinkValues& down, int downType) {
    if (rules.linkfuserule == 1 || rules.linkfuserule == 2) {
        const TLinkValues& source = rules.linkfuserule == 1 ? up : down;
        const int sourceType = rules.linkfuserule == 1 ? upType : downType;
        TStringList strings = made.AttString;
        made.CopyTemplateSettings(source);
        made.LType = static_cast<std::uint8_t>(sourceType);
        CopyValuesAndStrings(net, made, source.LValue.get(), source.ValueCount(), &strings);
        MakeLive(made);
    }
    if (rules.MatchTypes && (upType != downType || upType != made.LType))
        return;
    const TEntityType& madeDef = net.LinkDef.TypeOf(made.LType);
    const TEntityType& upDef = net.LinkDef.TypeOf(upType);
    const TEntityType& downDef = net.LinkDef.TypeOf(downType);
    auto valueOf = [](const TLinkValues& link, int i) {
        return i <= link.ValueCount() ? link.LValue[static_cast<std::size_t>(i - 1)] : 0.0;
    };
    const int count = std::min<int>(made.ValueCount(), static_cast<int>(rules.attributestoadd.size()) - 1);
    for (int i = 1; i <= count; ++i) {
        if (!rules.attributestoadd[static_cast<std::size_t>(i)])
            continue;
        if (i > upDef.atcount || i > downDef.atcount)
            continue;
        const char format = madeDef.Format(i);
        if (!IsNumericFormat(format) || !IsNumericFormat(upDef.Format(i)) ||
            !IsNumericFormat(downDef.Format(i)))
            continue;
        const double sum = valueOf(up, i) + valueOf(down, i);
        made.LValue[static_cast<std::size_t>(i - 1)] = format == 'I' ? RoundHalfEven(sum) : sum;
    }
}

void DeriveAttributesToAdd(TSpliceRules& rules) {
    rules.attributestoadd.fill(false);
    const std::size_t length = std::min<std::size_t>(rules.linkfuseadd.size(), 30);
    for (std::size_t k = 0; k < length; ++k) {
        const char c = rules.linkfuseadd[k];
        int i = 0;
        if (c >= '1' && c <= '9')
            i = c - '0';
        else if (c >= 'a' && c <= 'z')
            i = 10 + (c - 'a');
        else if (c == 'A')
            i = 10;
        if (i > 0)
            rules.attributestoadd[static_cast<std::size_t>(i)] = true;
    }
}

std::optional<std::int32_t> ShapeInsertPosition(TNode* nodeA, TShapePoint* spA, TNode* nodeB,
                                                TShapePoint* spB, TLinkValues*& link) {
    link = nullptr;
    if (spA != nullptr && spB != nullptr) {
        if (spA == spB || spA->MyLink == nullptr || spA->MyLink != spB->MyLink || !spA->MyLink->IsDrawnL)
            return std::nullopt;
        const auto ia = spA->MyLink->ShapePoints.find(spA);
        const auto ib = spA->MyLink->ShapePoints.find(spB);
        if (ia < 0 || ib < 0 || std::llabs(ia - ib) != 1)
            return std::nullopt;
        link = spA->MyLink;
        return static_cast<std::int32_t>(std::max(ia, ib));
    }
    TNode* node = nodeA != nullptr ? nodeA : nodeB;
    TShapePoint* sp = spA != nullptr ? spA : spB;
    if (sp != nullptr && node != nullptr && (nodeA == nullptr) != (nodeB == nullptr)) {
        TLinkValues* l = sp->MyLink;
        if (l == nullptr || !l->IsDrawnL)
            return std::nullopt;
        if (l->AEnd == node) {
            link = l;
            return 0;
        }
        if (l->BEnd == node) {
            link = l;
            return static_cast<std::int32_t>(l->ShapePoints.size());
        }
        return std::nullopt;
    }
    if (nodeA != nullptr && nodeB != nullptr && spA == nullptr && spB == nullptr && nodeA != nodeB) {
        TLinkValues* l = FindLinkBetween(*nodeA, *nodeB);
        if (l == nullptr || !l->IsDrawnL || !l->ShapePoints.empty())
            return std::nullopt;
        link = l;
        return 0;
    }
    return std::nullopt;
}

TShapePoint* ShapePointInsert(TNetwork& net, TWindowSettings& window, TLinkValues& link,
                              std::int32_t position, std::int32_t x, std::int32_t y, TEditResult& result) {
    if (!link.IsDrawnL)
        return nullptr;
    RepaintLink(result, window, link);
    const auto at = std::clamp<std::int64_t>(position, 0, link.ShapePoints.size());
    TShapePoint* sp = net.Hash.InsertShapePoint(x, y, link, static_cast<std::int32_t>(at));
    if (sp == nullptr)
        return nullptr;
    NoteLinkExtent(net.Hash, link);
    RepaintLink(result, window, link);
    NoteShapeChange(window, result, link);
    // An insertion ends the removal that could be undone, whichever link it was in.
    window.shapepointhold = TShapePointUndo{};
    net.Modified = true;
    result.changed = true;
    return sp;
}

bool ShapePointRemove(TNetwork& net, TWindowSettings& window, TShapePoint& s, TEditResult& result) {
    TLinkValues* link = s.MyLink;
    if (link == nullptr || !link->IsDrawnL)
        return false;
    const std::int64_t index = link->ShapePoints.find(&s);
    if (index < 0)
        return false;
    RepaintLink(result, window, *link);
    TShapePointUndo record;
    record.TheLink = link;
    record.ThePosition = static_cast<std::int32_t>(index);
    record.x = s.x_cent;
    record.y = s.y_cent;
    link->ShapePoints.erase(static_cast<std::uint32_t>(index));
    NoteShapeChange(window, result, *link);
    for (TNode* owner : s.YourPolygonList) {
        const std::int32_t at = owner->MyPolygonList.IndexOf(&s);
        if (at < 0)
            continue;
        record.polygons.emplace_back(owner, at);
        result.Repaint(owner->PolygonRectangle, 3);
        owner->MyPolygonList.Delete(at);
        owner->UpdateRectangle(net.Hash);
        NoteShapeChange(window, result, *owner);
    }
    link->RecomputeRectangle(net.Hash);
    // The new record replaces whatever the notes above dropped.
    window.shapepointhold = std::move(record);
    s.MyLink = nullptr;
    FreeShapePoint(net, window, &s);
    net.Modified = true;
    result.changed = true;
    return true;
}

bool UndoShapeRemove(TNetwork& net, TWindowSettings& window, TEditResult& result) {
    TShapePointUndo record = std::move(window.shapepointhold);
    window.shapepointhold = TShapePointUndo{};
    TLinkValues* link = record.TheLink;
    if (link == nullptr || !link->IsDrawnL || link->AEnd == nullptr || link->BEnd == nullptr)
        return false;
    RepaintLink(result, window, *link);
    // The indices are kept within the lists as they are now, whatever happened to them.
    const auto at = std::clamp<std::int64_t>(record.ThePosition, 0, link->ShapePoints.size());
    TShapePoint* sp = net.Hash.InsertShapePoint(record.x, record.y, *link, static_cast<std::int32_t>(at));
    if (sp == nullptr)
        return false;
    NoteShapeChange(window, result, *link);
    for (const auto& [owner, index] : record.polygons) {
        if (owner == nullptr || sp->YourPolygonList.IndexOf(owner) >= 0)
            continue;
        const std::int32_t where = std::clamp(index, 0, owner->MyPolygonList.Count());
        owner->MyPolygonList.Insert(where, sp);
        sp->YourPolygonList.Add(owner);
        owner->UpdateRectangle(net.Hash);
        result.Repaint(owner->PolygonRectangle, 3);
        NoteShapeChange(window, result, *owner);
    }
    NoteLinkExtent(net.Hash, *link);
    RepaintLink(result, window, *link);
    RepaintNode(result, window, *link->AEnd);
    RepaintNode(result, window, *link->BEnd);
    net.Modified = true;
    result.changed = true;
    return true;
}

void NoteShapeChange(TWindowSettings& window, TEditResult& result, const TLinkValues& link) {
    AddOnce(result.reshapedLinks, &link);
    if (RecordRefersTo(window.shapepointhold, &link))
        window.shapepointhold = TShapePointUndo{};
}

void NoteShapeChange(TWindowSettings& window, TEditResult& result, const TNode& polygonOwner) {
    AddOnce(result.reshapedPolygons, &polygonOwner);
    if (RecordRefersTo(window.shapepointhold, &polygonOwner))
        window.shapepointhold = TShapePointUndo{};
}

bool ForgetStaleShapeUndo(TWindowSettings& window, const TEditResult& result) {
    const TShapePointUndo& record = window.shapepointhold;
    const bool stale = std::any_of(result.reshapedLinks.begin(), result.reshapedLinks.end(),
                                   [&](const TLinkValues* link) { return RecordRefersTo(record, link); }) ||
                       std::any_of(result.reshapedPolygons.begin(), result.reshapedPolygons.end(),
                                   [&](const TNode* owner) { return RecordRefersTo(record, owner); });
    if (stale)
        window.shapepointhold = TShapePointUndo{};
    return stale;
}

std::optional<TPoint> SegmentCrossing(TPoint p1, TPoint p2, TPoint q1, TPoint q2) {
    const Wide rx = Wide{p2.x} - p1.x;
    const Wide ry = Wide{p2.y} - p1.y;
    const Wide sx = Wide{q2.x} - q1.x;
    const Wide sy = Wide{q2.y} - q1.y;
    Wide d = rx * sy - ry * sx;
    if (d == 0)
        return std::nullopt; // parallel or collinear
    const Wide qx = Wide{q1.x} - p1.x;
    const Wide qy = Wide{q1.y} - p1.y;
    Wide tn = qx * sy - qy * sx; // t = tn / d along p
    Wide un = qx * ry - qy * rx; // u = un / d along q
    if (d < 0) {
        d = -d;
        tn = -tn;
        un = -un;
    }
    if (tn < 0 || tn > d || un < 0 || un > d)
        return std::nullopt;
    const Wide x = Wide{p1.x} + DivideHalfEven(tn * rx, d);
    const Wide y = Wide{p1.y} + DivideHalfEven(tn * ry, d);
    if (x < -kPlaneLimit || x > kPlaneLimit || y < -kPlaneLimit || y > kPlaneLimit)
        return std::nullopt;
    return TPoint{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

namespace {

struct TCrossingPair {
    TShapePoint* onA;
    TShapePoint* onOther;
};

// Searches one candidate link for crossings with `a`, inserting a shape point into both at each one
// found (or using a shape point already there), until no new crossing is found.
void FindCrossings(TNetwork& net, TLinkValues& a, TLinkValues& other, std::vector<TCrossingPair>& pairs) {
    for (;;) {
        if (pairs.size() >= kMaxIntersections)
            return;
        bool inserted = false;
        const std::uint32_t na = PolylineCount(a);
        const std::uint32_t nl = PolylineCount(other);
        for (std::uint32_t i = 0; i + 1 < na && !inserted; ++i) {
            TNetworkPoint* a1 = PolylineVertex(a, i);
            TNetworkPoint* a2 = PolylineVertex(a, i + 1);
            for (std::uint32_t j = 0; j + 1 < nl && !inserted; ++j) {
                TNetworkPoint* b1 = PolylineVertex(other, j);
                TNetworkPoint* b2 = PolylineVertex(other, j + 1);
                const TPoint pa1 = a1->Position(), pa2 = a2->Position();
                const TPoint pb1 = b1->Position(), pb2 = b2->Position();
                if (pa1 == pb1 || pa1 == pb2 || pa2 == pb1 || pa2 == pb2)
                    continue; // segments meeting at a vertex
                const std::optional<TPoint> x = SegmentCrossing(pa1, pa2, pb1, pb2);
                if (!x)
                    continue;
                // Where the crossing is a vertex of one of the segments (a touch), that vertex is
                // used; a touch at an end node makes no new node.
                auto vertexAt = [&](TNetworkPoint* v1, TNetworkPoint* v2) -> TNetworkPoint* {
                    if (v1->Position() == *x)
                        return v1;
                    if (v2->Position() == *x)
                        return v2;
                    return nullptr;
                };
                TNetworkPoint* va = vertexAt(a1, a2);
                TNetworkPoint* vb = vertexAt(b1, b2);
                if ((va != nullptr && !va->IsShapePoint()) || (vb != nullptr && !vb->IsShapePoint()))
                    continue;
                TShapePoint* sa =
                    va != nullptr ? va->AsShapePoint()
                                  : net.Hash.InsertShapePoint(x->x, x->y, a, static_cast<std::int32_t>(i));
                if (sa == nullptr)
                    continue;
                TShapePoint* sb = vb != nullptr ? vb->AsShapePoint()
                                                : net.Hash.InsertShapePoint(x->x, x->y, other,
                                                                            static_cast<std::int32_t>(j));
                if (sb == nullptr)
                    return;
                pairs.push_back(TCrossingPair{sa, sb});
                inserted = true;
            }
        }
        if (!inserted)
            return;
    }
}

} // namespace

bool LinkIntersectAction(TNetwork& net, TWindowSettings& window, TLinkValues& a, TEditResult& result) {
    net.Modified = true;
    TRect arect = TRect::Empty();
    if (!a.IsDrawnL)
        return false;
    const TRect area = Grown(a.LinkRect, 1);

    std::vector<TLinkValues*> candidates;
    net.Hash.ForEachLink([&](TLinkValues& l) {
        if (&l != &a && l.IsDrawnL && !SharesEnd(l, a) && Overlaps(l.LinkRect, area))
            candidates.push_back(&l);
    });

    std::vector<TCrossingPair> pairs;
    for (TLinkValues* l : candidates) {
        for (TShapePoint* sa : a.ShapePoints) {
            for (TShapePoint* sl : l->ShapePoints) {
                if (pairs.size() < kMaxIntersections && sa->Position() == sl->Position())
                    pairs.push_back(TCrossingPair{sa, sl});
            }
        }
    }
    for (TLinkValues* l : candidates)
        FindCrossings(net, a, *l, pairs);
    // Crossings put shape points into both links of their pair.
    for (const TCrossingPair& pair : pairs) {
        for (const TShapePoint* sp : {pair.onA, pair.onOther}) {
            if (sp->MyLink != nullptr)
                NoteShapeChange(window, result, *sp->MyLink);
        }
    }

    // One node per position: every shape point there (of `a` and of the links it meets) gives way to it.
    struct TGroup {
        TPoint at;
        std::vector<TShapePoint*> points;
    };
    std::vector<TGroup> groups;
    for (const TCrossingPair& pair : pairs) {
        const TPoint at = pair.onA->Position();
        auto g = std::find_if(groups.begin(), groups.end(), [&](const TGroup& x) { return x.at == at; });
        if (g == groups.end()) {
            groups.push_back(TGroup{at, {}});
            g = groups.end() - 1;
        }
        for (TShapePoint* sp : {pair.onA, pair.onOther}) {
            if (std::find(g->points.begin(), g->points.end(), sp) == g->points.end())
                g->points.push_back(sp);
        }
    }

    bool made = false;
    for (const TGroup& group : groups) {
        THashEntry* cell = nullptr;
        TNode* n = net.Hash.InsertNode(group.at.x, group.at.y,
                                       net.NodeDef.AttributeCount(net.InitialNode.NType), true, cell);
        if (n == nullptr)
            break; // the table cannot take another node
        made = true;
        for (TShapePoint* s : group.points) {
            TLinkValues* m = s->MyLink;
            if (m == nullptr || !m->IsDrawnL || m->AEnd == n || m->BEnd == n)
                continue; // a link passing the spot twice keeps its second visit as a shape point
            if (FindLinkBetween(*m->AEnd, *n) != nullptr || FindLinkBetween(*n, *m->BEnd) != nullptr)
                continue;
            const std::int64_t index = m->ShapePoints.find(s);
            if (index < 0)
                continue;
            arect.Include(m->LinkRect);
            NoteShapeChange(window, result, *m);
            // The link is retired: hidden, not on the undelete stack and not coming back with its nodes.
            m->IsDrawnL = false;
            m->IsNodeDelete = false;
            m->Retired = true;
            auto replacement = [&](TNode& from, TNode& to) {
                TLink* l1 = nullptr;
                TLink* l2 = nullptr;
                TLinkValues* r = net.Hash.InsertLink(from, to, l1, l2, 0, false);
                r->LType = m->LType;
                r->alabel = m->alabel;
                CopyValuesAndStrings(net, *r, m->LValue.get(), m->ValueCount(), &m->AttString);
                MakeLive(*r);
                return r;
            };
            TLinkValues* first = replacement(*m->AEnd, *n);
            TLinkValues* second = replacement(*n, *m->BEnd);
            for (std::uint32_t k = 0; k < m->ShapePoints.size(); ++k) {
                TShapePoint* sp = m->ShapePoints[k];
                if (k < index) {
                    first->ShapePoints.push_back(sp);
                    sp->MyLink = first;
                } else if (k > index) {
                    second->ShapePoints.push_back(sp);
                    sp->MyLink = second;
                }
            }
            m->ShapePoints.clear();
            for (TLinkValues* r : {first, second, m}) {
                r->RecomputeRectangle(net.Hash);
                NoteLinkExtent(net.Hash, *r);
            }
            arect.Include(first->LinkRect);
            arect.Include(second->LinkRect);
            // The node takes the shape point's place in its polygons.
            for (TNode* owner : s->YourPolygonList) {
                NoteShapeChange(window, result, *owner);
                const std::int32_t at = owner->MyPolygonList.IndexOf(s);
                std::int32_t already = 0;
                if (at >= 0) {
                    if (owner->MyPolygonList.IsInList(n, already)) {
                        owner->MyPolygonList.Delete(at);
                    } else {
                        owner->MyPolygonList[at] = n;
                        n->YourPolygonList.Add(owner);
                    }
                }
                owner->UpdateRectangle(net.Hash);
                arect.Include(owner->PolygonRectangle);
            }
            s->MyLink = nullptr;
            FreeShapePoint(net, window, s);
        }
    }
    if (!pairs.empty()) {
        result.changed = true;
        if (!made) {
            // Shape points were inserted but no node could be made: the links changed shape.
            for (const TCrossingPair& pair : pairs)
                arect.Include(pair.onOther->x_cent, pair.onOther->y_cent);
        }
    }
    result.Repaint(arect, window.NodeExtent + LinkBuffer(window));
    return made;
}

} // namespace zan

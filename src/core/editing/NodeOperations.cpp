#include "editing/NodeOperations.h"

#include <algorithm>
#include <vector>

#include "editing/LinkOperations.h"
#include "geometry/Viewport.h"

namespace zan {

namespace {

constexpr std::int32_t kPolygonBuffer = 3;

// How far around a node's position its symbol may reach.
std::int32_t NodeBuffer(const TWindowSettings& w) {
    return std::max(w.NodeExtent, w.NodeWorstSize) + 2;
}
// How far around a link's rectangle its symbols and end nodes may reach.
std::int32_t LinkBuffer(const TWindowSettings& w) {
    return std::max(w.NodeExtent, w.LinkWorstSize) + 2;
}

void RepaintNode(TEditResult* result, const TWindowSettings* w, const TNetworkPoint& p) {
    if (result != nullptr && w != nullptr)
        result->RepaintPoint(p.x_cent, p.y_cent, NodeBuffer(*w));
}
void RepaintLink(TEditResult* result, const TWindowSettings* w, const TLinkValues& link) {
    if (result != nullptr && w != nullptr)
        result->Repaint(link.LinkRect, LinkBuffer(*w));
}

// Recomputes an owner's polygon rectangle (and its cell's), repainting where the polygon was and is.
void UpdatePolygon(THashTable& table, TNode& owner, TEditResult* result) {
    if (result != nullptr)
        result->Repaint(owner.PolygonRectangle, kPolygonBuffer);
    owner.UpdateRectangle(table);
    if (result != nullptr)
        result->Repaint(owner.PolygonRectangle, kPolygonBuffer);
}
void UpdatePolygonsOf(THashTable& table, const TNetworkPoint& p, TEditResult* result) {
    for (TNode* owner : p.YourPolygonList)
        UpdatePolygon(table, *owner, result);
}

// The cell of a link's A end keeps the largest link width and height leaving it.
void NoteLinkExtent(THashTable& table, const TLinkValues& link) {
    if (THashEntry* cell = table.Address(link.AEnd->x_cent, link.AEnd->y_cent)) {
        cell->xdist = std::max(cell->xdist, ClampToInt32(link.LinkRect.Width()));
        cell->ydist = std::max(cell->ydist, ClampToInt32(link.LinkRect.Height()));
    }
}

void RefreshLink(THashTable& table, TLinkValues& link) {
    link.RecomputeRectangle(table);
    NoteLinkExtent(table, link);
}

void RemoveOwner(TNetworkPoint& vertex, const TNode& owner) {
    for (std::int32_t i = vertex.YourPolygonList.Count() - 1; i >= 0; --i) {
        if (vertex.YourPolygonList[i] == &owner)
            vertex.YourPolygonList.Delete(i);
    }
}

// In `owner`'s vertex list, `to` takes the place of `from`; when `to` is null or already a vertex,
// `from` is only removed. Further occurrences of `from` are removed as well. The caller updates
// `from`'s owner list.
void ReplaceVertex(TNode& owner, const TNetworkPoint& from, TNetworkPoint* to) {
    TMyPolygonList& list = owner.MyPolygonList;
    std::int32_t where = 0;
    bool place = to != nullptr && to != &owner && !list.IsInList(to, where);
    std::int32_t i = 0;
    while (i < list.Count()) {
        if (list[i] != &from) {
            ++i;
            continue;
        }
        if (place) {
            list[i] = to;
            to->YourPolygonList.Add(&owner);
            place = false;
            ++i;
        } else {
            list.Delete(i);
        }
    }
}

// Whether the cell of (x, y) can take one more node.
bool CellCanTake(const THashTable& table, std::int32_t x, std::int32_t y) {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    if (!table.CellNumbers(x, y, cx, cy))
        return false;
    if (const THashEntry* cell = table.Address(x, y))
        return cell->NodeList.Count() < kCellLimit;
    return table.Count() < kCellLimit;
}

// Deletion shared by DoNodeDelete and DeleteNode: the node and its drawn links are hidden (the
// links come back with the node), the polygons it is a vertex of lose it, and the deletion is
// recorded for undelete. Repaints only when `window` and `result` are given.
void HideNode(TNetwork& net, TNode& node, bool spliceMode, TWindowSettings* window, TEditResult* result) {
    THashTable& table = net.Hash;
    net.Modified = true;
    for (TLink* half : node.LinkList) {
        TLinkValues& link = *half->LinkData;
        if (!link.IsDrawnL)
            continue;
        RepaintLink(result, window, link);
        link.IsDrawnL = false;
        for (TShapePoint* sp : link.ShapePoints) {
            sp->IsDrawnN = false;
            UpdatePolygonsOf(table, *sp, result);
        }
        link.IsNodeDelete = true;
        if (spliceMode)
            link.LType = 0;
        if (window != nullptr && result != nullptr)
            NoteShapeChange(*window, *result, link);
    }
    if (window != nullptr && result != nullptr && node.MyPolygonList.Count() > 1) {
        if (window->PolygonSearchNode == &node) {
            result->repaintAll = true;
            window->PolygonSearchNode = nullptr;
        } else {
            result->Repaint(node.PolygonRectangle, kPolygonBuffer);
        }
    }
    node.IsDrawnN = false;
    RepaintNode(result, window, node);
    // The node stays in the vertex lists; polygons skip deleted vertices.
    UpdatePolygonsOf(table, node, result);
    net.DeleteStack.push_back(TDeletedItem{&node, nullptr, true});
    if (THashEntry* cell = table.Address(node.x_cent, node.y_cent)) {
        cell->updatenoderectangle();
        cell->updatelinkrectangle();
    }
    if (result != nullptr)
        result->changed = true;
}

// Node Merge into a node: M's links move to N (those that would duplicate a link of N, or join M
// and N, stay and go with M), N takes M's place in polygons, M's polygon merges into N's, and M is
// deleted.
bool MergeIntoNode(TNetwork& net, TWindowSettings& window, TNode& m, TNode& n, TEditResult& result) {
    THashTable& table = net.Hash;
    net.Modified = true;

    std::vector<TLinkValues*> moved;
    for (TLink* half : m.LinkList) {
        TNode* other = half->OppEndNode;
        TLinkValues& link = *half->LinkData;
        // A drawn link stays with M (and goes with it) only when a drawn link already joins its
        // other end to N; a deleted one also when N has a deleted link there, so that N never gets
        // two links to one node. Retired links are never brought back and stay where they are.
        const TLinkValues* existing = FindLinkBetween(n, *other);
        const bool joined = existing != nullptr && (existing->IsDrawnL || !link.IsDrawnL);
        if (other == &n || link.Retired || joined)
            continue;
        RepaintLink(&result, &window, link);
        for (TLink* otherHalf : other->LinkList) {
            if (otherHalf->LinkData == &link)
                otherHalf->OppEndNode = &n;
        }
        if (link.AEnd == &m) {
            link.AEnd = &n;
        } else {
            link.BEnd = &n;
        }
        n.LinkList.push_back(half);
        link.Mark = true;
        moved.push_back(&link);
    }
    for (std::uint32_t i = m.LinkList.size(); i-- > 0;) {
        if (std::find(moved.begin(), moved.end(), m.LinkList[i]->LinkData) != moved.end())
            m.LinkList.erase(i);
    }
    for (TLinkValues* link : moved) {
        RefreshLink(table, *link);
        RepaintLink(&result, &window, *link);
    }

    const std::vector<TNode*> owners(m.YourPolygonList.begin(), m.YourPolygonList.end());
    for (TNode* owner : owners) {
        // N does not become a vertex of its own polygon.
        ReplaceVertex(*owner, m, owner == &n ? nullptr : &n);
        UpdatePolygon(table, *owner, &result);
        NoteShapeChange(window, result, *owner);
    }
    m.YourPolygonList.Clear();

    if (!m.MyPolygonList.IsEmpty()) {
        result.Repaint(m.PolygonRectangle, kPolygonBuffer);
        if (MergePolygons(m, n)) {
            // Both vertex lists were rebuilt.
            NoteShapeChange(window, result, m);
            NoteShapeChange(window, result, n);
        } else {
            result.status = "Polygon not merged";
        }
        m.UpdateRectangleOnly();
        UpdatePolygon(table, n, &result);
    }

    DoNodeDelete(net, window, m, false, result);

    for (TLink* half : n.LinkList) {
        if (half->LinkData->IsDrawnL)
            RepaintLink(&result, &window, *half->LinkData);
    }
    RepaintNode(&result, &window, n);
    window.LastNode = nullptr;
    result.changed = true;
    return true;
}

// Node Merge into a shape point: only a node without drawn links and without a polygon; the shape
// point takes its place in polygons.
bool MergeIntoShapePoint(TNetwork& net, TWindowSettings& window, TNode& m, TShapePoint& sp,
                         TEditResult& result) {
    if (DrawnLinkCount(m) != 0 || !m.MyPolygonList.IsEmpty())
        return false;
    const std::vector<TNode*> owners(m.YourPolygonList.begin(), m.YourPolygonList.end());
    for (TNode* owner : owners) {
        ReplaceVertex(*owner, m, &sp);
        UpdatePolygon(net.Hash, *owner, &result);
        NoteShapeChange(window, result, *owner);
    }
    m.YourPolygonList.Clear();
    HideNode(net, m, false, &window, &result);
    window.LastNode = nullptr;
    result.changed = true;
    return true;
}

// A new link's record from the one it replaces: everything but ends, shape points and serial, with
// its own copies of the values and strings sized to the type. The new link is drawn, goes and comes
// back with its end nodes, and is not marked.
void CopyLinkRecord(const TNetwork& net, const TLinkValues& from, TLinkValues& to) {
    to.LType = from.LType;
    to.Font = from.Font;
    to.Place = from.Place;
    to.BitmapOverride = from.BitmapOverride;
    to.IsFeature = from.IsFeature;
    to.Suppress = from.Suppress;
    to.HasALabel = from.HasALabel;
    to.selectlabel = from.selectlabel;
    to.XOffset = from.XOffset;
    to.YOffset = from.YOffset;
    to.alabel = from.alabel;
    to.notes = from.notes;
    to.IsDrawnL = true;
    to.IsNodeDelete = true;
    to.Mark = false;
    const std::int32_t n = net.LinkDef.AttributeCount(to.LType);
    to.ResizeValues(0);
    to.ResizeValues(n);
    if (from.LValue != nullptr && to.LValue != nullptr)
        std::copy_n(from.LValue.get(), std::min(n, from.ValueCount()), to.LValue.get());
    to.AttString = from.AttString;
    FitStrings(to.AttString, net.LinkDef.StringCount(to.LType));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Hit tests and plotting

TNode* HitNode(TNetwork& net, const TWindowSettings& window, std::int32_t x, std::int32_t y) {
    TNode* node = nullptr;
    TShapePoint* sp = nullptr;
    return net.Hash.SearchMe(node, sp, x, y, false, false, window) ? node : nullptr;
}

TNode* HitPoint(TNetwork& net, const TWindowSettings& window, std::int32_t x, std::int32_t y,
                TShapePoint*& sp) {
    TNode* node = nullptr;
    sp = nullptr;
    if (!net.Hash.SearchMe(node, sp, x, y, false, true, window)) {
        sp = nullptr;
        return nullptr;
    }
    return node;
}

bool NodePlotable(TNetwork& net, const TWindowSettings& window, std::int32_t x, std::int32_t y, int layer) {
    if (!window.LayerShown(layer))
        return false;
    TNode* found = nullptr;
    TShapePoint* sp = nullptr;
    // Only the exact point, without the ring search; shape points do not count.
    if (net.Hash.SearchMe(found, sp, x, y, true, false, window))
        return false;
    return CellCanTake(net.Hash, x, y);
}

TNode* NodePlotAction(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y,
                      TEditResult& result) {
    net.Modified = true;
    if (!NodePlotable(net, window, x, y, net.InitialNode.Layer))
        return nullptr;
    THashEntry* cell = nullptr;
    // The template gives type, settings, label, values and strings; the counter gives the serial.
    TNode* node = net.Hash.InsertNode(x, y, 0, true, cell);
    if (node == nullptr)
        return nullptr;
    // Longitude and latitude stay 0 until geographic coordinates are computed for new points.
    if (AdjustExtents(window, x, y))
        result.repaintAll = true;
    RepaintNode(&result, &window, *node);
    result.changed = true;
    // Gives the next plots room when a cell or the table has filled up.
    net.Hash.Rebalance(window);
    return node;
}

// ---------------------------------------------------------------------------------------------
// Deleting

void DoNodeDelete(TNetwork& net, TWindowSettings& window, TNode& node, bool spliceMode, TEditResult& result) {
    HideNode(net, node, spliceMode, &window, &result);
}

void DeleteNode(TNetwork& net, TNode& node) {
    HideNode(net, node, false, nullptr, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Moving and restoring

void MoveNode(TNetwork& net, TWindowSettings& window, TNetworkPoint& point, std::int32_t x, std::int32_t y,
              TEditResult& result) {
    THashTable& table = net.Hash;
    TNode* node = point.AsNode();
    TShapePoint* sp = point.AsShapePoint();
    THashEntry* oldCell = table.Address(point.x_cent, point.y_cent);
    THashEntry* newCell = table.Address(x, y);
    // A position off the grid, or a full cell, leaves the point where it is.
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    if (!table.CellNumbers(x, y, cx, cy))
        return;
    if (node != nullptr && newCell != oldCell && !CellCanTake(table, x, y))
        return;

    RepaintNode(&result, &window, point);
    if (node != nullptr) {
        for (const TLink* half : node->LinkList)
            RepaintLink(&result, &window, *half->LinkData);
    } else if (sp != nullptr && sp->MyLink != nullptr) {
        RepaintLink(&result, &window, *sp->MyLink);
    }

    table.UnplacePoint(point);
    const std::int32_t oldX = point.x_cent;
    const std::int32_t oldY = point.y_cent;
    point.x_cent = x;
    point.y_cent = y;
    point.xreal = x;
    point.yreal = y;
    if (!table.PlacePoint(point)) {
        point.x_cent = oldX;
        point.y_cent = oldY;
        point.xreal = oldX;
        point.yreal = oldY;
        table.PlacePoint(point);
        return;
    }
    net.Modified = true;
    if (AdjustExtents(window, x, y))
        result.repaintAll = true;
    // When window.Geo.UpdateLongLat is set the point's longitude and latitude follow it; that
    // recomputation comes with the geographic coordinates of points.
    RepaintNode(&result, &window, point);

    UpdatePolygonsOf(table, point, &result);
    if (node != nullptr && !node->MyPolygonList.IsEmpty()) {
        // The owner's cell must know of the polygon, or the polygon pass would skip it.
        UpdatePolygon(table, *node, &result);
    }
    if (node != nullptr) {
        for (const TLink* half : node->LinkList) {
            RefreshLink(table, *half->LinkData);
            RepaintLink(&result, &window, *half->LinkData);
        }
    } else if (sp != nullptr && sp->MyLink != nullptr) {
        RefreshLink(table, *sp->MyLink);
        RepaintLink(&result, &window, *sp->MyLink);
    }
    newCell = table.Address(x, y);
    if (oldCell != nullptr && oldCell != newCell) {
        oldCell->updatenoderectangle();
        oldCell->updatelinkrectangle();
    }
    result.changed = true;
}

bool NodeRestore(TNetwork& net, TWindowSettings& window, TNode& node, std::int32_t x, std::int32_t y,
                 TEditResult& result) {
    if (node.IsDrawnN || !NodePlotable(net, window, x, y, node.Layer))
        return false;
    auto item = std::find_if(net.DeleteStack.rbegin(), net.DeleteStack.rend(),
                             [&](const TDeletedItem& d) { return d.IsNodeDelete && d.node == &node; });
    if (item == net.DeleteStack.rend())
        return false;
    THashTable& table = net.Hash;

    MoveNode(net, window, node, x, y, result);
    if (!node.IsAt(x, y))
        return false;
    node.IsDrawnN = true;
    for (TLink* half : node.LinkList) {
        TLinkValues& link = *half->LinkData;
        if (link.IsDrawnL || !link.IsNodeDelete || !half->OppEndNode->IsDrawnN)
            continue;
        link.IsDrawnL = true;
        for (TShapePoint* sp : link.ShapePoints) {
            sp->IsDrawnN = true;
            UpdatePolygonsOf(table, *sp, &result);
        }
        RepaintLink(&result, &window, link);
    }
    if (!node.MyPolygonList.IsEmpty())
        UpdatePolygon(table, node, &result);
    UpdatePolygonsOf(table, node, &result);
    if (THashEntry* cell = table.Address(node.x_cent, node.y_cent)) {
        cell->updatenoderectangle();
        cell->updatelinkrectangle();
    }
    net.DeleteStack.erase(std::next(item).base());
    RepaintNode(&result, &window, node);
    net.Modified = true;
    result.changed = true;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Merging

bool NodeMerge(TNetwork& net, TWindowSettings& window, TNode& m, TNode* targetNode, TShapePoint* targetShape,
               TEditResult& result) {
    if (targetNode != nullptr) {
        if (targetNode == &m)
            return false;
        return MergeIntoNode(net, window, m, *targetNode, result);
    }
    if (targetShape != nullptr)
        return MergeIntoShapePoint(net, window, m, *targetShape, result);
    return false;
}

bool MergePolygons(TNode& giving, TNode& receiving) {
    TMyPolygonList& G = giving.MyPolygonList;
    TMyPolygonList& R = receiving.MyPolygonList;
    if (G.IsEmpty())
        return true;
    std::int32_t where = 0;
    if (&giving == &receiving || G.IsInList(&receiving, where))
        return false;
    // In a vertex's owner list the giving node becomes the receiving one.
    auto takeOver = [&](TNetworkPoint& v) {
        const std::int32_t i = v.YourPolygonList.IndexOf(&giving);
        if (i < 0)
            return;
        if (v.YourPolygonList.IndexOf(&receiving) >= 0) {
            v.YourPolygonList.Delete(i);
        } else {
            v.YourPolygonList[i] = &receiving;
        }
    };
    if (R.IsEmpty()) {
        for (TNetworkPoint* v : G) {
            R.Add(v);
            takeOver(*v);
        }
        G.Clear();
        return true;
    }

    const std::int32_t nr = R.Count();
    const std::int32_t ng = G.Count();
    std::vector<bool> sharedR(static_cast<std::size_t>(nr));
    std::vector<bool> sharedG(static_cast<std::size_t>(ng));
    std::int32_t countR = 0;
    std::int32_t countG = 0;
    for (std::int32_t i = 0; i < nr; ++i) {
        sharedR[static_cast<std::size_t>(i)] =
            R[i]->YourPolygonList.IndexOf(&giving) >= 0 && G.IsInList(R[i], where);
        countR += sharedR[static_cast<std::size_t>(i)] ? 1 : 0;
    }
    for (std::int32_t j = 0; j < ng; ++j) {
        sharedG[static_cast<std::size_t>(j)] = R.IsInList(G[j], where);
        countG += sharedG[static_cast<std::size_t>(j)] ? 1 : 0;
    }
    if (countR < 2 || countR == nr || countG == ng)
        return false;
    // The run's start in a cyclic list: a shared vertex whose predecessor is not shared. One run has
    // exactly one start.
    auto runStart = [](const std::vector<bool>& shared, std::int32_t& start) {
        const auto n = static_cast<std::int32_t>(shared.size());
        std::int32_t starts = 0;
        for (std::int32_t i = 0; i < n; ++i) {
            if (shared[static_cast<std::size_t>(i)] && !shared[static_cast<std::size_t>((i + n - 1) % n)]) {
                ++starts;
                start = i;
            }
        }
        return starts == 1;
    };
    std::int32_t startR = 0;
    std::int32_t startG = 0;
    if (!runStart(sharedR, startR) || !runStart(sharedG, startG))
        return false;
    const std::int32_t endR = (startR + countR - 1) % nr;
    TNetworkPoint* e1 = R[startR];
    TNetworkPoint* e2 = R[endR];

    // Walk G from E1 away from the run; the walk must end at E2.
    std::int32_t j1 = 0;
    G.IsInList(e1, j1);
    auto sharedAt = [&](std::int32_t j) { return sharedG[static_cast<std::size_t>((j % ng + ng) % ng)]; };
    const bool nextShared = sharedAt(j1 + 1);
    const bool previousShared = sharedAt(j1 - 1);
    if (nextShared == previousShared)
        return false; // E1 is not an end of G's run
    const std::int32_t step = nextShared ? -1 : 1;
    std::vector<TNetworkPoint*> walk;
    std::int32_t j = ((j1 + step) % ng + ng) % ng;
    while (!sharedG[static_cast<std::size_t>(j)]) {
        walk.push_back(G[j]);
        j = ((j + step) % ng + ng) % ng;
    }
    if (G[j] != e2)
        return false;

    std::vector<TNetworkPoint*> ring;
    ring.reserve(static_cast<std::size_t>(nr - countR + 2) + walk.size());
    ring.push_back(e1);
    ring.insert(ring.end(), walk.begin(), walk.end());
    ring.push_back(e2);
    for (std::int32_t k = (endR + 1) % nr; k != startR; k = (k + 1) % nr)
        ring.push_back(R[k]);
    if (!sharedR[0]) {
        // The merged list keeps R's first vertex first.
        const auto first = std::find(ring.begin(), ring.end(), R[0]);
        std::rotate(ring.begin(), first, ring.end());
    }
    // The interior of the run leaves R.
    for (std::int32_t k = 1; k + 1 < countR; ++k)
        RemoveOwner(*R[(startR + k) % nr], receiving);
    for (TNetworkPoint* v : walk)
        takeOver(*v);
    std::vector<TNetworkPoint*> kept;
    for (std::int32_t k = 0; k < ng; ++k) {
        if (sharedG[static_cast<std::size_t>(k)])
            kept.push_back(G[k]);
    }
    G.Clear();
    for (TNetworkPoint* v : kept)
        G.Add(v);
    R.Clear();
    for (TNetworkPoint* v : ring)
        R.Add(v);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Conversions between nodes and shape points

bool NodeToShapePoint(TNetwork& net, TWindowSettings& window, TNode& n, TEditResult& result) {
    TNode* u = nullptr;
    TNode* d = nullptr;
    TLinkValues* up = nullptr;
    TLinkValues* down = nullptr;
    if (!n.IsDrawnN || !n.LinkList.ValidCount(u, d, up, down) || u == d)
        return false;
    THashTable& table = net.Hash;
    TLinkPlotOutcome outcome = TLinkPlotOutcome::refused;
    TLinkValues* made = LinkPlot(net, window, *u, *d, outcome, result);
    if (made == nullptr || outcome != TLinkPlotOutcome::created)
        return outcome == TLinkPlotOutcome::restored;

    net.Modified = true;
    RepaintLink(&result, &window, *up);
    RepaintLink(&result, &window, *down);
    // The shape points of both links move into the new one.
    NoteShapeChange(window, result, *up);
    NoteShapeChange(window, result, *down);
    NoteShapeChange(window, result, *made);
    // The upstream bends, then one at N's position, then the downstream bends.
    for (TShapePoint* sp : up->ShapePoints) {
        sp->MyLink = made;
        made->ShapePoints.push_back(sp);
    }
    up->ShapePoints.clear();
    TShapePoint* s = table.InsertShapePoint(n.x_cent, n.y_cent, *made,
                                            static_cast<std::int32_t>(made->ShapePoints.size()));
    // Longitude and latitude of the new shape point stay 0 until geographic coordinates are computed.
    for (TShapePoint* sp : down->ShapePoints) {
        sp->MyLink = made;
        made->ShapePoints.push_back(sp);
    }
    down->ShapePoints.clear();

    if (s != nullptr) {
        const std::vector<TNode*> owners(n.YourPolygonList.begin(), n.YourPolygonList.end());
        for (TNode* owner : owners) {
            ReplaceVertex(*owner, n, s);
            NoteShapeChange(window, result, *owner);
        }
        n.YourPolygonList.Clear();
        UpdatePolygonsOf(table, *s, &result);
    }

    HideNode(net, n, false, &window, &result);
    const int upType = up->LType;
    const int downType = down->LType;
    up->LType = 0;
    down->LType = 0;
    up->RecomputeRectangle(table);
    down->RecomputeRectangle(table);
    ApplySpliceRules(net, window.SpliceRules, *made, *up, upType, *down, downType);
    RefreshLink(table, *made);
    RepaintLink(&result, &window, *made);
    result.changed = true;
    return true;
}

TNode* ShapePointToNode(TNetwork& net, TWindowSettings& window, TShapePoint& s, TEditResult& result) {
    TLinkValues* l = s.MyLink;
    if (l == nullptr || !l->IsDrawnL || !s.IsDrawnN)
        return nullptr;
    const std::int64_t index = l->ShapePoints.find(&s);
    if (index < 0)
        return nullptr;
    // The node must be placeable before anything changes: otherwise the link would be cut for nothing.
    if (!NodePlotable(net, window, s.x_cent, s.y_cent, net.InitialNode.Layer))
        return nullptr;
    TNode* node = NodePlotAction(net, window, s.x_cent, s.y_cent, result);
    if (node == nullptr)
        return nullptr;
    THashTable& table = net.Hash;
    TNode& a = *l->AEnd;
    TNode& b = *l->BEnd;

    // Deleting L drops a removal record that refers to it.
    LinkDelete(net, window, a, *l, result);
    s.IsDrawnN = false;

    TLink* l1 = nullptr;
    TLink* l2 = nullptr;
    TLinkValues* first = table.InsertLink(a, *node, l1, l2, 0, false);
    CopyLinkRecord(net, *l, *first);
    TLinkValues* second = table.InsertLink(*node, b, l1, l2, 0, false);
    CopyLinkRecord(net, *l, *second);

    const auto count = static_cast<std::int64_t>(l->ShapePoints.size());
    for (std::int64_t k = 0; k < count; ++k) {
        if (k == index)
            continue;
        TShapePoint* sp = l->ShapePoints[static_cast<std::uint32_t>(k)];
        TLinkValues* to = k < index ? first : second;
        sp->MyLink = to;
        to->ShapePoints.push_back(sp);
        sp->IsDrawnN = true;
    }
    l->ShapePoints.clear();
    l->LType = 0;
    l->RecomputeRectangle(table);
    for (TLinkValues* made : {first, second}) {
        RefreshLink(table, *made);
        RepaintLink(&result, &window, *made);
        for (const TShapePoint* sp : made->ShapePoints)
            UpdatePolygonsOf(table, *sp, &result);
    }

    const std::vector<TNode*> owners(s.YourPolygonList.begin(), s.YourPolygonList.end());
    for (TNode* owner : owners) {
        NoteShapeChange(window, result, *owner);
        ReplaceVertex(*owner, s, node);
        UpdatePolygon(table, *owner, &result);
    }
    s.YourPolygonList.Clear();

    ForgetPoint(window, &s);
    table.UnplacePoint(s);
    PointDispose{}(&s);

    RepaintNode(&result, &window, a);
    RepaintNode(&result, &window, b);
    RepaintNode(&result, &window, *node);
    result.changed = true;
    return node;
}

void ForgetPoint(TWindowSettings& window, const TNetworkPoint* point) {
    if (point == nullptr)
        return;
    if (window.LastNode != nullptr && static_cast<const TNetworkPoint*>(window.LastNode) == point)
        window.LastNode = nullptr;
    if (window.LastSp != nullptr && static_cast<const TNetworkPoint*>(window.LastSp) == point)
        window.LastSp = nullptr;
    if (window.currentpolygon != nullptr && static_cast<const TNetworkPoint*>(window.currentpolygon) == point)
        window.currentpolygon = nullptr;
    if (window.Dragged == point)
        window.Dragged = nullptr;
}

void ClearTemplates(TNetwork& net) {
    TNode& n = net.InitialNode;
    n.x_cent = n.y_cent = 0;
    n.xreal = n.yreal = 0;
    n.long_ = n.lat = n.elev = 0;
    n.NType = 0;
    n.ResizeValues(0);
    FitStrings(n.AttString, 0);
    n.alabel = TText();
    n.notes = TText();
    n.Suppress = n.IsFeature = false;
    n.Font = n.Place = n.BitmapOverride = n.PolygonStyle = 0;
    n.XOffset = n.YOffset = 0;
    n.selectlabel = {};
    n.Layer = 1;

    TLinkValues& l = net.InitialLink;
    l.LType = 0;
    l.ResizeValues(0);
    FitStrings(l.AttString, 0);
    l.alabel = TText();
    l.notes = TText();
    l.IsDrawnL = true;
    l.IsNodeDelete = true;
    l.IsFeature = l.Suppress = l.Mark = l.Retired = false;
    l.Font = l.Place = l.BitmapOverride = 0;
    l.XOffset = l.YOffset = 0;
    l.selectlabel = {};
}

} // namespace zan

#include "editing/EditModes.h"

#include <algorithm>
#include <array>

#include "calc/NumberText.h"
#include "editing/LinkOperations.h"
#include "editing/NodeOperations.h"
#include "geometry/Viewport.h"

namespace zan {

namespace {

struct TModeEntry {
    std::string_view status;
    std::string_view menu;
    std::string_view hint;
    std::string_view help;
};

// clang-format off
constexpr std::array<TModeEntry, kModeCount> kModes{{
    {"Select Object", "Select &Object", "Select Object",
     "Left-click item.  Click and drag squares or dots to size or move.  Hit the delete key to remove item."},
    {"Node Plot", "Node &Plot", "Node Plot",
     "Left-click new node position (advances node plot cursor).  Right-click to plot node at the new position.  "
     "The Mode box on the Status bar may also be used to position the node plot cursor."},
    {"Link Plot", "Link &Plot", "Link Plot",
     "Left-click each ending node of a desired link to plot the link.  The first end is the A node; the second "
     "end is the B node.  Links may be plotted in a daisy chain fashion with the  node of the last plotted link "
     "becoming the node of the next plotted link."},
    {"Node Open", "Node &Open", "Node Open",
     "Left-click a node displays the Node Designation dialog box."},
    {"Link Open", "Link &Open", "Link Open",
     "Left-click each ending node of the link to displays the Link Designation dialog box.  Links may be opened "
     "in a daisy chain fashion."},
    {"Node Delete", "Node &Delete", "Node Delete", "Left-click a node to delete it."},
    {"Polygon Insert", "Polygon &Insert", "Polygon Insert",
     "Left-click the owner node.  If the owner does not yet have a polygon or any vertex nodes, left click the "
     "vertex nodes in sequence."},
    {"Polygon Delete", "Polygon &Delete", "Polygon Delete",
     "Left-click the owner node, then left click the vertex node to be removed from the polygon chain.  "
     "Continue to remove vertex nodes by left clicking them."},
    {"Link Delete", "Link &Delete", "Link Delete",
     "Left-click each end of the link to deletes it.  Links may be deleted in a daisy chain fashion."},
    {"Node Plot/Open", "Node Plo&t/Open", "Node Plot/Open",
     "Left-click new node position; then right-click to plot node and open it."},
    {"Link Plot/Open", "Link Plo&t/Open", "Link Plot/Open",
     "Left-click each end of new link.  Links can be plotted in a daisy chain fashion."},
    {"Node Move", "Node &Move", "Node Move",
     "Left-click to remove node from old location.  Left-click to set new location.  Right-click to re-plot "
     "node."},
    {"Link Direction", "Link Di&rection", "Link Direction",
     "Left-click new A node, then left-click new B node."},
    {"Node Restore", "", "", ""},
    {"Link Split", "Link &Split", "Link Split",
     "Left-click each end of link; left-click new node position; then right-click to plot the three new "
     "elements."},
    {"Link Plot", "", "", ""},
    {"Link Splice", "Link S&plice", "Link Splice",
     "Left-click node.  The two links attached to the node must have consistent directionality."},
    {"Link Shape Insert", "&Insert Shape Point", "Shape Point Insert",
     "Left-click adjacent nodes/shape points.  Left-click to choose shape point locaiton.  Right-click to plot."},
    {"Link Shape Insert", "", "", ""},
    {"Link Shape Remove", "&Remove Shape Point", "Shape Point Remove", "Left-click shape point to remove."},
    {"Node Reinitialize", "&Nodes", "Node Reinitialize",
     "Set node initialize characteristics.  Left-click node to reinitialize."},
    {"Link Reinitialize", "&Links", "Link Reinitialize",
     "Set link initialize characteristics.  Left-click each ending node to reinitialize."},
    {"Node to Shape Point", "&Node to Shape Point", "Convert Node to a Shape Point",
     "Left-click node to splice two links with consistent directionality; create shape point where node was.."},
    {"Shape Point to Node", "&Shape Point to Node", "Convert Shape Point to a Node",
     "Left-click shape point to split link into two new links; create node where shape point was."},
    {"Node Merge", "Node Merge", "Node Merge",
     "Left-click two nodes to delete one, attach all links to the other."},
    {"Link Intersect", "Link &Intersect", "Link Intersect",
     "Left-click each end of one link to insert nodes at all intersections with other links."},
    {"Polygon Move", "Polygon &Move", "Polygon Move",
     "Click current polygon owner, then click new polygon owner."},
    {"Shape Point Open", "Shape &Open", "Shape Point Open", "Left-click shape point to see its properties."},
}};
// clang-format on

const TModeEntry& Entry(sketchstates mode) {
    const auto i = static_cast<std::int32_t>(mode);
    return kModes[static_cast<std::size_t>(std::clamp(i, 0, kModeCount - 1))];
}

// A rectangle grown by different amounts on each side, in 64 bits and clamped back.
TRect Grow(const TRect& r, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    if (r.IsEmpty())
        return r;
    return TRect{ClampToInt32(r.left - left), ClampToInt32(r.top - top), ClampToInt32(r.right + right),
                 ClampToInt32(r.bottom + bottom)};
}

// How far a node's symbol reaches from its position.
std::int32_t NodeSymbolReach(const TWindowSettings& window) {
    return std::max(window.NodeExtent, window.NodeWorstSize) + 2;
}

// A rectangle of node positions grown by what their symbols and labels may cover.
TRect GrowForNodes(const TRect& r, const TWindowSettings& window) {
    const std::int64_t symbol = NodeSymbolReach(window);
    return Grow(r, std::max<std::int64_t>(symbol, std::int64_t{window.nodelabelxleft} + 20),
                std::max<std::int64_t>(symbol, std::int64_t{window.nodelabelytop} + 20),
                std::max<std::int64_t>(symbol, std::int64_t{window.nodelabelxright} + 20),
                std::max<std::int64_t>(symbol, std::int64_t{window.nodelabelybot} + 20));
}

// A rectangle of link geometry grown by the link symbols and widths and by the link labels.
TRect GrowForLinks(const TRect& r, const TWindowSettings& window) {
    const std::int64_t symbol = std::int64_t{std::max(window.NodeExtent, window.LinkWorstSize)} + 2;
    return Grow(r, std::max<std::int64_t>(symbol, std::int64_t{window.linklabelxleft} + 20),
                std::max<std::int64_t>(symbol, std::int64_t{window.linklabelytop} + 20),
                std::max<std::int64_t>(symbol, std::int64_t{window.linklabelxright} + 20),
                std::max<std::int64_t>(symbol, std::int64_t{window.linklabelybot} + 20));
}

// Everything drawn for a point's links: every link of a node, or a shape point's link.
TRect LinksOf(const TNetworkPoint& point) {
    TRect r = TRect::At(point.x_cent, point.y_cent);
    if (const TNode* n = point.AsNode()) {
        for (const TLink* half : n->LinkList) {
            const TLinkValues* link = half->LinkData;
            if (link == nullptr)
                continue;
            r.Include(link->LinkRect);
            if (link->AEnd != nullptr)
                r.Include(link->AEnd->x_cent, link->AEnd->y_cent);
            if (link->BEnd != nullptr)
                r.Include(link->BEnd->x_cent, link->BEnd->y_cent);
        }
    } else if (const TShapePoint* s = point.AsShapePoint(); s != nullptr && s->MyLink != nullptr) {
        const TLinkValues& link = *s->MyLink;
        r.Include(link.LinkRect);
        for (const TShapePoint* p : link.ShapePoints)
            r.Include(p->x_cent, p->y_cent);
        if (link.AEnd != nullptr)
            r.Include(link.AEnd->x_cent, link.AEnd->y_cent);
        if (link.BEnd != nullptr)
            r.Include(link.BEnd->x_cent, link.BEnd->y_cent);
    }
    return r;
}

std::int32_t Plane(std::int32_t v) {
    return ClampToPlane(v);
}

} // namespace

std::optional<sketchstates> ModeFromInt(std::int64_t value) {
    if (value < 0 || value >= kModeCount)
        return std::nullopt;
    return static_cast<sketchstates>(value);
}

std::string_view ModeStatusText(sketchstates mode) {
    return Entry(mode).status;
}
std::string_view ModeMenuCaption(sketchstates mode) {
    return Entry(mode).menu;
}
std::string_view ModeToolbarHint(sketchstates mode) {
    return Entry(mode).hint;
}
std::string_view ModeHelpLine(sketchstates mode) {
    return Entry(mode).help;
}

bool IsPlotCursorMode(sketchstates mode) {
    switch (mode) {
    case sketchstates::nodeplotmode:
    case sketchstates::nodeplotopen:
    case sketchstates::noderestoremode:
    case sketchstates::nodelinkplot:
    case sketchstates::linkshaperestore:
        return true;
    default:
        return false;
    }
}

std::string CoordinatesText(std::int32_t x, std::int32_t y) {
    return std::to_string(x) + "," + std::to_string(y);
}

// ---- picks ----

TNetworkPoint* TEditSession::Selected() const {
    if (mode_ != sketchstates::noaction)
        return nullptr;
    if (secondnode_ != nullptr)
        return secondnode_;
    return sp_;
}

void TEditSession::Highlight(const TWindowSettings& window, const TNetworkPoint* point,
                             TEditResult& result) const {
    if (point != nullptr)
        result.RepaintPoint(point->x_cent, point->y_cent, NodeSymbolReach(window));
}

void TEditSession::DropShapePicks(TWindowSettings& window, TEditResult& result) {
    // The picked points lose their highlight.
    Highlight(window, window.LastNode, result);
    Highlight(window, window.LastSp, result);
    Highlight(window, FirstSp_, result);
    ClearPairPicks(window);
}

void TEditSession::ClearPairPicks(TWindowSettings& window) {
    window.LastNode = nullptr;
    window.LastSp = nullptr;
    firstnode_ = nullptr;
    secondnode_ = nullptr;
    sp_ = nullptr;
    FirstSp_ = nullptr;
    firstlink_ = nullptr;
    lastisshape_ = false;
    shapeposition_ = 0;
}

void TEditSession::ClearPicks(TWindowSettings& window) {
    ClearPairPicks(window);
    splitLink_ = nullptr;
    splitDepth_ = 0;
    movingNode_ = nullptr;
    movingDepth_ = 0;
}

void TEditSession::KillDaisy(TNetwork& net, TWindowSettings& window, TEditResult& result) {
    if (drag_.point != nullptr) {
        const TEditResult ended = FinishDrag(net, window, drag_.x, drag_.y);
        result.repaint.insert(result.repaint.end(), ended.repaint.begin(), ended.repaint.end());
    }
    Highlight(window, window.LastNode, result);
    Highlight(window, window.LastSp, result);
    Highlight(window, FirstSp_, result);
    if (TNode* owner = window.currentpolygon) {
        result.Repaint(owner->PolygonRectangle, 3);
        Highlight(window, owner, result);
        owner->SetActivePolygon(false);
        window.currentpolygon = nullptr;
    }
    ClearPicks(window);
    window.NextClickIsInZoom = false;
    window.NextClickIsOutZoom = false;
}

// Picks of nodes that are no longer drawn (another view deleted them) are dropped.
void TEditSession::ValidatePicks(TWindowSettings& window) {
    auto drawn = [](TNode*& n) {
        if (n != nullptr && !n->IsDrawnN)
            n = nullptr;
    };
    drawn(window.LastNode);
    drawn(firstnode_);
    drawn(secondnode_);
}

void TEditSession::Forget(TWindowSettings& window, const TNetworkPoint* point) {
    if (point == nullptr)
        return;
    if (drag_.point == point) {
        drag_ = TDrag{};
        window.Dragged = nullptr;
    }
    ForgetPoint(window, point);
    if (window.LastSp == point)
        window.LastSp = nullptr;
    if (window.LastNode == point)
        window.LastNode = nullptr;
    if (window.Dragged == point)
        window.Dragged = nullptr;
    if (sp_ == point)
        sp_ = nullptr;
    if (FirstSp_ == point)
        FirstSp_ = nullptr;
    if (firstnode_ == point)
        firstnode_ = nullptr;
    if (secondnode_ == point)
        secondnode_ = nullptr;
}

void TEditSession::ForgetShapePoints(TWindowSettings& window) {
    if (drag_.point != nullptr && drag_.point->IsShapePoint()) {
        drag_ = TDrag{};
        window.Dragged = nullptr;
    }
    if (window.Dragged != nullptr && window.Dragged->IsShapePoint())
        window.Dragged = nullptr;
    window.LastSp = nullptr;
    sp_ = nullptr;
    FirstSp_ = nullptr;
}

void TEditSession::DropShapePoint(TWindowSettings& window, const TNetworkPoint* point, TClickOutcome& out) {
    Forget(window, point);
    out.freed.push_back(point);
}

// ---- choosing a mode ----

TEditResult TEditSession::ChooseMode(TNetwork& net, TWindowSettings& window, sketchstates mode) {
    TEditResult result;
    KillDaisy(net, window, result);
    mode_ = mode;
    // Choosing a mode ends the picks of this window only; the network is not edited.
    result.status = IsPlotCursorMode(mode) ? CoordinatesText(window.CurPosX, window.CurPosY)
                                           : std::string(ModeStatusText(mode));
    return result;
}

// ---- clicks ----

TClickOutcome TEditSession::Click(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y,
                                  bool rightButton) {
    TClickOutcome out;
    if (window.NextClickIsInZoom || window.NextClickIsOutZoom)
        return out;
    if (drag_.point != nullptr)
        out.result = FinishDrag(net, window, drag_.x, drag_.y);
    ValidatePicks(window);
    const sketchstates before = mode_;

    if (rightButton) {
        switch (mode_) {
        case sketchstates::nodeplotmode:
        case sketchstates::nodeplotopen:
        case sketchstates::nodelinkplot:
            PlotAtCursor(net, window, out);
            return out;
        case sketchstates::noderestoremode:
            RestoreAtCursor(net, window, out);
            return out;
        case sketchstates::linkshaperestore:
            InsertShapeAtCursor(net, window, out);
            return out;
        default:
            break; // as a left click, the mode's actions look at the button where it matters
        }
    }

    const std::int32_t px = Plane(x);
    const std::int32_t py = Plane(y);
    if (mode_ != sketchstates::nodeopenmode && mode_ != sketchstates::nodereinitialize) {
        window.CurPosX = px;
        window.CurPosY = py;
    }
    if (mode_ != sketchstates::noaction && mode_ != sketchstates::nodeopenmode &&
        mode_ != sketchstates::nodereinitialize)
        net.Modified = true;

    switch (mode_) {
    case sketchstates::noaction:
        SelectObject(net, window, px, py, out);
        break;
    case sketchstates::nodeplotmode:
    case sketchstates::nodeplotopen:
    case sketchstates::noderestoremode:
    case sketchstates::nodelinkplot:
    case sketchstates::linkshaperestore:
        out.result.status = CoordinatesText(window.CurPosX, window.CurPosY);
        break;
    case sketchstates::linkplotmode:
    case sketchstates::linkplotopen:
        LinkPlotClick(net, window, out);
        break;
    case sketchstates::nodeopenmode:
    case sketchstates::nodereinitialize: {
        // Opening a node marks the network modified whether or not a node is found.
        net.Modified = true;
        TNode* hit = HitNode(net, window, px, py);
        if (hit == nullptr)
            break;
        if (mode_ == sketchstates::nodeopenmode) {
            out.request = TClickRequest::nodeOpen;
            out.rightClick = rightButton;
            out.node = hit;
        } else if (!rightButton) {
            out.request = TClickRequest::nodeReinitialize;
            out.node = hit;
        }
        break;
    }
    case sketchstates::nodedeletemode:
    case sketchstates::nodemovemode:
    case sketchstates::linkfusemode:
        NodeClick(net, window, out);
        break;
    case sketchstates::polygoninsertmode:
    case sketchstates::polygondeletemode:
    case sketchstates::polygonmove:
        out.request = TClickRequest::polygon;
        out.rightClick = rightButton;
        break;
    case sketchstates::linkopenmode:
    case sketchstates::linkdeletemode:
    case sketchstates::linkreversemode:
    case sketchstates::linksplitmode:
    case sketchstates::linkreinitialize:
    case sketchstates::linkintersect:
        TwoClickLinkPick(net, window, rightButton, out);
        break;
    case sketchstates::linkshapeinsert:
        ShapeInsertClick(net, window, out);
        break;
    case sketchstates::linkshaperemove: {
        TShapePoint* s = nullptr;
        TNode* n = HitPoint(net, window, px, py, s);
        if (n == nullptr && s != nullptr) {
            const TNetworkPoint* gone = s;
            if (ShapePointRemove(net, window, *s, out.result)) {
                out.result.changed = true;
                DropShapePoint(window, gone, out);
            }
        }
        break;
    }
    case sketchstates::nodetoshape: {
        TNode* n = HitNode(net, window, px, py);
        if (n != nullptr && NodeToShapePoint(net, window, *n, out.result)) {
            out.result.changed = true;
            ValidatePicks(window);
        }
        break;
    }
    case sketchstates::shapetonode: {
        TShapePoint* s = nullptr;
        TNode* n = HitPoint(net, window, px, py, s);
        if (n == nullptr && s != nullptr) {
            const TNetworkPoint* gone = s;
            if (ShapePointToNode(net, window, *s, out.result) != nullptr) {
                out.result.changed = true;
                DropShapePoint(window, gone, out);
            }
        }
        break;
    }
    case sketchstates::nodemerge:
        NodeMergeClick(net, window, out);
        break;
    case sketchstates::shapeopen: {
        TShapePoint* s = nullptr;
        TNode* n = HitPoint(net, window, px, py, s);
        if (n == nullptr && s != nullptr) {
            if (rightButton) {
                out.request = TClickRequest::shapeLinkOpen;
                out.link = s->MyLink;
                out.rightClick = true;
            } else {
                out.request = TClickRequest::shapeGeography;
                out.shape = s;
            }
        }
        break;
    }
    }

    if (mode_ != before && IsPlotCursorMode(mode_))
        out.result.status = CoordinatesText(window.CurPosX, window.CurPosY);
    return out;
}

void TEditSession::SelectObject(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y,
                                TClickOutcome& out) {
    TShapePoint* s = nullptr;
    TNode* n = HitPoint(net, window, x, y, s);
    secondnode_ = n;
    sp_ = n == nullptr ? s : nullptr;
    if (const TNetworkPoint* p = Selected())
        out.result.status = CoordinatesText(p->x_cent, p->y_cent);
    // A selection is this window's own and edits nothing; the window repaints the handles.
}

void TEditSession::LinkPlotClick(TNetwork& net, TWindowSettings& window, TClickOutcome& out) {
    TNode* hit = HitNode(net, window, window.CurPosX, window.CurPosY);
    if (hit == nullptr)
        return;
    out.result.changed = true;
    if (window.LastNode == nullptr) {
        window.LastNode = hit;
        Highlight(window, hit, out.result);
        return;
    }
    if (hit == window.LastNode)
        return;
    firstnode_ = window.LastNode;
    window.LastNode = hit;
    secondnode_ = hit;
    Highlight(window, firstnode_, out.result);
    Highlight(window, hit, out.result);
    TLinkPlotOutcome outcome = TLinkPlotOutcome::refused;
    TLinkValues* link = LinkPlot(net, window, *firstnode_, *hit, outcome, out.result);
    firstlink_ = link;
    if (mode_ == sketchstates::linkplotopen && link != nullptr &&
        (outcome == TLinkPlotOutcome::created || outcome == TLinkPlotOutcome::restored)) {
        out.request = TClickRequest::linkOpen;
        out.link = link;
    }
}

void TEditSession::TwoClickLinkPick(TNetwork& net, TWindowSettings& window, bool rightButton,
                                    TClickOutcome& out) {
    TNode* hit = HitNode(net, window, window.CurPosX, window.CurPosY);
    if (window.LastNode == nullptr) {
        if (hit != nullptr) {
            window.LastNode = hit;
            Highlight(window, hit, out.result);
            out.result.changed = true;
        }
        return;
    }
    if (hit == nullptr || hit == window.LastNode)
        return;
    firstnode_ = window.LastNode;
    window.LastNode = hit;
    secondnode_ = hit;
    out.result.changed = true;
    Highlight(window, firstnode_, out.result);
    Highlight(window, hit, out.result);
    TLinkValues* link = FindLinkBetween(*firstnode_, *hit);
    if (link == nullptr || !link->IsDrawnL)
        return;
    firstlink_ = link;
    switch (mode_) {
    case sketchstates::linkopenmode:
        out.request = TClickRequest::linkOpen;
        out.link = link;
        out.rightClick = rightButton;
        break;
    case sketchstates::linkreinitialize:
        if (!rightButton) {
            out.request = TClickRequest::linkReinitialize;
            out.link = link;
        }
        break;
    case sketchstates::linkdeletemode:
        LinkDelete(net, window, *firstnode_, *link, out.result);
        break;
    case sketchstates::linkreversemode:
        LinkDirection(net, window, *link, *firstnode_, out.result);
        break;
    case sketchstates::linksplitmode:
        LinkDelete(net, window, *firstnode_, *link, out.result);
        if (!net.DeleteStack.empty() && net.DeleteStack.back().link == link && !link->IsDrawnL) {
            splitLink_ = link;
            splitDepth_ = net.DeleteStack.size();
            mode_ = sketchstates::nodelinkplot;
        }
        break;
    case sketchstates::linkintersect:
        if (LinkIntersectAction(net, window, *link, out.result)) {
            out.shapePointsFreed = true;
            ForgetShapePoints(window);
        }
        break;
    default:
        break;
    }
}

void TEditSession::NodeClick(TNetwork& net, TWindowSettings& window, TClickOutcome& out) {
    TNode* hit = HitNode(net, window, window.CurPosX, window.CurPosY);
    if (hit == nullptr)
        return;
    switch (mode_) {
    case sketchstates::nodedeletemode:
        secondnode_ = hit;
        DoNodeDelete(net, window, *hit, false, out.result);
        out.result.changed = true;
        break;
    case sketchstates::nodemovemode: {
        const std::int32_t oldX = hit->x_cent;
        const std::int32_t oldY = hit->y_cent;
        secondnode_ = hit;
        DoNodeDelete(net, window, *hit, false, out.result);
        out.result.changed = true;
        if (!net.DeleteStack.empty() && net.DeleteStack.back().node == hit &&
            net.DeleteStack.back().IsNodeDelete) {
            movingNode_ = hit;
            movingDepth_ = net.DeleteStack.size();
            movingX_ = oldX;
            movingY_ = oldY;
            window.CurPosX = oldX;
            window.CurPosY = oldY;
            mode_ = sketchstates::noderestoremode;
        }
        break;
    }
    case sketchstates::linkfusemode:
        if (LinkSplice(net, window, *hit, out.result)) {
            out.result.changed = true;
            KillDaisy(net, window, out.result);
        }
        break;
    default:
        break;
    }
    ValidatePicks(window);
}

void TEditSession::ShapeInsertClick(TNetwork& net, TWindowSettings& window, TClickOutcome& out) {
    TShapePoint* s = nullptr;
    TNode* n = HitPoint(net, window, window.CurPosX, window.CurPosY, s);
    if (n != nullptr)
        s = nullptr;
    if (n == nullptr && s == nullptr)
        return;
    TNode* pickedNode = lastisshape_ ? nullptr : window.LastNode;
    TShapePoint* pickedSp = lastisshape_ ? window.LastSp : nullptr;
    out.result.changed = true;
    if (pickedNode == nullptr && pickedSp == nullptr) {
        // The first point.
        window.LastNode = n;
        window.LastSp = s;
        lastisshape_ = s != nullptr;
        Highlight(window, n != nullptr ? static_cast<TNetworkPoint*>(n) : s, out.result);
        return;
    }
    if ((n != nullptr && n == pickedNode) || (s != nullptr && s == pickedSp))
        return; // the same point again
    TLinkValues* link = nullptr;
    const std::optional<std::int32_t> position = ShapeInsertPosition(pickedNode, pickedSp, n, s, link);
    if (!position || link == nullptr || !link->IsDrawnL) {
        DropShapePicks(window, out.result);
        return;
    }
    // The pair: the first pick in firstnode/FirstSp, the second in secondnode/sp; the highlights show
    // a node and a shape point of the pair (two of a kind show the second).
    firstnode_ = pickedNode;
    FirstSp_ = pickedSp;
    secondnode_ = n;
    sp_ = s;
    if (n != nullptr)
        window.LastNode = n;
    if (s != nullptr)
        window.LastSp = s;
    Highlight(window, n != nullptr ? static_cast<TNetworkPoint*>(n) : s, out.result);
    lastisshape_ = s != nullptr;
    firstlink_ = link;
    shapeposition_ = *position;
    mode_ = sketchstates::linkshaperestore;
}

void TEditSession::NodeMergeClick(TNetwork& net, TWindowSettings& window, TClickOutcome& out) {
    if (window.LastNode == nullptr) {
        TNode* hit = HitNode(net, window, window.CurPosX, window.CurPosY);
        if (hit != nullptr) {
            window.LastNode = hit;
            Highlight(window, hit, out.result);
            out.result.changed = true;
        }
        return;
    }
    TShapePoint* s = nullptr;
    TNode* n = HitPoint(net, window, window.CurPosX, window.CurPosY, s);
    if (n != nullptr)
        s = nullptr;
    if ((n == nullptr && s == nullptr) || n == window.LastNode)
        return;
    TNode* m = window.LastNode;
    if (NodeMerge(net, window, *m, n, s, out.result)) {
        Highlight(window, m, out.result);
        window.LastNode = nullptr;
        out.result.changed = true;
    }
}

// ---- right clicks in the plot-cursor modes ----

bool TEditSession::SplitItemOnTop(const TNetwork& net) const {
    return splitLink_ != nullptr && net.DeleteStack.size() == splitDepth_ &&
           net.DeleteStack.back().link == splitLink_ && !net.DeleteStack.back().IsNodeDelete &&
           !splitLink_->IsDrawnL;
}

bool TEditSession::RestoreItemOnTop(const TNetwork& net) const {
    return movingNode_ != nullptr && net.DeleteStack.size() == movingDepth_ &&
           net.DeleteStack.back().node == movingNode_ && net.DeleteStack.back().IsNodeDelete &&
           !movingNode_->IsDrawnN;
}

void TEditSession::LeaveSplitStep(TWindowSettings& window) {
    if (mode_ == sketchstates::nodelinkplot)
        mode_ = sketchstates::linksplitmode;
    splitLink_ = nullptr;
    splitDepth_ = 0;
    firstnode_ = nullptr;
    secondnode_ = nullptr;
    firstlink_ = nullptr;
    window.LastNode = nullptr;
}

void TEditSession::LeaveRestoreStep() {
    if (mode_ == sketchstates::noderestoremode)
        mode_ = sketchstates::nodemovemode;
    movingNode_ = nullptr;
    movingDepth_ = 0;
    secondnode_ = nullptr;
}

void TEditSession::PlotAtCursor(TNetwork& net, TWindowSettings& window, TClickOutcome& out) {
    if (mode_ == sketchstates::nodelinkplot) {
        // The step acts only on its own deletion, while the split link's ends are still there.
        if (!SplitItemOnTop(net) || firstnode_ == nullptr || secondnode_ == nullptr ||
            !firstnode_->IsDrawnN || !secondnode_->IsDrawnN) {
            Highlight(window, window.LastNode, out.result);
            LeaveSplitStep(window);
            out.result.changed = true;
            out.result.status = std::string(ModeStatusText(mode_));
            return;
        }
    }
    TNode* n = NodePlotAction(net, window, window.CurPosX, window.CurPosY, out.result);
    if (n == nullptr)
        return;
    out.result.changed = true;
    if (mode_ == sketchstates::nodeplotopen) {
        out.request = TClickRequest::nodeOpen;
        out.node = n;
    } else if (mode_ == sketchstates::nodelinkplot) {
        LinkSplitFinish(net, window, *splitLink_, *firstnode_, *secondnode_, *n, out.result);
        Highlight(window, firstnode_, out.result);
        Highlight(window, secondnode_, out.result);
        Highlight(window, n, out.result);
        LeaveSplitStep(window);
        out.result.status = std::string(ModeStatusText(mode_));
    }
}

void TEditSession::RestoreAtCursor(TNetwork& net, TWindowSettings& window, TClickOutcome& out) {
    if (!RestoreItemOnTop(net)) {
        LeaveRestoreStep();
        out.result.changed = true;
        out.result.status = std::string(ModeStatusText(mode_));
        return;
    }
    if (NodeRestore(net, window, *movingNode_, window.CurPosX, window.CurPosY, out.result)) {
        out.result.changed = true;
        LeaveRestoreStep();
        out.result.status = std::string(ModeStatusText(mode_));
    }
}

void TEditSession::InsertShapeAtCursor(TNetwork& net, TWindowSettings& window, TClickOutcome& out) {
    // The picks are checked again: another view may have changed the link since they were made.
    TLinkValues* link = nullptr;
    std::optional<std::int32_t> position;
    if ((firstnode_ != nullptr || FirstSp_ != nullptr) && (secondnode_ != nullptr || sp_ != nullptr))
        position = ShapeInsertPosition(firstnode_, FirstSp_, secondnode_, sp_, link);
    if (position && link != nullptr && link == firstlink_ && link->IsDrawnL) {
        ShapePointInsert(net, window, *link, *position, window.CurPosX, window.CurPosY, out.result);
        out.result.Repaint(GrowForLinks(link->LinkRect, window));
    }
    DropShapePicks(window, out.result);
    mode_ = sketchstates::linkshapeinsert;
    out.result.changed = true;
    out.result.status = std::string(ModeStatusText(mode_));
}

// ---- keys ----

std::optional<TEditResult> TEditSession::Insert(TNetwork& net, TWindowSettings& window) {
    if (mode_ == sketchstates::noderestoremode) {
        TEditResult result;
        net.Modified = true;
        if (!RestoreItemOnTop(net)) {
            LeaveRestoreStep();
            result.changed = true;
            result.status = std::string(ModeStatusText(mode_));
            return result;
        }
        // The test is made at the plot cursor; the node goes back to where it was.
        if (NodePlotable(net, window, window.CurPosX, window.CurPosY, movingNode_->Layer) &&
            NodeRestore(net, window, *movingNode_, movingX_, movingY_, result)) {
            result.changed = true;
            LeaveRestoreStep();
            result.status = std::string(ModeStatusText(mode_));
        }
        return result;
    }
    if (mode_ == sketchstates::nodelinkplot) {
        TEditResult result;
        net.Modified = true;
        if (SplitItemOnTop(net) && splitLink_->AEnd != nullptr && splitLink_->BEnd != nullptr) {
            TLinkPlotOutcome outcome = TLinkPlotOutcome::refused;
            TLinkValues* back = LinkPlot(net, window, *splitLink_->AEnd, *splitLink_->BEnd, outcome, result);
            // The restore takes the link's deletion record off the stack; make sure it is gone.
            if (back == splitLink_ && outcome == TLinkPlotOutcome::restored && !net.DeleteStack.empty() &&
                net.DeleteStack.back().link == splitLink_ && !net.DeleteStack.back().IsNodeDelete)
                net.DeleteStack.pop_back();
        }
        Highlight(window, window.LastNode, result);
        LeaveSplitStep(window);
        result.changed = true;
        result.status = std::string(ModeStatusText(mode_));
        return result;
    }
    return std::nullopt;
}

TClickOutcome TEditSession::Delete(TNetwork& net, TWindowSettings& window) {
    TClickOutcome out;
    if (mode_ != sketchstates::noaction)
        return out;
    if (drag_.point != nullptr)
        out.result = FinishDrag(net, window, drag_.x, drag_.y);
    ValidatePicks(window);
    net.Modified = true;
    if (TNode* n = secondnode_) {
        DoNodeDelete(net, window, *n, false, out.result);
        secondnode_ = nullptr;
        out.result.changed = true;
        ValidatePicks(window);
    } else if (TShapePoint* s = sp_) {
        const TNetworkPoint* gone = s;
        if (ShapePointRemove(net, window, *s, out.result)) {
            out.result.changed = true;
            DropShapePoint(window, gone, out);
        }
        sp_ = nullptr;
    }
    return out;
}

// ---- dragging ----

TEditResult TEditSession::BeginDrag(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y) {
    TEditResult result;
    ValidatePicks(window);
    TNetworkPoint* point = Selected();
    if (point == nullptr || drag_.point != nullptr)
        return result;
    (void)net;
    drag_.point = point;
    drag_.x = Plane(x);
    drag_.y = Plane(y);
    drag_.touched = LinksOf(*point);
    drag_.touched.Include(drag_.x, drag_.y);
    window.Dragged = point;
    // The point and its links leave the picture while they move.
    result.Repaint(point->IsShapePoint() ? GrowForLinks(drag_.touched, window)
                                         : GrowForNodes(GrowForLinks(drag_.touched, window), window));
    result.changed = true;
    result.status = CoordinatesText(drag_.x, drag_.y);
    return result;
}

TEditResult TEditSession::DragTo(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y) {
    TEditResult result;
    if (drag_.point == nullptr)
        return result;
    drag_.x = Plane(x);
    drag_.y = Plane(y);
    if (!drag_.point->IsAt(drag_.x, drag_.y))
        MoveNode(net, window, *drag_.point, drag_.x, drag_.y, result);
    drag_.touched.Include(LinksOf(*drag_.point));
    net.Modified = true;
    result.changed = true;
    result.status = CoordinatesText(drag_.x, drag_.y);
    return result;
}

TEditResult TEditSession::EndDrag(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y) {
    if (drag_.point == nullptr)
        return {};
    return FinishDrag(net, window, Plane(x), Plane(y));
}

TEditResult TEditSession::CancelDrag(TNetwork& net, TWindowSettings& window) {
    if (drag_.point == nullptr)
        return {};
    return FinishDrag(net, window, drag_.x, drag_.y);
}

TEditResult TEditSession::FinishDrag(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y) {
    TEditResult result;
    TNetworkPoint* point = drag_.point;
    if (!point->IsAt(x, y)) {
        MoveNode(net, window, *point, x, y, result);
        net.Modified = true;
    }
    if (TShapePoint* s = point->AsShapePoint(); s != nullptr && s->MyLink != nullptr)
        s->MyLink->RecomputeRectangle(net.Hash);
    drag_.touched.Include(LinksOf(*point));
    const TRect touched = drag_.touched;
    drag_ = TDrag{};
    window.Dragged = nullptr;
    // The node and its label, or the link, come back; everything the drag passed over is redrawn.
    result.Repaint(point->IsShapePoint() ? GrowForLinks(touched, window)
                                         : GrowForNodes(GrowForLinks(touched, window), window));
    result.changed = true;
    result.status = CoordinatesText(point->x_cent, point->y_cent);
    return result;
}

// ---- hover hint ----

std::optional<std::string> TEditSession::GenerateHint(TNetwork& net, const TWindowSettings& window) const {
    TShapePoint* s = nullptr;
    TNode* n = HitPoint(net, window, window.LastMouseX, window.LastMouseY, s);
    const TNetworkPoint* point = nullptr;
    std::string hint;
    if (n != nullptr) {
        point = n;
        hint = n->alabel.str();
    } else if (s != nullptr && s->MyLink != nullptr) {
        point = s;
        const std::int64_t index = s->MyLink->ShapePoints.find(s);
        hint = std::to_string(index + 1) + ": " + s->MyLink->alabel.str();
    } else {
        return std::nullopt;
    }
    if (point->long_ > 0 || point->lat > 0 || point->elev > 0) {
        hint += " [" + FormatReal(point->long_ / 1e7) + ", " + FormatReal(point->lat / 1e7);
        if (point->elev > 0)
            hint += ", " + FormatReal(point->elev / 1e4);
        hint += "]";
    }
    return hint;
}

} // namespace zan

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../model/NetworkFixture.h"
#include "EditingInvariants.h"
#include "editing/LinkOperations.h"
#include "editing/NodeOperations.h"

namespace zan {
namespace {

class NodeOps : public testing::NetworkFixture {
protected:
    // The invariants every operation keeps: no drawn link at a deleted node, shape points belong to
    // their link, link rectangles hold their points, the table finds every point where it is, the
    // two polygon lists mirror each other, and a cell knows of the drawn polygons its nodes own.
    void CheckInvariants() { testing::CheckEditingInvariants(net); }

    std::vector<TPoint> Shape(const TLinkValues& link) {
        std::vector<TPoint> out;
        for (const TShapePoint* sp : link.ShapePoints)
            out.push_back(sp->Position());
        return out;
    }

    TEditResult result;
};

TEST_F(NodeOps, TwoPlotsInARowGetConsecutiveSerialsAndTheTemplateLabel) {
    net.NodeDef.Classs[4].atcount = 2;
    net.InitialNode.NType = 4;
    net.InitialNode.alabel = "Depot";
    net.InitialNode.Layer = 2;
    net.InitialNode.ResizeValues(2);
    net.InitialNode.NValue[0] = 7.5;
    net.InitialNode.NValue[1] = -1;
    TNode* first = NodePlotAction(net, window, 100, 200, result);
    TNode* second = NodePlotAction(net, window, 130, 200, result);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->snumb, first->snumb + 1);
    EXPECT_EQ(net.NumberOfNodes, second->snumb);
    for (TNode* n : {first, second}) {
        EXPECT_EQ(std::string(n->alabel.view()), "Depot");
        EXPECT_EQ(n->NType, 4);
        EXPECT_EQ(n->Layer, 2);
        ASSERT_EQ(n->ValueCount(), 2);
        EXPECT_EQ(n->NValue[0], 7.5);
        EXPECT_EQ(n->NValue[1], -1);
    }
    EXPECT_TRUE(first->IsAt(100, 200));
    EXPECT_TRUE(net.Modified);
    EXPECT_FALSE(result.repaint.empty());
    EXPECT_GE(window.XMax, 130);
    // The same point again is refused and uses no serial.
    EXPECT_EQ(NodePlotAction(net, window, 130, 200, result), nullptr);
    EXPECT_EQ(net.NumberOfNodes, second->snumb);
    CheckInvariants();
}

TEST_F(NodeOps, ANodeCanBePlottedWhereADeletedNodeLies) {
    TNode* old = Node(50, 50);
    DoNodeDelete(net, window, *old, false, result);
    EXPECT_FALSE(old->IsDrawnN);
    EXPECT_TRUE(NodePlotable(net, window, 50, 50, 1));
    TNode* fresh = NodePlotAction(net, window, 50, 50, result);
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old);
    EXPECT_EQ(HitNode(net, window, 50, 50), fresh);
    CheckInvariants();
}

TEST_F(NodeOps, ALayerShownFromZoomTenIsNeitherPlotableNorHitBelowIt) {
    window.selectedlayers[3] = 10;
    net.InitialNode.Layer = 3;
    TNode* existing = Node(0, 0);
    existing->Layer = 3;
    struct Case {
        std::int32_t zoom;
        bool shown;
    };
    for (const Case c : {Case{9, false}, Case{10, true}, Case{11, true}}) {
        window.ZoomState = c.zoom;
        EXPECT_EQ(NodePlotable(net, window, 500, 0, 3), c.shown) << c.zoom;
        EXPECT_EQ(HitNode(net, window, 1, 1) == existing, c.shown) << c.zoom;
        TShapePoint* sp = nullptr;
        EXPECT_EQ(HitPoint(net, window, 0, 0, sp) == existing, c.shown) << c.zoom;
    }
    window.ZoomState = 9;
    const std::int32_t before = net.NumberOfNodes;
    EXPECT_EQ(NodePlotAction(net, window, 500, 0, result), nullptr);
    EXPECT_EQ(net.NumberOfNodes, before);
    window.ZoomState = 10;
    EXPECT_NE(NodePlotAction(net, window, 500, 0, result), nullptr);
    // Once the layer is shown, the node there blocks a plot on its point.
    EXPECT_FALSE(NodePlotable(net, window, 0, 0, 3));
}

TEST_F(NodeOps, HitPointFindsShapePointsOfDrawnLinksOnly) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TLinkValues* link = Link(a, b, {{50, 20}});
    TShapePoint* sp = nullptr;
    EXPECT_EQ(HitPoint(net, window, 51, 21, sp), nullptr);
    EXPECT_EQ(sp, link->ShapePoints[0]);
    EXPECT_EQ(HitNode(net, window, 51, 21), nullptr);
    link->IsDrawnL = false;
    link->ShapePoints[0]->IsDrawnN = false;
    EXPECT_EQ(HitPoint(net, window, 51, 21, sp), nullptr);
    EXPECT_EQ(sp, nullptr);
}

TEST_F(NodeOps, DeleteHidesTheLinksWhichComeBackWithNodeRestoreAtTheNewPlace) {
    TNode* n = Node(100, 100);
    TNode* a = Node(0, 100);
    TNode* b = Node(200, 100);
    TNode* owner = Node(1000, 1000);
    TLinkValues* in = Link(a, n, {{50, 80}});
    TLinkValues* out = Link(n, b);
    TLinkValues* alone = Link(a, b);
    LinkDelete(net, window, *a, *alone, result); // deleted on its own: stays deleted
    Polygon(owner, {a, n, in->ShapePoints[0]});

    DoNodeDelete(net, window, *n, false, result);
    EXPECT_FALSE(n->IsDrawnN);
    for (TLinkValues* l : {in, out}) {
        EXPECT_FALSE(l->IsDrawnL);
        EXPECT_TRUE(l->IsNodeDelete);
    }
    EXPECT_FALSE(in->ShapePoints[0]->IsDrawnN);
    // The polygon shrinks to its drawn vertex a.
    EXPECT_EQ(owner->PolygonRectangle, TRect::At(0, 100));
    ASSERT_EQ(net.DeleteStack.size(), 2u);
    EXPECT_EQ(net.DeleteStack.back().node, n);
    EXPECT_TRUE(net.DeleteStack.back().IsNodeDelete);
    EXPECT_FALSE(result.repaint.empty());
    CheckInvariants();

    // Occupied point and hidden layer are refused without change.
    TEditResult refused;
    EXPECT_FALSE(NodeRestore(net, window, *n, 0, 100, refused));
    window.selectedlayers[1] = 0;
    EXPECT_FALSE(NodeRestore(net, window, *n, 120, 140, refused));
    window.selectedlayers[1] = 1;
    EXPECT_FALSE(refused.changed);
    EXPECT_TRUE(n->IsAt(100, 100));

    ASSERT_TRUE(NodeRestore(net, window, *n, 120, 140, result));
    EXPECT_TRUE(n->IsDrawnN);
    EXPECT_TRUE(n->IsAt(120, 140));
    EXPECT_EQ(n->xreal, 120);
    EXPECT_TRUE(in->IsDrawnL);
    EXPECT_TRUE(out->IsDrawnL);
    EXPECT_FALSE(alone->IsDrawnL);
    EXPECT_TRUE(in->ShapePoints[0]->IsDrawnN);
    EXPECT_TRUE(out->LinkRect.Contains(120, 140));
    EXPECT_EQ(owner->PolygonRectangle, (TRect{0, 80, 120, 140}));
    ASSERT_EQ(net.DeleteStack.size(), 1u);
    EXPECT_EQ(net.DeleteStack.back().link, alone);
    EXPECT_EQ(HitNode(net, window, 120, 140), n);
    // A node that is drawn is not restored again.
    EXPECT_FALSE(NodeRestore(net, window, *n, 300, 300, result));
    CheckInvariants();
}

TEST_F(NodeOps, DeleteInSpliceModeSetsTheLinkTypesToZero) {
    TNode* n = Node(100, 100);
    TLinkValues* l = Link(Node(0, 0), n, {}, 5);
    DoNodeDelete(net, window, *n, true, result);
    EXPECT_EQ(l->LType, 0);
    TNode* m = Node(300, 300);
    TLinkValues* k = Link(Node(400, 400), m, {}, 5);
    DeleteNode(net, *m);
    EXPECT_EQ(k->LType, 5);
    EXPECT_FALSE(k->IsDrawnL);
    EXPECT_EQ(net.DeleteStack.size(), 2u);
}

TEST_F(NodeOps, MovingAPolygonOwnerAcrossCellsKeepsItsPolygonDrawable) {
    TNode* owner = Node(100, 100);
    TNode* v1 = Node(0, 0);
    TNode* v2 = Node(300, 0);
    TNode* v3 = Node(300, 300);
    Polygon(owner, {v1, v2, v3});
    TLinkValues* link = Link(owner, v1);
    ASSERT_TRUE(net.Hash.Address(100, 100)->HasPolygons);

    MoveNode(net, window, *owner, 5000, 5100, result);
    EXPECT_TRUE(owner->IsAt(5000, 5100));
    THashEntry* now = net.Hash.Address(5000, 5100);
    ASSERT_NE(now, nullptr);
    EXPECT_TRUE(now->HasPolygons);
    EXPECT_TRUE(now->compositerectangle.Contains(300, 300));
    EXPECT_FALSE(net.Hash.Address(100, 100)->HasPolygons);
    EXPECT_TRUE(net.Hash.HasPolygons);
    // The link left the old cell with its A end.
    EXPECT_TRUE(now->linkcomprectangle.Contains(5000, 5100));
    EXPECT_TRUE(net.Hash.Address(100, 100)->linkcomprectangle.IsEmpty());
    EXPECT_EQ(link->LinkRect, (TRect{0, 0, 5000, 5100}));
    EXPECT_GE(now->xdist, 5000);
    EXPECT_GE(window.XMax, 5000);
    EXPECT_EQ(HitNode(net, window, 5000, 5100), owner);
    EXPECT_EQ(HitNode(net, window, 100, 100), nullptr);
    CheckInvariants();
}

TEST_F(NodeOps, MovingAVertexOrAShapePointUpdatesPolygonAndLinkRectangles) {
    TNode* owner = Node(100, 100);
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TLinkValues* link = Link(a, b, {{50, 10}});
    TShapePoint* sp = link->ShapePoints[0];
    Polygon(owner, {a, sp, b});
    MoveNode(net, window, *sp, 50, -3000, result);
    EXPECT_EQ(link->LinkRect, (TRect{0, -3000, 100, 0}));
    EXPECT_EQ(owner->PolygonRectangle, (TRect{0, -3000, 100, 0}));
    MoveNode(net, window, *a, -40, 0, result);
    EXPECT_EQ(owner->PolygonRectangle.left, -40);
    EXPECT_EQ(link->LinkRect.left, -40);
    CheckInvariants();
}

TEST_F(NodeOps, MergingDropsTheJoiningLinkAndLinksDuplicatingThoseOfTheTarget) {
    TNode* m = Node(0, 0);
    TNode* n = Node(100, 0);
    TNode* shared = Node(50, 100);
    TNode* onlyM = Node(-100, 0);
    TNode* owner = Node(1000, 1000);
    TLinkValues* joining = Link(m, n);
    TLinkValues* mShared = Link(shared, m);
    TLinkValues* nShared = Link(n, shared);
    TLinkValues* moved = Link(onlyM, m, {{-50, 10}});
    Polygon(owner, {m, shared, onlyM});
    window.LastNode = m;

    ASSERT_TRUE(NodeMerge(net, window, *m, n, nullptr, result));
    EXPECT_FALSE(m->IsDrawnN);
    EXPECT_FALSE(joining->IsDrawnL);
    EXPECT_FALSE(mShared->IsDrawnL);
    EXPECT_TRUE(nShared->IsDrawnL);
    EXPECT_TRUE(moved->IsDrawnL);
    EXPECT_TRUE(moved->Mark);
    EXPECT_EQ(moved->AEnd, onlyM);
    EXPECT_EQ(moved->BEnd, n);
    TLink* found = nullptr;
    ASSERT_TRUE(onlyM->LinkList.FindLink(n, found));
    EXPECT_TRUE(found->IsAEnd());
    EXPECT_FALSE(onlyM->LinkList.FindLink(m, found));
    EXPECT_EQ(DrawnLinkCount(*n), 2);
    EXPECT_EQ(m->LinkList.size(), 2u); // the links that go with M
    EXPECT_TRUE(moved->LinkRect.Contains(100, 0));
    EXPECT_EQ(owner->MyPolygonList[0], n);
    EXPECT_TRUE(m->YourPolygonList.IsEmpty());
    EXPECT_EQ(window.LastNode, nullptr);
    EXPECT_EQ(net.DeleteStack.back().node, m);
    CheckInvariants();
}

TEST_F(NodeOps, MergingLooksOnlyAtDrawnLinksOfTheTargetForJoins) {
    enum class TLinkState { drawn, deleted, retired };
    struct Case {
        TLinkState nToX; // N's link to X before the merge
        TLinkState mToX; // M's link to X
        bool moves;      // M's link goes over to N
        int drawnXN;     // drawn links between X and N afterwards
    };
    const Case cases[] = {
        {TLinkState::deleted, TLinkState::drawn, true, 1},
        {TLinkState::retired, TLinkState::drawn, true, 1},
        {TLinkState::retired, TLinkState::deleted, true, 0},
        // N keeps a single link to X: a deleted link goes with M when N has one there too.
        {TLinkState::deleted, TLinkState::deleted, false, 0},
        {TLinkState::drawn, TLinkState::drawn, false, 1},
    };
    auto make = [&](TNode* from, TNode* to, TLinkState state) {
        TLinkValues* link = Link(from, to);
        if (state == TLinkState::deleted) {
            LinkDelete(net, window, *from, *link, result);
        } else if (state == TLinkState::retired) {
            // As Link Intersect leaves the links it replaces.
            link->IsDrawnL = false;
            link->IsNodeDelete = false;
            link->Retired = true;
        }
        return link;
    };
    std::int32_t y = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        TNode* m = Node(0, y);
        TNode* n = Node(100, y);
        TNode* x = Node(50, y + 100);
        y += 1000;
        make(n, x, c.nToX);
        TLinkValues* mx = make(x, m, c.mToX);
        const bool wasDrawn = mx->IsDrawnL;
        ASSERT_TRUE(NodeMerge(net, window, *m, n, nullptr, result));
        EXPECT_EQ(mx->BEnd == n, c.moves);
        EXPECT_EQ(mx->IsDrawnL, wasDrawn && c.moves) << "a moved link stays as it was; one left goes with M";
        int drawnXN = 0;
        for (const TLink* half : x->LinkList)
            drawnXN += half->OppEndNode == n && half->LinkData->IsDrawnL ? 1 : 0;
        EXPECT_EQ(drawnXN, c.drawnXN);
        CheckInvariants();
    }
}

TEST_F(NodeOps, MergingIntoANodeAlreadyInThePolygonRemovesTheMergedVertex) {
    TNode* m = Node(0, 0);
    TNode* n = Node(100, 0);
    TNode* c = Node(50, 100);
    TNode* owner = Node(1000, 1000);
    Polygon(owner, {m, n, c});
    ASSERT_TRUE(NodeMerge(net, window, *m, n, nullptr, result));
    ASSERT_EQ(owner->MyPolygonList.Count(), 2);
    EXPECT_EQ(owner->MyPolygonList[0], n);
    EXPECT_EQ(n->YourPolygonList.Count(), 1);
    CheckInvariants();
}

TEST_F(NodeOps, MergingIntoAShapePointNeedsANodeWithoutLinksOrPolygon) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TLinkValues* link = Link(a, b, {{50, 50}});
    TShapePoint* sp = link->ShapePoints[0];
    TNode* m = Node(60, 60);
    TNode* owner = Node(1000, 1000);
    Polygon(owner, {a, m, b});
    TNode* other = Node(200, 200);
    Link(m, other);
    EXPECT_FALSE(NodeMerge(net, window, *m, nullptr, sp, result));
    EXPECT_TRUE(m->IsDrawnN);

    TNode* lone = Node(70, 70);
    Polygon(owner, {lone});
    ASSERT_TRUE(NodeMerge(net, window, *lone, nullptr, sp, result));
    EXPECT_FALSE(lone->IsDrawnN);
    EXPECT_EQ(owner->MyPolygonList[3], sp);
    EXPECT_EQ(sp->YourPolygonList.Count(), 1);
    EXPECT_TRUE(lone->YourPolygonList.IsEmpty());
    CheckInvariants();
}

TEST_F(NodeOps, MergedNodesMergeTheirPolygonsAlongTheSharedEdge) {
    TNode* a = Node(0, 0);
    TNode* b = Node(10, 0);
    TNode* c = Node(10, 10);
    TNode* d = Node(0, 10);
    TNode* e = Node(20, 0);
    TNode* f = Node(20, 10);
    TNode* r = Node(5, 5);
    TNode* g = Node(15, 5);
    Polygon(r, {a, b, c, d});
    Polygon(g, {b, e, f, c});
    ASSERT_TRUE(NodeMerge(net, window, *g, r, nullptr, result));
    const std::vector<TNetworkPoint*> expected{a, b, e, f, c, d};
    ASSERT_EQ(r->MyPolygonList.Count(), 6);
    for (std::int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(r->MyPolygonList[i], expected[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(r->PolygonRectangle, (TRect{0, 0, 20, 10}));
    EXPECT_EQ(g->MyPolygonList.Count(), 2); // only the shared vertices stay with the merged node
    EXPECT_FALSE(result.status.has_value());
    CheckInvariants();
}

TEST_F(NodeOps, PolygonsSharingOneVertexAreNotMerged) {
    TNode* a = Node(0, 0);
    TNode* b = Node(10, 0);
    TNode* c = Node(10, 10);
    TNode* e = Node(20, 0);
    TNode* f = Node(20, 10);
    TNode* r = Node(5, 5);
    TNode* g = Node(15, 5);
    Polygon(r, {a, b, c});
    Polygon(g, {b, e, f});
    EXPECT_FALSE(MergePolygons(*g, *r));
    EXPECT_EQ(r->MyPolygonList.Count(), 3);
    EXPECT_EQ(g->MyPolygonList.Count(), 3);
    // Handing a polygon to a node without one moves every vertex.
    TNode* empty = Node(30, 30);
    EXPECT_TRUE(MergePolygons(*g, *empty));
    empty->UpdateRectangle(net.Hash);
    g->UpdateRectangle(net.Hash);
    EXPECT_EQ(empty->MyPolygonList.Count(), 3);
    EXPECT_TRUE(g->MyPolygonList.IsEmpty());
    EXPECT_EQ(e->YourPolygonList[0], empty);
    CheckInvariants();
}

TEST_F(NodeOps, NodeToShapePointNeedsOneEnteringAndOneLeavingLink) {
    struct Case {
        const char* name;
        bool firstEnters;
        bool secondEnters;
    };
    std::int32_t x = 0;
    for (const Case c : {Case{"both leave", false, false}, Case{"both enter", true, true}}) {
        TNode* n = Node(x + 100, 0);
        TNode* u = Node(x, 0);
        TNode* d = Node(x + 200, 0);
        TLinkValues* l1 = c.firstEnters ? Link(u, n) : Link(n, u);
        TLinkValues* l2 = c.secondEnters ? Link(d, n) : Link(n, d);
        const std::int32_t links = net.NumberOfLinks;
        TEditResult r;
        EXPECT_FALSE(NodeToShapePoint(net, window, *n, r)) << c.name;
        EXPECT_TRUE(n->IsDrawnN) << c.name;
        EXPECT_TRUE(l1->IsDrawnL && l2->IsDrawnL) << c.name;
        EXPECT_EQ(net.NumberOfLinks, links) << c.name;
        TLink* joined = nullptr;
        EXPECT_FALSE(u->LinkList.FindLink(d, joined)) << c.name;
        EXPECT_TRUE(net.DeleteStack.empty()) << c.name;
        x += 1000;
    }
}

TEST_F(NodeOps, NodeToShapePointJoinsTheTwoLinksThroughANewShapePoint) {
    TNode* u = Node(0, 0);
    TNode* n = Node(100, 0);
    TNode* d = Node(200, 0);
    TNode* owner = Node(1000, 1000);
    TLinkValues* up = Link(u, n, {{40, 10}, {60, 10}}, 3);
    TLinkValues* down = Link(n, d, {{150, -10}}, 4);
    Polygon(owner, {u, n, d});
    window.SpliceRules.linkfuserule = 1; // the upstream link's values

    ASSERT_TRUE(NodeToShapePoint(net, window, *n, result));
    TLink* half = nullptr;
    ASSERT_TRUE(u->LinkList.FindLink(d, half));
    TLinkValues* made = half->LinkData;
    EXPECT_TRUE(made->IsDrawnL);
    EXPECT_EQ(made->AEnd, u);
    EXPECT_EQ(Shape(*made), (std::vector<TPoint>{{40, 10}, {60, 10}, {100, 0}, {150, -10}}));
    EXPECT_EQ(made->LType, 3);
    EXPECT_FALSE(n->IsDrawnN);
    EXPECT_FALSE(up->IsDrawnL);
    EXPECT_FALSE(down->IsDrawnL);
    EXPECT_EQ(up->LType, 0);
    EXPECT_EQ(down->LType, 0);
    EXPECT_TRUE(up->ShapePoints.empty() && down->ShapePoints.empty());
    // The new shape point stands in for N in the polygon.
    EXPECT_EQ(owner->MyPolygonList[1], made->ShapePoints[2]);
    EXPECT_TRUE(n->YourPolygonList.IsEmpty());
    EXPECT_EQ(made->LinkRect, (TRect{0, -10, 200, 10}));
    EXPECT_EQ(net.DeleteStack.back().node, n);
    CheckInvariants();
}

TEST_F(NodeOps, ShapePointToNodeSplitsTheLinkAtThePoint) {
    struct Case {
        std::uint32_t index;
        std::vector<TPoint> first;
        std::vector<TPoint> second;
    };
    const std::vector<TPoint> shape{{20, 10}, {40, 10}, {60, 10}};
    const Case cases[] = {
        {0, {}, {{40, 10}, {60, 10}}},
        {1, {{20, 10}}, {{60, 10}}},
        {2, {{20, 10}, {40, 10}}, {}},
    };
    std::int32_t x = 0;
    for (const Case& c : cases) {
        net.InitialNode.NType = 1;
        net.LinkDef.Classs[2].atcount = 1;
        TNode* a = Node(x, 0);
        TNode* b = Node(x + 100, 0);
        TNode* owner = Node(x + 50, 500);
        std::vector<TPoint> moved;
        for (TPoint p : shape)
            moved.push_back({p.x + x, p.y});
        TLinkValues* l = Link(a, b, moved, 2);
        l->alabel = "Main St";
        l->LValue[0] = 12;
        TShapePoint* s = l->ShapePoints[c.index];
        Polygon(owner, {a, s, b});
        window.LastSp = s;
        const TPoint at = s->Position();

        TNode* node = ShapePointToNode(net, window, *s, result);
        ASSERT_NE(node, nullptr) << c.index;
        EXPECT_TRUE(node->IsAt(at.x, at.y));
        EXPECT_FALSE(l->IsDrawnL);
        EXPECT_EQ(l->LType, 0);
        EXPECT_TRUE(l->ShapePoints.empty());
        TLink* half = nullptr;
        ASSERT_TRUE(a->LinkList.FindLink(node, half));
        TLinkValues* first = half->LinkData;
        ASSERT_TRUE(node->LinkList.FindLink(b, half));
        TLinkValues* second = half->LinkData;
        for (TLinkValues* made : {first, second}) {
            EXPECT_TRUE(made->IsDrawnL);
            EXPECT_TRUE(made->IsNodeDelete);
            EXPECT_FALSE(made->Mark);
            EXPECT_EQ(made->LType, 2);
            EXPECT_EQ(std::string(made->alabel.view()), "Main St");
            ASSERT_EQ(made->ValueCount(), 1);
            EXPECT_EQ(made->LValue[0], 12);
        }
        EXPECT_EQ(first->AEnd, a);
        EXPECT_EQ(second->BEnd, b);
        auto shifted = [x](std::vector<TPoint> v) {
            for (TPoint& p : v)
                p.x += x;
            return v;
        };
        EXPECT_EQ(Shape(*first), shifted(c.first)) << c.index;
        EXPECT_EQ(Shape(*second), shifted(c.second)) << c.index;
        EXPECT_EQ(owner->MyPolygonList[1], node);
        EXPECT_EQ(window.LastSp, nullptr);
        EXPECT_EQ(net.DeleteStack.back().link, l);
        CheckInvariants();
        x += 1000;
    }
}

TEST_F(NodeOps, ShapePointToNodeInAHiddenLayerChangesNothing) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TLinkValues* l = Link(a, b, {{30, 0}, {60, 0}});
    net.InitialNode.Layer = 4;
    window.selectedlayers[4] = 0;
    const std::int32_t nodes = net.NumberOfNodes;
    const std::int32_t links = net.NumberOfLinks;
    net.Modified = false;
    TShapePoint* s = l->ShapePoints[1];
    EXPECT_EQ(ShapePointToNode(net, window, *s, result), nullptr);
    EXPECT_TRUE(l->IsDrawnL);
    EXPECT_EQ(l->ShapePoints.size(), 2u);
    EXPECT_TRUE(s->IsDrawnN);
    EXPECT_EQ(net.NumberOfNodes, nodes);
    EXPECT_EQ(net.NumberOfLinks, links);
    EXPECT_TRUE(net.DeleteStack.empty());
    EXPECT_FALSE(net.Modified);
    EXPECT_FALSE(result.changed);
    // A drawn node on the point refuses it as well.
    net.InitialNode.Layer = 1;
    Node(30, 0);
    EXPECT_EQ(ShapePointToNode(net, window, *l->ShapePoints[0], result), nullptr);
    EXPECT_TRUE(l->IsDrawnL);
    CheckInvariants();
}

TEST_F(NodeOps, ForgetPointClearsEveryReferenceOfTheWindow) {
    TNode* n = Node(0, 0);
    TNode* other = Node(10, 0);
    TLinkValues* l = Link(n, other, {{5, 5}});
    TShapePoint* sp = l->ShapePoints[0];
    window.LastNode = n;
    window.currentpolygon = n;
    window.LastSp = sp;
    window.Dragged = sp;
    ForgetPoint(window, sp);
    EXPECT_EQ(window.LastSp, nullptr);
    EXPECT_EQ(window.Dragged, nullptr);
    EXPECT_EQ(window.LastNode, n);
    ForgetPoint(window, n);
    EXPECT_EQ(window.LastNode, nullptr);
    EXPECT_EQ(window.currentpolygon, nullptr);
}

TEST_F(NodeOps, ClearingTheTemplatesGivesPlainNewElements) {
    net.InitialNode.NType = 3;
    net.InitialNode.Layer = 4;
    net.InitialNode.alabel = TText("Depot");
    net.InitialNode.ResizeValues(2);
    net.InitialLink.LType = 2;
    net.InitialLink.alabel = TText("Main St");
    net.InitialLink.ResizeValues(3);
    ClearTemplates(net);
    TEditResult result;
    TNode* n = NodePlotAction(net, window, 40, 40, result);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->NType, 0);
    EXPECT_EQ(n->Layer, 1);
    EXPECT_EQ(n->ValueCount(), 0);
    EXPECT_TRUE(n->alabel.view().empty());
    TNode* m = Node(80, 40);
    TLinkPlotOutcome outcome{};
    TLinkValues* l = LinkPlot(net, window, *n, *m, outcome, result);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->LType, 0);
    EXPECT_EQ(l->ValueCount(), 0);
    EXPECT_TRUE(l->alabel.view().empty());
    EXPECT_TRUE(l->IsDrawnL);
    CheckInvariants();
}

} // namespace
} // namespace zan

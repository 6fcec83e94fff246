#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "../model/NetworkFixture.h"
#include "EditingInvariants.h"
#include "editing/EditModes.h"
#include "editing/LinkOperations.h"
#include "editing/NodeOperations.h"

namespace zan {
namespace {

struct TClick {
    std::int32_t x, y;
    bool right = false;
};

class EditModes : public testing::NetworkFixture {
protected:
    void Choose(sketchstates mode) { session.ChooseMode(net, window, mode); }
    TClickOutcome Click(std::int32_t x, std::int32_t y, bool right = false) {
        return session.Click(net, window, x, y, right);
    }
    void Clicks(const std::vector<TClick>& clicks) {
        for (const TClick& c : clicks)
            Click(c.x, c.y, c.right);
    }

    // The drawn link from a to b (in that direction), or null.
    static TLinkValues* DrawnLink(TNode* a, TNode* b) {
        for (TLink* half : a->LinkList) {
            if (half->IsAEnd() && half->OppEndNode == b && half->LinkData->IsDrawnL)
                return half->LinkData;
        }
        return nullptr;
    }
    int DrawnLinks() {
        int count = 0;
        net.Hash.ForEachLink([&](TLinkValues& link) { count += link.IsDrawnL ? 1 : 0; });
        return count;
    }
    // The drawn node exactly at (x, y), or null.
    TNode* NodeAt(std::int32_t x, std::int32_t y) {
        TNode* found = nullptr;
        net.Hash.ForEachNode([&](TNode& n) {
            if (n.IsDrawnN && n.IsAt(x, y))
                found = &n;
        });
        return found;
    }

    // No drawn link at a deleted node, shape points belong to their link, link rectangles hold their
    // points, and the table finds every point where it is.
    void CheckInvariants() { testing::CheckEditingInvariants(net); }

    static bool Covers(const TEditResult& r, std::int32_t x, std::int32_t y) {
        for (const TRect& rect : r.repaint) {
            if (rect.Contains(x, y))
                return true;
        }
        return r.repaintAll;
    }

    TEditSession session;
};

// ---- mode tables ----

TEST(EditModeTables, TextsOfTheModes) {
    struct Case {
        sketchstates mode;
        const char* status;
        const char* menu;
        const char* hint;
    };
    const Case cases[] = {
        {sketchstates::noaction, "Select Object", "Select &Object", "Select Object"},
        {sketchstates::nodeplotopen, "Node Plot/Open", "Node Plo&t/Open", "Node Plot/Open"},
        {sketchstates::noderestoremode, "Node Restore", "", ""},
        {sketchstates::nodelinkplot, "Link Plot", "", ""},
        {sketchstates::linkshapeinsert, "Link Shape Insert", "&Insert Shape Point", "Shape Point Insert"},
        {sketchstates::linkshaperestore, "Link Shape Insert", "", ""},
        {sketchstates::nodereinitialize, "Node Reinitialize", "&Nodes", "Node Reinitialize"},
        {sketchstates::nodetoshape, "Node to Shape Point", "&Node to Shape Point",
         "Convert Node to a Shape Point"},
        {sketchstates::shapeopen, "Shape Point Open", "Shape &Open", "Shape Point Open"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ModeStatusText(c.mode), c.status);
        EXPECT_EQ(ModeMenuCaption(c.mode), c.menu);
        EXPECT_EQ(ModeToolbarHint(c.mode), c.hint);
    }
    EXPECT_EQ(ModeHelpLine(sketchstates::nodedeletemode), "Left-click a node to delete it.");
    for (std::int32_t m = 0; m < kModeCount; ++m) {
        const sketchstates mode = *ModeFromInt(m);
        EXPECT_EQ(static_cast<std::int32_t>(mode), m);
        const bool cursor = m == 1 || m == 9 || m == 13 || m == 15 || m == 18;
        EXPECT_EQ(IsPlotCursorMode(mode), cursor) << m;
        const bool entered = m == 13 || m == 15 || m == 18;
        EXPECT_EQ(ModeHelpLine(mode).empty(), entered) << m;
    }
    EXPECT_FALSE(ModeFromInt(-1));
    EXPECT_FALSE(ModeFromInt(28));
}

TEST_F(EditModes, ChoosingAModeShowsItsStatusOrTheCursor) {
    window.CurPosX = 120;
    window.CurPosY = -40;
    struct Case {
        sketchstates mode;
        std::string status;
    };
    const Case cases[] = {{sketchstates::linkdeletemode, "Link Delete"},
                          {sketchstates::nodeplotmode, "120,-40"},
                          {sketchstates::linkshaperemove, "Link Shape Remove"},
                          {sketchstates::nodeplotopen, "120,-40"}};
    for (const Case& c : cases) {
        const TEditResult r = session.ChooseMode(net, window, c.mode);
        EXPECT_EQ(session.Mode(), c.mode);
        ASSERT_TRUE(r.status);
        EXPECT_EQ(*r.status, c.status);
    }
}

TEST_F(EditModes, ChoosingAModeClearsThePicksAndTheZoomFlags) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TNode* owner = Node(50, 50);
    Polygon(owner, {a, b});
    Choose(sketchstates::linkplotmode);
    Click(0, 0);
    ASSERT_EQ(window.LastNode, a);
    window.currentpolygon = owner;
    owner->SetActivePolygon(true);
    window.NextClickIsInZoom = true;

    const TEditResult r = session.ChooseMode(net, window, sketchstates::linkdeletemode);
    EXPECT_EQ(window.LastNode, nullptr);
    EXPECT_EQ(window.currentpolygon, nullptr);
    EXPECT_FALSE(owner->IsActivePolygonOwner);
    EXPECT_FALSE(a->IsActivePolygonCorner);
    EXPECT_FALSE(window.NextClickIsInZoom);
    EXPECT_TRUE(Covers(r, 0, 0)); // the highlight goes
    // The next click starts a new pick: B alone deletes nothing.
    Click(100, 0);
    EXPECT_EQ(window.LastNode, b);
    EXPECT_EQ(session.FirstNode(), nullptr);
}

TEST_F(EditModes, ZoomClicksNeverReachTheModes) {
    Choose(sketchstates::nodeplotmode);
    window.NextClickIsOutZoom = true;
    Click(300, 300, true);
    Click(300, 300);
    EXPECT_EQ(net.Hash.PointCount(), 0);
    EXPECT_EQ(window.CurPosX, 10);
    EXPECT_FALSE(net.Modified);
}

// A click marks the network modified in every mode but Select Object, even a click on nothing
// (Node Open marks it as the first step of opening a node).
TEST_F(EditModes, ClicksMarkTheNetworkModified) {
    const std::pair<sketchstates, bool> cases[] = {
        {sketchstates::noaction, false},       {sketchstates::linkplotmode, true},
        {sketchstates::nodeopenmode, true},    {sketchstates::nodedeletemode, true},
        {sketchstates::linkshaperemove, true}, {sketchstates::shapeopen, true}};
    for (const auto& [mode, modified] : cases) {
        net.Modified = false;
        Choose(mode);
        Click(400, 400);
        EXPECT_EQ(net.Modified, modified) << static_cast<int>(mode);
    }
}

TEST_F(EditModes, ClickPositionIsClampedIntoThePlane) {
    Choose(sketchstates::nodeplotmode);
    const TClickOutcome out = Click(900000, -900000);
    EXPECT_EQ(window.CurPosX, 512000);
    EXPECT_EQ(window.CurPosY, -512000);
    ASSERT_TRUE(out.result.status);
    EXPECT_EQ(*out.result.status, "512000,-512000");
}

// ---- node plot ----

TEST_F(EditModes, RightClickPlotsAtThePlotCursorNotAtTheClick) {
    for (sketchstates mode : {sketchstates::nodeplotmode, sketchstates::nodeplotopen}) {
        Choose(mode);
        const std::int32_t x = mode == sketchstates::nodeplotmode ? 100 : 200;
        Click(x, 50); // places the cursor
        EXPECT_EQ(window.CurPosX, x);
        const TClickOutcome out = Click(x + 300, 350, true);
        TNode* n = NodeAt(x, 50);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(NodeAt(x + 300, 350), nullptr);
        EXPECT_EQ(window.CurPosX, x) << "a right click does not move the cursor";
        if (mode == sketchstates::nodeplotopen) {
            EXPECT_EQ(out.request, TClickRequest::nodeOpen);
            EXPECT_EQ(out.node, n);
        } else {
            EXPECT_EQ(out.request, TClickRequest::none);
        }
    }
    EXPECT_EQ(net.Hash.PointCount(), 2);
}

// ---- link plot ----

TEST_F(EditModes, LinkPlotChainsFromTheSecondEnd) {
    // A right click in Link Plot acts as a left click: every button pattern gives the same chain.
    const std::vector<std::vector<bool>> buttons = {
        {false, false, false, false}, {true, true, true, true}, {true, false, true, false}};
    std::int32_t y = 0;
    for (const std::vector<bool>& right : buttons) {
        TNode* a = Node(0, y);
        TNode* b = Node(100, y);
        TNode* c = Node(100, y + 100);
        const int before = DrawnLinks();
        Choose(sketchstates::linkplotmode);
        Clicks({{0, y, right[0]}, {1, y + 1, right[1]}, {100, y, right[2]}});
        EXPECT_NE(DrawnLink(a, b), nullptr);
        EXPECT_EQ(DrawnLinks(), before + 1) << "clicking A again plots nothing";
        EXPECT_EQ(window.LastNode, b);
        Click(100, y + 100, right[3]);
        EXPECT_NE(DrawnLink(b, c), nullptr);
        EXPECT_EQ(DrawnLinks(), before + 2);
        EXPECT_EQ(session.FirstNode(), b);
        EXPECT_EQ(window.LastNode, c);
        CheckInvariants();
        y += 1000;
    }
}

TEST_F(EditModes, LinkPlotOpenOpensNewLinksOnly) {
    TNode* a = Node(0, 0);
    Node(100, 0);
    Choose(sketchstates::linkplotopen);
    Click(0, 0);
    const TClickOutcome made = Click(100, 0);
    EXPECT_EQ(made.request, TClickRequest::linkOpen);
    ASSERT_NE(made.link, nullptr);
    EXPECT_EQ(made.link->AEnd, a);
    const TClickOutcome again = Click(0, 0); // B->A exists as A->B: nothing new to open
    EXPECT_EQ(again.request, TClickRequest::none);
    EXPECT_EQ(DrawnLinks(), 1);
}

// ---- two-click link picks ----

TEST_F(EditModes, LinkDeleteWithoutALinkKeepsTheSecondNodePicked) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TNode* c = Node(200, 0);
    Link(b, c);
    Choose(sketchstates::linkdeletemode);
    Clicks({{0, 0}, {100, 0}});
    EXPECT_TRUE(net.DeleteStack.empty());
    EXPECT_EQ(DrawnLinks(), 1);
    EXPECT_EQ(window.LastNode, b);
    EXPECT_EQ(session.FirstNode(), a);
    // Daisy chain: C deletes B-C and stays picked.
    Click(200, 0);
    EXPECT_EQ(DrawnLinks(), 0);
    ASSERT_EQ(net.DeleteStack.size(), 1u);
    EXPECT_EQ(net.DeleteStack.back().node, b);
    EXPECT_EQ(window.LastNode, c);
    CheckInvariants();
}

TEST_F(EditModes, TwoClickPickIgnoresEmptyClicksAndTheSameNode) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TLinkValues* ab = Link(a, b);
    Choose(sketchstates::linkreversemode);
    Clicks({{0, 0}, {50, 50}, {0, 0}});
    EXPECT_EQ(window.LastNode, a);
    EXPECT_EQ(ab->AEnd, a);
    Click(100, 0); // A then B on A->B: already so
    EXPECT_EQ(ab->AEnd, a);
    Click(0, 0); // B then A: A becomes the B end
    EXPECT_EQ(ab->AEnd, b);
    EXPECT_EQ(ab->BEnd, a);
    EXPECT_EQ(window.LastNode, a);
}

TEST_F(EditModes, LinkOpenAndReinitializeReportTheLink) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TLinkValues* ab = Link(a, b);
    struct Case {
        sketchstates mode;
        bool right;
        TClickRequest request;
    };
    const Case cases[] = {{sketchstates::linkopenmode, false, TClickRequest::linkOpen},
                          {sketchstates::linkopenmode, true, TClickRequest::linkOpen},
                          {sketchstates::linkreinitialize, false, TClickRequest::linkReinitialize},
                          {sketchstates::linkreinitialize, true, TClickRequest::none}};
    for (const Case& c : cases) {
        Choose(c.mode);
        Click(100, 0, c.right);
        const TClickOutcome out = Click(0, 0, c.right);
        EXPECT_EQ(out.request, c.request);
        if (c.request != TClickRequest::none) {
            EXPECT_EQ(out.link, ab);
            EXPECT_EQ(out.rightClick, c.right);
        }
        EXPECT_EQ(window.LastNode, a) << "the second node stays picked";
    }
}

// ---- node modes ----

TEST_F(EditModes, NodeOpenReportsTheNodeAtTheClickWithoutMovingTheCursor) {
    TNode* a = Node(300, 300);
    Choose(sketchstates::nodeopenmode);
    const TClickOutcome out = Click(301, 299, true);
    EXPECT_EQ(out.request, TClickRequest::nodeOpen);
    EXPECT_EQ(out.node, a);
    EXPECT_TRUE(out.rightClick);
    EXPECT_EQ(window.CurPosX, 10);
    Choose(sketchstates::nodereinitialize);
    EXPECT_EQ(Click(300, 300, true).request, TClickRequest::none);
    EXPECT_EQ(Click(300, 300).request, TClickRequest::nodeReinitialize);
}

TEST_F(EditModes, NodeMoveRestoresTheNodeAtTheCursorWithItsLinks) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TNode* c = Node(0, 100);
    Link(a, b, {{50, -20}});
    Link(c, a);
    Choose(sketchstates::nodemovemode);
    const TClickOutcome lift = Click(1, 1);
    EXPECT_FALSE(a->IsDrawnN);
    EXPECT_EQ(DrawnLinks(), 0);
    EXPECT_EQ(session.Mode(), sketchstates::noderestoremode);
    EXPECT_EQ(session.MovingNode(), a);
    EXPECT_EQ(window.CurPosX, 0) << "the cursor goes to the node's old place";
    ASSERT_TRUE(lift.result.status);
    EXPECT_EQ(*lift.result.status, "0,0");

    Click(250, 180); // places the cursor
    EXPECT_TRUE(NodeAt(250, 180) == nullptr);
    const TClickOutcome put = Click(9, 9, true);
    EXPECT_TRUE(a->IsDrawnN);
    EXPECT_TRUE(a->IsAt(250, 180));
    EXPECT_NE(DrawnLink(a, b), nullptr);
    EXPECT_NE(DrawnLink(c, a), nullptr);
    EXPECT_TRUE(net.DeleteStack.empty());
    EXPECT_EQ(session.Mode(), sketchstates::nodemovemode);
    ASSERT_TRUE(put.result.status);
    EXPECT_EQ(*put.result.status, "Node Move");
    EXPECT_EQ(net.Hash.Address(250, 180)->PointAt(250, 180), a);
    CheckInvariants();
}

TEST_F(EditModes, NodeRestoreRefusesAnOccupiedCursorAndInsertRestoresInPlace) {
    TNode* a = Node(0, 0);
    Node(200, 200);
    Choose(sketchstates::nodemovemode);
    Click(0, 0);
    Click(200, 200);
    Click(0, 0, true); // a drawn node sits at the cursor
    EXPECT_FALSE(a->IsDrawnN);
    EXPECT_EQ(session.Mode(), sketchstates::noderestoremode);

    window.CurPosX = 60; // a free cursor: Insert puts the node back where it was
    const std::optional<TEditResult> r = session.Insert(net, window);
    ASSERT_TRUE(r);
    EXPECT_TRUE(a->IsDrawnN);
    EXPECT_TRUE(a->IsAt(0, 0));
    EXPECT_EQ(session.Mode(), sketchstates::nodemovemode);
    EXPECT_TRUE(net.DeleteStack.empty());
}

TEST_F(EditModes, NodeRestoreLeavesTheStepWhenAnotherDeletionIsOnTop) {
    TNode* a = Node(0, 0);
    TNode* other = Node(300, 0);
    Choose(sketchstates::nodemovemode);
    Click(0, 0);
    TEditResult elsewhere;
    DoNodeDelete(net, window, *other, false, elsewhere); // another view deletes a node
    Click(100, 100);
    Click(100, 100, true);
    EXPECT_FALSE(a->IsDrawnN);
    EXPECT_TRUE(other->IsAt(300, 0)) << "the other deletion is left alone";
    EXPECT_EQ(net.DeleteStack.size(), 2u);
    EXPECT_EQ(session.Mode(), sketchstates::nodemovemode);
}

TEST_F(EditModes, NodeDeleteAndOtherModesOutsideTheirStepsLeaveInsertToTheWindow) {
    TNode* a = Node(0, 0);
    Choose(sketchstates::nodedeletemode);
    Click(2, -2);
    EXPECT_FALSE(a->IsDrawnN);
    EXPECT_FALSE(session.Insert(net, window));
}

// ---- link split ----

TEST_F(EditModes, LinkSplitReplacesTheLinkByTwoThroughANewNode) {
    struct Case {
        std::vector<TClick> picks;
    };
    // Either pick order: the new links keep the split link's direction.
    const Case cases[] = {{{{0, 0}, {200, 0}}}, {{{200, 0}, {0, 0}}}};
    for (const Case& c : cases) {
        TNetwork fresh;
        TEditSession s;
        TWindowSettings w;
        THashEntry* cell = nullptr;
        TNode* a = fresh.Hash.InsertNode(0, 0, 0, true, cell);
        TNode* b = fresh.Hash.InsertNode(200, 0, 0, true, cell);
        TLink* l1 = nullptr;
        TLink* l2 = nullptr;
        fresh.InitialLink.LType = 3;
        TLinkValues* ab = fresh.Hash.InsertLink(*a, *b, l1, l2, 0, true);
        ab->alabel = "Main";

        s.ChooseMode(fresh, w, sketchstates::linksplitmode);
        for (const TClick& k : c.picks)
            s.Click(fresh, w, k.x, k.y, false);
        EXPECT_FALSE(ab->IsDrawnL);
        EXPECT_EQ(s.Mode(), sketchstates::nodelinkplot);
        EXPECT_EQ(s.SplitLink(), ab);
        s.Click(fresh, w, 100, 60, false); // the new node's place
        const TClickOutcome done = s.Click(fresh, w, 5, 5, true);
        EXPECT_EQ(s.Mode(), sketchstates::linksplitmode);
        ASSERT_TRUE(done.result.status);
        EXPECT_EQ(*done.result.status, "Link Split");
        TNode* n = nullptr;
        fresh.Hash.ForEachNode([&](TNode& node) {
            if (node.IsAt(100, 60))
                n = &node;
        });
        ASSERT_NE(n, nullptr);
        TLinkValues* an = DrawnLink(a, n);
        TLinkValues* nb = DrawnLink(n, b);
        ASSERT_NE(an, nullptr);
        ASSERT_NE(nb, nullptr);
        EXPECT_EQ(an->LType, 3);
        EXPECT_EQ(nb->alabel, "Main");
        EXPECT_EQ(ab->LType, 0);
        EXPECT_EQ(w.LastNode, nullptr);
        EXPECT_EQ(s.SplitLink(), nullptr);
    }
}

TEST_F(EditModes, InsertDuringTheNewNodeStepBringsTheSplitLinkBack) {
    TNode* a = Node(0, 0);
    TNode* b = Node(200, 0);
    TLinkValues* ab = Link(a, b, {{100, 30}});
    Choose(sketchstates::linksplitmode);
    Clicks({{200, 0}, {0, 0}});
    ASSERT_EQ(session.Mode(), sketchstates::nodelinkplot);
    const std::optional<TEditResult> r = session.Insert(net, window);
    ASSERT_TRUE(r);
    EXPECT_TRUE(ab->IsDrawnL);
    EXPECT_EQ(ab->AEnd, a) << "the link comes back as it was";
    EXPECT_TRUE(ab->ShapePoints[0]->IsDrawnN);
    EXPECT_TRUE(net.DeleteStack.empty());
    EXPECT_EQ(session.Mode(), sketchstates::linksplitmode);
    EXPECT_TRUE(net.Modified);
    CheckInvariants();
}

TEST_F(EditModes, SplitStepActsOnlyOnItsOwnDeletion) {
    TNode* a = Node(0, 0);
    TNode* b = Node(200, 0);
    TNode* c = Node(0, 300);
    TLinkValues* ab = Link(a, b);
    Choose(sketchstates::linksplitmode);
    Clicks({{0, 0}, {200, 0}});
    TEditResult elsewhere;
    DoNodeDelete(net, window, *c, false, elsewhere); // another view's deletion lands on top
    Click(100, 60);
    Click(100, 60, true);
    EXPECT_EQ(NodeAt(100, 60), nullptr);
    EXPECT_EQ(session.Mode(), sketchstates::linksplitmode);
    EXPECT_FALSE(ab->IsDrawnL);
    EXPECT_EQ(net.DeleteStack.size(), 2u);
}

// ---- shape points ----

TEST_F(EditModes, ShapeInsertPicksTwoAdjacentPointsThenPlacesAtTheCursor) {
    TNode* a = Node(0, 0);
    TNode* b = Node(300, 0);
    TLinkValues* ab = Link(a, b, {{100, 40}, {200, 40}});
    Choose(sketchstates::linkshapeinsert);
    Clicks({{200, 40}, {200, 40}}); // the same point again is ignored
    EXPECT_EQ(session.Mode(), sketchstates::linkshapeinsert);
    Click(300, 0); // B and the last shape point: insert at the end
    EXPECT_EQ(session.Mode(), sketchstates::linkshaperestore);
    EXPECT_EQ(session.ShapePosition(), 2);
    Click(250, 80);
    const TClickOutcome done = Click(0, 0, true);
    ASSERT_EQ(ab->ShapePoints.size(), 3u);
    EXPECT_TRUE(ab->ShapePoints[2]->IsAt(250, 80));
    EXPECT_EQ(session.Mode(), sketchstates::linkshapeinsert);
    EXPECT_EQ(window.LastSp, nullptr);
    EXPECT_EQ(window.LastNode, nullptr);
    ASSERT_TRUE(done.result.status);
    EXPECT_EQ(*done.result.status, "Link Shape Insert");
    CheckInvariants();

    // Two shape points that are not adjacent clear the picks.
    Clicks({{100, 40}, {250, 80}});
    EXPECT_EQ(session.Mode(), sketchstates::linkshapeinsert);
    EXPECT_EQ(window.LastNode, nullptr);
    EXPECT_EQ(window.LastSp, nullptr);
}

TEST_F(EditModes, ShapeRemoveReportsTheFreedPoint) {
    TNode* a = Node(0, 0);
    TNode* b = Node(300, 0);
    TLinkValues* ab = Link(a, b, {{100, 40}, {200, 40}});
    const TNetworkPoint* first = ab->ShapePoints[0];
    Choose(sketchstates::linkshaperemove);
    const TClickOutcome out = Click(100, 40);
    ASSERT_EQ(ab->ShapePoints.size(), 1u);
    EXPECT_TRUE(ab->ShapePoints[0]->IsAt(200, 40));
    ASSERT_EQ(out.freed.size(), 1u);
    EXPECT_EQ(out.freed[0], first);
    CheckInvariants();
}

TEST_F(EditModes, ShapeOpenAsksForTheLinkOrTheGeography) {
    TNode* a = Node(0, 0);
    TNode* b = Node(300, 0);
    TLinkValues* ab = Link(a, b, {{100, 40}});
    Choose(sketchstates::shapeopen);
    const TClickOutcome left = Click(100, 40);
    EXPECT_EQ(left.request, TClickRequest::shapeGeography);
    EXPECT_EQ(left.shape, ab->ShapePoints[0]);
    const TClickOutcome right = Click(100, 40, true);
    EXPECT_EQ(right.request, TClickRequest::shapeLinkOpen);
    EXPECT_EQ(right.link, ab);
    EXPECT_EQ(Click(0, 0).request, TClickRequest::none) << "a node is no shape point";
}

// ---- undoing a shape point removal after other operations ----

// One operation of the table below: a mode and the clicks that carry it out.
struct TShapeUndoCase {
    const char* name;
    sketchstates mode;
    std::vector<TClick> clicks;
    bool restores; // the operation leaves the link's shape points and the polygon as they were
};
void PrintTo(const TShapeUndoCase& c, std::ostream* os) {
    *os << c.name;
}

// A link a -> b with three shape points whose first one is also the last vertex of a polygon; the
// polygon shares an edge with a second polygon; b has a second, leaving link; and another link
// crosses a -> b. A view removes the first shape point, then it or another view of the network
// carries out one operation; Undo Shape Remove puts the point back only when neither the link's
// shape points nor the polygon changed, and never leaves the network broken.
class ShapeUndoAfter : public EditModes,
                       public ::testing::WithParamInterface<std::tuple<TShapeUndoCase, bool>> {
protected:
    void SetUp() override {
        TNode* a = Node(0, 0);
        TNode* b = Node(400, 0);
        TNode* c = Node(800, 0);
        ab = Link(a, b, {{100, 60}, {200, 80}, {300, 60}});
        Link(b, c);
        Link(Node(250, -100), Node(250, 200)); // crosses a -> b at (250, 70)
        TNode* p2 = Node(600, 300);
        TNode* p3 = Node(600, 400);
        owner = Node(550, 350);
        Polygon(owner, {Node(500, 300), p2, p3, Node(500, 400), ab->ShapePoints[0]});
        Polygon(Node(650, 350), {p2, Node(700, 300), Node(700, 400), p3});
        other = window;
    }

    static std::vector<TPoint> Positions(const TLinkValues& link) {
        std::vector<TPoint> out;
        for (const TShapePoint* sp : link.ShapePoints)
            out.push_back(sp->Position());
        return out;
    }
    static std::vector<TPoint> Positions(const TNode& polygonOwner) {
        std::vector<TPoint> out;
        for (const TNetworkPoint* v : polygonOwner.MyPolygonList)
            out.push_back(v->Position());
        return out;
    }

    // A click in the other view, followed by what the application does for this view with its
    // outcome.
    void OtherClick(const TClick& c) {
        const TClickOutcome out = otherSession.Click(net, other, c.x, c.y, c.right);
        ForgetStaleShapeUndo(window, out.result);
        if (out.shapePointsFreed)
            session.ForgetShapePoints(window);
        for (const TNetworkPoint* p : out.freed)
            session.Forget(window, p);
    }

    TLinkValues* ab = nullptr;
    TNode* owner = nullptr;
    TWindowSettings other;
    TEditSession otherSession;
};

TEST_P(ShapeUndoAfter, RestoresOnlyWhatIsUnchanged) {
    const auto& [c, inOtherView] = GetParam();
    const std::vector<TPoint> shape = Positions(*ab);
    const std::vector<TPoint> polygon = Positions(*owner);
    Choose(sketchstates::linkshaperemove);
    Click(100, 60);
    ASSERT_EQ(ab->ShapePoints.size(), 2u);
    ASSERT_EQ(owner->MyPolygonList.Count(), 4);

    if (inOtherView) {
        otherSession.ChooseMode(net, other, c.mode);
        for (const TClick& click : c.clicks)
            OtherClick(click);
    } else {
        Choose(c.mode);
        Clicks(c.clicks);
    }
    CheckInvariants();

    const std::vector<TPoint> shapeBefore = Positions(*ab);
    const std::vector<TPoint> polygonBefore = Positions(*owner);
    TEditResult result;
    EXPECT_EQ(UndoShapeRemove(net, window, result), c.restores);
    if (c.restores) {
        EXPECT_EQ(Positions(*ab), shape);
        EXPECT_EQ(Positions(*owner), polygon);
    } else {
        EXPECT_EQ(Positions(*ab), shapeBefore) << "a stale record changed the link";
        EXPECT_EQ(Positions(*owner), polygonBefore) << "a stale record changed the polygon";
    }
    CheckInvariants();
}

const TShapeUndoCase kShapeUndoCases[] = {
    {"LinkDirection", sketchstates::linkreversemode, {{400, 0}, {0, 0}}, false},
    {"LinkDirectionUnchanged", sketchstates::linkreversemode, {{0, 0}, {400, 0}}, true},
    {"NodeMergeRebuildingThePolygon", sketchstates::nodemerge, {{650, 350}, {550, 350}}, false},
    {"NodeMergeOfAVertex", sketchstates::nodemerge, {{500, 300}, {500, 400}}, false},
    {"ShapePointToNode", sketchstates::shapetonode, {{200, 80}}, false},
    {"NodeToShapePoint", sketchstates::nodetoshape, {{400, 0}}, false},
    {"LinkSplice", sketchstates::linkfusemode, {{400, 0}}, false},
    {"LinkDelete", sketchstates::linkdeletemode, {{0, 0}, {400, 0}}, false},
    {"NodeDelete", sketchstates::nodedeletemode, {{0, 0}}, false},
    {"LinkSplit", sketchstates::linksplitmode, {{0, 0}, {400, 0}, {200, 200}, {0, 0, true}}, false},
    {"LinkIntersect", sketchstates::linkintersect, {{0, 0}, {400, 0}}, false},
    {"ShapePointInsert", sketchstates::linkshapeinsert, {{0, 0}, {200, 80}, {50, -50}, {0, 0, true}}, false},
    {"NodePlotElsewhere", sketchstates::nodeplotmode, {{900, 900}, {0, 0, true}}, true},
};

INSTANTIATE_TEST_SUITE_P(Table, ShapeUndoAfter,
                         ::testing::Combine(::testing::ValuesIn(kShapeUndoCases), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "InAnotherView" : "InTheSameView");
                         });

// ---- merge ----

TEST_F(EditModes, NodeMergeNeedsTwoDifferentNodes) {
    TNode* m = Node(0, 0);
    TNode* n = Node(100, 0);
    TNode* c = Node(0, 100);
    Link(c, m);
    Choose(sketchstates::nodemerge);
    Clicks({{0, 0}, {0, 0}, {50, 50}});
    EXPECT_EQ(window.LastNode, m);
    EXPECT_TRUE(m->IsDrawnN);
    Click(100, 0);
    EXPECT_FALSE(m->IsDrawnN);
    EXPECT_NE(DrawnLink(c, n), nullptr);
    EXPECT_EQ(window.LastNode, nullptr);
    CheckInvariants();
}

// ---- Select Object, Delete and dragging ----

TEST_F(EditModes, SelectObjectSelectsANodeOrAShapePoint) {
    TNode* a = Node(0, 0);
    TNode* b = Node(300, 0);
    TLinkValues* ab = Link(a, b, {{150, 60}});
    const TClickOutcome onNode = Click(1, 0);
    EXPECT_EQ(session.Selected(), a);
    ASSERT_TRUE(onNode.result.status);
    EXPECT_EQ(*onNode.result.status, "0,0");
    Click(150, 61);
    EXPECT_EQ(session.Selected(), ab->ShapePoints[0]);
    Click(150, 200);
    EXPECT_EQ(session.Selected(), nullptr);
    EXPECT_FALSE(net.Modified);
}

TEST_F(EditModes, DeleteKeyRemovesTheSelection) {
    TNode* a = Node(0, 0);
    TNode* b = Node(300, 0);
    TLinkValues* ab = Link(a, b, {{150, 60}});
    const TNetworkPoint* sp = ab->ShapePoints[0];
    Click(150, 60);
    const TClickOutcome removed = session.Delete(net, window);
    EXPECT_TRUE(ab->ShapePoints.empty());
    ASSERT_EQ(removed.freed.size(), 1u);
    EXPECT_EQ(removed.freed[0], sp);
    EXPECT_EQ(session.Selected(), nullptr);
    // A second Delete has nothing left to remove.
    EXPECT_TRUE(session.Delete(net, window).freed.empty());

    Click(300, 0);
    session.Delete(net, window);
    EXPECT_FALSE(b->IsDrawnN);
    EXPECT_FALSE(ab->IsDrawnL);
    EXPECT_EQ(session.Selected(), nullptr);
    CheckInvariants();

    // Outside Select Object the key does nothing.
    Choose(sketchstates::nodedeletemode);
    net.Modified = false;
    session.Delete(net, window);
    EXPECT_TRUE(a->IsDrawnN);
    EXPECT_FALSE(net.Modified);
}

TEST_F(EditModes, DraggingANodeMovesItAndRepaintsWhatItTouched) {
    TNode* a = Node(0, 0);
    TNode* b = Node(300, 0);
    Link(a, b);
    Click(0, 0);
    session.BeginDrag(net, window, 0, 0);
    EXPECT_EQ(window.Dragged, a);
    EXPECT_TRUE(session.Dragging());
    session.DragTo(net, window, 40, 80);
    EXPECT_TRUE(a->IsAt(40, 80));
    const TEditResult end = session.EndDrag(net, window, 60, 90);
    EXPECT_TRUE(a->IsAt(60, 90));
    EXPECT_EQ(window.Dragged, nullptr);
    EXPECT_FALSE(session.Dragging());
    for (TPoint p : {TPoint{0, 0}, TPoint{40, 80}, TPoint{60, 90}, TPoint{300, 0}})
        EXPECT_TRUE(Covers(end, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_TRUE(net.Modified);
    CheckInvariants();
}

TEST_F(EditModes, ACancelledDragLeavesThePointAtItsLastPlace) {
    TNode* a = Node(0, 0);
    TNode* b = Node(300, 0);
    TLinkValues* ab = Link(a, b, {{150, 60}});
    TShapePoint* sp = ab->ShapePoints[0];
    struct Case {
        std::int32_t x, y;
        TNetworkPoint* point;
        TPoint to;
    };
    const Case cases[] = {{0, 0, a, {20, -30}}, {150, 60, sp, {150, 120}}};
    for (const Case& c : cases) {
        Click(c.x, c.y);
        ASSERT_EQ(session.Selected(), c.point);
        session.BeginDrag(net, window, c.x, c.y);
        session.DragTo(net, window, c.to.x, c.to.y);
        const TEditResult r = session.CancelDrag(net, window);
        EXPECT_TRUE(c.point->IsAt(c.to.x, c.to.y));
        EXPECT_EQ(window.Dragged, nullptr);
        EXPECT_FALSE(session.Dragging());
        EXPECT_TRUE(Covers(r, c.x, c.y));
        EXPECT_EQ(net.Hash.Address(c.to.x, c.to.y)->PointAt(c.to.x, c.to.y), c.point);
        CheckInvariants();
    }
    // Without a selection there is nothing to drag.
    Click(500, 500);
    session.BeginDrag(net, window, 500, 500);
    EXPECT_FALSE(session.Dragging());
}

TEST_F(EditModes, APointFreedByAnotherViewIsForgotten) {
    TNode* a = Node(0, 0);
    TNode* b = Node(300, 0);
    TLinkValues* ab = Link(a, b, {{150, 60}});
    TShapePoint* sp = ab->ShapePoints[0];
    Click(150, 60);
    session.BeginDrag(net, window, 150, 60);
    ASSERT_EQ(window.Dragged, sp);
    session.Forget(window, sp);
    EXPECT_FALSE(session.Dragging());
    EXPECT_EQ(window.Dragged, nullptr);
    EXPECT_EQ(session.Selected(), nullptr);
    EXPECT_TRUE(session.CancelDrag(net, window).repaint.empty());
}

TEST_F(EditModes, ChoosingAModeEndsADrag) {
    TNode* a = Node(0, 0);
    Click(0, 0);
    session.BeginDrag(net, window, 0, 0);
    session.DragTo(net, window, 70, 70);
    Choose(sketchstates::nodeplotmode);
    EXPECT_EQ(window.Dragged, nullptr);
    EXPECT_TRUE(a->IsAt(70, 70));
}

// ---- hover hint ----

TEST_F(EditModes, HoverHintShowsLabelsAndPositiveCoordinates) {
    TNode* a = Node(0, 0);
    TNode* b = Node(300, 0);
    a->alabel = "Pump";
    TLinkValues* ab = Link(a, b, {{100, 50}, {200, 50}});
    ab->alabel = "Main St";
    struct Case {
        std::int32_t longitude, latitude, elevation;
        std::string hint;
    };
    const Case cases[] = {{-755000000, -100000000, 0, "Pump"},
                          {-755000000, 400000000, 0, "Pump [-75.5, 40]"},
                          {0, 0, 123450, "Pump [0, 0, 12.345]"},
                          {1, 0, 0, "Pump [1e-07, 0]"}};
    window.LastMouseX = 1;
    window.LastMouseY = -1;
    for (const Case& c : cases) {
        a->long_ = c.longitude;
        a->lat = c.latitude;
        a->elev = c.elevation;
        const std::optional<std::string> hint = session.GenerateHint(net, window);
        ASSERT_TRUE(hint);
        EXPECT_EQ(*hint, c.hint);
    }
    window.LastMouseX = 200;
    window.LastMouseY = 50;
    EXPECT_EQ(session.GenerateHint(net, window), std::optional<std::string>("2: Main St"));
    window.LastMouseX = 150;
    window.LastMouseY = 150;
    EXPECT_FALSE(session.GenerateHint(net, window));
}

} // namespace
} // namespace zan

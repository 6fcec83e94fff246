#include "EditingInvariants.h"
#include "editing/LinkOperations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/model/NetworkFixture.h"

namespace zan {
namespace {

class LinkOperationsTest : public testing::NetworkFixture {
protected:
    LinkOperationsTest() {
        // Link type 1: attributes 1 (integer), 2 (real), 3 (string), 10 (real); type 2: 1 and 10 real.
        TEntityType& one = net.LinkDef.Classs[1];
        one.atcount = 10;
        for (int i = 1; i <= 10; ++i)
            one.EnsureAttribute(i).aformat = 'R';
        one.EnsureAttribute(1).aformat = 'I';
        one.EnsureAttribute(3).aformat = 'S';
        one.numstrings = 1;
        TEntityType& two = net.LinkDef.Classs[2];
        two.atcount = 10;
        for (int i = 1; i <= 10; ++i)
            two.EnsureAttribute(i).aformat = 'R';
    }

    void SetValues(TLinkValues* link, std::vector<double> values, std::string text = {}) {
        link->ResizeValues(static_cast<std::int32_t>(values.size()));
        std::copy(values.begin(), values.end(), link->LValue.get());
        FitStrings(link->AttString, net.LinkDef.StringCount(link->LType));
        if (!link->AttString.empty())
            link->AttString[0] = TText(text);
    }
    static std::vector<double> Values(const TLinkValues* link) {
        return std::vector<double>(link->LValue.get(), link->LValue.get() + link->ValueCount());
    }
    static std::vector<TPoint> Shape(const TLinkValues* link) {
        std::vector<TPoint> points;
        for (const TShapePoint* sp : link->ShapePoints)
            points.push_back(sp->Position());
        return points;
    }
    std::int32_t DrawnLinks() {
        std::int32_t n = 0;
        net.Hash.ForEachLink([&](TLinkValues& l) { n += l.IsDrawnL ? 1 : 0; });
        return n;
    }

    // The structural invariants every editing operation keeps.
    void CheckInvariants() { testing::CheckEditingInvariants(net); }

    TEditResult result;
};

// ---- link plot ----

TEST_F(LinkOperationsTest, PlotOnLinkedNodesChangesNothing) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TLinkValues* link = Link(a, b, {{50, 20}});
    struct Case {
        bool fromA;
    };
    for (const Case c : {Case{true}, Case{false}}) {
        const std::int32_t links = net.NumberOfLinks;
        TLinkPlotOutcome outcome{};
        TLinkValues* got = c.fromA ? LinkPlot(net, window, *a, *b, outcome, result)
                                   : LinkPlot(net, window, *b, *a, outcome, result);
        EXPECT_EQ(got, link);
        EXPECT_EQ(outcome, TLinkPlotOutcome::existed);
        EXPECT_EQ(net.NumberOfLinks, links);
        EXPECT_EQ(link->AEnd, a) << "an existing drawn link keeps its direction";
        EXPECT_EQ(a->LinkList.size(), 1u);
    }
    CheckInvariants();
}

TEST_F(LinkOperationsTest, PlotOverDeletedReverseLinkRestoresItFully) {
    TNode* a = Node(0, 0);
    TNode* b = Node(300, 0);
    TNode* owner = Node(1000, 1000);
    TLinkValues* link = Link(b, a, {{200, -50}, {100, 60}});
    Polygon(owner, {owner, link->ShapePoints[0], a});
    LinkDelete(net, window, *b, *link, result);
    ASSERT_FALSE(link->IsDrawnL);
    EXPECT_FALSE(owner->PolygonRectangle.Contains(200, -50)) << "hidden vertex leaves the polygon";
    CheckInvariants();

    TLinkPlotOutcome outcome{};
    TLinkValues* got = LinkPlot(net, window, *a, *b, outcome, result);
    EXPECT_EQ(got, link);
    EXPECT_EQ(outcome, TLinkPlotOutcome::restored);
    EXPECT_TRUE(link->IsDrawnL);
    EXPECT_TRUE(link->IsNodeDelete);
    EXPECT_EQ(link->AEnd, a);
    EXPECT_EQ(link->BEnd, b);
    EXPECT_TRUE(a->LinkList[0]->IsAEnd());
    EXPECT_EQ(Shape(link), (std::vector<TPoint>{{100, 60}, {200, -50}}));
    for (const TShapePoint* sp : link->ShapePoints)
        EXPECT_TRUE(sp->IsDrawnN);
    EXPECT_TRUE(owner->PolygonRectangle.Contains(200, -50));
    EXPECT_TRUE(net.DeleteStack.empty()) << "the restored link's deletion record is spent";
    CheckInvariants();
}

TEST_F(LinkOperationsTest, PlotCreatesFromTemplateOrRefuses) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    net.InitialLink.LType = 1;
    net.InitialLink.IsNodeDelete = false;
    SetValues(&net.InitialLink, {4, 2.5}, "x");
    TLinkPlotOutcome outcome{};
    EXPECT_EQ(LinkPlot(net, window, *a, *a, outcome, result), nullptr);
    EXPECT_EQ(outcome, TLinkPlotOutcome::refused);
    TLinkValues* made = LinkPlot(net, window, *a, *b, outcome, result);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(outcome, TLinkPlotOutcome::created);
    EXPECT_EQ(made->AEnd, a);
    EXPECT_EQ(made->ValueCount(), 10);
    EXPECT_EQ(made->LValue[0], 4);
    EXPECT_EQ(made->LValue[1], 2.5);
    EXPECT_EQ(made->LValue[9], 0);
    ASSERT_EQ(made->AttString.size(), 1u);
    EXPECT_EQ(made->AttString[0], TText("x"));
    EXPECT_TRUE(made->IsDrawnL);
    EXPECT_TRUE(made->IsNodeDelete);
    EXPECT_TRUE(net.Modified);
    CheckInvariants();
}

// ---- delete and direction ----

TEST_F(LinkOperationsTest, DeleteHidesAndRecords) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TLinkValues* link = Link(a, b, {{50, 40}});
    LinkDelete(net, window, *b, *link, result);
    EXPECT_FALSE(link->IsDrawnL);
    EXPECT_FALSE(link->IsNodeDelete);
    EXPECT_FALSE(link->ShapePoints[0]->IsDrawnN);
    ASSERT_EQ(net.DeleteStack.size(), 1u);
    EXPECT_EQ(net.DeleteStack[0].node, b);
    EXPECT_EQ(net.DeleteStack[0].link, link);
    EXPECT_FALSE(net.DeleteStack[0].IsNodeDelete);
    EXPECT_FALSE(IsRetiredLink(net, *link));
    CheckInvariants();
}

TEST_F(LinkOperationsTest, DirectionTable) {
    struct Case {
        bool pickB; // the node picked first is the B end
        std::vector<TPoint> shape;
        std::vector<TPoint> expected;
    };
    const std::vector<Case> cases = {
        {false, {{1000, 10}, {2000, 20}}, {{1000, 10}, {2000, 20}}},
        {true, {{1000, 10}, {2000, 20}}, {{2000, 20}, {1000, 10}}},
        {true, {}, {}},
    };
    std::int32_t y = 0;
    for (const Case& c : cases) {
        // Ends in different cells: the cell of the A end holds the link's rectangle.
        TNode* a = Node(0, y);
        TNode* b = Node(5000, y + 5000);
        y += 20000;
        TLinkValues* link = Link(a, b, c.shape);
        TEditResult r;
        LinkDirection(net, window, *link, c.pickB ? *b : *a, r);
        EXPECT_EQ(r.changed, c.pickB);
        EXPECT_EQ(link->AEnd, c.pickB ? b : a);
        EXPECT_EQ(link->BEnd, c.pickB ? a : b);
        EXPECT_EQ(Shape(link), c.expected);
        EXPECT_EQ(b->LinkList[0]->IsAEnd(), c.pickB);
        THashEntry* oldCell = net.Hash.Address(a->x_cent, a->y_cent);
        EXPECT_EQ(oldCell->linkcomprectangle.Contains(5000, y - 15000), !c.pickB);
        CheckInvariants();
    }
}

TEST_F(LinkOperationsTest, DirectionChangeDropsShapeRemovalUndo) {
    TNode* a = Node(0, 0);
    TNode* b = Node(400, 0);
    TLinkValues* link = Link(a, b, {{100, 10}, {200, 20}, {300, 30}});
    ASSERT_TRUE(ShapePointRemove(net, window, *link->ShapePoints[0], result));
    LinkDirection(net, window, *link, *b, result);
    EXPECT_FALSE(UndoShapeRemove(net, window, result));
    EXPECT_EQ(link->ShapePoints.size(), 2u);
}

// ---- split and splice ----

TEST_F(LinkOperationsTest, SplitKeepsValuesAndOrientation) {
    for (bool pickAFirst : {true, false}) {
        TNode* a = Node(0, pickAFirst ? 0 : 500);
        TNode* b = Node(200, pickAFirst ? 0 : 500);
        TLinkValues* link = Link(a, b, {{100, pickAFirst ? 50 : 550}});
        SetValues(link, {3, 1.25, 0, 0, 0, 0, 0, 0, 0, 7}, "road");
        link->alabel = TText("Main");
        TNode* first = pickAFirst ? a : b;
        TNode* second = pickAFirst ? b : a;
        LinkDelete(net, window, *first, *link, result);
        TNode* n = Node(100, pickAFirst ? 100 : 600);
        LinkSplitFinish(net, window, *link, *first, *second, *n, result);
        TLinkValues* one = FindLinkBetween(*a, *n);
        TLinkValues* two = FindLinkBetween(*n, *b);
        ASSERT_NE(one, nullptr);
        ASSERT_NE(two, nullptr);
        for (TLinkValues* made : {one, two}) {
            EXPECT_TRUE(made->IsDrawnL);
            EXPECT_TRUE(made->IsNodeDelete);
            EXPECT_FALSE(made->Mark);
            EXPECT_EQ(made->LType, 1);
            EXPECT_EQ(made->alabel, TText("Main"));
            EXPECT_EQ(Values(made), (std::vector<double>{3, 1.25, 0, 0, 0, 0, 0, 0, 0, 7}));
            ASSERT_EQ(made->AttString.size(), 1u);
            EXPECT_EQ(made->AttString[0], TText("road"));
            EXPECT_TRUE(made->ShapePoints.empty());
        }
        // Oriented as the split link ran, from a to b.
        EXPECT_EQ(one->AEnd, a);
        EXPECT_EQ(two->BEnd, b);
        EXPECT_EQ(link->LType, 0);
        EXPECT_FALSE(link->IsDrawnL);
        CheckInvariants();
    }
}

TEST_F(LinkOperationsTest, SpliceRulesTable) {
    struct Case {
        std::int32_t rule;
        bool matchTypes;
        std::uint8_t downType;
        std::vector<double> expected; // attributes 1, 2 and 10 of the new link
        std::uint8_t expectedType;
    };
    const std::vector<Case> cases = {
        // Integer 1 sums 2.25 + 0.25 to 2 (half to even), real 10 sums, 2 is not in the text.
        {1, false, 1, {2, 1, 30}, 1},
        {2, false, 1, {2, 2, 30}, 1},
        // Types differ and must match: nothing is summed.
        {1, true, 2, {2.25, 1, 10}, 1},
        // Types differ, no match needed: attribute 1 is numeric in both types, so it adds.
        {2, false, 2, {2.5, 2, 30}, 2},
        // The template's values and type; attribute 2 adds (numeric in every type).
        {0, false, 1, {9, 3, 9}, 5},
    };
    std::int32_t y = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        net.LinkDef.Classs[5].atcount = 10;
        net.InitialLink.LType = 5;
        SetValues(&net.InitialLink, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
        window.SpliceRules.linkfuserule = c.rule;
        window.SpliceRules.MatchTypes = c.matchTypes;
        window.SpliceRules.linkfuseadd = c.rule == 0 ? "2" : "1a";
        DeriveAttributesToAdd(window.SpliceRules);
        TNode* u = Node(0, y);
        TNode* n = Node(100, y);
        TNode* d = Node(200, y);
        y += 1000;
        TLinkValues* up = Link(u, n, {{50, y - 990}}, 1);
        SetValues(up, {2.25, 1, 0, 0, 0, 0, 0, 0, 0, 10}, "up");
        TLinkValues* down = Link(n, d, {}, c.downType);
        SetValues(down, {0.25, 2, 0, 0, 0, 0, 0, 0, 0, 20}, "down");
        net.InitialLink.LType = 5;
        SetValues(&net.InitialLink, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
        ASSERT_TRUE(LinkSplice(net, window, *n, result));
        EXPECT_FALSE(n->IsDrawnN);
        EXPECT_FALSE(up->IsDrawnL);
        EXPECT_EQ(up->LType, 0);
        TLinkValues* made = FindLinkBetween(*u, *d);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->AEnd, u);
        EXPECT_TRUE(made->IsDrawnL);
        EXPECT_TRUE(made->IsNodeDelete);
        EXPECT_EQ(made->LType, c.expectedType);
        ASSERT_EQ(made->ValueCount(), 10);
        EXPECT_EQ((std::vector<double>{made->LValue[0], made->LValue[1], made->LValue[9]}), c.expected);
        EXPECT_EQ(static_cast<std::int32_t>(made->AttString.size()), net.LinkDef.StringCount(made->LType));
        EXPECT_EQ(window.LastNode, nullptr);
        CheckInvariants();
    }
}

TEST_F(LinkOperationsTest, SpliceRefusedWhenEndsAlreadyLinked) {
    TNode* u = Node(0, 0);
    TNode* n = Node(100, 0);
    TNode* d = Node(200, 0);
    TLinkValues* up = Link(u, n);
    TLinkValues* down = Link(n, d);
    Link(d, u, {{100, 100}});
    EXPECT_FALSE(LinkSplice(net, window, *n, result));
    EXPECT_TRUE(n->IsDrawnN);
    EXPECT_TRUE(up->IsDrawnL);
    EXPECT_TRUE(down->IsDrawnL);
    EXPECT_TRUE(net.DeleteStack.empty());
    // Two leaving links: not a through node.
    TNode* m = Node(0, 500);
    Link(m, Node(100, 500));
    Link(m, Node(0, 600));
    EXPECT_FALSE(LinkSplice(net, window, *m, result));
    EXPECT_TRUE(m->IsDrawnN);
    CheckInvariants();
}

TEST(SpliceRules, AttributesToAddFromText) {
    TSpliceRules rules;
    rules.attributestoadd[5] = true;
    rules.linkfuseadd = "1aA9z?";
    DeriveAttributesToAdd(rules);
    std::vector<int> set;
    for (int i = 0; i < 36; ++i) {
        if (rules.attributestoadd[static_cast<std::size_t>(i)])
            set.push_back(i);
    }
    EXPECT_EQ(set, (std::vector<int>{1, 9, 10, 35}));
}

// ---- shape points ----

TEST_F(LinkOperationsTest, ShapeInsertPositionTable) {
    TNode* a = Node(0, 0);
    TNode* b = Node(400, 0);
    TNode* c = Node(0, 400);
    TLinkValues* link = Link(a, b, {{100, 10}, {200, 20}, {300, 30}});
    TLinkValues* bare = Link(a, c);
    TShapePoint* s0 = link->ShapePoints[0];
    TShapePoint* s1 = link->ShapePoints[1];
    TShapePoint* s2 = link->ShapePoints[2];
    struct Case {
        TNode* nodeA;
        TShapePoint* spA;
        TNode* nodeB;
        TShapePoint* spB;
        std::optional<std::int32_t> expected;
        TLinkValues* expectedLink;
    };
    const std::vector<Case> cases = {
        {nullptr, s0, nullptr, s1, 1, link},     {nullptr, s2, nullptr, s1, 2, link},
        {nullptr, s0, nullptr, s2, {}, nullptr}, {nullptr, s1, nullptr, s1, {}, nullptr},
        {a, nullptr, nullptr, s1, 0, link},      {nullptr, s2, a, nullptr, 0, link},
        {b, nullptr, nullptr, s0, 3, link},      {c, nullptr, nullptr, s0, {}, nullptr},
        {a, nullptr, c, nullptr, 0, bare},       {a, nullptr, b, nullptr, {}, nullptr},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const Case& k = cases[i];
        TLinkValues* got = nullptr;
        EXPECT_EQ(ShapeInsertPosition(k.nodeA, k.spA, k.nodeB, k.spB, got), k.expected);
        EXPECT_EQ(got, k.expectedLink);
    }
}

TEST_F(LinkOperationsTest, InsertBetweenNodeAAndShapePointGoesFirst) {
    TNode* a = Node(0, 0);
    TNode* b = Node(400, 0);
    TLinkValues* link = Link(a, b, {{100, 10}, {200, 20}});
    ASSERT_TRUE(ShapePointRemove(net, window, *link->ShapePoints[1], result));
    TLinkValues* got = nullptr;
    const auto at = ShapeInsertPosition(a, nullptr, nullptr, link->ShapePoints[0], got);
    ASSERT_EQ(at, 0);
    TShapePoint* sp = ShapePointInsert(net, window, *got, *at, 50, -700, result);
    ASSERT_NE(sp, nullptr);
    EXPECT_EQ(Shape(link), (std::vector<TPoint>{{50, -700}, {100, 10}}));
    EXPECT_EQ(window.shapepointhold.TheLink, nullptr) << "an insertion clears the removal undo";
    EXPECT_FALSE(UndoShapeRemove(net, window, result));
    CheckInvariants();
}

TEST_F(LinkOperationsTest, RemoveAndUndoRestoresInPlace) {
    TNode* a = Node(0, 0);
    TNode* b = Node(400, 0);
    TNode* p = Node(1000, 1000);
    TNode* q = Node(2000, 1000);
    TLinkValues* link = Link(a, b, {{100, 10}, {200, -900}, {300, 30}});
    TShapePoint* s = link->ShapePoints[1];
    Polygon(p, {a, b, s});
    Polygon(q, {s, q, b});
    const TRect rectP = p->PolygonRectangle;
    const TRect rectQ = q->PolygonRectangle;
    window.LastSp = s;
    ASSERT_TRUE(ShapePointRemove(net, window, *s, result));
    EXPECT_EQ(window.LastSp, nullptr);
    EXPECT_EQ(Shape(link), (std::vector<TPoint>{{100, 10}, {300, 30}}));
    EXPECT_EQ(p->MyPolygonList.Count(), 2);
    EXPECT_FALSE(p->PolygonRectangle.Contains(200, -900));
    EXPECT_FALSE(link->LinkRect.Contains(200, -900));
    CheckInvariants();

    ASSERT_TRUE(UndoShapeRemove(net, window, result));
    EXPECT_EQ(Shape(link), (std::vector<TPoint>{{100, 10}, {200, -900}, {300, 30}}));
    TShapePoint* back = link->ShapePoints[1];
    EXPECT_EQ(p->MyPolygonList.IndexOf(back), 2);
    EXPECT_EQ(q->MyPolygonList.IndexOf(back), 0);
    EXPECT_EQ(p->PolygonRectangle, rectP);
    EXPECT_EQ(q->PolygonRectangle, rectQ);
    EXPECT_EQ(back->YourPolygonList.Count(), 2);
    EXPECT_FALSE(UndoShapeRemove(net, window, result)) << "one level only";
    CheckInvariants();
}

TEST_F(LinkOperationsTest, UndoDroppedWhenLinkDeleted) {
    TNode* a = Node(0, 0);
    TNode* b = Node(400, 0);
    TLinkValues* link = Link(a, b, {{100, 10}, {200, 20}});
    ASSERT_TRUE(ShapePointRemove(net, window, *link->ShapePoints[0], result));
    LinkDelete(net, window, *a, *link, result);
    EXPECT_FALSE(UndoShapeRemove(net, window, result));
    EXPECT_EQ(link->ShapePoints.size(), 1u);
    CheckInvariants();
}

// ---- intersect ----

TEST_F(LinkOperationsTest, IntersectCrossingMakesOneNodeAndRetiresLinks) {
    TNode* top = Node(0, -100);
    TNode* bottom = Node(0, 100);
    TNode* left = Node(-100, 0);
    TNode* right = Node(100, 0);
    TLinkValues* vertical = Link(top, bottom, {}, 2);
    TLinkValues* horizontal = Link(left, right, {}, 1);
    SetValues(horizontal, {5, 6, 0, 0, 0, 0, 0, 0, 0, 1}, "h");
    horizontal->alabel = TText("H");
    const std::int32_t nodes = net.NumberOfNodes;
    EXPECT_TRUE(LinkIntersectAction(net, window, *vertical, result));
    EXPECT_EQ(net.NumberOfNodes, nodes + 1);
    TNode* n = nullptr;
    TShapePoint* sp = nullptr;
    ASSERT_TRUE(net.Hash.SearchMe(n, sp, 0, 0, true, true, window));
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->LinkList.size(), 4u);
    EXPECT_EQ(DrawnLinks(), 4);
    for (TLinkValues* old : {vertical, horizontal}) {
        EXPECT_FALSE(old->IsDrawnL);
        EXPECT_FALSE(old->IsNodeDelete) << "must not come back when an end node is undeleted";
        EXPECT_TRUE(IsRetiredLink(net, *old));
    }
    TLinkValues* west = FindLinkBetween(*left, *n);
    ASSERT_NE(west, nullptr);
    EXPECT_EQ(west->AEnd, left);
    EXPECT_EQ(west->LType, 1);
    EXPECT_EQ(west->alabel, TText("H"));
    EXPECT_EQ(Values(west), Values(horizontal));
    EXPECT_EQ(FindLinkBetween(*n, *bottom)->LType, 2);
    EXPECT_TRUE(net.DeleteStack.empty());
    // A retired link is not revived by plotting between its ends.
    EXPECT_EQ(FindLinkBetween(net, *left, *right), nullptr);
    TLinkPlotOutcome outcome{};
    TLinkValues* direct = LinkPlot(net, window, *left, *right, outcome, result);
    EXPECT_EQ(outcome, TLinkPlotOutcome::created);
    EXPECT_NE(direct, horizontal);
    EXPECT_FALSE(horizontal->IsDrawnL);
    CheckInvariants();
}

TEST_F(LinkOperationsTest, IntersectAtCoincidentShapePoints) {
    // Three links pass through (100, 100) at a shape point each; the picked one meets both there.
    TNode* a1 = Node(0, 0);
    TNode* a2 = Node(200, 0);
    TLinkValues* a = Link(a1, a2, {{100, 100}});
    TLinkValues* l = Link(Node(50, 300), Node(150, 300), {{100, 100}});
    TLinkValues* k = Link(Node(-100, 100), Node(-50, 250), {{100, 100}, {0, 200}});
    TNode* owner = Node(1000, 1000);
    TShapePoint* shared = a->ShapePoints[0];
    Polygon(owner, {owner, shared, l->ShapePoints[0]});
    EXPECT_TRUE(LinkIntersectAction(net, window, *a, result));
    TNode* n = nullptr;
    TShapePoint* sp = nullptr;
    ASSERT_TRUE(net.Hash.SearchMe(n, sp, 100, 100, true, true, window));
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->LinkList.size(), 6u);
    EXPECT_EQ(DrawnLinks(), 6);
    for (TLinkValues* old : {a, l, k})
        EXPECT_FALSE(old->IsDrawnL);
    // The later shape point of k went with the second half.
    TLinkValues* kTail = nullptr;
    for (TLink* half : n->LinkList) {
        if (!half->LinkData->ShapePoints.empty())
            kTail = half->LinkData;
    }
    ASSERT_NE(kTail, nullptr);
    EXPECT_EQ(Shape(kTail), (std::vector<TPoint>{{0, 200}}));
    EXPECT_EQ(kTail->AEnd, n);
    // Both vertices were at the node's spot: the polygon keeps one vertex there, the node.
    ASSERT_EQ(owner->MyPolygonList.Count(), 2);
    EXPECT_EQ(owner->MyPolygonList[1], n);
    CheckInvariants();
}

TEST_F(LinkOperationsTest, IntersectWithoutCrossingChangesNothing) {
    TLinkValues* a = Link(Node(0, 0), Node(100, 0));
    Link(Node(0, 10), Node(100, 10));
    Link(Node(200, -50), Node(200, 50));
    EXPECT_FALSE(LinkIntersectAction(net, window, *a, result));
    EXPECT_EQ(DrawnLinks(), 3);
    EXPECT_TRUE(a->ShapePoints.empty());
    CheckInvariants();
}

// ---- crossing test ----

TEST(SegmentCrossing, Table) {
    struct Case {
        TPoint p1, p2, q1, q2;
        std::optional<TPoint> expected;
    };
    const std::vector<Case> cases = {
        {{100, -200}, {100, 300}, {-50, 100}, {400, 100}, TPoint{100, 100}}, // vertical first
        {{-50, 100}, {400, 100}, {100, -200}, {100, 300}, TPoint{100, 100}},
        {{0, 0}, {10, 10}, {0, 10}, {10, 0}, TPoint{5, 5}},
        {{0, 0}, {10, 10}, {20, 20}, {30, 30}, std::nullopt}, // collinear, apart
        {{0, 0}, {10, 10}, {5, 5}, {30, 30}, std::nullopt},   // collinear, overlapping
        {{0, 0}, {10, 0}, {0, 5}, {10, 5}, std::nullopt},     // parallel
        {{0, 0}, {10, 0}, {10, 0}, {10, 10}, TPoint{10, 0}},  // touching ends
        {{0, 0}, {10, 0}, {11, -5}, {11, 5}, std::nullopt},   // short of the segment
        {{0, 0}, {3, 0}, {1, 1}, {2, -2}, TPoint{1, 0}},      // 4/3 rounds to 1
        {{0, 0}, {1, 1}, {0, 1}, {1, 0}, TPoint{0, 0}},       // 0.5 rounds to even 0
        {{0, 0}, {3, 3}, {0, 3}, {3, 0}, TPoint{2, 2}},       // 1.5 rounds to even 2
        // Nearly parallel across the whole plane.
        {{-500000, -500000}, {500000, 500000}, {-500000, -499999}, {500000, 500002}, std::nullopt},
        {{-500000, -500000}, {500000, 500001}, {-500000, -499999}, {500000, 500000}, TPoint{0, 0}},
        {{-500000, -500000},
         {500000, 500000},
         {-500000, -499999},
         {500000, 499998},
         TPoint{-166667, -166667}},
        {{600000, -10}, {600000, 10}, {500000, 0}, {700000, 0}, std::nullopt}, // beyond the plane
        {{-2000000000, 0}, {2000000000, 1}, {0, -2000000000}, {1, 2000000000}, TPoint{1, 1}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        EXPECT_EQ(SegmentCrossing(c.p1, c.p2, c.q1, c.q2), c.expected);
    }
}

} // namespace
} // namespace zan

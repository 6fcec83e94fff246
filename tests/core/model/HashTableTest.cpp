#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "NetworkFixture.h"
#include "model/HashTable.h"

namespace zan {
namespace {

using HashTable = testing::NetworkFixture;

TEST_F(HashTable, CellNumbersRoundTowardsMinusInfinity) {
    struct Case {
        std::int32_t x;
        std::int16_t cell;
    };
    const Case cases[] = {{-1, -1}, {-1600, -1}, {-1601, -2}, {0, 0}, {1599, 0}, {1600, 1}, {512000, 320}};
    for (const Case& c : cases) {
        EXPECT_EQ(net.Hash.key(c.x, c.x).xkey(), c.cell) << c.x;
        EXPECT_EQ(net.Hash.key(c.x, c.x).ykey(), c.cell) << c.x;
        TNode* n = Node(c.x, 7);
        THashEntry* cell = net.Hash.Address(c.x, 7);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->x1, c.cell * 1600) << c.x;
        EXPECT_EQ(cell->x2, c.cell * 1600 + 1599) << c.x;
        EXPECT_EQ(n->MyKey.xkey(), c.x - cell->x1) << c.x;
        EXPECT_EQ(n->MyKey.ykey(), 7);
    }
    // Cells are kept in key order.
    for (std::int32_t i = 1; i < net.Hash.Count(); ++i) {
        EXPECT_LT(net.Hash[i - 1]->MyKey.whole, net.Hash[i]->MyKey.whole);
    }
    EXPECT_EQ(net.Hash.Address(1600 * 5, 0), nullptr);
    // Positions whose cell numbers leave 16 bits are refused rather than folded onto other cells.
    THashEntry* cell = nullptr;
    EXPECT_EQ(net.Hash.InsertNode(2147483647, 0, 0, false, cell), nullptr);
    EXPECT_EQ(net.Hash.Address(2147483647, 0), nullptr);
}

TEST_F(HashTable, ExactProbeAndRingSearch) {
    TNode* n = Node(100, 100);
    window.NodeExtent = 3;
    struct Case {
        std::int32_t x, y;
        bool once;
        bool found;
    };
    const Case cases[] = {
        {100, 100, true, true},   {101, 100, true, false}, {103, 103, false, true},  {97, 97, false, true},
        {104, 100, false, false}, {100, 96, false, false}, {104, 104, false, false},
    };
    for (const Case& c : cases) {
        TNode* position = nullptr;
        TShapePoint* sp = nullptr;
        EXPECT_EQ(net.Hash.SearchMe(position, sp, c.x, c.y, c.once, false, window), c.found)
            << c.x << "," << c.y;
        EXPECT_EQ(position, c.found ? n : nullptr);
        EXPECT_EQ(sp, nullptr);
    }
    // A wider extent reaches further; a hidden layer hides the node.
    window.NodeExtent = 4;
    TNode* position = nullptr;
    TShapePoint* sp = nullptr;
    EXPECT_TRUE(net.Hash.SearchMe(position, sp, 104, 100, false, false, window));
    window.selectedlayers[n->Layer] = 14; // shown from zoom 14; the window is at 13
    EXPECT_FALSE(net.Hash.SearchMe(position, sp, 100, 100, false, false, window));
    EXPECT_EQ(position, nullptr);
}

TEST_F(HashTable, RingSearchTakesTheFirstPositionInProbeOrder) {
    // Around (50, 50): the row above comes before the row below, which comes before the columns.
    TNode* below = Node(51, 51);
    TNode* left = Node(49, 50);
    TNode* position = nullptr;
    TShapePoint* sp = nullptr;
    ASSERT_TRUE(net.Hash.SearchMe(position, sp, 50, 50, false, false, window));
    EXPECT_EQ(position, below);
    TNode* above = Node(51, 49);
    ASSERT_TRUE(net.Hash.SearchMe(position, sp, 50, 50, false, false, window));
    EXPECT_EQ(position, above);
    above->IsDrawnN = false;
    below->IsDrawnN = false;
    ASSERT_TRUE(net.Hash.SearchMe(position, sp, 50, 50, false, false, window));
    EXPECT_EQ(position, left);
}

TEST_F(HashTable, CoincidentPointsAndShapePoints) {
    TNode* deleted = Node(10, 10);
    TNode* drawn = Node(10, 10);
    deleted->IsDrawnN = false;
    ASSERT_EQ(net.Hash.Address(10, 10)->NodeList.Count(), 2);
    TNode* position = nullptr;
    TShapePoint* sp = nullptr;
    ASSERT_TRUE(net.Hash.SearchMe(position, sp, 10, 10, true, false, window));
    EXPECT_EQ(position, drawn);

    TNode* a = Node(0, 500);
    TNode* b = Node(200, 500);
    TLinkValues* link = Link(a, b, {{100, 400}});
    TShapePoint* bend = link->ShapePoints[0];
    EXPECT_TRUE(net.Hash.SearchMe(position, sp, 100, 401, false, true, window));
    EXPECT_EQ(sp, bend);
    EXPECT_EQ(position, nullptr);
    EXPECT_FALSE(net.Hash.SearchMe(position, sp, 100, 400, false, false, window));

    // A node under the bend is what a node search finds there.
    TNode* under = Node(100, 400);
    EXPECT_TRUE(net.Hash.SearchMe(position, sp, 100, 400, true, false, window));
    EXPECT_EQ(position, under);

    // A bend of a deleted link is never picked; the node at the same place is.
    link->IsDrawnL = false;
    EXPECT_TRUE(net.Hash.SearchMe(position, sp, 100, 400, true, true, window));
    EXPECT_EQ(sp, nullptr);
    EXPECT_EQ(position, under);
    under->IsDrawnN = false;
    EXPECT_FALSE(net.Hash.SearchMe(position, sp, 100, 400, true, true, window));
}

TEST_F(HashTable, PlotableChecksLayerAndTheCursorPoint) {
    window.CurPosX = 40;
    window.CurPosY = 40;
    EXPECT_TRUE(net.Hash.Plotable(net.InitialNode, window));
    TNode* there = Node(40, 40);
    EXPECT_FALSE(net.Hash.Plotable(net.InitialNode, window));
    there->IsDrawnN = false;
    EXPECT_TRUE(net.Hash.Plotable(net.InitialNode, window));
    window.selectedlayers[net.InitialNode.Layer] = 0;
    EXPECT_FALSE(net.Hash.Plotable(net.InitialNode, window));
}

TEST_F(HashTable, SearchInputBySerialAtARecordedPosition) {
    TNode* first = Node(300, 300);
    TNode* elsewhere = Node(310, 320); // same cell, other position
    TNode* far = Node(5000, 5000);
    TNode* found = nullptr;
    EXPECT_TRUE(net.Hash.SearchInput(found, 300, 300, first->snumb));
    EXPECT_EQ(found, first);
    // Some point sits at the position: the serial is then looked up in the whole cell.
    EXPECT_TRUE(net.Hash.SearchInput(found, 300, 300, elsewhere->snumb));
    EXPECT_EQ(found, elsewhere);
    // Nothing at the position: fails, even though the serial exists.
    EXPECT_FALSE(net.Hash.SearchInput(found, 301, 300, elsewhere->snumb));
    EXPECT_FALSE(net.Hash.SearchInput(found, 300, 300, far->snumb));
    EXPECT_EQ(found, nullptr);

    // A shape point at the position is no node: the cell's nodes are searched by serial.
    TLinkValues* link = Link(first, far, {{400, 400}});
    TNode* near = Node(410, 410);
    EXPECT_TRUE(net.Hash.SearchInput(found, 400, 400, near->snumb));
    EXPECT_EQ(found, near);

    TLink* half = nullptr;
    EXPECT_TRUE(net.Hash.SearchInputLink(half, 300, 300, first->snumb, far->snumb));
    EXPECT_EQ(half->LinkData, link);
    EXPECT_FALSE(net.Hash.SearchInputLink(half, 300, 300, first->snumb, near->snumb));
    EXPECT_EQ(half, nullptr);
}

TEST(NamePattern, Matching) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"AB*", "AB", true},   {"AB*", "ABC", true},   {"AB*", "AB C", true},  {"AB*", "A", false},
        {"A?C", "ABC", true},  {"A?C", "A", false},    {"A?C", "AC D", false}, {"AB?", "AB", true},
        {"AB?", "ABX", true},  {"ABC", "ABCD", false}, {"ABC", "ABC  ", true}, {"ABC  ", "ABC", true},
        {"abc", "ABC", false}, {"", "", true},         {"", "A", false},       {"*", "anything", true},
        {"A*C", "A*C", true},  {"A*C", "AXC", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TNamePattern(c.pattern).Matches(c.name), c.matches) << c.pattern << " / " << c.name;
    }
    // A pattern is cut at its capacity.
    EXPECT_EQ(TNamePattern(std::string(300, 'x')).Text().size(), TNamePattern::kCapacity);
    EXPECT_EQ(TNamePattern(std::string(300, 'x') + "*").Text(), std::string(255, 'x'));
}

TEST(NamePattern, BucketSumIsOverUnsignedBytes) {
    EXPECT_EQ(totalascii("AB  "), (65 + 66) % 128);
    EXPECT_EQ(totalascii("\xBB\xFF"), (187 + 255) % 128);
    EXPECT_EQ(totalascii(""), 0);
}

TEST_F(HashTable, FindByNameAndSerial) {
    TNode* x1 = Node(0, 0, 1);
    TNode* x2 = Node(5000, 0, 2);
    TNode* x3 = Node(5000, 5000, 3);
    x1->alabel = "MAIN ST";
    x2->alabel = "MAIN AVE";
    x3->alabel = "ELM";
    EXPECT_EQ(net.Hash.FindNodeByName("MAIN*", false, window), x1);
    EXPECT_EQ(net.Hash.FindNodeByName("MAIN A??", false, window), x2);
    window.ExtractNodeTypes[2] = true;
    EXPECT_EQ(net.Hash.FindNodeByName("MAIN*", true, window), x2);
    x2->IsDrawnN = false;
    EXPECT_EQ(net.Hash.FindNodeByName("MAIN*", true, window), nullptr);

    TLinkValues* l1 = Link(x1, x2);
    TLinkValues* l2 = Link(x3, x2);
    l1->alabel = "ONE";
    l2->alabel = "ONE";
    l1->serial = 77;
    l2->serial = 77;
    TLink* half = net.Hash.FindLinkByName("ONE", false, window);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->LinkData, l1); // cell of x1 comes first in key order
    EXPECT_TRUE(half->IsAEnd());
    EXPECT_EQ(net.Hash.FindLinkByName("TWO", false, window), nullptr);

    // By serial: the given cell is searched before all others.
    EXPECT_EQ(net.Hash.FindLinkBySerial(77, 0, 0)->LinkData, l1);
    EXPECT_EQ(net.Hash.FindLinkBySerial(77, 5000, 5000)->LinkData, l2);
    EXPECT_EQ(net.Hash.FindLinkBySerial(77, 90000, 90000), nullptr); // no such cell
    l1->IsDrawnL = false;
    EXPECT_EQ(net.Hash.FindLinkBySerial(77, 0, 0)->LinkData, l2);

    net.Hash.BuildNameTables();
    EXPECT_EQ(net.Hash.GetTabledNodeName("ELM"), x3);
    EXPECT_EQ(net.Hash.GetTabledNodeName("MAIN ST"), x1);
    EXPECT_EQ(net.Hash.GetTabledNodeName("MAIN AVE"), nullptr); // deleted
    EXPECT_EQ(net.Hash.GetTabledLinkName("ONE")->LinkData, l2);
    net.Hash.DestroyNameTables();
    EXPECT_EQ(net.Hash.GetTabledNodeName("ELM"), nullptr);
}

TEST_F(HashTable, SearchLongLatAndNodePoly) {
    TNode* a = Node(10, 10);
    a->long_ = -870000000;
    a->lat = 410000000;
    a->Layer = 3;
    TNode* b = Node(20, 20);
    TLinkValues* link = Link(a, b, {{15, 15}});
    TShapePoint* sp = link->ShapePoints[0];
    sp->long_ = -870000001;
    sp->lat = 410000001;
    net.Hash.fixlonglat();

    TNode* n = nullptr;
    TShapePoint* s = nullptr;
    EXPECT_TRUE(net.Hash.SearchLongLat(10, 10, -870000000, 410000000, 3, n, s, false));
    EXPECT_EQ(n, a);
    EXPECT_FALSE(net.Hash.SearchLongLat(10, 10, -870000000, 410000000, 4, n, s, false));
    EXPECT_FALSE(net.Hash.SearchLongLat(15, 15, -870000001, 410000001, 4, n, s, false));
    EXPECT_TRUE(net.Hash.SearchLongLat(15, 15, -870000001, 410000001, 4, n, s, true));
    EXPECT_EQ(s, sp);
    EXPECT_EQ(n, nullptr);
    EXPECT_FALSE(net.Hash.SearchLongLat(10, 10, -860000000, 410000000, 3, n, s, true)); // outside the bounds

    b->PolyId = 12;
    b->CENID = "C12";
    a->PolyId = 12;
    EXPECT_TRUE(net.Hash.SearchNodePoly(12, "C12", n));
    EXPECT_EQ(n, b);
    EXPECT_FALSE(net.Hash.SearchNodePoly(12, "c12", n));
}

TEST_F(HashTable, FixStringsAndResetAttributeSizes) {
    net.NodeDef.Classs[1].numstrings = 3;
    net.NodeDef.Classs[1].atcount = 3;
    net.LinkDef.Classs[1].atcount = 2;
    TNode* a = Node(0, 0);
    TNode* b = Node(10, 0);
    TLinkValues* link = Link(a, b);
    ASSERT_EQ(a->AttString.size(), 3u);
    a->AttString[0] = "keep";
    a->AttString[2] = "drop";
    link->AttString.push_back(TText("surplus"));

    net.NodeDef.Classs[1].numstrings = 1;
    net.SystemDef.Classs[1].numstrings = 2;
    net.Hash.FixStrings();
    ASSERT_EQ(a->AttString.size(), 1u);
    EXPECT_EQ(a->AttString[0], "keep");
    EXPECT_EQ(link->AttString.size(), 0u);
    EXPECT_EQ(net.InitialNode.AttString.size(), 1u);
    EXPECT_EQ(net.SystemStrings.size(), 2u);

    for (int i = 0; i < 3; ++i)
        a->NValue[i] = i + 1.0;
    link->LValue[1] = 9;
    net.NodeDef.Classs[1].atcount = 5;
    net.Hash.ResetAttributeSizes(net.NodeDef);
    ASSERT_EQ(a->ValueCount(), 5);
    EXPECT_EQ(a->NValue[0], 1.0);
    EXPECT_EQ(a->NValue[2], 3.0);
    EXPECT_EQ(a->NValue[3], 0.0);
    EXPECT_EQ(a->NValue[4], 0.0);
    EXPECT_EQ(link->ValueCount(), 2); // the link schema did not change
    EXPECT_EQ(net.InitialNode.ValueCount(), 5);

    net.LinkDef.Classs[1].atcount = 1;
    net.Hash.ResetAttributeSizes(net.LinkDef);
    EXPECT_EQ(link->ValueCount(), 1);
    EXPECT_EQ(a->ValueCount(), 5);
}

TEST_F(HashTable, CountsByTypeSkipDeletedHiddenAndFiltered) {
    TNode* a = Node(0, 0, 1);
    TNode* b = Node(10, 0, 2);
    TNode* c = Node(20, 0, 2);
    TNode* hidden = Node(30, 0, 2);
    TNode* untyped = Node(40, 0, 0);
    hidden->Layer = 5;
    window.selectedlayers[5] = 0;
    Link(a, b, {}, 1);
    Link(b, c, {}, 3);
    Link(hidden, a, {}, 3);
    TLinkValues* gone = Link(c, a, {}, 3);
    gone->IsDrawnL = false;
    Link(untyped, a, {}, 4);
    Polygon(c, {a, b, untyped});

    elevenintegers counts{};
    net.Hash.NumberOfNodes(counts, window);
    EXPECT_EQ(counts, (elevenintegers{0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
    net.Hash.NumberOfPolygons(counts, window);
    EXPECT_EQ(counts, (elevenintegers{0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
    net.Hash.NumberOfLinks(counts, window);
    EXPECT_EQ(counts, (elevenintegers{0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0}));

    struct OnlyType2 : TElementFilter {
        bool PassesNode(const TNode& n) const override { return n.NType == 2; }
        bool PassesLink(const TLinkValues& l) const override { return l.LType == 3; }
    };
    net.Hash.NumberOfNodes(counts, window, OnlyType2());
    EXPECT_EQ(counts, (elevenintegers{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
    net.Hash.NumberOfLinks(counts, window, OnlyType2());
    EXPECT_EQ(counts, (elevenintegers{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(HashTable, RectanglesAndExtents) {
    TNode* a = Node(100, 100);
    TNode* b = Node(5000, 300);
    TNode* owner = Node(200, 200);
    TLinkValues* link = Link(a, b, {{2000, -400}});
    Polygon(owner, {a, link->ShapePoints[0], b});

    THashEntry* cellA = net.Hash.Address(100, 100);
    EXPECT_EQ(link->LinkRect, (TRect{100, -400, 5000, 300}));
    EXPECT_EQ(cellA->linkcomprectangle, link->LinkRect);
    EXPECT_EQ(cellA->compositerectangle, (TRect{100, -400, 5000, 300}));
    EXPECT_TRUE(cellA->HasPolygons);
    EXPECT_TRUE(net.Hash.HasPolygons);
    EXPECT_EQ(cellA->xdist, 4900);
    EXPECT_EQ(cellA->ydist, 200);
    EXPECT_TRUE(net.Hash.Address(5000, 300)->linkcomprectangle.IsEmpty()); // only A's cell holds it

    // Move b by hand, then recompute everything.
    net.Hash.UnplacePoint(*b);
    b->x_cent = 900;
    b->y_cent = 150;
    ASSERT_TRUE(net.Hash.PlacePoint(*b));
    net.Hash.fixrectangles(window);
    EXPECT_EQ(link->LinkRect, (TRect{100, -400, 2000, 150}));
    EXPECT_EQ(cellA->linkcomprectangle, link->LinkRect);
    EXPECT_EQ(window.XMin, 100);
    EXPECT_EQ(window.YMin, 100);
    EXPECT_EQ(window.XMax, 900);
    EXPECT_EQ(window.YMax, 200);
    net.Hash.ResetDistances();
    EXPECT_EQ(cellA->xdist, 1900);
    EXPECT_EQ(cellA->ydist, 550);

    // A deleted owner leaves its cell without polygons.
    owner->IsDrawnN = false;
    cellA->updatenoderectangle();
    EXPECT_FALSE(cellA->HasPolygons);
    EXPECT_TRUE(cellA->compositerectangle.IsEmpty());
}

TEST_F(HashTable, TouchMarksCellsNearTheRepaintedRectangle) {
    Node(100, 100);     // cell (0, 0)
    Node(20000, 20000); // cell (12, 12)
    Node(3300, 100);    // cell (2, 0)
    THashEntry* near = net.Hash.Address(100, 100);
    THashEntry* far = net.Hash.Address(20000, 20000);
    THashEntry* next = net.Hash.Address(3300, 100);
    // Logical coordinates are plane + scroll (10): a small repaint in the middle of cell (0, 0).
    net.Hash.Touch(TRect{500, 500, 600, 600}, false, window);
    EXPECT_TRUE(near->NodeTouch);
    EXPECT_TRUE(near->LinkTouch);
    EXPECT_FALSE(far->NodeTouch);
    EXPECT_FALSE(far->LinkTouch);
    EXPECT_FALSE(next->NodeTouch);
    // Cell (2, 0) starts at x = 3200: a repaint ending 20 + 16 + margins short of it reaches it.
    net.Hash.Touch(TRect{3000, 500, 3200 + 10 - 16 - 20 - 1, 600}, false, window);
    EXPECT_FALSE(next->NodeTouch);
    net.Hash.Touch(TRect{3000, 500, 3200 + 10 - 16 - 20, 600}, false, window);
    EXPECT_TRUE(next->NodeTouch);

    net.Hash.Touch(TRect::Empty(), false, window);
    EXPECT_FALSE(near->NodeTouch);
    net.Hash.Touch(TRect::Empty(), true, window);
    EXPECT_TRUE(far->NodeTouch);
    EXPECT_TRUE(far->LinkTouch);
    window.Plotting = true;
    net.Hash.Touch(TRect{500, 500, 600, 600}, false, window);
    EXPECT_TRUE(far->NodeTouch); // unchanged while plotting
}

TEST_F(HashTable, ReplaceNamesReplacesEveryOccurrenceSafely) {
    struct Case {
        const char* before;
        const char* from;
        const char* to;
        const char* after;
    };
    const Case cases[] = {
        {"ST ST ST", "ST", "STREET", "STREET STREET STREET"},
        {"AAA", "A", "AA", "AAAAAA"},
        {"AAA", "", "B", "AAA"},
        {"abc", "B", "X", "abc"},
        {"ROAD 1 ROAD 2 ROAD 3", "ROAD", "HIGHWAY", "HIGHWAY 1 HIGHWAY 2 HIGHWAY 3"},
    };
    for (const Case& c : cases) {
        TNode* n = Node(0, 0);
        n->alabel = c.before;
        net.Hash.ReplaceNames(c.from, c.to, true);
        EXPECT_EQ(n->alabel.str(), std::string(c.after).substr(0, 30)) << c.before;
        n->IsDrawnN = false; // out of the way of the next case
    }
    TNode* a = Node(0, 0);
    TNode* b = Node(9, 9);
    TLinkValues* link = Link(a, b);
    link->alabel = "OLD";
    a->alabel = "OLD";
    net.Hash.ReplaceNames("OLD", "NEW", false);
    EXPECT_EQ(link->alabel, "NEW");
    EXPECT_EQ(a->alabel, "OLD");
}

TEST_F(HashTable, RebuildMovesEveryPointAndKeepsLookupsWorking) {
    TNode* a = Node(-5, -5);
    TNode* b = Node(12345, -6789);
    TNode* c = Node(-300000, 400000);
    TLinkValues* ab = Link(a, b, {{100, 100}, {-2000, 3000}});
    Link(b, c);
    Polygon(a, {a, b, c});
    const std::int64_t points = net.Hash.PointCount();

    for (std::int32_t size : {16, 3200, 777, 32767}) {
        net.Hash.RebuildWithCells(size, size, window);
        EXPECT_EQ(net.Hash.MyXCellSize, size);
        EXPECT_EQ(net.Hash.PointCount(), points);
        for (TNetworkPoint* p :
             {static_cast<TNetworkPoint*>(a), static_cast<TNetworkPoint*>(b), static_cast<TNetworkPoint*>(c),
              static_cast<TNetworkPoint*>(ab->ShapePoints[1])}) {
            THashEntry* cell = net.Hash.Address(p->x_cent, p->y_cent);
            ASSERT_NE(cell, nullptr);
            EXPECT_TRUE(cell->Holds(p->x_cent, p->y_cent));
            EXPECT_EQ(cell->PointAt(p->x_cent, p->y_cent), p);
        }
        TNode* found = nullptr;
        TShapePoint* sp = nullptr;
        EXPECT_TRUE(net.Hash.SearchMe(found, sp, 12346, -6788, false, false, window));
        EXPECT_EQ(found, b);
        EXPECT_EQ(window.XMin, -300000);
        EXPECT_EQ(window.YMax, 400000);
        EXPECT_EQ(net.Hash.Address(-5, -5)->linkcomprectangle, ab->LinkRect);
    }
    // Sizes are kept where 16-bit cell numbers still reach every point.
    net.Hash.RebuildWithCells(1, 100000, window);
    EXPECT_EQ(net.Hash.MyXCellSize, 16);
    EXPECT_EQ(net.Hash.MyYCellSize, 32767);
}

TEST_F(HashTable, CellLimitsAndRebalance) {
    // One cell with 163840 points refuses a further node; Rebalance halves the cells.
    THashEntry* cell = nullptr;
    std::int32_t inserted = 0;
    for (std::int32_t y = 0; y < 1600 && inserted < kCellLimit; ++y) {
        for (std::int32_t x = 0; x < 1600 && inserted < kCellLimit; ++x, ++inserted) {
            ASSERT_NE(net.Hash.InsertNode(x, y, 0, false, cell), nullptr);
        }
    }
    EXPECT_EQ(net.Hash.MaxNodeListSize(), kCellLimit);
    EXPECT_EQ(net.Hash.InsertNode(5, 5, 0, false, cell), nullptr);
    EXPECT_EQ(net.NumberOfNodes, kCellLimit);                         // a refused node takes no serial
    EXPECT_NE(net.Hash.InsertNode(1600, 0, 0, false, cell), nullptr); // another cell is fine
    net.Hash.Rebalance(window);
    EXPECT_TRUE(net.Hash.GridShrunk);
    EXPECT_FALSE(net.Hash.GridEnlarged);
    EXPECT_EQ(net.Hash.MyXCellSize, 800);
    EXPECT_LT(net.Hash.MaxNodeListSize(), kCellLimit);
    EXPECT_EQ(net.Hash.PointCount(), kCellLimit + 1);
}

TEST_F(HashTable, TooManyCellsAreRefusedAndRebalanceDoublesThem) {
    net.Hash.RebuildWithCells(16, 16, window);
    THashEntry* cell = nullptr;
    for (std::int32_t i = 0; i < kCellLimit; ++i) {
        ASSERT_NE(net.Hash.InsertNode((i % 400) * 16, (i / 400) * 16, 0, false, cell), nullptr);
    }
    EXPECT_EQ(net.Hash.Count(), kCellLimit);
    EXPECT_EQ(net.Hash.InsertNode(-16, 0, 0, false, cell), nullptr);
    EXPECT_NE(net.Hash.InsertNode(1, 1, 0, false, cell), nullptr); // an existing cell still takes nodes
    net.Hash.Rebalance(window);
    EXPECT_TRUE(net.Hash.GridEnlarged);
    EXPECT_EQ(net.Hash.MyXCellSize, 32);
    EXPECT_LT(net.Hash.Count(), kCellLimit);
    EXPECT_NE(net.Hash.InsertNode(-16, 0, 0, false, cell), nullptr);
}

TEST_F(HashTable, DestroyLinkAndReleaseFreeEverythingOnce) {
    // The sanitizer build reports any leak or double free when the fixture's network is released.
    TNode* a = Node(0, 0);
    TNode* b = Node(5000, 0);
    TNode* c = Node(5000, 5000);
    TLinkValues* ab = Link(a, b, {{50, 50}, {60, 60}});
    Link(b, c, {{5000, 50}});
    TLinkValues* ca = Link(c, a);
    ca->IsDrawnL = false; // deleted links are released too
    const std::int64_t before = net.Hash.PointCount();

    net.Hash.DestroyLink(ab);
    EXPECT_EQ(net.Hash.PointCount(), before - 2);
    EXPECT_EQ(a->LinkList.size(), 1u);
    EXPECT_EQ(b->LinkList.size(), 1u);
    TLink* found = nullptr;
    EXPECT_FALSE(a->LinkList.FindLink(b, found));
    EXPECT_EQ(net.Hash.Address(0, 0)->linkcomprectangle, TRect::Empty());

    auto other = std::make_unique<TNetwork>();
    THashEntry* cell = nullptr;
    TNode* x = other->Hash.InsertNode(1, 1, 4, false, cell);
    TNode* y = other->Hash.InsertNode(2, 2, 4, false, cell);
    TLink* l1 = nullptr;
    TLink* l2 = nullptr;
    TLinkValues* xy = other->Hash.InsertLink(*x, *y, l1, l2, 3, false);
    other->Hash.InsertShapePoint(1, 2, *xy, 0);
    other.reset();
}

// Points of a table in table order, each named by the order in which it was inserted.
std::vector<std::pair<std::int32_t, std::size_t>> TableOrder(const THashTable& table,
                                                             const std::vector<TNetworkPoint*>& inserted) {
    std::unordered_map<const TNetworkPoint*, std::size_t> index;
    for (std::size_t i = 0; i < inserted.size(); ++i)
        index[inserted[i]] = i;
    std::vector<std::pair<std::int32_t, std::size_t>> order;
    for (const THashEntry* cell : table) {
        for (const TNetworkPoint* p : cell->NodeList)
            order.emplace_back(cell->MyKey.whole, index.at(p));
    }
    return order;
}

// A load leaves every cell and every point where insertion one at a time puts them: nodes that keep
// order behind the points at their position, other nodes and shape points in front of them, in a
// cell far larger than an insertion moves at once, with many points at the same positions, and in
// more cells than a new cell moves at once.
TEST_F(HashTable, LoadingGivesTheOrderOfInsertionOneAtATime) {
    TNetwork loaded;
    THashEntry* cell = nullptr;
    std::vector<TNetworkPoint*> inserted;
    std::vector<TNetworkPoint*> loadedInserted;
    TNode* a = Node(0, 0);
    TNode* b = Node(90000, 90000);
    TLinkValues* link = Link(a, b);
    TNode* la = loaded.Hash.InsertNode(0, 0, 0, false, cell);
    TNode* lb = loaded.Hash.InsertNode(90000, 90000, 0, false, cell);
    TLink* l1 = nullptr;
    TLink* l2 = nullptr;
    TLinkValues* loadedLink = loaded.Hash.InsertLink(*la, *lb, l1, l2, 0, false);
    inserted = {a, b};
    loadedInserted = {la, lb};

    std::mt19937 random(7);
    loaded.Hash.BeginLoad();
    for (int i = 0; i < 24000; ++i) {
        // A few positions taken again and again in one cell, and points spread over some ten thousand
        // cells, in no order.
        const bool coincident = random() % 4 == 0;
        const auto x = static_cast<std::int32_t>(coincident ? 100 * (random() % 4) : random() % 300000);
        const auto y = static_cast<std::int32_t>(coincident ? 50 : random() % 300000);
        if (random() % 3 != 0) {
            const bool keepOrder = random() % 2 == 0;
            inserted.push_back(net.Hash.InsertNode(x, y, 0, false, cell, keepOrder));
            loadedInserted.push_back(loaded.Hash.InsertNode(x, y, 0, false, cell, keepOrder));
        } else {
            const auto at = static_cast<std::int32_t>(random() % (link->ShapePoints.size() + 1));
            inserted.push_back(net.Hash.InsertShapePoint(x, y, *link, at));
            loadedInserted.push_back(loaded.Hash.InsertShapePoint(x, y, *loadedLink, at));
        }
        ASSERT_NE(inserted.back(), nullptr);
        ASSERT_NE(loadedInserted.back(), nullptr);
        if (i % 4000 == 3999) {
            // Lookups in the middle of a load see the order insertion one at a time gives.
            for (std::int32_t serial : {5, i / 2, i}) {
                TNode* found = nullptr;
                TNode* loadedFound = nullptr;
                const bool there = net.Hash.SearchInput(found, 100, 50, serial);
                ASSERT_EQ(loaded.Hash.SearchInput(loadedFound, 100, 50, serial), there) << i;
                if (there) {
                    EXPECT_EQ(loadedFound->snumb, found->snumb);
                    EXPECT_EQ(loadedFound->Position(), found->Position());
                }
            }
        }
    }
    loaded.Hash.EndLoad();
    EXPECT_FALSE(loaded.Hash.Loading());
    EXPECT_GT(net.Hash.MaxNodeListSize(), 5000);
    EXPECT_GT(net.Hash.Count(), 10000);
    EXPECT_EQ(TableOrder(loaded.Hash, loadedInserted), TableOrder(net.Hash, inserted));
    ASSERT_EQ(loadedLink->ShapePoints.size(), link->ShapePoints.size());
    for (std::uint32_t i = 0; i < link->ShapePoints.size(); ++i)
        EXPECT_EQ(loadedLink->ShapePoints[i]->Position(), link->ShapePoints[i]->Position());
    // The cells are found again by their positions.
    for (TNetworkPoint* p : loadedInserted) {
        THashEntry* at = loaded.Hash.Address(p->x_cent, p->y_cent);
        ASSERT_NE(at, nullptr);
        EXPECT_GE(at->NodeList.IndexOf(p), 0);
    }
}

// Many points at one position keep their order through a load and through rebuilds of the grid.
TEST_F(HashTable, CoincidentPointsKeepTheirOrderThroughLoadsAndRebuilds) {
    std::vector<TNode*> nodes;
    THashEntry* cell = nullptr;
    net.Hash.BeginLoad();
    for (int i = 0; i < 100000; ++i)
        nodes.push_back(net.Hash.InsertNode(i % 2 == 0 ? 700 : 50 + i % 1000, 700, 0, false, cell, true));
    TLinkValues* link = Link(nodes[1], nodes[3]);
    for (int i = 0; i < 100000; ++i)
        net.Hash.InsertShapePoint(700, 700, *link, i);
    net.Hash.EndLoad();
    for (std::int32_t size : {1600, 800, 3200}) {
        if (size != 1600)
            net.Hash.RebuildWithCells(size, size, window);
        const THashEntry* at = net.Hash.Address(700, 700);
        ASSERT_NE(at, nullptr);
        std::vector<TNetworkPoint*> there;
        for (TNetworkPoint* p : at->NodeList) {
            if (p->IsAt(700, 700))
                there.push_back(p);
        }
        ASSERT_EQ(there.size(), 150000u) << size;
        // The shape points went in front of the nodes, each in front of the one before it; the
        // nodes are in the order they came.
        for (std::size_t i = 0; i < 100000; ++i)
            ASSERT_EQ(there[i], link->ShapePoints[static_cast<std::uint32_t>(99999 - i)]) << size << " " << i;
        for (std::size_t i = 0; i < 50000; ++i)
            ASSERT_EQ(there[100000 + i], nodes[2 * i]) << size << " " << i;
    }
}

} // namespace
} // namespace zan

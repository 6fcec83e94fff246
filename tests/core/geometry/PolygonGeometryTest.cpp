#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/model/NetworkFixture.h"
#include "geometry/PolygonGeometry.h"

namespace zan {
namespace {

const std::vector<TPoint> kSquare{{0, 0}, {10, 0}, {10, 10}, {0, 10}};

class PolygonGeometry : public testing::NetworkFixture {
protected:
    // A node owning a polygon through new nodes at `corners`; the owner itself sits apart.
    TNode* MakePolygon(const std::vector<TPoint>& corners) {
        TNode* owner = Node(-2000, -2000);
        std::vector<TNetworkPoint*> vertices;
        for (const TPoint& c : corners)
            vertices.push_back(Node(c.x, c.y));
        Polygon(owner, vertices);
        return owner;
    }
};

TEST_F(PolygonGeometry, AreaCentroidAndPerimeter) {
    struct Case {
        std::string name;
        std::vector<TPoint> corners;
        double area, cx, cy, perimeter;
    };
    // The L is a 30x10 bar (centroid (15,5)) over a 10x10 block (centroid (5,15)):
    // (300 * 15 + 100 * 5) / 400 = 12.5 and (300 * 5 + 100 * 15) / 400 = 7.5.
    // The triangle's edge vectors from its first corner are (1000000, 1) and (1, 1000000): twice its
    // area is 10^12 - 1, and its centroid is the mean of its corners.
    const Case cases[] = {
        {"square", kSquare, 100, 5, 5, 40},
        {"L from an outer corner",
         {{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 20}, {0, 20}},
         400,
         12.5,
         7.5,
         100},
        {"L from the reflex corner",
         {{10, 10}, {10, 20}, {0, 20}, {0, 0}, {30, 0}, {30, 10}},
         400,
         12.5,
         7.5,
         100},
        {"L the other way round",
         {{0, 20}, {10, 20}, {10, 10}, {30, 10}, {30, 0}, {0, 0}},
         400,
         12.5,
         7.5,
         100},
        {"large triangle",
         {{-500000, -500000}, {500000, -499999}, {-499999, 500000}},
         499999999999.5,
         -499999.0 / 3,
         -499999.0 / 3,
         2 * std::sqrt(1e12 + 1) + 999999 * std::sqrt(2.0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TMyPolygonList& list = MakePolygon(c.corners)->MyPolygonList;
        EXPECT_EQ(list.Area(1), c.area);
        EXPECT_NEAR(list.Centroid(true), c.cx, 1e-9 * (1 + std::abs(c.cx)));
        EXPECT_NEAR(list.Centroid(false), c.cy, 1e-9 * (1 + std::abs(c.cy)));
        EXPECT_NEAR(list.Perimeter(false, nullptr, 1), c.perimeter, 1e-6);
    }
}

TEST_F(PolygonGeometry, ScaleDividesLengthsAndAreasAndAnUnusableScaleCountsAsOne) {
    struct Case {
        double scale;
        double area, closed, open, toThirdVertex;
    };
    const Case cases[] = {
        {1, 100, 40, 30, 20},
        {2, 25, 20, 15, 10},
        {0, 100, 40, 30, 20},
        {-2, 100, 40, 30, 20},
        {std::numeric_limits<double>::quiet_NaN(), 100, 40, 30, 20},
        {std::numeric_limits<double>::infinity(), 100, 40, 30, 20},
    };
    const TMyPolygonList& list = MakePolygon(kSquare)->MyPolygonList;
    const TNetworkPoint* third = list[2];
    ASSERT_TRUE(third->IsAt(10, 10));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scale);
        EXPECT_DOUBLE_EQ(list.Area(c.scale), c.area);
        EXPECT_DOUBLE_EQ(list.Perimeter(false, nullptr, c.scale), c.closed);
        EXPECT_DOUBLE_EQ(list.Perimeter(true, nullptr, c.scale), c.open);
        // Up to a vertex the path is open whatever IsOpen says.
        EXPECT_DOUBLE_EQ(list.Perimeter(false, third, c.scale), c.toThirdVertex);
    }
}

TEST_F(PolygonGeometry, OrientationAsSeenOnScreenAndReversal) {
    struct Case {
        std::string name;
        std::vector<TPoint> corners;
        bool clockwise;
    };
    // y grows down the screen: right, down, left, up is clockwise.
    const Case cases[] = {
        {"square", kSquare, true},
        {"L", {{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 20}, {0, 20}}, true},
        {"triangle down, up-right, left", {{0, 0}, {0, 10}, {10, 0}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TNode* owner = MakePolygon(c.corners);
        const std::vector<TPoint> before = owner->MyPolygonList.GetPolygonPoints();
        const std::int32_t limit = owner->MyPolygonList.Limit();
        EXPECT_EQ(owner->PolygonIsClockwise(), c.clockwise);

        owner->ReversePolygon();
        EXPECT_EQ(owner->PolygonIsClockwise(), !c.clockwise);
        EXPECT_EQ(owner->MyPolygonList.GetPolygonPoints(),
                  std::vector<TPoint>(before.rbegin(), before.rend()));
        EXPECT_EQ(owner->MyPolygonList.Limit(), limit);
    }

    // With fewer than three vertices there is no turn to measure.
    TNode* pair = MakePolygon({{0, 0}, {10, 10}});
    EXPECT_TRUE(pair->PolygonIsClockwise());
    pair->ReversePolygon();
    EXPECT_TRUE(pair->PolygonIsClockwise());
    EXPECT_TRUE(pair->MyPolygonList[0]->IsAt(10, 10));
}

TEST_F(PolygonGeometry, AllVerticesDeletedMeasuresNothing) {
    TNode* owner = MakePolygon(kSquare);
    const TMyPolygonList& list = owner->MyPolygonList;
    for (TNetworkPoint* v : list)
        v->IsDrawnN = false;
    EXPECT_EQ(list.Area(1), 0);
    EXPECT_EQ(list.Centroid(true), 0);
    EXPECT_EQ(list.Centroid(false), 0);
    EXPECT_EQ(list.Perimeter(false, nullptr, 1), 0);
    EXPECT_EQ(list.Perimeter(true, list[2], 1), 0);
    EXPECT_EQ(PointInPolygon(5, 5, list), kOutsidePolygon);
}

TEST_F(PolygonGeometry, DeletedVerticesAreLeftOut) {
    // The square with a deleted spike to (30,5) after its second corner and a deleted vertex at
    // (-20,-20) at the end. Counting the spike would add 100 to the area and put (20,5) inside.
    TNode* owner = MakePolygon({{0, 0}, {10, 0}, {30, 5}, {10, 10}, {0, 10}, {-20, -20}});
    const TMyPolygonList& list = owner->MyPolygonList;
    list[2]->IsDrawnN = false;
    list[5]->IsDrawnN = false;
    EXPECT_EQ(list.Area(1), 100);
    EXPECT_DOUBLE_EQ(list.Centroid(true), 5);
    EXPECT_DOUBLE_EQ(list.Centroid(false), 5);
    EXPECT_DOUBLE_EQ(list.Perimeter(false, nullptr, 1), 40);
    EXPECT_DOUBLE_EQ(list.Perimeter(false, list[3], 1), 20);
    EXPECT_EQ(PointInPolygon(20, 5, list), kOutsidePolygon);
    EXPECT_EQ(PointInPolygon(10, 5, list), kOnPolygonBoundary);
    EXPECT_EQ(PointInPolygon(5, 5, list), kInsidePolygon);
}

TRect Bounds(const std::vector<TPoint>& points) {
    TRect r = TRect::Empty();
    for (const TPoint& p : points)
        r.Include(p.x, p.y);
    return r;
}

TEST(PointInPolygon, BoundaryInsideAndOutside) {
    const std::vector<TPoint> diamond{{10, 0}, {20, 10}, {10, 20}, {0, 10}};
    // A notch cut into the left side: (10,10) and the tip (30,10) are both on the height y = 10.
    const std::vector<TPoint> arrow{{0, 0}, {20, 0}, {30, 10}, {20, 20}, {0, 20}, {10, 10}};
    // A V cut up into the bottom side, reaching (10,10).
    const std::vector<TPoint> vnotch{{0, 0}, {20, 0}, {20, 20}, {10, 10}, {0, 20}};
    // An L whose step (10,10)-(20,10) is horizontal.
    const std::vector<TPoint> step{{0, 0}, {10, 0}, {10, 10}, {20, 10}, {20, 20}, {0, 20}};
    // A square notch [10,20]x[10,20] cut into the bottom side; its top edge is horizontal.
    const std::vector<TPoint> slot{{0, 0},   {30, 0},  {30, 20}, {20, 20},
                                   {20, 10}, {10, 10}, {10, 20}, {0, 20}};
    struct Case {
        std::string name;
        const std::vector<TPoint>& points;
        std::int32_t x, y;
        int expected;
    };
    const Case cases[] = {
        {"square, right edge", kSquare, 10, 5, kOnPolygonBoundary},
        {"square, middle", kSquare, 5, 5, kInsidePolygon},
        {"square, right of it", kSquare, 15, 5, kOutsidePolygon},
        {"square, top edge", kSquare, 5, 0, kOnPolygonBoundary},
        {"square, corner", kSquare, 0, 0, kOnPolygonBoundary},
        {"diamond, slanted edge", diamond, 15, 5, kOnPolygonBoundary},
        {"diamond, in its box but outside", diamond, 2, 2, kOutsidePolygon},
        // The ray passes through the corner (20,10), where the outline goes from y < 10 to y > 10.
        {"diamond, ray through a crossing corner", diamond, 5, 10, kInsidePolygon},
        // The ray passes through (10,10) and (30,10), crossing the outline at both.
        {"arrow, in the notch", arrow, 5, 10, kOutsidePolygon},
        {"arrow, ray through the tip", arrow, 15, 10, kInsidePolygon},
        // The ray grazes the V's apex (10,10), where both neighbours have y > 10, then leaves
        // through the right side.
        {"V notch, ray grazing the apex", vnotch, 5, 10, kInsidePolygon},
        // Under the V: the ray grazes the corner (20,20), where both neighbours have y < 20.
        {"V notch, ray grazing a bottom corner", vnotch, 10, 20, kOutsidePolygon},
        // The ray runs along the step: the outline arrives from y < 10 and leaves to y > 10.
        {"step, ray along a crossing edge", step, 5, 10, kInsidePolygon},
        // The ray runs along the slot's top: the outline arrives from y > 10 and returns there;
        // it leaves through the right side only.
        {"slot, ray along a grazing edge", slot, 5, 10, kInsidePolygon},
        {"slot, in the slot", slot, 15, 15, kOutsidePolygon},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PointInPolygon(c.x, c.y, c.points, Bounds(c.points)), c.expected) << c.name;
    }
}

TEST(PointInPolygon, DegenerateOutlinesHaveNoInside) {
    // A rectangle wider than the outlines, so that every point reaches the outline tests.
    const TRect wide{-50, -50, 50, 50};
    struct Case {
        std::string name;
        std::vector<TPoint> points;
        std::int32_t x, y;
        int expected;
    };
    const Case cases[] = {
        {"no points", {}, 0, 0, kOutsidePolygon},
        {"one point, on it", {{3, 4}}, 3, 4, kOnPolygonBoundary},
        {"one point, beside it", {{3, 4}}, 4, 4, kOutsidePolygon},
        {"two points, between them", {{0, 0}, {10, 10}}, 5, 5, kOnPolygonBoundary},
        {"two points, beside the segment", {{0, 0}, {10, 10}}, 5, 4, kOutsidePolygon},
        {"two points, on the line beyond them", {{0, 0}, {10, 10}}, -5, -5, kOutsidePolygon},
        {"collinear, on the middle point", {{0, 0}, {10, 10}, {20, 20}}, 10, 10, kOnPolygonBoundary},
        {"collinear, on a segment", {{0, 0}, {10, 10}, {20, 20}}, 15, 15, kOnPolygonBoundary},
        {"collinear, left of the line", {{0, 0}, {10, 10}, {20, 20}}, 5, 8, kOutsidePolygon},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PointInPolygon(c.x, c.y, c.points, wide), c.expected) << c.name;
    }
}

} // namespace
} // namespace zan

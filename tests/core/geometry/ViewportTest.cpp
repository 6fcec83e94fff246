#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "core/model/NetworkFixture.h"
#include "editing/NodeOperations.h"
#include "geometry/Viewport.h"

namespace zan {
namespace {

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

// Zoom rows used below.
constexpr std::int32_t k1to72 = 1, k1to48 = 2, k1to24 = 4, k1to3 = 10, k1to2 = 11, k1to1 = 13, k3to2 = 14,
                       k2to1 = 15, k6to1 = 18;

// A window on the extents 0..1000 on both axes, at a zoom row, with ranges set from the extents.
TWindowSettings PadWindow(std::int32_t zoom = k1to1) {
    TWindowSettings w;
    w.ZoomState = zoom;
    w.XMax = w.YMax = 1000;
    w.ClientWidth = 400;
    w.ClientHeight = 300;
    SetScrollRange(w);
    return w;
}

TEST(Viewport, PixelToPlane) {
    struct Case {
        std::string name;
        std::int32_t zoom, horzPos, vertPos, xmin, ymin, X, Y;
        TPoint plane;
    };
    const Case cases[] = {
        {"origin pixel at 1:1", k1to1, 0, 0, 0, 0, 0, 0, {-10, -10}},
        // round((15 + 30) * 3) - 100 - 10 = 25
        {"1:3 with a scroll position", k1to3, 30, 0, -100, 0, 15, 0, {25, -10}},
        {"vertical axis mirrors", k1to3, 0, 30, 0, -100, 0, 15, {-10, 25}},
        // 1 / 2 = 0.5 rounds to 0 and 3 / 2 = 1.5 to 2: halves go to the even neighbour.
        {"half rounds down to even", k2to1, 0, 0, 0, 0, 1, 1, {-10, -10}},
        {"half rounds up to even", k2to1, 0, 0, 0, 0, 3, 3, {-8, -8}},
        {"far beyond 32 bits clamps",
         k1to72,
         kIntMax,
         kIntMax,
         512000,
         512000,
         kIntMax,
         kIntMax,
         {kIntMax, kIntMax}},
        {"far below 32 bits clamps", k1to72, 0, 0, -512000, -512000, kIntMin, kIntMin, {kIntMin, kIntMin}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w;
        w.ZoomState = c.zoom;
        w.HorzPosition = c.horzPos;
        w.VertPosition = c.vertPos;
        w.XMin = c.xmin;
        w.YMin = c.ymin;
        EXPECT_EQ(PixelToPlane(w, c.X, c.Y), c.plane);
        // A zoom click passes the same point moved by 10 on each axis (unless clamped).
        if (c.plane.x != kIntMax && c.plane.x != kIntMin) {
            EXPECT_EQ(ZoomClickPoint(w, c.X, c.Y), (TPoint{c.plane.x + 10, c.plane.y + 10}));
        }
    }
}

TEST(Viewport, PlaneOriginIsDrawnAtPixelTenAtOneToOne) {
    TWindowSettings w; // 1:1, positions 0, XMin = YMin = 0
    UpdateBarPositions(w);
    EXPECT_EQ(PlaneToLogical(w, 0, 0), (TPoint{10, 10}));
    EXPECT_EQ(RefreshRectangle(w, TRect::At(0, 0), 0), (TRect{10, 10, 10, 10}));
    EXPECT_EQ(PixelToPlane(w, 10, 10), (TPoint{0, 0}));
}

TEST(Viewport, PlaneToLogicalFollowsScrollAndBarPositions) {
    TWindowSettings w;
    w.ZoomState = k2to1;
    w.XScroll = 110;
    w.YScroll = -40;
    w.HorzPosition = 3; // 1.5 plane units: rounds to 2
    w.VertPosition = 1; // 0.5: rounds to 0
    UpdateBarPositions(w);
    EXPECT_EQ(w.horzbarpos, 2);
    EXPECT_EQ(w.vertbarpos, 0);
    EXPECT_EQ(PlaneToLogical(w, 5, 5), (TPoint{113, -35}));
    w.XScroll = 512010;
    EXPECT_EQ(PlaneToLogical(w, kIntMax, kIntMin).x, kIntMax);
}

TEST(Viewport, RefreshRectangle) {
    struct Case {
        std::string name;
        std::int32_t zoom, xscroll, yscroll, horzPos, vertPos;
        TRect rect;
        std::int32_t buffer;
        std::optional<TRect> pixels;
    };
    const Case cases[] = {
        {"empty rectangle repaints nothing", k1to1, 10, 10, 0, 0, TRect::Empty(), 5, std::nullopt},
        // left (10 + 5 - 2) * 2 - 30, right (10 + 7 + 2) * 2 - 30, top (10 + 6 - 2) * 2 - 40,
        // bottom (10 + 8 + 2) * 2 - 40
        {"2:1 with scroll positions", k2to1, 10, 10, 30, 40, TRect{5, 6, 7, 8}, 2, TRect{-4, -12, 8, 0}},
        // 11 * 0.5 = 5.5 rounds to 6 and 13 * 0.5 = 6.5 rounds to 6
        {"halves to even", k1to2, 10, 10, 0, 0, TRect{1, 1, 3, 3}, 0, TRect{6, 6, 6, 6}},
        {"near the 32-bit edge clamps", k6to1, 512010, 512010, 0, 0,
         TRect{kIntMin, kIntMin, kIntMax, kIntMax}, kIntMax, TRect{kIntMin, kIntMin, kIntMax, kIntMax}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w;
        w.ZoomState = c.zoom;
        w.XScroll = c.xscroll;
        w.YScroll = c.yscroll;
        w.HorzPosition = c.horzPos;
        w.VertPosition = c.vertPos;
        EXPECT_EQ(RefreshRectangle(w, c.rect, c.buffer), c.pixels);
    }
}

TEST(Viewport, AdjustRectangle) {
    struct Case {
        std::string name;
        TRect rect;
        std::int32_t buffer;
        std::optional<TRect> logical;
    };
    const Case cases[] = {
        {"empty rectangle gives nothing", TRect::Empty(), 3, std::nullopt},
        {"moved and grown", TRect{0, 5, 20, 25}, 3, TRect{107, -38, 133, -12}},
        {"no overflow at the 32-bit edge", TRect{kIntMax - 1, kIntMin, kIntMax, kIntMin + 1}, 1000,
         TRect{kIntMax - 891, kIntMin, kIntMax, kIntMin + 961}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w;
        w.XScroll = 110;
        w.YScroll = -40;
        EXPECT_EQ(adjustrectangle(w, c.rect, c.buffer), c.logical);
    }
}

TEST(Viewport, VisiblePlaneArea) {
    struct Case {
        std::string name;
        std::int32_t zoom;
        TRect clip;
        TRect area;
    };
    const Case cases[] = {
        {"1:3 triples the clip rectangle", k1to3, TRect{0, 0, 400, 300}, TRect{10, 20, 1210, 920}},
        // 1 / 1.5 = 0.67 is rounded down to 0 and 4 / 1.5 = 2.67 up to 3: partly visible units count.
        {"rounded outward", k3to2, TRect{1, 1, 4, 4}, TRect{10, 20, 13, 23}},
        {"empty clip gives empty area", k1to1, TRect::Empty(), TRect::Empty()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w;
        w.ZoomState = c.zoom;
        w.horzbarpos = 10;
        w.vertbarpos = 20;
        EXPECT_EQ(VisiblePlaneArea(w, c.clip), c.area);
    }
}

TEST(Viewport, SetScrollRange) {
    struct Case {
        std::string name;
        std::int32_t zoom, xmin, xmax, ymin, ymax;
        std::int32_t horzRange, vertRange;
    };
    const Case cases[] = {
        {"1:1", k1to1, 0, 1000, 0, 500, 1020, 520},
        {"3:2", k3to2, 0, 1000, 0, 1000, 1530, 1530},
        {"1:72 rounds", k1to72, 0, 1000, 0, 1000, 14, 14}, // 1020 / 72 = 14.17
        {"inverted extents count as 0", k1to1, 100, 0, 21, 0, 0, 0},
        {"extent span of -20 gives 0", k1to1, 20, 0, 0, 0, 0, 20},
        {"whole plane at 6:1", k6to1, -512000, 512000, -512000, 512000, 6144120, 6144120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w;
        w.ZoomState = c.zoom;
        w.XMin = c.xmin;
        w.XMax = c.xmax;
        w.YMin = c.ymin;
        w.YMax = c.ymax;
        w.HorzPosition = w.VertPosition = 5000;
        SetScrollRange(w);
        EXPECT_EQ(w.HorzRange, c.horzRange);
        EXPECT_EQ(w.VertRange, c.vertRange);
        // Positions stay within the ranges, as a scroll bar keeps them.
        EXPECT_EQ(w.HorzPosition, std::min(5000, c.horzRange));
        EXPECT_EQ(w.VertPosition, std::min(5000, c.vertRange));
    }
}

TEST(Viewport, ZoomInClickCentresTheClickedPoint) {
    TWindowSettings w = PadWindow(); // 400 x 300 client, extents 0..1000, 1:1, positions 0
    const TPoint clicked = PixelToPlane(w, 200, 150);
    const TPoint zoomPoint = ZoomClickPoint(w, 200, 150);
    const TZoomStepResult r = ZoomToPoint(w, zoomPoint.x, zoomPoint.y, false, 1920);
    EXPECT_FALSE(r.Refused);
    EXPECT_EQ(r.StatusText, "3:2");
    EXPECT_EQ(w.ZoomState, k3to2);
    EXPECT_EQ(w.HorzRange, 1530);
    EXPECT_EQ(w.VertRange, 1530);
    EXPECT_EQ(w.HorzPosition, 100);
    EXPECT_EQ(w.VertPosition, 75);
    EXPECT_EQ(w.horzbarpos, 67); // 100 / 1.5 = 66.7
    EXPECT_EQ(w.vertbarpos, 50);
    // The clicked plane point is now under the centre of the client area.
    EXPECT_EQ(PixelToPlane(w, 200, 150), clicked);
}

TEST(Viewport, ZoomInAtThePlaneEdgeDoesNotOverflow) {
    TWindowSettings w;
    w.ZoomState = 17; // 4:1
    w.ClientWidth = 400;
    w.ClientHeight = 300;
    SetExtents(w, -512000, 512000, -512000, 512000);
    SetScrollPositions(w, w.HorzRange, w.VertRange);
    const TZoomStepResult r = ZoomToPoint(w, 512010, 512010, false, 1920);
    EXPECT_EQ(w.ZoomState, k6to1);
    EXPECT_FALSE(r.Refused);
    EXPECT_EQ(w.HorzRange, 6144120); // 1024020 * 6
    // (512010 + 512000) * 6 - 400 / 2 and - 300 / 2
    EXPECT_EQ(w.HorzPosition, 6143860);
    EXPECT_EQ(w.VertPosition, 6143910);
    EXPECT_EQ(PixelToPlane(w, 200, 150), (TPoint{512000, 512000}));
}

TEST(Viewport, ZoomStepsAtTheEndsOfTheLadder) {
    struct Case {
        std::string name;
        std::int32_t zoom;
        bool down;
        std::int32_t screenWidth;
        std::int32_t zoomAfter;
        bool refused;
        std::string status;
    };
    const Case cases[] = {
        {"zoom out at row 1 keeps row 1", k1to72, true, 1920, k1to72, false, "1:72"},
        {"zoom in at row 18 keeps row 18", k6to1, false, 1920, k6to1, false, "6:1"},
        {"zoom in refused on a wide screen", k1to72, false, 7000, k1to72, true, "1:72"}, // 48 * 7000 > 320000
        {"zoom out one row", k3to2, true, 1920, k1to1, false, "1:1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w = PadWindow(c.zoom);
        SetScrollPositions(w, 7, 5);
        const bool stays = c.zoomAfter == c.zoom;
        const TZoomStepResult r = ZoomToPoint(w, 500, 500, c.down, c.screenWidth);
        EXPECT_EQ(w.ZoomState, c.zoomAfter);
        EXPECT_EQ(r.Refused, c.refused);
        EXPECT_EQ(r.StatusText, c.status);
        if (stays) {
            EXPECT_EQ(w.HorzPosition, 7);
            EXPECT_EQ(w.VertPosition, 5);
        }
    }
}

TEST(Viewport, ZoomOK) {
    struct Case {
        std::int32_t row, screenWidth;
        bool ok;
    };
    const Case cases[] = {
        {k1to72, 1920, true},     // 138240
        {k1to72, 5000, false},    // 360000
        {k1to48, 6666, true},     // 319968
        {k1to48, 6667, false},    // 320016
        {k1to2, 160000, true},    // exactly 320000 does not exceed
        {k1to2, 160001, false},   // 320002
        {k3to2, 480000, true},    // 2 * 480000 / 3 = 320000
        {k3to2, kIntMax, false},  // no overflow
        {k1to72, kIntMax, false}, // no overflow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + " at " + std::to_string(c.screenWidth));
        EXPECT_EQ(ZoomOK(c.row, c.screenWidth), c.ok);
    }
}

TEST(Viewport, ZoomKeysAndMenuEntries) {
    TWindowSettings w = PadWindow(k6to1);
    EXPECT_EQ(ZoomInKey(w), std::nullopt);
    EXPECT_EQ(w.ZoomState, k6to1);

    w = PadWindow(k1to72);
    EXPECT_EQ(ZoomOutKey(w), std::nullopt);
    EXPECT_EQ(w.ZoomState, k1to72);

    // "+" keeps the plane point at the top left: position 100 at 1:1 is 150 at 3:2, and back.
    w = PadWindow(k1to1);
    SetScrollPositions(w, 100, 40);
    EXPECT_EQ(ZoomInKey(w), std::optional<std::string>("3:2"));
    EXPECT_EQ(w.ZoomState, k3to2);
    EXPECT_EQ(w.HorzPosition, 150);
    EXPECT_EQ(w.VertPosition, 60);
    EXPECT_EQ(ZoomOutKey(w), std::optional<std::string>("1:1"));
    EXPECT_EQ(w.HorzPosition, 100);
    EXPECT_EQ(w.VertPosition, 40);

    // The "1:24" menu entry.
    EXPECT_EQ(ResetZoomCheck(w, k1to24), "1:24");
    EXPECT_EQ(w.ZoomState, k1to24);
    EXPECT_EQ(w.HorzRange, 42); // 1020 / 24 = 42.5 exactly: the half goes to the even neighbour
}

TEST(Viewport, InvertedExtentsGiveZeroRangesAndPositions) {
    struct Case {
        std::string name;
        std::int32_t left, right;
    };
    const Case cases[] = {
        {"span of exactly zero", 20, 0},
        {"span negative", 100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w = PadWindow();
        SetScrollPositions(w, 300, 300);
        SetExtents(w, c.left, c.right, c.left, c.right);
        EXPECT_EQ(w.XMin, c.left);
        EXPECT_EQ(w.XMax, c.right);
        EXPECT_EQ(w.XScroll, 10 - c.left);
        EXPECT_EQ(w.YScroll, 10 - c.left);
        EXPECT_EQ(w.HorzRange, 0);
        EXPECT_EQ(w.VertRange, 0);
        EXPECT_EQ(w.HorzPosition, 0);
        const TZoomStepResult r = ZoomToPoint(w, 500, 500, false, 1920);
        EXPECT_EQ(w.ZoomState, k3to2);
        EXPECT_EQ(w.HorzPosition, 0);
        EXPECT_EQ(w.VertPosition, 0);
        EXPECT_EQ(w.HorzRange, 0);
        EXPECT_FALSE(r.Refused);
    }
}

TEST(Viewport, SetExtentsClampsIntoThePlane) {
    TWindowSettings w;
    SetExtents(w, -600000, 600000, 5, kIntMax);
    EXPECT_EQ(w.YMin, -512000);
    EXPECT_EQ(w.YMax, 512000);
    EXPECT_EQ(w.XMin, 5);
    EXPECT_EQ(w.XMax, 512000);
    EXPECT_EQ(w.XScroll, 5);
    EXPECT_EQ(w.YScroll, 512010);
    EXPECT_EQ(w.HorzRange, 512015);
    EXPECT_EQ(w.VertRange, 1024020);
}

TEST(Viewport, AdjustExtents) {
    struct Case {
        std::string name;
        std::int32_t x, y;
        bool repaint;
        TRect extents; // XMin, YMin, XMax, YMax
        std::int32_t xscroll, yscroll, horzRange, vertRange;
    };
    const Case cases[] = {
        {"inside changes nothing", 500, 500, false, TRect{0, 0, 1000, 1000}, 10, 10, 1020, 1020},
        {"new minimum moves the picture", -50, 20, true, TRect{-50, 0, 1000, 1000}, 60, 10, 1070, 1020},
        {"new maximum widens the range", 2000, 1500, false, TRect{0, 0, 2000, 1500}, 10, 10, 2020, 1520},
        {"off the plane is clamped", kIntMin, kIntMax, true, TRect{-512000, 0, 1000, 512000}, 512010, 10,
         513020, 512020},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w = PadWindow();
        EXPECT_EQ(AdjustExtents(w, c.x, c.y), c.repaint);
        EXPECT_EQ((TRect{w.XMin, w.YMin, w.XMax, w.YMax}), c.extents);
        EXPECT_EQ(w.XScroll, c.xscroll);
        EXPECT_EQ(w.YScroll, c.yscroll);
        EXPECT_EQ(w.HorzRange, c.horzRange);
        EXPECT_EQ(w.VertRange, c.vertRange);
    }
}

TEST(Viewport, RoomButtons) {
    using Button = bool (*)(TWindowSettings&);
    struct Case {
        std::string name;
        Button button;
        std::int32_t xmax; // XMax (and YMax) before the press
        bool repaint;
        TRect extents;
        std::int32_t xscroll, yscroll, horzRange, vertRange;
    };
    // At 1:2 on extents 0..1000 the ranges are 510; 80 plane units are 40 pixels.
    const Case cases[] = {
        {"East Space", WestButton, 1000, false, TRect{0, 0, 1080, 1000}, 10, 10, 550, 510},
        {"South Space", NorthButton, 1000, false, TRect{0, 0, 1000, 1080}, 10, 10, 510, 550},
        {"West Space", EastButton, 1000, true, TRect{-80, 0, 1000, 1000}, 90, 10, 550, 510},
        {"North Space", SouthButton, 1000, true, TRect{0, -80, 1000, 1000}, 10, 90, 510, 550},
        // 50 units of room are left before the plane's edge: 25 pixels on (511950 + 20) / 2 = 255985.
        {"East Space stops at the plane's edge", WestButton, 511950, false, TRect{0, 0, 512000, 511950}, 10,
         10, 256010, 255985},
        {"East Space at the plane's edge", WestButton, 512000, false, TRect{0, 0, 512000, 512000}, 10, 10,
         256010, 256010},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w = PadWindow(k1to2);
        w.XMax = w.YMax = c.xmax;
        SetScrollRange(w);
        EXPECT_EQ(c.button(w), c.repaint);
        EXPECT_EQ((TRect{w.XMin, w.YMin, w.XMax, w.YMax}), c.extents);
        EXPECT_EQ(w.XScroll, c.xscroll);
        EXPECT_EQ(w.YScroll, c.yscroll);
        EXPECT_EQ(w.HorzRange, c.horzRange);
        EXPECT_EQ(w.VertRange, c.vertRange);
    }

    TWindowSettings w = PadWindow(k1to2);
    w.XMin = w.YMin = -511990;
    EXPECT_TRUE(EastButton(w));
    EXPECT_EQ(w.XMin, -512000);
    EXPECT_FALSE(EastButton(w)); // nothing left to add: the picture does not move
    EXPECT_EQ(w.XMin, -512000);
    EXPECT_EQ(w.XScroll, 20);
}

class ViewportTrim : public testing::NetworkFixture {};

TEST_F(ViewportTrim, TakesEveryPointDrawnOrDeleted) {
    TNode* a = Node(100, 200);
    TNode* b = Node(-300, 50);
    Link(a, b, {{700, -80}});
    Node(-900, 900)->IsDrawnN = false;
    window.ZoomState = k1to1;
    window.HorzPosition = window.VertPosition = 50;
    Trim(window, net.Hash);
    EXPECT_EQ((TRect{window.XMin, window.YMin, window.XMax, window.YMax}), (TRect{-900, -80, 700, 900}));
    EXPECT_EQ(window.XScroll, 910);
    EXPECT_EQ(window.YScroll, 90);
    EXPECT_EQ(window.HorzRange, 1620);
    EXPECT_EQ(window.VertRange, 1000);
    EXPECT_EQ(window.HorzPosition, 0);
    EXPECT_EQ(window.VertPosition, 0);
    EXPECT_EQ(window.horzbarpos, 0);
}

TEST_F(ViewportTrim, EmptyNetworkKeepsTheNewNetworkPadAndPlotsWhereTheCursorIs) {
    struct Case {
        std::int32_t zoom;
        TPoint click; // client pixel of the click that places the plot cursor
    };
    const TWindowSettings fresh;
    for (const Case c : {Case{k1to1, {100, 60}}, Case{k2to1, {250, 130}}, Case{k1to3, {30, 45}}}) {
        SCOPED_TRACE(c.zoom);
        TNetwork empty;
        TWindowSettings w;
        w.ZoomState = c.zoom;
        w.XMin = w.YMin = -300;
        w.XMax = w.YMax = 700;
        w.HorzPosition = w.VertPosition = 50;
        Trim(w, empty.Hash);
        EXPECT_EQ((TRect{w.XMin, w.YMin, w.XMax, w.YMax}),
                  (TRect{fresh.XMin, fresh.YMin, fresh.XMax, fresh.YMax}));
        EXPECT_EQ(w.XScroll, fresh.XScroll);
        EXPECT_EQ(w.YScroll, fresh.YScroll);
        EXPECT_EQ(w.HorzPosition, 0);
        EXPECT_EQ(w.VertPosition, 0);

        // The click places the cursor; the node plotted there is drawn under the click.
        const TPoint cursor = PixelToPlane(w, c.click.x, c.click.y);
        SetCursorPosition(w, cursor.x, cursor.y);
        TEditResult result;
        TNode* n = NodePlotAction(empty, w, w.CurPosX, w.CurPosY, result);
        ASSERT_NE(n, nullptr);
        EXPECT_TRUE(n->IsAt(cursor.x, cursor.y));
        const std::optional<TRect> pixels = RefreshRectangle(w, TRect::At(n->x_cent, n->y_cent), 0);
        ASSERT_TRUE(pixels);
        EXPECT_EQ(pixels->left, c.click.x);
        EXPECT_EQ(pixels->top, c.click.y);
    }
}

TEST(Viewport, SnapPlotCursor) {
    struct Case {
        std::string name;
        TPoint from;
        int hotkey;
        std::int32_t snap;
        bool moved;
        TPoint to;
    };
    const Case cases[] = {
        {"east at 511999 stays", {511999, 0}, kSnapEast, 1, false, {511999, 0}},
        {"east to 511999", {511998, 0}, kSnapEast, 1, true, {511999, 0}},
        {"west at -511999 stays", {-511999, 0}, kSnapWest, 1, false, {-511999, 0}},
        {"north at -511999 stays", {0, -511999}, kSnapNorth, 1, false, {0, -511999}},
        {"south at 511999 stays", {0, 511999}, kSnapSouth, 1, false, {0, 511999}},
        {"a step past the edge is not taken at all", {511000, 7}, kSnapEast, 1000, false, {511000, 7}},
        {"east by 10", {0, 0}, kSnapEast, 10, true, {10, 0}},
        {"west by 10", {0, 0}, kSnapWest, 10, true, {-10, 0}},
        {"north is up", {0, 0}, kSnapNorth, 10, true, {0, -10}},
        {"south is down", {0, 0}, kSnapSouth, 10, true, {0, 10}},
        {"snap 0 counts as 1", {0, 0}, kSnapEast, 0, true, {1, 0}},
        {"snap above 1000 counts as 1000", {0, 0}, kSnapSouth, 5000, true, {0, 1000}},
        {"other hotkeys do nothing", {0, 0}, 50, 10, false, {0, 0}},
        {"only the moving axis is checked", {512000, 0}, kSnapSouth, 1, true, {512000, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w;
        w.CurPosX = c.from.x;
        w.CurPosY = c.from.y;
        EXPECT_EQ(SnapPlotCursor(w, c.hotkey, c.snap), c.moved);
        EXPECT_EQ((TPoint{w.CurPosX, w.CurPosY}), c.to);
    }
}

TEST(Viewport, SetCursorPositionClampsIntoThePlane) {
    TWindowSettings w;
    SetCursorPosition(w, 2000000000, -2000000000);
    EXPECT_EQ((TPoint{w.CurPosX, w.CurPosY}), (TPoint{512000, -512000}));
    SetCursorPosition(w, std::int64_t{1} << 40, 6);
    EXPECT_EQ((TPoint{w.CurPosX, w.CurPosY}), (TPoint{512000, 6}));
    SetCursorPosition(w, -5, 6);
    EXPECT_EQ((TPoint{w.CurPosX, w.CurPosY}), (TPoint{-5, 6}));
}

TEST(Viewport, PlotCursorLines) {
    struct Case {
        std::string name;
        std::int32_t zoom, curx, cury;
        std::optional<TLineSegment> horizontal, vertical;
    };
    // XScroll = YScroll = 10 and the bar positions are 20 and 0: logical (curx - 10, cury + 10).
    const Case cases[] = {
        {"1:1", k1to1, 30, 10, TLineSegment{{0, 20}, {400, 20}}, TLineSegment{{20, 0}, {20, 300}}},
        {"1:3 covers three times the width", k1to3, 30, 10, TLineSegment{{0, 20}, {1200, 20}},
         TLineSegment{{20, 0}, {20, 900}}},
        // 401 / 2 = 200.5 and 301 / 2 = 150.5 go to the even neighbours.
        {"2:1 halves to even", k2to1, 30, 10, TLineSegment{{0, 20}, {200, 20}},
         TLineSegment{{20, 0}, {20, 150}}},
        {"x at 320000 keeps the horizontal line", k1to1, 320010, 10, TLineSegment{{0, 20}, {400, 20}},
         std::nullopt},
        {"x beyond 320000 drops both", k1to1, 320011, 10, std::nullopt, std::nullopt},
        {"y beyond 320000 drops the horizontal", k1to1, 30, 319991, std::nullopt,
         TLineSegment{{20, 0}, {20, 300}}},
        {"x just below 65535", k1to1, 65544, 10, TLineSegment{{0, 20}, {400, 20}},
         TLineSegment{{65534, 0}, {65534, 300}}},
        {"x at 65535 drops the vertical", k1to1, 65545, 10, TLineSegment{{0, 20}, {400, 20}}, std::nullopt},
        {"far west keeps only the vertical", k1to1, -400000, 10, std::nullopt,
         TLineSegment{{-400010, 0}, {-400010, 300}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowSettings w;
        w.ZoomState = c.zoom;
        w.ClientWidth = c.zoom == k2to1 ? 401 : 400;
        w.ClientHeight = c.zoom == k2to1 ? 301 : 300;
        w.CurPosX = c.curx;
        w.CurPosY = c.cury;
        w.horzbarpos = 20;
        w.vertbarpos = 0;
        const TPlotCursorLines lines = PlotCursorLines(w);
        EXPECT_EQ(lines.horizontal, c.horizontal);
        EXPECT_EQ(lines.vertical, c.vertical);
    }
}

TEST(Viewport, PlotCursorColor) {
    TWindowSettings w;
    EXPECT_EQ(PlotCursorColor(w), 0x7F0000); // navy 0, 0, 127
    w.DarkCursor = true;
    EXPECT_EQ(PlotCursorColor(w), 0xFF0000); // blue 0, 0, 255
}

} // namespace
} // namespace zan

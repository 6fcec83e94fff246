// The renderer draws small networks into images with antialiasing off; the tests look at the pixels
// where the viewport mapping puts the elements.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "core/model/NetworkFixture.h"
#include "display/Styles.h"
#include "display/Widths.h"
#include "geometry/Viewport.h"
#include "render/BitmapStore.h"
#include "render/Renderer.h"

namespace zan {
namespace {

const QRgb kBackground = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);

class RendererTest : public testing::NetworkFixture {
protected:
    void SetUp() override {
        window.XMin = window.YMin = 0;
        window.XMax = window.YMax = 1000;
        window.XScroll = window.YScroll = 10;
        window.ClientWidth = 400;
        window.ClientHeight = 300;
        SetScrollRange(window);
        net.LinkDef.TypeOf(1).ecolor = 1; // links black like nodes (new networks draw them blue)
    }

    QImage Render(QSize size = QSize(400, 300)) { return RenderClip(QRect(QPoint(0, 0), size), size); }

    // A partial repaint: only the part of the window in `clip` (pixels) is redrawn.
    QImage RenderClip(QRect clip, QSize size = QSize(400, 300)) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(kBackground);
        QPainter painter(&image);
        TNetworkRenderer renderer(net, window, bitmaps);
        renderer.Paint(painter, clip);
        return image;
    }

    // A pen plot of the whole plane at 1:1.
    QImage PenPlot(QSize size = QSize(400, 300)) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(kBackground);
        QPainter painter(&image);
        TNetworkRenderer renderer(net, window, bitmaps);
        TRedrawOptions options;
        options.IsPenPlot = true;
        const TRect all{-600000, -600000, 600000, 600000};
        net.Hash.Touch(all, true, window);
        renderer.RedrawNetwork(painter, all, options);
        return image;
    }

    // Gives `owner` a polygon through four new nodes at (100, 100) to (200, 200).
    TNode* SquarePolygon(TNode* owner) {
        Polygon(owner, {Node(100, 100), Node(200, 100), Node(200, 200), Node(100, 200)});
        return owner;
    }

    // Number of pixels of `color` in the rectangle.
    static int Count(const QImage& image, QRect r, QRgb color) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += image.pixel(x, y) == color ? 1 : 0;
        return n;
    }

    TBitmapStore bitmaps;
};

TEST_F(RendererTest, PlaneOriginIsAtPixelTenAtOneToOne) {
    Node(0, 0);
    const QImage image = Render();
    // A filled square of half-size 3 around (10, 10).
    EXPECT_EQ(image.pixel(10, 10), kBlack);
    EXPECT_EQ(image.pixel(7, 7), kBlack);
    EXPECT_EQ(image.pixel(13, 13), kBlack);
    EXPECT_EQ(image.pixel(5, 10), kBackground);
    EXPECT_EQ(image.pixel(15, 10), kBackground);
    EXPECT_EQ(Count(image, QRect(0, 0, 400, 300), kBlack), 49);
}

TEST_F(RendererTest, ScrollPositionsAndZoomMoveThePicture) {
    Node(200, 100);
    struct Case {
        int zoom;
        int horz, vert; // scroll positions in pixels
        QPoint centre;  // where the node's centre lands: logical (210, 110) minus the scroll, scaled
        int halfSize;   // the symbol's half-size in pixels
    };
    const Case cases[] = {
        {13, 0, 0, {210, 110}, 3},  // 1:1
        {13, 50, 20, {160, 90}, 3}, // scrolled
        {15, 0, 0, {420, 220}, 6},  // 2:1
        {11, 0, 0, {105, 55}, 1},   // 1:2
    };
    for (const Case& c : cases) {
        window.ZoomState = c.zoom;
        SetScrollRange(window);
        SetScrollPositions(window, c.horz, c.vert);
        const QImage image = Render(QSize(500, 300));
        EXPECT_EQ(image.pixel(c.centre), kBlack) << "zoom " << c.zoom << " scroll " << c.horz;
        EXPECT_EQ(image.pixel(c.centre + QPoint(c.halfSize, c.halfSize)), kBlack) << "zoom " << c.zoom;
        EXPECT_EQ(image.pixel(c.centre + QPoint(0, c.halfSize + 2)), kBackground) << "zoom " << c.zoom;
    }
}

TEST_F(RendererTest, ClosedArrowHasItsTipAndBarbsWhereTheLinkPointsThem) {
    net.LinkDef.TypeOf(1).shape = 5;
    window.wd.showaend = TAEndDotShape::closedarrow;
    TNode* a = Node(0, 100);
    TNode* b = Node(300, 100);
    Link(a, b);
    window.wd.GlobalShape = TGlobalShape::nodraw; // links only
    const QImage image = Render();
    // Tip (100, 100) -> pixel (110, 110); back corners (94, 106) and (94, 94) -> (104, 116), (104, 104).
    EXPECT_EQ(image.pixel(110, 110), kBlack);
    EXPECT_EQ(image.pixel(104, 116), kBlack);
    EXPECT_EQ(image.pixel(104, 104), kBlack);
    EXPECT_EQ(image.pixel(105, 115), kBlack); // inside the barb, off the 5-pixel line
    EXPECT_EQ(image.pixel(104, 119), kBackground);
    EXPECT_EQ(image.pixel(100, 116), kBackground); // behind the back corners
    EXPECT_EQ(image.pixel(112, 114), kBackground); // beyond the tip, off the line
    // The line itself, width 5, centred on y = 110.
    EXPECT_EQ(image.pixel(200, 108), kBlack);
    EXPECT_EQ(image.pixel(200, 112), kBlack);
    EXPECT_EQ(image.pixel(200, 115), kBackground);
}

TEST_F(RendererTest, TwoBandLinkIsTwoParallelLinesWithoutArrow) {
    window.wd.linkwidthstatus = TWidthStatus::widthh;
    window.wd.linkcriterion[1] = "2:3";
    window.wd.linkbottom[1] = 0;
    window.wd.linktop[1] = 10;
    window.wd.linkactual[1] = 4;
    window.wd.showaend = TAEndDotShape::closedarrow;
    window.wd.GlobalShape = TGlobalShape::nodraw;
    TNode* a = Node(0, 100);
    TNode* b = Node(300, 100);
    Link(a, b);
    for (bool primaryOnRight : {true, false}) {
        window.Display.PrimaryOnRight = primaryOnRight;
        const QImage image = Render();
        // Each band is 4 wide and moved 4/2 + 1 = 3 off the centre line y = 110.
        EXPECT_EQ(image.pixel(200, 107), kBlack);
        EXPECT_EQ(image.pixel(200, 113), kBlack);
        EXPECT_EQ(image.pixel(200, 110), kBackground);
        EXPECT_EQ(image.pixel(200, 101), kBackground);
        EXPECT_EQ(image.pixel(200, 119), kBackground);
        // No arrow head near the A end.
        EXPECT_EQ(image.pixel(104, 117), kBackground);
        EXPECT_EQ(image.pixel(104, 103), kBackground);
    }
}

TEST_F(RendererTest, TwoBandsAreDrawnWithTheirOwnWidthsOnTheChosenSides) {
    window.wd.linkwidthstatus = TWidthStatus::widthh;
    window.wd.linkcriterion[1] = "2:8"; // line width from 2, second width from 8
    window.wd.linkbottom[1] = 0;
    window.wd.linktop[1] = 5;
    window.wd.linkactual[1] = 2;
    window.wd.linkbottom[2] = 6;
    window.wd.linktop[2] = 10;
    window.wd.linkactual[2] = 8;
    window.wd.GlobalShape = TGlobalShape::nodraw;
    TNode* a = Node(0, 100);
    TNode* b = Node(300, 100);
    Link(a, b);
    // Band 1 (second width 8) moves 5 to the left of A->B (up on the screen) with the primary on
    // the right, band 2 (width 2) moves 2 down.
    window.Display.PrimaryOnRight = true;
    QImage image = Render();
    EXPECT_EQ(Count(image, QRect(200, 100, 1, 10), kBlack), 8); // y 101..108 around 105
    EXPECT_EQ(Count(image, QRect(200, 110, 1, 5), kBlack), 2);  // y 111..112 around 112
    window.Display.PrimaryOnRight = false;
    image = Render();
    EXPECT_EQ(Count(image, QRect(200, 110, 1, 10), kBlack), 8);
    EXPECT_EQ(Count(image, QRect(200, 105, 1, 5), kBlack), 2);
}

TEST_F(RendererTest, HatchedPolygonFillsEveryEighthRowInsideOnly) {
    SquarePolygon(Node(20, 20));
    window.wd.GlobalShape = TGlobalShape::nodraw;
    TPolygonStyle& style = window.Display.polygonstyles[0];
    style.brushstyle = 2; // horizontal lines
    style.brushcolor = RGB24(255, 0, 0);
    style.pencolor = RGB24(0, 0, 255);
    const QImage image = Render();
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    // Inside: one red row in eight, the rest transparent (background).
    const int reds = Count(image, QRect(150, 113, 1, 80), red);
    EXPECT_EQ(reds, 10);
    EXPECT_GT(Count(image, QRect(150, 113, 1, 80), kBackground), 60);
    // The border in blue; outside nothing.
    EXPECT_EQ(image.pixel(150, 110), blue);
    EXPECT_EQ(image.pixel(110, 150), blue);
    EXPECT_EQ(Count(image, QRect(0, 215, 400, 80), red), 0);
    EXPECT_EQ(Count(image, QRect(215, 0, 180, 300), red), 0);

    // A negative style hides the polygon; a clear border leaves only the fill.
    window.Display.entitypolygonstyles[1] = -1;
    EXPECT_EQ(Count(Render(), QRect(0, 0, 400, 300), red), 0);
    window.Display.entitypolygonstyles[1] = 3;
    window.Display.polygonstyles[3] = TPolygonStyle{RGB24(0, 0, 255), 5, 1, RGB24(255, 0, 0), 0};
    const QImage solid = Render();
    EXPECT_EQ(solid.pixel(150, 150), red);
    EXPECT_EQ(Count(solid, QRect(0, 0, 400, 300), blue), 0);
}

TEST_F(RendererTest, WidePolygonBorderIsDrawnInAPartialRepaintOutsideTheRectangle) {
    // A 12-wide border around the square's edge x = 100 reaches from 94 to 106; the repainted strip
    // covers 90..95, outside the polygon's rectangle grown by 3.
    SquarePolygon(Node(20, 20));
    window.wd.GlobalShape = TGlobalShape::nodraw;
    TPolygonStyle& style = window.Display.polygonstyles[0];
    style.pencolor = RGB24(0, 0, 255);
    style.penwidth = 12;
    style.brushstyle = 1; // no fill
    const QRgb blue = qRgb(0, 0, 255);
    const QRect strip(100, 140, 6, 20);
    EXPECT_EQ(Render().pixel(105, 150), blue);
    EXPECT_EQ(RenderClip(strip).pixel(105, 150), blue);
}

TEST_F(RendererTest, OpaqueHatchesHideWhatIsBehindTheirGaps) {
    SquarePolygon(Node(20, 20));
    TNode* a = Node(150, 20);
    TNode* b = Node(150, 280);
    Link(a, b); // a vertical line under the polygon
    window.wd.GlobalShape = TGlobalShape::nodraw;
    window.Display.PolygonLayerIsFirst = false; // polygons after links
    window.Display.polygonstyles[0].brushstyle = 2;
    window.Display.polygonstyles[0].brushcolor = RGB24(255, 0, 0);
    window.Display.PolygonsAreOpaque = false;
    EXPECT_GT(Count(Render(), QRect(160, 115, 1, 80), kBlack), 60); // seen through the gaps
    window.Display.PolygonsAreOpaque = true;
    const QImage opaque = Render();
    EXPECT_EQ(Count(opaque, QRect(160, 115, 1, 80), kBlack), 0);
    EXPECT_EQ(opaque.pixel(160, 50), kBlack); // outside the polygon the line stays
}

TEST_F(RendererTest, LayerThresholdHidesNodeBelowItsZoom) {
    TNode* n = Node(100, 100);
    n->Layer = 2;
    window.selectedlayers[2] = 13; // shown from 1:1
    struct Case {
        int zoom;
        QPoint at;
        bool shown;
    };
    for (const Case& c :
         {Case{11, {55, 55}, false}, Case{13, {110, 110}, true}, Case{15, {220, 220}, true}}) {
        window.ZoomState = c.zoom;
        SetScrollRange(window);
        const QImage image = Render();
        EXPECT_EQ(image.pixel(c.at) == kBlack, c.shown) << "zoom " << c.zoom;
    }
    window.selectedlayers[2] = 0; // never
    EXPECT_EQ(Count(Render(), QRect(0, 0, 400, 300), kBlack), 0);
}

TEST_F(RendererTest, LinkWithAnEndInAHiddenLayerIsNotDrawn) {
    window.wd.GlobalShape = TGlobalShape::nodraw;
    TNode* a = Node(0, 50);
    TNode* b = Node(300, 50);
    Link(a, b);
    EXPECT_EQ(Render().pixel(150, 60), kBlack);
    b->Layer = 3;
    window.selectedlayers[3] = 0;
    EXPECT_EQ(Render().pixel(150, 60), kBackground);
}

TEST_F(RendererTest, ElementsOutsideTheSearchAreNotDrawnUnlessGhosted) {
    // The search polygon around (100..200, 100..200) restricts nodes and links.
    TNode* owner = Node(5, 5);
    SquarePolygon(owner);
    window.Display.polygonstyles[0].brushstyle = 1; // clear
    window.Display.polygonstyles[0].penstyle = 5;   // no border
    TNode* inside = Node(150, 150);
    TNode* outside = Node(300, 250);
    Link(inside, outside);
    window.PolygonSearchNode = owner;
    window.PolygonSearchbyNode = true;
    window.PolygonSearchbyLink = true;
    window.PolygonSearch2Ends = true;
    QImage image = Render();
    EXPECT_EQ(image.pixel(160, 160), kBlack);      // the node inside
    EXPECT_EQ(image.pixel(310, 260), kBackground); // the node outside
    EXPECT_EQ(image.pixel(235, 210), kBackground); // the link needs both ends inside
    window.Display.GhostDrawLinks = true;
    image = Render();
    EXPECT_EQ(image.pixel(235, 210), qRgb(191, 191, 191)); // silver ghost
}

TEST_F(RendererTest, SecondNodeAtTheSamePointIsYellowAndPickIsCyan) {
    Node(100, 100);
    Node(100, 100);
    TNode* picked = Node(200, 100);
    window.LastNode = picked;
    const QImage image = Render();
    EXPECT_EQ(image.pixel(110, 110), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(210, 110), qRgb(0, 255, 255));
}

TEST_F(RendererTest, ColourIndexZeroAndOutOfRangeIndices) {
    window.wd.GlobalShape = TGlobalShape::nodraw;
    TNode* a = Node(0, 50);
    TNode* b = Node(300, 50);
    Link(a, b);
    struct Case {
        int ecolor;
        QRgb expected;
    };
    for (const Case& c :
         {Case{0, kBackground}, Case{4, qRgb(255, 0, 0)}, Case{-3, kBackground}, Case{99, kBlack}}) {
        net.LinkDef.TypeOf(1).ecolor = c.ecolor;
        EXPECT_EQ(Render().pixel(150, 60), c.expected) << "colour " << c.ecolor;
    }
}

TEST_F(RendererTest, NodeSymbolShapesCoverTheirFigures) {
    struct Case {
        TGlobalShape shape;
        int code;
        QPoint on;  // offset from the centre that is drawn
        QPoint off; // offset that is not
    };
    const Case cases[] = {
        {TGlobalShape::entity, 2, {0, 2}, {-3, -3}}, // triangle, point up
        {TGlobalShape::entity, 5, {0, -2}, {-3, 3}}, // triangle, point down
        {TGlobalShape::entity, 3, {0, 0}, {-3, -3}}, // diamond
        {TGlobalShape::entity, 7, {-3, 0}, {0, 0}},  // open square: border only
        {TGlobalShape::entity, 9, {0, 2}, {2, 2}},   // open square with a plus
        {TGlobalShape::entity, 15, {3, 0}, {0, 0}},  // a missing bitmap: outlined square
        {TGlobalShape::box, 1, {3, 3}, {0, 0}},      // outlined square
        {TGlobalShape::dot, 6, {0, 5}, {6, 6}},      // filled circle of radius 6
        {TGlobalShape::circle, 6, {0, 6}, {0, 0}},   // circle outline
    };
    TNode* n = Node(100, 100);
    for (const Case& c : cases) {
        net.NodeDef.TypeOf(1).shape = c.code;
        window.wd.GlobalShape = c.shape;
        const QImage image = Render();
        const QPoint centre(110, 110);
        EXPECT_EQ(image.pixel(centre + c.on), kBlack) << "code " << c.code;
        EXPECT_EQ(image.pixel(centre + c.off), kBackground) << "code " << c.code;
    }
    (void)n;
}

TEST_F(RendererTest, BigRoundSymbolsAreDrawnInAPartialRepaintTheyReachInto) {
    // Radius 30 (code 40 less 10): the node's point (110, 110) lies left of the repainted strip
    // from x 125 to 154, the right part of its symbol inside it.
    net.NodeDef.TypeOf(1).shape = 40;
    TNode* n = Node(100, 100);
    net.NodeDef.TypeOf(1).pielist[1] = 1;
    net.NodeDef.TypeOf(1).pielist[2] = 2;
    n->ResizeValues(2);
    n->NValue[0] = n->NValue[1] = 1; // two halves: slice 1 on the right, slice 2 on the left
    struct Case {
        TGlobalShape shape;
        QPoint pixel; // inside the strip
        QRgb color;
    };
    const Case cases[] = {
        {TGlobalShape::circle, {140, 110}, kBlack}, // the outline, 5 wide around x 140
        {TGlobalShape::dot, {130, 110}, kBlack},
        {TGlobalShape::piegraph, {130, 110}, qRgb(128, 0, 0)},
    };
    const QRect strip(125, 90, 30, 40);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.shape));
        window.wd.GlobalShape = c.shape;
        ComputeWorstSizes(net, window, bitmaps);
        ASSERT_TRUE(strip.contains(c.pixel));
        EXPECT_EQ(RenderClip(strip).pixel(c.pixel), c.color);
        EXPECT_EQ(Render().pixel(c.pixel), c.color) << "the whole picture as the reference";
    }
}

TEST_F(RendererTest, ArrowHeadIsDrawnInAPartialRepaintBelowItsLink) {
    // Width 10 with a closed arrow: the back corner (90, 110), with the 10-wide outline around it,
    // reaches 15 below the link's line y = 100; the repainted strip starts 12 below it.
    net.LinkDef.TypeOf(1).shape = 10;
    window.wd.showaend = TAEndDotShape::closedarrow;
    window.wd.GlobalShape = TGlobalShape::nodraw;
    Link(Node(0, 100), Node(300, 100));
    ComputeWorstSizes(net, window, bitmaps);
    const QRect strip(80, 122, 40, 20);
    const QPoint corner(100, 123); // plane (90, 113)
    EXPECT_EQ(RenderClip(strip).pixel(corner), kBlack);
    EXPECT_EQ(Render().pixel(corner), kBlack);
}

TEST_F(RendererTest, HighlightsShowNodesWhoseColourIsZero) {
    net.NodeDef.TypeOf(1).ecolor = 0; // not drawn
    struct Case {
        const char* name;
        bool pick, twice, corner, monochromePlot;
        QRgb color;
    };
    const Case cases[] = {
        {"plain", false, false, false, false, kBackground},
        {"picked", true, false, false, false, qRgb(0, 255, 255)},
        {"drawn over another", false, true, false, false, qRgb(255, 255, 0)},
        {"active polygon corner", false, false, true, false, qRgb(0, 127, 127)},
        {"monochrome plot", false, false, false, true, kBlack},
    };
    std::int32_t x = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        x += 40;
        TNode* n = Node(x, 100);
        if (c.twice)
            n = Node(x, 100);
        window.LastNode = c.pick ? n : nullptr;
        n->IsActivePolygonCorner = c.corner;
        window.Display.Monochrome = c.monochromePlot;
        const QImage image = c.monochromePlot ? PenPlot() : Render();
        EXPECT_EQ(image.pixel(x + 10, 110), c.color);
        EXPECT_EQ(image.pixel(x + 12, 112), c.color) << "the whole symbol";
        n->IsActivePolygonCorner = false;
        n->IsDrawnN = false; // out of the way of the next case
    }
}

TEST_F(RendererTest, PickedShapePointIsACrossInThePickColour) {
    const QRgb cyan = qRgb(0, 255, 255);
    window.wd.GlobalShape = TGlobalShape::nodraw;
    window.wd.showaend = TAEndDotShape::smalldot; // the first shape point gets no cross of its own
    TNode* a = Node(0, 100);
    TNode* b = Node(300, 100);
    TLinkValues* link = Link(a, b, {{100, 50}, {200, 50}});
    for (int ecolor : {1, 0}) {
        SCOPED_TRACE(ecolor);
        net.LinkDef.TypeOf(1).ecolor = ecolor;
        window.LastSp = link->ShapePoints[0];
        QImage image = Render();
        // The cross arms around (110, 60).
        EXPECT_EQ(image.pixel(107, 57), cyan);
        EXPECT_EQ(image.pixel(113, 57), cyan);
        EXPECT_EQ(image.pixel(110, 60), cyan);
        EXPECT_EQ(image.pixel(207, 57), ecolor == 0 ? kBackground : kBlack) << "the other point as it is";
        EXPECT_EQ(RenderClip(QRect(105, 55, 10, 10)).pixel(113, 57), cyan) << "a repaint of the pick only";
        window.LastSp = nullptr;
        image = Render();
        EXPECT_NE(image.pixel(107, 57), cyan);
    }
}

TEST_F(RendererTest, PieWithoutPositiveSlicesIsADot) {
    window.wd.GlobalShape = TGlobalShape::piegraph;
    net.NodeDef.TypeOf(1).shape = 8; // radius 8
    Node(100, 100);
    const QImage image = Render();
    EXPECT_EQ(image.pixel(110, 110), kBlack);
    EXPECT_EQ(image.pixel(110, 116), kBlack);
    EXPECT_EQ(image.pixel(110, 121), kBackground);
}

TEST_F(RendererTest, ShapePointsGetCrossesUnlessSuppressed) {
    window.wd.GlobalShape = TGlobalShape::nodraw;
    TNode* a = Node(0, 100);
    TNode* b = Node(300, 100);
    Link(a, b, {{150, 50}});
    QImage image = Render();
    // The cross arms around (160, 60).
    EXPECT_EQ(image.pixel(157, 57), kBlack);
    EXPECT_EQ(image.pixel(163, 57), kBlack);
    EXPECT_EQ(image.pixel(85, 85), kBlack); // on the first segment, (75, 75) + 10
    window.wd.SuppressShapes = true;
    image = Render();
    EXPECT_EQ(image.pixel(157, 57), kBackground);
    EXPECT_EQ(image.pixel(85, 85), kBlack);
}

TEST_F(RendererTest, DegenerateGeometryDrawsWithoutFault) {
    // Zero-length links, a two-band link between coincident nodes, a node at the plane's edge, a
    // degenerate polygon and empty extents: nothing may divide by zero or overflow.
    window.wd.linkwidthstatus = TWidthStatus::widthh;
    window.wd.linkcriterion[1] = "2:3";
    window.wd.linkbottom[1] = 0;
    window.wd.linktop[1] = 10;
    window.wd.showaend = TAEndDotShape::biggerclosedarrow;
    TNode* a = Node(50, 50);
    TNode* b = Node(50, 50);
    Link(a, b);
    TNode* edge = Node(511999, -511999);
    TNode* c = Node(511999, 511999);
    Link(edge, c);
    TNode* owner = Node(60, 60);
    Polygon(owner, {a, b});
    window.XMin = 512000;
    window.YMin = 512000;
    window.XMax = window.YMax = -512000;
    window.XScroll = window.YScroll = 10 - 512000;
    SetScrollRange(window);
    const QImage image = Render();
    // Only the node at (511999, 511999) lands in the picture, at logical (9, 9).
    EXPECT_EQ(image.pixel(9, 9), kBlack);
    EXPECT_EQ(Count(image, QRect(0, 0, 400, 300), kBlack), 49);
}

TEST_F(RendererTest, SameInputsGiveTheSamePixels) {
    window.wd.showaend = TAEndDotShape::openarrow;
    for (int i = 0; i < 20; ++i) {
        TNode* a = Node(i * 17 % 300, i * 29 % 250);
        TNode* b = Node((i * 53 + 40) % 300, (i * 11 + 70) % 250);
        Link(a, b, {{(i * 7) % 300, (i * 13) % 250}});
    }
    const QImage first = Render();
    const QImage second = Render();
    EXPECT_EQ(first, second);
    EXPECT_GT(Count(first, QRect(0, 0, 400, 300), kBlack), 500);
}

TEST_F(RendererTest, LinkBitmapIsStampedAlongTheLink) {
    QImage stamp(3, 3, QImage::Format_RGB32);
    stamp.fill(qRgb(255, 0, 0));
    stamp.setPixel(0, 2, qRgb(0, 255, 0)); // the key colour, transparent
    bitmaps.Set(TBitmapFamily::link, 3, stamp);
    net.LinkDef.TypeOf(1).shape = 13; // link bitmap 3
    window.wd.GlobalShape = TGlobalShape::nodraw;
    TNode* a = Node(0, 100);
    TNode* b = Node(200, 100);
    Link(a, b);
    const QImage image = Render();
    const QRgb red = qRgb(255, 0, 0);
    // Stamps one bitmap height apart (centred at x = 10, 13, 16, ...) make a band three pixels high
    // from A to B; the bottom row keeps each stamp's transparent key pixel (x = 9, 12, 15, ...).
    EXPECT_EQ(Count(image, QRect(12, 109, 190, 2), red), 190 * 2);
    EXPECT_EQ(Count(image, QRect(12, 111, 190, 1), red), 190 - 64);
    EXPECT_EQ(image.pixel(15, 111), kBackground);
    EXPECT_EQ(Count(image, QRect(0, 0, 400, 108), red), 0);
    EXPECT_EQ(Count(image, QRect(0, 112, 400, 188), red), 0);
    EXPECT_EQ(Count(image, QRect(211, 0, 189, 300), red), 0);
    EXPECT_EQ(Count(image, QRect(0, 0, 400, 300), kBlack), 0); // no line drawn under the stamps
}

TEST_F(RendererTest, InterruptibleRedrawStopsBetweenCellsWhenAsked) {
    for (int i = 0; i < 5; ++i)
        Node(i * 5000, 100); // one node a cell
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    TNetworkRenderer renderer(net, window, bitmaps);
    TRedrawOptions options;
    options.IsInterruptable = true;
    int calls = 0;
    options.ProcessEvents = [&calls] { return ++calls == 2; };
    const TRect all{-600000, -600000, 600000, 600000};
    net.Hash.Touch(all, false, window);
    EXPECT_FALSE(renderer.RedrawNetwork(painter, all, options));
    EXPECT_EQ(calls, 2); // the link pass asked once a cell and stopped at the second
    options.ProcessEvents = [&calls] { return ++calls < 0; };
    calls = 0;
    EXPECT_TRUE(renderer.RedrawNetwork(painter, all, options));
    EXPECT_GE(calls, 10); // every cell of both passes
}

TEST_F(RendererTest, PlotCursorDrawnTwiceIsGone) {
    window.CurPosX = 100;
    window.CurPosY = 50;
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(kBackground);
    const QImage blank = image;
    TNetworkRenderer renderer(net, window, bitmaps);
    TRedrawOptions options;
    {
        QPainter painter(&image);
        renderer.DrawPlotCursor(painter, options);
    }
    // Exclusive-or of navy on white.
    const QRgb xored = (qRgb(255, 255, 255) ^ qRgb(0, 0, 127)) | 0xFF000000u;
    EXPECT_EQ(image.pixel(110, 200), xored);
    EXPECT_EQ(image.pixel(300, 60), xored);
    EXPECT_EQ(image.pixel(300, 100), kBackground);
    {
        QPainter painter(&image);
        renderer.DrawPlotCursor(painter, options);
    }
    EXPECT_EQ(image, blank);
}

TEST_F(RendererTest, NodeBitmapReplacesTheSymbolAndFallsBackWhenMissing) {
    QImage picture(9, 5, QImage::Format_RGB32);
    picture.fill(qRgb(0, 255, 0)); // key colour: the bottom-left pixel
    for (int x = 0; x < 9; ++x)
        picture.setPixel(x, 2, qRgb(255, 0, 0));
    bitmaps.Set(TBitmapFamily::node, 5, picture);
    net.NodeDef.TypeOf(1).shape = 15;
    Node(100, 100);
    QImage image = Render();
    // Top-left at (100 - 4, 100 - 2) + 10: the red row at y 110 from x 106 to 114; key transparent.
    EXPECT_EQ(image.pixel(106, 110), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(114, 110), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(110, 109), kBackground);
    EXPECT_EQ(image.pixel(115, 110), kBackground);
    bitmaps.Set(TBitmapFamily::node, 5, QImage());
    image = Render();
    EXPECT_EQ(image.pixel(113, 110), kBlack); // the outlined square's border
    EXPECT_EQ(image.pixel(110, 110), kBackground);
}

} // namespace
} // namespace zan

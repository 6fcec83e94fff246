// The rules that resolve an element's look: colour indices, palettes and schemes, polygon styles,
// layers and the size items.
#include <gtest/gtest.h>

#include "core/model/NetworkFixture.h"
#include "display/Styles.h"

namespace zan {
namespace {

TEST(Styles, ColourIndicesAreCheckedBeforeTheTables) {
    struct Case {
        std::int64_t index;
        int checked;
    };
    for (const Case& c :
         {Case{-5, 0}, Case{0, 0}, Case{16, 16}, Case{25, 25}, Case{26, 1}, Case{1000000, 1}}) {
        EXPECT_EQ(CheckedColorIndex(c.index), c.checked) << c.index;
    }
    EXPECT_EQ(PieColor(-1), PieColor(0));
    EXPECT_EQ(PieColor(16), PieColor(0));
    EXPECT_EQ(PieColor(9), RGB24(255, 0, 0));
}

TEST(Styles, ColoursResolveThroughThePaletteOnlyWhenAskedTo) {
    TWindowSettings window;
    const TColorTable standard = StandardColors(RGB24(240, 240, 240));
    window.Display.customcolors[4] = RGB24(1, 2, 3);
    EXPECT_EQ(ResolveColor(window, standard, 4), RGB24(255, 0, 0));
    EXPECT_EQ(ResolveColor(window, standard, 0), RGB24(240, 240, 240)); // the window background
    window.wd.UsePolygonColors = true;
    EXPECT_EQ(ResolveColor(window, standard, 4), RGB24(1, 2, 3));
    EXPECT_EQ(ResolveColor(window, standard, 99), window.Display.customcolors[1]);
}

TEST(Styles, ColourSchemesInterpolateEachChannel) {
    // Grays: white to black; applied and used for links and nodes, 16 is black and 1 is white.
    const auto grays = ColorSchemeSwatches(1);
    EXPECT_EQ(ColorSchemeName(1), "Grays");
    EXPECT_EQ(grays[1], RGB24(255, 255, 255));
    EXPECT_EQ(grays[16], RGB24(0, 0, 0));
    EXPECT_EQ(grays[2], RGB24(238, 238, 238)); // 255 - round(255 / 15)
    // Traffic Lights: lime, yellow at 8 and 9's start, red at 16.
    const auto lights = ColorSchemeSwatches(18);
    EXPECT_EQ(lights[1], RGB24(0, 255, 0));
    EXPECT_EQ(lights[8], RGB24(255, 255, 0));
    EXPECT_EQ(lights[9], RGB24(255, 223, 0)); // 255 - round(255 / 8)
    EXPECT_EQ(lights[16], RGB24(255, 0, 0));
    // Default: the standard colours; an unknown scheme reads as the default.
    EXPECT_EQ(ColorSchemeSwatches(0)[2], RGB24(0, 0, 255));
    EXPECT_EQ(ColorSchemeSwatches(77), ColorSchemeSwatches(0));
    EXPECT_EQ(ColorSchemeName(24), "White/Fuchsia/Black");
}

TEST(Styles, StandardSizeItemsAndPieSizes) {
    struct Case {
        int stored, shown;
    };
    for (const Case& c : {Case{1, 2}, Case{2, 2}, Case{3, 3}, Case{5, 5}, Case{6, 7}, Case{7, 7}, Case{8, 10},
                          Case{9, 10}, Case{40, 10}}) {
        EXPECT_EQ(StandardSizeShown(c.stored), c.shown) << c.stored;
    }
    EXPECT_EQ(PieSizeToCode(10), 10);
    EXPECT_EQ(PieSizeToCode(11), 21);
    EXPECT_EQ(CodeToPieSize(21), 11);
    EXPECT_EQ(CodeToPieSize(7), 7);
}

class PolygonStyles : public testing::NetworkFixture {};

TEST_F(PolygonStyles, HighlightThenNodeThenTypeOrComputedStyle) {
    TNode* owner = Node(0, 0, 2);
    window.Display.entitypolygonstyles[2] = 7;
    EXPECT_EQ(PolygonStyleIndex(*owner, window, 0), 7);
    window.Display.entitypolygonstyles[2] = 55;
    EXPECT_EQ(PolygonStyleIndex(*owner, window, 0), 40); // above 40 reads as 40
    window.Display.entitypolygonstyles[2] = -1;
    EXPECT_EQ(PolygonStyleIndex(*owner, window, 0), -1); // hidden
    window.wd.nodewidthstatus = TWidthStatus::traverse;
    EXPECT_EQ(PolygonStyleIndex(*owner, window, 12), 12);
    owner->PolygonStyle = 3;
    EXPECT_EQ(PolygonStyleIndex(*owner, window, 12), 3);
    owner->IsActivePolygonOwner = true;
    EXPECT_EQ(PolygonStyleIndex(*owner, window, 12), 41);
}

TEST(Styles, NewWindowShowsEveryLayerFromTheSmallestZoom) {
    TWindowSettings window;
    for (int layer = 1; layer <= kLayers; ++layer) {
        window.ZoomState = 1;
        EXPECT_TRUE(LayerVisible(window, layer));
    }
    EXPECT_EQ(window.layernames[10], "A");
    window.selectedlayers[4] = 13; // from 1:1
    window.ZoomState = 11;         // 1:2
    EXPECT_FALSE(LayerVisible(window, 4));
    window.ZoomState = 13;
    EXPECT_TRUE(LayerVisible(window, 4));
    EXPECT_FALSE(LayerVisible(window, 11));
}

} // namespace
} // namespace zan

// The sample network shipped in examples/ (Kestrel Falls, made by examples/MakeSample.cpp) opens
// intact and draws.

#include <QImage>
#include <QSize>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "files/NetworkFile.h"
#include "model/Network.h"
#include "model/WindowSettings.h"
#include "render/BitmapStore.h"
#include "render/PlotImage.h"

namespace {

const std::string kSample = std::string(ZAN_EXAMPLES) + "/sample.dta";

class SampleNetwork : public ::testing::Test {
protected:
    void SetUp() override {
        const zan::TReadReport report = zan::OpenNetworkFile(kSample, net, window);
        ASSERT_EQ(report.code, zan::kFileOK) << kSample;
        EXPECT_EQ(report.version, zan::kCurrentVersion);
        EXPECT_FALSE(report.DroppedLinks());
    }

    zan::TNetwork net;
    zan::TWindowSettings window;
};

TEST_F(SampleNetwork, OpensWithItsTownIntact) {
    const std::array<const char*, 6> nodeTypes = {
        "Undefined",   "Intersection",     "Signalized Intersection",
        "Interchange", "External Station", "Zone Centroid"};
    const std::array<const char*, 8> linkTypes = {"Undefined",      "Freeway",           "Ramp",
                                                  "Arterial",       "Collector",         "Local",
                                                  "One-Way Street", "Centroid Connector"};
    for (std::size_t t = 1; t < nodeTypes.size(); ++t)
        EXPECT_EQ(net.NodeDef.Classs[t].ename, nodeTypes[t]) << "node type " << t;
    for (std::size_t t = 1; t < linkTypes.size(); ++t)
        EXPECT_EQ(net.LinkDef.Classs[t].ename, linkTypes[t]) << "link type " << t;
    EXPECT_TRUE(net.LinkDef.Classs[2].hasarrow);  // ramps
    EXPECT_FALSE(net.LinkDef.Classs[3].hasarrow); // arterials

    int nodes = 0, links = 0, shapePoints = 0, polygons = 0, unnamed = 0;
    net.Hash.ForEachPoint([&](zan::TNetworkPoint& p) {
        if (p.IsShapePoint()) {
            ++shapePoints;
            return;
        }
        const zan::TNode& n = *p.AsNode();
        ++nodes;
        unnamed += n.alabel.empty() ? 1 : 0;
        if (!n.MyPolygonList.IsEmpty()) {
            ++polygons;
            EXPECT_EQ(n.NType, 5) << n.alabel.str(); // zones belong to zone centroids,
            EXPECT_EQ(n.Layer, 2) << n.alabel.str(); // which sit on the zone layer
        }
    });
    net.Hash.ForEachLink([&](zan::TLinkValues& link) {
        ++links;
        for (const zan::TNode* end : {link.AEnd, link.BEnd}) {
            ASSERT_NE(end, nullptr);
            EXPECT_FALSE(end->IsShapePoint());
            EXPECT_TRUE(end->IsDrawnN);
        }
        EXPECT_NE(link.AEnd, link.BEnd);
        EXPECT_EQ(link.ValueCount(), 6);
    });
    EXPECT_EQ(nodes, 140);
    EXPECT_EQ(links, 238);
    EXPECT_EQ(shapePoints, 483);
    EXPECT_EQ(polygons, 13);
    EXPECT_EQ(unnamed, 0);
    EXPECT_EQ(window.selectedlayers[2], 9); // zones are shown from 1:4 on
    EXPECT_EQ(window.layernames[2], "Zones");
}

// Counts the pixels of one colour.
int Pixels(const QImage& image, QRgb color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == color ? 1 : 0;
    }
    return n;
}

TEST_F(SampleNetwork, DrawsRoadsAndHidesZonesWhenZoomedOut) {
    const zan::TBitmapStore bitmaps;
    const QRgb white = qRgb(255, 255, 255);
    const QRgb homes = qRgb(255, 245, 205); // the fill of the residential zones
    const QSize size(480, 360);

    const QImage near = zan::PlotToImage(net, window, bitmaps, size);
    EXPECT_GT(Pixels(near, homes), 2000);

    window.ZoomState = 8; // 1:6, below the zone layer's minimum zoom
    const QImage far = zan::PlotToImage(net, window, bitmaps, size);
    EXPECT_EQ(Pixels(far, homes), 0);
    const int drawn = size.width() * size.height() - Pixels(far, white);
    EXPECT_GT(drawn, 3000); // the roads are still there
}

} // namespace

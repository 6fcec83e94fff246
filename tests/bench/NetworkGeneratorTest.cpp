#include <gtest/gtest.h>

#include <set>

#include "NetworkGenerator.h"

namespace zan::bench {
namespace {

// The generated network is what benchmarks measure: it must be a valid network, built through the
// table's own insertions, with every element where the table says it is.
TEST(NetworkGenerator, BuildsAConsistentNetwork) {
    TGeneratorOptions o;
    o.nodes = 20000;
    o.links = 30000;
    o.polygons = 20;
    o.nodeAttributes = 3;
    o.named = 1;
    const TGeneratedNetwork g = GenerateNetwork(o);
    ASSERT_EQ(g.nodes.size(), 20000u);
    ASSERT_EQ(g.links.size(), 30000u);

    TNetwork net;
    TWindowSettings window;
    const std::vector<TNode*> nodes = BuildNetwork(g, net, window);
    EXPECT_EQ(net.NumberOfNodes, 20000);
    EXPECT_EQ(net.NumberOfLinks, 30000);

    std::size_t shapePoints = 0;
    for (const auto& l : g.links)
        shapePoints += l.shape.size();
    EXPECT_EQ(net.Hash.PointCount(), static_cast<std::int64_t>(g.nodes.size() + shapePoints));

    std::set<std::pair<TNode*, TNode*>> joined;
    std::int64_t links = 0;
    net.Hash.ForEachLink([&](TLinkValues& link) {
        ++links;
        EXPECT_NE(link.AEnd, link.BEnd);
        EXPECT_TRUE(joined.insert(std::minmax(link.AEnd, link.BEnd)).second)
            << "two links join the same nodes";
        TLink* back = nullptr;
        EXPECT_TRUE(link.BEnd->LinkList.FindLink(link.AEnd, back));
        EXPECT_EQ(back->LinkData, &link);
        TRect rect = TRect::At(link.AEnd->x_cent, link.AEnd->y_cent);
        rect.Include(link.BEnd->x_cent, link.BEnd->y_cent);
        for (const TShapePoint* sp : link.ShapePoints) {
            EXPECT_EQ(sp->MyLink, &link);
            rect.Include(sp->x_cent, sp->y_cent);
        }
        EXPECT_EQ(link.LinkRect, rect);
    });
    EXPECT_EQ(links, 30000);

    net.Hash.ForEachPoint([&](TNetworkPoint& p) {
        const THashEntry* cell = net.Hash.Address(p.x_cent, p.y_cent);
        ASSERT_NE(cell, nullptr);
        EXPECT_NE(cell->NodeList.IndexOf(&p), -1);
    });
    EXPECT_EQ(nodes[123]->alabel, "N123");
    EXPECT_EQ(nodes[123]->ValueCount(), 3);
    EXPECT_TRUE(net.Hash.HasPolygons);
    EXPECT_EQ(net.Hash.FindNodeByName("N12345", false, window), nodes[12345]);
}

// Shares of named and displayed elements are spread evenly and exact; display records are written.
TEST(NetworkGenerator, NamesAndDisplaysTheChosenShares) {
    struct Case {
        double share;
        std::int64_t of100;
    };
    for (const Case& c : {Case{0, 0}, Case{0.02, 2}, Case{0.5, 50}, Case{1, 100}, Case{3, 100}}) {
        std::int64_t in = 0;
        for (std::int64_t i = 0; i < 100; ++i)
            in += InShare(i, c.share) ? 1 : 0;
        EXPECT_EQ(in, c.of100) << c.share;
    }
    TGeneratorOptions o;
    o.nodes = 1000;
    o.links = 1500;
    o.named = 0.25;
    o.displayed = 0.02;
    TNetwork net;
    TWindowSettings window;
    BuildNetwork(GenerateNetwork(o), net, window);
    int namedNodes = 0, displayedNodes = 0, namedLinks = 0, displayedLinks = 0;
    net.Hash.ForEachNode([&](TNode& n) {
        namedNodes += n.alabel.empty() ? 0 : 1;
        displayedNodes += n.Font != 0 ? 1 : 0;
    });
    net.Hash.ForEachLink([&](TLinkValues& l) {
        namedLinks += l.alabel.empty() ? 0 : 1;
        displayedLinks += l.Font != 0 ? 1 : 0;
    });
    EXPECT_EQ(namedNodes, 250);
    EXPECT_EQ(displayedNodes, 20);
    EXPECT_EQ(namedLinks, 375);
    EXPECT_EQ(displayedLinks, 30);
}

} // namespace
} // namespace zan::bench

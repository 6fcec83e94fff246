// A small network to test the model on: nodes and links are made through the hash table, as the
// program makes them.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan::testing {

class NetworkFixture : public ::testing::Test {
protected:
    TNode* Node(std::int32_t x, std::int32_t y, std::uint8_t type = 1) {
        net.InitialNode.NType = type;
        THashEntry* cell = nullptr;
        TNode* n = net.Hash.InsertNode(x, y, 0, true, cell);
        EXPECT_NE(n, nullptr);
        return n;
    }
    TLinkValues* Link(TNode* a, TNode* b, std::vector<TPoint> shape = {}, std::uint8_t type = 1) {
        net.InitialLink.LType = type;
        TLink* l1 = nullptr;
        TLink* l2 = nullptr;
        TLinkValues* link = net.Hash.InsertLink(*a, *b, l1, l2, 0, true);
        for (std::size_t i = 0; i < shape.size(); ++i) {
            net.Hash.InsertShapePoint(shape[i].x, shape[i].y, *link, static_cast<std::int32_t>(i));
        }
        return link;
    }
    // Makes `owner` own a polygon through the given vertices.
    void Polygon(TNode* owner, const std::vector<TNetworkPoint*>& vertices) {
        for (TNetworkPoint* v : vertices) {
            owner->MyPolygonList.Add(v);
            v->YourPolygonList.Add(owner);
        }
        owner->UpdateRectangle(net.Hash);
    }

    TNetwork net;
    TWindowSettings window;
};

} // namespace zan::testing

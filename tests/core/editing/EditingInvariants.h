// The structural invariants every editing operation keeps, checked after each step of the editing
// tests: no drawn link at a deleted node, both halves of a link in their nodes' lists, shape points
// belong to their link and are drawn with it, link rectangles hold their points and their A cell
// knows of them, the table finds every point where it is, the two polygon lists mirror each other,
// and a cell knows of the drawn polygons its nodes own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "model/Network.h"

namespace zan::testing {

inline void CheckEditingInvariants(TNetwork& net) {
    std::int64_t points = 0;
    net.Hash.ForEachPoint([&](TNetworkPoint& p) {
        ++points;
        THashEntry* cell = net.Hash.Address(p.x_cent, p.y_cent);
        ASSERT_NE(cell, nullptr);
        EXPECT_GE(cell->NodeList.IndexOf(&p), 0) << p.x_cent << "," << p.y_cent;
        EXPECT_NE(cell->PointAt(p.x_cent, p.y_cent), nullptr);
        for (TNode* owner : p.YourPolygonList) {
            std::int32_t at = 0;
            EXPECT_TRUE(owner->MyPolygonList.IsInList(&p, at)) << "owner list without the vertex";
        }
        if (TShapePoint* sp = p.AsShapePoint()) {
            ASSERT_NE(sp->MyLink, nullptr) << "shape point without a link";
            EXPECT_GE(sp->MyLink->ShapePoints.find(sp), 0);
        }
        if (TNode* n = p.AsNode()) {
            for (TNetworkPoint* v : n->MyPolygonList) {
                EXPECT_GE(v->YourPolygonList.IndexOf(n), 0) << "vertex without its owner";
                if (v->IsDrawnN) {
                    EXPECT_TRUE(n->PolygonRectangle.Contains(v->x_cent, v->y_cent));
                }
            }
            if (n->IsDrawnN && !n->MyPolygonList.IsEmpty()) {
                EXPECT_TRUE(cell->HasPolygons) << "cell does not know of a polygon";
            }
            for (TLink* half : n->LinkList)
                EXPECT_EQ(half->OwnNode(), n) << "half-link in the wrong list";
        }
    });
    EXPECT_EQ(points, net.Hash.PointCount());
    net.Hash.ForEachLink([&](TLinkValues& link) {
        ASSERT_NE(link.AEnd, nullptr);
        ASSERT_NE(link.BEnd, nullptr);
        EXPECT_EQ(link.AHalf().OwnNode(), link.AEnd);
        EXPECT_EQ(link.BHalf().OwnNode(), link.BEnd);
        EXPECT_GE(link.AEnd->LinkList.find(&link.AHalf()), 0);
        EXPECT_GE(link.BEnd->LinkList.find(&link.BHalf()), 0);
        if (link.IsDrawnL) {
            EXPECT_TRUE(link.AEnd->IsDrawnN && link.BEnd->IsDrawnN) << "drawn link at a deleted node";
            THashEntry* cell = net.Hash.Address(link.AEnd->x_cent, link.AEnd->y_cent);
            ASSERT_NE(cell, nullptr);
            EXPECT_TRUE(cell->linkcomprectangle.Contains(link.LinkRect.left, link.LinkRect.top));
            EXPECT_TRUE(cell->linkcomprectangle.Contains(link.LinkRect.right, link.LinkRect.bottom));
        }
        EXPECT_TRUE(link.LinkRect.Contains(link.AEnd->x_cent, link.AEnd->y_cent));
        EXPECT_TRUE(link.LinkRect.Contains(link.BEnd->x_cent, link.BEnd->y_cent));
        for (TShapePoint* sp : link.ShapePoints) {
            EXPECT_EQ(sp->MyLink, &link);
            EXPECT_EQ(sp->IsDrawnN, link.IsDrawnL) << "shape point not drawn with its link";
            EXPECT_TRUE(link.LinkRect.Contains(sp->x_cent, sp->y_cent));
        }
    });
}

} // namespace zan::testing

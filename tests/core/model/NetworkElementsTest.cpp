#include <gtest/gtest.h>

#include "NetworkFixture.h"
#include "model/NetworkElements.h"

namespace zan {
namespace {

using Elements = testing::NetworkFixture;

TEST(Orientation, CompassBearings) {
    struct Case {
        TPoint a, b;
        double bearing;
    };
    const Case cases[] = {
        {{0, 0}, {0, -5}, 0},   {{0, 0}, {0, 5}, 180}, {{0, 0}, {0, 0}, 180},  {{0, 0}, {5, 0}, 90},
        {{0, 0}, {-5, 0}, 270}, {{0, 0}, {5, -5}, 45}, {{0, 0}, {-5, 5}, 225}, {{0, 0}, {-5, -5}, 315},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(Orientation(c.a.x, c.a.y, c.b.x, c.b.y), c.bearing, 1e-9) << c.b.x << "," << c.b.y;
    }
}

TEST_F(Elements, HalfLinksShareOneRecordAndFindEachOther) {
    TNode* a = Node(0, 0);
    TNode* b = Node(100, 0);
    TNode* c = Node(0, 100);
    TLinkValues* ab = Link(a, b);

    ASSERT_EQ(a->LinkList.size(), 1u);
    ASSERT_EQ(b->LinkList.size(), 1u);
    TLink* ha = a->LinkList[0];
    TLink* hb = b->LinkList[0];
    EXPECT_EQ(ha->LinkData, ab);
    EXPECT_EQ(hb->LinkData, ab);
    EXPECT_TRUE(ha->IsAEnd());
    EXPECT_FALSE(hb->IsAEnd());
    EXPECT_EQ(ha->OppEndNode, b);
    EXPECT_EQ(hb->OppEndNode, a);
    EXPECT_DOUBLE_EQ(ha->ABOrientation(), 90);

    TLink* found = nullptr;
    EXPECT_TRUE(a->LinkList.FindLink(b, found));
    EXPECT_EQ(found, ha);
    EXPECT_TRUE(b->LinkList.FindLink(a, found));
    EXPECT_EQ(found, hb);
    EXPECT_FALSE(a->LinkList.FindLink(c, found));
    EXPECT_EQ(found, nullptr);

    TLink* position = ha;
    EXPECT_FALSE(c->LinkList.FindLinkSerial(a->snumb, position));
    EXPECT_EQ(position, ha); // unchanged on failure
    EXPECT_TRUE(b->LinkList.FindLinkSerial(a->snumb, position));
    EXPECT_EQ(position, hb);
}

TEST_F(Elements, ValidCountPutsTheArrivingLinkFirst) {
    TNode* m = Node(0, 0);
    TNode* p = Node(-10, 0);
    TNode* q = Node(10, 0);
    TNode* r = Node(0, 10);

    // Leaving link listed first, arriving second.
    TLinkValues* leave = Link(m, q);
    TLinkValues* arrive = Link(p, m);
    TNode* n1 = nullptr;
    TNode* n2 = nullptr;
    TLinkValues* d1 = nullptr;
    TLinkValues* d2 = nullptr;
    ASSERT_TRUE(m->LinkList.ValidCount(n1, n2, d1, d2));
    EXPECT_EQ(n1, p);
    EXPECT_EQ(d1, arrive);
    EXPECT_EQ(n2, q);
    EXPECT_EQ(d2, leave);

    // A deleted third link does not count; a drawn one does.
    TLinkValues* third = Link(m, r);
    third->IsDrawnL = false;
    EXPECT_TRUE(m->LinkList.ValidCount(n1, n2, d1, d2));
    third->IsDrawnL = true;
    EXPECT_FALSE(m->LinkList.ValidCount(n1, n2, d1, d2));
    EXPECT_EQ(DrawnLinkCount(*m), 3);

    // Two arriving links.
    TNode* s = Node(50, 50);
    Link(p, s);
    Link(q, s);
    EXPECT_FALSE(s->LinkList.ValidCount(n1, n2, d1, d2));
}

TEST_F(Elements, NewNodesTakeTheTemplateAndTheirTypesValueCount) {
    net.NodeDef.Classs[2].atcount = 3;
    net.NodeDef.Classs[2].numstrings = 2;
    net.InitialNode.NType = 2;
    net.InitialNode.Layer = 4;
    net.InitialNode.alabel = "template";
    net.InitialNode.ResizeValues(2); // shorter than the type's count: the rest is 0
    net.InitialNode.NValue[0] = 1.5;
    net.InitialNode.NValue[1] = 2.5;
    net.InitialNode.AttString.push_back(TText("s1"));

    THashEntry* cell = nullptr;
    TNode* plain = net.Hash.InsertNode(5, 5, 7, false, cell);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->ValueCount(), 7);
    EXPECT_EQ(plain->AttString.size(), 0u);
    EXPECT_EQ(plain->snumb, 1);
    EXPECT_EQ(plain->alabel, "template");
    EXPECT_EQ(plain->Layer, 4);

    TNode* init = net.Hash.InsertNode(6, 6, 7, true, cell);
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(init->snumb, 2);
    EXPECT_EQ(net.NumberOfNodes, 2);
    ASSERT_EQ(init->ValueCount(), 3);
    EXPECT_EQ(init->NValue[0], 1.5);
    EXPECT_EQ(init->NValue[1], 2.5);
    EXPECT_EQ(init->NValue[2], 0.0);
    ASSERT_EQ(init->AttString.size(), 2u);
    EXPECT_EQ(init->AttString[0], "s1");
    EXPECT_EQ(init->AttString[1], "");
    EXPECT_TRUE(init->PolygonRectangle.IsEmpty());
    EXPECT_EQ(init->xreal, 6.0);
}

TEST_F(Elements, PolygonVertexListsCountOnlyDrawnVertices) {
    TNode* owner = Node(0, 0);
    TNode* a = Node(10, 0);
    TNode* b = Node(10, 10);
    TNode* c = Node(0, 10);
    TNode* d = Node(20, 20);
    TLinkValues* link = Link(a, d, {{15, 5}});
    TShapePoint* sp = link->ShapePoints[0];
    Polygon(owner, {a, sp, b, c});

    EXPECT_EQ(owner->MyPolygonList.NetCount(false), 3);
    EXPECT_EQ(owner->MyPolygonList.NetCount(true), 4);
    EXPECT_EQ((owner->PolygonRectangle), (TRect{0, 0, 15, 10}));

    b->IsDrawnN = false;
    link->IsDrawnL = false;
    EXPECT_EQ(owner->MyPolygonList.NetCount(true), 2);
    EXPECT_EQ(owner->MyPolygonList.NetOrder(c), 3);
    EXPECT_EQ(owner->MyPolygonList.NetOrder(d), 3); // absent: the number of drawn vertices
    const std::vector<TPoint> expected{{10, 0}, {15, 5}, {0, 10}};
    EXPECT_EQ(owner->MyPolygonList.GetPolygonPoints(), expected);
    owner->UpdateRectangle(net.Hash);
    EXPECT_EQ((owner->PolygonRectangle), (TRect{0, 0, 15, 10}));

    std::int32_t insertion = -1;
    EXPECT_TRUE(owner->MyPolygonList.IsInList(b, insertion));
    EXPECT_EQ(insertion, 2);
    EXPECT_FALSE(d->MyPolygonList.IsInList(a, insertion));
    EXPECT_EQ(insertion, 0);

    owner->SetActivePolygon(true);
    EXPECT_TRUE(owner->IsActivePolygonOwner);
    EXPECT_TRUE(sp->IsActivePolygonCorner);
    EXPECT_FALSE(d->IsActivePolygonCorner);
}

TEST_F(Elements, PathLengthAndMidPoint) {
    TNode* a = Node(0, 0);
    TNode* b = Node(30, 40);
    TLinkValues* straight = Link(a, b);
    EXPECT_DOUBLE_EQ(straight->PathLength(nullptr, 1.0), 50.0);
    EXPECT_DOUBLE_EQ(straight->PathLength(nullptr, 10.0), 5.0);
    EXPECT_EQ(straight->MidPoint(), (TPoint{15, 20}));

    TNode* c = Node(0, 100);
    TNode* d = Node(100, 100);
    TLinkValues* bent = Link(c, d, {{0, 200}, {100, 200}}); // segments 100, 100, 100
    EXPECT_DOUBLE_EQ(bent->PathLength(nullptr, 1.0), 300.0);
    EXPECT_DOUBLE_EQ(bent->PathLength(bent->ShapePoints[0], 1.0), 100.0);
    EXPECT_DOUBLE_EQ(bent->PathLength(bent->ShapePoints[1], 2.0), 100.0);
    EXPECT_EQ(bent->MidPoint(), (TPoint{50, 200}));
    EXPECT_EQ((TRect{0, 100, 100, 200}), bent->LinkRect);
}

} // namespace
} // namespace zan

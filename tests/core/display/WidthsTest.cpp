#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "calc/ElementRecord.h"
#include "display/Widths.h"
#include "core/model/NetworkFixture.h"
#include "schema/AttributeValues.h"

namespace zan {
namespace {

using testing::NetworkFixture;

// Bitmaps of chosen sizes; every other number is missing.
class FakeBitmaps : public TBitmapCatalog {
public:
    std::map<std::pair<int, int>, TBitmapSize> sizes;
    std::optional<TBitmapSize> Size(TBitmapFamily family, int n) const override {
        const auto it = sizes.find({static_cast<int>(family), n});
        if (it == sizes.end())
            return std::nullopt;
        return it->second;
    }
};

TEST(SplitWidthExpressions, Separators) {
    const std::string pad49(49, 'x');
    const std::string pad50(50, 'x');
    const std::string pad59(59, 'x');
    const std::string long150(150, 'y');
    struct Case {
        std::string text;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {"", {}},
        {"a1:a2", {"a1", "a2"}},
        {"a1:", {"a1"}},
        {":a2", {"", "a2"}},
        {"'x:y':a2", {"'x:y'", "a2"}},
        {"{1/2/2003-10:30}:a2", {"{1/2/2003-10:30}", "a2"}},
        {"{{1:2}}:b", {"{{1:2}}", "b"}},
        {pad49 + ":b", {pad49, "b"}},       // the ":" is the 50th character
        {pad50 + ":b", {pad50 + ":b"}},     // the 51st is too far
        {pad59 + ":b:c", {pad59 + ":b:c"}}, // first ":" at 60: one expression
        {"1:2:3:4:5:6:7:8:9:10:11", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        {"a:" + long150, {"a", std::string(100, 'y')}}, // later text is cut to 100 characters
        {"a:" + pad49 + ":" + long150, {"a", pad49, std::string(100 - 50, 'y')}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitWidthExpressions(c.text), c.parts);
    }
}

TEST(IntervalOf, BoundsAndOverlaps) {
    std::array<double, kWidthIntervals + 1> bottom{}, top{};
    // Interval 1: [0, 10]; 2: [5, 20] overlaps it; 3: [30, 30]; 40: [-100, -50]; others [0, 0] too.
    for (int k = 1; k <= kWidthIntervals; ++k) {
        bottom[static_cast<std::size_t>(k)] = 1000;
        top[static_cast<std::size_t>(k)] = 999; // empty
    }
    bottom[1] = 0, top[1] = 10;
    bottom[2] = 5, top[2] = 20;
    bottom[3] = 30, top[3] = 30;
    bottom[40] = -100, top[40] = -50;
    struct Case {
        double value;
        int interval;
    };
    const Case cases[] = {
        {0, 1},       {10, 1},   {7, 1}, // overlap: the lowest-numbered wins
        {10.0001, 2}, {20, 2},   {20.0001, 0}, {30, 3},
        {-100, 40},   {-50, 40}, {-49.9, 0},   {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(IntervalOf(c.value, bottom, top), c.interval);
    }
}

// A network with one node type and one link type of real attributes A1, A2 and a string A3, and
// intervals: 1 [0, 10] -> 7, 2 [10.5, 20] -> 9, 3 [30, 30] -> 200, 4 [40, 40] -> 40, 5 [50, 50] -> 0.
class WidthsFixture : public NetworkFixture {
protected:
    void SetUp() override {
        for (TEntityClass* schema : {&net.NodeDef, &net.LinkDef}) {
            TEntityType& t = schema->TypeOf(1);
            t.atcount = 3;
            t.EnsureAttribute(1);
            t.EnsureAttribute(2);
            t.EnsureAttribute(3).aformat = 'S';
            schema->ResetStringPosList();
        }
        net.NodeDef.TypeOf(1).shape = 3;
        net.NodeDef.TypeOf(1).ecolor = 5;
        net.NodeDef.TypeOf(0).shape = 6;
        net.NodeDef.TypeOf(0).ecolor = 8;
        net.LinkDef.TypeOf(1).shape = 2;
        net.LinkDef.TypeOf(1).ecolor = 4;
        window.Display.entitypolygonstyles[1] = 6;
        TWidthData& wd = window.wd;
        for (int k = 1; k <= kWidthIntervals; ++k) {
            // Empty intervals except the ones set below.
            wd.linkbottom[static_cast<std::size_t>(k)] = wd.nodebottomf[static_cast<std::size_t>(k)] = 1000;
            wd.linktop[static_cast<std::size_t>(k)] = wd.nodetopf[static_cast<std::size_t>(k)] = 999;
        }
        SetInterval(1, 0, 10, 7);
        SetInterval(2, 10.5, 20, 9);
        SetInterval(3, 30, 30, 200);
        SetInterval(4, 40, 40, 40);
        SetInterval(5, 50, 50, 0);
        a = Node(0, 0);
        b = Node(100, 0);
        link = Link(a, b);
    }
    void SetInterval(int k, double bottom, double top, std::int32_t value) {
        const auto i = static_cast<std::size_t>(k);
        window.wd.linkbottom[i] = window.wd.nodebottomf[i] = bottom;
        window.wd.linktop[i] = window.wd.nodetopf[i] = top;
        window.wd.linkactual[i] = window.wd.nodeactual[i] = value;
    }
    static void SetValues(std::unique_ptr<double[]>& values, std::int16_t& size, double a1, double a2) {
        std::unique_ptr<double[]> v(new double[3]{a1, a2, 0});
        values = std::move(v);
        size = 3 * 8;
    }
    void LinkValues(double a1, double a2) { SetValues(link->LValue, link->ValueSize, a1, a2); }
    void NodeValues(double a1, double a2) { SetValues(a->NValue, a->ValueSize, a1, a2); }

    TNode* a = nullptr;
    TNode* b = nullptr;
    TLinkValues* link = nullptr;
};

TEST_F(WidthsFixture, LinkShapeByStatus) {
    struct Case {
        const char* name;
        TWidthStatus status;
        const char* criterion;
        double a1, a2;
        bool notFoundAction;
        TLinkShape expected;
    };
    using S = TWidthStatus;
    const Case cases[] = {
        {"two bands", S::widthh, "A1:A2", 5, 15, true, {7, 4, 9}},
        {"one band", S::widthh, "A1", 5, 15, true, {7, 4, 0}},
        {"second not found", S::widthh, "A1:A2", 5, 25, true, {7, 4, 0}},
        {"colour from 3", S::widthh, "A1:A2:A1", 5, 15, true, {7, 7, 9}},
        {"colour above 25 is black", S::widthh, "A1:A2:30", 5, 15, true, {7, 1, 9}},
        {"not found shown in 1", S::widthh, "A1:A2", 99, 15, true, {7, 4, 9}},
        {"not found hidden", S::widthh, "A1:A2", 99, 15, false, {2, 0, 0}},
        {"error is not found", S::widthh, "A1 + 'x'", 5, 15, false, {2, 0, 0}},
        {"blank first is not found", S::widthh, " :A2", 5, 15, false, {2, 0, 0}},
        {"empty text", S::widthh, "", 5, 15, true, {7, 4, 0}},
        {"colour", S::colorr, "A1", 15, 5, true, {2, 9, 0}},
        {"colour and width", S::colorr, "A1:A2", 15, 5, true, {7, 9, 0}},
        {"colour at most 16", S::colorr, "A1:A2", 30, 5, true, {7, 16, 0}},
        {"colour 0 from interval", S::colorr, "A1", 50, 5, true, {2, 0, 0}},
        {"arrow size and colour", S::arrow, "A1:A2", 5, 15, true, {7, 9, 2}},
        {"arrow colour at most 16", S::arrow, "A1:A2", 5, 30, true, {7, 16, 2}},
        {"arrow entity colour", S::arrow, "A1", 5, 30, true, {7, 4, 2}},
        {"arrow hidden", S::arrow, "A1", 99, 30, false, {2, 0, 2}},
        {"none", S::nonee, "A1:A2", 5, 15, false, {2, 4, 0}},
        {"traverse is no link status", S::traverse, "A1:A2", 5, 15, false, {2, 4, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.wd.linkwidthstatus = c.status;
        window.wd.linkcriterion[1] = c.criterion;
        window.wd.linknotfoundaction = c.notFoundAction;
        LinkValues(c.a1, c.a2);
        const TWidthEvaluator eval(net, window);
        const TLinkShape s = eval.linkshape(*link);
        EXPECT_EQ(s.code, c.expected.code);
        EXPECT_EQ(s.color, c.expected.color);
        EXPECT_EQ(s.secondwidth, c.expected.secondwidth);
    }
}

TEST_F(WidthsFixture, TypeZeroIsNotFound) {
    link->LType = 0;
    net.LinkDef.TypeOf(0).shape = 1;
    net.LinkDef.TypeOf(0).ecolor = 3;
    window.wd.linkwidthstatus = TWidthStatus::widthh;
    window.wd.linkcriterion[0] = "A1"; // type 0 has no expressions, whatever the text says
    LinkValues(15, 15);
    window.wd.linknotfoundaction = false;
    EXPECT_EQ(TWidthEvaluator(net, window).linkshape(*link).color, 0);
    window.wd.linknotfoundaction = true;
    const TLinkShape shown = TWidthEvaluator(net, window).linkshape(*link);
    EXPECT_EQ(shown.code, 7); // interval 1's value
    EXPECT_EQ(shown.color, 3);
}

TEST_F(WidthsFixture, NodeShapeByStatus) {
    struct Case {
        const char* name;
        TWidthStatus status;
        const char* criterion;
        double a1, a2;
        bool notFoundAction;
        std::int32_t size, color, polygonstyle;
    };
    using S = TWidthStatus;
    const Case cases[] = {
        {"size", S::widthh, "A1", 5, 15, true, 7, 5, 6},
        {"size and colour", S::widthh, "A1:A2", 5, 15, true, 7, 9, 6},
        {"colour at most 16", S::widthh, "A1:A2", 5, 30, true, 7, 16, 6},
        {"not found shown in 1", S::widthh, "A1:A2", 99, 15, true, 7, 9, 6},
        {"not found hidden", S::widthh, "A1:A2", 99, 15, false, 3, 0, 6},
        {"colour", S::colorr, "A1", 15, 5, true, 3, 9, 6},
        {"colour and size", S::colorr, "A1:A2", 15, 5, true, 7, 9, 6},
        {"polygon", S::traverse, "A1", 15, 5, true, 3, 5, 9},
        {"polygon at most 40", S::traverse, "A1:A2:A1", 30, 5, true, 7, 1, 40},
        {"polygon, size, colour", S::traverse, "A2:A1:A2", 5, 15, true, 7, 9, 9},
        {"none", S::nonee, "A1:A2", 15, 5, true, 3, 5, 6},
        {"arrow is no node status", S::arrow, "A1:A2", 15, 5, true, 3, 5, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.wd.nodewidthstatus = c.status;
        window.wd.nodecriterion[1] = c.criterion;
        window.wd.nodenotfoundaction = c.notFoundAction;
        NodeValues(c.a1, c.a2);
        const TNodeShape s = TWidthEvaluator(net, window).nodeshape(*a);
        EXPECT_EQ(s.size, c.size);
        EXPECT_EQ(s.color, c.color);
        EXPECT_EQ(s.polygonstyle, c.polygonstyle);
    }
}

TEST_F(WidthsFixture, SliceValuesAndFinalShape) {
    window.wd.nodewidthstatus = TWidthStatus::widthh;
    window.wd.nodecriterion[1] = "A1:A2:A1*2:A1+A2::'x'+1:7:8:9:10:11";
    NodeValues(5, 15);
    const TFinalNodeShape f = TWidthEvaluator(net, window).finalnodeshape(*a);
    EXPECT_EQ(f.code, 7);
    EXPECT_EQ(f.color, 9);
    // Entry j is expression j + 1; blank and failing expressions give 0; the eleventh is dropped.
    const TSliceValues expected{5, 15, 10, 20, 0, 0, 7, 8, 9, 10, 0};
    EXPECT_EQ(f.slices, expected);
}

TEST_F(WidthsFixture, FinalShapeOfEntityStatuses) {
    struct Case {
        TWidthStatus status;
        std::int32_t shape, ecolor;
        std::int32_t code, color;
    };
    const Case cases[] = {
        {TWidthStatus::nonee, 3, 5, 3, 5},  {TWidthStatus::nonee, 0, 5, 1, 5}, // code 0 becomes 1
        {TWidthStatus::arrow, 0, 5, 0, 5},  {TWidthStatus::nonee, 3, -2, 3, 0},
        {TWidthStatus::nonee, 3, 26, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape * 100 + c.ecolor);
        window.wd.nodewidthstatus = c.status;
        net.NodeDef.TypeOf(1).shape = c.shape;
        net.NodeDef.TypeOf(1).ecolor = c.ecolor;
        const TFinalNodeShape f = TWidthEvaluator(net, window).finalnodeshape(*a);
        EXPECT_EQ(f.code, c.code);
        EXPECT_EQ(f.color, c.color);
        EXPECT_EQ(f.slices, TSliceValues{});
    }
}

TEST_F(WidthsFixture, ExpressionsReadNamesTextsAndSwitchTypes) {
    // Aliases are translated per type; strings, labels and properties reach the expression.
    net.NodeDef.TypeOf(1).Attribute(1)->SetAlias("pop");
    net.NodeDef.TypeOf(2).atcount = 1;
    net.NodeDef.TypeOf(2).EnsureAttribute(1).SetAlias("pop");
    net.NodeDef.TypeOf(2).EnsureAttribute(1).aformat = 'S';
    net.NodeDef.ResetStringPosList();
    window.wd.nodewidthstatus = TWidthStatus::widthh;
    window.wd.nodecriterion[1] = "POP * (A3 = 'big') + NODEX";
    window.wd.nodecriterion[2] = "(POP = 'far') * 15";
    NodeValues(5, 0);
    FitStrings(a->AttString, 1);
    a->AttString[0] = "big";
    TNode* c = Node(3, 4, 2);
    FitStrings(c->AttString, 1);
    c->AttString[0] = "far";
    const TWidthEvaluator eval(net, window);
    EXPECT_EQ(eval.nodeshape(*a).slices[0], 5);
    EXPECT_EQ(eval.nodeshape(*c).slices[0], 15);
    a->AttString[0] = "small";
    EXPECT_EQ(eval.nodeshape(*a).slices[0], 0);
    b->x_cent = 4; // type 1 again, after type 2; no values, no strings
    EXPECT_EQ(eval.nodeshape(*b).slices[0], 4);
}

TEST_F(NetworkFixture, ElementRecordKinds) {
    TEntityType& t = net.NodeDef.TypeOf(1);
    const char formats[] = "RICCDXTSI";
    t.atcount = 9;
    for (int i = 1; i <= 9; ++i)
        t.EnsureAttribute(i).aformat = formats[i - 1];
    t.EnsureAttribute(3).wcount = 3;
    t.EnsureAttribute(4).wcount = 0;
    net.NodeDef.ResetStringPosList();
    TNode* n = Node(0, 0, 1);
    n->Layer = 4;
    n->ResizeValues(9);
    const double values[] = {2.5, 2.5, TextToCode("ABC"), 0, 11, 12, 13, 0, 3.5};
    std::copy(std::begin(values), std::end(values), n->NValue.get());
    FitStrings(n->AttString, 1);
    n->AttString[0] = "text";

    TElementRecord record;
    record.LoadNode(net, *n);
    struct Case {
        int slot;
        std::int32_t kind;
        double value;
    };
    const Case cases[] = {
        {0, 0, 4},   // the layer
        {1, 0, 2.5}, // R as it is
        {2, 0, 2},   // I rounded, halves to even
        {3, 3, TextToCode("ABC")},
        {4, 1, 0}, // a category without variables is still a code
        {5, 16, 11},
        {6, 17, 12},
        {7, 18, 13},
        {8, 19, 0},
        {9, 0, 4},
        {10, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        EXPECT_EQ(record.Record().kinds[static_cast<std::size_t>(c.slot)], c.kind);
        EXPECT_EQ(record.Record().attributes[static_cast<std::size_t>(c.slot)], c.value);
    }
    EXPECT_EQ(record.Texts()[8], "text");

    // A link of a type with fewer attributes and values clears what the node left behind.
    net.LinkDef.TypeOf(2).atcount = 2;
    net.LinkDef.TypeOf(2).EnsureAttribute(2).aformat = 'S';
    net.LinkDef.ResetStringPosList();
    TLinkValues* l = Link(n, Node(5, 5, 1), {}, 2);
    l->ResizeValues(1);
    l->LValue[0] = 9;
    FitStrings(l->AttString, 0); // the string is missing: it reads empty
    record.LoadLink(net, *l);
    for (int slot = 3; slot <= 9; ++slot) {
        EXPECT_EQ(record.Record().kinds[static_cast<std::size_t>(slot)], 0) << slot;
        EXPECT_EQ(record.Record().attributes[static_cast<std::size_t>(slot)], 0) << slot;
    }
    EXPECT_EQ(record.Record().attributes[0], 0);
    EXPECT_EQ(record.Record().attributes[1], 9);
    EXPECT_EQ(record.Record().kinds[2], kSlotString);
    EXPECT_EQ(record.Texts()[8], "");
    EXPECT_EQ(record.Texts()[2], "");

    // Back to the node type: kinds come back.
    record.LoadNode(net, *n);
    EXPECT_EQ(record.Record().kinds[5], kSlotDateTime);
    EXPECT_EQ(record.Texts()[8], "text");
}

TEST(SlotKindOf, Formats) {
    struct Case {
        char format;
        std::int32_t wcount, kind;
    };
    const Case cases[] = {{'R', 0, 0},  {'I', 5, 0},  {'C', 1, 1},  {'C', 8, 8},  {'C', 10, 8}, {'C', 0, 1},
                          {'D', 0, 16}, {'X', 0, 17}, {'T', 0, 18}, {'S', 0, 19}, {'?', 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(SlotKindOf(c.format, c.wcount), c.kind) << c.format << c.wcount;
}

TEST_F(NetworkFixture, WorstSizes) {
    FakeBitmaps bitmaps;
    bitmaps.sizes[{static_cast<int>(TBitmapFamily::link), 5}] = {12, 40};
    bitmaps.sizes[{static_cast<int>(TBitmapFamily::node), 7}] = {33, 8};
    bitmaps.sizes[{static_cast<int>(TBitmapFamily::node), 2}] = {15, 16};
    net.LinkDef.TypeOf(2).shape = 15; // link bitmap 5
    net.LinkDef.TypeOf(3).shape = 12; // bitmap 2 is missing: the code
    net.NodeDef.TypeOf(4).shape = 17; // node bitmap 7
    net.NodeDef.TypeOf(5).shape = 9;
    window.wd.linkactual.fill(1);
    window.wd.linkactual[6] = 30;
    window.wd.linkactual[7] = 5;                    // link bitmap 5 by value
    window.wd.nodeactual = DefaultIntervalValues(); // values 1..40: bitmap 2 and 7 by value
    window.NodeExtent = 3;

    using S = TWidthStatus;
    using G = TGlobalShape;
    struct Case {
        const char* name;
        S linkStatus, nodeStatus;
        G shape;
        TAEndDotShape aend;
        std::int32_t links, nodes;
    };
    const Case cases[] = {
        {"values", S::widthh, S::widthh, G::circle, TAEndDotShape::nodot, 30, 40},
        {"colour values", S::colorr, S::colorr, G::circle, TAEndDotShape::nodot, 30, 17},
        {"link bitmaps by value", S::widthh, S::widthh, G::entity, TAEndDotShape::linkbitmap, 40, 33},
        {"entity codes", S::nonee, S::nonee, G::entity, TAEndDotShape::nodot, 40, 33},
        {"arrow uses codes", S::arrow, S::traverse, G::dot, TAEndDotShape::nodot, 40, 17},
        {"box", S::nonee, S::widthh, G::box, TAEndDotShape::nodot, 40, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.wd.linkwidthstatus = c.linkStatus;
        window.wd.nodewidthstatus = c.nodeStatus;
        window.wd.GlobalShape = c.shape;
        window.wd.showaend = c.aend;
        ComputeWorstSizes(net, window, bitmaps);
        EXPECT_EQ(window.LinkWorstSize, c.links);
        EXPECT_EQ(window.NodeWorstSize, c.nodes);
        EXPECT_EQ(window.BigLinks, c.links > 20);
        EXPECT_EQ(window.BigNodes, c.nodes > 20);
    }

    // Small sizes do not make big symbols; nodes start from NodeExtent.
    net.LinkDef.TypeOf(2).shape = 1;
    net.LinkDef.TypeOf(3).shape = 1;
    net.NodeDef.TypeOf(4).shape = 1;
    window.wd.linkwidthstatus = S::nonee;
    window.wd.nodewidthstatus = S::nonee;
    window.wd.GlobalShape = G::circle;
    window.NodeExtent = 12;
    ComputeWorstSizes(net, window, bitmaps);
    EXPECT_EQ(window.LinkWorstSize, 0);
    EXPECT_EQ(window.NodeWorstSize, 12);
    EXPECT_FALSE(window.BigLinks);
    EXPECT_FALSE(window.BigNodes);
}

TEST_F(NetworkFixture, ClearWidthsResetsWidthSettingsOnly) {
    TWidthData& wd = window.wd;
    wd.linktop[3] = 5;
    wd.nodebottomf[40] = -1;
    wd.linkactual[2] = 99;
    wd.nodeactual[40] = 0;
    wd.linkcriterion[4] = "A1";
    wd.nodecriterion[10] = "A2";
    wd.desirecriterion = "A1:A1";
    wd.linkwidthstatus = TWidthStatus::widthh;
    wd.nodewidthstatus = TWidthStatus::traverse;
    wd.linknotfoundaction = false;
    wd.nodenotfoundaction = false;
    wd.alinklegend = {5, 6, 3, true};
    wd.anodelegend = {7, 8, 2, true};
    wd.nodelegend[1] = wd.linklegend[40] = true;
    wd.nodeentitylegend[3] = wd.linkentitylegend[10] = true;
    wd.GlobalShape = TGlobalShape::circle;
    wd.showaend = TAEndDotShape::closedarrow;
    net.NodeDef.TypeOf(1).shape = 30;
    window.LinkWorstSize = 99;

    ClearWidths(net, window, TBitmapCatalog());

    TWidthData expected;
    expected.GlobalShape = TGlobalShape::circle; // display styles are not width settings
    expected.showaend = TAEndDotShape::closedarrow;
    EXPECT_TRUE(wd == expected);
    EXPECT_EQ(window.LinkWorstSize, 0);
    EXPECT_EQ(window.NodeWorstSize, 30);
    EXPECT_TRUE(window.BigNodes);
}

} // namespace
} // namespace zan

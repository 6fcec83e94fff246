#include <gtest/gtest.h>

#include "calc/DateTime.h"
#include "core/model/NetworkFixture.h"
#include "schema/AttributeValues.h"
#include "schema/RangeFilter.h"

namespace zan {
namespace {

// Node type 1 with attributes: 1 real, 2 category (two variables), 3 date, 4 string.
class RangeFilterTest : public testing::NetworkFixture {
protected:
    void SetUp() override {
        TEntityType& t = net.NodeDef.Classs[1];
        t.ename = "Zone";
        t.atcount = 4;
        t.EnsureAttribute(1).aformat = 'R';
        TAttrib& cat = t.EnsureAttribute(2);
        cat.aformat = 'C';
        cat.wcount = 2;
        cat.WorkSheet = std::make_unique<TWorkSheet>();
        cat.WorkSheet->WorkDef[1].subset = "ABC";
        cat.WorkSheet->WorkDef[2].subset = "xyz";
        t.EnsureAttribute(3).aformat = 'X';
        t.EnsureAttribute(4).aformat = 'S';
        net.NodeDef.ResetStringPosList();
    }

    TNode* Element(double real, const char* code, const char* date, const char* text, std::int32_t x = 0) {
        TNode* n = Node(x, 0, 1);
        n->NValue[0] = real;
        n->NValue[1] = TextToCode(code);
        n->NValue[2] = DateToDouble(ParseDateText(date, kDateOnly, MyDateTime::Zero(), 2026));
        n->AttString[0] = text;
        return n;
    }
    TAttrib& Attr(int i) { return *net.NodeDef.Classs[1].Attribute(i); }
    bool Passes(const TNode* n) { return TRangeFilter(net, window).PassesNode(*n); }
};

TEST_F(RangeFilterTest, EachFormatInAllOfAndAnyOfModes) {
    TNode* inside = Element(5, "Bx", "6/15/2000", "MAIN STREET");
    TNode* outside = Element(50, "Cz", "6/15/2010", "ELM");

    // No ranges set: any-of lets everything pass, all-of too (the type has attributes).
    EXPECT_TRUE(Passes(outside));
    net.NodeDef.Classs[1].andor = true;
    EXPECT_TRUE(Passes(outside));
    EXPECT_TRUE(TRangeFilter(net, window).NotAnyNodeRanges);

    struct Case {
        int attribute;
        const char* what;
    };
    const Case cases[] = {{1, "real"}, {2, "category"}, {3, "date"}, {4, "string"}};
    for (const Case& c : cases) {
        for (int i = 1; i <= 4; ++i)
            Attr(i).rangeset = i == c.attribute;
        Attr(1).brange = 0;
        Attr(1).trange = 10;
        Attr(2).brange = TextToCode("A?");
        Attr(2).trange = TextToCode("By");
        Attr(3).brange = DateToDouble(ParseDateText("1/1/2000", kDateOnly, MyDateTime::Zero(), 2026));
        Attr(3).trange = DateToDouble(ParseDateText("12/31/2005", kDateOnly, MyDateTime::Zero(), 2026));
        Attr(4).brangestr = "MAIN";
        Attr(4).trangestr = "STREET";
        for (bool allOf : {true, false}) {
            net.NodeDef.Classs[1].andor = allOf;
            EXPECT_TRUE(Passes(inside)) << c.what << " all-of " << allOf;
            EXPECT_FALSE(Passes(outside)) << c.what << " all-of " << allOf;
        }
    }
    EXPECT_FALSE(TRangeFilter(net, window).NotAnyNodeRanges);

    // An empty range text never occurs: nothing passes in all-of mode.
    net.NodeDef.Classs[1].andor = true;
    Attr(4).trangestr.clear();
    EXPECT_FALSE(Passes(inside));
}

TEST_F(RangeFilterTest, AnyOfPassesOnOneAttributeAllOfNeedsEvery) {
    TNode* n = Element(5, "Cz", "1/1/1990", "X");
    Attr(1).rangeset = true;
    Attr(1).brange = 0;
    Attr(1).trange = 10;
    Attr(2).rangeset = true;
    Attr(2).brange = TextToCode("A?");
    Attr(2).trange = TextToCode("B?");
    net.NodeDef.Classs[1].andor = false;
    EXPECT_TRUE(Passes(n)); // the real is in range; the later category is not
    net.NodeDef.Classs[1].andor = true;
    EXPECT_FALSE(Passes(n));
}

TEST_F(RangeFilterTest, TypesWithoutAttributes) {
    TNode* plain = Node(0, 0, 2);
    net.NodeDef.Classs[2].andor = true;
    EXPECT_FALSE(Passes(plain));
    net.NodeDef.Classs[2].andor = false;
    EXPECT_TRUE(Passes(plain));
}

TEST(CategoryRange, CodesBetweenBottomAndTop) {
    TAttrib a;
    a.aformat = 'C';
    a.wcount = 1;
    a.WorkSheet = std::make_unique<TWorkSheet>();
    a.WorkSheet->WorkDef[1].subset = "ABC";
    a.WorkSheet->WorkDef[1].IsAEnd = 0; // bottom "?"
    a.WorkSheet->WorkDef[1].top = 2;    // top "B"
    struct Case {
        const char* code;
        bool allOf;
        bool any;
    };
    const Case cases[] = {{"A", true, true}, {"B", true, true}, {"C", false, false}, {"Q", false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(CategoryInRange(a, TextToCode(c.code), true), c.allOf) << c.code;
        EXPECT_EQ(CategoryInRange(a, TextToCode(c.code), false), c.any) << c.code;
    }
    a.wcount = 0;
    EXPECT_TRUE(CategoryInRange(a, TextToCode("C"), true));
    EXPECT_FALSE(CategoryInRange(a, TextToCode("C"), false));
}

TEST_F(RangeFilterTest, PolygonSearchForNodesAndLinks) {
    TNode* owner = Node(50, 50, 1);
    TNode* c1 = Node(0, 0, 1);
    TNode* c2 = Node(100, 0, 1);
    TNode* c3 = Node(100, 100, 1);
    TNode* c4 = Node(0, 100, 1);
    Polygon(owner, {c1, c2, c3, c4});
    TNode* in = Node(20, 20, 1);
    TNode* out = Node(500, 20, 1);
    TLinkValues* cross = Link(in, out);
    TLinkValues* far = Link(out, Node(600, 20, 1));

    window.PolygonSearchNode = owner;
    window.PolygonSearchbyNode = true;
    window.PolygonSearchbyLink = true;
    struct Case {
        bool outside;
        bool twoEnds;
        bool inPasses, edgePasses, outPasses, crossPasses, farPasses;
    };
    const Case cases[] = {
        {false, false, true, true, false, true, false},
        {false, true, true, true, false, false, false},
        {true, false, false, false, true, true, true},
        {true, true, false, false, true, false, true},
    };
    for (const Case& c : cases) {
        window.PolygonSearchOutside = c.outside;
        window.PolygonSearch2Ends = c.twoEnds;
        const TRangeFilter f(net, window);
        EXPECT_FALSE(f.NotAnyNodeRanges);
        EXPECT_EQ(f.PassesNode(*in), c.inPasses);
        EXPECT_EQ(f.PassesNode(*c2), c.edgePasses); // a vertex is on the boundary
        EXPECT_EQ(f.PassesNode(*out), c.outPasses);
        EXPECT_EQ(f.PassesLink(*cross), c.crossPasses);
        EXPECT_EQ(f.PassesLink(*far), c.farPasses);
    }
}

TEST(AttributeValues, DateTexts) {
    MyDateTime d = MyDateTime::Zero();
    d.Year = 104;
    d.Month = 3;
    d.Day = 7;
    EXPECT_EQ(FormatDateText(DateToDouble(d), kDateAndTime), "3/7/2004");
    d.Hour = 14;
    d.Min = 5;
    EXPECT_EQ(FormatDateText(DateToDouble(d), kDateAndTime), "3/7/2004,14:5:0");
    EXPECT_EQ(FormatDateText(DateToDouble(d), kTimeOnly), "14:5:0");
    EXPECT_EQ(FormatDateText(DateToDouble(d), kDateOnly), "3/7/2004");
    d.Month = kUnsetPart;
    d.Hour = d.Min = 0;
    EXPECT_EQ(FormatDateText(DateToDouble(d), kDateAndTime), "?/7/2004");
    d.Sec = kUnsetPart;
    d.Year = kUnsetYear;
    EXPECT_EQ(FormatDateText(DateToDouble(d), kDateAndTime), "?/7/?,0:0:?");
}

} // namespace
} // namespace zan

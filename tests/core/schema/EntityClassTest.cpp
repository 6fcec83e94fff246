#include <gtest/gtest.h>

#include "schema/EntityClass.h"

namespace zan {
namespace {

TEST(EntityClass, StringPositionsFollowTheFormats) {
    TEntityClass c = NewNodeSchema();
    TEntityType& t = c.Classs[3];
    t.atcount = 5;
    const char formats[] = {'R', 'S', 'C', 'S', 'S'};
    for (int i = 1; i <= 5; ++i)
        t.EnsureAttribute(i).aformat = formats[i - 1];
    // A definition beyond the count is kept but does not count.
    t.EnsureAttribute(6).aformat = 'S';
    c.ResetStringPosList();
    EXPECT_EQ(t.numstrings, 3);
    EXPECT_EQ(t.Attribute(2)->stringloc, 0);
    EXPECT_EQ(t.Attribute(4)->stringloc, 1);
    EXPECT_EQ(t.Attribute(5)->stringloc, 2);
    EXPECT_EQ(c.Classs[1].numstrings, 0);
}

TEST(EntityClass, AliasesLoseBlanksAndGetCapitals) {
    struct Case {
        const char* typed;
        const char* alias;
        const char* upper;
    };
    const Case cases[] = {
        {"a b c", "abc", "ABC"},
        {"a-b", "a-b", "A-B"},
        {"  speed lim it 99", "speedlimit", "SPEEDLIMIT"},
        {"\xE9t\xE9", "\xE9t\xE9", "\xE9T\xE9"}, // only a..z change
    };
    for (const Case& c : cases) {
        TAttrib a;
        a.SetAlias(c.typed);
        EXPECT_EQ(a.Alias, c.alias);
        EXPECT_EQ(a.AliasUp, c.upper);
    }
}

TEST(EntityClass, DuplicateIsDeepAndRestoresEverything) {
    TEntityClass c = NewLinkSchema();
    TEntityType& t = c.Classs[2];
    t.ename = "Freeway";
    t.atcount = 2;
    TAttrib& a = t.EnsureAttribute(1);
    a.aformat = 'C';
    a.wcount = 2;
    a.WorkSheet = std::make_unique<TWorkSheet>();
    a.WorkSheet->WorkDef[1].subset = "ABC";
    TAttrib& s = t.EnsureAttribute(2);
    s.aformat = 'S';
    s.trangestr = "M";
    c.ResetStringPosList();

    const TEntityClass kept = c.Duplicate();
    t.ename = "changed";
    a.WorkSheet->WorkDef[1].subset = "XY";
    s.aformat = 'R';
    s.trangestr.clear();
    t.atcount = 7;
    c.ResetStringPosList();

    c = kept.Duplicate();
    const TEntityType& r = c.Classs[2];
    EXPECT_EQ(r.ename, "Freeway");
    EXPECT_EQ(r.atcount, 2);
    EXPECT_EQ(r.numstrings, 1);
    EXPECT_EQ(r.Attribute(1)->WorkSheet->WorkDef[1].subset, "ABC");
    EXPECT_NE(r.Attribute(1)->WorkSheet.get(), kept.Classs[2].Attribute(1)->WorkSheet.get());
    EXPECT_EQ(r.Attribute(2)->aformat, 'S');
    EXPECT_EQ(r.Attribute(2)->trangestr, "M");
    EXPECT_EQ(r.ecolor, 2);
}

TEST(EntityClass, NewSchemas) {
    const TEntityClass nodes = NewNodeSchema();
    const TEntityClass links = NewLinkSchema();
    const TEntityClass system = NewSystemSchema();
    EXPECT_EQ(nodes.Classs[0].ename, "Undefined");
    EXPECT_EQ(nodes.Classs[0].ecolor, 1);
    EXPECT_EQ(links.Classs[0].ecolor, 2);
    EXPECT_EQ(links.Classs[0].shape, 1);
    EXPECT_EQ(system.Classs[1].ename, "System Attributes");
    EXPECT_EQ(system.Classs[1].atcount, 0);
    for (int i = 1; i <= kSystemAttributes; ++i) {
        const TAttrib* a = system.Classs[1].Attribute(i);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->aformat, 'R');
        EXPECT_TRUE(a->atname.empty());
    }
    EXPECT_EQ(system.Classs[1].Attribute(36), nullptr);
}

TEST(EntityClass, AttributeCodes) {
    struct Case {
        int number;
        const char* code;
    };
    const Case cases[] = {{1, "A1"},  {9, "A9"},  {10, "Aa"}, {35, "Az"},
                          {36, "B1"}, {70, "Bz"}, {71, "C1"}, {100, "Cu"}};
    for (const Case& c : cases) {
        EXPECT_EQ(AttributeCode(c.number), c.code);
        EXPECT_EQ(AttributeNumber(c.code), c.number);
    }
    EXPECT_EQ(AttributeNumber("CV"), 0); // slot 101 does not exist
    EXPECT_EQ(AttributeNumber("A0"), 0);
    EXPECT_EQ(AttributeNumber("D1"), 0);
    EXPECT_EQ(AttributeCode(0), "");
    EXPECT_EQ(AttributeCode(101), "");
}

} // namespace
} // namespace zan

#include <gtest/gtest.h>

#include <cmath>

#include "core/model/NetworkFixture.h"
#include "calc/DateTime.h"
#include "schema/AttributeValues.h"

namespace zan {
namespace {

TEST(AttributeValues, CategoryCodesAndHints) {
    EXPECT_EQ(CodeToText(TextToCode("AB")), "AB      ");
    EXPECT_EQ(CodeToText(0.0), "        ");
    EXPECT_EQ(CodeToText(TextToCode("ABCDEFGHIJ")), "ABCDEFGH");
    EXPECT_EQ(CodeToText(TextToCode("A\x01\xC8Z")), "A  Z    "); // bytes outside 32..126 read as blanks

    struct Case {
        const char* hint;
        int n;
        const char* item;
    };
    const Case cases[] = {
        {"Urban&&Rural&&", 1, "Urban"},
        {"Urban&&Rural&&", 2, "Rural"},
        {"Urban&&Rural&&", 3, ""},
        {"Urban&&Rural", 2, ""},
        {"&&Rural&&", 1, ""},
        {"", 1, ""},
        {"Urban&&", 0, ""},
        {"A description that is much longer than thirty&&", 1, "A description that is much lon"}};
    for (const Case& c : cases)
        EXPECT_EQ(GetHintItem(c.hint, c.n), c.item) << c.hint << " " << c.n;
}

TEST(AttributeValues, ShownAsTheirFormatSays) {
    TStringList strings;
    strings.push_back(TText("first"));
    strings.push_back(TText("Main Street"));
    auto attribute = [](char letter, int wcount = 0, std::uint8_t stringloc = 0) {
        TAttrib a;
        a.aformat = letter;
        a.wcount = wcount;
        a.stringloc = stringloc;
        return a;
    };
    MyDateTime date{};
    date.Year = 104;
    date.Month = 3;
    date.Day = 7;
    date.Hour = 14;
    date.Min = 5;
    date.Sec = 0;
    struct Case {
        TAttrib a;
        double value;
        const char* shown;
    };
    const Case cases[] = {
        {attribute('R'), 2.5, "2.5"},
        {attribute('R'), 1e-20, "1e-20"},
        {attribute('I'), 2.5, "2"},
        {attribute('I'), 3.5, "4"},
        {attribute('I'), -0.4, "0"},
        {attribute('C', 3), TextToCode("URB"), "URB"},
        {attribute('C', 2), TextToCode("URB"), "UR"},
        {attribute('C', 12), TextToCode("ABCDEFGHIJ"), "ABCDEFGH"},
        {attribute('D'), DateToDouble(date), "3/7/2004,14:5:0"},
        {attribute('X'), DateToDouble(date), "3/7/2004"},
        {attribute('T'), DateToDouble(date), "14:5:0"},
        {attribute('S', 0, 1), 0.0, "Main Street"},
        {attribute('S', 0, 5), 0.0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShownValueText(c.a, c.value, strings), c.shown) << c.a.aformat << " " << c.shown;
}

TEST(AttributeValues, WorksheetFunctions) {
    struct Case {
        std::int32_t wftype;
        std::vector<double> p; // p0..pn
        std::vector<double> x; // x1..xn
        double expected;       // kUnchanged: the result keeps its previous value
    };
    constexpr double kUnchanged = -12345;
    const Case cases[] = {
        {wfLinear, {1, 2}, {3}, 7},
        {wfMultiplic, {2, 1}, {5}, 10},
        {wfMultiplic, {2, 1}, {0}, kUnchanged},
        {wfMultiplic, {1, 100}, {10}, kUnchanged}, // exponent beyond 80
        {wfLogit, {0, 10}, {1}, 5},
        {wfLogit, {80, 10}, {1}, kUnchanged}, // the share at 80 is about 0: unchanged
        {wfLogit, {-80, 10}, {1}, 10},
        {wfHarmonic, {1, 1, 1}, {2, 3}, 5},
        {wfHarmonic, {1, 1, 1}, {2, 0}, 3},
        {wfHarmonic, {1, 1, 1}, {0, 0}, 2}, // a variable at or below 0 still adds e^0 = 1
        {wfCMultiplic, {2, 1, 1}, {3, 4}, 3 * (2 * 4 + 1)},
        {wfCMultiplic, {2, 1, 1}, {3, -4}, kUnchanged},
        {wfReciprocal, {12, 2, 3}, {2, 3}, 6},
        {wfReciprocal, {12, 0, 3}, {2, 3}, kUnchanged},
    };
    for (const Case& c : cases) {
        TAttrib a;
        a.wftype = c.wftype;
        TWorksheetInputs in;
        in.n = static_cast<int>(c.x.size());
        for (std::size_t i = 0; i < c.p.size(); ++i)
            in.p[i] = c.p[i];
        for (std::size_t i = 0; i < c.x.size(); ++i)
            in.x[i + 1] = c.x[i];
        double result = kUnchanged;
        ComputeWorksheet(a, in, result);
        EXPECT_NEAR(result, c.expected, 1e-9) << "type " << c.wftype;
    }

    TAttrib expression;
    expression.wftype = wfExpression;
    expression.funct = "P0 + V1";
    TWorksheetInputs in;
    double result = 1;
    ComputeWorksheet(expression, in, result, [](const std::string& f, double& v) {
        v = static_cast<double>(f.size());
        return true;
    });
    EXPECT_EQ(result, 7);
    ComputeWorksheet(expression, in, result, [](const std::string&, double& v) {
        v = 99;
        return false; // rejected: unchanged
    });
    EXPECT_EQ(result, 7);
}

using StringValues = testing::NetworkFixture;

TEST_F(StringValues, LoadAndUnloadByAttributeNumber) {
    TEntityType& t = net.NodeDef.Classs[1];
    t.atcount = 4;
    const char formats[] = {'S', 'R', 'S', 'C'};
    for (int i = 1; i <= 4; ++i)
        t.EnsureAttribute(i).aformat = formats[i - 1];
    net.NodeDef.ResetStringPosList();
    TNode* n = Node(0, 0);
    ASSERT_EQ(n->AttString.size(), 2u);
    n->AttString[0] = "first";
    n->AttString[1] = "third";

    stringsetarray set;
    set[2] = "stale";
    loadstrings(net, {n, nullptr}, set);
    EXPECT_EQ(set[1], "first");
    EXPECT_EQ(set[2], "");
    EXPECT_EQ(set[3], "third");

    set[3] = "changed";
    set[2] = "ignored";
    unloadstrings(net, {n, nullptr}, set);
    EXPECT_EQ(n->AttString[1], "changed");
    EXPECT_EQ(n->AttString.size(), 2u);

    // A list shorter than the type's count loads as empty texts and is brought to length on unload.
    n->AttString.resize(1);
    loadstrings(net, {n, nullptr}, set);
    EXPECT_EQ(set[3], "");
    set[3] = "back";
    unloadstrings(net, {n, nullptr}, set);
    ASSERT_EQ(n->AttString.size(), 2u);
    EXPECT_EQ(n->AttString[1], "back");

    // Without an element the system strings are used.
    TEntityType& sys = net.SystemDef.Classs[1];
    sys.atcount = 2;
    sys.Attribute(2)->aformat = 'S';
    net.SystemDef.ResetStringPosList();
    set[2] = "system text";
    unloadstrings(net, {}, set);
    ASSERT_EQ(net.SystemStrings.size(), 1u);
    EXPECT_EQ(net.SystemStrings[0], "system text");
}

} // namespace
} // namespace zan

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "calc/DateTime.h"
#include "calc/Expression.h"
#include "core/model/NetworkFixture.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan {
namespace {

// A category code value: the code's characters in the bytes of a double, the rest zero.
double CodeValue(std::string_view code) {
    std::array<unsigned char, 8> bytes{};
    std::memcpy(bytes.data(), code.data(), std::min<std::size_t>(code.size(), bytes.size()));
    double v = 0;
    std::memcpy(&v, bytes.data(), sizeof v);
    return v;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

enum Where { System, NodeCtx, LinkCtx };

// Evaluates by the compiled program (when there is one) and by the scanner, and checks that both
// give the same value and error position.
struct TBoth {
    double value = 0;
    int errorPos = 0;
};
TBoth EvaluateBoth(std::string_view text, const TEvalContext& ctx, int entityType, int context,
                   const TNetwork* net = nullptr) {
    const TExpression e = TExpression::Translate(text, net, entityType, context);
    TBoth scanner;
    scanner.value = e.EvaluateByScanner(ctx, scanner.errorPos);
    TBoth fast;
    fast.value = e.Evaluate(ctx, fast.errorPos);
    EXPECT_EQ(fast.errorPos, scanner.errorPos) << text;
    EXPECT_TRUE(SameBits(fast.value, scanner.value)) << text << ": " << fast.value << " " << scanner.value;
    return scanner;
}

TEST(Expression, EdgeCases) {
    TNode node(0, 0, 0, 0);
    TLinkValues link;
    evaluationrecord record;
    record.attributes[0] = 4; // the node's layer in slot A0
    TWindowSettings window;
    window.ZoomState = 5;
    window.selectedlayers[2] = 3;
    window.selectedlayers[3] = 0;
    window.selectedlayers[4] = 6;

    struct Case {
        const char* text;
        Where where;
        double value;
        int errorPos;
    };
    const Case cases[] = {
        {"", System, 0, 0},
        {"1 + 2 = 3", System, 1, 0},
        {"3 = 1 + 2", System, 2, 0},
        {"2*+3", System, 3, 0},
        {"--3", System, -3, 0},
        {"1 + * 2", System, 1, 0},
        {"(1+2", System, 3, 0},
        // Blanks are skipped inside a number literal, so these are single literals that do not convert.
        {"1 2", System, 0, 0},
        {"2 3", System, 0, 0},
        {"1/0", System, 0, 0},
        {"0/0", System, 0, 0},
        {"-2^2", System, 0, 4},
        {"(0-8)^(1/3)", System, 0, 11},
        {"0^5", System, 0, 0},
        {"2^10", System, 1024, 0},
        {"7 D 2", System, 3, 0},
        {"7.5 D 2", System, 4, 0},
        {"6.5 D 2", System, 3, 0},
        {"-7 M 2", System, -1, 0},
        {"7 D 0", System, 0, 0},
        {"3 % 5", System, 3, 0},
        {"0 % 5", System, 5, 0},
        {"2 & 5", System, 2, 0},
        {"2 | 5", System, 5, 0},
        {"2 <> 3", System, 1, 0},
        {"2 # 2", System, 0, 0},
        {"2 >= 2", System, 1, 0},
        {"3 <= 2", System, 0, 0},
        {"1 + 2 * 3", System, 7, 0},
        {"2.5E1", System, 25, 0},
        {"2E+2", System, 200, 0},
        {"'abc' = 'a?c'", System, 1, 0},
        {"'ab' = 'abc'", System, 0, 0},
        {"'abc' <> 'abd'", System, 1, 0},
        {"'b' < 'abc'", System, 1, 0},
        {"'' < 'abc'", System, 0, 0},
        {"'abc' > 'bc'", System, 1, 0},
        {"'x' = 1", System, 0, 7},
        {"1 = 'x'", System, 0, 7},
        {"'abc' + 'd'", System, 0, 0},
        {"'abc", System, 0, 0},
        {"{1/?/2000} = {1/15/2000}", System, 1, 0},
        {"{1/14/2000} < {1/15/2000}", System, 1, 0},
        {"{1/14/2000} = 5", System, 0, 15},
        {"YEAR({7/4/1999}) = 1999", System, 1, 0},
        {"MONTH {2/30/2001}", System, 2, 0},
        {"DAY {2/30/2001}", System, 0, 0},
        {"YEAR {?/?/?}", System, 31900, 0},
        {"{1/1/2000", System, 0, 0},
        {"ROUND 2.5", System, 3, 0},
        {"ROUND(-2.5)", System, -2, 0},
        {"ROUND(-2.7)", System, -2, 0},
        // A function takes the primary that follows; "-" starts none, so this is ROUND(0) - 2.5.
        {"ROUND -2.5", System, -2.5, 0},
        {"SQRT 16", System, 4, 0},
        {"SQRT(16)", System, 4, 0},
        {"SQRT 16 + 1", System, 5, 0},
        {"SQRT(0-4)", System, 0, 0},
        {"LN 0", System, 0, 0},
        {"FACT 5", System, 120, 0},
        {"FACT 171", System, 0, 0},
        {"FACT(0-1)", System, 0, 0},
        {"FRAC(0-2.25)", System, -0.25, 0},
        {"INT 2.7 + TRUNC(0-2.7)", System, 0, 0},
        {"!0 + NOT 3", System, 1, 0},
        {"SIGN(0-3)", System, -1, 0},
        {"FACOS 2", System, 0, 0},
        {"LOC 5 + RIGHT 2", System, 7, 0},
        {"RAND 0", System, 0, 0},
        {"RAND 1", System, 0, 0},
        {"LAYER(2)", NodeCtx, 4, 6},
        {"LAYER + 1", NodeCtx, 5, 0},
        {"LAYER(2)", LinkCtx, 1, 0},
        {"LAYER(3)", LinkCtx, 0, 0},
        {"LAYER(4)", System, 0, 0},
        {"LAYER(2)", System, 1, 0},
        {"NX", LinkCtx, 0, 0},
        {"S0", System, 0, 0},
        {"1)", System, 1, 2},
        {"Q", System, 0, 1},
        {"+5", System, 5, 0},
        {"+5)", System, 5, 3},
        {"+'x'=1", System, 0, 6},
        {"CV + CZ", System, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TEvalContext ctx;
        ctx.record = &record;
        ctx.window = &window;
        ctx.currentYear = 2025;
        int context = kContextSystem;
        if (c.where == NodeCtx) {
            ctx.node = &node;
            context = kContextNode;
        } else if (c.where == LinkCtx) {
            ctx.link = &link;
            context = kContextLink;
        }
        const TBoth r = EvaluateBoth(c.text, ctx, 1, context);
        EXPECT_EQ(r.value, c.value);
        EXPECT_EQ(r.errorPos, c.errorPos);
    }
}

TEST(Expression, OneShotTranslatesInPlace) {
    evaluationrecord record;
    TEvalContext ctx;
    ctx.record = &record;
    std::string text = "sqrt(16) + 1";
    double result = -1;
    int errorPos = -1;
    EXPECT_TRUE(EvaluateExpression(text, result, errorPos, ctx));
    EXPECT_EQ(text, "SQRT(16) + 1");
    EXPECT_EQ(result, 5);
    EXPECT_EQ(errorPos, 0);
    // Quoted texts keep their case.
    std::string quoted = "'ab' = 'aB'";
    EXPECT_TRUE(EvaluateExpression(quoted, result, errorPos, ctx));
    EXPECT_EQ(quoted, "'ab' = 'aB'");
    EXPECT_EQ(result, 0);

    std::string bad = "2*(3";
    EXPECT_TRUE(EvaluateExpression(bad, result, errorPos, ctx));
    EXPECT_EQ(result, 6);
    std::string rejected = "2 * 3)";
    EXPECT_FALSE(EvaluateExpression(rejected, result, errorPos, ctx));
    EXPECT_EQ(errorPos, 6);
    EXPECT_EQ(result, 6); // the value read up to where reading stopped
}

TEST(Expression, NumberEntryAndErrorMark) {
    double v = 0;
    int errorPos = 0;
    EXPECT_TRUE(EvaluateNumberEntry("2*3.5", v, errorPos));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(EvaluateNumberEntry("7", v, errorPos));
    EXPECT_EQ(v, 7);
    EXPECT_FALSE(EvaluateNumberEntry("12 ft", v, errorPos));
    EXPECT_EQ(errorPos, 4);
    EXPECT_EQ(MarkErrorPosition("12 ft", 4), "12  \xBB\xBB"
                                             "ft");
    EXPECT_EQ(MarkErrorPosition("1)", 2), "1 \xBB\xBB)");
}

TEST(Expression, SlotKinds) {
    evaluationrecord record;
    stringsetarray texts;
    record.kinds[1] = 2; // a category code two characters wide
    record.attributes[1] = CodeValue("AB\x01Z");
    record.kinds[2] = kSlotString;
    texts[2] = "hello";
    record.kinds[3] = kSlotDateTime;
    record.attributes[3] =
        DateToDouble(ParseDateText("7/4/1999-10:30", kDateAndTime, MyDateTime::Unset(), 2025));
    record.attributes[4] = 2.5;
    record.attributes[5] = 3;
    record.attributes[6] = 4;
    record.parameters[1] = 10;
    record.parameters[2] = 20;
    record.variables[3] = 7;
    record.attributes[100] = 1;
    TEvalContext ctx;
    ctx.record = &record;
    ctx.texts = &texts;
    ctx.currentYear = 2025;
    struct Case {
        const char* text;
        double value;
        int errorPos;
    };
    const Case cases[] = {
        {"A1 = 'AB'", 1, 0},
        {"A1 = 'A?'", 1, 0},
        {"A1 = 'AB Z'", 0, 0},
        {"A2 > 'ell'", 1, 0},
        {"A2 = 'hello'", 1, 0},
        {"A2 + 1", 0, 6},
        {"YEAR A3 + HOUR A3 * 100", 2999, 0},
        {"A3 = {7/4/1999}", 0, 0}, // the literal's time is 0:00:00
        {"A3 = {7/4/1999-?:?:?}", 1, 0},
        {"A3 = {7/4/1999-10:30}", 1, 0},
        {"A3 > {7/3/1999}", 1, 0},
        {"A3 = 5", 0, 6},
        {"(A3) = 5", 0, 0},
        {"A4 + A5", 5.5, 0},
        {"A4_A6", 9.5, 0},
        {"A1_A6", 9.5 + record.attributes[3], 0}, // text slots add 0, a date its bytes
        {"A6_A4", 0, 0},
        {"P1_P2 + V3", 37, 0},
        {"CU + CV", 1, 0},
        {"C1_CZ", 1, 0},
        {"A + 1", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TBoth r = EvaluateBoth(c.text, ctx, 1, kContextSystem);
        if (std::isnan(c.value))
            EXPECT_TRUE(std::isnan(r.value));
        else
            EXPECT_EQ(r.value, c.value);
        EXPECT_EQ(r.errorPos, c.errorPos);
    }
}

class ExpressionNetwork : public testing::NetworkFixture {
protected:
    void SetUp() override {
        TEntityType& nodeType = net.NodeDef.TypeOf(1);
        nodeType.atcount = 40;
        nodeType.EnsureAttribute(1).SetAlias("x");
        nodeType.EnsureAttribute(2).SetAlias("Pop");
        nodeType.EnsureAttribute(3).SetAlias("AB");
        nodeType.EnsureAttribute(4).SetAlias("pop"); // overrides attribute 2's alias
        nodeType.EnsureAttribute(40).SetAlias("FLOW");
        TEntityType& linkType = net.LinkDef.TypeOf(1);
        linkType.atcount = 1;
        linkType.EnsureAttribute(1).SetAlias("SPEED");
        TEntityType& sys = net.SystemDef.TypeOf(1);
        sys.atcount = 12;
        sys.EnsureAttribute(3).SetAlias("RATE");
        sys.EnsureAttribute(11).SetAlias("BASE");
        sys.EnsureAttribute(11).aformat = 'X';
        sys.EnsureAttribute(12).SetAlias("CODE");
        sys.EnsureAttribute(12).aformat = 'C';
        net.SystemValues[2] = 2.5;
        net.SystemValues[10] = DateToDouble(ParseDateText("1/2/2003", kDateOnly, MyDateTime::Unset(), 2025));
        net.SystemValues[11] = CodeValue("XY");
    }

    std::string Translate(std::string_view text, int context, bool target = false) {
        return TExpression::Translate(text, &net, 1, context, target).Translated();
    }
};

TEST_F(ExpressionNetwork, TranslationOfNames) {
    EXPECT_EQ(Translate("x + pop*2", kContextNode), "A1  + A4 *2");
    EXPECT_EQ(Translate("AB+FLOW", kContextNode), "A3 +B5  ");
    EXPECT_EQ(Translate("XX + X1 + 'X' + 'x'", kContextNode), "XX + X1 + 'A1 ' + 'x'");
    EXPECT_EQ(Translate("rate * NodeX - Layer", kContextNode), "S3   * NX    - A0   ");
    EXPECT_EQ(Translate("Length + SPEED + NodeX", kContextLink), "LL     + A1    + NODEX");
    EXPECT_EQ(Translate("rate + x", kContextSystem), "S3   + X");
    EXPECT_EQ(Translate("Entity", kContextNode, true), "P0    ");
    EXPECT_EQ(Translate("Entity", kContextLink, false), "LK    ");
    EXPECT_EQ(Translate("+pop", kContextNode), "+A4 ");
}

TEST_F(ExpressionNetwork, AliasGrowthShiftsErrorPositions) {
    evaluationrecord record;
    record.attributes[1] = 2;
    TNode* n = Node(10, 20);
    TEvalContext ctx;
    ctx.network = &net;
    ctx.node = n;
    ctx.record = &record;
    // "X" becomes "A1 ": the stray "Q" moves from position 5 to 7.
    const TBoth r = EvaluateBoth("X + Q", ctx, 1, kContextNode, &net);
    EXPECT_EQ(r.errorPos, 7);
    EXPECT_EQ(r.value, 2);
    std::string text = "x*rate + 1";
    double result = 0;
    int errorPos = 0;
    EXPECT_TRUE(EvaluateExpression(text, result, errorPos, ctx));
    EXPECT_EQ(text, "A1 *S3   + 1");
    EXPECT_EQ(result, 6);
}

TEST_F(ExpressionNetwork, TranslationTooLong) {
    // 252 digits, "+", and "X" growing to three characters: 256 characters; the X does not fit.
    const std::string longText = std::string(252, '1') + "+X";
    const TExpression e = TExpression::Translate(longText, &net, 1, kContextNode);
    TEvalContext ctx;
    int errorPos = 0;
    EXPECT_EQ(e.Evaluate(ctx, errorPos), 0);
    EXPECT_EQ(errorPos, 254);
    const std::string fits = std::string(251, '1') + "+X";
    const TExpression ok = TExpression::Translate(fits, &net, 1, kContextNode);
    ok.Evaluate(ctx, errorPos);
    EXPECT_EQ(errorPos, 0);
    EXPECT_EQ(ok.Translated().size(), 255u);
    const TExpression typed = TExpression::Translate(std::string(256, '1'), &net, 1, kContextSystem);
    typed.Evaluate(ctx, errorPos);
    EXPECT_EQ(errorPos, 256);
}

TEST_F(ExpressionNetwork, SystemAttributes) {
    TEvalContext ctx;
    ctx.network = &net;
    ctx.currentYear = 2025;
    struct Case {
        const char* text;
        double value;
        int errorPos;
    };
    const Case cases[] = {
        {"RATE * 2", 5, 0},
        {"S3 + S4", 2.5, 0},
        {"YEAR BASE", 2003, 0},
        {"BASE = {1/2/?}", 1, 0},
        {"BASE = 1", 0, 8},
        // A category system attribute reads as all 8 code characters.
        {"CODE = 'XY'", 0, 0},
        {"CODE = 'XY      '", 1, 0},
        {"'XY' < CODE", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TBoth r = EvaluateBoth(c.text, ctx, 1, kContextSystem, &net);
        EXPECT_EQ(r.value, c.value);
        EXPECT_EQ(r.errorPos, c.errorPos);
    }
}

TEST_F(ExpressionNetwork, NodeAndLinkProperties) {
    TNode* a = Node(0, 0, 2);
    TNode* b = Node(30, 40, 3);
    TNode* c = Node(30, 0);
    TNode* d = Node(0, 40);
    TNode* owner = Node(15, 20);
    TLinkValues* ab = Link(a, b, {{0, 40}}, 4);
    Link(a, c);
    Polygon(owner, {a, c, b, d});
    a->Layer = 3;
    a->lat = 455000000;
    a->long_ = -735000000;
    a->elev = 1234500;
    a->notes = "first&&second";
    ab->notes = "one&&two";
    window.NetworkScale = 2;

    TEvalContext nodeCtx;
    nodeCtx.network = &net;
    nodeCtx.window = &window;
    nodeCtx.node = a;
    nodeCtx.label = "North";
    TEvalContext ownerCtx = nodeCtx;
    ownerCtx.node = owner;
    TEvalContext linkCtx;
    linkCtx.network = &net;
    linkCtx.window = &window;
    linkCtx.link = ab;

    struct Case {
        const TEvalContext* ctx;
        const char* text;
        double value;
    };
    const Case cases[] = {
        {&nodeCtx, "Serial", static_cast<double>(a->snumb)},
        {&nodeCtx, "Entity", 2},
        {&nodeCtx, "NLinks", 2},
        {&nodeCtx, "NodeX + NodeY", 0},
        {&nodeCtx, "N[", 3},
        {&nodeCtx, "Lat", 45.5},
        {&nodeCtx, "Long", -73.5},
        {&nodeCtx, "Elev", 123.45},
        {&nodeCtx, "Order", 1},
        {&nodeCtx, "CName", 0},
        {&nodeCtx, "N( = 'first'", 1},
        {&nodeCtx, "N) = 'second'", 1},
        {&nodeCtx, "NB = 'North'", 1},
        {&nodeCtx, "LK", 0},
        {&ownerCtx, "Vertices", 4},
        {&ownerCtx, "Area", 1200.0 / 4},
        {&ownerCtx, "Perimeter", 140.0 / 2},
        {&ownerCtx, "Chain", 100.0 / 2},
        {&ownerCtx, "CentroidX * 100 + CentroidY", 1520},
        {&ownerCtx, "Order", 0},
        {&linkCtx, "SerialA", static_cast<double>(a->snumb)},
        {&linkCtx, "LH", static_cast<double>(b->snumb)},
        {&linkCtx, "BNodeX * 100 + BNodeY", 3040},
        {&linkCtx, "ANodeX + ANodeY", 0},
        {&linkCtx, "Entity", 4},
        {&linkCtx, "Length", (40.0 + 30.0) / 2},
        {&linkCtx, "NNameA * 10 + NNameB", 23},
        {&linkCtx, "Shapes", 1},
        {&linkCtx, "CName", 1},
        {&linkCtx, "L( = 'one'", 1},
        {&linkCtx, "L) = 'two'", 1},
        {&linkCtx, "NX", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const int context = c.ctx->Context();
        const int type = context == kContextNode ? c.ctx->node->NType : c.ctx->link->LType;
        const TBoth r = EvaluateBoth(c.text, *c.ctx, type, context, &net);
        EXPECT_EQ(r.errorPos, 0);
        EXPECT_NEAR(r.value, c.value, 1e-9);
    }

    // The note box of an open dialog replaces the stored notes.
    const std::string box = "line one\r\nline two";
    nodeCtx.dialogNotes = &box;
    EXPECT_EQ(EvaluateBoth("N) = 'line two'", nodeCtx, 2, kContextNode, &net).value, 1);
    // Azimuth from A (0,0) to B (30,40) on screen axes (y down): between south and east.
    EXPECT_NEAR(EvaluateBoth("Azimuth", linkCtx, 4, kContextLink, &net).value, 180 - 36.869897645844, 1e-9);
    // Orient depends on the drawing order; reversing the polygon flips it.
    const double before = EvaluateBoth("Orient", ownerCtx, 1, kContextNode, &net).value;
    owner->ReversePolygon();
    const double after = EvaluateBoth("Orient", ownerCtx, 1, kContextNode, &net).value;
    EXPECT_EQ(before + after, 1);
}

// Random texts over numbers, slots, operators, functions and parentheses, valid or not: the
// compiled program and the scanner must agree on every one.
TEST(Expression, CompiledProgramAgreesWithScanner) {
    const char* pieces[] = {"1",  "2.5", "0",  "-",    "+",     "*",    "/",     " D ",  " M ",   "&",
                            "|",  "%",   "^",  "=",    "<",     ">",    "<=",    "<>",   "#",     "(",
                            ")",  "A1",  "A2", "B1",   "P1",    "V2",   "A1_A3", "SQRT", "ROUND", "FACT",
                            "LN", "INT", "!",  "SIGN", "LAYER", "YEAR", " ",     "Q",    "E",     "7"};
    evaluationrecord record;
    record.attributes[1] = -3;
    record.attributes[2] = 0.5;
    record.attributes[3] = 4;
    record.attributes[36] = 9;
    record.parameters[1] = 2;
    record.variables[2] = -1.5;
    TEvalContext ctx;
    ctx.record = &record;
    std::mt19937 gen(12345);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(pieces)) - 1);
    std::uniform_int_distribution<int> length(1, 12);
    int compiled = 0;
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int n = length(gen);
        for (int k = 0; k < n; ++k)
            text += pieces[pick(gen)];
        const TExpression e = TExpression::Translate(text, nullptr, 1, kContextSystem);
        int scanPos = 0;
        int fastPos = 0;
        const double scan = e.EvaluateByScanner(ctx, scanPos);
        const double fast = e.Evaluate(ctx, fastPos);
        ASSERT_EQ(fastPos, scanPos) << text;
        ASSERT_TRUE(SameBits(fast, scan)) << text << ": " << fast << " " << scan;
        compiled += e.IsCompiled() ? 1 : 0;
        accepted += scanPos == 0 ? 1 : 0;
    }
    // Enough of both kinds for the comparison to mean something.
    EXPECT_GT(compiled, 2000);
    EXPECT_GT(accepted, 2000);
}

TEST(Expression, CompiledOnlyWhereNumbersAreCertain) {
    evaluationrecord record;
    TEvalContext ctx;
    ctx.record = &record;
    EXPECT_TRUE(TExpression::Translate("A1 * 2 + SQRT(A2)", nullptr, 1, kContextSystem).IsCompiled());
    EXPECT_FALSE(TExpression::Translate("A1 = 'x'", nullptr, 1, kContextSystem).IsCompiled());
    EXPECT_FALSE(TExpression::Translate("1 2 3)", nullptr, 1, kContextSystem).IsCompiled());
    // A slot that turns out to hold a text is read by the scanner: a type error, not a number.
    const TExpression e = TExpression::Translate("A1 + 1", nullptr, 1, kContextSystem);
    ASSERT_TRUE(e.IsCompiled());
    int errorPos = 0;
    record.attributes[1] = 5;
    EXPECT_EQ(e.Evaluate(ctx, errorPos), 6);
    EXPECT_EQ(errorPos, 0);
    record.kinds[1] = kSlotString;
    e.Evaluate(ctx, errorPos);
    EXPECT_EQ(errorPos, 6);
    // A negative base found while running: the scanner reports the position.
    record.kinds[1] = kSlotNumber;
    record.attributes[1] = -5;
    const TExpression p = TExpression::Translate("A1 ^ 2", nullptr, 1, kContextSystem);
    EXPECT_EQ(p.Evaluate(ctx, errorPos), 0);
    EXPECT_EQ(errorPos, 6);
}

} // namespace
} // namespace zan

namespace zan {
namespace {

TEST(WorksheetExpression, ParametersAndVariablesFeedTheExpression) {
    TAttrib a;
    a.wftype = wfExpression;
    a.wcount = 2;
    a.funct = "P0 + P1*V1 + V2";
    TWorksheetInputs in;
    in.n = 2;
    in.p[0] = 1;
    in.p[1] = 2;
    in.x[1] = 3;
    in.x[2] = 10;
    double result = -1;
    ComputeWorksheetValue(a, in, result, TEvalContext());
    EXPECT_EQ(result, 17);
    a.funct = "'x' = 1";
    ComputeWorksheetValue(a, in, result, TEvalContext());
    EXPECT_EQ(result, 17); // rejected: unchanged
    a.wftype = wfLinear;
    ComputeWorksheetValue(a, in, result, TEvalContext());
    EXPECT_EQ(result, 1 + 2 * 3 + 0 * 10);
}

} // namespace
} // namespace zan

#include "calc/Expression.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <numbers>
#include <random>

#include "calc/DateTime.h"
#include "calc/NumberText.h"
#include "schema/AttributeValues.h"
#include "model/Network.h"
#include "model/NetworkElements.h"
#include "model/WindowSettings.h"

namespace zan {

int TEvalContext::Context() const {
    if (node && !link)
        return kContextNode;
    if (link && !node)
        return kContextLink;
    return kContextSystem;
}

namespace {

constexpr int kEnd = -1; // the scanner's mark past the end of the text

bool IsWordChar(int c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

// The value of an index character: "0".."9", then "A".."Z" for 10..35; -1 for anything else.
int IndexValue(int c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return -1;
}

char IndexChar(int r) {
    return r <= 9 ? static_cast<char>('0' + r) : static_cast<char>('A' + r - 10);
}

// ---------------------------------------------------------------------------------------------
// Built-in property names

struct TPropertyName {
    std::string_view name;
    char code;
};

constexpr std::array<TPropertyName, 18> kNodeProperties{{
    {"CNAME", 'E'},
    {"SERIAL", 'F'},
    {"ENTITY", 'K'},
    {"NLINKS", 'L'},
    {"AREA", 'M'},
    {"VERTICES", 'S'},
    {"NODEX", 'X'},
    {"NODEY", 'Y'},
    {"PERIMETER", '@'},
    {"CHAIN", '$'},
    {"CENTROIDX", '^'},
    {"CENTROIDY", '_'},
    {"LAYER", '['},
    {"LAT", '|'},
    {"LONG", '-'},
    {"ELEV", ';'},
    {"ORIENT", '~'},
    {"ORDER", 'R'},
}};

constexpr std::array<TPropertyName, 13> kLinkProperties{{
    {"CNAME", 'E'},
    {"SERIALA", 'G'},
    {"SERIALB", 'H'},
    {"BNODEX", 'I'},
    {"BNODEY", 'J'},
    {"ENTITY", 'K'},
    {"LENGTH", 'L'},
    {"NNAMEA", 'P'},
    {"NNAMEB", 'Q'},
    {"SHAPES", 'S'},
    {"ANODEX", 'X'},
    {"ANODEY", 'Y'},
    {"AZIMUTH", '@'},
}};

// ---------------------------------------------------------------------------------------------
// Translation

// A text being translated, with the position in the typed text that every character came from.
struct TTranslating {
    std::string text;
    std::vector<int> origin; // 1-based
};

// Replaces every word that has a code in `codes`; each replacement is the code followed by
// max(1, name length - 2) blanks.
void ReplaceWords(TTranslating& t, const std::map<std::string, std::string, std::less<>>& codes) {
    if (codes.empty())
        return;
    TTranslating out;
    out.text.reserve(t.text.size() + 16);
    out.origin.reserve(t.text.size() + 16);
    std::size_t i = 0;
    while (i < t.text.size()) {
        if (!IsWordChar(static_cast<unsigned char>(t.text[i]))) {
            out.text += t.text[i];
            out.origin.push_back(t.origin[i]);
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < t.text.size() && IsWordChar(static_cast<unsigned char>(t.text[j])))
            ++j;
        const std::string_view word(t.text.data() + i, j - i);
        const auto it = codes.find(word);
        if (it == codes.end()) {
            out.text.append(word);
            out.origin.insert(out.origin.end(), t.origin.begin() + static_cast<std::ptrdiff_t>(i),
                              t.origin.begin() + static_cast<std::ptrdiff_t>(j));
        } else {
            const std::size_t length = std::max<std::size_t>(3, word.size());
            std::string code = it->second;
            code.resize(length, ' ');
            out.text += code;
            out.origin.insert(out.origin.end(), length, t.origin[i]);
        }
        i = j;
    }
    t = std::move(out);
}

// The code of attribute i (1..100) of an element, or of system attribute i (1..35).
std::string SlotCode(int i, bool system) {
    if (system)
        return std::string{'S', IndexChar(i)};
    const int block = (i - 1) / 35;
    const char prefix = static_cast<char>('A' + block);
    return std::string{prefix, IndexChar(i - 35 * block)};
}

void AddAliases(std::map<std::string, std::string, std::less<>>& codes, const TEntityType& type, int limit,
                bool system) {
    const int count = std::min<int>(type.atcount, limit);
    for (int i = 1; i <= count; ++i) {
        const TAttrib* a = type.Attribute(i);
        if (a == nullptr || a->AliasUp.empty())
            continue;
        codes[a->AliasUp] = SlotCode(i, system); // a later attribute overwrites an earlier one
    }
}

} // namespace

std::string TranslateNames(std::string_view expression, const TNetwork* net, int entityType, int context,
                           bool targetMode, int& errorPos) {
    errorPos = 0;
    TTranslating t;
    t.text.assign(expression);
    t.origin.resize(t.text.size());
    for (std::size_t i = 0; i < t.origin.size(); ++i)
        t.origin[i] = static_cast<int>(i) + 1;

    std::map<std::string, std::string, std::less<>> codes;
    if (net != nullptr && (context == kContextNode || context == kContextLink)) {
        const TEntityClass& schema = context == kContextNode ? net->NodeDef : net->LinkDef;
        AddAliases(codes, schema.TypeOf(entityType), kMaxAttributes, false);
        ReplaceWords(t, codes);
        codes.clear();
    }
    if (net != nullptr) {
        AddAliases(codes, net->SystemDef.TypeOf(1), kSystemAttributes, true);
        ReplaceWords(t, codes);
        codes.clear();
    }
    if (context == kContextNode || context == kContextLink) {
        if (targetMode) {
            codes["ENTITY"] = "P0";
        } else if (context == kContextNode) {
            for (const TPropertyName& p : kNodeProperties)
                codes[std::string(p.name)] = std::string{'N', p.code};
            codes["LAYER"] = "A0"; // the node's layer, held in slot 0 by calculate programs
        } else {
            for (const TPropertyName& p : kLinkProperties)
                codes[std::string(p.name)] = std::string{'L', p.code};
        }
        ReplaceWords(t, codes);
    }
    if (t.text.size() > kMaxExpression)
        errorPos = t.origin[kMaxExpression];
    return std::move(t.text);
}

namespace {

// ---------------------------------------------------------------------------------------------
// Operations shared by the scanner and the compiled program

enum TOpCode : std::uint8_t {
    opAdd,
    opSub,
    opEq,
    opNe,
    opLt,
    opGt,
    opLe,
    opGe,
    opMul,
    opDiv,
    opIDiv,
    opIMod,
    opMin,
    opMax,
    opFirst,
    opPow,
    // compiled program only
    opConst,
    opSlot,
    opRange,
    opParam,
    opParamRange,
    opVar,
    opVarRange,
    opSystem,
    opNodeProp,
    opLinkProp,
    opNeg,
    opFunc,
};

double Finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

// Addition, subtraction and the comparisons of two numbers.
double NumberOp(int op, double a, double b) {
    switch (op) {
    case opAdd:
        return Finite(a + b);
    case opSub:
        return Finite(a - b);
    case opEq:
        return a == b ? 1 : 0;
    case opNe:
        return a != b ? 1 : 0;
    case opLt:
        return a < b ? 1 : 0;
    case opGt:
        return a > b ? 1 : 0;
    case opLe:
        return a <= b ? 1 : 0;
    case opGe:
        return a >= b ? 1 : 0;
    default:
        return 0;
    }
}

// Division of the two operands taken as 64-bit integers; `remainder` gives the remainder instead.
double IntegerDivision(double a, double b, bool remainder) {
    const std::int64_t x = RealToInt64(a, 0);
    const std::int64_t y = RealToInt64(b, 0);
    if (y == 0 || (x == std::numeric_limits<std::int64_t>::min() && y == -1))
        return 0;
    return static_cast<double>(remainder ? x % y : x / y);
}

// The multiplicative operators.
double TermOp(int op, double a, double b) {
    switch (op) {
    case opMul:
        return (a == 0 || b == 0) ? 0 : Finite(a * b);
    case opDiv:
        return (a == 0 || b == 0) ? 0 : Finite(a / b);
    case opIDiv:
        return IntegerDivision(a, b, false);
    case opIMod:
        return IntegerDivision(a, b, true);
    case opMin:
        return std::min(a, b);
    case opMax:
        return std::max(a, b);
    case opFirst:
        return a != 0 ? a : b;
    default:
        return 0;
    }
}

// "^" for a base that is not negative.
double PowerOp(double a, double b) {
    if (a > 0)
        return Finite(std::pow(a, b));
    return 0;
}

bool TextEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && a[i] != '?' && b[i] != '?')
            return false;
    }
    return true;
}

bool Occurs(std::string_view part, std::string_view whole) {
    return !part.empty() && whole.find(part) != std::string_view::npos;
}

double TextOp(int op, std::string_view a, std::string_view b, double left) {
    switch (op) {
    case opEq:
        return TextEqual(a, b) ? 1 : 0;
    case opNe:
        return TextEqual(a, b) ? 0 : 1;
    case opLt:
    case opLe:
        return Occurs(a, b) ? 1 : 0;
    case opGt:
    case opGe:
        return Occurs(b, a) ? 1 : 0;
    default:
        return left; // "+" and "-" leave the left value as it is
    }
}

double DateOp(int op, double da, double db, double left) {
    const MyDateTime a = DoubleToDate(da);
    const MyDateTime b = DoubleToDate(db);
    switch (op) {
    case opEq:
        return DateEqual(a, b) ? 1 : 0;
    case opNe:
        return DateEqual(a, b) ? 0 : 1;
    case opLt:
        return DateLess(a, b) ? 1 : 0;
    case opGt:
        return DateLess(b, a) ? 1 : 0;
    case opLe:
        return (DateLess(a, b) || DateEqual(a, b)) ? 1 : 0;
    case opGe:
        return (DateLess(b, a) || DateEqual(a, b)) ? 1 : 0;
    default:
        return left;
    }
}

// Functions, in the order their names are searched.
constexpr std::array<std::string_view, 32> kFunctionNames{
    "FABS", "SQRT", "SQR", "SIN",   "FCOS",  "FATAN", "LN",   "LOG", "EXP",   "INT",   "FACT",
    "FRAC", "!",    "RAD", "ROUND", "TRUNC", "NOT",   "SIGN", "DEG", "YEAR",  "MONTH", "DAY",
    "HOUR", "MIN",  "SEC", "LAYER", "FACOS", "FASIN", "TAN",  "LOC", "RIGHT", "RAND",
};
constexpr int kFunctionLoc = 29;
constexpr int kFunctionRight = 30;

// The one generator RAND draws from, seeded once per process.
std::mt19937_64& RandomGenerator() {
    static std::mt19937_64 generator(
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return generator;
}

const TWindowSettings& DefaultWindow() {
    static const TWindowSettings window;
    return window;
}

double ApplyFunction(int f, double x, const TEvalContext& ctx) {
    const double t = std::trunc(x);
    switch (f) {
    case 0:
        return std::fabs(x);
    case 1:
        return x < 0 ? 0 : Finite(std::sqrt(x));
    case 2:
        return Finite(x * x);
    case 3:
        return Finite(std::sin(x));
    case 4:
        return Finite(std::cos(x));
    case 5:
        return Finite(std::atan(x));
    case 6:
        return x > 0 ? Finite(std::log(x)) : 0;
    case 7:
        return x > 0 ? Finite(std::log10(x)) : 0;
    case 8:
        return Finite(std::exp(x));
    case 9:
    case 15:
        return Finite(t);
    case 10: {
        if (!std::isfinite(t) || t < 0 || t > 170)
            return 0;
        double r = 1;
        for (int i = 2; i <= static_cast<int>(t); ++i)
            r *= i;
        return r;
    }
    case 11:
        return Finite(x - t);
    case 12:
    case 16:
        return x == 0 ? 1 : 0;
    case 13:
        return Finite(x * std::numbers::pi / 180);
    case 14:
        return Finite(std::trunc(x + 0.5));
    case 17:
        return x > 0 ? 1 : (x < 0 ? -1 : 0);
    case 18:
        return Finite(x * 180 / std::numbers::pi);
    case 19:
        return DoubleToDate(x).Year + 1900.0;
    case 20:
        return DoubleToDate(x).Month;
    case 21:
        return DoubleToDate(x).Day;
    case 22:
        return DoubleToDate(x).Hour;
    case 23:
        return DoubleToDate(x).Min;
    case 24:
        return DoubleToDate(x).Sec;
    case 25: {
        const std::int64_t n = RealToInt64(x, 0);
        if (n < 1 || n > kLayers)
            return 0;
        const TWindowSettings& w = ctx.window ? *ctx.window : DefaultWindow();
        const std::int32_t threshold = w.selectedlayers[static_cast<std::size_t>(n)];
        return (threshold != 0 && threshold <= w.ZoomState) ? 1 : 0;
    }
    case 26:
        return (x < -1 || x > 1) ? 0 : Finite(std::acos(x));
    case 27:
        return (x < -1 || x > 1) ? 0 : Finite(std::asin(x));
    case 28:
        return Finite(std::tan(x));
    case kFunctionLoc:
    case kFunctionRight:
        return x;
    case 31: {
        const std::int64_t n = RealToInt64(x, 0);
        if (n <= 0)
            return 0;
        std::uniform_int_distribution<std::int64_t> draw(0, n - 1);
        return static_cast<double>(draw(RandomGenerator()));
    }
    default:
        return 0;
    }
}

double NetworkScale(const TEvalContext& ctx) {
    return ctx.window ? ctx.window->NetworkScale : 1.0;
}

// A numeric property of the current node; 0 for an unknown code or without a node.
double NodeProperty(const TEvalContext& ctx, int code) {
    const TNode* n = ctx.Context() == kContextNode ? ctx.node : nullptr;
    if (n == nullptr)
        return 0;
    switch (code) {
    case 'E':
        return 0;
    case 'F':
        return n->snumb;
    case 'K':
        return n->NType;
    case 'L':
        return DrawnLinkCount(*n);
    case 'M':
        return Finite(n->MyPolygonList.Area(NetworkScale(ctx)));
    case 'S':
        return n->MyPolygonList.NetCount(true);
    case 'X':
        return n->x_cent;
    case 'Y':
        return n->y_cent;
    case '@':
        return Finite(n->MyPolygonList.Perimeter(false, nullptr, NetworkScale(ctx)));
    case '$':
        return Finite(n->MyPolygonList.Perimeter(true, nullptr, NetworkScale(ctx)));
    case '^':
        return Finite(n->MyPolygonList.Centroid(true));
    case '_':
        return Finite(n->MyPolygonList.Centroid(false));
    case '[':
        return n->Layer;
    case '|':
        return n->lat / 10000000.0;
    case '-':
        return n->long_ / 10000000.0;
    case ';':
        return n->elev / 10000.0;
    case '~':
        // A node without a polygon has no orientation to report.
        return (!n->MyPolygonList.IsEmpty() && n->PolygonIsClockwise()) ? 1 : 0;
    case 'R': {
        if (n->YourPolygonList.IsEmpty())
            return 0;
        const TNode* owner = n->YourPolygonList[0];
        return owner ? owner->MyPolygonList.NetOrder(n) : 0;
    }
    default:
        return 0;
    }
}

double LinkProperty(const TEvalContext& ctx, int code) {
    const TLinkValues* l = ctx.Context() == kContextLink ? ctx.link : nullptr;
    if (l == nullptr || l->AEnd == nullptr || l->BEnd == nullptr)
        return 0;
    const TNode& a = *l->AEnd;
    const TNode& b = *l->BEnd;
    switch (code) {
    case 'E':
        return 1;
    case 'G':
        return a.snumb;
    case 'H':
        return b.snumb;
    case 'I':
        return b.x_cent;
    case 'J':
        return b.y_cent;
    case 'K':
        return l->LType;
    case 'L':
        return Finite(l->PathLength(nullptr, NetworkScale(ctx)));
    case 'P':
        return a.NType;
    case 'Q':
        return b.NType;
    case 'S':
        return l->ShapePoints.size();
    case 'X':
        return a.x_cent;
    case 'Y':
        return a.y_cent;
    case '@':
        return Orientation(a.x_cent, a.y_cent, b.x_cent, b.y_cent);
    default:
        return 0;
    }
}

bool IsTextProperty(int code) {
    return code == '(' || code == ')' || code == 'B';
}

// Part `index` (0 or 1) of a notes text split at "&&", cut to 30 characters.
std::string NotesPart(std::string_view notes, int index) {
    for (int i = 0; i < index; ++i) {
        const std::size_t sep = notes.find("&&");
        if (sep == std::string_view::npos)
            return {};
        notes.remove_prefix(sep + 2);
    }
    return std::string(notes.substr(0, std::min(notes.find("&&"), std::size_t{30})));
}

// Line `index` (0 or 1) of a dialog's note box.
std::string NoteLine(std::string_view text, int index) {
    for (int i = 0; i < index; ++i) {
        const std::size_t nl = text.find('\n');
        if (nl == std::string_view::npos)
            return {};
        text.remove_prefix(nl + 1);
    }
    std::string_view line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return std::string(line);
}

// The text of the codes "(", ")" and "B" for the element of the given prefix ("N" or "L").
std::string PropertyText(const TEvalContext& ctx, char prefix, int code) {
    const int context = ctx.Context();
    const bool present = prefix == 'N' ? context == kContextNode : context == kContextLink;
    if (!present)
        return {};
    if (code == 'B')
        return std::string(ctx.label);
    const int part = code == '(' ? 0 : 1;
    if (ctx.dialogNotes != nullptr)
        return NoteLine(*ctx.dialogNotes, part);
    return NotesPart(prefix == 'N' ? ctx.node->notes.view() : ctx.link->notes.view(), part);
}

// The slot number of the attribute reference prefix + index, or -1 above 100.
int AttributeSlot(char prefix, int d) {
    const int slot = d + (prefix == 'B' ? 35 : prefix == 'C' ? 70 : 0);
    return slot <= 100 ? slot : -1;
}

// The numeric value of an attribute slot: a text slot reads 0, a date slot its bytes.
double SlotNumber(const TEvalContext& ctx, int slot) {
    if (ctx.record == nullptr)
        return 0;
    const std::int32_t kind = ctx.record->kinds[static_cast<std::size_t>(slot)];
    if ((kind >= kSlotCodeMin && kind <= kSlotCodeMax) || kind == kSlotString)
        return 0;
    return ctx.record->attributes[static_cast<std::size_t>(slot)];
}

double SumSlots(const std::array<double, kSlots>* values, int first, int last) {
    if (values == nullptr)
        return 0;
    double sum = 0;
    for (int i = first; i <= std::min(last, 100); ++i)
        sum += (*values)[static_cast<std::size_t>(i)];
    return Finite(sum);
}

double SumAttributeSlots(const TEvalContext& ctx, int first, int last) {
    double sum = 0;
    for (int i = first; i <= std::min(last, 100); ++i)
        sum += SlotNumber(ctx, i);
    return Finite(sum);
}

// The format of system attribute i, 'R' without a network or definition.
char SystemFormat(const TNetwork* net, int i) {
    return net ? net->SystemDef.TypeOf(1).Format(i) : 'R';
}

double SystemNumber(const TEvalContext& ctx, int i) {
    if (ctx.network == nullptr || i < 1 || i > kSystemAttributes)
        return 0;
    return ctx.network->SystemValues[static_cast<std::size_t>(i - 1)];
}

bool IsNumberFormat(char f) {
    return f != 'D' && f != 'T' && f != 'X' && f != 'C' && f != 'S';
}

// ---------------------------------------------------------------------------------------------
// The scanner

class TScanner {
public:
    explicit TScanner(std::string_view text) : s_(text) {}

    // Moves to the next character, over blanks unless inside a literal.
    void Advance() {
        do {
            ++pos_;
            ch_ = pos_ <= static_cast<int>(s_.size()) ? static_cast<unsigned char>(s_[pos_ - 1]) : kEnd;
        } while (ch_ == ' ' && !inLiteral_);
    }
    int Ch() const { return ch_; }
    int Pos() const { return pos_; }
    // The character right after the current one in the text, blanks included.
    int Next() const {
        return pos_ < static_cast<int>(s_.size()) ? static_cast<unsigned char>(s_[pos_]) : kEnd;
    }
    bool At(std::string_view word) const {
        return pos_ >= 1 && pos_ <= static_cast<int>(s_.size()) &&
               s_.substr(static_cast<std::size_t>(pos_ - 1)).starts_with(word);
    }
    // The text from position `from` up to the current character.
    std::string_view From(int from) const {
        const auto begin = static_cast<std::size_t>(from - 1);
        const auto end = std::min(static_cast<std::size_t>(pos_ - 1), s_.size());
        return s_.substr(begin, end - begin);
    }
    void SetLiteral(bool on) { inLiteral_ = on; }

    // The primary forms shared by the scanner and the compiler.
    // A number literal; the scanner stands after it.
    double ReadNumber() {
        const int start = pos_;
        while (IsDigit(ch_))
            Advance();
        if (ch_ == '.') {
            Advance();
            while (IsDigit(ch_))
                Advance();
        }
        if (ch_ == 'E') {
            Advance();
            Advance(); // the exponent's sign or first digit, whatever it is
            while (IsDigit(ch_))
                Advance();
        }
        std::string_view literal = From(start);
        while (!literal.empty() && literal.back() == ' ')
            literal.remove_suffix(1);
        double v = 0;
        if (!ParseReal(literal, v))
            v = 0;
        return v;
    }
    // The index character after a prefix: its value, passed; -1 (not passed) when there is none.
    int ReadIndex() {
        const int d = IndexValue(ch_);
        if (d >= 0)
            Advance();
        return d;
    }
    // Whether a reference is followed by "_" (a range); passes "_" and the second prefix letter and
    // returns the second index, or -1 when it is missing.
    bool ReadRangeEnd(int& last) {
        if (ch_ != '_')
            return false;
        Advance();
        Advance();
        last = ReadIndex();
        return true;
    }
    // Whether the current "S" starts a system attribute reference.
    bool AtSystemReference() const {
        return ch_ == 'S' && IsWordChar(Next()) && !At("SQR") && !At("SIN") && !At("SEC") && !At("SIGN");
    }
    // Whether the current "N" or "L" starts a property reference.
    bool AtPropertyReference() const {
        if (ch_ != 'N' && ch_ != 'L')
            return false;
        const int n = Next();
        return n != 'A' && n != 'N' && n != 'O';
    }
    // The function whose name stands here, or -1; the scanner passes the name.
    int ReadFunction() {
        for (std::size_t f = 0; f < kFunctionNames.size(); ++f) {
            if (At(kFunctionNames[f])) {
                for (std::size_t i = 0; i < kFunctionNames[f].size(); ++i)
                    Advance();
                return static_cast<int>(f);
            }
        }
        return -1;
    }
    // The operator of the expression level at the current character, passed; -1 when there is none.
    int ReadAdditiveOp() {
        int op = -1;
        switch (ch_) {
        case '+':
            op = opAdd;
            break;
        case '-':
            op = opSub;
            break;
        case '=':
            op = opEq;
            break;
        case '#':
            op = opNe;
            break;
        case '<':
            Advance();
            if (ch_ == '=') {
                Advance();
                return opLe;
            }
            if (ch_ == '>') {
                Advance();
                return opNe;
            }
            return opLt;
        case '>':
            Advance();
            if (ch_ == '=') {
                Advance();
                return opGe;
            }
            return opGt;
        default:
            return -1;
        }
        Advance();
        return op;
    }
    int ReadTermOp() {
        int op = -1;
        switch (ch_) {
        case '*':
            op = opMul;
            break;
        case '/':
            op = opDiv;
            break;
        case 'D':
            op = opIDiv;
            break;
        case 'M':
            op = opIMod;
            break;
        case '&':
            op = opMin;
            break;
        case '|':
            op = opMax;
            break;
        case '%':
            op = opFirst;
            break;
        default:
            return -1;
        }
        Advance();
        return op;
    }

    static bool IsDigit(int c) { return c >= '0' && c <= '9'; }

private:
    std::string_view s_;
    int pos_ = 0;
    int ch_ = kEnd;
    bool inLiteral_ = false;
};

// The kind of the primary just read, with its text.
struct TValueReg {
    bool isText = false;
    bool isDate = false;
    std::string text;

    void Clear() {
        isText = false;
        isDate = false;
        text.clear();
    }
    void SetText(std::string t) {
        isText = true;
        text = std::move(t);
        if (text.size() > kMaxExpression)
            text.resize(kMaxExpression);
    }
};

// Reads the translated text and computes its value at once.
class TInterpreter {
public:
    TInterpreter(std::string_view text, const TEvalContext& ctx) : sc_(text), ctx_(ctx) {}

    // The value, and the stop position (0 when accepted) without the "+" correction.
    double Run(int& errorPos) {
        sc_.Advance();
        double v = Expression();
        if (typeErrorPos_ > 0) {
            errorPos = typeErrorPos_ - 1;
            return 0;
        }
        errorPos = sc_.Ch() == kEnd ? 0 : sc_.Pos();
        return v;
    }

private:
    double Expression() {
        TValueReg reg;
        double v = Term(reg);
        const bool leftText = reg.isText;
        const bool leftDate = reg.isDate;
        const std::string leftString = leftText ? reg.text : std::string();
        const double leftValue = v;
        for (;;) {
            const int op = sc_.ReadAdditiveOp();
            if (op < 0)
                return v;
            const double r = Term(reg);
            if (leftText != reg.isText || leftDate != reg.isDate) {
                typeErrorPos_ = sc_.Pos();
                return 0;
            }
            if (leftText)
                v = TextOp(op, leftString, reg.text, v);
            else if (leftDate)
                v = DateOp(op, leftValue, r, v);
            else
                v = NumberOp(op, v, r);
        }
    }

    double Term(TValueReg& reg) {
        double v = Power(reg);
        for (;;) {
            const int op = sc_.ReadTermOp();
            if (op < 0)
                return v;
            v = TermOp(op, v, Power(reg));
        }
    }

    double Power(TValueReg& reg) {
        double v = Unary(reg);
        while (sc_.Ch() == '^') {
            sc_.Advance();
            const double e = Unary(reg);
            if (v < 0) {
                typeErrorPos_ = sc_.Pos();
                v = 0;
            } else {
                v = PowerOp(v, e);
            }
        }
        return v;
    }

    double Unary(TValueReg& reg) {
        if (sc_.Ch() == '-') {
            sc_.Advance();
            return -Primary(reg);
        }
        return Primary(reg);
    }

    double Primary(TValueReg& reg) {
        reg.Clear();
        const int c = sc_.Ch();
        if (TScanner::IsDigit(c) || c == '.')
            return sc_.ReadNumber();
        if (c == '\'' || c == '{')
            return Literal(reg, c == '\'' ? '\'' : '}');
        if (c == '(') {
            sc_.Advance();
            const double v = Expression();
            if (sc_.Ch() == ')')
                sc_.Advance();
            return v;
        }
        if (sc_.AtSystemReference()) {
            sc_.Advance();
            const int i = sc_.ReadIndex();
            return SystemValue(reg, i);
        }
        if (sc_.AtPropertyReference()) {
            const char prefix = static_cast<char>(c);
            sc_.Advance();
            const int code = sc_.Ch();
            if (code == kEnd)
                return 0;
            sc_.Advance();
            if (IsTextProperty(code)) {
                reg.SetText(PropertyText(ctx_, prefix, code));
                return 0;
            }
            return prefix == 'N' ? NodeProperty(ctx_, code) : LinkProperty(ctx_, code);
        }
        if (c == 'A' || c == 'B' || c == 'C' || c == 'P' || c == 'V')
            return SlotReference(reg, static_cast<char>(c));
        const int f = sc_.ReadFunction();
        if (f < 0)
            return 0;
        const double x = Primary(reg);
        if (f != kFunctionLoc && f != kFunctionRight)
            reg.Clear();
        return ApplyFunction(f, x, ctx_);
    }

    // A text literal (closed by a quote) or a date literal (closed by "}").
    double Literal(TValueReg& reg, char close) {
        const std::size_t limit = close == '}' ? 30 : kMaxExpression;
        sc_.SetLiteral(true);
        sc_.Advance();
        std::string body;
        while (sc_.Ch() != close) {
            if (sc_.Ch() == kEnd || body.size() >= limit) {
                sc_.SetLiteral(false);
                return 0;
            }
            body += static_cast<char>(sc_.Ch());
            sc_.Advance();
        }
        sc_.SetLiteral(false);
        sc_.Advance();
        if (close == '\'') {
            reg.SetText(std::move(body));
            return 0;
        }
        const int year = ctx_.currentYear != 0 ? ctx_.currentYear : CurrentYear();
        reg.isDate = true;
        return DateToDouble(ParseDateText(body, kDateAndTime, MyDateTime::Unset(), year));
    }

    double SystemValue(TValueReg& reg, int i) {
        if (i < 1 || ctx_.network == nullptr)
            return 0;
        const TAttrib* a = ctx_.network->SystemDef.TypeOf(1).Attribute(i);
        const char format = a ? a->aformat : 'R';
        const double v = SystemNumber(ctx_, i);
        switch (format) {
        case 'D':
        case 'T':
        case 'X':
            reg.isDate = true;
            return v;
        case 'C':
            reg.SetText(CodeToText(v));
            return 0;
        case 'S': {
            const TStringList& strings = ctx_.network->SystemStrings;
            reg.SetText(a->stringloc < strings.size() ? strings[a->stringloc].str() : std::string());
            return 0;
        }
        default:
            return v;
        }
    }

    double SlotReference(TValueReg& reg, char prefix) {
        sc_.Advance();
        const int d = sc_.ReadIndex();
        if (d < 0)
            return 0;
        int last = 0;
        if (sc_.ReadRangeEnd(last)) {
            if (last < d)
                return 0;
            if (prefix == 'P' || prefix == 'V') {
                const auto* values = ctx_.record == nullptr ? nullptr
                                     : prefix == 'P'        ? &ctx_.record->parameters
                                                            : &ctx_.record->variables;
                return SumSlots(values, d, last);
            }
            const int first = AttributeSlot(prefix, d);
            if (first < 0)
                return 0;
            return SumAttributeSlots(ctx_, first, last + (first - d));
        }
        if (ctx_.record == nullptr)
            return 0;
        if (prefix == 'P')
            return ctx_.record->parameters[static_cast<std::size_t>(d)];
        if (prefix == 'V')
            return ctx_.record->variables[static_cast<std::size_t>(d)];
        const int slot = AttributeSlot(prefix, d);
        if (slot < 0)
            return 0;
        const auto s = static_cast<std::size_t>(slot);
        const std::int32_t kind = ctx_.record->kinds[s];
        const double v = ctx_.record->attributes[s];
        if (kind >= kSlotCodeMin && kind <= kSlotCodeMax) {
            std::string code = CodeToText(v);
            code.resize(std::min<std::size_t>(static_cast<std::size_t>(kind), code.size()));
            reg.SetText(std::move(code));
            return 0;
        }
        if (kind == kSlotString) {
            reg.SetText(ctx_.texts ? (*ctx_.texts)[s] : std::string());
            return 0;
        }
        if (kind == kSlotDateTime || kind == kSlotDate || kind == kSlotTime)
            reg.isDate = true;
        return v;
    }

    TScanner sc_;
    const TEvalContext& ctx_;
    int typeErrorPos_ = 0;
};

// ---------------------------------------------------------------------------------------------
// The compiler: reads the text as the scanner does, assuming every slot it reads is a number, and
// writes a stack program. It gives up on anything that can yield a text or a date, and on a text
// the scanner would reject.

class TCompiler {
public:
    TCompiler(std::string_view text, std::vector<TExpression::TOp>& program,
              std::vector<std::uint8_t>& numberSlots, std::vector<std::uint8_t>& systemSlots)
        : sc_(text), program_(program), numberSlots_(numberSlots), systemSlots_(systemSlots) {}

    bool Run() {
        sc_.Advance();
        Expression();
        return ok_ && sc_.Ch() == kEnd;
    }

private:
    void Emit(std::uint8_t code, int a = 0, int b = 0, double value = 0) {
        program_.push_back({code, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), value});
    }

    void Expression() {
        Term();
        for (;;) {
            const int op = sc_.ReadAdditiveOp();
            if (op < 0)
                return;
            Term();
            Emit(static_cast<std::uint8_t>(op));
        }
    }
    void Term() {
        Power();
        for (;;) {
            const int op = sc_.ReadTermOp();
            if (op < 0)
                return;
            Power();
            Emit(static_cast<std::uint8_t>(op));
        }
    }
    void Power() {
        Unary();
        while (sc_.Ch() == '^') {
            sc_.Advance();
            Unary();
            Emit(opPow);
        }
    }
    void Unary() {
        if (sc_.Ch() == '-') {
            sc_.Advance();
            Primary();
            Emit(opNeg);
            return;
        }
        Primary();
    }
    void Primary() {
        const int c = sc_.Ch();
        if (TScanner::IsDigit(c) || c == '.') {
            Emit(opConst, 0, 0, sc_.ReadNumber());
            return;
        }
        if (c == '\'' || c == '{') {
            ok_ = false; // texts and dates are left to the scanner
            Emit(opConst);
            return;
        }
        if (c == '(') {
            sc_.Advance();
            Expression();
            if (sc_.Ch() == ')')
                sc_.Advance();
            return;
        }
        if (sc_.AtSystemReference()) {
            sc_.Advance();
            const int i = sc_.ReadIndex();
            if (i < 1) {
                Emit(opConst);
                return;
            }
            systemSlots_.push_back(static_cast<std::uint8_t>(i));
            Emit(opSystem, i);
            return;
        }
        if (sc_.AtPropertyReference()) {
            const int prefix = c;
            sc_.Advance();
            const int code = sc_.Ch();
            if (code == kEnd) {
                Emit(opConst);
                return;
            }
            sc_.Advance();
            if (IsTextProperty(code))
                ok_ = false;
            Emit(prefix == 'N' ? opNodeProp : opLinkProp, code);
            return;
        }
        if (c == 'A' || c == 'B' || c == 'C' || c == 'P' || c == 'V') {
            SlotReference(static_cast<char>(c));
            return;
        }
        const int f = sc_.ReadFunction();
        if (f < 0) {
            Emit(opConst);
            return;
        }
        Primary();
        if (f != kFunctionLoc && f != kFunctionRight)
            Emit(opFunc, f);
    }
    void SlotReference(char prefix) {
        sc_.Advance();
        const int d = sc_.ReadIndex();
        if (d < 0) {
            Emit(opConst);
            return;
        }
        int last = 0;
        if (sc_.ReadRangeEnd(last)) {
            if (last < d) {
                Emit(opConst);
                return;
            }
            if (prefix == 'P' || prefix == 'V') {
                Emit(prefix == 'P' ? opParamRange : opVarRange, d, last);
                return;
            }
            const int first = AttributeSlot(prefix, d);
            if (first < 0) {
                Emit(opConst);
                return;
            }
            Emit(opRange, first, std::min(100, last + (first - d)));
            return;
        }
        if (prefix == 'P' || prefix == 'V') {
            Emit(prefix == 'P' ? opParam : opVar, d);
            return;
        }
        const int slot = AttributeSlot(prefix, d);
        if (slot < 0) {
            Emit(opConst);
            return;
        }
        numberSlots_.push_back(static_cast<std::uint8_t>(slot));
        Emit(opSlot, slot);
    }

    TScanner sc_;
    std::vector<TExpression::TOp>& program_;
    std::vector<std::uint8_t>& numberSlots_;
    std::vector<std::uint8_t>& systemSlots_;
    bool ok_ = true;
};

// Upper-cases the letters outside single quotes.
std::string UpperOutsideQuotes(std::string_view text) {
    std::string s(text);
    bool quoted = false;
    for (char& c : s) {
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

const evaluationrecord& ZeroRecord() {
    static const evaluationrecord record{};
    return record;
}

} // namespace

TExpression TExpression::Translate(std::string_view text, const TNetwork* net, int entityType, int context,
                                   bool targetMode) {
    TExpression e;
    e.translated_ =
        TranslateNames(UpperOutsideQuotes(text), net, entityType, context, targetMode, e.translateErrorPos_);
    if (e.translateErrorPos_ > 0)
        return e;
    e.scanned_ = e.translated_;
    if (!e.scanned_.empty() && e.scanned_.front() == '+') {
        e.scanned_.erase(0, 1);
        e.correction_ = 1;
    }
    e.Compile();
    return e;
}

void TExpression::Compile() {
    program_.clear();
    numberSlots_.clear();
    systemSlots_.clear();
    TCompiler compiler(scanned_, program_, numberSlots_, systemSlots_);
    compiled_ = compiler.Run();
    if (!compiled_) {
        program_.clear();
        numberSlots_.clear();
        systemSlots_.clear();
        return;
    }
    std::sort(numberSlots_.begin(), numberSlots_.end());
    numberSlots_.erase(std::unique(numberSlots_.begin(), numberSlots_.end()), numberSlots_.end());
    std::sort(systemSlots_.begin(), systemSlots_.end());
    systemSlots_.erase(std::unique(systemSlots_.begin(), systemSlots_.end()), systemSlots_.end());
}

bool TExpression::RunCompiled(const TEvalContext& ctx, double& result) const {
    const evaluationrecord& rec = ctx.record ? *ctx.record : ZeroRecord();
    // The program reads these as numbers; any other kind is for the scanner.
    for (const std::uint8_t slot : numberSlots_) {
        if (rec.kinds[slot] != kSlotNumber)
            return false;
    }
    for (const std::uint8_t i : systemSlots_) {
        if (!IsNumberFormat(SystemFormat(ctx.network, i)))
            return false;
    }
    std::array<double, kMaxExpression + 1> stack;
    std::size_t top = 0; // number of values on the stack
    for (const TOp& op : program_) {
        switch (op.code) {
        case opConst:
            stack[top++] = op.value;
            break;
        case opSlot:
            stack[top++] = rec.attributes[op.a];
            break;
        case opParam:
            stack[top++] = rec.parameters[op.a];
            break;
        case opVar:
            stack[top++] = rec.variables[op.a];
            break;
        case opRange:
            stack[top++] = SumAttributeSlots(ctx, op.a, op.b);
            break;
        case opParamRange:
            stack[top++] = SumSlots(ctx.record ? &ctx.record->parameters : nullptr, op.a, op.b);
            break;
        case opVarRange:
            stack[top++] = SumSlots(ctx.record ? &ctx.record->variables : nullptr, op.a, op.b);
            break;
        case opSystem:
            stack[top++] = SystemNumber(ctx, op.a);
            break;
        case opNodeProp:
            stack[top++] = NodeProperty(ctx, op.a);
            break;
        case opLinkProp:
            stack[top++] = LinkProperty(ctx, op.a);
            break;
        case opNeg:
            stack[top - 1] = -stack[top - 1];
            break;
        case opFunc:
            stack[top - 1] = ApplyFunction(op.a, stack[top - 1], ctx);
            break;
        case opPow: {
            const double base = stack[top - 2];
            if (base < 0)
                return false; // a type error: the scanner finds its position
            stack[top - 2] = PowerOp(base, stack[top - 1]);
            --top;
            break;
        }
        case opMul:
        case opDiv:
        case opIDiv:
        case opIMod:
        case opMin:
        case opMax:
        case opFirst:
            stack[top - 2] = TermOp(op.code, stack[top - 2], stack[top - 1]);
            --top;
            break;
        default:
            stack[top - 2] = NumberOp(op.code, stack[top - 2], stack[top - 1]);
            --top;
            break;
        }
    }
    result = top > 0 ? stack[top - 1] : 0;
    return true;
}

double TExpression::EvaluateByScanner(const TEvalContext& ctx, int& errorPos) const {
    if (translateErrorPos_ > 0) {
        errorPos = translateErrorPos_;
        return 0;
    }
    TInterpreter interpreter(scanned_, ctx);
    const double v = interpreter.Run(errorPos);
    if (errorPos > 0)
        errorPos += correction_;
    return v;
}

double TExpression::Evaluate(const TEvalContext& ctx, int& errorPos) const {
    if (compiled_) {
        double v = 0;
        if (RunCompiled(ctx, v)) {
            errorPos = 0;
            return v;
        }
    }
    return EvaluateByScanner(ctx, errorPos);
}

bool EvaluateExpression(std::string& expression, double& result, int& errorPos, const TEvalContext& ctx) {
    const int context = ctx.Context();
    const int entityType = context == kContextNode   ? ctx.node->NType
                           : context == kContextLink ? ctx.link->LType
                                                     : 1;
    const TExpression e = TExpression::Translate(expression, ctx.network, entityType, context);
    expression = e.Translated();
    result = e.Evaluate(ctx, errorPos);
    return errorPos == 0;
}

bool EvaluateNumberEntry(std::string_view text, double& value, int& errorPos) {
    const TExpression e = TExpression::Translate(text, nullptr, 1, kContextSystem);
    TEvalContext ctx;
    ctx.record = &ZeroRecord();
    value = e.Evaluate(ctx, errorPos);
    return errorPos == 0;
}

std::string MarkErrorPosition(std::string_view text, int errorPos) {
    std::string s(text);
    const std::size_t at = std::min(static_cast<std::size_t>(std::max(errorPos, 1) - 1), s.size());
    s.insert(at, " \xBB\xBB");
    return s;
}

void ComputeWorksheetValue(const TAttrib& attribute, const TWorksheetInputs& inputs, double& result,
                           const TEvalContext& element) {
    ComputeWorksheet(attribute, inputs, result, [&](const std::string& funct, double& value) {
        evaluationrecord record;
        const int n = std::clamp(inputs.n, 0, kWorkRows - 1);
        for (int i = 0; i <= n; ++i)
            record.parameters[static_cast<std::size_t>(i)] = inputs.p[static_cast<std::size_t>(i)];
        for (int i = 1; i <= n; ++i)
            record.variables[static_cast<std::size_t>(i)] = inputs.x[static_cast<std::size_t>(i)];
        TEvalContext context = element;
        context.record = &record;
        std::string text = funct;
        int errorPos = 0;
        return EvaluateExpression(text, value, errorPos, context) && errorPos == 0;
    });
}

} // namespace zan

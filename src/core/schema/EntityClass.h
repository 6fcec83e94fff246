// The attribute schema: for nodes, links and the system, eleven entity types (0 = "Undefined"),
// each with up to 100 attribute definitions (35 for the system). An attribute has a format letter,
// a name, an alias by which expressions refer to it, a range for the range filter, and for real and
// category attributes an optional worksheet of named variables.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zan {

inline constexpr int kEntityTypes = 11;    // types 0..10
inline constexpr int kMaxAttributes = 100; // per node or link type
inline constexpr int kSystemAttributes = 35;
inline constexpr int kWorkRows = 11; // worksheet rows 0..10
inline constexpr std::size_t kMaxAliasLength = 10;
inline constexpr std::size_t kMaxFunctLength = 50;

// One row of a worksheet.
struct TWorkDef {
    double param = 0; // real worksheet: the row's coefficient
    double varab = 0; // real worksheet: the value last entered for the variable
    std::string wname;
    std::string subset; // category worksheet: one code character per value
    std::string hint;   // category worksheet: code descriptions, each followed by "&&"
    std::uint8_t top = 254;
    std::uint8_t IsAEnd = 0;
};

class TWorkSheet {
public:
    TWorkSheet() { Init(); }
    std::array<TWorkDef, kWorkRows> WorkDef;
    // Every row empty: parameters and values 0, names, codes and hints empty.
    void Init();
};

// Real worksheet function types.
enum : std::int32_t {
    wfExpression = 0,
    wfLinear = 1,
    wfMultiplic = 2,
    wfCMultiplic = 3,
    wfHarmonic = 4,
    wfLogit = 5,
    wfReciprocal = 6, // read from files only
};

struct TAttrib {
    TAttrib() = default;
    TAttrib(const TAttrib& other);
    TAttrib& operator=(const TAttrib& other);
    TAttrib(TAttrib&&) noexcept = default;
    TAttrib& operator=(TAttrib&&) noexcept = default;

    std::int32_t wcount = 0;
    std::int32_t wftype = 0;
    std::unique_ptr<TWorkSheet> WorkSheet;
    double trange = 0;
    double brange = 0;
    std::string trangestr;
    std::string brangestr;
    std::string atname;
    std::string funct;
    char aformat = 'R';
    bool rangeset = false;
    std::uint8_t stringloc = 0;
    std::string Alias;
    std::string AliasUp;

    // Stores an alias as typed: blanks removed, cut to 10 characters; AliasUp follows.
    void SetAlias(std::string_view typed);
    bool IsString() const { return aformat == 'S'; }
    bool IsDate() const { return aformat == 'D' || aformat == 'X' || aformat == 'T'; }
};

struct TEntityType {
    TEntityType() = default;
    TEntityType(const TEntityType& other);
    TEntityType& operator=(const TEntityType& other);
    TEntityType(TEntityType&&) noexcept = default;
    TEntityType& operator=(TEntityType&&) noexcept = default;

    std::int32_t shape = 1;
    std::int32_t ecolor = 1;
    std::int32_t atcount = 0;
    // Attribute definitions 1..100 (slot 0 unused); slots 1..atcount are present, later ones may hold
    // definitions left over from a larger count.
    std::array<std::unique_ptr<TAttrib>, kMaxAttributes + 1> Attrib;
    std::string ename;
    bool andor = false;
    bool checkrange = false;
    bool hasarrow = false;
    // Attribute numbers (1-based) of the pie slices of the type's nodes, 0 = no slice; entries 1..10 used.
    std::array<std::uint8_t, 11> pielist{};
    std::uint8_t numstrings = 0;
    std::string Alias;

    // Attribute i (1-based) if present, else null.
    const TAttrib* Attribute(int i) const {
        return (i >= 1 && i <= kMaxAttributes) ? Attrib[static_cast<std::size_t>(i)].get() : nullptr;
    }
    TAttrib* Attribute(int i) {
        return (i >= 1 && i <= kMaxAttributes) ? Attrib[static_cast<std::size_t>(i)].get() : nullptr;
    }
    // Attribute i, created with the defaults when missing.
    TAttrib& EnsureAttribute(int i);
    // The format letter of attribute i, 'R' when it is missing.
    char Format(int i) const {
        const TAttrib* a = Attribute(i);
        return a ? a->aformat : 'R';
    }
};

class TEntityClass {
public:
    // All eleven types with empty names, shape 1, colour 1, no attributes.
    TEntityClass() = default;

    std::array<TEntityType, kEntityTypes> Classs;

    // A deep copy of the whole schema, to undo an edit.
    TEntityClass Duplicate() const { return *this; }
    // Numbers the string attributes of types 1..10 (stringloc 0, 1, ...) and sets numstrings.
    void ResetStringPosList();

    // The type of an element; a type code outside 0..10 reads as type 0.
    const TEntityType& TypeOf(int type) const {
        return Classs[(type >= 0 && type < kEntityTypes) ? type : 0];
    }
    TEntityType& TypeOf(int type) { return Classs[(type >= 0 && type < kEntityTypes) ? type : 0]; }
    int AttributeCount(int type) const { return TypeOf(type).atcount; }
    int StringCount(int type) const { return TypeOf(type).numstrings; }
};

// The schemas of a new network: nodes, links (colour 2) and the system (type 1 "System Attributes"
// with its 35 definitions reset).
TEntityClass NewNodeSchema();
TEntityClass NewLinkSchema();
TEntityClass NewSystemSchema();

// Attribute codes: A1..A9, Aa..Az for 1..35, B1..Bz for 36..70, C1..Cu for 71..100.
std::string AttributeCode(int i);
// The attribute number of a code (case of the symbol as written above; upper case accepted too), or 0.
int AttributeNumber(std::string_view code);
// The 1..35 symbol of a position within a block: "1".."9", then "a".."z".
char BlockSymbol(int r);

// Letters a..z to capitals, nothing else changed.
std::string UpperAscii(std::string_view s);

} // namespace zan

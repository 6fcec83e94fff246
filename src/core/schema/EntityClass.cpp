#include "schema/EntityClass.h"

#include <algorithm>

namespace zan {

void TWorkSheet::Init() {
    for (TWorkDef& row : WorkDef)
        row = TWorkDef{};
}

TAttrib::TAttrib(const TAttrib& other)
    : wcount(other.wcount), wftype(other.wftype),
      WorkSheet(other.WorkSheet ? std::make_unique<TWorkSheet>(*other.WorkSheet) : nullptr),
      trange(other.trange), brange(other.brange), trangestr(other.trangestr), brangestr(other.brangestr),
      atname(other.atname), funct(other.funct), aformat(other.aformat), rangeset(other.rangeset),
      stringloc(other.stringloc), Alias(other.Alias), AliasUp(other.AliasUp) {}

TAttrib& TAttrib::operator=(const TAttrib& other) {
    if (this != &other) {
        TAttrib copy(other);
        std::swap(*this, copy);
    }
    return *this;
}

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

void TAttrib::SetAlias(std::string_view typed) {
    std::string alias;
    for (char c : typed) {
        if (c != ' ')
            alias += c;
    }
    if (alias.size() > kMaxAliasLength)
        alias.resize(kMaxAliasLength);
    Alias = alias;
    AliasUp = UpperAscii(alias);
}

TEntityType::TEntityType(const TEntityType& other)
    : shape(other.shape), ecolor(other.ecolor), atcount(other.atcount), ename(other.ename),
      andor(other.andor), checkrange(other.checkrange), hasarrow(other.hasarrow), pielist(other.pielist),
      numstrings(other.numstrings), Alias(other.Alias) {
    for (std::size_t i = 0; i < Attrib.size(); ++i) {
        if (other.Attrib[i])
            Attrib[i] = std::make_unique<TAttrib>(*other.Attrib[i]);
    }
}

TEntityType& TEntityType::operator=(const TEntityType& other) {
    if (this != &other) {
        TEntityType copy(other);
        std::swap(*this, copy);
    }
    return *this;
}

TAttrib& TEntityType::EnsureAttribute(int i) {
    auto& slot = Attrib[static_cast<std::size_t>(std::clamp(i, 1, kMaxAttributes))];
    if (!slot)
        slot = std::make_unique<TAttrib>();
    return *slot;
}

void TEntityClass::ResetStringPosList() {
    for (int t = 1; t < kEntityTypes; ++t) {
        TEntityType& type = Classs[static_cast<std::size_t>(t)];
        std::uint8_t n = 0;
        const int count = std::clamp(type.atcount, 0, kMaxAttributes);
        for (int i = 1; i <= count; ++i) {
            TAttrib* a = type.Attribute(i);
            if (a != nullptr && a->IsString())
                a->stringloc = n++;
        }
        type.numstrings = n;
    }
}

TEntityClass NewNodeSchema() {
    TEntityClass c;
    c.Classs[0].ename = "Undefined";
    return c;
}

TEntityClass NewLinkSchema() {
    TEntityClass c;
    for (TEntityType& t : c.Classs)
        t.ecolor = 2;
    c.Classs[0].ename = "Undefined";
    return c;
}

TEntityClass NewSystemSchema() {
    TEntityClass c;
    c.Classs[0].ename = "Undefined";
    c.Classs[1].ename = "System Attributes";
    for (int i = 1; i <= kSystemAttributes; ++i)
        c.Classs[1].EnsureAttribute(i);
    return c;
}

char BlockSymbol(int r) {
    return r <= 9 ? static_cast<char>('0' + r) : static_cast<char>('a' + r - 10);
}

std::string AttributeCode(int i) {
    if (i < 1 || i > kMaxAttributes)
        return {};
    const int block = (i - 1) / 35;
    return std::string{static_cast<char>('A' + block), BlockSymbol(i - 35 * block)};
}

int AttributeNumber(std::string_view code) {
    if (code.size() != 2)
        return 0;
    const char prefix = code[0];
    int block = 0;
    if (prefix == 'A' || prefix == 'a') {
        block = 0;
    } else if (prefix == 'B' || prefix == 'b') {
        block = 1;
    } else if (prefix == 'C' || prefix == 'c') {
        block = 2;
    } else {
        return 0;
    }
    const char s = code[1];
    int r = 0;
    if (s >= '1' && s <= '9') {
        r = s - '0';
    } else if (s >= 'a' && s <= 'z') {
        r = s - 'a' + 10;
    } else if (s >= 'A' && s <= 'Z') {
        r = s - 'A' + 10;
    } else {
        return 0;
    }
    const int i = 35 * block + r;
    return i <= kMaxAttributes ? i : 0;
}

} // namespace zan

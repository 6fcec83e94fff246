// The attribute schema of one kind of element (nodes, links or the system): eleven entity types,
// 0 being "Undefined". Each type says how many attribute values and string values its elements carry.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zan {

inline constexpr int kEntityTypes = 11;    // types 0..10
inline constexpr int kMaxAttributes = 100; // per node or link type
inline constexpr int kSystemAttributes = 35;

struct TEntityType {
    std::int32_t shape = 1;
    std::int32_t ecolor = 1;
    std::int32_t atcount = 0;
    std::string ename;
    bool andor = false;
    bool checkrange = false;
    bool hasarrow = false;
    std::array<bool, 11> pielist{}; // entries 1..10 used
    std::uint8_t numstrings = 0;
    std::string Alias;
};

class TEntityClass {
public:
    std::array<TEntityType, kEntityTypes> Classs;

    // The type of an element; a type code outside 0..10 reads as type 0.
    const TEntityType& TypeOf(int type) const {
        return Classs[(type >= 0 && type < kEntityTypes) ? type : 0];
    }
    int AttributeCount(int type) const { return TypeOf(type).atcount; }
    int StringCount(int type) const { return TypeOf(type).numstrings; }
};

} // namespace zan

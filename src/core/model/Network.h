// One network: the hash table with every element, the three schemas, the system values, the
// template node and link that new elements copy, the element counters and the modified flag. All
// sketch windows showing the network (a window and its views) share one TNetwork; each has its own
// TWindowSettings.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/HashTable.h"
#include "model/NetworkElements.h"
#include "schema/EntityClass.h"

namespace zan {

// One deletion made by an editing operation: a node (with the links that went with it) or a link on
// its own, with the end node picked first.
struct TDeletedItem {
    TNode* node = nullptr;
    TLinkValues* link = nullptr; // a link deletion's link, else null
    bool IsNodeDelete = false;
};

class TNetwork {
public:
    TNetwork();
    TNetwork(const TNetwork&) = delete;
    TNetwork& operator=(const TNetwork&) = delete;

    TEntityClass NodeDef;
    TEntityClass LinkDef;
    TEntityClass SystemDef;
    std::array<double, kSystemAttributes> SystemValues{};
    TStringList SystemStrings;

    // Nodes and links created so far; the node counter also gives new nodes their serial numbers.
    std::int32_t NumberOfNodes = 0;
    std::int32_t NumberOfLinks = 0;

    // The templates whose type, settings and values new elements take.
    TNode InitialNode{0, 0, 0, 0};
    TLinkValues InitialLink;

    bool Modified = false;

    // Deletions in the order they were made, undone last first.
    std::vector<TDeletedItem> DeleteStack;

    // Declared last so that it is released first, while everything its elements refer to exists.
    THashTable Hash;
};

} // namespace zan

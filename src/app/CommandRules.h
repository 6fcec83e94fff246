// Which commands of a sketch window are enabled (and which toolbar buttons are shown), decided from
// what its network holds; recomputed when the schema or the network changes and when a window is
// created. Also the text of the network status box.
#pragma once

#include <cstdint>
#include <string>

namespace zan {

class TNetwork;

// What the command rules look at.
struct TNetworkFacts {
    bool NodeTypesExist = false;        // a node entity type 1..10 has a name
    bool LinkTypesExist = false;        // a link entity type 1..10 has a name
    bool SystemAttributesExist = false; // the system entity has at least one attribute
    bool HasNodes = false;              // the network holds nodes
    bool operator==(const TNetworkFacts&) const = default;
};

TNetworkFacts FactsOf(const TNetwork& net);

struct TCommandStates {
    // Node search, View > Polygons > "&Nodes...", Schema > "&Node Styles..." enabled; the "Node
    // Labels" and "Node Expressions" buttons shown.
    bool NodeCommands = false;
    // Link search and "&Link Styles..." enabled; the "Link Labels" and "Link Expressions" buttons
    // shown.
    bool LinkCommands = false;
    // Schema > "&System Attributes" enabled.
    bool SystemAttributes = false;
    // "Scale by T&wo", "Scale by &Half", "&Scale...", "&Translate...", "&Rotate..." enabled.
    bool Transforms = false;
    bool operator==(const TCommandStates&) const = default;
};

TCommandStates CommandStates(const TNetworkFacts& facts);
TCommandStates CommandStates(const TNetwork& net);

// "Node Count = " n LF CR "Link Count = " m LF CR "Allocated Memory = " bytes.
std::string NetworkStatusText(std::int64_t nodes, std::int64_t links, std::uint64_t allocatedBytes);
inline constexpr const char* kNetworkStatusCaption = "Network Status";

// The bytes the program's allocator holds now (in use from the heap and in separately mapped
// blocks); 0 where the allocator cannot tell.
std::uint64_t AllocatedMemoryBytes();

} // namespace zan

#include "app/CommandRules.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "model/Network.h"

namespace zan {

namespace {

// A type exists once it has a name (type 0, "Undefined", is not one of the user's types).
bool AnyNamedType(const TEntityClass& c) {
    for (int t = 1; t < kEntityTypes; ++t) {
        if (!c.Classs[static_cast<std::size_t>(t)].ename.empty())
            return true;
    }
    return false;
}

} // namespace

TNetworkFacts FactsOf(const TNetwork& net) {
    TNetworkFacts f;
    f.NodeTypesExist = AnyNamedType(net.NodeDef);
    f.LinkTypesExist = AnyNamedType(net.LinkDef);
    f.SystemAttributesExist = net.SystemDef.AttributeCount(1) > 0;
    f.HasNodes = net.NumberOfNodes > 0;
    return f;
}

TCommandStates CommandStates(const TNetworkFacts& facts) {
    TCommandStates s;
    s.NodeCommands = facts.NodeTypesExist;
    s.LinkCommands = facts.LinkTypesExist;
    s.SystemAttributes = facts.SystemAttributesExist;
    s.Transforms = facts.HasNodes;
    return s;
}

TCommandStates CommandStates(const TNetwork& net) {
    return CommandStates(FactsOf(net));
}

std::string NetworkStatusText(std::int64_t nodes, std::int64_t links, std::uint64_t allocatedBytes) {
    return "Node Count = " + std::to_string(nodes) + "\n\r" + "Link Count = " + std::to_string(links) +
           "\n\r" + "Allocated Memory = " + std::to_string(allocatedBytes);
}

std::uint64_t AllocatedMemoryBytes() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::uint64_t>(info.uordblks) + static_cast<std::uint64_t>(info.hblkhd);
#else
    return 0;
#endif
}

} // namespace zan

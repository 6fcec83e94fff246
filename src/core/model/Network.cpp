#include "model/Network.h"

namespace zan {

TNetwork::TNetwork() : Hash(*this) {
    NodeDef.Classs[0].ename = "Undefined";
    LinkDef.Classs[0].ename = "Undefined";
    LinkDef.Classs[0].ecolor = 2;
    for (int i = 1; i < kEntityTypes; ++i)
        LinkDef.Classs[static_cast<std::size_t>(i)].ecolor = 2;
    SystemDef.Classs[0].ename = "Undefined";
    SystemDef.Classs[1].ename = "System Attributes";
    InitialNode.Layer = 1;
    InitialLink.IsNodeDelete = true;
}

} // namespace zan

#include "model/Network.h"

namespace zan {

TNetwork::TNetwork()
    : NodeDef(NewNodeSchema()), LinkDef(NewLinkSchema()), SystemDef(NewSystemSchema()), Hash(*this) {
    InitialNode.Layer = 1;
    InitialLink.IsNodeDelete = true;
}

} // namespace zan

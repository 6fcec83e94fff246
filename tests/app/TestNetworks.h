// Small networks saved to files for the tests that open them in the editor or the program.
#pragma once

#include <string>

#include "files/NetworkFile.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan::testing {

// Saves a network of two nodes, at (0, 0) and (bx, by), joined by a link, in version 9. Returns
// whether it was written.
inline bool SaveTwoNodeNetwork(const std::string& path, std::int32_t bx, std::int32_t by) {
    TNetwork net;
    TWindowSettings window;
    net.InitialNode.NType = 1;
    THashEntry* cell = nullptr;
    TNode* a = net.Hash.InsertNode(0, 0, 0, true, cell);
    TNode* b = net.Hash.InsertNode(bx, by, 0, true, cell);
    TLink* l1 = nullptr;
    TLink* l2 = nullptr;
    net.Hash.InsertLink(*a, *b, l1, l2, 0, true);
    net.Hash.fixrectangles(window);
    return SaveNetworkFile(path, net, window, 9).code == kFileOK;
}

} // namespace zan::testing

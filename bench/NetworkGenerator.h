// Synthetic networks of any size for benchmarks and tests: nodes on a jittered grid over the usable
// plane, links between grid neighbours (never a loop or a duplicate), shape points along links,
// square polygons owned by nodes, and attribute values.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan::bench {

struct TGeneratorOptions {
    std::int64_t nodes = 1000000;
    std::int64_t links = 1500000;    // at most about twice the nodes
    double shapePointsPerLink = 1.0; // average
    std::int64_t polygons = 100;
    std::int32_t nodeAttributes = 0; // attributes of node type 1
    std::int32_t linkAttributes = 0; // attributes of link type 1
    double named = 0.0;              // share of nodes and links that get a name, 0..1
    double displayed = 0.0;          // share of nodes and links with a display record (a label font)
    std::uint64_t seed = 1;
};

// The network as plain data, before it is put into a hash table.
struct TGeneratedNetwork {
    struct Node {
        std::int32_t x, y;
    };
    struct Link {
        std::int32_t a, b;         // indices into nodes
        std::vector<TPoint> shape; // bends from a to b
    };
    struct Polygon {
        std::int32_t owner;             // index into nodes
        std::vector<std::int32_t> ring; // node indices, in drawing order
    };
    std::vector<Node> nodes;
    std::vector<Link> links;
    std::vector<Polygon> polygons;
    TGeneratorOptions options;
};

TGeneratedNetwork GenerateNetwork(const TGeneratorOptions& options);

// Whether element i (0, 1, 2, ...) is among an evenly spread share of all elements: exactly
// round-down(n * share) of the first n are.
bool InShare(std::int64_t i, double share);

// Puts the generated network into `net` as the file reader does: the grid is rebalanced before
// every node, links are made from the template link, and rectangles are fixed at the end.
// Returns the nodes in generation order.
std::vector<TNode*> BuildNetwork(const TGeneratedNetwork& generated, TNetwork& net, TWindowSettings& window);

} // namespace zan::bench

#include "NetworkGenerator.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <cstdio>
#include <string_view>

namespace zan::bench {

namespace {
constexpr std::int32_t kSpan = 900000; // the network covers -450000..450000 on both axes
}

TGeneratedNetwork GenerateNetwork(const TGeneratorOptions& options) {
    TGeneratedNetwork g;
    g.options = options;
    std::mt19937_64 rng(options.seed);
    const std::int64_t n = std::max<std::int64_t>(options.nodes, 2);
    const auto columns = static_cast<std::int64_t>(std::ceil(std::sqrt(static_cast<double>(n))));
    const std::int64_t rows = (n + columns - 1) / columns;
    const std::int32_t spacing = std::max<std::int32_t>(4, static_cast<std::int32_t>(kSpan / columns));
    const std::int32_t jitter = spacing / 3;
    std::uniform_int_distribution<std::int32_t> jit(-jitter, jitter);

    g.nodes.reserve(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        const std::int64_t r = i / columns;
        const std::int64_t c = i % columns;
        g.nodes.push_back({static_cast<std::int32_t>(-kSpan / 2 + c * spacing + jit(rng)),
                           static_cast<std::int32_t>(-kSpan / 2 + r * spacing + jit(rng))});
    }

    // Candidate links: right and down neighbours, taken in a shuffled order until enough.
    std::vector<std::pair<std::int32_t, std::int32_t>> candidates;
    candidates.reserve(static_cast<std::size_t>(2 * n));
    for (std::int64_t i = 0; i < n; ++i) {
        const std::int64_t r = i / columns;
        const std::int64_t c = i % columns;
        if (c + 1 < columns && i + 1 < n)
            candidates.emplace_back(static_cast<std::int32_t>(i), static_cast<std::int32_t>(i + 1));
        if (r + 1 < rows && i + columns < n)
            candidates.emplace_back(static_cast<std::int32_t>(i), static_cast<std::int32_t>(i + columns));
    }
    std::shuffle(candidates.begin(), candidates.end(), rng);
    candidates.resize(std::min<std::size_t>(
        candidates.size(), static_cast<std::size_t>(std::max<std::int64_t>(options.links, 0))));
    std::sort(candidates.begin(), candidates.end());

    std::poisson_distribution<int> bends(std::max(options.shapePointsPerLink, 0.0));
    std::bernoulli_distribution flip(0.5);
    g.links.reserve(candidates.size());
    for (auto [a, b] : candidates) {
        if (flip(rng))
            std::swap(a, b); // both directions occur
        TGeneratedNetwork::Link link{a, b, {}};
        const int k = options.shapePointsPerLink > 0 ? bends(rng) : 0;
        const auto& pa = g.nodes[static_cast<std::size_t>(a)];
        const auto& pb = g.nodes[static_cast<std::size_t>(b)];
        std::uniform_int_distribution<std::int32_t> wiggle(-spacing / 8, spacing / 8);
        for (int j = 1; j <= k; ++j) {
            const double t = static_cast<double>(j) / (k + 1);
            link.shape.push_back({static_cast<std::int32_t>(pa.x + t * (pb.x - pa.x)) + wiggle(rng),
                                  static_cast<std::int32_t>(pa.y + t * (pb.y - pa.y)) + wiggle(rng)});
        }
        g.links.push_back(std::move(link));
    }

    // Polygons: the ring of a 3 x 3 block of grid nodes, owned by the block's centre node.
    if (rows >= 3 && columns >= 3) {
        std::uniform_int_distribution<std::int64_t> row(0, rows - 3);
        std::uniform_int_distribution<std::int64_t> col(0, columns - 3);
        for (std::int64_t p = 0; p < options.polygons; ++p) {
            const std::int64_t r = row(rng);
            const std::int64_t c = col(rng);
            auto at = [&](std::int64_t dr, std::int64_t dc) {
                return static_cast<std::int32_t>((r + dr) * columns + c + dc);
            };
            if (at(2, 2) >= n)
                continue;
            g.polygons.push_back(
                {at(1, 1), {at(0, 0), at(0, 1), at(0, 2), at(1, 2), at(2, 2), at(2, 1), at(2, 0), at(1, 0)}});
        }
    }
    return g;
}

std::vector<TNode*> BuildNetwork(const TGeneratedNetwork& g, TNetwork& net, TWindowSettings& window) {
    const TGeneratorOptions& o = g.options;
    // Named types with real attributes, as a user's schema would have them.
    auto define = [](TEntityType& type, const char* name, std::int32_t count) {
        type.ename = name;
        type.atcount = count;
        char text[32];
        for (std::int32_t i = 1; i <= count; ++i) {
            TAttrib& a = type.EnsureAttribute(i);
            std::snprintf(text, sizeof text, "Value %d", i);
            a.atname = text;
            std::snprintf(text, sizeof text, "V%d", i);
            a.SetAlias(text);
        }
    };
    define(net.NodeDef.Classs[1], "Node", o.nodeAttributes);
    define(net.LinkDef.Classs[1], "Link", o.linkAttributes);
    net.InitialNode.NType = 1;
    net.InitialLink.LType = 1;

    std::vector<TNode*> nodes;
    nodes.reserve(g.nodes.size());
    char name[32];
    for (std::size_t i = 0; i < g.nodes.size(); ++i) {
        net.Hash.Rebalance(window);
        THashEntry* cell = nullptr;
        TNode* node = net.Hash.InsertNode(g.nodes[i].x, g.nodes[i].y, o.nodeAttributes, false, cell);
        if (node == nullptr) {
            nodes.push_back(nullptr);
            continue;
        }
        for (std::int32_t v = 0; v < o.nodeAttributes; ++v)
            node->NValue[v] = static_cast<double>(i % 1000) + v;
        if (InShare(static_cast<std::int64_t>(i), o.named)) {
            const int length = std::snprintf(name, sizeof name, "N%zu", i);
            node->alabel = std::string_view(name, static_cast<std::size_t>(length));
        }
        if (InShare(static_cast<std::int64_t>(i), o.displayed))
            node->Font = 1;
        nodes.push_back(node);
    }
    net.Hash.Rebalance(window);
    std::int64_t serial = 0;
    for (const auto& l : g.links) {
        TNode* a = nodes[static_cast<std::size_t>(l.a)];
        TNode* b = nodes[static_cast<std::size_t>(l.b)];
        if (a == nullptr || b == nullptr)
            continue;
        TLink* l1 = nullptr;
        TLink* l2 = nullptr;
        TLinkValues* link = net.Hash.InsertLink(*a, *b, l1, l2, o.linkAttributes, false);
        link->serial = static_cast<std::int32_t>(++serial);
        for (std::int32_t v = 0; v < o.linkAttributes; ++v)
            link->LValue[v] = static_cast<double>(serial % 100) + v;
        if (InShare(serial - 1, o.named)) {
            const int length = std::snprintf(name, sizeof name, "L%lld", static_cast<long long>(serial));
            link->alabel = std::string_view(name, static_cast<std::size_t>(length));
        }
        if (InShare(serial - 1, o.displayed))
            link->Font = 1;
        std::int32_t position = 0;
        for (const TPoint& p : l.shape)
            net.Hash.InsertShapePoint(p.x, p.y, *link, position++);
    }
    for (const auto& p : g.polygons) {
        TNode* owner = nodes[static_cast<std::size_t>(p.owner)];
        if (owner == nullptr || !owner->MyPolygonList.IsEmpty())
            continue;
        for (std::int32_t v : p.ring) {
            TNode* vertex = nodes[static_cast<std::size_t>(v)];
            if (vertex == nullptr)
                continue;
            owner->MyPolygonList.Add(vertex);
            vertex->YourPolygonList.Add(owner);
        }
    }
    net.Hash.fixrectangles(window);
    return nodes;
}

bool InShare(std::int64_t i, double share) {
    if (!(share > 0))
        return false;
    if (share >= 1)
        return true;
    return std::floor(static_cast<double>(i + 1) * share) > std::floor(static_cast<double>(i) * share);
}

} // namespace zan::bench

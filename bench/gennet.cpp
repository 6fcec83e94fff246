// zan_gennet: builds a synthetic network in memory and reports what it cost: the time to insert it
// into the hash table, the heap bytes per node, per link and per shape point, and the time to
// release it.
//
//   zan_gennet [--nodes N] [--links N] [--shape K] [--polygons N] [--attributes N] [--names]
//              [--named F] [--displayed F] [--seed S]
// --shape is the average of shape points a link; --named and --displayed the shares (0..1) of
// nodes and links that get a name and a display record; --names names every one.
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "NetworkGenerator.h"

using namespace zan;
using Clock = std::chrono::steady_clock;

namespace {

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: zan_gennet [--nodes N] [--links N] [--shape K] [--polygons N] [--attributes N] [--names] "
        "[--named F] [--displayed F] "
        "[--seed S]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bench::TGeneratorOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* value = nullptr;
        if (arg == "--names") {
            o.named = 1;
        } else if ((arg == "--nodes" || arg == "--links" || arg == "--shape" || arg == "--polygons" ||
                    arg == "--attributes" || arg == "--seed" || arg == "--named" || arg == "--displayed") &&
                   (value = next()) != nullptr) {
            char* end = nullptr;
            const double v = std::strtod(value, &end);
            if (end == value || *end != '\0' || v < 0)
                return Usage();
            if (arg == "--nodes")
                o.nodes = static_cast<std::int64_t>(v);
            if (arg == "--links")
                o.links = static_cast<std::int64_t>(v);
            if (arg == "--shape")
                o.shapePointsPerLink = v;
            if (arg == "--polygons")
                o.polygons = static_cast<std::int64_t>(v);
            if (arg == "--attributes")
                o.nodeAttributes = o.linkAttributes = std::min(static_cast<int>(v), 100);
            if (arg == "--seed")
                o.seed = static_cast<std::uint64_t>(v);
            if (arg == "--named")
                o.named = v;
            if (arg == "--displayed")
                o.displayed = v;
        } else {
            return Usage();
        }
    }

    auto start = Clock::now();
    const bench::TGeneratedNetwork g = bench::GenerateNetwork(o);
    std::printf("generated: %zu nodes, %zu links in %.2f s\n", g.nodes.size(), g.links.size(),
                Seconds(start));

    // Nodes alone, then links alone, then shape points, so that each is measured on its own.
    bench::TGeneratedNetwork nodesOnly;
    nodesOnly.options = o;
    nodesOnly.nodes = g.nodes;
    bench::TGeneratedNetwork withLinks = nodesOnly;
    withLinks.links = g.links;
    for (auto& l : withLinks.links)
        l.shape.clear();

    std::size_t shapePoints = 0;
    for (const auto& l : g.links)
        shapePoints += l.shape.size();

    auto measure = [&](const bench::TGeneratedNetwork& part) {
        TWindowSettings window;
        malloc_trim(0);
        const std::size_t before = HeapInUse();
        auto net = std::make_unique<TNetwork>();
        const auto t = Clock::now();
        bench::BuildNetwork(part, *net, window);
        const double seconds = Seconds(t);
        const std::size_t bytes = HeapInUse() - before;
        const auto r = Clock::now();
        net.reset();
        return std::tuple{bytes, seconds, Seconds(r)};
    };

    const auto [nodeBytes, nodeSeconds, nodeRelease] = measure(nodesOnly);
    const auto [linkBytes, linkSeconds, linkRelease] = measure(withLinks);
    const auto [allBytes, allSeconds, allRelease] = measure(g);
    (void)nodeSeconds;
    (void)nodeRelease;
    (void)linkSeconds;
    (void)linkRelease;

    const double perNode = static_cast<double>(nodeBytes) / static_cast<double>(g.nodes.size());
    const double perLink =
        g.links.empty() ? 0
                        : static_cast<double>(linkBytes - nodeBytes) / static_cast<double>(g.links.size());
    const double perShape =
        shapePoints == 0 ? 0 : static_cast<double>(allBytes - linkBytes) / static_cast<double>(shapePoints);
    std::printf(
        "inserted: %zu nodes, %zu links, %zu shape points, %zu polygons in %.2f s; released in %.2f s\n",
        g.nodes.size(), g.links.size(), shapePoints, g.polygons.size(), allSeconds, allRelease);
    std::printf("heap: %.1f MiB in all; %.1f bytes per node, %.1f per link, %.1f per shape point\n",
                static_cast<double>(allBytes) / (1024.0 * 1024.0), perNode, perLink, perShape);
    return 0;
}

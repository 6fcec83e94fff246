// Benchmarks of the network model on generated networks: insertion into the hash table, the hit
// test around a click, and releasing a network. Arguments: nodes, links.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>

#include "NetworkGenerator.h"

namespace zan::bench {
namespace {

const TGeneratedNetwork& Generated(std::int64_t nodes, std::int64_t links) {
    static std::map<std::pair<std::int64_t, std::int64_t>, TGeneratedNetwork> cache;
    auto key = std::make_pair(nodes, links);
    auto it = cache.find(key);
    if (it == cache.end()) {
        TGeneratorOptions o;
        o.nodes = nodes;
        o.links = links;
        it = cache.emplace(key, GenerateNetwork(o)).first;
    }
    return it->second;
}

void BM_InsertNetwork(benchmark::State& state) {
    const TGeneratedNetwork& g = Generated(state.range(0), state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        auto net = std::make_unique<TNetwork>();
        TWindowSettings window;
        state.ResumeTiming();
        BuildNetwork(g, *net, window);
        state.PauseTiming();
        net.reset();
        state.ResumeTiming();
    }
    state.counters["nodes"] = static_cast<double>(g.nodes.size());
    state.counters["links"] = static_cast<double>(g.links.size());
}

void BM_ReleaseNetwork(benchmark::State& state) {
    const TGeneratedNetwork& g = Generated(state.range(0), state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        auto net = std::make_unique<TNetwork>();
        TWindowSettings window;
        BuildNetwork(g, *net, window);
        state.ResumeTiming();
        net.reset();
    }
}

void BM_SearchMe(benchmark::State& state) {
    const TGeneratedNetwork& g = Generated(state.range(0), state.range(1));
    TNetwork net;
    TWindowSettings window;
    BuildNetwork(g, net, window);
    // Clicks near nodes (a hit somewhere in the ring) and at random places (mostly a full ring of misses).
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<std::size_t> pick(0, g.nodes.size() - 1);
    std::uniform_int_distribution<std::int32_t> off(-3, 3);
    std::uniform_int_distribution<std::int32_t> anywhere(-450000, 450000);
    std::vector<TPoint> clicks;
    for (int i = 0; i < 4096; ++i) {
        if (i % 2 == 0) {
            const auto& n = g.nodes[pick(rng)];
            clicks.push_back({n.x + off(rng), n.y + off(rng)});
        } else {
            clicks.push_back({anywhere(rng), anywhere(rng)});
        }
    }
    std::size_t i = 0;
    std::int64_t hits = 0;
    for (auto _ : state) {
        const TPoint& c = clicks[i++ % clicks.size()];
        TNode* node = nullptr;
        TShapePoint* sp = nullptr;
        hits += net.Hash.SearchMe(node, sp, c.x, c.y, false, false, window);
        benchmark::DoNotOptimize(node);
    }
    state.counters["hit_ratio"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_InsertNetwork)->Args({1000000, 1500000})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReleaseNetwork)->Args({1000000, 1500000})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SearchMe)->Args({1000000, 1500000})->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace zan::bench

BENCHMARK_MAIN();

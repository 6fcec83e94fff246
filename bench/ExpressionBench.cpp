// Benchmarks of the expression evaluator as calculate programs use it: one expression with
// attribute aliases, translated once for the node type, evaluated for every element. Each
// iteration evaluates one element's record; the records cycle through a block of varied values.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "calc/Expression.h"
#include "model/Network.h"

namespace zan::bench {
namespace {

// 61 characters, five aliases of node attributes, a function and most operator levels.
constexpr std::string_view kExpression = "(Population*Growth + Jobs/2) * Factor - ROUND(Area2 & 50) ^ 2";

struct TSetup {
    TSetup() {
        TEntityType& type = net.NodeDef.TypeOf(1);
        type.atcount = 5;
        const char* aliases[] = {"Population", "Growth", "Jobs", "Factor", "Area2"};
        for (int i = 0; i < 5; ++i)
            type.EnsureAttribute(i + 1).SetAlias(aliases[i]);
        std::mt19937 gen(7);
        std::uniform_real_distribution<double> value(0, 1000);
        records.resize(1024);
        for (evaluationrecord& r : records) {
            for (int i = 1; i <= 5; ++i)
                r.attributes[static_cast<std::size_t>(i)] = value(gen);
        }
        expression = TExpression::Translate(kExpression, &net, 1, kContextNode);
    }
    TNetwork net;
    std::vector<evaluationrecord> records;
    TExpression expression;
};

TSetup& Setup() {
    static TSetup setup;
    return setup;
}

void Run(benchmark::State& state, bool compiled) {
    TSetup& s = Setup();
    if (compiled && !s.expression.IsCompiled()) {
        state.SkipWithError("the expression was not compiled");
        return;
    }
    TEvalContext ctx;
    ctx.network = &s.net;
    std::size_t i = 0;
    double sum = 0;
    for (auto _ : state) {
        ctx.record = &s.records[i++ & 1023];
        int errorPos = 0;
        sum +=
            compiled ? s.expression.Evaluate(ctx, errorPos) : s.expression.EvaluateByScanner(ctx, errorPos);
        benchmark::DoNotOptimize(errorPos);
    }
    benchmark::DoNotOptimize(sum);
    state.counters["chars"] = static_cast<double>(kExpression.size());
}

void BM_EvaluateTranslated(benchmark::State& state) {
    Run(state, true);
}
void BM_EvaluateByScanner(benchmark::State& state) {
    Run(state, false);
}

BENCHMARK(BM_EvaluateTranslated)->Iterations(1000000)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_EvaluateByScanner)->Iterations(1000000)->Unit(benchmark::kNanosecond);

} // namespace
} // namespace zan::bench

BENCHMARK_MAIN();

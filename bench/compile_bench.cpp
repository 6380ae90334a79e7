// The ladder compile: the literal build-and-flood against the fast compile, on the factory default
// and on the worst case we draw. Each benchmark compares its whole array with the other
// algorithm's and fails the run when they differ.
#include "condlogic/LogicCompiler.h"
#include "condlogic/LogicMap.h"
#include "support/DiagramGen.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace tqdt::cnd;

namespace {

std::unique_ptr<CndDocument> document(int which)
{
    auto doc = std::make_unique<CndDocument>();
    if (which == 0)
        doc->factoryDefault();
    else
        *doc = WorstCaseDocument();
    return doc;
}

// Each algorithm's array once per document, for the cross-check.
const ControlArrayT& reference(int which, bool literal)
{
    static std::map<std::pair<int, bool>, std::unique_ptr<ControlArrayT>> cache;
    auto& slot = cache[{which, literal}];
    if (!slot) {
        slot = std::make_unique<ControlArrayT>();
        const auto doc = document(which);
        if (literal) {
            LogicMap map;
            CompileLiteral(*doc, *slot, map);
        } else {
            CompileFast(*doc, *slot);
        }
    }
    return *slot;
}

void BM_CompileLiteral(benchmark::State& state)
{
    const int which = int(state.range(0));
    const auto doc = document(which);
    auto out = std::make_unique<ControlArrayT>();
    LogicMap map;
    for (auto _ : state) {
        CompileLiteral(*doc, *out, map);
        benchmark::DoNotOptimize(out->data());
    }
    if (*out != reference(which, false))
        state.SkipWithError("literal and fast arrays differ");
    state.SetLabel(which == 0 ? "factory default" : "worst case");
}

void BM_CompileFast(benchmark::State& state)
{
    const int which = int(state.range(0));
    const auto doc = document(which);
    auto out = std::make_unique<ControlArrayT>();
    for (auto _ : state) {
        CompileFast(*doc, *out);
        benchmark::DoNotOptimize(out->data());
    }
    if (*out != reference(which, true))
        state.SkipWithError("literal and fast arrays differ");
    state.SetLabel(which == 0 ? "factory default" : "worst case");
}

} // namespace

BENCHMARK(BM_CompileLiteral)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CompileFast)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

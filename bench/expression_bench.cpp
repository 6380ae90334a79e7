// The truth-table expressions of the compile bench's worst-case diagram: all eight outputs, and the
// hardest single output. Each run checks that the products cover exactly the compiled array.
#include "condlogic/LogicCompiler.h"
#include "condlogic/LogicExpression.h"
#include "support/DiagramGen.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace tqdt::cnd;

namespace {

bool coversTheArray(const CndDocument& doc, int output, const std::vector<Product>& sum)
{
    static const auto compiled = [] {
        auto a = std::make_unique<ControlArrayT>();
        CompileFast(WorstCaseDocument(), *a);
        return a;
    }();
    for (int p = 0; p < kPatterns; ++p) {
        bool on = false;
        for (const Product& t : sum)
            on = on || t.covers(quint16(p));
        if (on != bool(((*compiled)[size_t(p)] >> output) & 1))
            return false;
    }
    (void)doc;
    return true;
}

void BM_ExpressionAllOutputs(benchmark::State& state)
{
    const auto doc = std::make_unique<CndDocument>(WorstCaseDocument());
    size_t products = 0;
    for (auto _ : state) {
        products = 0;
        for (int o = 0; o < kOutputs; ++o) {
            const QString text = ExpressionText(OutputProducts(*doc, o));
            benchmark::DoNotOptimize(text.constData());
        }
    }
    for (int o = 0; o < kOutputs; ++o) {
        const auto sum = OutputProducts(*doc, o);
        products += sum.size();
        if (!coversTheArray(*doc, o, sum))
            state.SkipWithError("expression and compiled array differ");
    }
    state.counters["products"] = double(products);
    state.SetLabel("worst case, 8 outputs");
}

void BM_ExpressionOneOutput(benchmark::State& state)
{
    const auto doc = std::make_unique<CndDocument>(WorstCaseDocument());
    const int o = int(state.range(0));
    for (auto _ : state) {
        const QString text = ExpressionText(OutputProducts(*doc, o));
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["products"] = double(OutputProducts(*doc, o).size());
}

} // namespace

BENCHMARK(BM_ExpressionAllOutputs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpressionOneOutput)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

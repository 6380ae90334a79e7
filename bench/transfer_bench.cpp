// A whole module download and upload on the simulated bench: the host's own time, and the bus time
// the simulation models for it (reported as the counter "bus_s").
#include "SimBench.h"
#include "condlogic/ModuleTransfer.h"
#include "condlogic/ProgramImage.h"
#include "host/Host.h"
#include "sim/CondModule.h"
#include "sim/SimSerialPort.h"
#include "sim/Site.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tqdt;

namespace {

struct Bench {
    ManualClock clock;
    SimBench env{clock};
    Host& host = env.host;
    Bench() { env.site.setBench(std::make_shared<sim::CondModule>(0)); }
};

void BM_Download_ManualClock(benchmark::State& state)
{
    Bench b;
    const QByteArray image(cnd::kImageSize, '\x5A');
    qint64 busUs = 0;
    for (auto _ : state) {
        const qint64 start = b.clock.nowUs();
        auto r = cnd::ModuleTransfer(b.host).Download(image);
        busUs = b.clock.nowUs() - start;
        benchmark::DoNotOptimize(r);
    }
    state.counters["bus_s"] = double(busUs) / 1e6;
}
BENCHMARK(BM_Download_ManualClock)->Unit(benchmark::kMillisecond);

void BM_Upload_ManualClock(benchmark::State& state)
{
    Bench b;
    auto doc = std::make_unique<cnd::CndDocument>();
    qint64 busUs = 0;
    for (auto _ : state) {
        const qint64 start = b.clock.nowUs();
        auto r = cnd::ModuleTransfer(b.host).Upload(*doc);
        busUs = b.clock.nowUs() - start;
        benchmark::DoNotOptimize(r);
    }
    state.counters["bus_s"] = double(busUs) / 1e6;
}
BENCHMARK(BM_Upload_ManualClock)->Unit(benchmark::kMillisecond);

} // namespace

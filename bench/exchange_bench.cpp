// Host time of the exchange machinery, apart from the wire.
#include "SimBench.h"
#include "bus/modQVDT.h"
#include "host/Host.h"
#include "ports/Pty.h"
#include "ports/QtSerialPort.h"
#include "sim/SimSerialPort.h"
#include "sim/Site.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <ctime>

using namespace tqdt;

namespace {

struct Bench {
    ManualClock clock;
    SimBench env{clock};
    Host& host = env.host;
    Bench()
    {
        env.site.wallStations[1] = {};
        env.site.panels[1] = {};
        host.comQV().open();
    }
};

// One status exchange with a wall station: frame, checksum, port, simulated device and decode.
void BM_WsStatusExchange_ManualClock(benchmark::State& state)
{
    Bench b;
    for (auto _ : state) {
        bool ok = WsStatus(b.host, 1, 0xFF);
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WsStatusExchange_ManualClock);

// The longest reply of the shared routines: a panel's relay image.
void BM_PanelRelaysExchange_ManualClock(benchmark::State& state)
{
    Bench b;
    for (auto _ : state) {
        bool ok = PanelRelays(b.host, 1, false, 0, 0);
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PanelRelaysExchange_ManualClock);

// A failed 1-second wait on a real pseudo-terminal: the process CPU time spent, as a fraction of
// the wait. A spinning wait would use the whole second.
void BM_FailedWaitCpuShare_Pty(benchmark::State& state)
{
    PseudoTerminal pty;
    if (!pty.isOpen()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    SteadyClock clock;
    QtSerialPort port([&](int) { return pty.slaveName(); });
    if (!port.open()) {
        state.SkipWithError("port did not open");
        return;
    }
    Stopwatch sw(clock);
    double cpuShare = 0;
    for (auto _ : state) {
        const std::clock_t c0 = std::clock();
        sw.StopwatchStart();
        port.waitForCount(1, sw, 1000);
        const double wallMs = sw.StopwatchElapsed();
        const double cpuMs = 1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC;
        cpuShare = cpuMs / wallMs;
    }
    state.counters["cpu_share_percent"] = 100.0 * cpuShare;
}
BENCHMARK(BM_FailedWaitCpuShare_Pty)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

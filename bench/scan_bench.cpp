// One poll cycle of the network scan over a full network: 254 panels and 254 network wall
// stations, all found, one panel and one wall station selected.
#include "SimBench.h"
#include "host/Dialogs.h"
#include "host/Host.h"
#include "network/NetworkScan.h"
#include "sim/SimSerialPort.h"
#include "sim/Site.h"
#include "ui/network/frmQVDTNetworkScan.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

using namespace tqdt;
using namespace tqdt::net;

namespace {

// Every poll of a cycle is one exchange: one per found panel and one per found wall station.
constexpr int kExchangesPerCycle = 2 * NetworkScan::kSlots;

struct FullNetwork {
    explicit FullNetwork(Clock& clock) : env(clock)
    {
        for (int a = 1; a <= NetworkScan::kSlots; ++a) {
            env.site.panels[a] = sim::Panel{};
            env.site.wallStations[a] = sim::WallStation{};
        }
        host.comQV().setCommPort(1);
        host.comQV().open();
        for (int s = 0; s < NetworkScan::kSlots; ++s) {
            scan.panels.setFound(s, true);
            scan.wallStations.setFound(s, true);
        }
        scan.selectPanel(EntryOfSlot(0));
        scan.selectWallStation(EntryOfSlot(0));
        scan.start();
    }
    void cycle() { scan.ScanNodes(NoDisplay()); }

    SimBench env;
    Host& host = env.host;
    NetworkScan scan{host};
};

// Host time per exchange with time standing still: the cost of the tool's own work and the simulator.
void BM_NetworkScanCycle_ManualClock(benchmark::State& state)
{
    ManualClock clock;
    FullNetwork net(clock);
    const qint64 startUs = clock.nowUs();
    qint64 cycles = 0;
    for (auto _ : state) {
        net.cycle();
        ++cycles;
    }
    // Seconds per exchange ("1.7u" is 1.7 microseconds).
    state.counters["time_per_exchange"] = benchmark::Counter(
        double(cycles * kExchangesPerCycle), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["modelled_bus_ms_per_cycle"] = double(clock.nowUs() - startUs) / 1000.0 / double(cycles);
    if (net.scan.panels.errors(0) != 0 || net.scan.wallStations.errors(0) != 0)
        state.SkipWithError("polls failed");
}
BENCHMARK(BM_NetworkScanCycle_ManualClock)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same cycle in real time against the simulator at 38400 baud, as a multiple of the bus time
// the simulator models for it.
void BM_NetworkScanCycle_SteadyClock(benchmark::State& state)
{
    ManualClock model;
    FullNetwork modelled(model);
    const qint64 t0 = model.nowUs();
    modelled.cycle();
    const double busUs = double(model.nowUs() - t0);

    SteadyClock clock;
    FullNetwork net(clock);
    double totalUs = 0;
    qint64 cycles = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        net.cycle();
        const auto end = std::chrono::steady_clock::now();
        const double us = std::chrono::duration<double, std::micro>(end - start).count();
        state.SetIterationTime(us / 1e6);
        totalUs += us;
        ++cycles;
    }
    state.counters["bus_ms_per_cycle"] = busUs / 1000.0;
    state.counters["ratio_to_bus_time"] = totalUs / double(cycles) / busUs;
    state.counters["failed_polls"] = double(net.scan.panels.errors(1) + net.scan.wallStations.errors(1));
}
BENCHMARK(BM_NetworkScanCycle_SteadyClock)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The window's tick: the same cycle with every error label, the relay labels and the selected
// station's inputs repainted as they change.
void BM_NetworkScanWindowTick_ManualClock(benchmark::State& state)
{
    ManualClock clock;
    FullNetwork net(clock);
    frmQVDTNetworkScan w(net.host);
    w.ensureLoaded();
    w.activate(); // discovery finds all 508 devices
    w.cmdStop_Click();
    w.cboPnlNode->setCurrentIndex(1);
    w.ws.cboWSNode->setCurrentIndex(1);
    qint64 ticks = 0;
    for (auto _ : state) {
        w.Timer1_Timer();
        ++ticks;
    }
    w.Timer1.stop();
    state.counters["time_per_exchange"] = benchmark::Counter(
        double(ticks * kExchangesPerCycle), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_NetworkScanWindowTick_ManualClock)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

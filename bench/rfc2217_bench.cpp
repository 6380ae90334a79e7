// The host's time for one exchange through a device server on loopback against the same exchange
// on a pseudo-terminal, with the simulated panels on the far side and the steady clock. The
// difference is what the network port adds per exchange.
#include "bus/modQVDT.h"
#include "host/Host.h"
#include "ports/DevicePort.h"
#include "sim/PtyServer.h"
#include "sim/Site.h"
#include "support/DeviceServer.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tqdt;
using tqdt::test::DeviceServer;

namespace {

enum class Route { Pty, Ser2net, Ser2netNoCharDelay, PortManager };

void exchange(benchmark::State& state, Route route)
{
    sim::Site site;
    site.panels[1] = {};
    sim::PtyServer pty(site);
    pty.setChannel(Channel::Brown);
    if (!pty.start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    DeviceServer server;
    QString name = pty.portName();
    if (route != Route::Pty) {
        const auto kind =
            route == Route::PortManager ? DeviceServer::Kind::PortManager : DeviceServer::Kind::Ser2net;
        // ser2net's default holds what the device sends for two character times (at least 1 ms)
        // to send it in fewer packets; a site may turn that off.
        if (route == Route::Ser2netNoCharDelay)
            server.setSer2netOptions({QStringLiteral("chardelay: false")});
        QString why = DeviceServer::unavailable(kind);
        if (!why.isEmpty() || !server.start(kind, pty.portName(), &why)) {
            state.SkipWithError(qPrintable(why));
            return;
        }
        name = server.url(route == Route::PortManager ? QString() : QStringLiteral("ign_set_control"));
    }
    QTemporaryDir dir;
    SteadyClock clock;
    ScriptedDialogs dialogs;
    Host host(clock, dialogs, Paths(dir.path()),
              [&] { return std::make_unique<DevicePort>([&](int) { return name; }); });
    if (!host.comQV().open()) {
        state.SkipWithError("port did not open");
        return;
    }
    int failed = 0;
    for (auto _ : state) {
        // The panel's presence query: 1 reply character, 25 ms limit.
        if (!PanelPresent(host, 1))
            ++failed;
    }
    state.counters["failed"] = failed;
    state.SetItemsProcessed(state.iterations());
    host.comQV().close();
}

void BM_PanelPresent_Pty(benchmark::State& state) { exchange(state, Route::Pty); }
void BM_PanelPresent_Rfc2217_Ser2net(benchmark::State& state) { exchange(state, Route::Ser2net); }
void BM_PanelPresent_Rfc2217_Ser2netNoCharDelay(benchmark::State& state)
{
    exchange(state, Route::Ser2netNoCharDelay);
}
void BM_PanelPresent_Rfc2217_PortManager(benchmark::State& state) { exchange(state, Route::PortManager); }
BENCHMARK(BM_PanelPresent_Pty)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PanelPresent_Rfc2217_Ser2net)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PanelPresent_Rfc2217_Ser2netNoCharDelay)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK(BM_PanelPresent_Rfc2217_PortManager)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);

} // namespace

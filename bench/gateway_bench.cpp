// A full mapped-gateway download on the simulated gateway, every one of its 2,048 blocks carrying data:
// on the manual clock the host's own time per block (everything but the wire), and on the steady
// clock at 38400 baud the real duration against the wire time the simulation models for it.
#include "SimBench.h"
#include "gateway/GatewayImage.h"
#include "gateway/GatewayProtocol.h"
#include "gateway/GatewayTransfer.h"
#include "sim/MappedGateway.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

using namespace tqdt;

namespace {

std::unique_ptr<gw::GatewayImage> fullImage()
{
    auto image = std::make_unique<gw::GatewayImage>();
    for (int bank = 0; bank < gw::kBanks; ++bank)
        for (int a = 0; a < gw::kBankSize; ++a)
            image->load(bank, a, qint16((a * 7 + bank + 1) % 255 + 1));
    return image;
}

// The modelled bus time of one full download: the manual clock moves only by the wire and the
// gateway's turnaround.
qint64 modelledUs(const gw::GatewayImage& image)
{
    ManualClock clock;
    SimBench env(clock);
    env.site.addDevice(std::make_shared<sim::MappedGateway>());
    auto copy = std::make_unique<gw::GatewayImage>(image);
    const qint64 start = clock.nowUs();
    gw::GatewayTransfer(env.host, *copy).DownloadGateway();
    return clock.nowUs() - start;
}

void BM_GatewayDownload_ManualClock(benchmark::State& state)
{
    ManualClock clock;
    SimBench env(clock);
    auto gateway = std::make_shared<sim::MappedGateway>();
    env.site.addDevice(gateway);
    auto image = fullImage();
    double hostUs = 0;
    qint64 busUs = 0;
    for (auto _ : state) {
        env.dialogs.shown.clear();
        const qint64 clockStart = clock.nowUs();
        const auto t0 = std::chrono::steady_clock::now();
        const auto r = gw::GatewayTransfer(env.host, *image).DownloadGateway();
        hostUs += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
        busUs = clock.nowUs() - clockStart;
        if (!r.verified())
            state.SkipWithError("the download failed");
    }
    state.counters["host_us_per_block"] = hostUs / double(state.iterations()) / gw::kBlocks;
    state.counters["bus_s"] = double(busUs) / 1e6;
}
BENCHMARK(BM_GatewayDownload_ManualClock)->Unit(benchmark::kMillisecond);

void BM_GatewayDownload_SteadyClock(benchmark::State& state)
{
    SteadyClock clock;
    SimBench env(clock);
    env.site.addDevice(std::make_shared<sim::MappedGateway>());
    auto image = fullImage();
    const qint64 modelled = modelledUs(*image);
    qint64 realUs = 0;
    for (auto _ : state) {
        const qint64 start = clock.nowUs();
        const auto r = gw::GatewayTransfer(env.host, *image).DownloadGateway();
        realUs = clock.nowUs() - start;
        if (!r.verified())
            state.SkipWithError("the download failed");
    }
    state.counters["modelled_s"] = double(modelled) / 1e6;
    state.counters["real_s"] = double(realUs) / 1e6;
    state.counters["ratio"] = double(realUs) / double(modelled);
}
// One pass takes as long as the wire does (over a minute).
BENCHMARK(BM_GatewayDownload_SteadyClock)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

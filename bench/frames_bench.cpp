// The monitors' frame decoding, and what a details table costs the window as traffic comes in.
#include "SimBench.h"
#include "network/BusFrames.h"
#include "network/FrameCapture.h"
#include "sim/Site.h"
#include "ui/network/frmQVDTLocalMonitor.h"

#include <QApplication>
#include <QCheckBox>

#include <benchmark/benchmark.h>

using namespace tqdt;
using namespace tqdt::net;

namespace {

// A busy bus as the simulated installation's other master produces it: wall station and relay
// device polls with their replies, and panel relay reads with theirs. About a megabyte.
QByteArray busyBus(Channel channel)
{
    auto site = sim::Site::builtIn();
    const QByteArray cycle = sim::otherMasterPattern(*site, channel);
    return cycle.repeated(int((1 << 20) / cycle.size() + 1));
}

qsizetype framesIn(const QByteArray& stream) { return stream.count('['); }

// Framing, checksum, shape and pairing of every frame: what the capture does as text arrives.
void BM_DecodeFrames(benchmark::State& state)
{
    const Channel channel = state.range(0) ? Channel::Brown : Channel::Blue;
    const QByteArray stream = busyBus(channel);
    std::vector<BusFrame> out;
    out.reserve(size_t(framesIn(stream)) + 1);
    for (auto _ : state) {
        out.clear();
        FrameDecoder d;
        d.feed(stream, 0, channel, out);
        d.finish(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * qint64(out.size()));
}
BENCHMARK(BM_DecodeFrames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same with every frame's meaning put into words, as a saved capture or the log decoder does.
void BM_DecodeAndNameFrames(benchmark::State& state)
{
    const QByteArray stream = busyBus(Channel::Blue);
    std::vector<BusFrame> out;
    for (auto _ : state) {
        out.clear();
        FrameDecoder d;
        d.feed(stream, 0, Channel::Blue, out);
        d.finish(out);
        qsizetype chars = 0;
        for (const BusFrame& f : out)
            chars += FrameMeaning(f).size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * qint64(out.size()));
}
BENCHMARK(BM_DecodeAndNameFrames)->Unit(benchmark::kMillisecond);

// One monitor tick that brings 1,000 new frames into a details table already holding 100,000 and
// more: the label, the table's new rows, its scroll to the newest and the repaint.
void BM_DetailsTickAppends1000Frames(benchmark::State& state)
{
    ManualClock clock;
    SimBench env(clock);
    frmQVDTLocalMonitor w(env.host);
    w.ensureLoaded();
    w.show();
    w.chkDetails->click();
    const QByteArray cycle = sim::otherMasterPattern(*sim::Site::builtIn(), Channel::Blue);
    // Exactly 1,000 frames: whole cycles, then the first frames of one more.
    QByteArray thousand = cycle.repeated(int(1000 / framesIn(cycle) + 1));
    qsizetype cut = -1;
    for (int k = 0; k <= 1000; ++k)
        cut = thousand.indexOf('[', cut + 1);
    thousand.truncate(cut);
    const QByteArray hundredThousand = thousand.repeated(int(100000 / framesIn(thousand) + 1));
    env.host.mon.receive(hundredThousand);
    w.Timer1_Timer();
    QApplication::processEvents();
    if (w.frames()->rowCount() < 100000)
        state.SkipWithError("the table does not hold 100,000 frames");
    for (auto _ : state) {
        state.PauseTiming();
        clock.advanceMs(100);
        env.host.mon.receive(thousand);
        state.ResumeTiming();
        w.Timer1_Timer();
        QApplication::processEvents();
    }
    state.counters["rows"] = double(w.frames()->rowCount());
    state.counters["frames_per_tick"] = double(framesIn(thousand));
}
BENCHMARK(BM_DetailsTickAppends1000Frames)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

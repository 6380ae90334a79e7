// A full site survey of the built-in simulated installation (with the module on the bench) on the
// manual clock: the host's own time per survey against the bus time the survey models.
#include "SimBench.h"
#include "host/Host.h"
#include "network/SiteSurvey.h"
#include "sim/BuiltInSite.h"
#include "sim/CondModule.h"
#include "sim/Site.h"

#include <benchmark/benchmark.h>

using namespace tqdt;

namespace {

void BM_SiteSurvey_ManualClock(benchmark::State& state)
{
    ManualClock clock;
    SimBench env(clock);
    sim::AddBuiltInDevices(env.site);
    env.site.setBench(std::make_shared<sim::CondModule>(0));
    env.host.comQV().setCommPort(1);
    env.host.comQV().open();
    CancelToken cancel;
    qint64 busUs = 0;
    qint64 surveys = 0;
    size_t devices = 0;
    for (auto _ : state) {
        net::SurveyRecord record;
        const qint64 before = clock.nowUs();
        net::SiteSurvey(env.host, cancel).run(record);
        busUs += clock.nowUs() - before;
        ++surveys;
        devices = record.devices.size();
    }
    // Seconds of bus time one survey takes on the wire ("41.2" is 41.2 seconds).
    state.counters["bus_seconds_per_survey"] = double(busUs) / 1e6 / double(surveys);
    state.counters["devices"] = double(devices);
}
BENCHMARK(BM_SiteSurvey_ManualClock)->Unit(benchmark::kMillisecond);

} // namespace

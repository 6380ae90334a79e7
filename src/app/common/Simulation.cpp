#include "app/common/Simulation.h"

#include "sim/BenchStations.h"
#include "sim/CondModule.h"
#include "sim/Site.h"

namespace tqdt::app {

namespace {
// Bytes per second: a panel polling its local bus, a building controller reading relay images.
constexpr qint64 kBlueBytesPerSecond = 400;
constexpr qint64 kBrownBytesPerSecond = 200;

// Puts a new station on the bench unless one of its family is there already; returns the one there.
template <typename Station, typename... Args> Station* benchStation(sim::Site& site, Args... args)
{
    if (auto* there = dynamic_cast<Station*>(site.bench()))
        return there;
    auto station = std::make_shared<Station>(args...);
    bool ok = false;
    const int type = qEnvironmentVariable("TQDT_BENCH_TYPE").toInt(&ok, 16);
    if constexpr (requires { station->setTypeByte(0); }) {
        if (ok)
            station->setTypeByte(type);
    }
    station->setInputs(0x05);
    site.setBench(station);
    return station.get();
}
} // namespace

void startOtherMaster(sim::Site& site)
{
    site.setForeignTraffic(Channel::Blue,
                           {sim::otherMasterPattern(site, Channel::Blue), kBlueBytesPerSecond});
    site.setForeignTraffic(Channel::Brown,
                           {sim::otherMasterPattern(site, Channel::Brown), kBrownBytesPerSecond});
}

void stopOtherMaster(sim::Site& site)
{
    site.clearForeignTraffic(Channel::Blue);
    site.clearForeignTraffic(Channel::Brown);
}

void benchCondModule(sim::Site& site)
{
    if (!dynamic_cast<sim::CondModule*>(site.bench())) {
        auto module = std::make_shared<sim::CondModule>(0);
        module->setInputs(0x05);
        site.setBench(module);
    }
}

void benchLegacyStation(sim::Site& site) { benchStation<sim::LegacyWallStation>(site, 0x63); }

void benchG3Station(sim::Site& site)
{
    // A " 5-MZD", whose second and third stations answer at 01 and 02.
    sim::G3WallStation* g3 = benchStation<sim::G3WallStation>(site, 0, 19, 9);
    g3->setExtraInputs(1, 0x02);
    g3->setExtraInputs(2, 0x41);
}

void benchCeilingSensor(sim::Site& site)
{
    sim::CeilingSensor* s = benchStation<sim::CeilingSensor>(site, 0, 3, 14);
    s->setPhotocell(132, 128);
    s->timerWords = {0x8078, 0x0200, 0x0010, 0x8000};
}

void benchWallSensor(sim::Site& site) { benchStation<sim::WallSensor>(site, 0, 65, 12); }

void benchKestrixSwitch(sim::Site& site) { benchStation<sim::KestrixStation>(site, 0, 0xA1, 9); }

} // namespace tqdt::app

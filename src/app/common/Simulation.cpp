#include "app/common/Simulation.h"

#include "sim/BenchStations.h"
#include "sim/CondModule.h"
#include "sim/Site.h"

namespace tqdt::app {

namespace {

// The windows that watch or record the bus see another master at work while they are open. The
// traffic stops when they close, so the activity check before a scan or the discovery still finds
// the installation quiet.
bool watchesTraffic(const QString& formName)
{
    return formName == QLatin1String("frmQVDTLocalMonitor") ||
           formName == QLatin1String("frmQVDTNetworkMonitor") ||
           formName == QLatin1String("frmQVDTDataLogger");
}

// Bytes per second: a panel polling its local bus, a building controller reading relay images.
constexpr qint64 kBlueBytesPerSecond = 400;
constexpr qint64 kBrownBytesPerSecond = 200;

// The wall station or sensor a device window finds on the bench, at address 00 as a technician
// sets it before testing. TQDT_BENCH_TYPE=HH starts it as another model, for screenshots of other
// faceplates.
template <typename Station, typename... Args> void benchStation(sim::Site& site, Args... args)
{
    if (dynamic_cast<Station*>(site.bench()))
        return; // the same device stays on the bench for the session, reconfigured or not
    auto station = std::make_shared<Station>(args...);
    bool ok = false;
    const int type = qEnvironmentVariable("TQDT_BENCH_TYPE").toInt(&ok, 16);
    if constexpr (requires { station->setTypeByte(0); }) {
        if (ok)
            station->setTypeByte(type);
    }
    station->setInputs(0x05);
    site.setBench(station);
}

void benchForDeviceWindow(sim::Site& site, const QString& formName)
{
    if (formName == QLatin1String("frmQVDTWSTestCnf")) {
        benchStation<sim::LegacyWallStation>(site, 0x63);
    } else if (formName == QLatin1String("frmQVDTWSG3TestCnf")) {
        benchStation<sim::G3WallStation>(site, 0, 19, 9);
        if (auto* g3 = dynamic_cast<sim::G3WallStation*>(site.bench())) {
            g3->setExtraInputs(1, 0x02);
            g3->setExtraInputs(2, 0x41);
        }
    } else if (formName == QLatin1String("frmQVDTWSDualTechCnf")) {
        benchStation<sim::CeilingSensor>(site, 0, 3, 14);
        if (auto* s = dynamic_cast<sim::CeilingSensor*>(site.bench())) {
            s->setPhotocell(132, 128);
            s->timerWords = {0x8078, 0x0200, 0x0010, 0x8000};
        }
    } else if (formName == QLatin1String("frmQVDTWSDualTechWallCnf")) {
        benchStation<sim::WallSensor>(site, 0, 65, 12);
    } else if (formName == QLatin1String("frmQVDTKestrixTestCnf")) {
        benchStation<sim::KestrixStation>(site, 0, 0xA1, 9);
    }
}

} // namespace

void prepareBench(sim::Site& site, const QString& formName)
{
    if (watchesTraffic(formName)) {
        site.setForeignTraffic(Channel::Blue,
                               {sim::otherMasterPattern(site, Channel::Blue), kBlueBytesPerSecond});
        site.setForeignTraffic(Channel::Brown,
                               {sim::otherMasterPattern(site, Channel::Brown), kBrownBytesPerSecond});
    }
    if (formName == QLatin1String("frmExpCndCustom") || formName == QLatin1String("frmExpCndProfile") ||
        formName == QLatin1String("frmExpCndFactory")) {
        // One module for the whole session, so that what one window programs another finds.
        if (!dynamic_cast<sim::CondModule*>(site.bench())) {
            auto module = std::make_shared<sim::CondModule>(0);
            module->setInputs(0x05);
            site.setBench(module);
        }
    }
    benchForDeviceWindow(site, formName);
}

void clearBench(sim::Site& site, const QString& formName)
{
    if (watchesTraffic(formName)) {
        site.clearForeignTraffic(Channel::Blue);
        site.clearForeignTraffic(Channel::Brown);
    }
}

} // namespace tqdt::app

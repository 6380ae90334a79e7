#pragma once

namespace tqdt::sim {
class Site;
}

namespace tqdt::app {

// What the simulated installation does for a tool window, named in the tool's entry of the tool
// list (Tools.cpp) and run by --simulate around the window.

// The windows that watch or record the bus see another master at work while they are open; the
// traffic stops when they close, so the activity check before a scan or the discovery still finds
// the installation quiet.
void startOtherMaster(sim::Site& site);
void stopOtherMaster(sim::Site& site);
// A conditional input module at node 00 on the bench, one for the whole session, so that what one
// window programs another finds.
void benchCondModule(sim::Site& site);
// The wall station or sensor of a device window, at address 00 as a technician sets it on the
// bench; the same device stays there for the session, reconfigured or not. TQDT_BENCH_TYPE=HH
// starts it as another model (its type byte), so every faceplate can be looked at.
void benchLegacyStation(sim::Site& site);
void benchG3Station(sim::Site& site);
void benchCeilingSensor(sim::Site& site);
void benchWallSensor(sim::Site& site);
void benchKestrixSwitch(sim::Site& site);

} // namespace tqdt::app

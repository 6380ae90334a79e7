#pragma once

#include "host/Host.h"
#include "sim/SimSerialPort.h"
#include "sim/Site.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>

#include <functional>
#include <map>
#include <memory>

namespace tqdt::test {

// A technician's PC for one test: a manual clock, scripted dialogs, a temporary data root and a
// simulated installation behind every port.
struct SimHost {
    SimHost();

    QTemporaryDir dir;
    ManualClock clock;
    ScriptedDialogs dialogs;
    sim::Site site;
    Host host;

    SerialPort& port() { return host.comQV(); }
    // Opens the host's port as a tool launcher would (input length 0, no receive events).
    void openPort();
    qint64 nowMs() const { return clock.nowMs(); }
    // The frames written to the installation since the last call.
    std::vector<QByteArray> takeWritten();

    // A handler's yields are counted from 1; at yield n the action runs, as a technician's click
    // would (press Cancel in the middle of a transfer). Pending events run at every yield.
    void atYield(int n, std::function<void()> action) { m_atYield[n] = std::move(action); }
    int yields = 0;

private:
    size_t m_seen = 0;
    std::map<int, std::function<void()>> m_atYield;
};

} // namespace tqdt::test

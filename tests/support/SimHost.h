#pragma once

#include "shell/Host.h"
#include "sim/SimSerialPort.h"
#include "sim/Site.h"

#include <QTemporaryDir>

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

private:
    size_t m_seen = 0;
};

} // namespace tqdt::test

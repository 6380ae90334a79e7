#pragma once

#include "host/Host.h"
#include "sim/SimSerialPort.h"
#include "sim/Site.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>

// A technician's PC on a simulated installation for a benchmark, on the clock the benchmark chooses.
// The site keeps no record of the frames, which would grow without end over millions of exchanges.
struct SimBench {
    explicit SimBench(tqdt::Clock& clock)
        : host(clock, dialogs, tqdt::Paths(dir.path()),
               [this, &clock] { return std::make_unique<tqdt::sim::SimSerialPort>(site, clock); })
    {
        site.recordWritten = false;
    }

    QTemporaryDir dir;
    tqdt::ScriptedDialogs dialogs;
    tqdt::sim::Site site;
    tqdt::Host host;
};

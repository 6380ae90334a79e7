#pragma once

#include "bus/MonitorRing.h"

#include <QByteArray>

namespace tqdt::net {

// What a monitor shows for the ring: the newest completed frame on the first line, then the oldest
// kept frame up to the second newest, 50 lines joined by CR LF (the last without a line end). The
// frame still arriving is not shown, and frames are shown exactly as received.
QByteArray MonitorText(const MonitorRing& ring);

} // namespace tqdt::net

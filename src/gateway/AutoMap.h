#pragma once

#include "gateway/GatewayImage.h"

#include <QString>

namespace tqdt::gw {

// The editor's three "Auto Map" buttons: a run of points from the selected one on, all of one type,
// numbered on from a first relay (with one node), group or preset.
enum class AutoMapKind { Relays, Groups, Presets };

struct AutoMapRun {
    AutoMapKind kind = AutoMapKind::Groups;
    int point = 0;   // the first point of the run, 0-based
    int countAt = 0; // the count list's index: the run is countAt + 2 points long
    int firstAt = 0; // the first relay, group or preset list's index, 0-based
    qint16 type = 0; // the point type every point of the run gets
    qint16 node = 0; // relays only: their node
};

// Why the run cannot be written ("Auto Map Goes Beyond 750 Points", or the first relay, group or
// preset plus the count going past the last one), checked before anything changes; empty when the
// run was written.
QString AutoMap(GatewayImage& image, const AutoMapRun& run);

} // namespace tqdt::gw

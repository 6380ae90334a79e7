#include "network/MonitorText.h"

namespace tqdt::net {

QByteArray MonitorText(const MonitorRing& ring)
{
    constexpr int n = MonitorRing::kFrames;
    // MonIndex is kept in range by the ring; the modulo keeps a damaged value inside the array too.
    const int newest = ((ring.MonIndex % n) + n) % n;
    QByteArray text;
    for (int k = 0; k < n; ++k) {
        text += ring.MonFrames[size_t((newest + k) % n)];
        if (k < n - 1)
            text += "\r\n";
    }
    return text;
}

} // namespace tqdt::net

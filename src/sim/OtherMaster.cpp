#include "sim/Site.h"

namespace tqdt::sim {

// Another master at work, as the monitors and the data logger meet it in a running installation:
// on the Blue channel the panel polls its wall stations (pilots as they stand) and its relay
// devices; on the Brown channel a building controller reads every panel's relay image. Each
// request is followed by the reply the site's device gives, worked out on a copy so the devices
// keep their state.
QByteArray otherMasterPattern(const Site& site, Channel channel)
{
    QByteArray out;
    if (channel == Channel::Blue) {
        for (const auto& [address, station] : site.wallStations) {
            WallStation copy = station;
            const QByteArray data = Hex2(station.pilots);
            out += BuildDevFrame('2', qint16(address), '7' + data);
            if (auto reply = wallStationHandle(copy, address, '7', data))
                out += reply->text;
        }
        for (const auto& [address, device] : site.relayDevices) {
            RelayDevice copy = device;
            out += BuildDevFrame('9', qint16(address), "500");
            if (auto reply = relayDeviceHandle(copy, '5', "00"))
                out += reply->text;
        }
    } else {
        for (const auto& [address, panel] : site.panels) {
            Panel copy = panel;
            out += BuildNetFrame(qint16(address), "25");
            if (auto reply = panelHandle(copy, address, "25"))
                out += reply->text;
        }
    }
    return out;
}

} // namespace tqdt::sim

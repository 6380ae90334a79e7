#pragma once

#include <QByteArray>

#include <array>

namespace tqdt {

// What the bus routines decoded from the last replies. A field keeps its value when a routine fails.
struct ReplyStore {
    QByteArray ReplyText;
    std::array<qint16, 8> RelayImage{};
    qint16 WsStatusA = 0;
    qint16 WsStatusB = 0;
    qint16 WsStatusC = 0;
    std::array<qint32, 4> SensorLevel{};
    std::array<bool, 4> SensorNegative{};
    qint16 RelayDeviceStatus = 0;
};

} // namespace tqdt

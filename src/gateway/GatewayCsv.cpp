#include "gateway/GatewayCsv.h"

#include "bus/FrameCodec.h"
#include "documents/SafeFile.h"

namespace tqdt::gw {

namespace {

QByteArray hexPlusOne(qint16 index) { return Hex2(qint16(index + 1)); }
QByteArray plusOne(qint16 index) { return QByteArray::number(index + 1); }

void pointLines(QByteArray& csv, const GatewayImage& image, int p)
{
    const QByteArray prefix = "Point," + QByteArray::number(p + 1) + ',';
    const qint16 node = image.GetPointNode(p), unit = image.GetPointUnit(p), number = image.GetPointNumber(p);
    auto line = [&](const QByteArray& text) { csv += prefix + text + "\r\n"; };
    auto relay = [&](const char* what) {
        line(what + QByteArray(",Node,") + hexPlusOne(node) + ",Relay," + plusOne(unit));
    };
    auto input = [&](const char* what) {
        line(what + QByteArray(",Node,") + hexPlusOne(node) + ",Device," + hexPlusOne(unit) + ",Input," +
             plusOne(number));
    };
    auto multi = [&](const char* what) {
        line(what);
        csv += ",Relays Controlled\r\n";
        // Nodes 01-FF; the bits of node index 255 exist in the bitmap but name no panel.
        for (int n = 0; n < 255; ++n) {
            QByteArray relays;
            for (int r = 0; r < 64; ++r)
                if (image.GetMultiRelay(p, n, r))
                    relays += ',' + QByteArray::number(r + 1);
            if (!relays.isEmpty())
                csv += ",,Node," + Hex2(qint16(n + 1)) + ",Relay" + relays + "\r\n";
        }
    };
    switch (image.GetPointType(p)) {
    case Unused: line("Unused"); break;
    case SingleRelay: relay("Relay On/Off"); break;
    case SingleRelayTimer: relay("Relay On/Timer Off"); break;
    case MultiRelay: multi("Multi Relay On/Off"); break;
    case MultiRelayTimer: multi("Multi Relay On/Timer Off"); break;
    case Group: line("Group On/Off,Group," + plusOne(number)); break;
    case GroupTimer: line("Group On/Timer Off,Group," + plusOne(number)); break;
    case Preset: line("Preset Activate,Preset," + plusOne(number)); break;
    case InputOn: input("WS On Input"); break;
    case InputOff: input("WS Off Input"); break;
    default: break; // a type the gateway does not know gives no line
    }
}

} // namespace

QByteArray GatewayCsv(const GatewayImage& image, const QString& mapFileName, int points)
{
    QByteArray csv = "Mapped Gateway File: " + mapFileName.toLocal8Bit() + "\r\n";
    for (int p = 0; p < std::clamp(points, 0, kPointSlots); ++p)
        pointLines(csv, image, p);
    return csv;
}

FileResult GatewayCsvWrite(const QString& csvPath, const GatewayImage& image, const QString& mapFileName,
                           int points)
{
    return SaveDocumentFile(csvPath, GatewayCsv(image, mapFileName, points));
}

} // namespace tqdt::gw

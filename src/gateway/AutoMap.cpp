#include "gateway/AutoMap.h"

namespace tqdt::gw {

QString AutoMap(GatewayImage& image, const AutoMapRun& run)
{
    const bool relays = run.kind == AutoMapKind::Relays;
    // The last first index the count still fits after: relays go to 64, groups and presets to 256.
    const int lastFirst = relays ? 62 : 254;
    if (run.point + run.countAt > kPoints - 2)
        return QStringLiteral("Auto Map Goes Beyond 750 Points");
    if (run.firstAt + run.countAt > lastFirst) {
        switch (run.kind) {
        case AutoMapKind::Relays: return QStringLiteral("First Relay Plus Auto Map Count Exceeds 64");
        case AutoMapKind::Groups: return QStringLiteral("First Group Plus Auto Map Count Exceeds 256");
        case AutoMapKind::Presets: return QStringLiteral("First Preset Plus Auto Map Count Exceeds 256");
        }
    }
    for (int i = 0; i <= run.countAt + 1; ++i) {
        const int p = run.point + i;
        image.SetPointType(p, run.type);
        if (relays) {
            image.SetPointNode(p, run.node);
            image.SetPointUnit(p, qint16(run.firstAt + i));
        } else {
            image.SetPointNumber(p, qint16(run.firstAt + i));
        }
    }
    return {};
}

} // namespace tqdt::gw

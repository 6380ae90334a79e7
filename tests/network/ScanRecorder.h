#pragma once

#include "network/ScanModel.h"

#include <map>
#include <optional>
#include <vector>

namespace tqdt::test {
using namespace tqdt::net;

// Remembers what a scan showed, so a test can tell what changed on screen in one cycle.
struct ScanRecorder : ScanDisplay {
    struct ErrorLabel {
        ErrorColour colour;
        QString caption;
    };
    std::map<std::pair<Family, int>, ErrorLabel> labels; // last shown
    std::vector<std::pair<Family, int>> errorUpdates;    // every update, in order
    std::map<Family, bool> connection;
    QString cycle;
    std::optional<std::array<qint16, 8>> relayImage;
    std::optional<WsReading> wallStation;
    std::optional<std::array<int, 4>> markerTops;
    QByteArray dimmerFrame;
    std::optional<qint16> relayStatus;
    std::map<int, std::pair<int, bool>> photocells;

    void errorShown(Family f, int slot, ErrorColour c, const QString& caption) override
    {
        labels[{f, slot}] = {c, caption};
        errorUpdates.push_back({f, slot});
    }
    void cycleShown(const QString& caption) override { cycle = caption; }
    void connectionShown(Family f, bool ok) override { connection[f] = ok; }
    void relayImageShown(const std::array<qint16, 8>& image) override { relayImage = image; }
    void wallStationShown(const WsReading& r) override { wallStation = r; }
    void dimmerShown(const std::array<int, 4>& tops) override { markerTops = tops; }
    void dimmerFrameShown(const QByteArray& frame) override { dimmerFrame = frame; }
    void relayStatusShown(qint16 status) override { relayStatus = status; }
    void photocellShown(int p, int level, bool inWindow) override { photocells[p] = {level, inWindow}; }

    // Forgets what was shown, so the next cycle's updates stand alone.
    void reset() { *this = ScanRecorder(); }
    bool updated(Family f, int slot) const
    {
        return std::find(errorUpdates.begin(), errorUpdates.end(), std::pair{f, slot}) != errorUpdates.end();
    }
};

} // namespace tqdt::test

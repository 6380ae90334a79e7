#include "support/WeekLog.h"

#include "bus/FrameCodec.h"
#include "sim/Site.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <vector>

namespace tqdt::test {

namespace {

struct Pair {
    int address;
    QByteArray request, reply;
};

// The polls of a cycle, each with the reply the site's device gives.
std::vector<Pair> cycle(const sim::Site& site)
{
    std::vector<Pair> out;
    for (const auto& [address, station] : site.wallStations) {
        sim::WallStation copy = station;
        const QByteArray data = Hex2(station.pilots);
        auto reply = sim::wallStationHandle(copy, address, '7', data);
        out.push_back({address, BuildDevFrame('2', qint16(address), '7' + data), reply ? reply->text : ""});
    }
    for (const auto& [address, device] : site.relayDevices) {
        sim::RelayDevice copy = device;
        auto reply = sim::relayDeviceHandle(copy, '5', "00");
        out.push_back({address, BuildDevFrame('9', qint16(address), "500"), reply ? reply->text : ""});
    }
    return out;
}

QString iso(const QDateTime& t, bool seconds = true)
{
    return t.toString(seconds ? QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")
                              : QStringLiteral("yyyy-MM-dd'T'HH:mm")) +
           QStringLiteral("+01:00");
}

} // namespace

WeekLog MakeWeekLog(const QString& folder, int megabytes)
{
    WeekLog w;
    auto site = sim::Site::builtIn();
    const std::vector<Pair> pairs = cycle(*site);
    w.silentAddress = pairs.front().address;
    w.badAddress = pairs.back().address;
    for (const Pair& p : pairs)
        w.addresses[p.address];

    const QDateTime start(QDate(2026, 12, 6), QTime(0, 0, 0), Qt::OffsetFromUTC, 3600);
    constexpr int kMinutes = 7 * 24 * 60;
    qsizetype cycleBytes = 0;
    for (const Pair& p : pairs)
        cycleBytes += p.request.size() + p.reply.size();
    const int perMinute = std::max<int>(1, int(qint64(megabytes) * 1024 * 1024 / kMinutes / cycleBytes));
    // The faults: a station silent for three and a half hours on the second night, a relay device's
    // reply corrupted once an hour, the port away for ten minutes on the fourth day, and one minute
    // of twice the traffic.
    const int silentFrom = 24 * 60 + 2 * 60, silentTo = silentFrom + 210;
    const int gapFrom = 3 * 24 * 60 + 15 * 60, gapTo = gapFrom + 10;
    const int busy = 3 * 24 * 60 + 14 * 60 + 7;
    w.silentSeconds = qint64(silentTo - silentFrom) * 60;
    w.gapSeconds = qint64(gapTo - gapFrom) * 60;
    w.busiestMinute = iso(start.addSecs(qint64(busy) * 60), false);

    w.logPath = QDir(folder).filePath(QStringLiteral("DataLog BlueChan  Date 2026-12-06 Time 00_00_00.TXT"));
    w.eventsPath =
        QDir(folder).filePath(QStringLiteral("DataLog BlueChan  Date 2026-12-06 Time 00_00_00.events.csv"));
    QFile log(w.logPath), events(w.eventsPath);
    log.open(QIODevice::WriteOnly);
    events.open(QIODevice::WriteOnly);
    QByteArray rows = "time,event,detail\r\n";
    rows += (iso(start) + QStringLiteral(",record start,\"byte 0: COM3, Blue channel\"\r\n")).toUtf8();
    QByteArray minute;
    for (int m = 0; m < kMinutes; ++m) {
        const QDateTime at = start.addSecs(qint64(m) * 60);
        if (m > 0)
            rows += (iso(at) + QStringLiteral(",mark,byte %1\r\n").arg(w.bytes)).toUtf8();
        if (m == gapFrom)
            rows += (iso(at) + QStringLiteral(",gap start,byte %1: the port went away\r\n").arg(w.bytes))
                        .toUtf8();
        if (m == gapTo)
            rows +=
                (iso(at) + QStringLiteral(",gap end,byte %1: the port is back after 600 s\r\n").arg(w.bytes))
                    .toUtf8();
        if (m >= gapFrom && m < gapTo)
            continue;
        minute.clear();
        const int cycles = m == busy ? 2 * perMinute : perMinute;
        for (int c = 0; c < cycles; ++c) {
            for (const Pair& p : pairs) {
                WeekLog::Counts& n = w.addresses[p.address];
                minute += p.request;
                ++n.frames;
                if (p.address == w.silentAddress && m >= silentFrom && m < silentTo) {
                    ++n.missing;
                    continue;
                }
                QByteArray reply = p.reply;
                if (p.address == w.badAddress && c == 0 && m % 60 == 30) {
                    reply[reply.size() - 2] = reply[reply.size() - 2] == '0' ? '1' : '0';
                    ++n.bad;
                }
                minute += reply;
                ++n.frames;
            }
        }
        if (m == busy)
            w.busiestMinuteFrames = minute.count('[');
        w.frames += minute.count('[');
        w.bytes += minute.size();
        log.write(minute);
    }
    rows += (iso(start.addSecs(qint64(kMinutes) * 60)) +
             QStringLiteral(",record stop,byte %1: SIGTERM\r\n").arg(w.bytes))
                .toUtf8();
    events.write(rows);
    return w;
}

} // namespace tqdt::test

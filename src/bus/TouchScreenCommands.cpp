#include "bus/TouchScreenCommands.h"

#include "bus/BusLink.h"
#include "host/Host.h"

#include <QDateTime>

namespace tqdt {

bool TouchScreenProfile(Host& host, qint16 profile)
{
    BusLink(host).broadcast(*BusFrameShape(shape::TouchScreenProfile).channel,
                            BuildDevFrame('8', 0xFF, "E" + Hex2(profile)));
    return true;
}

bool TouchScreenClock(Host& host)
{
    const QDateTime now = host.clock().localDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    const int weekday = d.dayOfWeek() % 7 + 1; // Sunday 1 ... Saturday 7
    const QByteArray data = "D" + Hex2(qint16(d.year() % 100)) + Hex2(qint16(16 * weekday + d.month())) +
                            Hex2(qint16(d.day())) + Hex2(qint16(t.hour())) + Hex2(qint16(t.minute())) +
                            Hex2(qint16(t.second()));
    BusLink(host).broadcast(*BusFrameShape(shape::TouchScreenClock).channel, BuildDevFrame('8', 0xFF, data));
    return true;
}

qint32 SecondsSince2020(const Host& host)
{
    // Counted on the wall clock as shown, so a summer-time change does not shift the count.
    const QDateTime now = host.clock().localDateTime();
    const QDateTime wall(now.date(), now.time(), Qt::UTC);
    const QDateTime epoch(QDate(2020, 1, 1), QTime(0, 0, 0), Qt::UTC);
    return qint32(epoch.secsTo(wall));
}

} // namespace tqdt

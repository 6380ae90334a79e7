#include "bus/ActivityCheck.h"

#include "bus/BusLink.h"
#include "host/Host.h"

namespace tqdt {

namespace {

// Empties the receive buffer, listens for one second and tells whether anything arrived.
bool quietForOneSecond(Host& host)
{
    BusLink(host).emptyReceiveBuffer();
    host.Delay(1000);
    return host.comQV().inBufferCount() == 0;
}

} // namespace

bool NetworkIsQuiet(Host& host, bool blueToo)
{
    if (blueToo) {
        BusLink(host).select(Channel::Blue);
        if (!quietForOneSecond(host))
            return false;
    }
    BusLink(host).select(Channel::Brown);
    return quietForOneSecond(host);
}

QString AnotherMasterText(const QString& mode)
{
    return QStringLiteral("Another Device Is Scanning The Network.\r\nUnable To Enter %1 Mode.").arg(mode);
}

} // namespace tqdt

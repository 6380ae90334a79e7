#include "ports/OpenPort.h"

#include "host/Host.h"

namespace tqdt {

bool OpenPort(Host& host)
{
    host.comQV().setCommPort(host.settings.DTComPort);
    return OpenPort(host, host.comQV());
}

bool OpenPort(Host& host, SerialPort& port)
{
    if (!port.open()) {
        host.dialogs().message(QStringLiteral("Unable To Open Port"), QStringLiteral("Port Error"),
                               MsgIcon::Critical);
        return false;
    }
    return true;
}

void ClosePort(Host& host) { host.comQV().close(); }

} // namespace tqdt

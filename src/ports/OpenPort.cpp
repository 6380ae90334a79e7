#include "ports/OpenPort.h"

#include "host/Host.h"
#include "ports/PortAccess.h"

#include <QDebug>

namespace tqdt {

bool OpenPort(Host& host)
{
    host.comQV().setCommPort(host.settings.DTComPort);
    return OpenPort(host, host.comQV());
}

bool OpenPort(Host& host, SerialPort& port)
{
    if (QString why; !port.open(&why)) {
        QString text = QStringLiteral("Unable To Open Port");
        // A refusal the technician can mend is named in the log and the box, with what to do; any
        // other failure keeps the box as it always was (a device server logs its own reason).
        if (!AdviceOf(why).isEmpty()) {
            qWarning().noquote()
                << QStringLiteral("Unable To Open Port COM%1: %2").arg(port.commPort()).arg(why);
            text += QStringLiteral("\r\n\r\n") + why;
        }
        host.dialogs().message(text, QStringLiteral("Port Error"), MsgIcon::Critical);
        return false;
    }
    return true;
}

void ClosePort(Host& host) { host.comQV().close(); }

} // namespace tqdt

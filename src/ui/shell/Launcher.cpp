#include "ui/shell/Launcher.h"
#include "ports/OpenPort.h"

#include "bus/BusLink.h"
#include "documents/Settings.h"
#include "host/Host.h"
#include "ui/shell/Form.h"
#include "ui/shell/ToolList.h"

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

bool ActivityCheck(Host& host, LaunchKind kind, const std::function<void(bool)>& showCheck)
{
    if (showCheck)
        showCheck(true);
    bool quiet = true;
    if (kind == LaunchKind::Scan) {
        BusLink(host).select(Channel::Blue);
        quiet = quietForOneSecond(host);
    }
    if (quiet) {
        BusLink(host).select(Channel::Brown);
        quiet = quietForOneSecond(host);
    }
    if (!quiet) {
        const QString mode = kind == LaunchKind::Scan ? QStringLiteral("Scan") : QStringLiteral("Discover");
        host.dialogs().message(
            QStringLiteral("Another Device Is Scanning The Network.\r\nUnable To Enter %1 Mode.").arg(mode),
            QStringLiteral("Error"), MsgIcon::Critical);
        ClosePort(host);
    }
    if (showCheck)
        showCheck(false);
    return quiet;
}

bool LaunchTool(Host& host, LaunchKind kind, const std::function<std::unique_ptr<Form>()>& makeForm,
                const std::function<void(bool)>& showCheck)
{
    SerialPort& port = host.comQV();
    if (kind != LaunchKind::SelfManaged && !OpenPort(host))
        return false;
    switch (kind) {
    case LaunchKind::Monitor:
        port.setInputLen(1);
        port.setRThreshold(1);
        break;
    case LaunchKind::DataLogger: ClosePort(host); break;
    case LaunchKind::Scan:
    case LaunchKind::Discover:
        port.setInputLen(0);
        port.setRThreshold(0);
        if (!ActivityCheck(host, kind, showCheck))
            return false;
        break;
    case LaunchKind::Device:
    case LaunchKind::SelfManaged:
        port.setInputLen(0);
        port.setRThreshold(0);
        break;
    }
    std::unique_ptr<Form> form = makeForm();
    if (host.onToolOpening)
        host.onToolOpening(form->objectName());
    const QString formName = form->objectName();
    host.dialogs().showModal(*form);
    form.reset();
    if (host.onToolClosed)
        host.onToolClosed(formName);
    ClosePort(host);
    // Receive events belong to the monitors only.
    port.setRThreshold(0);
    port.setInputLen(0);
    return true;
}

bool LaunchTool(Host& host, const ToolEntry& tool, const std::function<void(bool)>& showCheck)
{
    return LaunchTool(
        host, tool.kind, [&] { return tool.make(host); }, showCheck);
}

} // namespace tqdt

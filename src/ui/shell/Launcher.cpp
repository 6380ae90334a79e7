#include "ui/shell/Launcher.h"
#include "ports/OpenPort.h"

#include "bus/ActivityCheck.h"
#include "bus/BusLink.h"
#include "documents/Settings.h"
#include "host/Host.h"
#include "ui/shell/Form.h"
#include "ui/shell/ToolList.h"

namespace tqdt {

bool ActivityCheck(Host& host, LaunchKind kind, const std::function<void(bool)>& showCheck)
{
    if (showCheck)
        showCheck(true);
    const bool quiet = NetworkIsQuiet(host, kind == LaunchKind::Scan);
    if (!quiet) {
        const QString mode = kind == LaunchKind::Scan ? QStringLiteral("Scan") : QStringLiteral("Discover");
        host.dialogs().message(AnotherMasterText(mode), QStringLiteral("Error"), MsgIcon::Critical);
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

#include "ui/network/frmQVDTNetworkMonitor.h"
#include "bus/BusLink.h"

#include "documents/Settings.h"
#include "ui/shell/Widgets.h"

#include <QRadioButton>

namespace tqdt::net {

frmQVDTNetworkMonitor::frmQVDTNetworkMonitor(Host& host, QWidget* parent)
    : MonitorWindow(host, QStringLiteral("frmQVDTNetworkMonitor"),
                    QStringLiteral("Tarvik Quorvel Diagnostic Tool - Network Monitor"), parent)
{
    const QString captions[2] = {QStringLiteral("Blue Channel (Wistra Devices)"),
                                 QStringLiteral("Brown Channel (Panels)")};
    const int lefts[2] = {3240, 6600};
    for (int i = 0; i < 2; ++i) {
        auto* o = placeOption(this, QStringLiteral("optChan(%1)").arg(i), captions[i], lefts[i], 285, 3255);
        connect(o, &QRadioButton::clicked, this, [this, i] { optChan_Click(i); });
        optChan[size_t(i)] = o;
    }
    optChan[0]->setChecked(true);
}

void frmQVDTNetworkMonitor::optChan_Click(int index)
{
    if (index == 0)
        BusLink(host()).select(Channel::Blue);
    else
        BusLink(host()).select(Channel::Brown);
}

} // namespace tqdt::net

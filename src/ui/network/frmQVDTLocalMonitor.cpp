#include "ui/network/frmQVDTLocalMonitor.h"

namespace tqdt::net {

frmQVDTLocalMonitor::frmQVDTLocalMonitor(Host& host, QWidget* parent)
    : MonitorWindow(host, QStringLiteral("frmQVDTLocalMonitor"),
                    QStringLiteral("Tarvik Quorvel Diagnostic Tool - Local Monitor"), parent)
{
}

} // namespace tqdt::net

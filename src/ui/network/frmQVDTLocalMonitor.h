#pragma once

#include "ui/network/MonitorWindow.h"

namespace tqdt::net {

// Watches the Blue channel: the Wistra devices at panel level.
class frmQVDTLocalMonitor : public MonitorWindow {
    Q_OBJECT
public:
    explicit frmQVDTLocalMonitor(Host& host, QWidget* parent = nullptr);
};

} // namespace tqdt::net

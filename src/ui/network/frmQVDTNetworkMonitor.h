#pragma once

#include "ui/network/MonitorWindow.h"

#include <array>

class QRadioButton;

namespace tqdt::net {

// Watches either channel; it starts on the Blue channel like the local monitor.
class frmQVDTNetworkMonitor : public MonitorWindow {
    Q_OBJECT
public:
    explicit frmQVDTNetworkMonitor(Host& host, QWidget* parent = nullptr);

    // 0: the Blue channel, 1: the Brown channel. Only the DTR line changes; the ring keeps its frames.
    void optChan_Click(int index);

    std::array<QRadioButton*, 2> optChan{};
};

} // namespace tqdt::net

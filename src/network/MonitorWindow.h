#pragma once

#include "shell/Form.h"

class QLabel;
class QPushButton;
class QTimer;

namespace tqdt {

// What the local and the network monitor share: a white label showing the monitor ring, refreshed
// every 100 ms while running. Start and Stop only switch the refresh; the main window's receive
// handler goes on collecting frames into the ring meanwhile. Neither monitor sends anything.
class MonitorWindow : public Form {
    Q_OBJECT
public:
    MonitorWindow(Host& host, const QString& formName, const QString& caption, QWidget* parent = nullptr);

    void cmdStart_Click();
    void cmdStop_Click();
    void Timer1_Timer();
    void ShowData();

    QTimer* Timer1 = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QLabel* lblData = nullptr;

protected:
    void Form_Load() override;
};

} // namespace tqdt

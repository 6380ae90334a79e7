#pragma once

#include "network/NetworkScan.h"
#include "ui/network/ScanWidgets.h"
#include "ui/shell/Form.h"

#include <QTimer>

#include <array>

namespace tqdt::net {

// Polls every panel and network wall station in an endless round, counts the failures per address,
// and shows and drives one selected panel and one selected wall station.
class frmQVDTNetworkScan : public Form, private ScanDisplay {
    Q_OBJECT
public:
    explicit frmQVDTNetworkScan(Host& host, QWidget* parent = nullptr);

    NetworkScan scan;

    QGroupBox* frmNCPanels = nullptr;
    QGroupBox* frmNCWSDevices = nullptr;
    NodeGrid panelGrid; // lblPanelNode, lblPanelComError
    NodeGrid wsGrid;    // lblNCWSNode, lblNCWSComError
    QGroupBox* frmPanel = nullptr;
    QComboBox* cboPnlNode = nullptr;
    QLabel* lblPnlConnection = nullptr;
    QGroupBox* frmRelayStatus = nullptr;
    std::array<ClickLabel*, 64> lblRlySts{};
    WsStatusControls ws;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdClearTotals = nullptr;
    QPushButton* cmdFindLocal = nullptr;
    QLabel* lblCycleCount = nullptr;
    QTimer Timer1;

    void ClearFound() { scan.ClearFound(); }
    void ClearTotals() { scan.ClearTotals(*this); }
    void FindNodes();
    void ScanNodes() { scan.ScanNodes(*this); }

    void cmdStop_Click();
    void cmdClearTotals_Click() { ClearTotals(); }
    void cmdFindLocal_Click();
    void Timer1_Timer() { ScanNodes(); }
    void cboPnlNode_Click();
    void cboWSNode_Click();
    void optWSType_Click(int index) { ws.showPage(index); }
    void vsPilot_Change() { ws.pilotsFromSlider(ws.vsPilot->value()); }
    void vsPilot_Scroll() { vsPilot_Change(); }
    void lblRlySts_Click(int index);
    void lblPanelNode_Click(int index);
    void lblNCWSNode_Click(int index);

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

private:
    void pilotsChanged() { scan.pilots = ws.pilots(); }
    NodeGrid& grid(Family f) { return f == Family::Panel ? panelGrid : wsGrid; }

    // What the poll cycle shows.
    void probing(Family f, int slot) override { grid(f).showProbe(slot); }
    void foundShown(Family f, int slot, bool found) override { grid(f).showFound(slot, found); }
    void errorShown(Family f, int slot, ErrorColour c, const QString& caption) override
    {
        grid(f).showError(slot, c, caption);
    }
    void cycleShown(const QString& caption) override { lblCycleCount->setText(caption); }
    void connectionShown(Family f, bool ok) override
    {
        showConnection(f == Family::Panel ? lblPnlConnection : ws.lblWSConnection, ok);
    }
    void relayImageShown(const std::array<qint16, 8>& image) override;
    void wallStationShown(const WsReading& r) override { ws.showReading(r); }
};

} // namespace tqdt::net

#pragma once

#include "network/LocalScan.h"
#include "network/RelayCycleTest.h"
#include "ui/network/ScanWidgets.h"
#include "ui/shell/Form.h"

#include <QTimer>

#include <array>

namespace tqdt::net {

// Finds and polls the wall stations, dimmers and relay devices on one panel's local bus, and shows
// and drives one selected device of each kind. A hidden advanced area (Shift + right click in the
// top-left corner) adds the variable fade and WLI dimmer modes, the touch-screen commands, the
// photocell controller tester and the relay cycle test.
class frmQVDTLocalScan : public Form, private ScanDisplay {
    Q_OBJECT
public:
    explicit frmQVDTLocalScan(Host& host, QWidget* parent = nullptr);

    static constexpr int kWidth = 7695;
    static constexpr int kAdvancedWidth = 15255;

    LocalScan scan;
    RelayCycleTest relayTest;

    QGroupBox* frmWSDevices = nullptr;
    QGroupBox* frmDimmerDevices = nullptr;
    QGroupBox* frmRemoteRelays = nullptr;
    NodeGrid wsGrid;  // lblWSNode, lblWSComError
    NodeGrid dimGrid; // lblDimNode, lblDimComError
    NodeGrid rrGrid;  // lblRRNode, lblRRComError
    WsStatusControls ws;
    QGroupBox* frmDO = nullptr;
    QComboBox* cboDONode = nullptr;
    QLabel* lblDOConnection = nullptr;
    std::array<QScrollBar*, 4> vsDO{};
    std::array<QFrame*, 4> shpDimLevel{};
    std::array<QLabel*, 4> lblDO{};
    QGroupBox* frmRR = nullptr;
    QComboBox* cboRRNode = nullptr;
    QLabel* lblRRConnection = nullptr;
    std::array<QLabel*, 4> lblRRStatus{};
    std::array<QPushButton*, 8> cmdRRCmd{};
    QPushButton* cmdRRAllOff = nullptr;
    QPushButton* cmdRRAllOn = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdClearTotals = nullptr;
    QPushButton* cmdFindLocal = nullptr;
    QLabel* lblCycleCount = nullptr;
    QTimer Timer1;

    // The advanced area.
    std::array<QLabel*, 4> lblHeader{};
    QCheckBox* chkVarFade = nullptr;
    QScrollBar* hsVarFade = nullptr;
    QLabel* lblVarFade = nullptr;
    QCheckBox* chkWLIDim = nullptr;
    QLabel* lblDimCmdDef = nullptr;
    QLabel* lblDimCmd = nullptr;
    QPushButton* cmdTXRTC = nullptr;
    QPushButton* cmdTXProfile = nullptr;
    QComboBox* cboProfile = nullptr;
    QCheckBox* chkPCTest = nullptr;
    std::array<QLabel*, 4> lblPCTest{};
    std::array<QLabel*, 4> lblPCTestTarget{};
    std::array<QLabel*, 4> lblPCTestVal{};
    std::array<QLabel*, 4> lblPCTestCOM{};
    QPushButton* cmdRlyCycTst = nullptr;
    QLabel* lblRlyCycCnt = nullptr;
    QComboBox* cboRlyCycCnt = nullptr;
    QLabel* lblRlyCycInt = nullptr;
    QComboBox* cboRlyCycInt = nullptr;
    QLabel* lblRlyCycDly = nullptr;
    QComboBox* cboRlyCycDly = nullptr;
    QLabel* lblRlyCycRun = nullptr;
    QTimer Timer2;

    void ClearFound() { scan.ClearFound(); }
    void ClearTotals() { scan.ClearTotals(*this); }
    void FindNodes() { scan.FindNodes(*this); }
    void ScanNodes() { scan.ScanNodes(*this); }
    void TestPC() { scan.TestPC(*this); }
    void ShowDimFade();

    // A press at (x, y) twips with the given button and modifiers.
    void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int xTwips, int yTwips);
    void Timer1_Timer() { scan.Timer1_Timer(*this); }
    void cmdStop_Click();
    void cmdClearTotals_Click() { ClearTotals(); }
    void cmdFindLocal_Click();
    void cboWSNode_Click();
    void cboDONode_Click();
    void cboRRNode_Click();
    void optWSType_Click(int index) { ws.showPage(index); }
    void vsPilot_Change() { ws.pilotsFromSlider(ws.vsPilot->value()); }
    void vsPilot_Scroll() { vsPilot_Change(); }
    void cmdRRCmd_Click(int index) { scan.pressRelayButton(index); }
    void cmdRRAllOn_Click() { scan.switchAllRelays(true); }
    void cmdRRAllOff_Click() { scan.switchAllRelays(false); }
    void chkVarFade_Click();
    void chkWLIDim_Click();
    void hsVarFade_Change();
    void hsVarFade_Scroll() { hsVarFade_Change(); }
    void cmdTXProfile_Click() { scan.TXProfilePending = true; }
    void cmdTXRTC_Click() { scan.TXRTCPending = true; }
    void lblWSNode_Click(int index);
    void lblDimNode_Click(int index);
    void lblRRNode_Click(int index);
    void cmdRlyCycTst_Click();
    void Timer2_Timer();

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void buildDevices();
    void buildControls();
    void buildAdvanced();
    void fillLists();
    void connectHandlers();
    void settingsChanged();
    void stopRelayTest();
    void setScanButtons(bool enabled);
    NodeGrid& grid(Family f);

    void probing(Family f, int slot) override { grid(f).showProbe(slot); }
    void foundShown(Family f, int slot, bool found) override { grid(f).showFound(slot, found); }
    void errorShown(Family f, int slot, ErrorColour c, const QString& caption) override
    {
        grid(f).showError(slot, c, caption);
    }
    void cycleShown(const QString& caption) override { lblCycleCount->setText(caption); }
    void connectionShown(Family f, bool ok) override;
    void wallStationShown(const WsReading& r) override { ws.showReading(r); }
    void dimmerShown(const std::array<int, 4>& markerTops) override;
    void dimmerFrameShown(const QByteArray& frame) override
    {
        lblDimCmd->setText(QString::fromLatin1(frame));
    }
    void relayStatusShown(qint16 status) override;
    void photocellShown(int p, int level, bool inWindow) override;
};

} // namespace tqdt::net

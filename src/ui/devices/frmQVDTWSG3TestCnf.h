#pragma once

#include "devices/Bluetooth.h"
#include "devices/WsModels.h"
#include "ui/devices/Faceplate.h"
#include "ui/devices/WsWidgets.h"
#include "ui/shell/Form.h"

#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tqdt {
class ClickLabel;
class SerialPort;
} // namespace tqdt

namespace tqdt::ws {

// Tests and configures one third-generation Wistra station at any address: its buttons, up to
// eight pilots, its model and revision, and the extra rows of multi-address, zone and scene models.
// The right-hand area holds the Bluetooth tools: the station's module, reached on the main port's
// Brown channel, and a passthrough adapter on a port of the window's own as the link tester.
class frmQVDTWSG3TestCnf : public Form {
    Q_OBJECT
public:
    explicit frmQVDTWSG3TestCnf(Host& host, QWidget* parent = nullptr);

    void Timer1_Timer();
    void ScanWS();
    void ShowCnf();
    void ButtonSet(int button, int size, int row, bool up, bool down);
    void ShowSts();
    // A press on the faceplate, in plate units.
    void Form_MouseDown(QPoint at);
    void cmdFind_Click();
    void cmdWSPrg_Click();

    void cmdBTConfigTest_Click();
    void cmdReadBTA_Click();
    void cmdCnfPT_Click();
    void cmdBTTest_Click();
    void lblBTComPort_Click();
    void chkManName_Click();
    void txtBTName_Change();

    // The Bluetooth labels' colours.
    static const QColor kBTWorking;
    static const QColor kBTConfigPass;
    static const QColor kBTConfigFail;
    static const QColor kBTTestPass;
    static const QColor kBTTestFail;

    static const QColor kPilotOn;
    static const QColor kPilotOff;

    QComboBox* cboWSAdd = nullptr;
    QPushButton* cmdFind = nullptr;
    QComboBox* cboWSTypeSelect = nullptr;
    QPushButton* cmdWSPrg = nullptr;
    QLabel* lblConfig = nullptr;
    ConfigLine config;
    QCheckBox* chkEchoPilots = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* lblStatus = nullptr;
    Faceplate* plate = nullptr;
    std::array<Shape*, 8> shpWSButton{};
    std::array<Shape*, 8> shpWSPilot{};
    QLabel* lblNotes = nullptr;
    std::array<QLabel*, 2> lblSA{};
    ExtraRowLabels rows;

    QLineEdit* txtBTName = nullptr;
    QCheckBox* chkManName = nullptr;
    QPushButton* cmdBTConfigTest = nullptr;
    QPushButton* cmdReadBTA = nullptr;
    QPushButton* cmdCnfPT = nullptr;
    QPushButton* cmdBTTest = nullptr;
    QLabel* lblBTConfig = nullptr;
    QLabel* lblBTRsp = nullptr;
    QLabel* lblBTA = nullptr;
    QLabel* lblID = nullptr;
    QLabel* lblBTTest = nullptr;
    QLabel* lblBTTestRsp = nullptr;
    ClickLabel* lblBTComPort = nullptr;
    // The link tester's own serial-port control.
    std::unique_ptr<SerialPort> comBT;

    std::array<bool, 8> PilotOn{};
    // The module's address as last read, empty when unknown.
    QByteArray BTAddress;
    int WSType = 6;
    int ShownType = -1;

protected:
    void Form_Load() override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void Form_Unload(bool& cancel) override;

private:
    // False, after the "Port Error" box, when the tester would talk on the interface port.
    bool testerPortUsable();
    Display btDisplay(QLabel* stepLabel);
    void showDump(const Dump& d);
    // The commands a click could start while the link test lets events run.
    void setCommandsEnabled(bool on);

    ws::G3Station m_station;
    std::unique_ptr<BluetoothTools> m_bt;
    bool m_btBusy = false;
};

} // namespace tqdt::ws

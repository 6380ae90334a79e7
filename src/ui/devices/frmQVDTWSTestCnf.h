#pragma once

#include "devices/WsModels.h"
#include "ui/devices/Faceplate.h"
#include "ui/shell/Form.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tqdt::ws {

// Tests and configures one legacy Wistra station set to address 00: its buttons, six pilots, its
// model and revision, and a faceplate of that model.
class frmQVDTWSTestCnf : public Form {
    Q_OBJECT
public:
    explicit frmQVDTWSTestCnf(Host& host, QWidget* parent = nullptr);

    void Timer1_Timer();
    void ScanWS();
    void ShowCnf();
    void ShowSts();
    // A press on the faceplate, in plate units.
    void Form_MouseDown(QPoint at);
    void cmdWSPrg_Click();

    static const QColor kPilotOn;
    static const QColor kPilotOff;

    QLabel* lblNotes = nullptr;
    QCheckBox* chkEchoPilots = nullptr;
    QPushButton* cmdWSPrg = nullptr;
    QComboBox* cboWSTypeSelect = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* lblDimVal = nullptr;
    QLabel* lblStstus = nullptr;
    Faceplate* Shape1 = nullptr;
    std::array<Shape*, 6> shpWSButton{};
    std::array<Shape*, 6> shpWSPilot{};

    std::array<bool, 8> PilotOn{};
    int WSType = 6;
    int ShownType = -1;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    ws::LegacyStation m_station;
};

} // namespace tqdt::ws

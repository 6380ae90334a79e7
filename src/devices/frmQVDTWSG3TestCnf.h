#pragma once

#include "devices/Faceplate.h"
#include "devices/WsModels.h"
#include "devices/WsWidgets.h"
#include "shell/Form.h"

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tqdt {

// Tests and configures one third-generation Wistra station at any address: its buttons, up to
// eight pilots, its model and revision, and the extra rows of multi-address, zone and scene models.
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

    std::array<bool, 8> PilotOn{};
    int WSType = 6;
    int ShownType = -1;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    ws::G3Station m_station;
};

} // namespace tqdt

#pragma once

#include "devices/WsModels.h"
#include "ui/devices/Faceplate.h"
#include "ui/devices/WsWidgets.h"
#include "ui/shell/Form.h"

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tqdt::ws {

// Tests and configures one Kestrix touchless wall switch at any address: six touch buttons, the
// wipe-down and proximity inputs, six pilots and pilots 7 and 8, the wall-wash state, model,
// revision and options, and the second address or zone and scene rows of its models.
class frmQVDTKestrixTestCnf : public Form {
    Q_OBJECT
public:
    explicit frmQVDTKestrixTestCnf(Host& host, QWidget* parent = nullptr);

    void Timer1_Timer();
    void ScanWS();
    void ShowSts();
    void ShowProx();
    // A press on the faceplate, in plate units.
    void Form_MouseDown(QPoint at);
    void cmdFind_Click();
    void cmdWSPrg_Click();

    static const QColor kPilotOn;
    static const QColor kPilotOff;
    static const QColor kInputOff;
    static const QColor kWashOff;

    QComboBox* cboWSAdd = nullptr;
    QPushButton* cmdFind = nullptr;
    Faceplate* plate = nullptr;
    std::array<Shape*, 6> lblWSButton{};
    std::array<Shape*, 6> shpWSPilot{};
    Shape* shpWallWash = nullptr;
    QLabel* lblIn7 = nullptr;
    QLabel* lblIn8 = nullptr;
    QCheckBox* chkPilot7 = nullptr;
    QCheckBox* chkPilot8 = nullptr;
    QLabel* lblProx = nullptr;
    QCheckBox* chkEchoPilots = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblOptions = nullptr;
    ExtraRowLabels rows;
    QComboBox* cboWSTypeSelect = nullptr;
    QCheckBox* chkAudio = nullptr;
    std::array<QRadioButton*, 3> optWDM{};
    QPushButton* cmdWSPrg = nullptr;
    QLabel* lblConfig = nullptr;
    ConfigLine config;
    QTimer* Timer1 = nullptr;
    QLabel* lblNotes = nullptr;
    std::array<QLabel*, 2> lblSA{};

    std::array<bool, 8> PilotOn{};
    int WSType = 32;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    ws::KestrixSwitch m_switch;
};

} // namespace tqdt::ws

#pragma once

#include "devices/WsModels.h"
#include "ui/devices/Faceplate.h"
#include "ui/devices/SensorOptions.h"
#include "ui/devices/WsWidgets.h"
#include "ui/shell/Form.h"

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tqdt::ws {

// The dual-technology wall sensor: a station with buttons and pilots that carries an occupancy
// sensor. Shows its inputs, model, pilots and occupancy part, and writes its settings and model.
class frmQVDTWSDualTechWallCnf : public Form {
    Q_OBJECT
public:
    explicit frmQVDTWSDualTechWallCnf(Host& host, QWidget* parent = nullptr);

    void Timer1_Timer();
    void ScanWS();
    void DTDefaults();
    void ShowSettings();
    void ShowSts();
    void cmdFind_Click();
    void cmdRead_Click();
    void cmdConfig_Click();
    void cmdDefaults_Click();
    void cboWSAdd_Click();
    void cmdWSPrg_Click();
    void chkEchoPilots_Click() { ShowSts(); }
    void lblPilot_Click(int index);

    static const QColor kPilotLit;
    static const QColor kPilotDark;

    QComboBox* cboWSAdd = nullptr;
    QPushButton* cmdFind = nullptr;
    QLabel* lblStatus = nullptr;
    std::array<QLabel*, 8> lblIStatus{};
    Faceplate* plate = nullptr;
    std::array<Shape*, 7> lblPilot{}; // 2 to 6 are the station's lamps 3 to 7
    QCheckBox* chkEchoPilots = nullptr;
    QComboBox* cboWSTypeSelect = nullptr;
    QPushButton* cmdWSPrg = nullptr;
    QLabel* lblConfig = nullptr;
    ConfigLine config;
    ExtraRowLabels rows;
    std::array<QLabel*, 2> lblSA{};
    std::array<QLabel*, 8> lblDBA{}, lblDBB{}, lblDBC{};
    OptionGroup* PIR = nullptr;
    OptionGroup* ACS = nullptr;
    OptionGroup* Vac = nullptr;
    OptionGroup* LED = nullptr;
    OptionGroup* OOL = nullptr;
    SensorGroups groups;
    QPushButton* cmdRead = nullptr;
    QPushButton* cmdConfig = nullptr;
    QPushButton* cmdDefaults = nullptr;
    SensorResultLine result;
    QLabel* lblResult = nullptr;
    QTimer* Timer1 = nullptr;

    ws::DualTechWall::State st;
    std::array<bool, 8> PilotOn{};
    int ConfigShown = 0;

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

private:
    // Configure Sensor is enabled only while the window knows what it would write.
    void ShowConfigAllowed() const;
    ws::DualTechWall m_sensor;
};

} // namespace tqdt::ws

#pragma once

#include "devices/WsModels.h"
#include "ui/devices/SensorOptions.h"
#include "ui/devices/WsWidgets.h"
#include "ui/shell/Form.h"

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tqdt::ws {

// Finds a dual-technology ceiling sensor, shows its inputs, identity, photocells and configuration
// bits, and reads and writes its settings.
class frmQVDTWSDualTechCnf : public Form {
    Q_OBJECT
public:
    explicit frmQVDTWSDualTechCnf(Host& host, QWidget* parent = nullptr);

    void Timer1_Timer();
    void ScanWS();
    void DTDefaults();
    void ShowSettings();
    void ShowHide(bool visible);
    void ShowR14(bool visible);
    // Shift with the right button on the window background opens the advanced mode.
    void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void cmdFind_Click();
    void cmdRead_Click();
    void cmdConfig_Click();
    void cmdDefaults_Click();
    void cboWSAdd_Click();

    static const QColor kTimerNegative;

    QComboBox* cboWSAdd = nullptr;
    QPushButton* cmdFind = nullptr;
    QLabel* lblStatus = nullptr;
    std::array<QLabel*, 8> lblIStatus{};
    std::array<QLabel*, 2> lblPC{};
    std::array<QLabel*, 8> lblDBA{}, lblDBB{}, lblDBC{};
    std::array<QLabel*, 4> lblTimer{};
    OptionGroup* PIR = nullptr;
    OptionGroup* ACS = nullptr;
    OptionGroup* Vac = nullptr;
    OptionGroup* LED = nullptr;
    OptionGroup* Type = nullptr;
    OptionGroup* Rly = nullptr;
    OptionGroup* OOL = nullptr;
    SensorGroups groups;
    QPushButton* cmdRead = nullptr;
    QPushButton* cmdConfig = nullptr;
    QPushButton* cmdDefaults = nullptr;
    SensorResultLine result;
    QLabel* lblResult = nullptr;
    QTimer* Timer1 = nullptr;

    ws::DualTechCeiling::State st;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    // Configure Sensor is enabled only while the window knows what it would write.
    void ShowConfigAllowed() const;
    void optionClicked(int& value, int i);

    ws::DualTechCeiling m_sensor;
};

// Bit labels "0" to "7" of one byte in a row; white for 1, grey for 0.
std::array<QLabel*, 8> placeBitRow(QWidget* parent, const QString& name, int left, int top);
void paintBits(const std::array<QLabel*, 8>& row, int byte);

} // namespace tqdt::ws

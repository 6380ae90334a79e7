#pragma once

#include "network/DataLog.h"
#include "ui/shell/Form.h"

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tqdt {
class SerialPort;
} // namespace tqdt

namespace tqdt::net {

// Records the raw byte stream of one channel into a file, on a port control of its own.
class frmQVDTDataLogger : public Form {
    Q_OBJECT
public:
    explicit frmQVDTDataLogger(Host& host, QWidget* parent = nullptr);
    ~frmQVDTDataLogger() override;

    void cmdStart_Click();
    void comLog_OnComm();
    void LogBlue();
    void LogBrown();

    std::array<QRadioButton*, 2> optChan{};
    QPushButton* cmdStart = nullptr;
    QLabel* lblFileName = nullptr;
    QLabel* lblBlocks = nullptr;

    // Beside the original controls: an optional split of a long log into parts, off at load. Its
    // settings show once "Rotate" is ticked and stay fixed while logging.
    void chkRotate_Click();
    DataLog::Rotation rotation() const;
    QCheckBox* chkRotate = nullptr;
    QComboBox* cboRotate = nullptr; // 0: by size, 1: daily
    QSpinBox* spnRotateMB = nullptr;
    QLabel* lblKeep = nullptr;
    QSpinBox* spnKeep = nullptr; // 0 keeps every part

    SerialPort& comLog() { return *m_comLog; }
    const DataLog& log() const { return m_log; }
    bool LogActive = false;
    bool LogAccept = false;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    void startLogging();
    // Ends logging; the bytes of the block being filled are written before the file closes. A failed
    // write, now or earlier (writeFailed), is reported once.
    void stopLogging(bool writeFailed = false);
    void showBlocks();
    void setIdleControls(bool idle);

    std::unique_ptr<SerialPort> m_comLog;
    DataLog m_log;
};

} // namespace tqdt::net

#pragma once

#include "network/FrameCapture.h"
#include "ui/network/FrameTable.h"
#include "ui/shell/Form.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class QWidget;

namespace tqdt::net {

// What the local and the network monitor share: a white label showing the monitor ring, refreshed
// every 100 ms while running. Start and Stop only switch the refresh; the main window's receive
// handler goes on collecting frames into the ring meanwhile. Neither monitor sends anything.
class MonitorWindow : public Form {
    Q_OBJECT
public:
    MonitorWindow(Host& host, const QString& formName, const QString& caption, QWidget* parent = nullptr);
    ~MonitorWindow() override;

    void cmdStart_Click();
    void cmdStop_Click();
    void Timer1_Timer();
    void ShowData();

    QTimer* Timer1 = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QLabel* lblData = nullptr;

    // Beside the label: a table of the decoded frames in its place while "Details" is ticked (it is
    // not at load, so the window opens showing the label). The capture runs from the window's load
    // whether the table is shown or not; Pause holds the table still while the capture goes on.
    void chkDetails_Click();
    void chkHex_Click();
    void cmdPause_Click();
    void cmdSaveCapture_Click();
    // Applies the address text (two hex digits, empty for any) and the chosen command.
    void applyFilter();

    QCheckBox* chkDetails = nullptr;
    QWidget* fraDetails = nullptr;
    QCheckBox* chkHex = nullptr;
    QLineEdit* txtAddress = nullptr;
    QComboBox* cboCommand = nullptr;
    QPushButton* cmdPause = nullptr;
    QPushButton* cmdSaveCapture = nullptr;
    QTableView* grdFrames = nullptr;
    FrameTableModel* frames() const { return m_table; }
    FrameCapture& capture() { return *m_capture; }

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    void refreshDetails();

    std::unique_ptr<FrameCapture> m_capture;
    FrameTableModel* m_table = nullptr;
    bool m_paused = false;
};

} // namespace tqdt::net

#pragma once

#include "host/Host.h"
#include "network/SiteSurvey.h"
#include "ui/shell/Form.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace tqdt::net {

// The site survey: records what answers on the bus without changing anything, fills the table as the
// devices answer, and saves the record, its listing and the printable report into a folder. It opens
// and closes the port itself around each survey and yields between requests, so it stays painted
// and Stop takes effect at the next request.
class frmSiteSurvey : public Form {
    Q_OBJECT
public:
    explicit frmSiteSurvey(Host& host, QWidget* parent = nullptr);

    void cmdStart_Click();
    void cmdStop_Click();
    void cmdSave_Click();
    void cmdCompare_Click();

    const net::SurveyRecord& record() const { return m_record; }
    bool running() const { return m_running; }

    QLineEdit* txtSite = nullptr;
    QLineEdit* txtTechnician = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCompare = nullptr;
    QProgressBar* prgSurvey = nullptr;
    QLabel* lblStage = nullptr;
    QLabel* lblNotes = nullptr;
    QTableWidget* grdDevices = nullptr;

protected:
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

private:
    void addRow(const net::SurveyDevice& d);
    void showRecord();
    void enableButtons();

    net::SurveyRecord m_record;
    CancelToken m_cancel;
    bool m_running = false;
    bool m_haveRecord = false;
};

} // namespace tqdt::net

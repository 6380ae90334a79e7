#pragma once

#include "documents/DocumentSession.h"
#include "gateway/AutoMap.h"
#include "host/Host.h"
#include "ui/shell/Form.h"
#include "ui/shell/Widgets.h"

#include <array>
#include <functional>

class QAction;
class QComboBox;
class QGroupBox;
class QMenu;
class QMenuBar;
class QProgressBar;

namespace tqdt::gw {

// "Tarvik Quorvel Brimlock Mapped Gateway": one gateway point at a time, its type and targets, the
// relay grid of a multi-relay point, the two gateway options and the auto-maps; the map is kept in
// .MGW files, downloaded into the gateway, uploaded from it and exported as CSV. Every edit goes
// straight into the program's one gateway image.
class frmMGW : public Form {
    Q_OBJECT
public:
    explicit frmMGW(Host& host, QWidget* parent = nullptr);
    ~frmMGW() override;

    GatewayImage& image() const { return m_image; }
    QString mapFileName() const { return m_session.path(); }

    void ShowData();
    void Point750();
    void Point350();

    void cboPoint_Click();
    void cboType_Click();
    void cboSNode_Click();
    void cboINode_Click();
    void cboSRelay_Click();
    void cboIDev_Click();
    void cboQVGrp_Click();
    void cboQVPrs_Click();
    void cboIInp_Click();
    void cboMNode_Click();
    void lblMInc_Click(int r);
    void chkResend_Click();
    void cboTimeout_Click();
    void optProtocol_Click(int index);
    void cmdAMRly_Click();
    void cmdAMGrp_Click();
    void cmdAMPrs_Click();
    void cmdCancel_Click();

    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuExit_Click();
    void mnuDownload_Click();
    void mnuUpload_Click();
    void mnuExport_Click();

    QMenuBar* menuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuDownload = nullptr;
    QAction* mnuUpload = nullptr;
    QAction* mnuExport = nullptr;

    QComboBox* cboPoint = nullptr;
    QComboBox* cboType = nullptr;
    std::array<QRadioButton*, 2> optProtocol{};
    QCheckBox* chkResend = nullptr;
    QComboBox* cboTimeout = nullptr;

    QGroupBox* frmSMap = nullptr;
    QComboBox* cboSNode = nullptr;
    QComboBox* cboSRelay = nullptr;
    QComboBox* cboAMRly = nullptr;
    QPushButton* cmdAMRly = nullptr;

    QGroupBox* frmMMap = nullptr;
    QComboBox* cboMNode = nullptr;
    std::array<QLabel*, 64> lblMRelay{};
    std::array<ClickLabel*, 64> lblMInc{};

    QGroupBox* frmGMap = nullptr;
    QComboBox* cboQVGrp = nullptr;
    QComboBox* cboAMGrp = nullptr;
    QPushButton* cmdAMGrp = nullptr;

    QGroupBox* frmPMap = nullptr;
    QComboBox* cboQVPrs = nullptr;
    QComboBox* cboAMPrs = nullptr;
    QPushButton* cmdAMPrs = nullptr;

    QGroupBox* frmIMap = nullptr;
    QComboBox* cboINode = nullptr;
    QComboBox* cboIDev = nullptr;
    QComboBox* cboIInp = nullptr;

    QLabel* lblFileName = nullptr;

    QGroupBox* frmUpDown = nullptr;
    QLabel* lblProgress = nullptr;
    QProgressBar* prgUpDown = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    void buildMenus();
    QWidget* buildFrames(QWidget* client);
    QComboBox* list(QWidget* parent, const QString& name, const QStringList& entries, int left, int top,
                    int width, void (frmMGW::*handler)());
    int point() const;
    void ShowFileName();
    void selectFirstPoint();
    void showStored(QComboBox* list, int value);
    void autoMap(QComboBox* first, QComboBox* count, AutoMapKind kind);
    void runTransfer(bool upload);

    GatewayImage& m_image;
    DocumentSession m_session;
    bool m_building = true;
    bool m_showing = false;
    bool m_transferring = false;
    CancelToken m_cancel; // set by cmdCancel, looked at before each block
};

} // namespace tqdt::gw

#pragma once

#include "dmx/DmxMap.h"
#include "ui/shell/Form.h"
#include "ui/shell/Widgets.h"

#include <array>
#include <memory>

class QAction;
class QComboBox;
class QMenu;
class QMenuBar;
class QProgressBar;

namespace tqdt {
class DocumentSession;
}

namespace tqdt::dmx {

// "Tarvik Wistra DMX Output Map": the 512 DMX output channels with the dimmer point each follows,
// the gateway's device address and range, a multi-selection to clear, copy or sequence, the .QDM
// document and the download into the gateway.
class frmDMXMap : public Form {
    Q_OBJECT
public:
    explicit frmDMXMap(Host& host, QWidget* parent = nullptr);
    ~frmDMXMap() override;

    DmxMap& map() const;
    // The document's path, "None" while it has no file.
    QString fileName() const;

    void ShowScreen();
    void ShowMS();
    void ChanSel();

    void lblDimChan_MouseDown(int index, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void lblDMXChan_Click(int index);
    void cboDevAdd_Click();
    void cboDevRange_Click();
    void cmdMSClear_Click();
    void cmdMSCopy_Click();
    void cmdMSSeq_Click();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuExit_Click();
    void mnuDownload_Click();
    void mnuGWFW_Click();

    // The multi-selection (SelStart and SelEnd, in the order they were clicked) is in force.
    bool multiSelect() const { return MultiSelect; }

    QMenuBar* menuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuDownload = nullptr;
    QAction* mnuGWFW = nullptr;
    QComboBox* cboDevAdd = nullptr;
    QComboBox* cboDevRange = nullptr;
    QPushButton* cmdMSClear = nullptr;
    QPushButton* cmdMSCopy = nullptr;
    QPushButton* cmdMSSeq = nullptr;
    QProgressBar* pbDL = nullptr;
    std::array<QLabel*, 2> lblHeader{};
    std::array<ClickLabel*, kChannels> lblDMXChan{};
    std::array<ClickLabel*, kChannels> lblDimChan{};
    QLabel* lblNotes = nullptr;

    static const QColor kLightYellow, kWhite, kGrey;

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

private:
    void buildMenus();
    void endMultiSelect();
    // lo and hi of the multi-selection.
    int selLo() const { return std::min(SelStart, SelEnd); }
    int selHi() const { return std::max(SelStart, SelEnd); }
    void afterSelectionEdit();

    QString m_caption;
    bool m_showing = false; // the lists follow the map; only the user's choice is an edit
    std::unique_ptr<DocumentSession> m_session;
    int CurrentChannel = 0;
    int SelStart = 0;
    int SelEnd = 0;
    bool MultiSelect = false;
    QWidget* m_client = nullptr;
};

} // namespace tqdt::dmx

#pragma once

#include "condlogic/MpdFile.h"
#include "documents/DocumentSession.h"
#include "ui/shell/Form.h"
#include "ui/shell/Widgets.h"

#include <QPixmap>

#include <array>

class QAction;
class QMenu;
class QMenuBar;
class QScrollBar;

namespace tqdt::cnd {

// A check mark that reports clicks and double-clicks apart, as the form's images do.
class CheckImage : public ClickLabel {
    Q_OBJECT
public:
    using ClickLabel::ClickLabel;
signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// "Conditional Input Module - MP Device": the 128 input patterns of an MP device, sixteen rows at a
// time, kept in .MPD files, exported as CSV and downloaded into the module as its control array.
class frmExpCndProfile : public Form {
    Q_OBJECT
public:
    static constexpr int kRows = 16;
    static constexpr int kMaxTop = kProfiles - kRows;

    explicit frmExpCndProfile(Host& host, QWidget* parent = nullptr);

    void ClearAll();
    void PrfShow();
    void vsProfile_Change(int value);
    void imgChk_Click(int index);
    void imgChk_DblClick(int index);
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuExportCSV_Click();
    void mnuExit_Click();
    void mnuDownload_Click();

    const ProfileTable& profiles() const { return Profiles; }
    ProfileTable& profiles() { return Profiles; }
    QString fileName() const { return m_session.path(); }
    int topProfile() const { return TopProfile; }
    // True when check image i shows the checked picture.
    bool imageChecked(int index) const;

    QMenuBar* menuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuExportCSV = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuDownload = nullptr;
    std::array<CheckImage*, kRows * 8> imgChk{};
    std::array<QLabel*, kRows> lblProfile{};
    std::array<QLabel*, 9> lblHeader{};
    QScrollBar* vsProfile = nullptr;
    QLabel* lblFile = nullptr;
    QLabel* lblComPrg = nullptr;
    std::array<QLabel*, 2> lblNote{};
    std::array<QLabel*, 2> imgOpt{};

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    void buildMenus();
    // "Export CSV" is offered once the table is in a file: after a good load or save.
    FileResult exportable(FileResult r);

    ProfileTable Profiles{};
    int TopProfile = 0;
    DocumentSession m_session;
    QWidget* m_client = nullptr;
};

} // namespace tqdt::cnd

#pragma once

#include "condlogic/CndDocument.h"
#include "condlogic/LogicMap.h"
#include "shell/DocumentSession.h"
#include "shell/Form.h"
#include "shell/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>

#include <array>
#include <functional>

namespace tqdt {

// A cell's input label: a click chooses the contact's input; a palette picture dropped on it sets
// the cell's code.
class SegLabel : public ClickLabel {
    Q_OBJECT
public:
    explicit SegLabel(QWidget* parent);
    static constexpr const char* kMime = "application/x-tqdt-segment-code";
signals:
    void dropped(int paletteIndex);

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
};

// A picture that acts as a button: pressed and released pictures, a click on release.
class PressLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void pressed();
    void released();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// Paints the conductor map's picture, enlarged.
class LogicPictureView : public QWidget {
    Q_OBJECT
public:
    LogicPictureView(const cnd::LogicPicture& picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    const cnd::LogicPicture& m_picture;
};

// Pictures of the sixteen segment codes and of the two states of a tool button.
QPixmap SegmentPicture(int code, bool cellOutline);
QPixmap ToolButtonPicture(const QString& caption, bool pressed);

// The custom programming window: eight ladder diagrams, their compile, the .CDF document and notes.
class frmExpCndCustom : public Form {
    Q_OBJECT
public:
    explicit frmExpCndCustom(Host& host, QWidget* parent = nullptr);

    // Editor
    void imgSelect_MouseDown(int k);
    void cboOutput_Click();
    void imgSegment_Click(int c);
    void lblSeg_DragDrop(int c, int paletteIndex);
    void lblSeg_Click(int c);
    void imgCopyInput_Click();
    void imgPasteInput_Click();
    void cmdTest_Click();
    void ShowConfig();
    void ShowTool();

    // Menus
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuFactoryDefault_Click();
    void mnuExit_Click();
    void mnuCompile_Click();
    void mnuDownload_Click();
    void mnuUpload_Click();
    void mnuNotes_Click();

    cnd::CndDocument& doc() { return m_doc; }
    const QString& fileName() const { return m_session.path(); }
    // The text the file dialog proposes and that means "nothing chosen" when it comes back.
    QString placeholderName() const { return m_session.placeholder(); }

    int CurOutput = 0;
    int CurTool = 0;
    int CurCell = 0;
    quint16 TestMask = 0;
    cnd::LogicMap map;

    QMenuBar* menuBar = nullptr;
    QAction *mnuNew = nullptr, *mnuOpen = nullptr, *mnuSave = nullptr, *mnuSaveAs = nullptr;
    QAction *mnuFactoryDefault = nullptr, *mnuExit = nullptr;
    QAction *mnuCompile = nullptr, *mnuDownload = nullptr, *mnuUpload = nullptr, *mnuNotes = nullptr;
    QWidget* body = nullptr;
    std::array<ClickLabel*, 16> imgSelect{};
    std::array<ClickLabel*, 256> imgSegment{};
    std::array<SegLabel*, 256> lblSeg{};
    PressLabel* imgCopyInput = nullptr;
    PressLabel* imgPasteInput = nullptr;
    QComboBox* cboOutput = nullptr;
    QLabel* lblFile = nullptr;
    QGroupBox* fraTest = nullptr;
    std::array<QCheckBox*, 16> chkIn{};
    QPushButton* cmdTest = nullptr;
    LogicPictureView* picTest = nullptr;
    QProgressBar* prgCompile = nullptr;
    QLabel* lblComPrg = nullptr;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    // "Compile" on and "Download" off: the array no longer matches the cells.
    void needsCompile();
    void selectFirstOutput();
    // An edit of the diagrams: the document has unsaved changes.
    void edited();

    cnd::CndDocument& m_doc;
    DocumentSession m_session;
    std::array<qint16, cnd::kCells> m_copyTypes{};
    std::array<qint16, cnd::kCells> m_copyInputs{};
    std::array<QPixmap, 16> m_pictures;
};

// The date and time as the system's general date format writes it.
QString GeneralDate(const QDateTime& dt);

} // namespace tqdt

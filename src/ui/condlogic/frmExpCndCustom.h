#pragma once

#include "condlogic/CndDocument.h"
#include "condlogic/LogicMap.h"
#include "documents/DocumentSession.h"
#include "ui/shell/Form.h"
#include "ui/shell/Widgets.h"

#include "condlogic/LogicCompiler.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QUndoStack>

#include <array>
#include <functional>

namespace tqdt::cnd {

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

class frmExpCndCustom;

// Drawn over the grid, letting every click through: the energised path while "Simulate" is on,
// and the keyboard cursor once a key has moved it.
class GridOverlay : public QWidget {
    Q_OBJECT
public:
    GridOverlay(frmExpCndCustom& form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    frmExpCndCustom& m_form;
};

// The copy buffer of "Copy Input" / "Paste Input": one output's cells, kept for the run of the
// program rather than for one window.
struct CndCopyBuffer {
    std::array<qint16, cnd::kCells> types{};
    std::array<qint16, cnd::kCells> inputs{};
};

// Pictures of the sixteen segment codes and of the two states of a tool button.
QPixmap SegmentPicture(int code, bool cellOutline, bool foreign = false);
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

    // Additions beside the window's own controls: the "Edit" menu, the "Simulate" toggle, the
    // truth-table panel, the keyboard cursor and drag painting.
    void mnuUndo_Click() { undoStack.undo(); }
    void mnuRedo_Click() { undoStack.redo(); }
    void mnuInsertRow_Click();
    void mnuDeleteRow_Click();
    void mnuInsertColumn_Click();
    void mnuDeleteColumn_Click();
    void mnuCompare_Click();
    void mnuPrint_Click();
    void mnuExportPdf_Click();
    void chkSimulate_Click();
    void chkIn_Click();
    // The keyboard on the grid; true when the key was the grid's.
    bool gridKey(int key, Qt::KeyboardModifiers mods);
    // Drag painting: a press on a cell starts the stroke, moves over other cells paint them.
    void paintStrokeTo(int cell);
    void endPaintStroke();
    // Where the keyboard acts; -1 until a key has moved it.
    int cursorCell() const { return m_cursor; }
    void setCursorCell(int c);
    // The energised path of the current output for the test boxes' pattern, while simulating.
    const cnd::EnergisedCells& energised() const { return m_energised; }
    bool simulating() const { return chkSimulate && chkSimulate->isChecked(); }
    // True while the cells differ from the ones the last compile read.
    bool diagramChangedSinceCompile() const;

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

    QMenu* mnuEdit = nullptr;
    QAction *mnuUndo = nullptr, *mnuRedo = nullptr, *mnuTruthTable = nullptr, *mnuCompare = nullptr;
    QAction *mnuPrint = nullptr, *mnuExportPdf = nullptr, *mnuTwoPerPage = nullptr;
    QAction *mnuInsertRow = nullptr, *mnuDeleteRow = nullptr, *mnuInsertColumn = nullptr,
            *mnuDeleteColumn = nullptr;
    QPushButton* chkSimulate = nullptr;
    QLabel* lblSimulate = nullptr;
    GridOverlay* overlay = nullptr;
    QDockWidget* dockTruthTable = nullptr;
    QPlainTextEdit* txtTruthTable = nullptr;
    QUndoStack undoStack;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // "Compile" on and "Download" off: the array no longer matches the cells.
    void needsCompile();
    void selectFirstOutput();
    // An edit of the diagrams: the document has unsaved changes.
    void edited();

    // One undoable change: runs change, and records the document before and after it unless
    // nothing changed. Changes with the same merge id in a row become one step.
    void edit(const QString& what, const std::function<void()>& change, int mergeId = -1);
    // After the document changed under the undo stack, the window follows it.
    void documentChanged();
    // The unsaved-changes flag follows the stack: clean means saved.
    void cleanChanged(bool clean);
    // New, Open and Upload start the history afresh; the flag keeps its value.
    void resetHistory();
    // A save makes the current step the saved one.
    void markHistorySaved();
    void setupAdditions();
    void refreshSimulation();
    void refreshTruthTable();
    // Shifts the current output's cells from the cursor on by one row or column, or back.
    void shiftCells(bool rows, bool insert);
    void placeAt(int cell, int code);

    cnd::CndDocument& m_doc;
    DocumentSession m_session;
    CndCopyBuffer& m_copy;
    bool m_followingStack = false;
    int m_cursor = -1;
    int m_clickedCell = 0;
    int m_strokeCell = -1;
    // The palette opens on the empty picture; a click erases with it only once the user chose it.
    bool m_emptyChosen = false;
    int m_strokeId = 0;
    // The cells the last compile read, so that Download can tell a stale array.
    std::unique_ptr<cnd::CndDocument::CellArray[]> m_compiledCells;
    cnd::EnergisedCells m_energised{};
    std::array<QPixmap, 16> m_pictures;
    std::array<QPixmap, 17> m_foreignPictures; // the sixteen codes hatched, then a code outside them
};

// The date and time as the system's general date format writes it.
QString GeneralDate(const QDateTime& dt);

} // namespace tqdt::cnd

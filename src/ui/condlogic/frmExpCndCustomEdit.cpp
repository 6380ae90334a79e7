// The custom programming window's additions: undo and redo, the keyboard cursor, drag painting,
// inserting and deleting rows and columns, the energised-path view, the truth-table panel, the
// comparison with the module and the printed record. They sit beside the window's own controls,
// in the "Edit" menu and a panel that starts hidden.
#include "condlogic/CustomTransfer.h"
#include "condlogic/LadderShift.h"
#include "condlogic/LogicExpression.h"
#include "host/Host.h"
#include "print/DiagramPaint.h"
#include "ui/condlogic/TransferLabel.h"
#include "ui/condlogic/frmExpCndCustom.h"

#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QVBoxLayout>

namespace tqdt::cnd {

using namespace cnd;

namespace {

constexpr int kCellPx = 40;
constexpr int kGridLeft = 120, kGridTop = 8;

// What an undo step puts back: every array of the document but the compiled one.
struct Snapshot {
    CndDocument::CellArray types, inputs;
    std::array<quint8, kNoteBytes> notes;

    static Snapshot of(const CndDocument& d) { return {d.SegType, d.SegInput, d.NoteBytes}; }
    void restore(CndDocument& d) const
    {
        d.SegType = types;
        d.SegInput = inputs;
        d.NoteBytes = notes;
    }
    bool operator==(const Snapshot&) const = default;
};

class DocumentCommand final : public QUndoCommand {
public:
    DocumentCommand(const QString& text, CndDocument& doc, std::unique_ptr<Snapshot> before,
                    std::unique_ptr<Snapshot> after, int id, std::function<void()> changed)
        : QUndoCommand(text), m_doc(doc), m_before(std::move(before)), m_after(std::move(after)), m_id(id),
          m_changed(std::move(changed))
    {
    }
    // The change is already made when the command is pushed.
    void redo() override
    {
        if (m_done) {
            m_after->restore(m_doc);
            m_changed();
        }
        m_done = true;
    }
    void undo() override
    {
        m_before->restore(m_doc);
        m_changed();
    }
    int id() const override { return m_id; }
    bool mergeWith(const QUndoCommand* other) override
    {
        if (other->id() != m_id)
            return false;
        *m_after = *static_cast<const DocumentCommand*>(other)->m_after;
        return true;
    }

private:
    CndDocument& m_doc;
    std::unique_ptr<Snapshot> m_before, m_after;
    int m_id;
    std::function<void()> m_changed;
    bool m_done = false;
};

constexpr int kStrokeIds = 1000; // merge ids of drag strokes: 1..999, one per stroke in turn

int cellAt(QPoint bodyPos)
{
    const int col = (bodyPos.x() - kGridLeft) / kCellPx, row = (bodyPos.y() - kGridTop) / kCellPx;
    if (bodyPos.x() < kGridLeft || bodyPos.y() < kGridTop || col >= kColumns || row >= kColumns)
        return -1;
    return row * kColumns + col;
}

} // namespace

// ---- overlay ---------------------------------------------------------------------------------

GridOverlay::GridOverlay(frmExpCndCustom& form, QWidget* parent) : QWidget(parent), m_form(form)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(kGridLeft - 3, kGridTop, 16 * kCellPx + 6, 16 * kCellPx);
}

void GridOverlay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int ox = 3; // the left rail's width
    if (m_form.simulating()) {
        const EnergisedCells& e = m_form.energised();
        p.fillRect(QRect(0, 0, 3, height()), QColor(255, 0, 0));
        if (e.output)
            p.fillRect(QRect(ox + 16 * kCellPx, 0, 3, height()), QColor(255, 0, 0));
        const CndDocument& doc = m_form.doc();
        for (int c = 0; c < kCells; ++c) {
            const CellPoints& hot = e.energised[size_t(c)];
            if (!hot.junction)
                continue;
            const QRect r(ox + (c % kColumns) * kCellPx, (c / kColumns) * kCellPx, kCellPx, kCellPx);
            const int code = doc.code(m_form.CurOutput, c), input = doc.input(m_form.CurOutput, c);
            p.fillRect(r, Qt::white);
            PaintSegment(p, r, code, &hot, isForeignCell(code, input));
        }
    }
    if (m_form.cursorCell() >= 0) {
        const int c = m_form.cursorCell();
        p.setPen(QPen(QColor(0, 90, 220), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(
            QRect(ox + (c % kColumns) * kCellPx + 1, (c / kColumns) * kCellPx + 1, kCellPx - 2, kCellPx - 2));
    }
}

// ---- set-up ----------------------------------------------------------------------------------

void frmExpCndCustom::setupAdditions()
{
    // The diagram area becomes the centre of an inner main window, so that the truth-table panel can
    // dock beside it; while the panel is hidden the window looks as before.
    auto* outer = static_cast<QVBoxLayout*>(layout());
    outer->removeWidget(body);
    auto* editorArea = new QMainWindow(this);
    editorArea->setObjectName(QStringLiteral("editorArea"));
    editorArea->setWindowFlags(Qt::Widget);
    editorArea->setCentralWidget(body);
    outer->addWidget(editorArea);

    dockTruthTable = new QDockWidget(QStringLiteral("Truth Table"), editorArea);
    dockTruthTable->setObjectName(QStringLiteral("dockTruthTable"));
    txtTruthTable = new QPlainTextEdit(dockTruthTable);
    txtTruthTable->setObjectName(QStringLiteral("txtTruthTable"));
    txtTruthTable->setReadOnly(true);
    txtTruthTable->setMinimumWidth(260);
    dockTruthTable->setWidget(txtTruthTable);
    editorArea->addDockWidget(Qt::RightDockWidgetArea, dockTruthTable);
    dockTruthTable->hide();
    connect(dockTruthTable, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown)
            refreshTruthTable();
    });

    mnuEdit = menuBar->addMenu(QStringLiteral("Edit"));
    mnuUndo = undoStack.createUndoAction(this, QStringLiteral("Undo"));
    mnuUndo->setShortcuts(QKeySequence::Undo);
    mnuRedo = undoStack.createRedoAction(this, QStringLiteral("Redo"));
    mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence::Redo});
    mnuEdit->addAction(mnuUndo);
    mnuEdit->addAction(mnuRedo);
    addAction(mnuUndo);
    addAction(mnuRedo);
    mnuEdit->addSeparator();
    mnuInsertRow =
        mnuEdit->addAction(QStringLiteral("Insert Row"), this, &frmExpCndCustom::mnuInsertRow_Click);
    mnuDeleteRow =
        mnuEdit->addAction(QStringLiteral("Delete Row"), this, &frmExpCndCustom::mnuDeleteRow_Click);
    mnuInsertColumn =
        mnuEdit->addAction(QStringLiteral("Insert Column"), this, &frmExpCndCustom::mnuInsertColumn_Click);
    mnuDeleteColumn =
        mnuEdit->addAction(QStringLiteral("Delete Column"), this, &frmExpCndCustom::mnuDeleteColumn_Click);
    mnuEdit->addSeparator();
    mnuTruthTable = dockTruthTable->toggleViewAction();
    mnuTruthTable->setText(QStringLiteral("Truth Table"));
    mnuEdit->addAction(mnuTruthTable);
    mnuCompare =
        mnuEdit->addAction(QStringLiteral("Compare With Module"), this, &frmExpCndCustom::mnuCompare_Click);
    mnuEdit->addSeparator();
    mnuPrint = mnuEdit->addAction(QStringLiteral("Print..."), this, &frmExpCndCustom::mnuPrint_Click);
    mnuExportPdf =
        mnuEdit->addAction(QStringLiteral("Export PDF..."), this, &frmExpCndCustom::mnuExportPdf_Click);
    mnuTwoPerPage = mnuEdit->addAction(QStringLiteral("Two Diagrams Per Page"));
    mnuTwoPerPage->setCheckable(true);

    connect(&undoStack, &QUndoStack::cleanChanged, this, &frmExpCndCustom::cleanChanged);

    // "Simulate" beside "Test": the test boxes then redraw the energised path on the diagram.
    cmdTest->setGeometry(14, 208, 70, 28);
    chkSimulate = new QPushButton(QStringLiteral("Simulate"), fraTest);
    chkSimulate->setObjectName(QStringLiteral("chkSimulate"));
    chkSimulate->setCheckable(true);
    chkSimulate->setAutoDefault(false);
    chkSimulate->setGeometry(88, 208, 70, 28);
    connect(chkSimulate, &QPushButton::toggled, this, [this] { chkSimulate_Click(); });
    for (QCheckBox* chk : chkIn)
        connect(chk, &QCheckBox::toggled, this, [this] { chkIn_Click(); });
    lblSimulate = new QLabel(body);
    lblSimulate->setObjectName(QStringLiteral("lblSimulate"));
    lblSimulate->setGeometry(fraTest->x(), fraTest->y() + fraTest->height() + 4, fraTest->width(), 22);
    lblSimulate->setAlignment(Qt::AlignCenter);
    lblSimulate->hide();

    overlay = new GridOverlay(*this, body);
    overlay->setObjectName(QStringLiteral("overlay"));
    overlay->show();

    body->setFocusPolicy(Qt::ClickFocus);
    body->installEventFilter(this);
    for (ClickLabel* img : imgSegment)
        img->installEventFilter(this);
    for (ClickLabel* img : imgSelect)
        img->installEventFilter(this);
    for (int k = 0; k < 16; ++k)
        imgSelect[size_t(k)]->setToolTip(imgSelect[size_t(k)]->toolTip() +
                                         QStringLiteral(" (key %1)").arg(QString::number(k, 16).toUpper()));
}

// ---- undo ------------------------------------------------------------------------------------

void frmExpCndCustom::edit(const QString& what, const std::function<void()>& change, int mergeId)
{
    auto before = std::make_unique<Snapshot>(Snapshot::of(m_doc));
    change();
    auto after = std::make_unique<Snapshot>(Snapshot::of(m_doc));
    if (*after == *before)
        return;
    undoStack.push(new DocumentCommand(what, m_doc, std::move(before), std::move(after), mergeId,
                                       [this] { documentChanged(); }));
    // A change marks the document changed even where the stack was already away from its saved step.
    m_session.markModified();
}

void frmExpCndCustom::documentChanged()
{
    ShowConfig();
    needsCompile();
}

void frmExpCndCustom::cleanChanged(bool clean)
{
    if (m_followingStack)
        return;
    if (clean)
        m_session.markSaved();
    else
        m_session.markModified();
}

void frmExpCndCustom::resetHistory()
{
    m_followingStack = true;
    undoStack.clear();
    if (m_session.isModified())
        undoStack.resetClean();
    else
        undoStack.setClean();
    m_followingStack = false;
}

void frmExpCndCustom::markHistorySaved()
{
    m_followingStack = true;
    undoStack.setClean();
    m_followingStack = false;
}

// ---- compile state ---------------------------------------------------------------------------

bool frmExpCndCustom::diagramChangedSinceCompile() const
{
    return !m_compiledCells || m_compiledCells[0] != m_doc.SegType || m_compiledCells[1] != m_doc.SegInput;
}

// ---- keyboard and mouse ----------------------------------------------------------------------

void frmExpCndCustom::setCursorCell(int c)
{
    m_cursor = std::clamp(c, 0, kCells - 1);
    overlay->update();
}

void frmExpCndCustom::placeAt(int cell, int code)
{
    edit(QStringLiteral("Draw"), [&] { m_doc.placeCode(CurOutput, cell, code); });
    ShowConfig();
    needsCompile();
}

bool frmExpCndCustom::gridKey(int key, Qt::KeyboardModifiers mods)
{
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const int at = m_cursor < 0 ? m_clickedCell : m_cursor;
    const int row = at / kColumns, col = at % kColumns;
    switch (key) {
    case Qt::Key_Left: setCursorCell(col > 0 ? at - 1 : at); return true;
    case Qt::Key_Right: setCursorCell(col < kColumns - 1 ? at + 1 : at); return true;
    case Qt::Key_Up: setCursorCell(row > 0 ? at - kColumns : at); return true;
    case Qt::Key_Down: setCursorCell(row < kColumns - 1 ? at + kColumns : at); return true;
    case Qt::Key_Home: setCursorCell(row * kColumns); return true;
    case Qt::Key_Delete:
        setCursorCell(at);
        placeAt(at, SegEmpty);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        setCursorCell(at);
        if (isContact(m_doc.code(CurOutput, at)))
            lblSeg_Click(at);
        return true;
    case Qt::Key_End:
        // A wire from the cursor to the right rail, over the empty cells up to the first drawn one.
        setCursorCell(at);
        edit(QStringLiteral("Wire To Rail"), [&] {
            for (int c = at; c < (row + 1) * kColumns && m_doc.code(CurOutput, c) == SegEmpty; ++c)
                m_doc.placeCode(CurOutput, c, SegWire);
        });
        ShowConfig();
        needsCompile();
        return true;
    default: break;
    }
    // A key per palette picture: its number in hexadecimal, as the palette's tips say.
    int code = -1;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        code = key - Qt::Key_0;
    else if (key >= Qt::Key_A && key <= Qt::Key_F)
        code = 10 + key - Qt::Key_A;
    if (code < 0)
        return false;
    setCursorCell(at);
    placeAt(at, code);
    setCursorCell(col < kColumns - 1 ? at + 1 : at);
    return true;
}

void frmExpCndCustom::keyPressEvent(QKeyEvent* e)
{
    if (body->hasFocus() && gridKey(e->key(), e->modifiers()))
        return;
    Form::keyPressEvent(e);
}

void frmExpCndCustom::paintStrokeTo(int cell)
{
    if (m_strokeCell < 0 || cell < 0 || cell == m_strokeCell || CurTool < SegUp || CurTool > SegWireUpDown)
        return;
    m_strokeCell = cell;
    edit(
        QStringLiteral("Draw"), [&] { m_doc.placeCode(CurOutput, cell, CurTool); },
        kStrokeIds + m_strokeId % kStrokeIds);
    edited();
    ShowConfig();
    needsCompile();
}

void frmExpCndCustom::endPaintStroke() { m_strokeCell = -1; }

bool frmExpCndCustom::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == body && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        return gridKey(k->key(), k->modifiers());
    }
    auto* label = qobject_cast<ClickLabel*>(watched);
    if (!label || (e->type() != QEvent::MouseMove && e->type() != QEvent::MouseButtonRelease &&
                   e->type() != QEvent::MouseButtonPress))
        return Form::eventFilter(watched, e);
    auto* m = static_cast<QMouseEvent*>(e);
    const auto palette = std::find(imgSelect.begin(), imgSelect.end(), label);
    if (palette != imgSelect.end()) {
        // A drag that starts on the palette carries the picture to a cell's input label.
        if (e->type() == QEvent::MouseButtonPress)
            label->setProperty("pressAt", m->position().toPoint());
        if (e->type() == QEvent::MouseMove && (m->buttons() & Qt::LeftButton) &&
            (m->position().toPoint() - label->property("pressAt").toPoint()).manhattanLength() >=
                QApplication::startDragDistance()) {
            const int k = int(palette - imgSelect.begin());
            auto* drag = new QDrag(label);
            auto* mime = new QMimeData;
            mime->setData(QLatin1String(SegLabel::kMime), QByteArray::number(k));
            drag->setMimeData(mime);
            drag->setPixmap(SegmentPicture(k, false));
            drag->setHotSpot(QPoint(kCellPx / 2, kCellPx / 2));
            drag->exec(Qt::CopyAction);
            return true;
        }
        return false;
    }
    if (std::find(imgSegment.begin(), imgSegment.end(), label) == imgSegment.end())
        return false;
    if (e->type() == QEvent::MouseButtonRelease) {
        endPaintStroke();
    } else if (e->type() == QEvent::MouseMove && (m->buttons() & Qt::LeftButton)) {
        paintStrokeTo(cellAt(label->mapTo(body, m->position().toPoint())));
    }
    return false;
}

// ---- rows and columns ------------------------------------------------------------------------

void frmExpCndCustom::shiftCells(bool rows, bool insert)
{
    const int at = m_cursor < 0 ? m_clickedCell : m_cursor;
    const LadderLine line = rows ? LadderLine::Row : LadderLine::Column;
    if (insert) {
        if (const QString why = InsertRefusal(m_doc, CurOutput, line); !why.isEmpty()) {
            host().dialogs().message(why,
                                     rows ? QStringLiteral("Insert Row") : QStringLiteral("Insert Column"),
                                     MsgIcon::Exclamation);
            return;
        }
    }
    edit(rows ? (insert ? QStringLiteral("Insert Row") : QStringLiteral("Delete Row"))
              : (insert ? QStringLiteral("Insert Column") : QStringLiteral("Delete Column")),
         [&] { ShiftLadder(m_doc, CurOutput, at, line, insert); });
    ShowConfig();
    needsCompile();
}

void frmExpCndCustom::mnuInsertRow_Click() { shiftCells(true, true); }
void frmExpCndCustom::mnuDeleteRow_Click() { shiftCells(true, false); }
void frmExpCndCustom::mnuInsertColumn_Click() { shiftCells(false, true); }
void frmExpCndCustom::mnuDeleteColumn_Click() { shiftCells(false, false); }

// ---- simulation and truth table --------------------------------------------------------------

void frmExpCndCustom::chkSimulate_Click() { refreshSimulation(); }

void frmExpCndCustom::chkIn_Click()
{
    if (simulating())
        refreshSimulation();
}

void frmExpCndCustom::refreshSimulation()
{
    if (!overlay)
        return;
    if (simulating()) {
        quint16 mask = 0;
        for (int b = 0; b < 16; ++b)
            if (chkIn[size_t(b)]->isChecked())
                mask = quint16(mask | (1u << b));
        m_energised = EnergisedPath(m_doc, CurOutput, mask);
        lblSimulate->setText(
            QStringLiteral("Quorvel Input %1 %2").arg(CurOutput + 1).arg(m_energised.output ? "On" : "Off"));
        lblSimulate->setStyleSheet(m_energised.output ? QStringLiteral("color: white; background: #FF0000;")
                                                      : QStringLiteral("color: black; background: #E0E0E0;"));
        lblSimulate->show();
    } else {
        lblSimulate->hide();
    }
    overlay->update();
}

void frmExpCndCustom::refreshTruthTable()
{
    if (!dockTruthTable || !dockTruthTable->isVisible())
        return;
    const std::vector<Product> sum = OutputProducts(m_doc, CurOutput);
    txtTruthTable->setPlainText(
        QStringLiteral("QV Input %1 is on for\n%2").arg(CurOutput + 1).arg(ExpressionText(sum)));
}

// ---- module and record -----------------------------------------------------------------------

void frmExpCndCustom::mnuCompare_Click() { CustomCompare(host(), m_doc, TransferLabel(lblComPrg)); }

void frmExpCndCustom::mnuExportPdf_Click()
{
    FileDialogRequest r;
    r.fileName = QFileInfo(fileName()).completeBaseName() + QStringLiteral(".PDF");
    if (fileName() == QLatin1String("None"))
        r.fileName = QStringLiteral("Diagram.PDF");
    r.filter = QStringLiteral("PDF Files (*.PDF)|*.PDF|All Files (*.*)|*.*");
    r.title = QStringLiteral("Export PDF");
    r.defaultSuffix = QStringLiteral("PDF");
    r.overwritePrompt = true;
    const QString chosen = host().dialogs().saveFile(r);
    if (chosen.isEmpty())
        return;
    RecordOptions options;
    options.fileName = fileName();
    options.perPage = mnuTwoPerPage->isChecked() ? 2 : 1;
    if (const QString problem = WriteRecordPdf(chosen, m_doc, options); !problem.isEmpty())
        host().dialogs().message(QDir::toNativeSeparators(chosen) + QStringLiteral("\r\n") + problem,
                                 QStringLiteral("Export PDF"), MsgIcon::Critical);
}

void frmExpCndCustom::mnuPrint_Click()
{
    QPrinter printer;
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (!host().dialogs().choosePrinter(printer))
        return;
    RecordOptions options;
    options.fileName = fileName();
    options.perPage = mnuTwoPerPage->isChecked() ? 2 : 1;
    if (!PaintRecord(printer, m_doc, options))
        host().dialogs().message(QStringLiteral("The Printer Cannot Be Used"), QStringLiteral("Print"),
                                 MsgIcon::Critical);
}

} // namespace tqdt::cnd

#include "ui/condlogic/frmExpCndCustom.h"

#include "condlogic/CdfFile.h"
#include "condlogic/CustomTransfer.h"
#include "condlogic/LogicCompiler.h"
#include "host/Host.h"
#include "print/DiagramPaint.h"
#include "ui/condlogic/TransferLabel.h"
#include "ui/condlogic/frmASelect01.h"
#include "ui/condlogic/frmExpCndNotes.h"
#include "ui/shell/DocumentMenu.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace tqdt::cnd {

using namespace cnd;

namespace {
constexpr int kCellPx = 40;
constexpr int kGridLeft = 120, kGridTop = 8;
const QString kLabelStyle = QStringLiteral("color: #0000A0; background: #FFFFC0;");
const QString kForeignLabelStyle = QStringLiteral("color: white; background: #C800A0;");
} // namespace

// ---- small widgets ---------------------------------------------------------------------------

SegLabel::SegLabel(QWidget* parent) : ClickLabel(parent) { setAcceptDrops(true); }

void SegLabel::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasFormat(QLatin1String(kMime)))
        e->acceptProposedAction();
}

void SegLabel::dropEvent(QDropEvent* e)
{
    bool ok = false;
    const int k = e->mimeData()->data(QLatin1String(kMime)).toInt(&ok);
    if (!ok || k < 0 || k > 15)
        return;
    e->acceptProposedAction();
    emit dropped(k);
}

void PressLabel::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        emit pressed();
    QLabel::mousePressEvent(e);
}

void PressLabel::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        emit released();
        if (rect().contains(e->position().toPoint()))
            emit clicked();
    }
    QLabel::mouseReleaseEvent(e);
}

LogicPictureView::LogicPictureView(const LogicPicture& picture, QWidget* parent)
    : QWidget(parent), m_picture(picture)
{
}

void LogicPictureView::paintEvent(QPaintEvent*)
{
    QImage img(kMapWidth, kMapHeight, QImage::Format_RGB32);
    for (int y = 0; y < kMapHeight; ++y)
        for (int x = 0; x < kMapWidth; ++x)
            img.setPixel(x, y, 0xFF000000u | m_picture.GetPixel(x, y));
    QPainter p(this);
    p.drawImage(rect(), img);
}

// ---- pictures --------------------------------------------------------------------------------

QPixmap SegmentPicture(int code, bool cellOutline, bool foreign)
{
    QPixmap pm(kCellPx, kCellPx);
    pm.fill(Qt::white);
    QPainter p(&pm);
    if (cellOutline) {
        p.setPen(QPen(QColor(225, 225, 225), 1, Qt::DotLine));
        p.drawRect(0, 0, kCellPx - 1, kCellPx - 1);
    }
    PaintSegment(p, QRectF(0, 0, kCellPx, kCellPx), code, nullptr, foreign);
    return pm;
}

QPixmap ToolButtonPicture(const QString& caption, bool pressed)
{
    QPixmap pm(96, 28);
    pm.fill(QColor(236, 236, 236));
    QPainter p(&pm);
    const QColor light(255, 255, 255), dark(120, 120, 120);
    p.setPen(pressed ? dark : light);
    p.drawLine(0, 0, pm.width() - 1, 0);
    p.drawLine(0, 0, 0, pm.height() - 1);
    p.setPen(pressed ? light : dark);
    p.drawLine(0, pm.height() - 1, pm.width() - 1, pm.height() - 1);
    p.drawLine(pm.width() - 1, 0, pm.width() - 1, pm.height() - 1);
    p.setPen(Qt::black);
    p.drawText(pm.rect().translated(pressed ? 1 : 0, pressed ? 1 : 0), Qt::AlignCenter, caption);
    return pm;
}

QString GeneralDate(const QDateTime& dt)
{
    const QLocale loc;
    QString time = loc.timeFormat(QLocale::LongFormat);
    time.remove(QLatin1Char('t')); // no time zone
    return loc.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           loc.toString(dt.time(), time.trimmed());
}

// ---- window ----------------------------------------------------------------------------------

namespace {
DocumentSession::Config cdfSession(Host& host, CndDocument& doc)
{
    DocumentSession::Config c;
    c.folder = host.paths().dataFolder();
    c.pattern = QStringLiteral("*.CDF");
    c.filter = QStringLiteral("Quorvel Conditional Data Files (*.CDF)|*.CDF|All Files (*.*)|*.*");
    c.read = [&doc](const QString& path) { return CdfRead(path, doc); };
    c.write = [&doc](const QString& path) { return CdfWrite(path, doc); };
    return c;
}
} // namespace

frmExpCndCustom::frmExpCndCustom(Host& host, QWidget* parent)
    : Form(host, parent), m_doc(host.document<CndDocument>()), m_session(host, cdfSession(host, m_doc)),
      m_copy(host.document<CndCopyBuffer>())
{
    setObjectName(QStringLiteral("frmExpCndCustom"));
    setWindowTitle(QStringLiteral("Conditional Input Module Configuration"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    menuBar = new QMenuBar(this);
    layout->setMenuBar(menuBar);
    const FileMenu file =
        AddFileMenu(menuBar,
                    {[this] { mnuNew_Click(); }, [this] { mnuOpen_Click(); }, [this] { mnuSave_Click(); },
                     [this] { mnuSaveAs_Click(); }, [this] { mnuExit_Click(); }},
                    {{QStringLiteral("mnuFactoryDefault"), QStringLiteral("Factory Default"),
                      [this] { mnuFactoryDefault_Click(); }}});
    mnuNew = file.mnuNew;
    mnuOpen = file.mnuOpen;
    mnuSave = file.mnuSave;
    mnuSaveAs = file.mnuSaveAs;
    mnuFactoryDefault = file.own[0];
    mnuExit = file.mnuExit;
    QMenu* connectMenu = menuBar->addMenu(QStringLiteral("Connect"));
    mnuCompile = connectMenu->addAction(QStringLiteral("Compile"), this, &frmExpCndCustom::mnuCompile_Click);
    mnuDownload =
        connectMenu->addAction(QStringLiteral("Download"), this, &frmExpCndCustom::mnuDownload_Click);
    mnuUpload = connectMenu->addAction(QStringLiteral("Upload"), this, &frmExpCndCustom::mnuUpload_Click);
    mnuNotes = menuBar->addAction(QStringLiteral("Notes"), this, &frmExpCndCustom::mnuNotes_Click);

    body = new QWidget(this);
    body->setObjectName(QStringLiteral("body"));
    body->setFixedSize(960, 690);
    layout->addWidget(body);
    body->setAutoFillBackground(true);

    for (int k = 0; k < 16; ++k) {
        m_pictures[size_t(k)] = SegmentPicture(k, true);
        m_foreignPictures[size_t(k)] = SegmentPicture(k, true, true);
    }
    // Any code outside the palette: a hatched cell that joins nothing.
    m_foreignPictures[16] = SegmentPicture(0, true, true);

    // The palette: two columns of eight pictures left of the grid.
    for (int k = 0; k < 16; ++k) {
        auto* img = new ClickLabel(body);
        img->setObjectName(QStringLiteral("imgSelect(%1)").arg(k));
        img->setPixmap(SegmentPicture(k, false));
        img->setGeometry(14 + (k / 8) * 50, kGridTop + (k % 8) * 46, kCellPx + 4, kCellPx + 4);
        img->setAlignment(Qt::AlignCenter);
        img->setLineWidth(1);
        img->setToolTip(k == 0 ? QStringLiteral("Empty") : QStringLiteral("Segment %1").arg(k));
        connect(img, &ClickLabel::clicked, this, [this, k] { imgSelect_MouseDown(k); });
        imgSelect[size_t(k)] = img;
    }
    imgCopyInput = new PressLabel(body);
    imgCopyInput->setObjectName(QStringLiteral("imgCopyInput"));
    imgCopyInput->setGeometry(12, 390, 96, 28);
    imgPasteInput = new PressLabel(body);
    imgPasteInput->setObjectName(QStringLiteral("imgPasteInput"));
    imgPasteInput->setGeometry(12, 426, 96, 28);
    const std::pair<PressLabel*, QString> toolButtons[] = {{imgCopyInput, QStringLiteral("Copy Input")},
                                                           {imgPasteInput, QStringLiteral("Paste Input")}};
    for (const auto& [btn, caption] : toolButtons) {
        PressLabel* b = btn;
        const QString cap = caption;
        b->setPixmap(ToolButtonPicture(cap, false));
        connect(b, &PressLabel::pressed, this, [b, cap] { b->setPixmap(ToolButtonPicture(cap, true)); });
        connect(b, &PressLabel::released, this, [b, cap] { b->setPixmap(ToolButtonPicture(cap, false)); });
    }
    connect(imgCopyInput, &PressLabel::clicked, this, &frmExpCndCustom::imgCopyInput_Click);
    connect(imgPasteInput, &PressLabel::clicked, this, &frmExpCndCustom::imgPasteInput_Click);

    // The rails either side of the grid.
    for (int x : {kGridLeft - 3, kGridLeft + 16 * kCellPx}) {
        auto* rail = new QFrame(body);
        rail->setObjectName(x < kGridLeft ? QStringLiteral("linLeftRail") : QStringLiteral("linRightRail"));
        rail->setGeometry(x, kGridTop, 3, 16 * kCellPx);
        rail->setStyleSheet(QStringLiteral("background: black;"));
    }

    QFont labelFont = font();
    labelFont.setPointSize(8);
    labelFont.setBold(true);
    for (int c = 0; c < kCells; ++c) {
        auto* img = new ClickLabel(body);
        img->setObjectName(QStringLiteral("imgSegment(%1)").arg(c));
        img->setGeometry((c % 16) * kCellPx + kGridLeft, (c / 16) * kCellPx + kGridTop, kCellPx, kCellPx);
        connect(img, &ClickLabel::clicked, this, [this, c] { imgSegment_Click(c); });
        imgSegment[size_t(c)] = img;
    }
    for (int c = 0; c < kCells; ++c) {
        auto* lbl = new SegLabel(body);
        lbl->setObjectName(QStringLiteral("lblSeg(%1)").arg(c));
        lbl->setGeometry((c % 16) * kCellPx + kGridLeft + 7, (c / 16) * kCellPx + kGridTop + 4, 26, 14);
        lbl->setFont(labelFont);
        lbl->setAlignment(Qt::AlignCenter);
        lbl->setStyleSheet(kLabelStyle);
        lbl->setCursor(Qt::PointingHandCursor);
        lbl->hide();
        connect(lbl, &ClickLabel::clicked, this, [this, c] { lblSeg_Click(c); });
        connect(lbl, &SegLabel::dropped, this, [this, c](int k) { lblSeg_DragDrop(c, k); });
        lblSeg[size_t(c)] = lbl;
    }

    const int panel = kGridLeft + 16 * kCellPx + 16;
    cboOutput = new QComboBox(body);
    cboOutput->setObjectName(QStringLiteral("cboOutput"));
    cboOutput->setGeometry(panel, kGridTop, 170, 26);
    connect(cboOutput, &QComboBox::activated, this, [this] { cboOutput_Click(); });

    fraTest = new QGroupBox(QStringLiteral("Test"), body);
    fraTest->setObjectName(QStringLiteral("fraTest"));
    fraTest->setGeometry(panel, 48, 170, 250);
    for (int b = 0; b < 16; ++b) {
        const QString caption = b < 8 ? QStringLiteral("I%1").arg(b + 1) : QStringLiteral("P%1").arg(b - 7);
        auto* chk = new QCheckBox(caption, fraTest);
        chk->setObjectName(QStringLiteral("chkIn(%1)").arg(b));
        chk->setGeometry(14 + (b / 8) * 80, 24 + (b % 8) * 22, 70, 20);
        chkIn[size_t(b)] = chk;
    }
    cmdTest = new QPushButton(QStringLiteral("Test"), fraTest);
    cmdTest->setObjectName(QStringLiteral("cmdTest"));
    cmdTest->setGeometry(14, 208, 142, 28);
    cmdTest->setAutoDefault(false);
    connect(cmdTest, &QPushButton::clicked, this, &frmExpCndCustom::cmdTest_Click);

    picTest = new LogicPictureView(map.picTest, body);
    picTest->setObjectName(QStringLiteral("picTest"));
    picTest->setGeometry(panel + 31, 310, kMapWidth * 3, kMapHeight * 3);
    picTest->hide();

    prgCompile = new QProgressBar(body);
    prgCompile->setObjectName(QStringLiteral("prgCompile"));
    prgCompile->setGeometry(panel, 470, 170, 20);
    prgCompile->setRange(0, kCompileSteps);
    prgCompile->hide();
    lblComPrg = new QLabel(body);
    lblComPrg->setObjectName(QStringLiteral("lblComPrg"));
    lblComPrg->setGeometry(panel, 496, 170, 20);
    lblComPrg->hide();

    lblFile = new QLabel(body);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->setGeometry(kGridLeft, kGridTop + 16 * kCellPx + 12, 16 * kCellPx, 22);
    setupAdditions();
}

void frmExpCndCustom::Form_Load()
{
    m_session.start();
    cboOutput->clear();
    for (int o = 1; o <= kOutputs; ++o)
        cboOutput->addItem(QStringLiteral("QV Input %1").arg(o));
    cboOutput->setCurrentIndex(0);
    CurOutput = 0;
    CurTool = 0;
    m_emptyChosen = false;
    ShowTool();
    ShowConfig();
    needsCompile();
    resetHistory();
}

void frmExpCndCustom::Form_Unload(bool& cancel)
{
    if (!m_session.mayClose())
        cancel = true;
}

void frmExpCndCustom::edited() { m_session.markModified(); }

void frmExpCndCustom::needsCompile()
{
    mnuCompile->setEnabled(true);
    mnuDownload->setEnabled(false);
}

void frmExpCndCustom::selectFirstOutput()
{
    cboOutput->setCurrentIndex(0);
    CurOutput = 0;
}

void frmExpCndCustom::ShowConfig()
{
    lblFile->setText(QStringLiteral("File: ") + QDir::toNativeSeparators(m_session.path()));
    for (int c = 0; c < kCells; ++c) {
        const int code = m_doc.code(CurOutput, c);
        const int input = m_doc.input(CurOutput, c);
        // A cell holding what no diagram drawn here can (uploaded from a module with foreign data) is
        // hatched, and shows what it conducts as: the compile and Test read it the same way.
        const bool foreign = isForeignCell(code, input);
        const bool drawable = code >= 0 && code <= 15;
        imgSegment[size_t(c)]->setPixmap(foreign ? m_foreignPictures[size_t(drawable ? code : 16)]
                                                 : m_pictures[size_t(code)]);
        SegLabel* lbl = lblSeg[size_t(c)];
        if (isContact(code)) {
            lbl->setText(inputLabel(input));
            if (const QString& style = foreign ? kForeignLabelStyle : kLabelStyle; lbl->styleSheet() != style)
                lbl->setStyleSheet(style);
            lbl->show();
            lbl->raise();
        } else {
            lbl->hide();
        }
    }
    refreshSimulation();
    refreshTruthTable();
}

void frmExpCndCustom::ShowTool()
{
    for (int k = 0; k < 16; ++k)
        imgSelect[size_t(k)]->setFrameShape(k == CurTool ? QFrame::Box : QFrame::NoFrame);
}

void frmExpCndCustom::imgSelect_MouseDown(int k)
{
    CurTool = k;
    if (k == 0)
        m_emptyChosen = true;
    ShowTool();
}

void frmExpCndCustom::cboOutput_Click()
{
    CurOutput = std::clamp(cboOutput->currentIndex(), 0, kOutputs - 1);
    ShowConfig();
}

void frmExpCndCustom::imgSegment_Click(int c)
{
    // A press starts a stroke: moving on over other cells with a wire or link paints them too.
    m_strokeCell = c;
    ++m_strokeId;
    // The keyboard cursor follows the click once the keyboard has shown it; before that the click
    // only tells the keyboard where to start.
    m_clickedCell = c;
    if (m_cursor >= 0)
        setCursorCell(c);
    // A click that only means "start here" must not erase what is drawn there.
    if (CurTool == 0 && !m_emptyChosen)
        return;
    edit(
        QStringLiteral("Draw"), [&] { m_doc.placeCode(CurOutput, c, CurTool); }, 1000 + m_strokeId % 1000);
    edited();
    ShowConfig();
    needsCompile();
}

void frmExpCndCustom::lblSeg_DragDrop(int c, int paletteIndex)
{
    edit(QStringLiteral("Draw"), [&] { m_doc.placeCode(CurOutput, c, paletteIndex); });
    edited();
    ShowConfig();
    needsCompile();
}

void frmExpCndCustom::lblSeg_Click(int c)
{
    CurCell = c;
    frmASelect01 sel(host(), this);
    sel.ensureLoaded();
    // The offsets count from the window's outer corner, the label's place from the client area below
    // the menu bar.
    const QPoint label = lblSeg[size_t(c)]->mapTo(body, QPoint(0, 0));
    sel.move(x() + label.x() + tw(165), y() + label.y() + tw(1035));
    host().dialogs().showModal(sel);
    if (sel.SelectResult >= 0) {
        edit(QStringLiteral("Choose Input"), [&] { m_doc.setInput(CurOutput, c, sel.SelectResult); });
        edited();
        ShowConfig();
    }
}

void frmExpCndCustom::imgCopyInput_Click()
{
    for (int c = 0; c < kCells; ++c) {
        m_copy.types[size_t(c)] = m_doc.code(CurOutput, c);
        m_copy.inputs[size_t(c)] = m_doc.input(CurOutput, c);
    }
}

void frmExpCndCustom::imgPasteInput_Click()
{
    // The buffer lasts for the run of the program, and a paste that changes the document marks it
    // changed, so that a pasted output is not lost at the next close without a question. The menus
    // stay as they are; Download tells a stale array by the cells themselves.
    edit(QStringLiteral("Paste Input"), [&] {
        for (int c = 0; c < kCells; ++c) {
            m_doc.setCode(CurOutput, c, m_copy.types[size_t(c)]);
            m_doc.setInput(CurOutput, c, m_copy.inputs[size_t(c)]);
        }
    });
    ShowConfig();
}

void frmExpCndCustom::cmdTest_Click()
{
    map.usePicture = true;
    picTest->show();
    TestMask = 0;
    for (int b = 0; b < 16; ++b)
        if (chkIn[size_t(b)]->isChecked())
            TestMask = quint16(TestMask | (1u << b));
    map.LogicLoad(m_doc, CurOutput, TestMask);
    map.LogicTest();
    picTest->repaint();
    const bool on = map.picTest.GetPixel(kRightRailX, 1) == kPureRed;
    // No title: the message box shows the application's own.
    host().dialogs().message(QStringLiteral("Quorvel Input %1%2")
                                 .arg(CurOutput + 1)
                                 .arg(on ? QStringLiteral(" On") : QStringLiteral(" Off")),
                             QString(), MsgIcon::None);
    picTest->hide();
}

void frmExpCndCustom::mnuCompile_Click()
{
    map.usePicture = false;
    map.clearMem();
    m_doc.ControlArray.fill(0);
    const QString start = GeneralDate(host().clock().localDateTime());
    prgCompile->setValue(0);
    prgCompile->show();
    const int shown = CurOutput;
    CompileFast(m_doc, m_doc.ControlArray, [this] {
        prgCompile->setValue(prgCompile->value() + 1);
        prgCompile->repaint();
    });
    CurOutput = shown;
    host().dialogs().message(
        QStringLiteral("Complete\r\n%1\r\n%2").arg(start, GeneralDate(host().clock().localDateTime())),
        QStringLiteral("Compile"), MsgIcon::None);
    prgCompile->hide();
    mnuCompile->setEnabled(false);
    mnuDownload->setEnabled(true);
    if (!m_compiledCells)
        m_compiledCells = std::make_unique<CndDocument::CellArray[]>(2);
    m_compiledCells[0] = m_doc.SegType;
    m_compiledCells[1] = m_doc.SegInput;
}

void frmExpCndCustom::mnuDownload_Click()
{
    // An input choice or a paste leaves Download enabled; the module must never receive an array
    // compiled from other cells than the ones on the screen.
    if (diagramChangedSinceCompile()) {
        if (host().dialogs().message(
                QStringLiteral("The Diagram Has Changed Since The Last Compile.\r\nCompile It Now?"),
                QStringLiteral("Download"), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
        mnuCompile_Click();
    }
    CustomDownload(host(), m_doc, TransferLabel(lblComPrg));
}

void frmExpCndCustom::mnuUpload_Click()
{
    const UploadSteps steps{TransferLabel(lblComPrg), [this] { needsCompile(); }, [this] { mnuNew_Click(); }};
    if (!CustomUpload(host(), m_doc, steps))
        return;
    ShowConfig();
    needsCompile();
    edited();
    resetHistory();
}

void frmExpCndCustom::mnuNotes_Click()
{
    // The whole visit to the notes is one undo step.
    edit(QStringLiteral("Notes"), [&] {
        frmExpCndNotes notes(
            host(), m_doc, [this] { needsCompile(); }, this);
        host().dialogs().showModal(notes);
    });
}

// ---- document --------------------------------------------------------------------------------

void frmExpCndCustom::mnuNew_Click()
{
    if (!m_session.newDocument())
        return;
    m_doc.clear();
    selectFirstOutput();
    ShowConfig();
    needsCompile();
    resetHistory();
}

void frmExpCndCustom::mnuOpen_Click()
{
    const bool loaded = m_session.open() == DocumentSession::Outcome::Done;
    selectFirstOutput();
    ShowConfig();
    needsCompile();
    if (loaded)
        resetHistory();
}

void frmExpCndCustom::mnuSave_Click()
{
    // An unnamed document goes through Save As, which shows the new name.
    if (m_session.save() == DocumentSession::Outcome::Done) {
        markHistorySaved();
        ShowConfig();
    }
}

void frmExpCndCustom::mnuSaveAs_Click()
{
    if (m_session.saveAs() == DocumentSession::Outcome::Done) {
        markHistorySaved();
        ShowConfig();
    }
}

void frmExpCndCustom::mnuFactoryDefault_Click()
{
    if (!m_session.mayDiscard({QStringLiteral("Discard Changes?"), QStringLiteral("New")}))
        return;
    edit(QStringLiteral("Factory Default"), [&] { m_doc.factoryDefault(); });
    selectFirstOutput();
    edited();
    ShowConfig();
    needsCompile();
}

void frmExpCndCustom::mnuExit_Click()
{
    if (m_session.exit())
        requestClose();
}

} // namespace tqdt::cnd

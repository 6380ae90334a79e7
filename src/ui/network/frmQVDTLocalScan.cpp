#include "ui/network/frmQVDTLocalScan.h"

#include "bus/FrameCodec.h"
#include "host/Dialogs.h"
#include "host/Host.h"

#include <QDir>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

namespace tqdt::net {

namespace {
constexpr int kHeight = 9600;
constexpr int kButtonTop = 9060;
constexpr int kDetailTop = 3840;
constexpr int kMarkerHeight = 60;
constexpr int kDimSliderLeft = 240;
constexpr int kDimSliderStep = 540;
} // namespace

frmQVDTLocalScan::frmQVDTLocalScan(Host& host, QWidget* parent)
    : Form(host, parent), scan(host), relayTest(host)
{
    setObjectName(QStringLiteral("frmQVDTLocalScan"));
    setWindowTitle(QStringLiteral("Tarvik Quorvel Diagnostic Tool - Local Scan"));
    Timer1.setInterval(10);
    Timer2.setInterval(RelayCycleTest::kTickMs);
    connect(&Timer1, &QTimer::timeout, this, &frmQVDTLocalScan::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &frmQVDTLocalScan::Timer2_Timer);
}

void frmQVDTLocalScan::Form_Load()
{
    setFixedSize(tw(kWidth), tw(kHeight));
    scan.stop();
    buildDevices();
    buildControls();
    buildAdvanced();
    fillLists();
    connectHandlers();

    chkWLIDim->setChecked(false);
    chkVarFade->setChecked(false);
    hsVarFade->setVisible(false);
    lblVarFade->setVisible(false);
    ws.frmWSStatus->setVisible(false);
    frmDO->setVisible(false);
    frmRR->setVisible(false);
    cboDONode_Click();
    cboRRNode_Click();
}

void frmQVDTLocalScan::buildDevices()
{
    frmWSDevices = placeFrame(this, QStringLiteral("frmWSDevices"), QStringLiteral("Wistra Devices"), 120,
                              120, 3360, 3600);
    frmDimmerDevices = placeFrame(this, QStringLiteral("frmDimmerDevices"), QStringLiteral("Dimmer Devices"),
                                  3600, 120, 1920, 3600);
    frmRemoteRelays = placeFrame(this, QStringLiteral("frmRemoteRelays"), QStringLiteral("Relay Devices"),
                                 5640, 120, 1920, 3600);
    // Wall station s sits in column s / 16 and row s % 16; dimmers and relay devices in one column.
    wsGrid.build(
        frmWSDevices, QStringLiteral("lblWSNode"), QStringLiteral("lblWSComError"), LocalScan::kWallStations,
        [](int s) { return (s / 16) * 720 + 240; }, [](int s) { return (s / 16) * 720 + 480; },
        [](int s) { return (s % 16) * 195 + 360; }, 195);
    auto left = [](int) { return 240; };
    auto errorLeft = [](int) { return 480; };
    auto top = [](int s) { return s * 195 + 360; };
    dimGrid.build(frmDimmerDevices, QStringLiteral("lblDimNode"), QStringLiteral("lblDimComError"),
                  LocalScan::kDimmers, left, errorLeft, top, 195);
    rrGrid.build(frmRemoteRelays, QStringLiteral("lblRRNode"), QStringLiteral("lblRRComError"),
                 LocalScan::kRelayDevices, left, errorLeft, top, 195);

    cmdStop =
        placeButton(this, QStringLiteral("cmdStop"), QStringLiteral("Start"), 120, kButtonTop, 1680, 375);
    cmdClearTotals = placeButton(this, QStringLiteral("cmdClearTotals"), QStringLiteral("Clear Totals"), 1920,
                                 kButtonTop, 1680, 375);
    cmdFindLocal = placeButton(this, QStringLiteral("cmdFindLocal"), QStringLiteral("Rescan To Find Devices"),
                               3720, kButtonTop, 2160, 375);
    lblCycleCount = placeLabel(this, QStringLiteral("lblCycleCount"), QStringLiteral("Cycle: 0"), 6000,
                               kButtonTop + 45, 1560, 285);
}

void frmQVDTLocalScan::buildControls()
{
    ws.build(this, QStringLiteral("Wistra Status"), 120, kDetailTop);

    frmDO = placeFrame(this, QStringLiteral("frmDO"), QStringLiteral("Dimmer Control/Status"), 2760,
                       kDetailTop, 2400, 5100);
    cboDONode = placeCombo(frmDO, QStringLiteral("cboDONode"), 120, 300, 2160);
    lblDOConnection = placeLabel(frmDO, QStringLiteral("lblDOConnection"), QString(), 120, 690, 2160, 285);
    lblDOConnection->setAlignment(Qt::AlignCenter);
    for (int i = 0; i < 4; ++i) {
        const int x = kDimSliderLeft + i * kDimSliderStep;
        // The slider's top is full output; its span matches the markers' travel (1710 to 4635).
        vsDO[size_t(i)] =
            placeScroll(frmDO, QStringLiteral("vsDO(%1)").arg(i), Qt::Vertical, 255, 16, x, 1710, 240, 2985);
        auto* m = new QFrame(frmDO);
        m->setObjectName(QStringLiteral("shpDimLevel(%1)").arg(i));
        m->setGeometry(tw(x + 255), tw(DimmerMarkerTop(0)), tw(195), tw(kMarkerHeight));
        m->setAutoFillBackground(true);
        paintLabel(m, QColor(0, 0, 255));
        shpDimLevel[size_t(i)] = m;
        auto* l =
            placeLabel(frmDO, QStringLiteral("lblDO(%1)").arg(i), QString::number(i + 1), x, 4740, 240, 255);
        l->setAlignment(Qt::AlignCenter);
        lblDO[size_t(i)] = l;
    }

    frmRR = placeFrame(this, QStringLiteral("frmRR"), QStringLiteral("Relay Control"), 5280, kDetailTop, 2280,
                       5100);
    cboRRNode = placeCombo(frmRR, QStringLiteral("cboRRNode"), 120, 300, 2040);
    lblRRConnection = placeLabel(frmRR, QStringLiteral("lblRRConnection"), QString(), 120, 690, 2040, 285);
    lblRRConnection->setAlignment(Qt::AlignCenter);
    for (int k = 0; k < 4; ++k) {
        auto* s = placeLabel(frmRR, QStringLiteral("lblRRStatus(%1)").arg(k),
                             QStringLiteral("Relay %1 Off").arg(k + 1), 120, 1080 + 840 * k, 2040, 315);
        s->setAlignment(Qt::AlignCenter);
        paintLabel(s, scancolour::Black, scancolour::White);
        lblRRStatus[size_t(k)] = s;
        cmdRRCmd[size_t(2 * k)] = placeButton(frmRR, QStringLiteral("cmdRRCmd(%1)").arg(2 * k),
                                              QStringLiteral("Off"), 120, 1440 + 840 * k, 960, 375);
        cmdRRCmd[size_t(2 * k + 1)] = placeButton(frmRR, QStringLiteral("cmdRRCmd(%1)").arg(2 * k + 1),
                                                  QStringLiteral("On"), 1200, 1440 + 840 * k, 960, 375);
    }
    cmdRRAllOff =
        placeButton(frmRR, QStringLiteral("cmdRRAllOff"), QStringLiteral("All Off"), 120, 4560, 960, 375);
    cmdRRAllOn =
        placeButton(frmRR, QStringLiteral("cmdRRAllOn"), QStringLiteral("All On"), 1200, 4560, 960, 375);
}

void frmQVDTLocalScan::buildAdvanced()
{
    // Everything here lies right of the window's first width and shows only once the area is opened.
    auto header = [this](int i, const QString& caption, int left, int top) {
        auto* l = placeLabel(this, QStringLiteral("lblHeader(%1)").arg(i), caption, left, top, 3480, 285);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        lblHeader[size_t(i)] = l;
    };
    constexpr int L = 7920;
    constexpr int R = 11640;
    header(0, QStringLiteral("Advanced Dimmer Control"), L, 120);
    chkVarFade = placeCheck(this, QStringLiteral("chkVarFade"), QStringLiteral("Enable Variable Fade Rate"),
                            L, 480, 3360);
    hsVarFade = placeScroll(this, QStringLiteral("hsVarFade"), Qt::Horizontal, LocalScan::kFadeMax, 32, L,
                            840, 3360, 255);
    lblVarFade =
        placeLabel(this, QStringLiteral("lblVarFade"), QStringLiteral("0 Seconds"), L, 1140, 3360, 285);
    chkWLIDim = placeCheck(this, QStringLiteral("chkWLIDim"), QStringLiteral("Scan Dimmers in WLI Mode"), L,
                           1500, 3360);
    lblDimCmdDef = placeLabel(this, QStringLiteral("lblDimCmdDef"), QStringLiteral("Dimmer Command"), L, 1860,
                              3360, 285);
    lblDimCmd = placeLabel(this, QStringLiteral("lblDimCmd"), QString(), L, 2160, 7200, 285);
    lblDimCmd->setFont(QFont(QStringLiteral("monospace"), font().pointSize()));

    header(2, QStringLiteral("Touch Screen Commands"), R, 120);
    cmdTXRTC = placeButton(this, QStringLiteral("cmdTXRTC"), QStringLiteral("TX RTC to Touch Screen"), R, 480,
                           3360, 375);
    cmdTXProfile = placeButton(this, QStringLiteral("cmdTXProfile"),
                               QStringLiteral("TX Profile Number to Touch Screen"), R, 960, 3360, 375);
    cboProfile = placeCombo(this, QStringLiteral("cboProfile"), R, 1440, 1200);

    header(3, QStringLiteral("4 Photocell ControllerTester"), L, 2760);
    chkPCTest =
        placeCheck(this, QStringLiteral("chkPCTest"), QStringLiteral("Run Photocell Test"), L, 3120, 3360);
    for (int p = 0; p < kPhotocells; ++p) {
        const int y = 3480 + 360 * p;
        lblPCTest[size_t(p)] =
            placeLabel(this, QStringLiteral("lblPCTest(%1)").arg(p),
                       QStringLiteral("Photocell %1 - Address %2")
                           .arg(p + 1)
                           .arg(QString::fromLatin1(Hex2(qint16(kFirstPhotocellAddress + p)))),
                       L, y, 2520, 285);
        lblPCTestTarget[size_t(p)] =
            placeLabel(this, QStringLiteral("lblPCTestTarget(%1)").arg(p),
                       QStringLiteral("Target %1").arg(kPhotocellTargets[size_t(p)]), L + 2580, y, 1080, 285);
        auto* v =
            placeLabel(this, QStringLiteral("lblPCTestVal(%1)").arg(p), QString(), L + 3720, y, 1080, 285);
        v->setAlignment(Qt::AlignCenter);
        lblPCTestVal[size_t(p)] = v;
        auto* c = placeLabel(this, QStringLiteral("lblPCTestCOM(%1)").arg(p), QStringLiteral("COM"), L + 4920,
                             y, 720, 285);
        c->setAlignment(Qt::AlignCenter);
        lblPCTestCOM[size_t(p)] = c;
    }

    header(1, QStringLiteral("Relay Cycle Test"), L, 5160);
    lblRlyCycCnt =
        placeLabel(this, QStringLiteral("lblRlyCycCnt"), QStringLiteral("Relays"), L, 5580, 960, 285);
    cboRlyCycCnt = placeCombo(this, QStringLiteral("cboRlyCycCnt"), L + 1020, 5550, 1560);
    lblRlyCycInt =
        placeLabel(this, QStringLiteral("lblRlyCycInt"), QStringLiteral("Interval"), L, 6000, 960, 285);
    cboRlyCycInt = placeCombo(this, QStringLiteral("cboRlyCycInt"), L + 1020, 5970, 1560);
    lblRlyCycDly =
        placeLabel(this, QStringLiteral("lblRlyCycDly"), QStringLiteral("Delay"), L, 6420, 960, 285);
    cboRlyCycDly = placeCombo(this, QStringLiteral("cboRlyCycDly"), L + 1020, 6390, 1560);
    cmdRlyCycTst =
        placeButton(this, QStringLiteral("cmdRlyCycTst"), QStringLiteral("Start Test"), L, 6900, 2580, 375);
    lblRlyCycRun =
        placeLabel(this, QStringLiteral("lblRlyCycRun"), QStringLiteral("Cycle: 0"), L, 7380, 2580, 285);
}

void frmQVDTLocalScan::fillLists()
{
    ws.fillList(QStringLiteral("Wistra: "), LocalScan::kWallStations);
    for (QComboBox* c : {cboDONode, cboRRNode}) {
        c->clear();
        c->addItem(QStringLiteral("Select Node"));
        for (int a = 1; a <= 16; ++a)
            c->addItem(QStringLiteral("Device: ") + QString::fromLatin1(Hex2(qint16(a))));
        c->setCurrentIndex(0);
    }
    cboProfile->clear();
    for (int p = 0; p < 128; ++p)
        cboProfile->addItem(QStringLiteral("%1").arg(p, 2, 10, QLatin1Char('0')));
    cboProfile->setCurrentIndex(0);
    cboRlyCycCnt->clear();
    for (int j = 0; j < RelayCycleTest::kRelays; ++j)
        cboRlyCycCnt->addItem(QStringLiteral("1 to %1").arg(j + 1));
    cboRlyCycInt->clear();
    for (int j = 0; j < RelayCycleTest::kIntervals; ++j)
        cboRlyCycInt->addItem(QStringLiteral("%1 Seconds").arg((j + 1) * 5));
    cboRlyCycDly->clear();
    for (int j = 0; j < RelayCycleTest::kDelays; ++j)
        cboRlyCycDly->addItem(QStringLiteral("%1 mSec").arg(j));
    for (QComboBox* c : {cboRlyCycCnt, cboRlyCycInt, cboRlyCycDly})
        c->setCurrentIndex(0);
}

void frmQVDTLocalScan::connectHandlers()
{
    connect(cmdStop, &QPushButton::clicked, this, &frmQVDTLocalScan::cmdStop_Click);
    connect(cmdClearTotals, &QPushButton::clicked, this, &frmQVDTLocalScan::cmdClearTotals_Click);
    connect(cmdFindLocal, &QPushButton::clicked, this, &frmQVDTLocalScan::cmdFindLocal_Click);
    ws.connectTo(this, &frmQVDTLocalScan::cboWSNode_Click, &frmQVDTLocalScan::optWSType_Click,
                 &frmQVDTLocalScan::vsPilot_Change, &frmQVDTLocalScan::settingsChanged);
    connect(cboDONode, &QComboBox::currentIndexChanged, this, &frmQVDTLocalScan::cboDONode_Click);
    connect(cboRRNode, &QComboBox::currentIndexChanged, this, &frmQVDTLocalScan::cboRRNode_Click);
    for (QScrollBar* s : vsDO)
        connect(s, &QScrollBar::valueChanged, this, &frmQVDTLocalScan::settingsChanged);
    for (int i = 0; i < 8; ++i)
        connect(cmdRRCmd[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdRRCmd_Click(i); });
    connect(cmdRRAllOff, &QPushButton::clicked, this, &frmQVDTLocalScan::cmdRRAllOff_Click);
    connect(cmdRRAllOn, &QPushButton::clicked, this, &frmQVDTLocalScan::cmdRRAllOn_Click);
    connect(chkVarFade, &QCheckBox::clicked, this, &frmQVDTLocalScan::chkVarFade_Click);
    connect(chkWLIDim, &QCheckBox::clicked, this, &frmQVDTLocalScan::chkWLIDim_Click);
    // Dragging the thumb is the bar's Scroll, any other change its Change; both set the fade.
    connect(hsVarFade, &QScrollBar::valueChanged, this,
            [this] { hsVarFade->isSliderDown() ? hsVarFade_Scroll() : hsVarFade_Change(); });
    connect(cmdTXProfile, &QPushButton::clicked, this, &frmQVDTLocalScan::cmdTXProfile_Click);
    connect(cmdTXRTC, &QPushButton::clicked, this, &frmQVDTLocalScan::cmdTXRTC_Click);
    connect(cboProfile, &QComboBox::currentIndexChanged, this, &frmQVDTLocalScan::settingsChanged);
    connect(chkPCTest, &QCheckBox::toggled, this, &frmQVDTLocalScan::settingsChanged);
    for (QComboBox* c : {cboRlyCycCnt, cboRlyCycInt, cboRlyCycDly})
        connect(c, &QComboBox::currentIndexChanged, this, &frmQVDTLocalScan::settingsChanged);
    connect(cmdRlyCycTst, &QPushButton::clicked, this, &frmQVDTLocalScan::cmdRlyCycTst_Click);
    for (int s = 0; s < LocalScan::kWallStations; ++s)
        connect(wsGrid.node[size_t(s)], &ClickLabel::clicked, this, [this, s] { lblWSNode_Click(s); });
    for (int s = 0; s < LocalScan::kDimmers; ++s) {
        connect(dimGrid.node[size_t(s)], &ClickLabel::clicked, this, [this, s] { lblDimNode_Click(s); });
        connect(rrGrid.node[size_t(s)], &ClickLabel::clicked, this, [this, s] { lblRRNode_Click(s); });
    }
}

// The controls the next cycle reads, handed to the model as they change.
void frmQVDTLocalScan::settingsChanged()
{
    scan.pilots = ws.pilots();
    for (size_t i = 0; i < vsDO.size(); ++i)
        scan.dimmerSliders[i] = vsDO[i]->value();
    scan.profile = cboProfile->currentIndex();
    scan.photocellTest = chkPCTest->isChecked();
    relayTest.relaysEntry = cboRlyCycCnt->currentIndex();
    relayTest.intervalEntry = cboRlyCycInt->currentIndex();
    relayTest.delayEntry = cboRlyCycDly->currentIndex();
}

void frmQVDTLocalScan::Form_Activate()
{
    settingsChanged();
    ClearFound();
    ClearTotals();
    repaintNow(*this);
    FindNodes();
    scan.TXProfilePending = false;
    scan.TXRTCPending = false;
    scan.AdvancedMode = false;
    // Unattended screenshots of the advanced area and of a running scan.
    if (ScreenshotAsks("TQDT_ADVANCED"))
        Form_MouseDown(Qt::RightButton, Qt::ShiftModifier, 0, 0);
    if (ScreenshotAsks("TQDT_SCANNING")) {
        cmdStop_Click();
        SelectFirstFound(ws.cboWSNode, scan.wallStations);
        SelectFirstFound(cboDONode, scan.dimmers);
        SelectFirstFound(cboRRNode, scan.relayDevices);
        Timer1_Timer();
    }
}

void frmQVDTLocalScan::Form_Unload(bool&)
{
    Timer1.stop();
    scan.stop();
    // A run's closing lines carry its total; closing the window must not lose them.
    if (relayTest.TestRunning)
        stopRelayTest();
}

void frmQVDTLocalScan::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    Form_MouseDown(e->button(), e->modifiers(), p.x() * 15, p.y() * 15);
    Form::mousePressEvent(e);
}

void frmQVDTLocalScan::Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int xTwips,
                                      int yTwips)
{
    if (button != Qt::RightButton || mods != Qt::ShiftModifier || xTwips > 75 || yTwips > 75)
        return;
    setFixedSize(tw(kAdvancedWidth), height());
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center().x() - width() / 2, y());
    scan.AdvancedMode = true;
    cboRRNode_Click();
}

void frmQVDTLocalScan::setScanButtons(bool enabled)
{
    cmdClearTotals->setEnabled(enabled);
    cmdFindLocal->setEnabled(enabled);
}

void frmQVDTLocalScan::cmdStop_Click()
{
    if (!scan.isScanning()) {
        scan.start();
        // Lists that point at a device no longer found fall back to "Select Node".
        ws.cboWSNode->setCurrentIndex(scan.wsEntry);
        cboDONode->setCurrentIndex(scan.dimEntry);
        cboRRNode->setCurrentIndex(scan.rrEntry);
        Timer1.start();
        cmdStop->setText(QStringLiteral("Stop"));
        setScanButtons(false);
        cmdRlyCycTst->setEnabled(false);
    } else {
        scan.stop();
        Timer1.stop();
        cmdStop->setText(QStringLiteral("Start"));
        setScanButtons(true);
        cmdRlyCycTst->setEnabled(true);
    }
    ws.frmWSStatus->setVisible(scan.isScanning());
    frmDO->setVisible(scan.isScanning());
    frmRR->setVisible(scan.isScanning());
}

void frmQVDTLocalScan::cmdFindLocal_Click()
{
    ws.cboWSNode->setCurrentIndex(0);
    cboDONode->setCurrentIndex(0);
    cboRRNode->setCurrentIndex(0);
    FindNodes();
}

void frmQVDTLocalScan::cboWSNode_Click()
{
    scan.wsEntry = ws.cboWSNode->currentIndex();
    ws.showDetails(scan.wallStations.found(SlotOfEntry(scan.wsEntry)));
}

void frmQVDTLocalScan::cboDONode_Click()
{
    scan.dimEntry = cboDONode->currentIndex();
    const bool shown = scan.dimmers.found(SlotOfEntry(scan.dimEntry));
    lblDOConnection->setVisible(shown);
    for (size_t i = 0; i < 4; ++i) {
        lblDO[i]->setVisible(shown);
        vsDO[i]->setVisible(shown);
        shpDimLevel[i]->setVisible(shown);
    }
}

void frmQVDTLocalScan::cboRRNode_Click()
{
    scan.rrEntry = cboRRNode->currentIndex();
    const bool shown = scan.relayDevices.found(SlotOfEntry(scan.rrEntry));
    lblRRConnection->setVisible(shown);
    for (QLabel* l : lblRRStatus)
        l->setVisible(shown);
    for (QPushButton* b : cmdRRCmd)
        b->setVisible(shown);
    cmdRRAllOff->setVisible(shown && scan.AdvancedMode);
    cmdRRAllOn->setVisible(shown && scan.AdvancedMode);
}

void frmQVDTLocalScan::ShowDimFade()
{
    lblVarFade->setText(FadeCaption(hsVarFade->value(), chkWLIDim->isChecked()));
}

void frmQVDTLocalScan::chkVarFade_Click()
{
    scan.varFade = chkVarFade->isChecked();
    hsVarFade->setVisible(scan.varFade);
    lblVarFade->setVisible(scan.varFade);
}

void frmQVDTLocalScan::chkWLIDim_Click()
{
    scan.setWliMode(chkWLIDim->isChecked());
    hsVarFade->setValue(0);
    hsVarFade->setMaximum(scan.fadeMax());
    ShowDimFade();
}

void frmQVDTLocalScan::hsVarFade_Change()
{
    scan.setFade(hsVarFade->value());
    ShowDimFade();
}

void frmQVDTLocalScan::lblWSNode_Click(int index)
{
    NodeClick(scan.isScanning(), wsGrid, scan.wallStations, ws.cboWSNode, index);
}

void frmQVDTLocalScan::lblDimNode_Click(int index)
{
    NodeClick(scan.isScanning(), dimGrid, scan.dimmers, cboDONode, index);
}

void frmQVDTLocalScan::lblRRNode_Click(int index)
{
    NodeClick(scan.isScanning(), rrGrid, scan.relayDevices, cboRRNode, index);
}

NodeGrid& frmQVDTLocalScan::grid(Family f)
{
    if (f == Family::Dimmer)
        return dimGrid;
    if (f == Family::RelayDevice)
        return rrGrid;
    return wsGrid;
}

void frmQVDTLocalScan::connectionShown(Family f, bool ok)
{
    QLabel* l = f == Family::Dimmer        ? lblDOConnection
                : f == Family::RelayDevice ? lblRRConnection
                                           : ws.lblWSConnection;
    showConnection(l, ok);
}

void frmQVDTLocalScan::dimmerShown(const std::array<int, 4>& markerTops)
{
    for (size_t i = 0; i < markerTops.size(); ++i) {
        QFrame* m = shpDimLevel[i];
        if (m->y() != tw(markerTops[i]))
            m->move(m->x(), tw(markerTops[i]));
    }
}

void frmQVDTLocalScan::relayStatusShown(qint16 status)
{
    for (int k = 0; k < 4; ++k) {
        const bool on = (status >> k) & 1;
        lblRRStatus[size_t(k)]->setText(QStringLiteral("Relay %1 %2").arg(k + 1).arg(on ? "On" : "Off"));
        paintLabel(lblRRStatus[size_t(k)], on ? scancolour::White : scancolour::Black,
                   on ? scancolour::Black : scancolour::White);
    }
}

void frmQVDTLocalScan::photocellShown(int p, int level, bool inWindow)
{
    if (p < 0 || p >= kPhotocells)
        return;
    QLabel* com = lblPCTestCOM[size_t(p)];
    QLabel* val = lblPCTestVal[size_t(p)];
    if (level < 0) {
        paintLabel(com, scancolour::Red);
        paintLabel(val, scancolour::Red);
        val->setText(QStringLiteral("-"));
        return;
    }
    paintLabel(com, scancolour::Green);
    paintLabel(val, inWindow ? scancolour::Green : scancolour::Red);
    val->setText(QString::number(level) + QStringLiteral("/255"));
}

void frmQVDTLocalScan::cmdRlyCycTst_Click()
{
    if (relayTest.TestRunning) {
        stopRelayTest();
        return;
    }
    settingsChanged();
    if (!relayTest.start()) {
        host().dialogs().message(QStringLiteral("Unable To Create The Result File:\r\n") +
                                     QDir::toNativeSeparators(relayTest.ResultFile),
                                 QStringLiteral("Relay Cycle Test"), MsgIcon::Critical);
        return;
    }
    lblRlyCycRun->setText(QStringLiteral("Cycle: 0"));
    cmdStop->setEnabled(false);
    setScanButtons(false);
    cmdRlyCycTst->setText(QStringLiteral("Stop Test"));
    Timer2.start();
}

void frmQVDTLocalScan::Timer2_Timer()
{
    relayTest.Timer2_Timer();
    lblRlyCycRun->setText(QStringLiteral("Cycle: %1").arg(relayTest.TestTicks));
}

void frmQVDTLocalScan::stopRelayTest()
{
    Timer2.stop();
    bool written = relayTest.stop();
    cmdRlyCycTst->setText(QStringLiteral("Start Test"));
    cmdStop->setEnabled(true);
    setScanButtons(true);
    // The result lines stay in memory while the file refuses them; the technician may free the
    // disk or the file and try again.
    while (!written && host().dialogs().message(QStringLiteral("Unable To Write The Result File:\r\n") +
                                                    QDir::toNativeSeparators(relayTest.ResultFile),
                                                QStringLiteral("Relay Cycle Test"), MsgIcon::Critical,
                                                MsgButtons::RetryCancel) == MsgAnswer::Retry)
        written = relayTest.flush();
    if (written)
        host().dialogs().message(QStringLiteral("Results in file: \r\n") +
                                     QDir::toNativeSeparators(relayTest.ResultFile),
                                 QStringLiteral("Relay Cycle Test"), MsgIcon::None, MsgButtons::Ok);
}

} // namespace tqdt::net

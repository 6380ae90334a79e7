#include "ui/network/frmQVDTNetworkScan.h"

#include "bus/FrameCodec.h"

namespace tqdt::net {

namespace {
constexpr int kFrameTop = 120;
constexpr int kGridHeight = 6720;
} // namespace

frmQVDTNetworkScan::frmQVDTNetworkScan(Host& host, QWidget* parent) : Form(host, parent), scan(host)
{
    setObjectName(QStringLiteral("frmQVDTNetworkScan"));
    setWindowTitle(QStringLiteral("Tarvik Quorvel Diagnostic Tool - Network Scan"));
    Timer1.setInterval(10);
    connect(&Timer1, &QTimer::timeout, this, &frmQVDTNetworkScan::Timer1_Timer);
}

void frmQVDTNetworkScan::Form_Load()
{
    setFixedSize(tw(15660), tw(8940));
    scan.stop();

    // Slot s sits in column s / 32 and row s % 32 of its family's grid.
    frmNCPanels = placeFrame(this, QStringLiteral("frmNCPanels"), QStringLiteral("Panels"), 120, kFrameTop,
                             5040, kGridHeight);
    frmNCWSDevices = placeFrame(this, QStringLiteral("frmNCWSDevices"),
                                QStringLiteral("Network Wistra Devices"), 5280, kFrameTop, 5040, kGridHeight);
    auto nodeLeft = [](int s) { return (s / 32) * 590 + 240; };
    auto errorLeft = [](int s) { return (s / 32) * 590 + 435; };
    panelGrid.build(
        frmNCPanels, QStringLiteral("lblPanelNode"), QStringLiteral("lblPanelComError"), NetworkScan::kSlots,
        nodeLeft, errorLeft, [](int s) { return (s % 32) * 195 + 240; }, 195);
    wsGrid.build(
        frmNCWSDevices, QStringLiteral("lblNCWSNode"), QStringLiteral("lblNCWSComError"), NetworkScan::kSlots,
        nodeLeft, errorLeft, [](int s) { return (s % 32) * 180 + 240; }, 180);
    for (int s = 0; s < NetworkScan::kSlots; ++s) {
        connect(panelGrid.node[size_t(s)], &ClickLabel::clicked, this, [this, s] { lblPanelNode_Click(s); });
        connect(wsGrid.node[size_t(s)], &ClickLabel::clicked, this, [this, s] { lblNCWSNode_Click(s); });
    }

    frmPanel = placeFrame(this, QStringLiteral("frmPanel"), QStringLiteral("Panel Relay Status"), 10440,
                          kFrameTop, 5100, 3780);
    cboPnlNode = placeCombo(frmPanel, QStringLiteral("cboPnlNode"), 120, 300, 2280);
    lblPnlConnection =
        placeLabel(frmPanel, QStringLiteral("lblPnlConnection"), QString(), 2520, 300, 2460, 330);
    lblPnlConnection->setAlignment(Qt::AlignCenter);
    frmRelayStatus = placeFrame(frmPanel, QStringLiteral("frmRelayStatus"), QString(), 60, 780, 4980, 2880);
    for (int r = 0; r < NetworkScan::kRelays; ++r) {
        auto* l = placeClickLabel(frmRelayStatus, QStringLiteral("lblRlySts(%1)").arg(r),
                                  QStringLiteral("%1").arg(r + 1, 2, 10, QLatin1Char('0')),
                                  (r / 8) * 600 + 90, (r % 8) * 300 + 240, 480, 255);
        l->setAlignment(Qt::AlignCenter);
        paintLabel(l, scancolour::Black, scancolour::White);
        connect(l, &ClickLabel::clicked, this, [this, r] { lblRlySts_Click(r); });
        lblRlySts[size_t(r)] = l;
    }

    ws.build(this, QStringLiteral("Network Wistra Status"), 10440, 3960);
    cmdStop = placeButton(this, QStringLiteral("cmdStop"), QStringLiteral("Start"), 13200, 4080, 2340, 375);
    cmdClearTotals = placeButton(this, QStringLiteral("cmdClearTotals"), QStringLiteral("Clear Totals"),
                                 13200, 4560, 2340, 375);
    cmdFindLocal = placeButton(this, QStringLiteral("cmdFindLocal"), QStringLiteral("Rescan To Find Devices"),
                               13200, 5040, 2340, 375);
    lblCycleCount =
        placeLabel(this, QStringLiteral("lblCycleCount"), QStringLiteral("Cycle: 0"), 13200, 5580, 2340, 285);
    connect(cmdStop, &QPushButton::clicked, this, &frmQVDTNetworkScan::cmdStop_Click);
    connect(cmdClearTotals, &QPushButton::clicked, this, &frmQVDTNetworkScan::cmdClearTotals_Click);
    connect(cmdFindLocal, &QPushButton::clicked, this, &frmQVDTNetworkScan::cmdFindLocal_Click);

    cboPnlNode->addItem(QStringLiteral("Select Node"));
    for (int a = 1; a <= NetworkScan::kSlots; ++a)
        cboPnlNode->addItem(QStringLiteral("Panel: ") + QString::fromLatin1(Hex2(qint16(a))));
    cboPnlNode->setCurrentIndex(0);
    ws.fillList(QStringLiteral("Wistra: "), NetworkScan::kSlots);
    connect(cboPnlNode, &QComboBox::currentIndexChanged, this, &frmQVDTNetworkScan::cboPnlNode_Click);
    ws.connectTo(this, &frmQVDTNetworkScan::cboWSNode_Click, &frmQVDTNetworkScan::optWSType_Click,
                 &frmQVDTNetworkScan::vsPilot_Change, &frmQVDTNetworkScan::pilotsChanged);
    pilotsChanged();

    frmPanel->setVisible(false);
    ws.frmWSStatus->setVisible(false);
    cboPnlNode_Click();
}

void frmQVDTNetworkScan::Form_Activate()
{
    ClearFound();
    ClearTotals();
    repaintNow(*this);
    FindNodes();
    if (ScreenshotAsks("TQDT_SCANNING")) {
        cmdStop_Click();
        SelectFirstFound(cboPnlNode, scan.panels);
        SelectFirstFound(ws.cboWSNode, scan.wallStations);
        Timer1_Timer();
    }
}

void frmQVDTNetworkScan::Form_Unload(bool&)
{
    Timer1.stop();
    scan.stop();
}

void frmQVDTNetworkScan::FindNodes() { scan.FindNodes(*this); }

void frmQVDTNetworkScan::cmdStop_Click()
{
    if (!scan.isScanning()) {
        scan.start();
        // Lists that point at a device no longer found fall back to "Select Node".
        cboPnlNode->setCurrentIndex(scan.panelEntry());
        ws.cboWSNode->setCurrentIndex(scan.wsEntry());
        Timer1.start();
        cmdStop->setText(QStringLiteral("Stop"));
        cmdClearTotals->setEnabled(false);
        cmdFindLocal->setEnabled(false);
        frmPanel->setVisible(true);
        ws.frmWSStatus->setVisible(true);
    } else {
        scan.stop();
        Timer1.stop();
        cmdStop->setText(QStringLiteral("Start"));
        cmdClearTotals->setEnabled(true);
        cmdFindLocal->setEnabled(true);
        frmPanel->setVisible(false);
        ws.frmWSStatus->setVisible(false);
    }
}

void frmQVDTNetworkScan::cmdFindLocal_Click()
{
    cboPnlNode->setCurrentIndex(0);
    ws.cboWSNode->setCurrentIndex(0);
    FindNodes();
}

void frmQVDTNetworkScan::cboPnlNode_Click()
{
    scan.selectPanel(cboPnlNode->currentIndex());
    const bool found = scan.panels.found(SlotOfEntry(scan.panelEntry()));
    lblPnlConnection->setVisible(found);
    frmRelayStatus->setVisible(found);
}

void frmQVDTNetworkScan::cboWSNode_Click()
{
    scan.selectWallStation(ws.cboWSNode->currentIndex());
    ws.showDetails(scan.wallStations.found(SlotOfEntry(scan.wsEntry())));
}

void frmQVDTNetworkScan::lblRlySts_Click(int index)
{
    if (index < 0 || index >= NetworkScan::kRelays)
        return;
    scan.clickRelay(index);
}

void frmQVDTNetworkScan::relayImageShown(const std::array<qint16, 8>& image)
{
    for (int r = 0; r < NetworkScan::kRelays; ++r) {
        const bool on = (image[size_t(r / 8)] >> (r % 8)) & 1;
        paintLabel(lblRlySts[size_t(r)], on ? scancolour::White : scancolour::Black,
                   on ? scancolour::Black : scancolour::White);
    }
}

void frmQVDTNetworkScan::lblPanelNode_Click(int index)
{
    NodeClick(scan.isScanning(), panelGrid, scan.panels, cboPnlNode, index);
}

void frmQVDTNetworkScan::lblNCWSNode_Click(int index)
{
    NodeClick(scan.isScanning(), wsGrid, scan.wallStations, ws.cboWSNode, index);
}

} // namespace tqdt::net

#include "ui/gateway/frmMGW.h"
#include "documents/CsvPath.h"

#include "gateway/GatewayCsv.h"
#include "gateway/GatewayTransfer.h"
#include "host/Host.h"
#include "ui/shell/DocumentMenu.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QMenuBar>
#include <QProgressBar>

namespace tqdt::gw {

namespace {
const QString kTitle = QStringLiteral("Tarvik Quorvel");
const QString kFilter = QStringLiteral("Quorvel Data Files (*.MGW)|*.MGW|All Files (*.*)|*.*");
const QString kFolder = QStringLiteral("Tarvik Quorvel Mapped Gateway");
constexpr int kClientW = 10200; // twips
constexpr int kClientH = 7860;
constexpr int kFrameLeft = 240, kFrameTop = 1620, kFrameW = 9720, kFrameH = 5700;

QStringList numbered(const QString& prefix, int from, int to, int width, int base = 10)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << prefix + QString::number(i, base).toUpper().rightJustified(width, QLatin1Char('0'));
    return out;
}

QStringList nodeEntries() { return numbered(QStringLiteral("Node: "), 1, 254, 2, 16); }

const QStringList& typeTexts()
{
    static const QStringList texts = {
        QStringLiteral("Unused"),
        QStringLiteral("Single Relay On/Off"),
        QStringLiteral("Single Relay On/Timer Off"),
        QStringLiteral("Multi Relay On/Off (Points 001-050 Only)"),
        QStringLiteral("Multi Relay On/Timer Off (Points 001-050 Only)"),
        QStringLiteral("Quorvel Group On/Off"),
        QStringLiteral("Quorvel Group On/Timer Off"),
        QStringLiteral("Quorvel Preset"),
        QStringLiteral("Wistra On Input - Maintained"),
        QStringLiteral("Wistra Off Input - Maintained"),
    };
    return texts;
}

QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption)
{
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(name);
    f->setGeometry(tw(kFrameLeft), tw(kFrameTop), tw(kFrameW), tw(kFrameH));
    f->setVisible(false);
    return f;
}
} // namespace

frmMGW::frmMGW(Host& host, QWidget* parent)
    : Form(host, parent), m_image(host.document<GatewayImage>()), m_session(host, [this, &host] {
          DocumentSession::Config c;
          c.folder = host.paths().sibling(kFolder);
          c.pattern = QStringLiteral("*.MGW");
          c.filter = kFilter;
          c.discardOnNew = c.discardOnOpen = c.discardOnExit =
              c.discardOnClose = {QStringLiteral("Discard Any Changes?"), kTitle};
          c.askAgainOnCloseAfterExit = false;
          c.saveAsStartsFromLastName = true;
          // A Save As that accepted existing files only could never name a new map.
          c.saveMustExist = false;
          c.read = [this](const QString& path) { return MgwRead(path, m_image); };
          c.write = [this](const QString& path) { return MgwWrite(path, m_image); };
          return c;
      }())
{
    setObjectName(QStringLiteral("frmMGW"));
    setWindowTitle(QStringLiteral("Tarvik Quorvel Brimlock Mapped Gateway"));
    buildMenus();
    const int menuH = menuBar->sizeHint().height();
    setFixedSize(tw(kClientW), tw(kClientH) + menuH);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setGeometry(0, menuH, tw(kClientW), tw(kClientH));
    QWidget* controls = buildFrames(client);
    controls->setObjectName(QStringLiteral("controls"));

    lblFileName = placeLabel(client, QStringLiteral("lblFileName"), QString(), 240, 7440, 9720, 285);

    frmUpDown = new QGroupBox(client);
    frmUpDown->setObjectName(QStringLiteral("frmUpDown"));
    frmUpDown->setGeometry(tw(2160), tw(2700), tw(5880), tw(2100));
    frmUpDown->setAutoFillBackground(true);
    lblProgress = placeLabel(frmUpDown, QStringLiteral("lblProgress"), QString(), 240, 480, 5400, 285);
    lblProgress->setAlignment(Qt::AlignCenter);
    prgUpDown = new QProgressBar(frmUpDown);
    prgUpDown->setObjectName(QStringLiteral("prgUpDown"));
    prgUpDown->setGeometry(tw(240), tw(900), tw(5400), tw(375));
    prgUpDown->setTextVisible(false);
    cmdCancel =
        placeButton(frmUpDown, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), 2160, 1440, 1560, 420);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMGW::cmdCancel_Click);
    frmUpDown->setVisible(false);

    m_image.setChangeHook([this](bool changed) {
        if (changed)
            m_session.markModified();
        else
            m_session.markSaved();
    });
}

frmMGW::~frmMGW() { m_image.setChangeHook({}); }

void frmMGW::buildMenus()
{
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    auto action = [this](QAction* a, const QString& name, void (frmMGW::*slot)()) {
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    const FileMenu file = AddFileMenu(menuBar,
                                      {[this] { mnuFileNew_Click(); }, [this] { mnuFileOpen_Click(); },
                                       [this] { mnuFileSave_Click(); }, [this] { mnuFileSaveAs_Click(); },
                                       [this] { mnuExit_Click(); }},
                                      {});
    mnuFile = file.menu;
    mnuFileNew = file.mnuNew;
    mnuFileOpen = file.mnuOpen;
    mnuFileSave = file.mnuSave;
    mnuFileSaveAs = file.mnuSaveAs;
    mnuExit = file.mnuExit;
    UseFileCommandNames(file);
    mnuDownload = action(menuBar->addAction(QStringLiteral("Download")), QStringLiteral("mnuDownload"),
                         &frmMGW::mnuDownload_Click);
    mnuUpload = action(menuBar->addAction(QStringLiteral("Upload")), QStringLiteral("mnuUpload"),
                       &frmMGW::mnuUpload_Click);
    mnuExport = action(menuBar->addAction(QStringLiteral("Export")), QStringLiteral("mnuExport"),
                       &frmMGW::mnuExport_Click);
    menuBar->setGeometry(0, 0, tw(kClientW), menuBar->sizeHint().height());
}

QComboBox* frmMGW::list(QWidget* parent, const QString& name, const QStringList& entries, int left, int top,
                        int width, void (frmMGW::*handler)())
{
    auto* cb = new QComboBox(parent);
    cb->setObjectName(name);
    cb->setGeometry(tw(left), tw(top), tw(width), tw(330));
    cb->setMaxVisibleItems(16);
    cb->addItems(entries);
    cb->setCurrentIndex(0);
    // Connected once filled: a change of selection, the user's or the display's, runs the handler.
    if (handler)
        connect(cb, &QComboBox::currentIndexChanged, this, [this, handler] { (this->*handler)(); });
    return cb;
}

QWidget* frmMGW::buildFrames(QWidget* client)
{
    auto* c = new QWidget(client);
    c->setGeometry(0, 0, tw(kClientW), tw(7400));
    cboPoint = list(c, QStringLiteral("cboPoint"), numbered(QStringLiteral("Point: "), 1, kPoints, 3), 240,
                    240, 1800, &frmMGW::cboPoint_Click);
    cboType = list(c, QStringLiteral("cboType"), typeTexts(), 2280, 240, 5040, &frmMGW::cboType_Click);
    const QString protocols[2] = {QStringLiteral("BACnet"), QStringLiteral("LonWorks")};
    for (int i = 0; i < 2; ++i) {
        optProtocol[size_t(i)] =
            placeOption(c, QStringLiteral("optProtocol(%1)").arg(i), protocols[i], 240 + 1320 * i, 720, 1260);
        connect(optProtocol[size_t(i)], &QRadioButton::clicked, this, [this, i] { optProtocol_Click(i); });
    }
    chkResend = placeCheck(c, QStringLiteral("chkResend"),
                           QStringLiteral("Enable Command Resend When Relays Are Correct"), 2880, 720, 5400);
    connect(chkResend, &QCheckBox::toggled, this, &frmMGW::chkResend_Click);
    cboTimeout = list(c, QStringLiteral("cboTimeout"),
                      {QStringLiteral("Timeout: Normal"), QStringLiteral("Timeout: Extended 1"),
                       QStringLiteral("Timeout: Extended 2")},
                      2280, 1140, 2760, &frmMGW::cboTimeout_Click);

    const QStringList relayCounts = numbered(QString(), 2, 64, 1);
    const QStringList countTo256 = numbered(QString(), 2, 256, 1);

    frmSMap = frame(c, QStringLiteral("frmSMap"), QStringLiteral("Single Relay Control"));
    cboSNode =
        list(frmSMap, QStringLiteral("cboSNode"), nodeEntries(), 240, 480, 1800, &frmMGW::cboSNode_Click);
    cboSRelay = list(frmSMap, QStringLiteral("cboSRelay"), numbered(QStringLiteral("Relay: "), 1, 64, 2),
                     2280, 480, 1800, &frmMGW::cboSRelay_Click);
    cboAMRly = list(frmSMap, QStringLiteral("cboAMRly"), relayCounts, 4560, 480, 960, nullptr);
    cmdAMRly =
        placeButton(frmSMap, QStringLiteral("cmdAMRly"), QStringLiteral("Auto Map"), 5640, 460, 1320, 375);
    connect(cmdAMRly, &QPushButton::clicked, this, &frmMGW::cmdAMRly_Click);

    frmMMap = frame(c, QStringLiteral("frmMMap"), QStringLiteral("Multi Relay Control"));
    cboMNode =
        list(frmMMap, QStringLiteral("cboMNode"), nodeEntries(), 240, 360, 1800, &frmMGW::cboMNode_Click);
    for (int r = 0; r < 64; ++r) {
        const int left = 240 + (r / 16) * 2340, top = 840 + (r % 16) * 285;
        lblMRelay[size_t(r)] =
            placeLabel(frmMMap, QStringLiteral("lblMRelay(%1)").arg(r),
                       QStringLiteral("Relay %1").arg(r + 1, 2, 10, QLatin1Char('0')), left, top, 1000, 270);
        ClickLabel* inc = placeClickLabel(frmMMap, QStringLiteral("lblMInc(%1)").arg(r), QStringLiteral("No"),
                                          left + 1080, top, 720, 255);
        inc->setAlignment(Qt::AlignCenter);
        inc->setCursor(Qt::PointingHandCursor);
        connect(inc, &ClickLabel::clicked, this, [this, r] { lblMInc_Click(r); });
        lblMInc[size_t(r)] = inc;
    }

    frmGMap = frame(c, QStringLiteral("frmGMap"), QStringLiteral("Quorvel Group"));
    cboQVGrp =
        list(frmGMap, QStringLiteral("cboQVGrp"), numbered(QStringLiteral("Quorvel Group: "), 1, 256, 3), 240,
             480, 2760, &frmMGW::cboQVGrp_Click);
    cboAMGrp = list(frmGMap, QStringLiteral("cboAMGrp"), countTo256, 3240, 480, 960, nullptr);
    cmdAMGrp =
        placeButton(frmGMap, QStringLiteral("cmdAMGrp"), QStringLiteral("Auto Map"), 4320, 460, 1320, 375);
    connect(cmdAMGrp, &QPushButton::clicked, this, &frmMGW::cmdAMGrp_Click);

    frmPMap = frame(c, QStringLiteral("frmPMap"), QStringLiteral("Quorvel Preset"));
    cboQVPrs =
        list(frmPMap, QStringLiteral("cboQVPrs"), numbered(QStringLiteral("Quorvel Preset: "), 1, 256, 3),
             240, 480, 2760, &frmMGW::cboQVPrs_Click);
    cboAMPrs = list(frmPMap, QStringLiteral("cboAMPrs"), countTo256, 3240, 480, 960, nullptr);
    cmdAMPrs =
        placeButton(frmPMap, QStringLiteral("cmdAMPrs"), QStringLiteral("Auto Map"), 4320, 460, 1320, 375);
    connect(cmdAMPrs, &QPushButton::clicked, this, &frmMGW::cmdAMPrs_Click);

    frmIMap = frame(c, QStringLiteral("frmIMap"), QStringLiteral("Wistra Input"));
    cboINode =
        list(frmIMap, QStringLiteral("cboINode"), nodeEntries(), 240, 480, 1800, &frmMGW::cboINode_Click);
    cboIDev = list(frmIMap, QStringLiteral("cboIDev"), numbered(QStringLiteral("Device: "), 1, 64, 2, 16),
                   2280, 480, 1800, &frmMGW::cboIDev_Click);
    cboIInp = list(frmIMap, QStringLiteral("cboIInp"), numbered(QStringLiteral("Input: "), 1, 8, 1), 4320,
                   480, 1440, &frmMGW::cboIInp_Click);
    return c;
}

void frmMGW::Form_Load()
{
    m_session.start();
    ShowFileName();
    m_building = false;
    Point750();
    m_image.ClearImage();
    ShowData();
    m_session.markSaved();
}

void frmMGW::Form_Unload(bool& cancel)
{
    // A transfer runs inside a handler; the window stays until it has ended.
    cancel = m_transferring || !m_session.mayClose();
}

int frmMGW::point() const { return std::max(0, cboPoint->currentIndex()); }

void frmMGW::showStored(QComboBox* list, int value)
{
    // A stored byte the list has no entry for shows as an empty list and stays in the map as it is.
    list->setCurrentIndex(value >= 0 && value < list->count() ? value : -1);
}

void frmMGW::ShowData()
{
    if (m_building)
        return;
    const bool wasShowing = m_showing;
    m_showing = true;
    const int p = point();
    const qint16 t = m_image.GetPointType(p);
    if (t >= 0 && t <= 9) {
        frmSMap->setVisible(t == SingleRelay || t == SingleRelayTimer);
        frmMMap->setVisible(t == MultiRelay || t == MultiRelayTimer);
        frmGMap->setVisible(t == Group || t == GroupTimer);
        frmPMap->setVisible(t == Preset);
        frmIMap->setVisible(t == InputOn || t == InputOff);
    }
    const qint16 node = m_image.GetPointNode(p), unit = m_image.GetPointUnit(p),
                 number = m_image.GetPointNumber(p);
    showStored(cboType, t);
    showStored(cboSNode, node);
    showStored(cboSRelay, unit);
    showStored(cboQVGrp, number);
    showStored(cboQVPrs, number);
    showStored(cboINode, node);
    showStored(cboIDev, unit);
    showStored(cboIInp, number % 8);
    if (t == MultiRelay || t == MultiRelayTimer) {
        static const QString yes = QStringLiteral("background: #FFFFFF; color: black;");
        static const QString no = QStringLiteral("background: #808080; color: black;");
        const int n = std::max(0, cboMNode->currentIndex());
        for (int r = 0; r < 64; ++r) {
            const bool on = m_image.GetMultiRelay(p, n, r);
            ClickLabel* l = lblMInc[size_t(r)];
            l->setText(on ? QStringLiteral("Yes") : QStringLiteral("No"));
            l->setStyleSheet(on ? yes : no);
        }
    }
    chkResend->setChecked(m_image.GetResend() != 0);
    showStored(cboTimeout, m_image.GetTimeoutMode());
    m_showing = wasShowing;
}

void frmMGW::Point750()
{
    const QSignalBlocker block(cboPoint);
    cboPoint->clear();
    cboPoint->addItems(numbered(QStringLiteral("Point: "), 1, 750, 3));
    cboPoint->setCurrentIndex(0);
    ShowData();
}

void frmMGW::Point350()
{
    const QSignalBlocker block(cboPoint);
    cboPoint->clear();
    cboPoint->addItems(numbered(QStringLiteral("Point: "), 1, 350, 3));
    cboPoint->setCurrentIndex(0);
    ShowData();
}

void frmMGW::cboPoint_Click() { ShowData(); }
void frmMGW::cboMNode_Click() { ShowData(); }

void frmMGW::cboType_Click()
{
    const int v = cboType->currentIndex();
    if (v < 0)
        return;
    const int p = point();
    // The check is the user's: a stored multi-relay type on a later point, from a file or an upload,
    // is shown as it is rather than silently rewritten by looking at it.
    if ((v == MultiRelay || v == MultiRelayTimer) && p >= kMultiRelayPoints && !m_showing) {
        host().dialogs().message(QStringLiteral("Multi Relay Mapping Is Only Allowed On Points 001 - 0050"),
                                 QStringLiteral("Out Of Range"), MsgIcon::Critical);
        cboType->setCurrentIndex(Unused); // its own handler stores Unused and shows the point
        return;
    }
    if (m_showing)
        return;
    m_image.SetPointType(p, qint16(v));
    ShowData();
}

void frmMGW::cboSNode_Click()
{
    if (!m_showing && cboSNode->currentIndex() >= 0)
        m_image.SetPointNode(point(), qint16(cboSNode->currentIndex()));
}

void frmMGW::cboINode_Click()
{
    if (!m_showing && cboINode->currentIndex() >= 0)
        m_image.SetPointNode(point(), qint16(cboINode->currentIndex()));
}

void frmMGW::cboSRelay_Click()
{
    if (!m_showing && cboSRelay->currentIndex() >= 0)
        m_image.SetPointUnit(point(), qint16(cboSRelay->currentIndex()));
}

void frmMGW::cboIDev_Click()
{
    if (!m_showing && cboIDev->currentIndex() >= 0)
        m_image.SetPointUnit(point(), qint16(cboIDev->currentIndex()));
}

void frmMGW::cboQVGrp_Click()
{
    if (!m_showing && cboQVGrp->currentIndex() >= 0)
        m_image.SetPointNumber(point(), qint16(cboQVGrp->currentIndex()));
}

void frmMGW::cboQVPrs_Click()
{
    if (!m_showing && cboQVPrs->currentIndex() >= 0)
        m_image.SetPointNumber(point(), qint16(cboQVPrs->currentIndex()));
}

void frmMGW::cboIInp_Click()
{
    // The display sets this list from byte 3 mod 8: only the user's choice writes the input number.
    const qint16 t = m_image.GetPointType(point());
    if (!m_showing && cboIInp->currentIndex() >= 0 && (t == InputOn || t == InputOff))
        m_image.SetPointNumber(point(), qint16(cboIInp->currentIndex()));
}

void frmMGW::lblMInc_Click(int r)
{
    const int p = point(), n = std::max(0, cboMNode->currentIndex());
    m_image.SetMultiRelay(p, n, r, !m_image.GetMultiRelay(p, n, r));
    ShowData();
}

void frmMGW::chkResend_Click()
{
    // Showing a stored value above 1 ticks the box; only a click writes the option.
    if (!m_showing)
        m_image.SetResend(chkResend->isChecked() ? 1 : 0);
}

void frmMGW::cboTimeout_Click()
{
    if (!m_showing && cboTimeout->currentIndex() >= 0)
        m_image.SetTimeoutMode(qint16(cboTimeout->currentIndex()));
}

void frmMGW::optProtocol_Click(int index)
{
    if (index == 0)
        Point750();
    else
        Point350();
}

void frmMGW::autoMap(QComboBox* first, QComboBox* count, AutoMapKind kind)
{
    const bool relays = kind == AutoMapKind::Relays;
    const AutoMapRun run{kind,
                         point(),
                         count->currentIndex(),
                         first->currentIndex(),
                         qint16(cboType->currentIndex()),
                         qint16(cboSNode->currentIndex())};
    // A list left empty by a stored value it cannot show gives nothing to count from.
    if (run.countAt < 0 || run.firstAt < 0 || run.type < 0 || (relays && run.node < 0))
        return;
    if (const QString error = AutoMap(m_image, run); !error.isEmpty())
        host().dialogs().message(error, QStringLiteral("Auto Map Error"), MsgIcon::Critical);
}

void frmMGW::cmdAMRly_Click() { autoMap(cboSRelay, cboAMRly, AutoMapKind::Relays); }
void frmMGW::cmdAMGrp_Click() { autoMap(cboQVGrp, cboAMGrp, AutoMapKind::Groups); }
void frmMGW::cmdAMPrs_Click() { autoMap(cboQVPrs, cboAMPrs, AutoMapKind::Presets); }

void frmMGW::cmdCancel_Click() { m_cancel.request(); }

// ---- Documents ----

void frmMGW::ShowFileName() { lblFileName->setText(QDir::toNativeSeparators(m_session.path())); }

void frmMGW::selectFirstPoint()
{
    // Selecting the point shows it when the selection moves; showing it again when it did not.
    const QSignalBlocker block(cboPoint);
    cboPoint->setCurrentIndex(0);
    ShowData();
}

void frmMGW::mnuFileNew_Click()
{
    if (!m_session.newDocument())
        return;
    ShowFileName();
    m_image.ClearImage();
    selectFirstPoint();
    m_session.markSaved();
}

void frmMGW::mnuFileOpen_Click()
{
    // A cancelled or refused open keeps the map and whether it holds unsaved edits; the display
    // writes every shown value back, which is no edit.
    const bool changed = m_session.isModified();
    const DocumentSession::Outcome r = m_session.open();
    if (r == DocumentSession::Outcome::Declined)
        return;
    ShowFileName();
    selectFirstPoint();
    if (r == DocumentSession::Outcome::Done || !changed)
        m_session.markSaved();
}

void frmMGW::mnuFileSave_Click()
{
    m_session.save();
    ShowFileName();
}

void frmMGW::mnuFileSaveAs_Click()
{
    m_session.saveAs();
    ShowFileName();
}

void frmMGW::mnuExit_Click()
{
    if (m_session.exit())
        requestClose();
}

void frmMGW::mnuExport_Click()
{
    if (!m_session.isNamed()) {
        host().dialogs().message(QStringLiteral("File Must Be Saved Prior To Exporting"),
                                 QStringLiteral("Export CSV"), MsgIcon::Information);
        return;
    }
    const int points = optProtocol[0]->isChecked() ? kPoints : 350;
    const QString name = QDir::toNativeSeparators(m_session.path());
    const QString csv = CsvPathFor(name);
    if (const FileResult r = GatewayCsvWrite(csv, m_image, name, points); !r) {
        host().dialogs().message(r.message(), QStringLiteral("Export CSV"), MsgIcon::Critical);
        return;
    }
    host().dialogs().message(QStringLiteral("Settings Exported To: ") + csv, QString(), MsgIcon::None);
}

// ---- Transfers ----

void frmMGW::runTransfer(bool upload)
{
    // An upload replaces the map: unsaved edits are given up only when the user says so.
    if (upload && !m_session.mayDiscard({QStringLiteral("Discard Any Changes?"), kTitle}))
        return;
    TransferView view;
    view.show = [this](const QString& caption) {
        frmUpDown->setTitle(caption);
        lblProgress->clear();
        prgUpDown->setValue(0);
        frmUpDown->setVisible(true);
        frmUpDown->raise();
        repaint();
    };
    view.label = [this](const QString& text) {
        lblProgress->setText(text);
        lblProgress->repaint();
    };
    view.bar = [this](int value, int maximum) {
        prgUpDown->setMaximum(maximum);
        prgUpDown->setValue(value);
        prgUpDown->repaint();
    };
    view.hide = [this] { frmUpDown->setVisible(false); };
    GatewayTransfer transfer(host(), m_image, view, &m_cancel);
    // While the transfer lets events run, only Cancel may act: a second transfer or an edit of the
    // map being sent would interleave with this one.
    QWidget* controls = findChild<QWidget*>(QStringLiteral("controls"));
    menuBar->setEnabled(false);
    controls->setEnabled(false);
    m_transferring = true;
    static_cast<void>(upload ? transfer.UploadGateway() : transfer.DownloadGateway());
    m_transferring = false;
    menuBar->setEnabled(true);
    controls->setEnabled(true);
    if (upload && transfer.imageCleared()) {
        // The map on the screen is no longer the file's: a habitual Save must ask for a name
        // instead of writing zeros over the file.
        m_session.forgetFile();
        ShowFileName();
    }
    if (upload)
        ShowData();
}

void frmMGW::mnuDownload_Click()
{
    // The menu title runs at once; opening the menu to look must not reprogram the gateway.
    if (host().dialogs().message(
            QStringLiteral("Download Map To The Gateway? Its Present Map Will Be Replaced."),
            QStringLiteral("Download"), MsgIcon::Question, MsgButtons::YesNo,
            MsgDefault::No) != MsgAnswer::Yes)
        return;
    runTransfer(false);
}
void frmMGW::mnuUpload_Click() { runTransfer(true); }

} // namespace tqdt::gw

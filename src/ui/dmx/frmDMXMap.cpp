#include "ui/dmx/frmDMXMap.h"

#include "dmx/DmxTransfer.h"
#include "documents/DocumentSession.h"
#include "host/Host.h"
#include "ui/dmx/frmDMXDimSel.h"
#include "ui/shell/DocumentMenu.h"

#include <QComboBox>
#include <QDir>
#include <QMenuBar>
#include <QProgressBar>

namespace tqdt::dmx {

namespace {
const QString kTitle = QStringLiteral("Tarvik Quorvel DMX Map");
const QString kFolder = QStringLiteral("Tarvik Quorvel DMX Map");
const QString kFilter = QStringLiteral("Tarvik Quorvel DMX Map Files (*.QDM)|*.QDM|All Files (*.*)|*.*");

// Pixels. Sixteen columns of 32 channel pairs: the channel number, then its dimmer point.
constexpr int kRows = 32;
constexpr int kMarginX = 12;
constexpr int kChanW = 28;
constexpr int kDimW = 46;
constexpr int kPitchX = 80;
constexpr int kRowH = 17;
constexpr int kGridTop = 64;
constexpr int kClientW = 2 * kMarginX + 16 * kPitchX - (kPitchX - kChanW - kDimW);
constexpr int kClientH = kGridTop + kRows * kRowH + 36;

void setBackground(QLabel* l, const QColor& c)
{
    QPalette p = l->palette();
    if (p.color(QPalette::Window) == c && l->autoFillBackground())
        return;
    p.setColor(QPalette::Window, c);
    l->setPalette(p);
    l->setAutoFillBackground(true);
}
} // namespace

const QColor frmDMXMap::kLightYellow = QColor(0xFF, 0xFF, 0xC0);
const QColor frmDMXMap::kWhite = QColor(0xFF, 0xFF, 0xFF);
const QColor frmDMXMap::kGrey = QColor(0xC0, 0xC0, 0xC0);

frmDMXMap::frmDMXMap(Host& host, QWidget* parent) : Form(host, parent)
{
    setObjectName(QStringLiteral("frmDMXMap"));
    setWindowTitle(QStringLiteral("Tarvik Wistra DMX Output Map"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildMenus();
    const int menuH = menuBar->sizeHint().height();
    setFixedSize(kClientW, kClientH + menuH);
    m_client = new QWidget(this);
    m_client->setGeometry(0, menuH, kClientW, kClientH);

    cboDevAdd = new QComboBox(m_client);
    cboDevAdd->setObjectName(QStringLiteral("cboDevAdd"));
    cboDevAdd->setGeometry(kMarginX, 8, 170, 24);
    cboDevRange = new QComboBox(m_client);
    cboDevRange->setObjectName(QStringLiteral("cboDevRange"));
    cboDevRange->setGeometry(kMarginX + 180, 8, 260, 24);
    auto button = [this](const QString& name, const QString& caption, int left, void (frmDMXMap::*slot)()) {
        auto* b = new QPushButton(caption, m_client);
        b->setObjectName(name);
        b->setGeometry(left, 7, 120, 26);
        b->setVisible(false);
        // Return in a list must never clear, copy or sequence a selection.
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    cmdMSClear = button(QStringLiteral("cmdMSClear"), QStringLiteral("Clear Values"), kMarginX + 470,
                        &frmDMXMap::cmdMSClear_Click);
    cmdMSCopy = button(QStringLiteral("cmdMSCopy"), QStringLiteral("Copy Values"), kMarginX + 600,
                       &frmDMXMap::cmdMSCopy_Click);
    cmdMSSeq = button(QStringLiteral("cmdMSSeq"), QStringLiteral("Sequence Values"), kMarginX + 730,
                      &frmDMXMap::cmdMSSeq_Click);
    pbDL = new QProgressBar(m_client);
    pbDL->setObjectName(QStringLiteral("pbDL"));
    pbDL->setGeometry(kClientW - kMarginX - 300, 10, 300, 20);
    // Eight blocks: the bar stands at the block being sent.
    pbDL->setRange(0, DmxTransfer::kBlocks);
    pbDL->setTextVisible(false);
    pbDL->setVisible(false);

    auto header = [this](int i, const QString& text, int left, int width) {
        auto* l = new QLabel(text, m_client);
        l->setObjectName(QStringLiteral("lblHeader(%1)").arg(i));
        l->setGeometry(left, 40, width, 18);
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Box);
        lblHeader[size_t(i)] = l;
        return l;
    };
    // One legend for all sixteen columns: each pair is a channel number and its dimmer point.
    header(0, QStringLiteral("DMX Output Channel"), kMarginX, 130);
    setBackground(header(1, QStringLiteral("Tarvik Dimmer Point"), kMarginX + 136, 130), kLightYellow);

    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.85);
    for (int i = 0; i < kChannels; ++i) {
        const int x = kMarginX + (i / kRows) * kPitchX, y = kGridTop + (i % kRows) * kRowH;
        auto* chan = new ClickLabel(QStringLiteral("%1").arg(i + 1, 3, 10, QLatin1Char('0')), m_client);
        chan->setObjectName(QStringLiteral("lblDMXChan(%1)").arg(i));
        chan->setGeometry(x, y, kChanW, kRowH - 1);
        chan->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        chan->setFont(small);
        chan->setCursor(Qt::PointingHandCursor);
        connect(chan, &ClickLabel::clicked, this, [this, i] { lblDMXChan_Click(i); });
        lblDMXChan[size_t(i)] = chan;

        auto* dim = new ClickLabel(QStringLiteral("-"), m_client);
        dim->setObjectName(QStringLiteral("lblDimChan(%1)").arg(i));
        dim->setGeometry(x + kChanW + 3, y, kDimW - 3, kRowH - 1);
        dim->setAlignment(Qt::AlignCenter);
        dim->setFont(small);
        dim->setCursor(Qt::PointingHandCursor);
        setBackground(dim, kLightYellow);
        connect(dim, &ClickLabel::clicked, this,
                [this, i] { lblDimChan_MouseDown(i, Qt::LeftButton, Qt::NoModifier); });
        connect(dim, &ClickLabel::rightClicked, this, [this, i](QPoint, Qt::KeyboardModifiers mods) {
            lblDimChan_MouseDown(i, Qt::RightButton, mods);
        });
        lblDimChan[size_t(i)] = dim;
    }
    lblNotes =
        new QLabel(QStringLiteral("To select multiple channels, right click on the first dimmer output "
                                  "channel and then <shift>right click on the last dimmer output "
                                  "channel."),
                   m_client);
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    lblNotes->setTextFormat(Qt::PlainText);
    lblNotes->setGeometry(kMarginX, kGridTop + kRows * kRowH + 8, kClientW - 2 * kMarginX, 20);

    DocumentSession::Config c;
    c.folder = host.paths().sibling(kFolder);
    c.pattern = QStringLiteral("*.QDM");
    c.filter = kFilter;
    c.discardOnNew = c.discardOnOpen = c.discardOnExit =
        c.discardOnClose = {QStringLiteral("Discard Any Changes?"), kTitle};
    c.askAgainOnCloseAfterExit = false;
    c.saveAsStartsFromLastName = true;
    c.openProblemTitle = c.saveProblemTitle = kTitle;
    c.read = [this](const QString& p) { return QdmRead(p, map()); };
    c.write = [this](const QString& p) { return QdmWrite(p, map()); };
    m_session = std::make_unique<DocumentSession>(host, c);

    connect(cboDevAdd, &QComboBox::currentIndexChanged, this, &frmDMXMap::cboDevAdd_Click);
    connect(cboDevRange, &QComboBox::currentIndexChanged, this, &frmDMXMap::cboDevRange_Click);
}

void frmDMXMap::buildMenus()
{
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
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
    auto item = [this](const QString& name, const QString& text, void (frmDMXMap::*slot)()) {
        QAction* a = menuBar->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuDownload =
        item(QStringLiteral("mnuDownload"), QStringLiteral("Download"), &frmDMXMap::mnuDownload_Click);
    mnuGWFW = item(QStringLiteral("mnuGWFW"), QStringLiteral("GW Firmware Rev"), &frmDMXMap::mnuGWFW_Click);
    menuBar->setGeometry(0, 0, kClientW, menuBar->sizeHint().height());
}

frmDMXMap::~frmDMXMap() = default;

DmxMap& frmDMXMap::map() const { return host().document<DmxMap>(); }
QString frmDMXMap::fileName() const { return m_session->path(); }

void frmDMXMap::Form_Load()
{
    m_caption = windowTitle();
    m_session->start();
    map().ResetDmxMap();
    const QSignalBlocker a(cboDevAdd), r(cboDevRange);
    for (int n = 1; n <= kListEntries; ++n) {
        cboDevAdd->addItem(QStringLiteral("Device Address: %1")
                               .arg(QString::number(n, 16).toUpper().rightJustified(2, QLatin1Char('0'))));
        cboDevRange->addItem(QStringLiteral("Device Range: %1 / Switch Setting: %2")
                                 .arg(4 * n)
                                 .arg(QString::number(n - 1, 16).toUpper()));
    }
    cboDevAdd->setCurrentIndex(0);
    cboDevRange->setCurrentIndex(0);
    map().ResetDmxMap();
    host().markSaved();
    ShowScreen();
}

void frmDMXMap::Form_Activate()
{
    endMultiSelect();
    ShowScreen();
}

void frmDMXMap::Form_Unload(bool& cancel) { cancel = !m_session->mayClose(); }

void frmDMXMap::ShowScreen()
{
    const DmxMap& m = map();
    setWindowTitle(m_caption + QStringLiteral("   ") +
                   (m_session->isNamed() ? m_session->path() : QStringLiteral("(None)")));
    // Setting a list runs its handler, which knows from m_showing that nobody chose anything.
    const bool wasShowing = m_showing;
    m_showing = true;
    cboDevAdd->setCurrentIndex(m.GetDeviceAddress());
    cboDevRange->setCurrentIndex(m.GetDeviceRange());
    m_showing = wasShowing;
    for (int i = 0; i < kChannels; ++i)
        lblDimChan[size_t(i)]->setText(m.channelText(i));
}

void frmDMXMap::ShowMS()
{
    cmdMSClear->setVisible(MultiSelect);
    cmdMSCopy->setVisible(MultiSelect);
    cmdMSSeq->setVisible(MultiSelect);
    for (int i = 0; i < kChannels; ++i) {
        QColor c = kLightYellow;
        if (MultiSelect)
            c = i == selLo() ? kWhite : i > selLo() && i <= selHi() ? kLightYellow : kGrey;
        setBackground(lblDimChan[size_t(i)], c);
    }
}

void frmDMXMap::endMultiSelect()
{
    MultiSelect = false;
    ShowMS();
}

void frmDMXMap::ChanSel()
{
    const int DimBase = 4 * cboDevAdd->currentIndex();
    const int DimEnd = DimBase + 4 * (cboDevRange->currentIndex() + 1);
    frmDMXDimSel dialog(host(), DimBase, DimEnd, this);
    host().dialogs().showModal(dialog);
    const int result = dialog.DimSelResult;
    if (result < 0)
        return;
    map().channel(CurrentChannel) =
        result == frmDMXDimSel::kNotMappedChoice ? kNotMapped : qint16(result - DimBase);
    ShowScreen();
    m_session->markModified();
}

void frmDMXMap::lblDimChan_MouseDown(int index, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    if (button == Qt::LeftButton) {
        endMultiSelect();
        CurrentChannel = index;
        ChanSel();
    } else if (button == Qt::RightButton && (mods & Qt::ShiftModifier)) {
        if (!MultiSelect)
            return;
        SelEnd = index;
        ShowMS();
    } else if (button == Qt::RightButton) {
        SelStart = SelEnd = index;
        MultiSelect = true;
        ShowMS();
    }
}

void frmDMXMap::lblDMXChan_Click(int index)
{
    CurrentChannel = index;
    ChanSel();
}

void frmDMXMap::cboDevAdd_Click()
{
    if (m_showing || cboDevAdd->currentIndex() < 0)
        return;
    // Both are stored in the file: a changed address or range is an unsaved change like a channel.
    map().SetDeviceAddress(qint16(cboDevAdd->currentIndex()));
    m_session->markModified();
    ShowScreen();
}

void frmDMXMap::cboDevRange_Click()
{
    if (m_showing || cboDevRange->currentIndex() < 0)
        return;
    map().SetDeviceRange(qint16(cboDevRange->currentIndex()));
    m_session->markModified();
    ShowScreen();
}

void frmDMXMap::afterSelectionEdit()
{
    endMultiSelect();
    ShowScreen();
    m_session->markModified();
}

void frmDMXMap::cmdMSClear_Click()
{
    for (int i = selLo(); i <= selHi(); ++i)
        map().channel(i) = kNotMapped;
    afterSelectionEdit();
}

void frmDMXMap::cmdMSCopy_Click()
{
    const qint16 v = map().channel(selLo());
    for (int i = selLo(); i <= selHi(); ++i)
        map().channel(i) = v;
    afterSelectionEdit();
}

void frmDMXMap::cmdMSSeq_Click()
{
    const int n = 4 * (cboDevRange->currentIndex() + 1);
    DmxMap& m = map();
    if (m.channel(selLo()) == kNotMapped)
        m.channel(selLo()) = 0;
    int k = m.channel(selLo());
    for (int i = selLo(); i <= selHi(); ++i) {
        m.channel(i) = qint16(k);
        if (++k >= n)
            break;
    }
    afterSelectionEdit();
}

void frmDMXMap::mnuFileNew_Click()
{
    if (!m_session->newDocument())
        return;
    host().markSaved();
    map().ResetDmxMap();
    ShowScreen();
}

void frmDMXMap::mnuFileOpen_Click()
{
    m_session->open();
    ShowScreen();
}

void frmDMXMap::mnuFileSave_Click()
{
    m_session->save();
    ShowScreen();
}

void frmDMXMap::mnuFileSaveAs_Click()
{
    m_session->saveAs();
    ShowScreen();
}

void frmDMXMap::mnuExit_Click()
{
    if (m_session->exit())
        requestClose();
}

void frmDMXMap::mnuDownload_Click()
{
    endMultiSelect();
    ShowScreen();
    // The menu title runs at once; opening the menu to look must not reprogram the gateway.
    if (host().dialogs().message(
            QStringLiteral("Download Channel Map To The DMX Gateway? Its Present Map Will Be Replaced."),
            QStringLiteral("Download"), MsgIcon::Question, MsgButtons::YesNo,
            MsgDefault::No) != MsgAnswer::Yes)
        return;
    TransferView view;
    view.bar = [this](int value, int) {
        pbDL->setVisible(true);
        pbDL->setValue(value);
        pbDL->repaint();
    };
    view.hide = [this] {
        pbDL->setVisible(false);
        pbDL->repaint();
    };
    DmxTransfer(host(), view).Download(map());
}

void frmDMXMap::mnuGWFW_Click()
{
    endMultiSelect();
    ShowScreen();
    TransferView view;
    view.hide = [this] { pbDL->setVisible(false); };
    DmxTransfer(host(), view).FirmwareRev();
}

} // namespace tqdt::dmx

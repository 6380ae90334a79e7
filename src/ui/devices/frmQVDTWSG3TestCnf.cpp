#include "ui/devices/frmQVDTWSG3TestCnf.h"
#include "bus/BusLink.h"

#include "devices/WsCatalog.h"
#include "documents/Settings.h"
#include "host/Host.h"
#include "ui/shell/Widgets.h"
#include "ui/shell/frmComSel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace tqdt::ws {

using namespace wscolour;

const QColor frmQVDTWSG3TestCnf::kPilotOn(0, 255, 0);
const QColor frmQVDTWSG3TestCnf::kPilotOff(0, 64, 0);
const QColor frmQVDTWSG3TestCnf::kBTWorking(192, 255, 255);
const QColor frmQVDTWSG3TestCnf::kBTConfigPass(0, 255, 0);
const QColor frmQVDTWSG3TestCnf::kBTConfigFail(255, 0, 0);
const QColor frmQVDTWSG3TestCnf::kBTTestPass(128, 255, 128);
const QColor frmQVDTWSG3TestCnf::kBTTestFail(255, 128, 128);

namespace {
// Plate geometry: seven rows of 32 units from 56 down; buttons at 48 (full or up half) or 104 (down
// half); pilots beside the buttons, pilot 7 beside the rocker's down half.
constexpr int kPilotLeft = 34;
constexpr int kPilotWidth = 9;
constexpr int kPilotHeight = 15;

// The Bluetooth area, right of the station's controls.
constexpr int kBTLeft = 7080;
constexpr int kBTWidth = 3720;
constexpr int kBTHalf = 1800;

QLabel* boxedLabel(QWidget* parent, const QString& name, const QString& caption, int top, int height)
{
    QLabel* l = placeLabel(parent, name, caption, kBTLeft, top, kBTWidth, height);
    l->setFrameShape(QFrame::Box);
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    return l;
}

// The module's text as a label can show it: line ends as line breaks, the rest as sent.
QString shown(const QByteArray& text)
{
    QString s = QString::fromLatin1(text);
    s.remove(QLatin1Char('\n'));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s.trimmed();
}
} // namespace

frmQVDTWSG3TestCnf::frmQVDTWSG3TestCnf(Host& host, QWidget* parent) : Form(host, parent), m_station(host)
{
    setObjectName(QStringLiteral("frmQVDTWSG3TestCnf"));
    setWindowTitle(QStringLiteral("Wistra G3 Test / Configure"));
    // The right-hand part of the window holds the Bluetooth tools.
    setFixedSize(tw(10920), tw(6240));

    lblNotes =
        placeLabel(this, QStringLiteral("lblNotes"), QStringLiteral("Wistra Address"), 120, 120, 1455, 255);
    cboWSAdd = placeList(this, QStringLiteral("cboWSAdd"), 120, 390, 1455);
    cmdFind = placeButton(this, QStringLiteral("cmdFind"), QStringLiteral("Find WS"), 1680, 360, 1215, 375);
    connect(cmdFind, &QPushButton::clicked, this, &frmQVDTWSG3TestCnf::cmdFind_Click);

    lblStatus = placeLabel(this, QStringLiteral("lblStatus"), QString(), 120, 900, 3480, 315);
    lblStatus->setFrameShape(QFrame::Box);
    setBack(lblStatus, kLightRed);

    plate = new Faceplate(this, QStringLiteral("Shape1"), QRect(tw(120), tw(1320), 206, 310));
    plate->outline.geometry = QRect(20, 36, 164, 262);
    for (int i = 0; i < 8; ++i) {
        shpWSButton[size_t(i)] = plate->add(QRect(48, 56 + 32 * (i % 7), 113, 31), kDarkOlive);
        shpWSPilot[size_t(i)] =
            plate->add(QRect(kPilotLeft, 64 + 32 * (i % 7), kPilotWidth, kPilotHeight), kPilotOff);
        shpWSPilot[size_t(i)]->round = true;
    }
    shpWSPilot[7]->geometry = QRect(166, 64 + 32 * 6, kPilotWidth, kPilotHeight);
    connect(plate, &Faceplate::pressed, this, [this](QPoint at, Qt::MouseButton b, Qt::KeyboardModifiers) {
        if (b == Qt::LeftButton)
            Form_MouseDown(at);
    });

    chkEchoPilots = placeCheck(this, QStringLiteral("chkEchoPilots"), QStringLiteral("Echo Inputs To Pilots"),
                               3720, 1320, 2400);
    cboWSTypeSelect = placeList(this, QStringLiteral("cboWSTypeSelect"), 3720, 1800, 2040);
    cmdWSPrg = placeButton(this, QStringLiteral("cmdWSPrg"), QStringLiteral("Configure Device"), 3720, 2220,
                           2040, 375);
    connect(cmdWSPrg, &QPushButton::clicked, this, &frmQVDTWSG3TestCnf::cmdWSPrg_Click);
    config.create(this, 3720, 2700, 2400);
    lblConfig = config.lblConfig;

    rows.create(this, 3720, 3300);

    lblSA[0] =
        placeLabel(this, QStringLiteral("lblSA(0)"),
                   QStringLiteral("SA requires WSG3 firmware Rev 9 or later and"), 3720, 5280, 4200, 255);
    lblSA[1] =
        placeLabel(this, QStringLiteral("lblSA(1)"),
                   QStringLiteral("lighting controller firmware 3.00 or later"), 3720, 5520, 4200, 255);

    Timer1 = makePollTimer(this);
    connect(Timer1, &QTimer::timeout, this, &frmQVDTWSG3TestCnf::Timer1_Timer);

    txtBTName = new QLineEdit(QString::fromLatin1(kNamePrefix), this);
    txtBTName->setObjectName(QStringLiteral("txtBTName"));
    txtBTName->setGeometry(tw(kBTLeft), tw(120), tw(2640), tw(315));
    txtBTName->setEnabled(false);
    txtBTName->installEventFilter(this);
    connect(txtBTName, &QLineEdit::textChanged, this, &frmQVDTWSG3TestCnf::txtBTName_Change);
    chkManName =
        placeCheck(this, QStringLiteral("chkManName"), QStringLiteral("Manual"), kBTLeft + 2760, 135, 960);
    connect(chkManName, &QCheckBox::clicked, this, &frmQVDTWSG3TestCnf::chkManName_Click);

    cmdBTConfigTest = placeButton(this, QStringLiteral("cmdBTConfigTest"),
                                  QStringLiteral("Configure BT Module"), kBTLeft, 540, kBTHalf, 375);
    connect(cmdBTConfigTest, &QPushButton::clicked, this, &frmQVDTWSG3TestCnf::cmdBTConfigTest_Click);
    cmdReadBTA = placeButton(this, QStringLiteral("cmdReadBTA"), QStringLiteral("Read BTA and ID"),
                             kBTLeft + kBTWidth - kBTHalf, 540, kBTHalf, 375);
    connect(cmdReadBTA, &QPushButton::clicked, this, &frmQVDTWSG3TestCnf::cmdReadBTA_Click);

    lblBTConfig =
        boxedLabel(this, QStringLiteral("lblBTConfig"), QStringLiteral("Configuration Step"), 1020, 315);
    lblBTRsp = boxedLabel(this, QStringLiteral("lblBTRsp"), QStringLiteral("Device Response"), 1395, 735);
    placeLabel(this, QStringLiteral("lblBTACaption"), QStringLiteral("BTA:"), kBTLeft, 2220, 480, 255);
    lblBTA = placeLabel(this, QStringLiteral("lblBTA"), QString(), kBTLeft + 480, 2220, kBTWidth - 480, 255);
    lblBTA->setFrameShape(QFrame::Box);
    placeLabel(this, QStringLiteral("lblIDCaption"), QStringLiteral("ID:"), kBTLeft, 2535, 480, 255);
    lblID = placeLabel(this, QStringLiteral("lblID"), QString(), kBTLeft + 480, 2535, kBTWidth - 480, 255);
    lblID->setFrameShape(QFrame::Box);

    cmdCnfPT = placeButton(this, QStringLiteral("cmdCnfPT"), QStringLiteral("Config PT"), kBTLeft, 3000,
                           kBTHalf, 375);
    connect(cmdCnfPT, &QPushButton::clicked, this, &frmQVDTWSG3TestCnf::cmdCnfPT_Click);
    cmdBTTest = placeButton(this, QStringLiteral("cmdBTTest"), QStringLiteral("Test BT Connection"),
                            kBTLeft + kBTWidth - kBTHalf, 3000, kBTHalf, 375);
    connect(cmdBTTest, &QPushButton::clicked, this, &frmQVDTWSG3TestCnf::cmdBTTest_Click);
    lblBTComPort =
        placeClickLabel(this, QStringLiteral("lblBTComPort"), QString(), kBTLeft, 3480, kBTWidth, 255);
    lblBTComPort->setCursor(Qt::PointingHandCursor);
    connect(lblBTComPort, &ClickLabel::clicked, this, &frmQVDTWSG3TestCnf::lblBTComPort_Click);
    lblBTTest = boxedLabel(this, QStringLiteral("lblBTTest"), QStringLiteral("Test Status"), 3840, 315);
    lblBTTestRsp = boxedLabel(this, QStringLiteral("lblBTTestRsp"), QStringLiteral("Data Packet"), 4215, 315);

    comBT = host.newPort();
    m_bt = std::make_unique<BluetoothTools>(host, host.comQV(), *comBT);
}

void frmQVDTWSG3TestCnf::Form_Load()
{
    WSType = 6;
    fillAddressList(cboWSAdd, 255);
    for (const ws::ConfigEntry& e : ws::kG3ConfigList)
        cboWSTypeSelect->addItem(QString::fromLatin1(e.text));
    cboWSTypeSelect->setCurrentIndex(0);
    lblBTComPort->setText(QStringLiteral("BT Tester: COM%1").arg(host().settings.BTComPort));
    ShowCnf();
    ShowSts();
    Timer1->start();
}

void frmQVDTWSG3TestCnf::Form_Unload(bool& cancel)
{
    // The link test lets events run while it waits; the window stays until the test has hung up
    // and closed its port.
    if (m_btBusy) {
        cancel = true;
        return;
    }
    Timer1->stop();
    if (comBT->isOpen())
        comBT->close();
}

void frmQVDTWSG3TestCnf::Timer1_Timer() { ScanWS(); }

void frmQVDTWSG3TestCnf::ScanWS()
{
    int mask = 0;
    for (int i = 0; i < 8; ++i)
        if (PilotOn[size_t(i)])
            mask += 1 << i;
    const int a = cboWSAdd->currentIndex();
    const ws::StationPoll p = m_station.ScanWS(a, mask);
    if (!p.statusOk) {
        setBack(lblStatus, kLightRed);
        lblStatus->setText(QStringLiteral("No Response"));
    } else {
        const bool echo = chkEchoPilots->isChecked();
        for (int i = 0; i < 8; ++i) {
            const bool on = (p.inputs >> i) & 1;
            shpWSButton[size_t(i)]->fill = on ? kYellow : kDarkOlive;
            // Pilot 7 belongs to the rocker's down half, which has no lamp except in Test Mode.
            if (echo && (i < 7 || WSType == 7))
                PilotOn[size_t(i)] = on;
        }
        if (echo)
            ShowSts();
        if (p.typeOk) {
            setBack(lblStatus, kGreen);
            WSType = p.typeByte & ws::catalog(ws::Family::G3).modelMask;
            lblStatus->setText(p.text);
            config.identified(WSType, p.text);
        } else {
            setBack(lblStatus, kLightRed);
            lblStatus->setText(QStringLiteral("No Response1"));
        }
    }
    rows.show(p.extra, a, false);
    if (WSType != ShownType)
        ShowCnf();
    plate->update();
}

void frmQVDTWSG3TestCnf::ShowCnf()
{
    for (int i = 0; i < 8; ++i) {
        shpWSButton[size_t(i)]->visible = false;
        if (i < 7)
            shpWSPilot[size_t(i)]->visible = false;
    }
    ShownType = WSType;
    for (const ws::G3Key& k : ws::g3Faceplate(WSType))
        ButtonSet(k.button, k.size, k.row, k.up, k.down);
    plate->update();
}

void frmQVDTWSG3TestCnf::ButtonSet(int button, int size, int row, bool up, bool down)
{
    Shape* b = shpWSButton[size_t(button & 7)];
    b->setTop(32 * row + 56);
    if (button < 7)
        shpWSPilot[size_t(button)]->setTop(32 * row + 64);
    const int height = size == 1 ? 31 : size == 2 ? 63 : size == 3 ? 95 : 191;
    const bool half = up || down;
    b->geometry.setSize(QSize(half ? 56 : 113, height));
    if (button < 7)
        shpWSPilot[size_t(button)]->visible = !half || WSType == 7;
    b->geometry.moveLeft(down ? 104 : 48);
    b->visible = true;
}

void frmQVDTWSG3TestCnf::ShowSts()
{
    for (int i = 0; i < 8; ++i)
        shpWSPilot[size_t(i)]->fill = PilotOn[size_t(i)] ? kPilotOn : kPilotOff;
    plate->update();
}

void frmQVDTWSG3TestCnf::Form_MouseDown(QPoint at)
{
    const bool echo = chkEchoPilots->isChecked();
    for (int i = 0; i < 8; ++i) {
        // While echoing only pilot 7, which no button drives outside Test Mode, can be switched.
        if (echo && i != 7)
            continue;
        const Shape* s = shpWSPilot[size_t(i)];
        if (s->visible && s->contains(at))
            PilotOn[size_t(i)] = !PilotOn[size_t(i)];
    }
    ShowSts();
}

void frmQVDTWSG3TestCnf::cmdFind_Click() { FindIntoList(host(), cmdFind, cboWSAdd); }

void frmQVDTWSG3TestCnf::cmdWSPrg_Click()
{
    config.configuring();
    Timer1->stop();
    host().Delay(500);
    host().Delay(500);
    const int code = ws::kG3ConfigList[size_t(std::max(0, cboWSTypeSelect->currentIndex()))].code;
    const bool answered = m_station.QVComWSCnfG3(cboWSAdd->currentIndex(), code);
    host().Delay(500);
    config.finished(answered, code);
    Timer1->start();
}

bool frmQVDTWSG3TestCnf::eventFilter(QObject* watched, QEvent* e)
{
    // Backspace cannot eat into the prefix.
    if (watched == txtBTName && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Backspace &&
        txtBTName->text().size() <= qsizetype(sizeof kNamePrefix - 1))
        return true;
    return Form::eventFilter(watched, e);
}

void frmQVDTWSG3TestCnf::txtBTName_Change()
{
    const QString kept = KeepPrefix(txtBTName->text());
    if (kept != txtBTName->text())
        txtBTName->setText(kept);
}

void frmQVDTWSG3TestCnf::chkManName_Click()
{
    txtBTName->setText(QString::fromLatin1(kNamePrefix));
    txtBTName->setEnabled(chkManName->isChecked());
}

Display frmQVDTWSG3TestCnf::btDisplay(QLabel* stepLabel)
{
    Display d;
    d.step = [stepLabel](const QString& s) {
        stepLabel->setText(s);
        repaintNow(*stepLabel);
    };
    d.response = [this](const QByteArray& r) {
        lblBTRsp->setText(shown(r));
        repaintNow(*lblBTRsp);
    };
    d.dataPacket = [this](const QByteArray& r) {
        lblBTTestRsp->setText(QString::fromLatin1(r));
        repaintNow(*lblBTTestRsp);
    };
    d.dump = [this](const Dump& dump) { showDump(dump); };
    d.verdict = [this](LinkOutcome o) {
        lblBTTest->setText(LinkText(o));
        setBack(lblBTTest, o == LinkOutcome::Pass ? kBTTestPass : kBTTestFail);
        repaintNow(*lblBTTest);
    };
    return d;
}

void frmQVDTWSG3TestCnf::showDump(const Dump& d)
{
    BTAddress = d.address;
    lblBTA->setText(QString::fromLatin1(BTAddress));
    lblID->setText(d.named ? QString::fromLatin1(d.name) : QString());
}

bool frmQVDTWSG3TestCnf::testerPortUsable()
{
    const Settings& s = host().settings;
    if (!TesterIsInterfacePort(host().paths(), QStringLiteral("COM%1").arg(s.DTComPort),
                               QStringLiteral("COM%1").arg(s.BTComPort)))
        return true;
    host().dialogs().message(QStringLiteral("The Tester Port Must Not Be The Interface Port"),
                             QStringLiteral("Port Error"), MsgIcon::Critical);
    return false;
}

void frmQVDTWSG3TestCnf::cmdBTConfigTest_Click()
{
    // The module is reset before it is named: a name it cannot keep is refused first.
    if (chkManName->isChecked() && !ModuleCanHoldName(txtBTName->text())) {
        host().dialogs().message(
            QStringLiteral("The Bluetooth Name May Hold Printable ASCII Characters Only"),
            QStringLiteral("BT Config"), MsgIcon::Critical);
        return;
    }
    Timer1->stop();
    if (!chkManName->isChecked())
        txtBTName->setText(AutomaticName(host()));
    BTAddress.clear();
    lblBTA->clear();
    lblID->clear();
    setBack(lblBTRsp, kBTWorking);
    repaintNow(*lblBTRsp);
    const ConfigResult r = m_bt->ConfigBT(txtBTName->text(), btDisplay(lblBTConfig));
    lblBTRsp->setText(r.pass ? QStringLiteral("Config Pass") : QStringLiteral("Config Fail"));
    setBack(lblBTRsp, r.pass ? kBTConfigPass : kBTConfigFail);
    // A port that would not open has had its own box.
    if (r.pass)
        host().dialogs().message(QStringLiteral("Bluetooth Config Complete"), QStringLiteral("BT Config"),
                                 MsgIcon::None);
    else if (!r.portFailed)
        host().dialogs().message(QStringLiteral("Bluetooth Config Failed"), QStringLiteral("BT Config"),
                                 MsgIcon::Critical);
    BusLink(host()).select(Channel::Blue);
    Timer1->start();
}

void frmQVDTWSG3TestCnf::cmdReadBTA_Click()
{
    cmdReadBTA->setEnabled(false);
    setBack(lblBTRsp, kBTWorking);
    repaintNow(*lblBTRsp);
    Dump d;
    m_bt->ReadBTA(d, btDisplay(lblBTConfig));
    cmdReadBTA->setEnabled(true);
}

void frmQVDTWSG3TestCnf::cmdCnfPT_Click()
{
    if (!testerPortUsable())
        return;
    const QString question = QStringLiteral(
        "This will configure a BT passthrough device for use as a tester.\r\n"
        "This only needs to be run once per passthrough device to initalize it for use with the "
        "diagnostic tool or G3 tester.\r\n"
        "Repeatedly configuring the same passthrough device will not cause any issues but is not "
        "needed.");
    if (host().dialogs().message(question, QStringLiteral("Config Passthrough"), MsgIcon::Question,
                                 MsgButtons::YesNo) != MsgAnswer::Yes) {
        host().dialogs().message(QStringLiteral("Config Cancelled"), QStringLiteral("Config Passthrough"),
                                 MsgIcon::Information);
        return;
    }
    // The question's picture goes before the handler works on without yielding; the poll is held
    // meanwhile, since letting the window repaint would let its timer run too.
    Timer1->stop();
    repaintAfterDialog(*this);
    Timer1->start();
    setBack(lblBTRsp, kBTWorking);
    repaintNow(*lblBTRsp);
    const bool pass = m_bt->ConfigPT(host().settings.BTComPort, btDisplay(lblBTConfig));
    lblBTRsp->setText(pass ? QStringLiteral("Config Pass") : QStringLiteral("Config Fail"));
    setBack(lblBTRsp, pass ? kBTConfigPass : kBTConfigFail);
    if (pass)
        host().dialogs().message(QStringLiteral("Passthrough Config Complete"), QStringLiteral("BT Config"),
                                 MsgIcon::None);
    else
        host().dialogs().message(QStringLiteral("Passthrough Config Failed"), QStringLiteral("BT Config"),
                                 MsgIcon::Critical);
}

void frmQVDTWSG3TestCnf::setCommandsEnabled(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*>{cmdFind, cmdWSPrg, cmdBTConfigTest, cmdReadBTA,
                                                      cmdCnfPT, cmdBTTest, lblBTComPort})
        w->setEnabled(on);
}

void frmQVDTWSG3TestCnf::cmdBTTest_Click()
{
    lblBTTestRsp->clear();
    if (BTAddress.isEmpty()) {
        host().dialogs().message(QStringLiteral("Bluetooth BTA is blank."), QStringLiteral("Test Stopped"),
                                 MsgIcon::Information);
        return;
    }
    if (!testerPortUsable())
        return;
    // While the test lets events run, no other command may start traffic of its own.
    setCommandsEnabled(false);
    Timer1->stop();
    m_btBusy = true;
    Display d = btDisplay(lblBTTest);
    d.step = [this](const QString& s) {
        if (s == QLatin1String("Connecting"))
            setBack(lblBTTest, kBTWorking);
        lblBTTest->setText(s);
        repaintNow(*lblBTTest);
    };
    m_bt->TestLink(host().settings.BTComPort, BTAddress, d);
    m_btBusy = false;
    Timer1->start();
    setCommandsEnabled(true);
}

void frmQVDTWSG3TestCnf::lblBTComPort_Click()
{
    frmComSel dialog(host(), this);
    dialog.ensureLoaded();
    dialog.move(lblBTComPort->mapToGlobal(QPoint(0, lblBTComPort->height())));
    host().dialogs().showModal(dialog);
    if (host().settings.ComSelIndex >= 0) {
        host().settings.BTComPort = qint16(host().settings.ComSelIndex + 1);
        lblBTComPort->setText(QStringLiteral("BT Tester: COM%1").arg(host().settings.BTComPort));
    }
}

} // namespace tqdt::ws

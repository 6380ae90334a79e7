#include "devices/frmQVDTWSG3TestCnf.h"

#include "devices/WsCatalog.h"
#include "shell/Host.h"
#include "shell/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTimer>

namespace tqdt {

using namespace wscolour;

const QColor frmQVDTWSG3TestCnf::kPilotOn(0, 255, 0);
const QColor frmQVDTWSG3TestCnf::kPilotOff(0, 64, 0);

namespace {
// Plate geometry: seven rows of 32 units from 56 down; buttons at 48 (full or up half) or 104 (down
// half); pilots beside the buttons, pilot 7 beside the rocker's down half.
constexpr int kPilotLeft = 34;
constexpr int kPilotWidth = 9;
constexpr int kPilotHeight = 15;
} // namespace

frmQVDTWSG3TestCnf::frmQVDTWSG3TestCnf(Host& host, QWidget* parent) : Form(host, parent), m_station(host)
{
    setObjectName(QStringLiteral("frmQVDTWSG3TestCnf"));
    setWindowTitle(QStringLiteral("Wistra G3 Test / Configure"));
    // The right-hand part of the window holds the Bluetooth tools.
    setFixedSize(tw(10200), tw(6240));

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
}

void frmQVDTWSG3TestCnf::Form_Load()
{
    WSType = 6;
    fillAddressList(cboWSAdd, 255);
    for (const ws::ConfigEntry& e : ws::kG3ConfigList)
        cboWSTypeSelect->addItem(QString::fromLatin1(e.text));
    cboWSTypeSelect->setCurrentIndex(0);
    ShowCnf();
    ShowSts();
    Timer1->start();
}

void frmQVDTWSG3TestCnf::Form_Unload(bool&) { Timer1->stop(); }

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

} // namespace tqdt

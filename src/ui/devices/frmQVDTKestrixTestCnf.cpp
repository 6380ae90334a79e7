#include "ui/devices/frmQVDTKestrixTestCnf.h"

#include "devices/WsCatalog.h"
#include "host/Host.h"
#include "ui/shell/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTimer>

namespace tqdt::ws {

using namespace wscolour;

const QColor frmQVDTKestrixTestCnf::kPilotOn(128, 128, 255);
const QColor frmQVDTKestrixTestCnf::kPilotOff(0, 0, 64);
const QColor frmQVDTKestrixTestCnf::kInputOff(128, 128, 128);
const QColor frmQVDTKestrixTestCnf::kWashOff(192, 192, 192);

frmQVDTKestrixTestCnf::frmQVDTKestrixTestCnf(Host& host, QWidget* parent) : Form(host, parent), m_switch(host)
{
    setObjectName(QStringLiteral("frmQVDTKestrixTestCnf"));
    setWindowTitle(QStringLiteral("Wistra Kestrix Test / Configure"));
    setFixedSize(tw(10200), tw(6480));

    lblNotes =
        placeLabel(this, QStringLiteral("lblNotes"), QStringLiteral("Wistra Address"), 120, 120, 1455, 255);
    cboWSAdd = placeList(this, QStringLiteral("cboWSAdd"), 120, 390, 1455);
    cmdFind = placeButton(this, QStringLiteral("cmdFind"), QStringLiteral("Find WS"), 1680, 360, 1215, 375);
    connect(cmdFind, &QPushButton::clicked, this, &frmQVDTKestrixTestCnf::cmdFind_Click);

    lblStatus = placeLabel(this, QStringLiteral("lblStatus"), QString(), 120, 900, 5640, 315);
    lblOptions = placeLabel(this, QStringLiteral("lblOptions"), QString(), 120, 1260, 5640, 315);
    for (QLabel* l : {lblStatus, lblOptions}) {
        l->setFrameShape(QFrame::Box);
        setBack(l, kLightRed);
    }

    // Two columns of three touch buttons, each with its pilot above it, under the wall-wash bar.
    plate = new Faceplate(this, QStringLiteral("plate"), QRect(tw(120), tw(1680), 176, 300));
    plate->outline.geometry = QRect(8, 4, 160, 290);
    plate->outline.fill = QColor(40, 40, 48);
    shpWallWash = plate->add(QRect(28, 16, 120, 14), QColor(40, 40, 48));
    shpWallWash->border = kWashOff;
    shpWallWash->borderWidth = 3;
    for (int i = 0; i < 6; ++i) {
        const int x = i < 3 ? 30 : 100, y = 60 + 76 * (i % 3);
        shpWSPilot[size_t(i)] = plate->add(QRect(x + 16, y, 14, 8), kPilotOff);
        lblWSButton[size_t(i)] =
            plate->add(QRect(x, y + 14, 46, 46), kDarkOlive, QStringLiteral(" %1").arg(i + 1));
        lblWSButton[size_t(i)]->round = true;
    }
    connect(plate, &Faceplate::pressed, this, [this](QPoint at, Qt::MouseButton b, Qt::KeyboardModifiers) {
        if (b == Qt::LeftButton)
            Form_MouseDown(at);
    });

    lblIn7 =
        placeLabel(this, QStringLiteral("lblIn7"), QStringLiteral("In 7 - Wipedown"), 3000, 1680, 2040, 285);
    lblIn8 =
        placeLabel(this, QStringLiteral("lblIn8"), QStringLiteral("In 8 - Proximity"), 3000, 2010, 2040, 285);
    for (QLabel* l : {lblIn7, lblIn8}) {
        l->setFrameShape(QFrame::Box);
        setBack(l, kInputOff);
    }
    chkPilot7 = placeCheck(this, QStringLiteral("chkPilot7"), QStringLiteral("Pilot 7"), 3000, 2430, 1200);
    chkPilot8 = placeCheck(this, QStringLiteral("chkPilot8"), QStringLiteral("Pilot 8"), 4260, 2430, 1200);
    connect(chkPilot7, &QCheckBox::clicked, this, &frmQVDTKestrixTestCnf::ShowProx);
    connect(chkPilot8, &QCheckBox::clicked, this, &frmQVDTKestrixTestCnf::ShowProx);
    lblProx = placeLabel(this, QStringLiteral("lblProx"), QString(), 3000, 2760, 3720, 285);
    chkEchoPilots = placeCheck(this, QStringLiteral("chkEchoPilots"), QStringLiteral("Echo Inputs To Pilots"),
                               3000, 3120, 2760);
    rows.create(this, 3000, 3600);

    cboWSTypeSelect = placeList(this, QStringLiteral("cboWSTypeSelect"), 6960, 1680, 2400);
    chkAudio = placeCheck(this, QStringLiteral("chkAudio"), QStringLiteral("Enable Audible Touch"), 6960,
                          2130, 2880);
    const QString wipe[3] = {QStringLiteral("Wipe Down - Disabled"), QStringLiteral("Wipe Down - 6 Second"),
                             QStringLiteral("Wipe Down - 12 Second")};
    for (int i = 0; i < 3; ++i)
        optWDM[size_t(i)] =
            placeOption(this, QStringLiteral("optWDM(%1)").arg(i), wipe[i], 6960, 2490 + 300 * i, 2880);
    optWDM[0]->setChecked(true);
    cmdWSPrg = placeButton(this, QStringLiteral("cmdWSPrg"), QStringLiteral("Configure Device"), 6960, 3480,
                           2400, 375);
    connect(cmdWSPrg, &QPushButton::clicked, this, &frmQVDTKestrixTestCnf::cmdWSPrg_Click);
    config.create(this, 6960, 3960, 3000);
    lblConfig = config.lblConfig;

    lblSA[0] =
        placeLabel(this, QStringLiteral("lblSA(0)"),
                   QStringLiteral("SA requires WSKX firmware Rev 9 or later and"), 3000, 5520, 4800, 255);
    lblSA[1] =
        placeLabel(this, QStringLiteral("lblSA(1)"),
                   QStringLiteral("lighting controller firmware 3.00 or later"), 3000, 5760, 4800, 255);

    Timer1 = makePollTimer(this);
    connect(Timer1, &QTimer::timeout, this, &frmQVDTKestrixTestCnf::Timer1_Timer);
}

void frmQVDTKestrixTestCnf::Form_Load()
{
    WSType = 32;
    for (const ws::ConfigEntry& e : ws::kKestrixConfigList)
        cboWSTypeSelect->addItem(QString::fromLatin1(e.text));
    cboWSTypeSelect->setCurrentIndex(0);
    fillAddressList(cboWSAdd, 255);
    ShowProx();
    ShowSts();
    Timer1->start();
}

void frmQVDTKestrixTestCnf::Form_Unload(bool&) { Timer1->stop(); }

void frmQVDTKestrixTestCnf::Timer1_Timer() { ScanWS(); }

void frmQVDTKestrixTestCnf::ShowProx()
{
    static const char* const kModes[4] = {"Wall Wash-Off / Pilots-Normal", "Wall Wash-On / Pilots-Normal",
                                          "Wall Wash-Proximity / Pilots-Normal",
                                          "Wall Wash-Proximity / Pilots-Proximity"};
    const int k = 2 * chkPilot8->isChecked() + chkPilot7->isChecked();
    lblProx->setText(QString::fromLatin1(kModes[k]));
}

void frmQVDTKestrixTestCnf::ScanWS()
{
    const bool p7 = chkPilot7->isChecked(), p8 = chkPilot8->isChecked();
    int mask = (p8 ? 128 : 0) + (p7 ? 64 : 0);
    for (int i = 0; i < 6; ++i)
        if (PilotOn[size_t(i)])
            mask += 1 << i;
    const int a = cboWSAdd->currentIndex();
    const ws::StationPoll p = m_switch.ScanWS(a, mask);
    if (!p.statusOk) {
        setBack(lblStatus, kLightRed);
        lblStatus->setText(QStringLiteral("No Response"));
        setBack(lblOptions, kLightRed);
        lblOptions->setText(QString());
    } else {
        const int s = p.inputs;
        const bool echo = chkEchoPilots->isChecked();
        for (int i = 0; i < 6; ++i) {
            const bool on = (s >> i) & 1;
            lblWSButton[size_t(i)]->fill = on ? kYellow : kDarkOlive;
            if (echo)
                PilotOn[size_t(i)] = on;
        }
        setBack(lblIn7, (s & 64) ? kYellow : kInputOff);
        setBack(lblIn8, (s & 128) ? kYellow : kInputOff);
        shpWallWash->border = (p7 && !p8) || (p8 && (s & 128)) ? kYellow : kWashOff;
        if (echo)
            ShowSts();
        if (p.typeOk) {
            setBack(lblStatus, kGreen);
            setBack(lblOptions, kGreen);
            WSType = p.typeByte & ws::catalog(ws::Family::Kestrix).modelMask;
            lblOptions->setText(ws::kestrixOptionsText(p.typeByte));
            lblStatus->setText(p.text);
        } else {
            setBack(lblStatus, kLightRed);
            lblStatus->setText(QStringLiteral("No Response1"));
        }
    }
    rows.show(p.extra, a, true);
    plate->update();
}

void frmQVDTKestrixTestCnf::ShowSts()
{
    for (size_t i = 0; i < 6; ++i)
        shpWSPilot[i]->fill = PilotOn[i] ? kPilotOn : kPilotOff;
    plate->update();
}

void frmQVDTKestrixTestCnf::Form_MouseDown(QPoint at)
{
    if (!chkEchoPilots->isChecked())
        for (size_t i = 0; i < 6; ++i)
            if (shpWSPilot[i]->contains(at))
                PilotOn[i] = !PilotOn[i];
    ShowSts();
}

void frmQVDTKestrixTestCnf::cmdFind_Click() { FindIntoList(host(), cmdFind, cboWSAdd); }

void frmQVDTKestrixTestCnf::cmdWSPrg_Click()
{
    config.configuring();
    Timer1->stop();
    host().Delay(500);
    int wipe = 0;
    for (int i = 0; i < 3; ++i)
        if (optWDM[size_t(i)]->isChecked())
            wipe = i;
    const int type = ws::KestrixSwitch::typeByteFor(std::max(0, cboWSTypeSelect->currentIndex()), wipe,
                                                    chkAudio->isChecked());
    const bool answered = m_switch.QVComWSCnfKX(cboWSAdd->currentIndex(), type);
    host().Delay(500);
    // The switch may report its old model until it restarts: the next poll is not compared with it.
    config.finished(answered);
    Timer1->start();
}

} // namespace tqdt::ws

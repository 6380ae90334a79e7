#include "ui/devices/frmQVDTWSDualTechWallCnf.h"

#include "devices/WsCatalog.h"
#include "host/Host.h"
#include "ui/devices/frmQVDTWSDualTechCnf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QTimer>

namespace tqdt::ws {

using namespace wscolour;

const QColor frmQVDTWSDualTechWallCnf::kPilotLit(0, 255, 255);
const QColor frmQVDTWSDualTechWallCnf::kPilotDark(128, 128, 128);

namespace {
const char* const kInputs[8] = {" In 1 - Occupancy - Timed",
                                " In 2 - Occupancy Direct",
                                " Input 3",
                                " Input 4",
                                " Input 5",
                                " Input 6",
                                " Input 7",
                                " Input 8"};
} // namespace

frmQVDTWSDualTechWallCnf::frmQVDTWSDualTechWallCnf(Host& host, QWidget* parent)
    : Form(host, parent), m_sensor(host)
{
    setObjectName(QStringLiteral("frmQVDTWSDualTechWallCnf"));
    setWindowTitle(QStringLiteral("Wistra Dual Tech Wall Sensor Config"));
    setFixedSize(tw(8760), tw(7320));

    cboWSAdd = placeList(this, QStringLiteral("cboWSAdd"), 120, 120, 1455);
    cmdFind = placeButton(this, QStringLiteral("cmdFind"), QStringLiteral("Find WS"), 1680, 105, 1215, 375);
    connect(cmdFind, &QPushButton::clicked, this, &frmQVDTWSDualTechWallCnf::cmdFind_Click);
    lblStatus = placeLabel(this, QStringLiteral("lblStatus"), QString(), 120, 540, 4440, 285);
    lblStatus->setFrameShape(QFrame::Box);
    setBack(lblStatus, kLightRed);

    for (int i = 0; i < 8; ++i) {
        lblIStatus[size_t(i)] = placeLabel(this, QStringLiteral("lblIStatus(%1)").arg(i),
                                           QString::fromLatin1(kInputs[i]), 120, 900 + 240 * i, 2640, 225);
        setBack(lblIStatus[size_t(i)], kDarkOlive);
    }

    // The station's front: the sensor lens above a column of pilot lamps 3 to 7.
    plate = new Faceplate(this, QStringLiteral("plate"), QRect(tw(2940), tw(900), 112, 200));
    plate->outline.geometry = QRect(6, 2, 100, 194);
    Shape* lens = plate->add(QRect(33, 12, 46, 46), QColor(60, 60, 70));
    lens->round = true;
    for (int i = 2; i <= 6; ++i) {
        lblPilot[size_t(i)] =
            plate->add(QRect(30, 66 + 25 * (i - 2), 52, 20), kPilotDark, QString::number(i + 1));
    }
    connect(plate, &Faceplate::pressed, this, [this](QPoint at, Qt::MouseButton b, Qt::KeyboardModifiers) {
        if (b != Qt::LeftButton)
            return;
        for (int i = 2; i <= 6; ++i)
            if (lblPilot[size_t(i)]->contains(at))
                lblPilot_Click(i);
    });

    chkEchoPilots = placeCheck(this, QStringLiteral("chkEchoPilots"), QStringLiteral("Echo Inputs To Pilots"),
                               120, 2940, 2640);
    connect(chkEchoPilots, &QCheckBox::clicked, this, &frmQVDTWSDualTechWallCnf::chkEchoPilots_Click);
    cboWSTypeSelect = placeList(this, QStringLiteral("cboWSTypeSelect"), 120, 3360, 2640);
    cmdWSPrg = placeButton(this, QStringLiteral("cmdWSPrg"), QStringLiteral("Configure Device"), 120, 3780,
                           2640, 375);
    connect(cmdWSPrg, &QPushButton::clicked, this, &frmQVDTWSDualTechWallCnf::cmdWSPrg_Click);
    config.create(this, 120, 4260, 4440);
    lblConfig = config.lblConfig;

    rows.create(this, 120, 4680);
    lblSA[0] = placeLabel(this, QStringLiteral("lblSA(0)"),
                          QStringLiteral("SA requires wall station firmware Rev 12 or later and"), 120, 5640,
                          4440, 255);
    lblSA[1] = placeLabel(this, QStringLiteral("lblSA(1)"),
                          QStringLiteral("lighting controller firmware 3.00 or later"), 120, 5880, 4440, 255);
    lblDBA = placeBitRow(this, QStringLiteral("lblDBA"), 120, 6300);
    lblDBB = placeBitRow(this, QStringLiteral("lblDBB"), 120, 6570);
    lblDBC = placeBitRow(this, QStringLiteral("lblDBC"), 120, 6840);

    groups.create(this, st.s,
                  {QRect(4800, 120, 1680, 0), QRect(6600, 120, 2040, 0), QRect(4800, 1440, 3720, 0),
                   QRect(4800, 3480, 1680, 0), QRect(6600, 3480, 2040, 0)},
                  [this] { ShowSettings(); });
    PIR = groups.PIR, ACS = groups.ACS, Vac = groups.Vac, LED = groups.LED, OOL = groups.OOL;

    cmdRead = placeButton(this, QStringLiteral("cmdRead"), QStringLiteral("Read From Sensor"), 4800, 4440,
                          1680, 375);
    cmdConfig = placeButton(this, QStringLiteral("cmdConfig"), QStringLiteral("Configure Sensor"), 6600, 4440,
                            2040, 375);
    cmdDefaults =
        placeButton(this, QStringLiteral("cmdDefaults"), QStringLiteral("Defaults"), 4800, 4920, 1680, 375);
    connect(cmdRead, &QPushButton::clicked, this, &frmQVDTWSDualTechWallCnf::cmdRead_Click);
    connect(cmdConfig, &QPushButton::clicked, this, &frmQVDTWSDualTechWallCnf::cmdConfig_Click);
    connect(cmdDefaults, &QPushButton::clicked, this, &frmQVDTWSDualTechWallCnf::cmdDefaults_Click);
    result.create(this, 4800, 5400, 3840);
    lblResult = result.lblResult;

    Timer1 = makePollTimer(this);
    connect(Timer1, &QTimer::timeout, this, &frmQVDTWSDualTechWallCnf::Timer1_Timer);
}

void frmQVDTWSDualTechWallCnf::Form_Load()
{
    st.WSType = 79;
    fillAddressList(cboWSAdd, 255);
    connect(cboWSAdd, &QComboBox::currentIndexChanged, this, &frmQVDTWSDualTechWallCnf::cboWSAdd_Click);
    DTDefaults();
    st.known.forget(); // the starting values are nobody's choice
    ShowConfigAllowed();
    for (const char* e : ws::kDualTechWallConfigList)
        cboWSTypeSelect->addItem(QString::fromLatin1(e));
    cboWSTypeSelect->setCurrentIndex(0);
    Timer1->start();
}

void frmQVDTWSDualTechWallCnf::Form_Activate()
{
    PilotOn.fill(false);
    ShowSts();
}

void frmQVDTWSDualTechWallCnf::Form_Unload(bool&)
{
    Timer1->stop();
    QCoreApplication::processEvents();
}

void frmQVDTWSDualTechWallCnf::Timer1_Timer()
{
    ScanWS();
    if (ConfigShown > 0 && --ConfigShown == 0)
        lblConfig->setVisible(false);
}

void frmQVDTWSDualTechWallCnf::DTDefaults()
{
    st.s.defaults();
    ShowSettings();
}

void frmQVDTWSDualTechWallCnf::ShowSettings() { groups.paint(st.s); }

void frmQVDTWSDualTechWallCnf::ShowConfigAllowed() const { cmdConfig->setEnabled(st.mayConfigure()); }

void frmQVDTWSDualTechWallCnf::cboWSAdd_Click()
{
    // What was read belongs to the sensor at the address before; Find WS sets JustFound after this.
    st.JustFound = false;
    st.known.forget();
    result.clear();
    ShowConfigAllowed();
}

void frmQVDTWSDualTechWallCnf::cmdDefaults_Click()
{
    DTDefaults();
    st.known.settingsRead = true;
    ShowConfigAllowed();
}

void frmQVDTWSDualTechWallCnf::ShowSts()
{
    const bool echo = chkEchoPilots->isChecked();
    const std::array<int, 5> source =
        echo ? ws::dualTechWallEchoPilots(st.WSType) : std::array<int, 5>{2, 3, 4, 5, 6};
    for (int i = 2; i <= 6; ++i) {
        const int from = source[size_t(i - 2)];
        Shape* s = lblPilot[size_t(i)];
        s->fill = from >= 0 && PilotOn[size_t(from)] ? kPilotLit : kPilotDark;
        s->caption = echo ? QString() : QString::number(i + 1);
    }
    plate->update();
}

void frmQVDTWSDualTechWallCnf::lblPilot_Click(int index)
{
    if (!chkEchoPilots->isChecked())
        PilotOn[size_t(index)] = !PilotOn[size_t(index)];
    ShowSts();
}

void frmQVDTWSDualTechWallCnf::ScanWS()
{
    int mask = 0;
    for (int i = 0; i < 8; ++i)
        if (PilotOn[size_t(i)])
            mask += 1 << i;
    const int a = cboWSAdd->currentIndex();
    const ws::DualTechWall::Poll p = m_sensor.ScanWS(a, mask, st);
    const ws::StationPoll& s = p.station;
    if (!s.statusOk) {
        setBack(lblStatus, kLightRed);
        lblStatus->setText(QStringLiteral("No Response"));
    } else {
        const bool echo = chkEchoPilots->isChecked();
        for (int i = 0; i < 8; ++i) {
            const bool on = (s.inputs >> i) & 1;
            setBack(lblIStatus[size_t(i)], on ? kYellow : kDarkOlive);
            if (echo)
                PilotOn[size_t(i)] = on;
        }
        if (echo)
            ShowSts();
        if (!s.typeOk) {
            setBack(lblStatus, kLightRed);
            lblStatus->setText(QStringLiteral("No Response(1)"));
        } else {
            setBack(lblStatus, kGreen);
            lblStatus->setText(s.text);
        }
    }
    rows.show(s.extra, a, true);
    if (s.extra.dev2.polled && s.extra.dev2.answered)
        paintBits(lblDBC, s.extra.dev2.statusB);
    if (p.config) {
        paintBits(lblDBA, (*p.config)[0]);
        paintBits(lblDBB, (*p.config)[1]);
    }
    if (p.settingsChanged)
        ShowSettings();
    ShowConfigAllowed();
    plate->update();
}

void frmQVDTWSDualTechWallCnf::cmdFind_Click()
{
    if (FindIntoList(host(), cmdFind, cboWSAdd))
        st.JustFound = true;
}

void frmQVDTWSDualTechWallCnf::cmdRead_Click()
{
    // A read that is not answered leaves every control as it was and says so.
    const bool answered = ws::ReadSensorSettings(host(), cboWSAdd->currentIndex(), st.s);
    if (answered)
        st.known.settingsRead = true;
    result.read(answered);
    ShowSettings();
    ShowConfigAllowed();
}

void frmQVDTWSDualTechWallCnf::cmdConfig_Click()
{
    if (!st.mayConfigure())
        return;
    cmdConfig->setEnabled(false);
    result.clear();
    result.configured(m_sensor.ConfigureSensor(cboWSAdd->currentIndex(), st.s));
    ShowConfigAllowed();
}

void frmQVDTWSDualTechWallCnf::cmdWSPrg_Click()
{
    config.configuring();
    Timer1->stop();
    host().Delay(500);
    const int entry = std::max(0, cboWSTypeSelect->currentIndex());
    const bool answered = m_sensor.QVComWSCnfG3DTWall(cboWSAdd->currentIndex(), entry);
    host().Delay(500);
    // The sensor shows its new model only after a restart: the next poll is not compared with it.
    config.finished(answered);
    // "Config Done" goes after two seconds of ticks; a failure stays until the next attempt.
    ConfigShown = answered ? 40 : 0;
    Timer1->start();
}

} // namespace tqdt::ws

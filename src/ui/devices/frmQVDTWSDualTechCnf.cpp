#include "ui/devices/frmQVDTWSDualTechCnf.h"

#include "host/Host.h"
#include "ui/devices/WsWidgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>

namespace tqdt::ws {

using namespace wscolour;

const QColor frmQVDTWSDualTechCnf::kTimerNegative(255, 192, 192);

namespace {
constexpr int kNormalWidth = 3960;
constexpr int kAdvancedWidth = 4815;
const char* const kInputs[8] = {" In 1 - Occupancy - Timed on",
                                " In 2 - Occupancy - Direct",
                                " In 3 - PIR hit",
                                " In 4 - Acoustic hit",
                                " In 5 - Test mode - 3 second",
                                " In 6 - Test mode active",
                                " In 7 - Power-up delay complete",
                                " In 8 - Unused"};
} // namespace

std::array<QLabel*, 8> placeBitRow(QWidget* parent, const QString& name, int left, int top)
{
    std::array<QLabel*, 8> row{};
    for (int i = 0; i < 8; ++i) {
        row[size_t(i)] = placeLabel(parent, QStringLiteral("%1(%2)").arg(name).arg(i), QString::number(i),
                                    left + 300 * i, top, 270, 240);
        row[size_t(i)]->setAlignment(Qt::AlignCenter);
        row[size_t(i)]->setFrameShape(QFrame::Box);
        setBack(row[size_t(i)], kGrey96);
    }
    return row;
}

void paintBits(const std::array<QLabel*, 8>& row, int byte)
{
    for (size_t i = 0; i < 8; ++i)
        setBack(row[i], (byte >> i) & 1 ? kWhite : kGrey96);
}

frmQVDTWSDualTechCnf::frmQVDTWSDualTechCnf(Host& host, QWidget* parent) : Form(host, parent), m_sensor(host)
{
    setObjectName(QStringLiteral("frmQVDTWSDualTechCnf"));
    setWindowTitle(QStringLiteral("Wistra Dual Tech Ceiling Sensor Config"));
    setFixedSize(tw(kNormalWidth), tw(10560));

    cboWSAdd = placeList(this, QStringLiteral("cboWSAdd"), 120, 120, 1455);
    cmdFind = placeButton(this, QStringLiteral("cmdFind"), QStringLiteral("Find WS"), 1680, 105, 1215, 375);
    connect(cmdFind, &QPushButton::clicked, this, &frmQVDTWSDualTechCnf::cmdFind_Click);
    lblStatus = placeLabel(this, QStringLiteral("lblStatus"), QString(), 120, 540, 3480, 285);
    lblStatus->setFrameShape(QFrame::Box);
    setBack(lblStatus, kLightRed);

    for (int i = 0; i < 8; ++i) {
        lblIStatus[size_t(i)] = placeLabel(this, QStringLiteral("lblIStatus(%1)").arg(i),
                                           QString::fromLatin1(kInputs[i]), 120, 900 + 240 * i, 3480, 225);
        setBack(lblIStatus[size_t(i)], kDarkOlive);
    }
    for (int k = 0; k < 2; ++k) {
        lblPC[size_t(k)] = placeLabel(this, QStringLiteral("lblPC(%1)").arg(k), ws::photocellCaption(k, 0),
                                      120, 2880 + 240 * k, 3480, 225);
        lblPC[size_t(k)]->setFrameShape(QFrame::Box);
        lblPC[size_t(k)]->setVisible(false);
    }
    lblDBA = placeBitRow(this, QStringLiteral("lblDBA"), 120, 3420);
    lblDBB = placeBitRow(this, QStringLiteral("lblDBB"), 120, 3690);
    lblDBC = placeBitRow(this, QStringLiteral("lblDBC"), 120, 3960);

    for (int k = 0; k < 4; ++k) {
        lblTimer[size_t(k)] = placeLabel(this, QStringLiteral("lblTimer(%1)").arg(k),
                                         QStringLiteral(" 000:00"), 3990, 900 + 300 * k, 765, 255);
        lblTimer[size_t(k)]->setFrameShape(QFrame::Box);
        lblTimer[size_t(k)]->setAlignment(Qt::AlignCenter);
        setBack(lblTimer[size_t(k)], kWhite);
        lblTimer[size_t(k)]->setVisible(false);
    }

    groups.create(this, st.s,
                  {QRect(120, 4320, 1680, 0), QRect(1860, 4320, 1740, 0), QRect(120, 5580, 3480, 0),
                   QRect(120, 7560, 1680, 0), QRect(1740, 8580, 2160, 0)},
                  [this] { ShowSettings(); });
    PIR = groups.PIR, ACS = groups.ACS, Vac = groups.Vac, LED = groups.LED, OOL = groups.OOL;
    Type = new OptionGroup(this, QStringLiteral("Type"), QStringLiteral("Device Type"),
                           {"DT Only", "PC Only", "DT / PC"}, 1860, 7560, 1740);
    Rly = new OptionGroup(this, QStringLiteral("Rly"), QStringLiteral("Relay Polarity"), {"N.O.", "N.C."},
                          120, 8580, 1560);
    Type->onClick = [this](int i) { optionClicked(st.s.DevType, i); };
    Rly->onClick = [this](int i) { optionClicked(st.s.RelayPol, i); };
    OOL->onClick = [this](int i) {
        // Only a sensor of revision 14 or later can keep its own settings.
        if (st.SensorRev >= 14)
            optionClicked(st.s.OolSource, i);
    };

    cmdRead = placeButton(this, QStringLiteral("cmdRead"), QStringLiteral("Read From Sensor"), 120, 9360,
                          1680, 375);
    cmdConfig = placeButton(this, QStringLiteral("cmdConfig"), QStringLiteral("Configure Sensor"), 1860, 9360,
                            1740, 375);
    cmdDefaults =
        placeButton(this, QStringLiteral("cmdDefaults"), QStringLiteral("Defaults"), 120, 9780, 1680, 375);
    connect(cmdRead, &QPushButton::clicked, this, &frmQVDTWSDualTechCnf::cmdRead_Click);
    connect(cmdConfig, &QPushButton::clicked, this, &frmQVDTWSDualTechCnf::cmdConfig_Click);
    connect(cmdDefaults, &QPushButton::clicked, this, &frmQVDTWSDualTechCnf::cmdDefaults_Click);
    result.create(this, 120, 10200, 3480);
    lblResult = result.lblResult;

    Timer1 = makePollTimer(this);
    connect(Timer1, &QTimer::timeout, this, &frmQVDTWSDualTechCnf::Timer1_Timer);
}

void frmQVDTWSDualTechCnf::Form_Load()
{
    fillAddressList(cboWSAdd, 254);
    connect(cboWSAdd, &QComboBox::currentIndexChanged, this, &frmQVDTWSDualTechCnf::cboWSAdd_Click);
    st.AdvancedMode = false;
    DTDefaults();
    st.known.forget(); // the starting values are nobody's choice
    ShowConfigAllowed();
    Timer1->start();
}

void frmQVDTWSDualTechCnf::ShowConfigAllowed() const { cmdConfig->setEnabled(st.mayConfigure()); }

void frmQVDTWSDualTechCnf::cboWSAdd_Click()
{
    // What was read belongs to the sensor at the address before; Find WS sets JustFound after this.
    st.JustFound = false;
    st.known.forget();
    result.clear();
    ShowConfigAllowed();
}

void frmQVDTWSDualTechCnf::cmdDefaults_Click()
{
    DTDefaults();
    st.known.settingsRead = true;
    ShowConfigAllowed();
}

void frmQVDTWSDualTechCnf::Form_Unload(bool&)
{
    Timer1->stop();
    QCoreApplication::processEvents();
}

void frmQVDTWSDualTechCnf::Timer1_Timer() { ScanWS(); }

void frmQVDTWSDualTechCnf::optionClicked(int& value, int i)
{
    value = i;
    ShowSettings();
}

void frmQVDTWSDualTechCnf::DTDefaults()
{
    st.s.defaults();
    ShowSettings();
}

void frmQVDTWSDualTechCnf::ShowSettings()
{
    ShowR14(st.SensorRev >= 14);
    groups.paint(st.s);
    Type->paint(st.s.DevType);
    Rly->paint(st.s.RelayPol);
}

void frmQVDTWSDualTechCnf::ShowR14(bool visible)
{
    Rly->setHeadingVisible(visible);
    Rly->setOptionVisible(0, visible);
    Rly->setOptionVisible(1, visible);
    OOL->setOptionVisible(1, visible);
    cmdRead->setVisible(visible);
}

void frmQVDTWSDualTechCnf::ShowHide(bool visible)
{
    for (OptionGroup* g : {PIR, ACS, Vac, LED})
        g->setHeadingVisible(visible);
    for (int i = 1; i <= 3; ++i)
        PIR->setOptionVisible(i, visible);
    for (int i = 0; i < 4; ++i)
        ACS->setOptionVisible(i, visible);
    for (int i = 0; i < 7; ++i)
        Vac->setOptionVisible(i, visible);
    for (int i = 0; i < 2; ++i)
        LED->setOptionVisible(i, visible);
    cmdDefaults->setVisible(visible);
}

void frmQVDTWSDualTechCnf::ScanWS()
{
    const int a = cboWSAdd->currentIndex();
    const ws::DualTechCeiling::Poll p = m_sensor.ScanWS(a, st);
    if (!p.statusOk) {
        setBack(lblStatus, kLightRed);
        lblStatus->setText(QStringLiteral("No Response"));
    } else {
        for (size_t i = 0; i < 8; ++i)
            setBack(lblIStatus[i], (p.inputs >> i) & 1 ? kYellow : kDarkOlive);
        if (!p.stsOk) {
            setBack(lblStatus, kLightRed);
            lblStatus->setText(QStringLiteral("No Response(1)"));
        } else {
            setBack(lblStatus, kGreen);
            paintBits(lblDBC, p.statusByte);
            if (p.settingsChanged)
                ShowSettings();
            lblStatus->setText(p.text);
            for (size_t k = 0; k < 2; ++k) {
                lblPC[k]->setVisible(p.showPhotocells);
                if (p.photocells)
                    lblPC[k]->setText(ws::photocellCaption(int(k), (*p.photocells)[k]));
            }
            for (QLabel* l : lblIStatus)
                l->setVisible(p.showInputs);
            ShowHide(p.showGroups);
            if (p.timers)
                for (size_t k = 0; k < 4; ++k) {
                    setBack(lblTimer[k], (*p.timers)[k].negative ? kTimerNegative : kWhite);
                    lblTimer[k]->setText((*p.timers)[k].caption);
                }
        }
    }
    if (p.config) {
        paintBits(lblDBA, (*p.config)[0]);
        paintBits(lblDBB, (*p.config)[1]);
    }
    ShowConfigAllowed();
}

void frmQVDTWSDualTechCnf::cmdFind_Click()
{
    if (FindIntoList(host(), cmdFind, cboWSAdd))
        st.JustFound = true;
}

void frmQVDTWSDualTechCnf::cmdRead_Click()
{
    // A read that is not answered leaves every control as it was and says so.
    const bool answered = ws::ReadSensorSettings(host(), cboWSAdd->currentIndex(), st.s);
    if (answered)
        st.known.settingsRead = true;
    result.read(answered);
    ShowSettings();
    ShowConfigAllowed();
}

void frmQVDTWSDualTechCnf::cmdConfig_Click()
{
    if (!st.mayConfigure())
        return;
    cmdConfig->setEnabled(false);
    result.clear();
    result.configured(m_sensor.Configure(cboWSAdd->currentIndex(), st));
    ShowConfigAllowed();
}

void frmQVDTWSDualTechCnf::Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    if (button != Qt::RightButton || !(mods & Qt::ShiftModifier))
        return;
    st.AdvancedMode = true;
    setFixedWidth(tw(kAdvancedWidth));
    for (QLabel* l : lblTimer)
        l->setVisible(true);
}

void frmQVDTWSDualTechCnf::mousePressEvent(QMouseEvent* e)
{
    Form_MouseDown(e->button(), e->modifiers());
    Form::mousePressEvent(e);
}

} // namespace tqdt::ws

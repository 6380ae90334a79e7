#include "ui/devices/frmQVDTWSTestCnf.h"

#include "devices/WsCatalog.h"
#include "host/Host.h"
#include "ui/devices/WsWidgets.h"
#include "ui/shell/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTimer>

namespace tqdt::ws {

using namespace wscolour;

const QColor frmQVDTWSTestCnf::kPilotOn(0, 255, 0);
const QColor frmQVDTWSTestCnf::kPilotOff(0, 64, 0);

frmQVDTWSTestCnf::frmQVDTWSTestCnf(Host& host, QWidget* parent) : Form(host, parent), m_station(host)
{
    setObjectName(QStringLiteral("frmQVDTWSTestCnf"));
    setWindowTitle(QStringLiteral("Wistra Test / Configure"));
    setFixedSize(tw(6360), tw(5760));

    lblNotes = placeLabel(this, QStringLiteral("lblNotes"),
                          QStringLiteral("Wistra switch must be set to address 00"), 120, 120, 4800, 285);

    Shape1 = new Faceplate(this, QStringLiteral("Shape1"), QRect(tw(120), tw(480), 180, 320));
    Shape1->outline.geometry = QRect(24, 36, 130, 264);
    for (int i = 0; i < 6; ++i) {
        shpWSButton[size_t(i)] = Shape1->add(QRect(70, 64 + 40 * i, 60, 30), kDarkOlive);
        shpWSPilot[size_t(i)] = Shape1->add(QRect(46, 64 + 40 * i, 14, 14), kPilotOff);
        shpWSPilot[size_t(i)]->round = true;
    }
    // Sliders show the input image as their level.
    lblDimVal = placeLabel(Shape1, QStringLiteral("lblDimVal"), QStringLiteral("255"), 0, 0, 0, 0);
    lblDimVal->setGeometry(54, 150, 70, 28);
    lblDimVal->setAlignment(Qt::AlignCenter);
    lblDimVal->setFrameShape(QFrame::Box);
    setBack(lblDimVal, kWhite);
    connect(Shape1, &Faceplate::pressed, this, [this](QPoint at, Qt::MouseButton b, Qt::KeyboardModifiers) {
        if (b == Qt::LeftButton)
            Form_MouseDown(at);
    });

    chkEchoPilots = placeCheck(this, QStringLiteral("chkEchoPilots"), QStringLiteral("Echo Inputs To Pilots"),
                               3120, 600, 3000);
    cboWSTypeSelect = placeList(this, QStringLiteral("cboWSTypeSelect"), 3120, 1080, 2775);
    cmdWSPrg = placeButton(this, QStringLiteral("cmdWSPrg"), QStringLiteral("Configure Device"), 3120, 1560,
                           2775, 375);
    connect(cmdWSPrg, &QPushButton::clicked, this, &frmQVDTWSTestCnf::cmdWSPrg_Click);

    lblStstus = placeLabel(this, QStringLiteral("lblStstus"), QString(), 120, 5340, 6120, 315);
    lblStstus->setFrameShape(QFrame::Box);
    setBack(lblStstus, kLightRed);

    Timer1 = makePollTimer(this);
    connect(Timer1, &QTimer::timeout, this, &frmQVDTWSTestCnf::Timer1_Timer);
}

void frmQVDTWSTestCnf::Form_Load()
{
    WSType = 6;
    ShowCnf();
    for (const ws::ConfigEntry& e : ws::kLegacyConfigList)
        cboWSTypeSelect->addItem(QString::fromLatin1(e.text));
    cboWSTypeSelect->setCurrentIndex(0);
    ShowSts();
    Timer1->start();
}

void frmQVDTWSTestCnf::Form_Unload(bool&) { Timer1->stop(); }

void frmQVDTWSTestCnf::Timer1_Timer() { ScanWS(); }

void frmQVDTWSTestCnf::ScanWS()
{
    int mask = 0;
    for (int i = 0; i < 6; ++i)
        if (PilotOn[size_t(i)])
            mask += 1 << i;
    const ws::LegacyStation::Poll p = m_station.ScanWS(mask);
    if (p.statusOk) {
        const bool echo = chkEchoPilots->isChecked();
        for (int i = 0; i < 6; ++i) {
            const bool on = (p.inputs >> i) & 1;
            shpWSButton[size_t(i)]->fill = on ? kYellow : kDarkOlive;
            if (echo)
                PilotOn[size_t(i)] = on;
        }
        lblDimVal->setText(QString::number(p.inputs));
        if (echo)
            ShowSts();
        if (p.typeOk) {
            setBack(lblStstus, kGreen);
            WSType = p.typeByte / 16;
            // The last model code has no text: the line keeps what it showed.
            if (const std::optional<QString> text = ws::legacyText(p.typeByte))
                lblStstus->setText(*text);
        } else {
            setBack(lblStstus, kLightRed);
            lblStstus->setText(QStringLiteral(" No Response1"));
        }
    } else {
        setBack(lblStstus, kLightRed);
        lblStstus->setText(QStringLiteral(" No Response"));
    }
    if (WSType != ShownType)
        ShowCnf();
    Shape1->update();
}

void frmQVDTWSTestCnf::ShowCnf()
{
    const std::vector<int>& tops = ws::legacyFaceplate(WSType);
    int hiddenTop = 400;
    for (size_t i = 0; i < 6; ++i) {
        const bool shown = i < tops.size();
        shpWSButton[i]->visible = shown;
        if (shown) {
            shpWSButton[i]->setTop(tops[i]);
        } else {
            // Hidden markers are parked below the plate, one under the other.
            shpWSButton[i]->setTop(hiddenTop);
            hiddenTop += 20;
        }
        shpWSPilot[i]->setTop(shpWSButton[i]->top());
        shpWSPilot[i]->visible = shown;
    }
    lblDimVal->setVisible(ws::legacyIsSlider(WSType));
    ShownType = WSType;
    Shape1->update();
}

void frmQVDTWSTestCnf::ShowSts()
{
    for (size_t i = 0; i < 6; ++i)
        shpWSPilot[i]->fill = PilotOn[i] ? kPilotOn : kPilotOff;
    Shape1->update();
}

void frmQVDTWSTestCnf::Form_MouseDown(QPoint at)
{
    if (chkEchoPilots->isChecked())
        return;
    for (size_t i = 0; i < 6; ++i)
        if (shpWSPilot[i]->contains(at))
            PilotOn[i] = !PilotOn[i];
    ShowSts();
}

void frmQVDTWSTestCnf::cmdWSPrg_Click()
{
    if (host().dialogs().message(QStringLiteral("This Will Re-Configure The Wistra Device.\r\nContinue"),
                                 QStringLiteral("Configure Wistra"), MsgIcon::Question,
                                 MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    Timer1->stop();
    host().Delay(500);
    m_station.QVComWSCnf(std::max(0, cboWSTypeSelect->currentIndex()));
    host().Delay(500);
    // The station does not answer the configure frame; the technician checks the type line after
    // cycling its power.
    host().dialogs().message(QStringLiteral("Configuration Complete. Cycle Power On Device."),
                             QStringLiteral("Configure Wistra"), MsgIcon::Information);
    Timer1->start();
}

} // namespace tqdt::ws

#include "bus/FrameCodec.h"
#include "sim/BenchStations.h"
#include "support/SimHost.h"
#include "ui/devices/WsWidgets.h"
#include "ui/devices/frmQVDTKestrixTestCnf.h"
#include "ui/devices/frmQVDTWSDualTechCnf.h"
#include "ui/devices/frmQVDTWSDualTechWallCnf.h"
#include "ui/devices/frmQVDTWSG3TestCnf.h"
#include "ui/devices/frmQVDTWSTestCnf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tqdt;
using test::SimHost;
using namespace tqdt::ws;
using namespace tqdt::ws::wscolour;

namespace {

QByteArray dev(int address, const QByteArray& commandAndData)
{
    return BuildDevFrame('2', qint16(address), commandAndData);
}

// A device window loaded on a bench holding one station, the port open as the launcher leaves it.
template <typename Window, typename Station> struct Open {
    template <typename... Args> explicit Open(Args... args) : station(std::make_shared<Station>(args...))
    {
        h.site.setBench(station);
        h.openPort();
        w = std::make_unique<Window>(h.host);
        w->ensureLoaded();
        w->activate();
        w->Timer1->stop(); // the tests run the ticks themselves
        h.takeWritten();
    }
    SimHost h;
    std::shared_ptr<Station> station;
    std::unique_ptr<Window> w;
};

bool allVisible(const std::array<QLabel*, 8>& row, bool visible)
{
    for (const QLabel* l : row)
        if (l->isVisibleTo(l->parentWidget()) != visible)
            return false;
    return true;
}
bool shown(const QWidget* w) { return w->isVisibleTo(w->parentWidget()); }

std::vector<bool> whites(const std::array<QLabel*, 8>& row)
{
    std::vector<bool> out;
    for (const QLabel* l : row)
        out.push_back(backOf(l) == kWhite);
    return out;
}

// The frames a script lets through unanswered: the model write is swallowed, as by a station that
// refuses its new model.
std::function<std::optional<QByteArray>(Channel, const QByteArray&)> swallowWrites()
{
    return [](Channel, const QByteArray& f) -> std::optional<QByteArray> {
        if (f.size() > 5 && f[4] == 'B')
            return QByteArray(); // silence
        return std::nullopt;
    };
}

} // namespace

// --- G3 ---

TEST(G3Window, MultiAddressStationLightsItsFollowingAddressesAndHidesThemWhenSilent)
{
    Open<frmQVDTWSG3TestCnf, sim::G3WallStation> o(0x10, 19); // " 5-MZD"
    o.station->setExtraInputs(1, 0x05);
    o.station->setExtraInputs(2, 0x80);
    auto& w = *o.w;
    w.cboWSAdd->setCurrentIndex(0x10);
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStatus->text(), " 5-MZD Rev: 09");
    EXPECT_EQ(backOf(w.lblStatus), kGreen);
    EXPECT_TRUE(shown(w.rows.lblDev2Add) && shown(w.rows.lblDev3Add));
    EXPECT_FALSE(shown(w.rows.lblCapScn));
    EXPECT_EQ(w.rows.lblDev2Add->text(), "11");
    EXPECT_EQ(w.rows.lblDev3Add->text(), "12");
    EXPECT_EQ(whites(w.rows.lblDev2),
              (std::vector<bool>{true, false, true, false, false, false, false, false}));
    EXPECT_EQ(whites(w.rows.lblDev3),
              (std::vector<bool>{false, false, false, false, false, false, false, true}));

    o.station->setSilent(true);
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStatus->text(), "No Response");
    EXPECT_EQ(backOf(w.lblStatus), kLightRed);
    EXPECT_TRUE(allVisible(w.rows.lblDev2, false) && allVisible(w.rows.lblDev3, false));
    EXPECT_FALSE(shown(w.rows.lblDev2Add) || shown(w.rows.lblDev3Add));
}

TEST(G3Window, SaZoneModelShowsUpAndDownFromItsOwnStatus)
{
    Open<frmQVDTWSG3TestCnf, sim::G3WallStation> o(0, 80); // " SA - 2-MZD"
    o.station->setStatusB(0xFF);
    o.station->setInputs(0x08); // bit 3: up
    auto& w = *o.w;
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStatus->text(), " SA - 2-MZD Rev: 09");
    EXPECT_EQ(w.rows.lblDev2Add->text(), "Up");
    EXPECT_EQ(w.rows.lblDev3Add->text(), "Down");
    EXPECT_EQ(whites(w.rows.lblDev2),
              (std::vector<bool>{true, true, false, false, false, false, false, false}));
    EXPECT_EQ(whites(w.rows.lblDev3), std::vector<bool>(8, false));
    // The faceplate is that of the plain model, " 2-MZD": three double buttons and a rocker.
    EXPECT_EQ(w.WSType, 16);
    EXPECT_EQ(w.shpWSButton[0]->geometry, QRect(48, 56, 113, 63));
    EXPECT_EQ(w.shpWSButton[2]->geometry, QRect(48, 184, 113, 63));
    EXPECT_EQ(w.shpWSButton[4]->geometry, QRect(104, 248, 56, 31));
    EXPECT_FALSE(w.shpWSPilot[4]->visible) << "rocker halves have no lamp";
    EXPECT_FALSE(w.shpWSButton[5]->visible);
}

TEST(G3Window, EchoDrivesPilotSevenOnlyInTestMode)
{
    for (int type : {7, 6}) {
        SCOPED_TRACE(type);
        Open<frmQVDTWSG3TestCnf, sim::G3WallStation> o(0, type);
        auto& w = *o.w;
        w.Timer1_Timer(); // identifies the model
        w.chkEchoPilots->setChecked(true);
        // A click toggles only pilot 7 while echoing.
        w.Form_MouseDown(w.shpWSPilot[7]->geometry.center());
        w.Form_MouseDown(w.shpWSPilot[0]->geometry.center());
        EXPECT_TRUE(w.PilotOn[7]);
        EXPECT_FALSE(w.PilotOn[0]);
        o.station->setInputs(0x01); // button 0 pressed, button 7 released
        w.Timer1_Timer();
        EXPECT_TRUE(w.PilotOn[0]);
        EXPECT_EQ(w.PilotOn[7], type != 7)
            << "Test Mode echoes button 7, other models keep the clicked state";
        EXPECT_EQ(w.shpWSPilot[0]->fill, frmQVDTWSG3TestCnf::kPilotOn);
    }
}

TEST(G3Window, ConfigDoneOnlyWhenTheStationAnswersAndTakesTheModel)
{
    struct Case {
        const char* what;
        bool silent;
        bool swallowWrite;
        const char* afterConfigure;
        const char* afterPoll;
        QColor colour;
    } cases[] = {
        {"taken", false, false, "Config Done", "Config Done", kGreen},
        {"no answer", true, false, "Config Failed - No Response", "Config Failed - No Response", kLightRed},
        {"not taken", false, true, "Config Done", "Config Failed - Device Reports 1-MZD Rev: 09", kLightRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open<frmQVDTWSG3TestCnf, sim::G3WallStation> o(0, 1);
        auto& w = *o.w;
        w.cboWSTypeSelect->setCurrentIndex(12); // "2-MZD 2 Btn"
        o.station->setSilent(c.silent);
        if (c.swallowWrite)
            o.h.site.script = swallowWrites();
        const qint64 start = o.h.nowMs();
        w.cmdWSPrg_Click();
        EXPECT_GE(o.h.nowMs() - start, c.silent ? 2000 : 2500);
        EXPECT_TRUE(w.Timer1->isActive());
        EXPECT_EQ(w.lblConfig->text(), c.afterConfigure);
        const auto sent = o.h.takeWritten();
        EXPECT_EQ(sent.front(), dev(0, "AFF"));
        EXPECT_EQ(sent.size(), c.silent ? 1u : 2u);
        if (!c.silent) {
            EXPECT_EQ(sent.back(), dev(0, "B1D"));
        }
        w.Timer1->stop();
        w.Timer1_Timer();
        EXPECT_EQ(w.lblConfig->text(), c.afterPoll);
        EXPECT_EQ(backOf(w.lblConfig), c.colour);
    }
}

TEST(G3Window, FindSelectsTheFirstStationOrSaysNoneWasFound)
{
    SimHost h;
    h.site.wallStations[0x05] = sim::WallStation{};
    h.site.wallStations[0x09] = sim::WallStation{};
    h.openPort();
    frmQVDTWSG3TestCnf w(h.host);
    w.ensureLoaded();
    w.Timer1->stop();
    w.cmdFind_Click();
    EXPECT_EQ(w.cboWSAdd->currentIndex(), 5);
    EXPECT_EQ(w.cmdFind->text(), "Find WS");
    EXPECT_TRUE(h.dialogs.shown.empty());
    h.site.wallStations.clear();
    w.cmdFind_Click();
    ASSERT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_EQ(h.dialogs.shown[0].text, "No WS Devices Found");
    EXPECT_EQ(h.dialogs.shown[0].title, "Find WS");
    EXPECT_EQ(h.dialogs.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(w.cmdFind->text(), "Find WS");
}

// --- Legacy ---

TEST(LegacyWindow, EchoLightsPilotsFromTheNextPollAndIgnoresClicks)
{
    Open<frmQVDTWSTestCnf, sim::LegacyWallStation> o(0x63);
    auto& w = *o.w;
    w.chkEchoPilots->setChecked(true);
    o.station->press(3);
    w.Timer1_Timer();
    EXPECT_TRUE(w.PilotOn[3]);
    EXPECT_EQ(w.shpWSPilot[3]->fill, frmQVDTWSTestCnf::kPilotOn);
    EXPECT_EQ(w.shpWSButton[3]->fill, kYellow);
    w.Form_MouseDown(w.shpWSPilot[1]->geometry.center());
    EXPECT_FALSE(w.PilotOn[1]);
    w.Timer1_Timer();
    EXPECT_EQ(o.station->pilots(), 0x08);
}

TEST(LegacyWindow, ClickOnAMarkersRightOrBottomEdgeTogglesIt)
{
    Open<frmQVDTWSTestCnf, sim::LegacyWallStation> o(0x63);
    auto& w = *o.w;
    const QRect r = w.shpWSPilot[2]->geometry;
    w.Form_MouseDown(QPoint(r.x() + r.width(), r.y() + 1));
    EXPECT_TRUE(w.PilotOn[2]);
    w.Form_MouseDown(QPoint(r.x() + 1, r.y() + r.height()));
    EXPECT_FALSE(w.PilotOn[2]);
    w.Form_MouseDown(QPoint(r.x() + r.width() + 1, r.y() + 1));
    EXPECT_FALSE(w.PilotOn[2]) << "one past the edge misses";
    w.Form_MouseDown(QPoint(r.x(), r.y()));
    w.Timer1_Timer();
    EXPECT_EQ(o.station->pilots(), 0x04);
}

TEST(LegacyWindow, FaceplateFollowsTheModelAndTheLastCodeKeepsTheText)
{
    Open<frmQVDTWSTestCnf, sim::LegacyWallStation> o(0xE1); // 8 buttons
    auto& w = *o.w;
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStstus->text(), " Type: 8 Button  Rev: 01");
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(w.shpWSButton[size_t(i)]->visible && w.shpWSPilot[size_t(i)]->visible) << i;
    EXPECT_EQ(w.shpWSButton[5]->top(), 264);

    o.station->setTypeByte(0xF1);
    setBack(w.lblStstus, kLightRed);
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStstus->text(), " Type: 8 Button  Rev: 01");
    EXPECT_EQ(backOf(w.lblStstus), kGreen);

    o.station->setTypeByte(0x91); // slider: no buttons, the level instead
    o.station->setInputs(200);
    w.Timer1_Timer();
    EXPECT_FALSE(w.shpWSButton[0]->visible);
    EXPECT_EQ(w.shpWSButton[0]->top(), 400);
    EXPECT_EQ(w.shpWSButton[5]->top(), 500);
    EXPECT_TRUE(shown(w.lblDimVal));
    EXPECT_EQ(w.lblDimVal->text(), "200");

    o.station->setTypeByte(0x21);
    w.Timer1_Timer();
    EXPECT_FALSE(shown(w.lblDimVal));
    EXPECT_EQ(w.shpWSButton[1]->top(), 224);
    EXPECT_EQ(w.shpWSPilot[1]->top(), 224);

    o.station->setSilent(true);
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStstus->text(), " No Response");
}

TEST(LegacyWindow, ConfigureAsksFirstAndNoSendsNothing)
{
    Open<frmQVDTWSTestCnf, sim::LegacyWallStation> o(0x63);
    auto& w = *o.w;
    w.Timer1->start();
    w.cboWSTypeSelect->setCurrentIndex(12); // "Configure Slider DB=6"
    o.h.dialogs.queueAnswer(MsgAnswer::No);
    w.cmdWSPrg_Click();
    EXPECT_TRUE(o.h.takeWritten().empty());
    EXPECT_TRUE(w.Timer1->isActive());
    ASSERT_EQ(o.h.dialogs.shown.size(), 1u);
    EXPECT_EQ(o.h.dialogs.shown[0].text, "This Will Re-Configure The Wistra Device.\r\nContinue");
    EXPECT_EQ(o.h.dialogs.shown[0].title, "Configure Wistra");

    o.h.dialogs.queueAnswer(MsgAnswer::Yes);
    w.cmdWSPrg_Click();
    EXPECT_EQ(o.h.takeWritten(), (std::vector<QByteArray>{"[2004*AF7]"}));
    ASSERT_EQ(o.h.dialogs.shown.size(), 3u);
    EXPECT_EQ(o.h.dialogs.shown[2].text, "Configuration Complete. Cycle Power On Device.");
    w.Timer1->stop();
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStstus->text(), " Type: Slidder DB=6  Rev: 03");
}

// --- Dual-technology ceiling sensor ---

TEST(CeilingWindow, RevisionThirteenHidesTheNewerControlsAndForcesOverTheWire)
{
    Open<frmQVDTWSDualTechCnf, sim::CeilingSensor> o(0, 1, 14);
    auto& w = *o.w;
    EXPECT_FALSE(shown(w.cmdRead)) << "hidden until a sensor reports revision 14";
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStatus->text(), " DT Only - Rev: 14");
    EXPECT_TRUE(shown(w.cmdRead) && shown(w.Rly->heading) && shown(w.OOL->lbl[1]));
    w.OOL->onClick(1);
    EXPECT_EQ(w.st.s.OolSource, 1);

    o.station->setRevision(13);
    w.Timer1_Timer();
    EXPECT_FALSE(shown(w.cmdRead) || shown(w.Rly->heading) || shown(w.Rly->lbl[0]) || shown(w.OOL->lbl[1]));
    EXPECT_TRUE(shown(w.OOL->lbl[0]));
    EXPECT_EQ(w.st.s.OolSource, 0);
    EXPECT_TRUE(w.OOL->selected(0));
    w.OOL->onClick(1);
    EXPECT_EQ(w.st.s.OolSource, 0) << "ignored before revision 14";
}

TEST(CeilingWindow, AdvancedModeShowsTheTimersOnTheirColours)
{
    Open<frmQVDTWSDualTechCnf, sim::CeilingSensor> o(0, 3, 14);
    o.station->timerWords = {0x8078, 0x0078, 0, 0};
    auto& w = *o.w;
    w.Form_MouseDown(Qt::RightButton, Qt::NoModifier);
    EXPECT_FALSE(w.st.AdvancedMode);
    w.Form_MouseDown(Qt::RightButton, Qt::ShiftModifier);
    EXPECT_TRUE(w.st.AdvancedMode);
    EXPECT_EQ(w.width(), tw(4815));
    w.Timer1_Timer();
    EXPECT_TRUE(shown(w.lblTimer[0]));
    EXPECT_EQ(w.lblTimer[0]->text(), "001:04");
    EXPECT_EQ(backOf(w.lblTimer[0]), frmQVDTWSDualTechCnf::kTimerNegative);
    EXPECT_EQ(backOf(w.lblTimer[1]), kWhite);
}

TEST(CeilingWindow, SensorTypeChoosesWhatIsShown)
{
    struct Case {
        int type;
        const char* text;
        bool photocells, inputs, groups;
    } cases[] = {
        {1, " DT Only - Rev: 14", false, true, true},
        {2, " PC Only - Rev: 14", true, false, false},
        {3, " DT/PC - Rev: 14", true, true, true},
        {0, " Unknown - Rev: 14", false, false, false},
    };
    for (const Case& c : cases) {
        Open<frmQVDTWSDualTechCnf, sim::CeilingSensor> o(0, c.type, 14);
        o.station->setPhotocell(12, 34);
        auto& w = *o.w;
        w.Timer1_Timer();
        EXPECT_EQ(w.lblStatus->text(), c.text);
        EXPECT_EQ(shown(w.lblPC[0]), c.photocells) << c.type;
        EXPECT_EQ(shown(w.lblIStatus[0]), c.inputs) << c.type;
        EXPECT_EQ(shown(w.cmdDefaults) && shown(w.PIR->heading), c.groups) << c.type;
        EXPECT_FALSE(shown(w.PIR->lbl[0])) << "PIR 'Disabled' is never offered";
        if (c.photocells) {
            EXPECT_EQ(w.lblPC[1]->text(), "  Photocell 30 Sec 034/255");
        }
    }
}

// --- Dual-technology wall sensor ---

TEST(WallSensorWindow, EchoLightsTheModelsPilotsAndClicksChangeNothing)
{
    Open<frmQVDTWSDualTechWallCnf, sim::WallSensor> o(0, 68, 12); // " 2 Zone w/Off"
    auto& w = *o.w;
    w.Timer1_Timer();
    w.chkEchoPilots->setChecked(true);
    w.chkEchoPilots_Click();
    o.station->setInputs(0x1C); // bits 2, 3, 4
    w.Timer1_Timer();
    std::vector<bool> lit;
    for (int i = 2; i <= 6; ++i)
        lit.push_back(w.lblPilot[size_t(i)]->fill == frmQVDTWSDualTechWallCnf::kPilotLit);
    EXPECT_EQ(lit, (std::vector<bool>{true, false, true, false, true})) << "pilots 3, 5 and 7";
    EXPECT_TRUE(w.lblPilot[2]->caption.isEmpty());
    const auto before = w.PilotOn;
    w.lblPilot_Click(5);
    EXPECT_EQ(w.PilotOn, before);

    w.chkEchoPilots->setChecked(false);
    w.chkEchoPilots_Click();
    EXPECT_EQ(w.lblPilot[2]->caption, "3");
    w.lblPilot_Click(5);
    EXPECT_NE(w.PilotOn[5], before[5]);
}

TEST(WallSensorWindow, PlainAndSaModelsShowTheirRows)
{
    Open<frmQVDTWSDualTechWallCnf, sim::WallSensor> o(0, 0x41, 12);
    o.station->setOccupancyInputs(0x02);
    auto& w = *o.w;
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStatus->text(), " 2 Zone MZD   Rev: 12");
    EXPECT_TRUE(shown(w.rows.lblDev2Add));
    EXPECT_FALSE(shown(w.rows.lblDev3Add));
    EXPECT_EQ(w.rows.lblDev2Add->text(), "01");
    EXPECT_EQ(backOf(w.rows.lblDev2Add), kCyan);
    EXPECT_EQ(whites(w.rows.lblDev2),
              (std::vector<bool>{false, true, false, false, false, false, false, false}));

    o.station->setTypeByte(0x61);
    o.station->setStatusB(0x01);
    o.station->setInputs(0x60);
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStatus->text(), " SA - 2 Zone MZD   Rev: 12");
    EXPECT_EQ(w.rows.lblDev2Add->text(), "Up");
    EXPECT_EQ(w.rows.lblDev3Add->text(), "Down");
    EXPECT_EQ(whites(w.rows.lblDev2),
              (std::vector<bool>{true, false, false, false, false, false, false, false}));
    EXPECT_EQ(whites(w.rows.lblDev3),
              (std::vector<bool>{true, false, false, false, false, false, false, false}));
}

TEST(WallSensorWindow, ConfigureDeviceReportsWhatHappened)
{
    Open<frmQVDTWSDualTechWallCnf, sim::WallSensor> o(0, 0x41, 12);
    auto& w = *o.w;
    w.cboWSTypeSelect->setCurrentIndex(16); // " 1 Button"
    w.cmdWSPrg_Click();
    w.Timer1->stop();
    EXPECT_EQ(o.h.takeWritten(), (std::vector<QByteArray>{dev(0, "AFF"), dev(0, "B50")}));
    EXPECT_EQ(w.lblConfig->text(), "Config Done");
    for (int t = 0; t < 39; ++t)
        w.Timer1_Timer();
    EXPECT_TRUE(shown(w.lblConfig));
    w.Timer1_Timer();
    EXPECT_FALSE(shown(w.lblConfig)) << "hidden after two seconds of ticks";
    EXPECT_EQ(w.lblStatus->text(), " 1 Button   Rev: 12");

    o.station->setSilent(true);
    w.cmdWSPrg_Click();
    w.Timer1->stop();
    EXPECT_EQ(w.lblConfig->text(), "Config Failed - No Response");
    EXPECT_EQ(backOf(w.lblConfig), kLightRed);
    for (int t = 0; t < 50; ++t)
        w.Timer1_Timer();
    EXPECT_TRUE(shown(w.lblConfig)) << "a failure stays until the next attempt";
}

// --- Kestrix ---

TEST(KestrixWindow, IdentifiesModelOptionsAndRows)
{
    Open<frmQVDTKestrixTestCnf, sim::KestrixStation> o(0x20, 0xA1);
    o.station->setSecondInputs(0x03);
    auto& w = *o.w;
    w.cboWSAdd->setCurrentIndex(0x20);
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStatus->text(), " 3 Scene Rev: 09");
    EXPECT_EQ(w.lblOptions->text(), " Audio: On     Wipe Down: Disabled");
    EXPECT_EQ(backOf(w.lblOptions), kGreen);
    EXPECT_EQ(w.rows.lblDev2Add->text(), "21");
    EXPECT_EQ(backOf(w.rows.lblDev2Add), kCyan);
    EXPECT_EQ(whites(w.rows.lblDev2),
              (std::vector<bool>{true, true, false, false, false, false, false, false}));

    o.station->setTypeByte(0x5A);
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStatus->text(), " Invalid Type: 90");
    EXPECT_FALSE(shown(w.rows.lblDev2Add) || shown(w.rows.lblDev3Add) || shown(w.rows.lblCapScn));

    o.station->setSilent(true);
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStatus->text(), "No Response");
    EXPECT_TRUE(w.lblOptions->text().isEmpty());
    EXPECT_EQ(backOf(w.lblOptions), kLightRed);
}

TEST(KestrixWindow, WallWashFollowsPilotChecksAndProximity)
{
    struct Case {
        bool p7, p8, proximity, lit;
        const char* mode;
    } cases[] = {
        {false, false, true, false, "Wall Wash-Off / Pilots-Normal"},
        {true, false, false, true, "Wall Wash-On / Pilots-Normal"},
        {false, true, false, false, "Wall Wash-Proximity / Pilots-Normal"},
        {false, true, true, true, "Wall Wash-Proximity / Pilots-Normal"},
        {true, true, false, false, "Wall Wash-Proximity / Pilots-Proximity"},
        {true, true, true, true, "Wall Wash-Proximity / Pilots-Proximity"},
    };
    for (const Case& c : cases) {
        Open<frmQVDTKestrixTestCnf, sim::KestrixStation> o(0, 0x20);
        auto& w = *o.w;
        w.chkPilot7->setChecked(c.p7);
        w.chkPilot8->setChecked(c.p8);
        w.ShowProx();
        o.station->setInputs(c.proximity ? 0x80 : 0);
        w.Timer1_Timer();
        EXPECT_EQ(w.shpWallWash->border == kYellow, c.lit) << c.mode << c.proximity;
        EXPECT_EQ(w.lblProx->text(), c.mode);
        EXPECT_EQ(o.station->pilots(), (c.p7 ? 64 : 0) + (c.p8 ? 128 : 0));
        EXPECT_EQ(backOf(w.lblIn8), c.proximity ? kYellow : frmQVDTKestrixTestCnf::kInputOff);
    }
}

TEST(KestrixWindow, EchoIgnoresClicksButRepaints)
{
    Open<frmQVDTKestrixTestCnf, sim::KestrixStation> o(0, 0x20);
    auto& w = *o.w;
    w.chkEchoPilots->setChecked(true);
    w.PilotOn[2] = true; // set behind the indicators' back
    w.Form_MouseDown(w.shpWSPilot[2]->geometry.center());
    EXPECT_TRUE(w.PilotOn[2]);
    EXPECT_EQ(w.shpWSPilot[2]->fill, frmQVDTKestrixTestCnf::kPilotOn);
    w.chkEchoPilots->setChecked(false);
    w.Form_MouseDown(w.shpWSPilot[2]->geometry.center());
    EXPECT_FALSE(w.PilotOn[2]);
}

TEST(KestrixWindow, ConfigureWritesTheChosenByteAndReportsAMissingAnswer)
{
    Open<frmQVDTKestrixTestCnf, sim::KestrixStation> o(0x10, 0x20);
    auto& w = *o.w;
    w.cboWSAdd->setCurrentIndex(0x10);
    w.cboWSTypeSelect->setCurrentIndex(4);
    w.optWDM[2]->setChecked(true);
    w.chkAudio->setChecked(true);
    w.cmdWSPrg_Click();
    w.Timer1->stop();
    EXPECT_EQ(o.h.takeWritten(), (std::vector<QByteArray>{dev(0x10, "AEF"), dev(0x10, "BBC")}));
    EXPECT_EQ(w.lblConfig->text(), "Config Done");
    EXPECT_EQ(backOf(w.lblConfig), kGreen);
    w.Timer1_Timer();
    EXPECT_EQ(w.lblConfig->text(), "Config Done") << "the switch reports what it was given";
    EXPECT_EQ(w.lblOptions->text(), " Audio: On     Wipe Down: 12 Sec");

    o.station->setSilent(true);
    w.cmdWSPrg_Click();
    w.Timer1->stop();
    EXPECT_EQ(w.lblConfig->text(), "Config Failed - No Response");
    EXPECT_EQ(backOf(w.lblConfig), kLightRed);
}

// --- What the sensor windows may write ---

namespace {
// Leaves unanswered the read-backs and settings writes ("B" and two hex digits) whose value starts
// with the given digits; every other frame goes through.
std::function<std::optional<QByteArray>(Channel, const QByteArray&)> swallowValue(const QByteArray& value)
{
    return [value](Channel, const QByteArray& f) -> std::optional<QByteArray> {
        if (f.mid(4).startsWith("B" + value))
            return QByteArray();
        return std::nullopt;
    };
}

template <typename Window>
std::vector<bool> enabledAfterEachStep(Window& w, const std::vector<std::function<void()>>& steps)
{
    std::vector<bool> out{w.cmdConfig->isEnabled()};
    for (const auto& step : steps) {
        step();
        out.push_back(w.cmdConfig->isEnabled());
    }
    return out;
}
} // namespace

TEST(SensorWindows, ConfigureWaitsUntilTheWindowKnowsWhatItWrites)
{
    // Each step: Find WS, a poll, then Read From Sensor or Defaults, then another address.
    {
        SCOPED_TRACE("ceiling, revision 14: the settings must be read or set");
        for (bool viaDefaults : {false, true}) {
            Open<frmQVDTWSDualTechCnf, sim::CeilingSensor> o(0, 3, 14);
            auto& w = *o.w;
            EXPECT_EQ(
                enabledAfterEachStep(w, {[&] { w.cmdFind_Click(); }, [&] { w.Timer1_Timer(); },
                                         [&] { viaDefaults ? w.cmdDefaults_Click() : w.cmdRead_Click(); },
                                         [&] { w.cboWSAdd->setCurrentIndex(1); },
                                         [&] { w.cboWSAdd->setCurrentIndex(0); }, [&] { w.Timer1_Timer(); }}),
                (std::vector<bool>{false, false, false, true, false, false, false}))
                << viaDefaults;
        }
    }
    {
        SCOPED_TRACE("ceiling, revision 13: the status read is enough");
        Open<frmQVDTWSDualTechCnf, sim::CeilingSensor> o(0, 1, 13);
        auto& w = *o.w;
        EXPECT_EQ(
            enabledAfterEachStep(w, {[&] { w.Timer1_Timer(); }, [&] { w.cmdFind_Click(); },
                                     [&] { w.Timer1_Timer(); }, [&] { w.cboWSAdd->setCurrentIndex(2); }}),
            (std::vector<bool>{false, false, false, true, false}))
            << "a poll without Find WS does not count";
    }
    {
        SCOPED_TRACE("wall sensor");
        Open<frmQVDTWSDualTechWallCnf, sim::WallSensor> o(0, 0x41, 12);
        auto& w = *o.w;
        EXPECT_EQ(enabledAfterEachStep(w, {[&] { w.cmdRead_Click(); }, [&] { w.cmdFind_Click(); },
                                           [&] { w.Timer1_Timer(); }, [&] { w.cmdDefaults_Click(); },
                                           [&] { w.cboWSAdd->setCurrentIndex(5); }}),
                  (std::vector<bool>{false, false, false, true, true, false}))
            << "a read before Find WS counts for the same address";
    }
}

TEST(SensorWindows, ConfigureBeforeAnyReadWritesNothing)
{
    Open<frmQVDTWSDualTechCnf, sim::CeilingSensor> o(0, 3, 14);
    o.station->settings.pir = 1;
    o.w->cmdConfig_Click();
    EXPECT_TRUE(o.h.takeWritten().empty());
    Open<frmQVDTWSDualTechWallCnf, sim::WallSensor> wall(0, 0x41, 12);
    wall.w->cmdConfig_Click();
    EXPECT_TRUE(wall.h.takeWritten().empty());
}

namespace {
// Find, poll and read a sensor, then let the script decide which frames go unanswered.
template <typename Window>
void readAndConfigure(Window& w, SimHost& h, const char* swallowed, const char* afterRead,
                      const char* afterConfig)
{
    w.cmdFind_Click();
    w.Timer1_Timer();
    w.cmdRead_Click();
    ASSERT_TRUE(w.cmdConfig->isEnabled());
    ASSERT_EQ(w.lblResult->text(), "Read Done");
    w.PIR->onClick(1);
    const ws::SensorSettings before = w.st.s;
    if (*swallowed)
        h.site.script = swallowValue(swallowed);
    w.cmdRead_Click();
    EXPECT_EQ(w.lblResult->text(), afterRead);
    if (QString(afterRead) == "No Response") {
        EXPECT_EQ(backOf(w.lblResult), kLightRed);
        EXPECT_EQ(w.st.s.PirSens, before.PirSens) << "the controls stay as they were";
        EXPECT_EQ(w.st.s.AcsSens, before.AcsSens);
        EXPECT_EQ(w.st.s.VacTimer, before.VacTimer);
        EXPECT_EQ(w.st.s.LedMode, before.LedMode);
        EXPECT_TRUE(w.PIR->selected(1));
    }
    w.cmdConfig_Click();
    EXPECT_EQ(w.lblResult->text(), afterConfig);
    EXPECT_EQ(backOf(w.lblResult), QString(afterConfig) == "Config Done" ? kGreen : kLightRed);
    EXPECT_TRUE(w.cmdConfig->isEnabled());
    w.Timer1_Timer();
    EXPECT_EQ(w.lblResult->text(), afterConfig) << "the poll does not rewrite it";
    w.cboWSAdd->setCurrentIndex(1);
    EXPECT_FALSE(shown(w.lblResult)) << "another address clears it";
}
} // namespace

TEST(SensorWindows, ReadAndConfigureSayWhetherTheSensorAnswered)
{
    struct Case {
        const char* what;
        const char* swallowed; // value of the frame that goes unanswered ("" none)
        const char* afterRead;
        const char* afterConfig;
    } cases[] = {
        {"answered", "", "Read Done", "Config Done"},
        {"first read-back", "A0", "No Response", "Config Done"},
        {"second read-back", "B0", "No Response", "Config Done"},
        {"last settings write", "F", "Read Done", "Config Failed - No Response"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            Open<frmQVDTWSDualTechCnf, sim::CeilingSensor> o(0, 1, 14);
            readAndConfigure(*o.w, o.h, c.swallowed, c.afterRead, c.afterConfig);
        }
        {
            Open<frmQVDTWSDualTechWallCnf, sim::WallSensor> o(0, 0x41, 12);
            readAndConfigure(*o.w, o.h, c.swallowed, c.afterRead, c.afterConfig);
        }
    }
}

TEST(SensorWindows, ASilentSensorReadsAsNoResponse)
{
    Open<frmQVDTWSDualTechCnf, sim::CeilingSensor> o(0, 1, 14);
    auto& w = *o.w;
    w.cmdFind_Click();
    w.Timer1_Timer();
    w.Vac->onClick(5);
    o.station->setSilent(true);
    w.cmdRead_Click();
    EXPECT_EQ(w.lblResult->text(), "No Response");
    EXPECT_EQ(w.st.s.VacTimer, 5);
    EXPECT_TRUE(w.Vac->selected(5));
    EXPECT_FALSE(w.cmdConfig->isEnabled()) << "nothing was read";
}

TEST(StationWindows, OnlyTheG3StationIsComparedWithItsNewModelAtTheNextPoll)
{
    // The model write is lost: the next poll shows the old model. The G3 station shows its new
    // model at once, so that means the write was not taken; the Kestrix switch and the wall
    // sensor show theirs only after a restart, so their "Config Done" stands.
    {
        Open<frmQVDTKestrixTestCnf, sim::KestrixStation> o(0, 0x20);
        auto& w = *o.w;
        w.Timer1_Timer();
        w.cboWSTypeSelect->setCurrentIndex(4);
        o.h.site.script = swallowWrites();
        w.cmdWSPrg_Click();
        w.Timer1->stop();
        w.Timer1_Timer();
        EXPECT_EQ(w.lblConfig->text(), "Config Done");
        EXPECT_EQ(backOf(w.lblConfig), kGreen);
    }
    {
        Open<frmQVDTWSDualTechWallCnf, sim::WallSensor> o(0, 0x41, 12);
        auto& w = *o.w;
        w.Timer1_Timer();
        w.cboWSTypeSelect->setCurrentIndex(16);
        o.h.site.script = swallowWrites();
        w.cmdWSPrg_Click();
        w.Timer1->stop();
        w.Timer1_Timer();
        EXPECT_EQ(w.lblConfig->text(), "Config Done");
        EXPECT_EQ(backOf(w.lblConfig), kGreen);
    }
}

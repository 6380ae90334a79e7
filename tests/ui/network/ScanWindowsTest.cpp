#include "ui/network/frmQVDTLocalScan.h"
#include "ui/network/frmQVDTNetworkScan.h"

#include "host/Host.h"
#include "support/SimHost.h"
#include "ui/shell/Launcher.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace tqdt::test {
using namespace tqdt::net;
namespace {

template <typename F> std::unique_ptr<F> opened(SimHost& h)
{
    h.openPort();
    auto w = std::make_unique<F>(h.host);
    w->ensureLoaded();
    w->activate();
    return w;
}

TEST(NetworkScanWindow, OpensFromTheLauncherAndProbesBothFamilies)
{
    SimHost h;
    h.site.panels[0x21] = sim::Panel{};
    h.site.wallStations[0xFE] = sim::WallStation{};
    QString shownGrid;
    h.dialogs.queueDriver([&](Form& f) {
        auto& w = static_cast<frmQVDTNetworkScan&>(f);
        EXPECT_EQ(w.windowTitle(), "Tarvik Quorvel Diagnostic Tool - Network Scan");
        ASSERT_EQ(w.panelGrid.node.size(), 254u);
        ASSERT_EQ(w.wsGrid.node.size(), 254u);
        // Slot 32 (address 21) opens the second column of 32.
        EXPECT_EQ(w.panelGrid.node[32]->pos(), QPoint(tw(830), tw(240)));
        EXPECT_EQ(w.panelGrid.error[32]->pos(), QPoint(tw(1025), tw(240)));
        EXPECT_EQ(w.wsGrid.node[33]->pos(), QPoint(tw(830), tw(420)));
        EXPECT_EQ(w.panelGrid.node[32]->text(), "21");
        EXPECT_EQ(backgroundOf(w.panelGrid.node[32]), scancolour::Present);
        EXPECT_EQ(backgroundOf(w.panelGrid.node[31]), scancolour::Absent);
        EXPECT_EQ(backgroundOf(w.panelGrid.error[31]), scancolour::Absent);
        EXPECT_EQ(backgroundOf(w.wsGrid.node[253]), scancolour::Present);
        EXPECT_EQ(w.cboPnlNode->count(), 255);
        EXPECT_EQ(w.cboPnlNode->itemText(254), "Panel: FE");
        EXPECT_EQ(w.ws.cboWSNode->itemText(1), "Wistra: 01");
        shownGrid = w.objectName();
    });
    EXPECT_TRUE(
        LaunchTool(h.host, LaunchKind::Scan, [&] { return std::make_unique<frmQVDTNetworkScan>(h.host); }));
    EXPECT_EQ(shownGrid, "frmQVDTNetworkScan");
}

TEST(NetworkScanWindow, RelayLabelClickSwitchesTheRelayInTheNextCycle)
{
    SimHost h;
    h.site.panels[3] = sim::Panel{};
    h.site.panels[3].relays[12] = true;
    auto w = opened<frmQVDTNetworkScan>(h);
    w->cmdStop_Click();
    EXPECT_EQ(w->cmdStop->text(), "Stop");
    EXPECT_FALSE(w->cmdClearTotals->isEnabled() || w->cmdFindLocal->isEnabled());
    EXPECT_TRUE(w->Timer1.isActive());
    QTest::mouseClick(w->panelGrid.node[2], Qt::LeftButton); // selects panel 03
    EXPECT_EQ(w->cboPnlNode->currentIndex(), 3);
    w->Timer1_Timer();
    EXPECT_EQ(w->lblPnlConnection->text(), "Connected");
    EXPECT_EQ(backgroundOf(w->lblRlySts[12]), scancolour::White);
    EXPECT_EQ(w->lblCycleCount->text(), "Cycle: 1");

    QTest::mouseClick(w->lblRlySts[12], Qt::LeftButton); // shown on: off
    QTest::mouseClick(w->lblRlySts[0], Qt::LeftButton);  // shown off: on
    for (int i = 0; i < 3; ++i)
        w->Timer1_Timer();
    EXPECT_FALSE(h.site.panels[3].relays[12]);
    EXPECT_TRUE(h.site.panels[3].relays[0]);
    EXPECT_EQ(backgroundOf(w->lblRlySts[0]), scancolour::White);
    EXPECT_EQ(backgroundOf(w->lblRlySts[12]), scancolour::Black);

    h.site.panels.erase(3);
    w->Timer1_Timer();
    EXPECT_EQ(w->lblPnlConnection->text(), "No Response");
    EXPECT_EQ(backgroundOf(w->panelGrid.error[2]), scancolour::Red);
    EXPECT_EQ(w->panelGrid.error[2]->text(), "1");
    w->cmdStop_Click();
    EXPECT_FALSE(w->Timer1.isActive());
    EXPECT_TRUE(w->cmdClearTotals->isEnabled());
}

TEST(NetworkScanWindow, NodeClickWhileStoppedTogglesTheFoundFlagByHand)
{
    SimHost h;
    auto w = opened<frmQVDTNetworkScan>(h);
    QTest::mouseClick(w->wsGrid.node[9], Qt::LeftButton);
    EXPECT_TRUE(w->scan.wallStations.found(9));
    EXPECT_EQ(backgroundOf(w->wsGrid.node[9]), scancolour::Present);
    QTest::mouseClick(w->wsGrid.node[9], Qt::LeftButton);
    EXPECT_FALSE(w->scan.wallStations.found(9));
    EXPECT_EQ(backgroundOf(w->wsGrid.node[9]), scancolour::Absent);
}

TEST(NetworkScanWindow, SliderChecksThePilotsAndTheSelectedStationGetsThem)
{
    SimHost h;
    h.site.wallStations[7] = sim::WallStation{};
    auto w = opened<frmQVDTNetworkScan>(h);
    w->cmdStop_Click();
    w->ws.cboWSNode->setCurrentIndex(7);
    EXPECT_TRUE(w->ws.frmOn->isVisibleTo(w.get()));
    w->ws.vsPilot->setValue(250);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(w->ws.chkOnPilot[size_t(i)]->isChecked(), i == 0 || i == 2) << i;
    w->Timer1_Timer();
    EXPECT_EQ(h.site.wallStations[7].pilots, 0x05);
    QTest::mouseClick(w->ws.optWSType[2], Qt::LeftButton);
    EXPECT_TRUE(w->ws.frmPC->isVisibleTo(w.get()));
    EXPECT_FALSE(w->ws.frmOn->isVisibleTo(w.get()));
    w->Timer1_Timer();
    EXPECT_EQ(h.site.wallStations[7].pilots, 0x00);
    EXPECT_EQ(w->ws.lbl02SecLevel->text(), "64/255");
}

struct LocalWindowFixture : ::testing::Test {
    SimHost h;
    std::unique_ptr<frmQVDTLocalScan> w;
    void SetUp() override
    {
        h.site.relayDevices[2] = sim::RelayDevice{};
        h.site.relayDevices[2].stuckMask = 0x01;
        h.site.dimmers[1] = sim::Dimmer{};
        w = opened<frmQVDTLocalScan>(h);
    }
    void pressAtCorner(Qt::KeyboardModifiers mods, QPoint at = {2, 2}, Qt::MouseButton b = Qt::RightButton)
    {
        QTest::mouseClick(w.get(), b, mods, at);
    }
};

TEST_F(LocalWindowFixture, ShiftRightClickInTheCornerOpensTheAdvancedArea)
{
    EXPECT_EQ(w->width(), tw(frmQVDTLocalScan::kWidth));
    w->cmdStop_Click();
    w->cboRRNode->setCurrentIndex(2);
    EXPECT_TRUE(w->cmdRRCmd[0]->isVisibleTo(w.get()));
    EXPECT_FALSE(w->cmdRRAllOn->isVisibleTo(w.get()));

    pressAtCorner(Qt::ShiftModifier, {20, 2});
    pressAtCorner(Qt::ShiftModifier | Qt::ControlModifier);
    pressAtCorner(Qt::NoModifier);
    pressAtCorner(Qt::ShiftModifier, {2, 2}, Qt::LeftButton);
    EXPECT_FALSE(w->scan.AdvancedMode);
    EXPECT_EQ(w->width(), tw(frmQVDTLocalScan::kWidth));

    pressAtCorner(Qt::ShiftModifier);
    EXPECT_TRUE(w->scan.AdvancedMode);
    EXPECT_EQ(w->width(), tw(frmQVDTLocalScan::kAdvancedWidth));
    EXPECT_TRUE(w->cmdRRAllOn->isVisibleTo(w.get()) && w->cmdRRAllOff->isVisibleTo(w.get()));
    QTest::mouseClick(w->cmdRRAllOn, Qt::LeftButton);
    w->Timer1_Timer();
    EXPECT_EQ(h.site.relayDevices[2].status, 0x0E);
    EXPECT_EQ(w->lblRRStatus[0]->text(), "Relay 1 Off");
    EXPECT_EQ(w->lblRRStatus[1]->text(), "Relay 2 On");
    EXPECT_EQ(backgroundOf(w->lblRRStatus[1]), scancolour::White);
}

TEST_F(LocalWindowFixture, FadeSliderFollowsWliMode)
{
    QTest::mouseClick(w->chkVarFade, Qt::LeftButton);
    EXPECT_TRUE(w->hsVarFade->isVisibleTo(w.get()));
    w->hsVarFade->setValue(255);
    EXPECT_EQ(w->lblVarFade->text(), "510 Seconds");
    QTest::mouseClick(w->chkWLIDim, Qt::LeftButton);
    EXPECT_EQ(w->hsVarFade->value(), 0);
    EXPECT_EQ(w->hsVarFade->maximum(), 5882);
    w->hsVarFade->setValue(5882);
    EXPECT_EQ(w->lblVarFade->text(), "600.0 Seconds");
    w->cmdStop_Click();
    w->Timer1_Timer();
    EXPECT_TRUE(w->lblDimCmd->text().startsWith("[A018FF0016FA"));
    EXPECT_EQ(h.site.dimmers[1].fade, 5882);
}

TEST_F(LocalWindowFixture, DimmerSlidersMoveTheMarkersToTheReportedLevels)
{
    w->cmdStop_Click();
    w->cboDONode->setCurrentIndex(1);
    w->vsDO[1]->setValue(127);
    w->vsDO[2]->setValue(255);
    w->Timer1_Timer();
    EXPECT_EQ(w->shpDimLevel[0]->y(), tw(1710));
    EXPECT_EQ(w->shpDimLevel[1]->y(), tw(3167));
    EXPECT_EQ(w->shpDimLevel[2]->y(), tw(4635));
    EXPECT_EQ(w->lblDOConnection->text(), "Connected");
}

TEST_F(LocalWindowFixture, PhotocellTesterColoursItsLabels)
{
    for (int p = 0; p < 3; ++p)
        h.site.photocells[0x55 + p] = sim::Photocell{quint8(kPhotocellTargets[size_t(p)]), 0};
    h.site.photocells[0x56].level02 = 65;
    w->chkPCTest->setChecked(true);
    w->cmdStop_Click();
    w->Timer1_Timer();
    EXPECT_EQ(w->lblPCTestVal[0]->text(), "234/255");
    EXPECT_EQ(backgroundOf(w->lblPCTestVal[0]), scancolour::Green);
    EXPECT_EQ(w->lblPCTestVal[1]->text(), "65/255");
    EXPECT_EQ(backgroundOf(w->lblPCTestVal[1]), scancolour::Red);
    EXPECT_EQ(backgroundOf(w->lblPCTestCOM[1]), scancolour::Green);
    EXPECT_EQ(w->lblPCTestVal[3]->text(), "-");
    EXPECT_EQ(backgroundOf(w->lblPCTestCOM[3]), scancolour::Red);
    EXPECT_EQ(w->lblCycleCount->text(), "Cycle: 0");
}

TEST_F(LocalWindowFixture, RelayCycleTestRunsOnlyWhileTheScanIsStoppedAndReportsItsFile)
{
    w->cmdStop_Click();
    EXPECT_FALSE(w->cmdRlyCycTst->isEnabled());
    w->cmdStop_Click();
    w->cboRlyCycCnt->setCurrentIndex(7);
    QTest::mouseClick(w->cmdRlyCycTst, Qt::LeftButton);
    ASSERT_TRUE(w->relayTest.TestRunning);
    EXPECT_EQ(w->cmdRlyCycTst->text(), "Stop Test");
    EXPECT_FALSE(w->cmdStop->isEnabled() || w->cmdClearTotals->isEnabled() || w->cmdFindLocal->isEnabled());
    EXPECT_TRUE(w->Timer2.isActive());
    EXPECT_EQ(w->Timer2.interval(), 5000);
    for (int i = 0; i < 3; ++i)
        w->Timer2_Timer();
    EXPECT_EQ(w->lblRlyCycRun->text(), "Cycle: 3");
    QTest::mouseClick(w->cmdRlyCycTst, Qt::LeftButton);
    EXPECT_FALSE(w->Timer2.isActive());
    EXPECT_TRUE(w->cmdStop->isEnabled());
    ASSERT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_EQ(h.dialogs.shown[0].title, "Relay Cycle Test");
    EXPECT_EQ(h.dialogs.shown[0].text, "Results in file: \r\n" + w->relayTest.ResultFile);
    QFile f(w->relayTest.ResultFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("Relays 1 to 8\r\n"));
    // Relay 5 is relay 1 of device 02, stuck off: its off-phase check (tick 2) finds it off.
    EXPECT_EQ(text.count("Relay 5 Failed to turn on"), 1);
    EXPECT_EQ(text.count("Relay 6 Failed"), 0);
}

TEST_F(LocalWindowFixture, StopThatCannotWriteTheFileSaysSoAndOffersToRetry)
{
    w->cmdRlyCycTst_Click();
    ASSERT_TRUE(w->relayTest.TestRunning);
    QFile::remove(w->relayTest.ResultFile);
    QDir().mkpath(w->relayTest.ResultFile);
    h.dialogs.queueAnswer(MsgAnswer::Retry);
    h.dialogs.queueAnswer(MsgAnswer::Cancel);
    w->cmdRlyCycTst_Click();
    ASSERT_EQ(h.dialogs.shown.size(), 2u);
    for (const auto& m : h.dialogs.shown) {
        EXPECT_EQ(m.text, "Unable To Write The Result File:\r\n" + w->relayTest.ResultFile);
        EXPECT_EQ(m.icon, MsgIcon::Critical);
        EXPECT_EQ(m.buttons, MsgButtons::RetryCancel);
    }
    EXPECT_TRUE(w->relayTest.unwritten().contains("Total Cycles 0"));
    EXPECT_EQ(w->cmdRlyCycTst->text(), "Start Test");
}

TEST_F(LocalWindowFixture, ClosingTheWindowDuringATestStillWritesItsTotal)
{
    w->markShownModal();
    w->cmdRlyCycTst_Click();
    w->Timer2_Timer();
    const QString file = w->relayTest.ResultFile;
    EXPECT_TRUE(w->requestClose());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("Total Cycles 1\r\n"));
}

} // namespace
} // namespace tqdt::test

#include "network/NetworkScan.h"

#include "ScanRecorder.h"
#include "support/SimHost.h"

#include <gtest/gtest.h>

namespace tqdt::test {
using namespace tqdt::net;
namespace {

// Panels 01, 02 and 05 and network wall stations 01 and 80 (hex) answer; discovery has run.
struct NetworkScanFixture : ::testing::Test {
    SimHost h;
    NetworkScan scan{h.host};
    ScanRecorder shown;

    void SetUp() override
    {
        for (int a : {1, 2, 5})
            h.site.panels[a] = sim::Panel{};
        h.site.wallStations[1] = sim::WallStation{};
        h.site.wallStations[0x80] = sim::WallStation{};
        h.openPort();
        scan.FindNodes(NoDisplay());
        scan.ClearTotals(NoDisplay());
        h.takeWritten();
    }
    void cycle()
    {
        shown.reset();
        scan.ScanNodes(shown);
    }
    // Relay writes ("10" + relay + state + "1") that went out since the last look, as "relay:state".
    std::vector<QByteArray> relayWrites()
    {
        std::vector<QByteArray> out;
        for (const QByteArray& f : h.takeWritten())
            if (f.mid(5, 2) == "10")
                out.push_back(f.mid(3, 2) + ":" + f.mid(7, 2) + ":" + f.mid(9, 1));
        return out;
    }
};

TEST_F(NetworkScanFixture, DiscoveryMarksExactlyTheAnsweringAddresses)
{
    for (int s = 0; s < NetworkScan::kSlots; ++s) {
        EXPECT_EQ(scan.panels.found(s), s == 0 || s == 1 || s == 4) << s;
        EXPECT_EQ(scan.wallStations.found(s), s == 0 || s == 0x7F) << s;
    }
}

TEST_F(NetworkScanFixture, WithNothingFoundACycleOnlyCounts)
{
    scan.ClearFound();
    cycle();
    cycle();
    EXPECT_TRUE(h.takeWritten().empty());
    EXPECT_EQ(scan.cycles.count(), 2);
    EXPECT_EQ(shown.cycle, "Cycle: 2");
}

TEST_F(NetworkScanFixture, AClickTogglesWhatThePanelLastReportedNotWhatIsPainted)
{
    h.site.panels[2].relays[9] = true;
    scan.selectPanel(EntryOfSlot(1));
    scan.start();
    scan.clickRelay(9); // nothing read yet: shown off, so switched on
    cycle();
    EXPECT_EQ(relayWrites(), std::vector<QByteArray>{"02:09:1"});
    cycle(); // the read that follows reports relay 10 (index 9) on
    EXPECT_TRUE(scan.relayOn(9));
    EXPECT_FALSE(scan.relayOn(8));
    h.takeWritten();
    scan.clickRelay(9);
    cycle();
    EXPECT_EQ(relayWrites(), std::vector<QByteArray>{"02:09:0"});
}

TEST_F(NetworkScanFixture, RelayClicksGoOutLowestFirstOnePerCycle)
{
    scan.selectPanel(EntryOfSlot(1));
    scan.start();
    scan.clickRelay(40, false);
    scan.clickRelay(3, false);
    scan.clickRelay(9, true); // shown on: switch it off

    cycle();
    EXPECT_EQ(relayWrites(), std::vector<QByteArray>{"02:03:1"});
    cycle();
    EXPECT_EQ(relayWrites(), std::vector<QByteArray>{"02:09:0"});
    cycle();
    EXPECT_EQ(relayWrites(), std::vector<QByteArray>{"02:28:1"});
    cycle();
    EXPECT_TRUE(relayWrites().empty());
    EXPECT_TRUE(h.site.panels[2].relays[3] && h.site.panels[2].relays[40] && !h.site.panels[2].relays[9]);
    ASSERT_TRUE(shown.relayImage);
    EXPECT_EQ((*shown.relayImage)[0], 0x08);
}

TEST_F(NetworkScanFixture, PanelWithPendingWriteShowsNothingAndCountsNothingEvenWhenTheWriteFails)
{
    scan.selectPanel(EntryOfSlot(1));
    scan.start();
    cycle();
    ASSERT_EQ(shown.labels.at({Family::Panel, 1}).colour, ErrorColour::Green);

    // The panel goes silent for writes only.
    h.site.script = [](Channel, const QByteArray& f) -> std::optional<QByteArray> {
        if (f.mid(3, 4) == "0210")
            return QByteArray();
        return std::nullopt;
    };
    scan.clickRelay(5, false);
    cycle();
    EXPECT_FALSE(shown.updated(Family::Panel, 1));
    EXPECT_FALSE(shown.relayImage);
    EXPECT_FALSE(shown.connection.count(Family::Panel));
    EXPECT_EQ(scan.panels.errors(1), 0);
    EXPECT_EQ(scan.pendingRelay(), 5) << "a failed write stays pending";
    EXPECT_TRUE(shown.updated(Family::Panel, 0)) << "the other panels are polled as usual";

    h.site.script = nullptr;
    cycle();
    EXPECT_EQ(scan.pendingRelay(), -1);
    EXPECT_TRUE(h.site.panels[2].relays[5]);
    cycle();
    EXPECT_EQ(shown.labels.at({Family::Panel, 1}).colour, ErrorColour::Green);
}

TEST_F(NetworkScanFixture, ChangingThePanelDropsPendingRequests)
{
    scan.selectPanel(EntryOfSlot(1));
    scan.start();
    scan.clickRelay(7, false);
    scan.selectPanel(EntryOfSlot(4));
    EXPECT_EQ(scan.pendingRelay(), -1);
    cycle();
    EXPECT_TRUE(relayWrites().empty());
    EXPECT_FALSE(h.site.panels[5].relays[7] || h.site.panels[2].relays[7]);
}

TEST_F(NetworkScanFixture, SilentPanelTurnsRedThenYellowWhenItAnswersAgain)
{
    scan.selectPanel(EntryOfSlot(4));
    scan.start();
    const sim::Panel saved = h.site.panels[5];
    h.site.panels.erase(5);
    cycle();
    cycle();
    EXPECT_EQ(scan.panels.errors(4), 2);
    EXPECT_EQ(shown.labels.at({Family::Panel, 4}).colour, ErrorColour::Red);
    EXPECT_EQ(shown.labels.at({Family::Panel, 4}).caption, "2");
    EXPECT_FALSE(shown.connection.at(Family::Panel));
    EXPECT_TRUE(scan.panels.found(4)) << "a silent panel stays in the poll list";

    h.site.panels[5] = saved;
    cycle();
    EXPECT_EQ(shown.labels.at({Family::Panel, 4}).colour, ErrorColour::Yellow);
    EXPECT_TRUE(shown.connection.at(Family::Panel));

    scan.ClearTotals(shown);
    EXPECT_EQ(shown.labels.at({Family::Panel, 4}).colour, ErrorColour::Green);
    EXPECT_EQ(shown.labels.at({Family::Panel, 3}).colour, ErrorColour::Grey);
    EXPECT_EQ(shown.labels.at({Family::Panel, 4}).caption, "0");
    EXPECT_EQ(shown.cycle, "Cycle: 0");
}

TEST(NetworkScanCaptions, ErrorCountsAboveNinetyNineSaturate)
{
    const std::pair<qint32, const char*> cases[] = {
        {0, "0"}, {7, "7"}, {99, "99"}, {100, ">99"}, {2147483647, ">99"}};
    for (auto [n, text] : cases)
        EXPECT_EQ(ErrorCaption(n), text) << n;
    EXPECT_EQ(CycleCaption(1234567), "Cycle: 1,234,567");
}

TEST_F(NetworkScanFixture, CycleCountFreezesAtOneHundredMillion)
{
    scan.start();
    scan.cycles.setCount(CycleCounter::kLimit - 1);
    cycle();
    EXPECT_EQ(shown.cycle, "Cycle: 100,000,000");
    EXPECT_FALSE(h.takeWritten().empty());
    cycle();
    EXPECT_TRUE(shown.cycle.isEmpty());
    EXPECT_TRUE(shown.errorUpdates.empty());
    EXPECT_TRUE(h.takeWritten().empty());
    EXPECT_EQ(scan.cycles.count(), CycleCounter::kLimit);
}

TEST(NetworkScanPilots, SliderSetsThePilotBoxesFromItsComplement)
{
    const std::pair<int, std::array<bool, 8>> cases[] = {
        {250, {true, false, true, false, false, false, false, false}},
        {0, {true, true, true, true, true, true, true, true}},
        {255, {}},
        {127, {false, false, false, false, false, false, false, true}},
    };
    for (const auto& [value, pilots] : cases)
        EXPECT_EQ(PilotsFromSlider(value), pilots) << value;
}

TEST_F(NetworkScanFixture, SelectedStationGetsThePilotMaskOfItsPageOthersGetAllPilots)
{
    scan.selectWallStation(EntryOfSlot(0x7F));
    scan.start();
    scan.pilots.onPilot = PilotsFromSlider(250);
    scan.pilots.onOffPilot = {false, true, false, true};
    h.site.wallStations[0x80].level = 0x33;
    h.site.wallStations[0x80].inputs = 0x81;

    cycle();
    EXPECT_EQ(h.site.wallStations[0x80].pilots, 0x05);
    EXPECT_EQ(h.site.wallStations[1].pilots, 0xFF);
    ASSERT_TRUE(shown.wallStation);
    EXPECT_EQ(shown.wallStation->inputs, 0x81);
    EXPECT_EQ(shown.wallStation->level02, 0x33);
    EXPECT_EQ(shown.wallStation->level30, 0x81);

    for (WsType type : {WsType::OnOff, WsType::Photocell}) {
        scan.pilots.type = type;
        cycle();
        EXPECT_EQ(h.site.wallStations[0x80].pilots, 0x0A);
    }
}

TEST_F(NetworkScanFixture, StartingDropsSelectionsOfDevicesNoLongerFound)
{
    scan.selectPanel(EntryOfSlot(4));
    scan.selectWallStation(EntryOfSlot(0));
    scan.clickRelay(1, false);
    scan.panels.toggleFound(4);
    scan.start();
    EXPECT_EQ(scan.panelEntry(), 0);
    EXPECT_EQ(scan.pendingRelay(), -1);
    EXPECT_EQ(scan.wsEntry(), EntryOfSlot(0));

    scan.wallStations.toggleFound(0);
    scan.start();
    EXPECT_EQ(scan.wsEntry(), 0);
}

} // namespace
} // namespace tqdt::test

#include "network/LocalScan.h"

#include "ScanRecorder.h"
#include "bus/FrameCodec.h"
#include "support/SimHost.h"

#include <gtest/gtest.h>

namespace tqdt::test {
using namespace tqdt::net;
namespace {

// Wall stations 01 and 05, dimmers 01 and 03, relay devices 02 and 04 answer; discovery has run.
struct LocalScanFixture : ::testing::Test {
    SimHost h;
    LocalScan scan{h.host};
    ScanRecorder shown;

    void SetUp() override
    {
        for (int a : {1, 5})
            h.site.wallStations[a] = sim::WallStation{};
        for (int a : {1, 3})
            h.site.dimmers[a] = sim::Dimmer{};
        for (int a : {2, 4})
            h.site.relayDevices[a] = sim::RelayDevice{};
        h.openPort();
        scan.FindNodes(NoDisplay());
        h.takeWritten();
    }
    void cycle()
    {
        shown.reset();
        scan.Timer1_Timer(shown);
    }
    // The command bytes sent to relay device `address` since the last look.
    std::vector<int> relayCommands(int address)
    {
        std::vector<int> out;
        for (const QByteArray& f : h.takeWritten())
            if (f.startsWith("[9" + Hex2(qint16(address)) + "5"))
                out.push_back(HexVal2(f.mid(5, 2)));
        return out;
    }
};

TEST_F(LocalScanFixture, DiscoveryFindsEachFamilyAndAsksDimmersWithoutFadeOrWli)
{
    scan.wliMode = true;
    scan.varFade = true;
    scan.setFade(4000);
    scan.FindNodes(shown);
    EXPECT_TRUE(scan.wallStations.found(0) && scan.wallStations.found(4) && !scan.wallStations.found(1));
    EXPECT_TRUE(scan.dimmers.found(0) && scan.dimmers.found(2) && !scan.dimmers.found(1));
    EXPECT_TRUE(scan.relayDevices.found(1) && scan.relayDevices.found(3) && !scan.relayDevices.found(0));
    EXPECT_EQ(shown.dimmerFrame.left(5), "[A105") << "the last probe is shown: the plain command";
    EXPECT_EQ(h.site.dimmers[3].levels, (std::array<quint8, 4>{255, 255, 255, 255}));
}

TEST_F(LocalScanFixture, RelayCommandPressedWhileTheDeviceIsSilentIsLost)
{
    scan.rrEntry = EntryOfSlot(1);
    scan.start();
    const sim::RelayDevice saved = h.site.relayDevices[2];
    h.site.relayDevices.erase(2);
    scan.pressRelayButton(1); // relay 1 on
    cycle();
    EXPECT_EQ(relayCommands(2), std::vector<int>{0x02});
    EXPECT_EQ(scan.pendingRelayCommand(), 0);
    EXPECT_FALSE(shown.connection.at(Family::RelayDevice));

    h.site.relayDevices[2] = saved;
    cycle();
    EXPECT_EQ(relayCommands(2), std::vector<int>{0x00}) << "not sent again";
    EXPECT_EQ(h.site.relayDevices[2].status, 0);
}

TEST_F(LocalScanFixture, RelayButtonsSwitchTheSelectedDeviceAndTheLastPressWins)
{
    scan.rrEntry = EntryOfSlot(1);
    scan.start();
    scan.pressRelayButton(5); // relay 3 on
    scan.pressRelayButton(7); // replaced: relay 4 on
    cycle();
    EXPECT_EQ(relayCommands(2), std::vector<int>{0x80});
    EXPECT_EQ(relayCommands(4), std::vector<int>{}) << "already taken";
    ASSERT_TRUE(shown.relayStatus);
    EXPECT_EQ(*shown.relayStatus, 0x08);

    scan.switchAllRelays(true);
    scan.rrEntry = EntryOfSlot(3); // the pending command follows the selection
    cycle();
    EXPECT_EQ(h.site.relayDevices[4].status, 0x0F);
    EXPECT_EQ(h.site.relayDevices[2].status, 0x08);
}

TEST(LocalScanDimmer, MarkerTopFollowsTheLevel)
{
    const std::pair<int, int> cases[] = {{0, 4635}, {255, 1710}, {128, 3167}, {50, 4062}, {150, 2914}};
    for (auto [level, top] : cases)
        EXPECT_EQ(DimmerMarkerTop(level), top) << level;
}

TEST_F(LocalScanFixture, SelectedDimmerGetsItsSlidersAndShowsTheLevelsItReports)
{
    scan.dimEntry = EntryOfSlot(2);
    scan.start();
    scan.dimmerSliders = {0, 127, 255, 205};
    cycle();
    EXPECT_EQ(h.site.dimmers[3].levels, (std::array<quint8, 4>{255, 128, 0, 50}));
    EXPECT_EQ(h.site.dimmers[1].levels, (std::array<quint8, 4>{255, 255, 255, 255}));
    ASSERT_TRUE(shown.markerTops);
    EXPECT_EQ(*shown.markerTops, (std::array<int, 4>{1710, 3167, 4635, 4062}));
    EXPECT_TRUE(shown.connection.at(Family::Dimmer));
}

TEST_F(LocalScanFixture, VariableFadeAndWliModeChangeTheDimmerCommand)
{
    scan.varFade = true;
    scan.setFade(100);
    cycle();
    EXPECT_EQ(h.site.dimmers[3].fade, 100);
    EXPECT_FALSE(h.site.dimmers[3].wliMode);

    scan.setWliMode(true);
    EXPECT_EQ(scan.fadeValue, 0) << "the slider starts again on the new scale";
    scan.setFade(5882);
    cycle();
    EXPECT_EQ(shown.dimmerFrame.left(13), "[A038FF0016FA");
    EXPECT_EQ(h.site.dimmers[3].fade, 5882);
    EXPECT_TRUE(h.site.dimmers[3].wliMode);

    scan.varFade = false;
    cycle();
    EXPECT_EQ(h.site.dimmers[3].fade, 0);
}

TEST(LocalScanFade, CaptionInSecondsOnEitherScale)
{
    const std::tuple<int, bool, const char*> cases[] = {
        {5882, true, "600.0 Seconds"}, {0, true, "0.0 Seconds"}, {1, true, "0.1 Seconds"},
        {255, false, "510 Seconds"},   {0, false, "0 Seconds"},
    };
    for (auto [value, wli, text] : cases)
        EXPECT_EQ(FadeCaption(value, wli), text) << value << " " << wli;
}

TEST_F(LocalScanFixture, PhotocellTesterColoursEachReadingAgainstItsWindow)
{
    for (int p = 0; p < kPhotocells; ++p)
        h.site.photocells[kFirstPhotocellAddress + p] =
            sim::Photocell{quint8(kPhotocellTargets[size_t(p)]), 0};
    scan.photocellTest = true;
    scan.start();
    const std::pair<int, bool> cases[] = {{57, false}, {58, true}, {64, true}, {65, false}};
    for (auto [level, green] : cases) {
        h.site.photocells[0x56].level02 = quint8(level);
        cycle();
        EXPECT_EQ(shown.photocells.at(1), std::make_pair(level, green)) << level;
        EXPECT_EQ(shown.photocells.at(0), std::make_pair(234, true));
    }
    h.site.photocells.erase(0x58);
    cycle();
    EXPECT_EQ(shown.photocells.at(3).first, -1);
    EXPECT_EQ(scan.cycles.count(), 0) << "the tester counts no cycles";
    for (const QByteArray& f : h.takeWritten())
        EXPECT_EQ(f.mid(4, 3), "700") << "photocells are asked with every pilot off";
}

TEST_F(LocalScanFixture, TouchScreenProfileGoesBeforeTheClockAfterTheDevices)
{
    scan.profile = 100;
    scan.TXRTCPending = true;
    scan.TXProfilePending = true;
    cycle();
    const std::vector<QByteArray> frames = h.takeWritten();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[frames.size() - 2].left(7), "[8FFE64");
    EXPECT_EQ(frames.back().left(5), "[8FFD");
    EXPECT_FALSE(scan.TXProfilePending || scan.TXRTCPending);
    cycle();
    EXPECT_FALSE(h.takeWritten().back().startsWith("[8"));
}

} // namespace
} // namespace tqdt::test

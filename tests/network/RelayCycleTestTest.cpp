#include "network/RelayCycleTest.h"

#include "bus/FrameCodec.h"
#include "support/SimHost.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace tqdt::test {
using namespace tqdt::net;
namespace {

// Relay devices 01 and 02 answer. On device 01 relay 2 is stuck on and relay 3 stuck off.
struct RelayCycleFixture : ::testing::Test {
    SimHost h;
    RelayCycleTest test{h.host};

    void SetUp() override
    {
        h.site.relayDevices[1] = sim::RelayDevice{0x02, 0x06};
        h.site.relayDevices[2] = sim::RelayDevice{};
        h.openPort();
    }
    QByteArray file() const
    {
        QFile f(test.ResultFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QList<QByteArray> lines() const
    {
        QList<QByteArray> l = file().split('\n');
        l.removeLast(); // after the last line end
        return l;
    }
    // Switching commands (not status reads) sent since the last look.
    int switchesSent()
    {
        int n = 0;
        for (const QByteArray& f : h.takeWritten())
            n += f.startsWith("[9") && f.mid(5, 2) != "00";
        return n;
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            h.clock.advanceMs(RelayCycleTest::kTickMs);
            test.Timer2_Timer();
        }
    }
};

TEST(RelayCycleFileName, DatedFromOneClockReading)
{
    EXPECT_EQ(RelayCycleTest::FileName(QDateTime(QDate(2026, 12, 6), QTime(17, 53, 39))),
              "RelayCycleTest_Y2026_M12_D06_h17_m53_s39.txt");
    EXPECT_EQ(RelayCycleTest::FileName(QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5))),
              "RelayCycleTest_Y2027_M01_D02_h03_m04_s05.txt");
}

// A switching tick with 64 relays and their delays lasts many seconds; a crash in its middle must
// not lose the checks already made, so each failed check is in the file before the next relay is read.
TEST_F(RelayCycleFixture, EachFailedCheckIsInTheFileBeforeTheNextCheck)
{
    test.relaysEntry = 3;
    ASSERT_TRUE(test.start());
    h.clock.advanceMs(RelayCycleTest::kTickMs);
    QByteArray seenAtNextCheck;
    // Relay 2 fails to turn off; the status read of relay 3 follows it.
    int statusReads = 0;
    h.site.script = [&](Channel, const QByteArray& frame) -> std::optional<QByteArray> {
        if (frame.startsWith("[901500") && ++statusReads == 3)
            seenAtNextCheck = file();
        return std::nullopt;
    };
    test.Timer2_Timer();
    h.site.script = {};
    EXPECT_TRUE(seenAtNextCheck.contains(" Relay 2 Failed to turn off\r\n")) << seenAtNextCheck.constData();
}

TEST_F(RelayCycleFixture, StuckRelaysAreLoggedAtEveryCheckOfTheirPhase)
{
    test.relaysEntry = 3;
    ASSERT_TRUE(test.start());
    EXPECT_EQ(QFileInfo(test.ResultFile).fileName(), "RelayCycleTest_Y2026_M12_D06_h17_m53_s39.txt");
    EXPECT_EQ(QFileInfo(test.ResultFile).absolutePath(), QDir(h.host.paths().dataFolder()).absolutePath());
    ticks(4); // on, off, on, off
    ASSERT_TRUE(test.stop());

    const QList<QByteArray> l = lines();
    for (const QByteArray& line : l)
        EXPECT_TRUE(line.endsWith('\r')) << line.constData();
    const QByteArray rule = QByteArray(40, '-') + '\r';
    ASSERT_EQ(l.size(), 5 + 4 + 4);
    EXPECT_EQ(l[0], rule);
    EXPECT_TRUE(l[1].startsWith("Start of test 12/6/2026 5:53:39"));
    EXPECT_EQ(l[2], "Relays 1 to 4\r");
    EXPECT_EQ(l[3], "Interval 5 Seconds\r");
    EXPECT_EQ(l[4], rule);
    const char* expected[] = {" Relay 2 Failed to turn off\r", " Relay 3 Failed to turn on\r",
                              " Relay 2 Failed to turn off\r", " Relay 3 Failed to turn on\r"};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(l[5 + i].endsWith(expected[i])) << l[5 + i].constData();
    EXPECT_TRUE(l[5].startsWith("12/6/2026 5:53:44")) << "stamped when the check ran";
    EXPECT_EQ(l[9], rule);
    EXPECT_TRUE(l[10].startsWith("End of test "));
    EXPECT_EQ(l[11], "Total Cycles 4\r");
    EXPECT_EQ(l[12], rule);
}

TEST_F(RelayCycleFixture, RelaysSwitchOnceEveryIntervalOfTicks)
{
    for (auto [entry, period] : {std::pair{0, 1}, std::pair{2, 3}}) {
        test.intervalEntry = entry;
        ASSERT_TRUE(test.start());
        EXPECT_EQ(switchesSent(), 1) << "relay 1 is switched off at the start";
        std::vector<int> switching;
        for (int t = 1; t <= 6; ++t) {
            ticks(1);
            if (switchesSent() > 0)
                switching.push_back(t);
        }
        const std::vector<int> expected =
            period == 1 ? std::vector<int>{1, 2, 3, 4, 5, 6} : std::vector<int>{3, 6};
        EXPECT_EQ(switching, expected) << entry;
        EXPECT_EQ(test.TestTicks, 6);
        test.stop();
    }
}

TEST_F(RelayCycleFixture, RangeOfFiveTakesTheFirstRelayOfTheSecondDevice)
{
    test.relaysEntry = 4;
    h.site.relayDevices[1].stuckMask = 0;
    ASSERT_TRUE(test.start());
    ticks(1);
    EXPECT_EQ(h.site.relayDevices[1].status, 0x0F);
    EXPECT_EQ(h.site.relayDevices[2].status, 0x01);
    test.stop();
    EXPECT_EQ(lines()[2], "Relays 1 to 5\r");
}

TEST_F(RelayCycleFixture, SilentDeviceCountsAsOffOnlyWhereOnWasExpected)
{
    test.relaysEntry = 7;
    h.site.relayDevices[1].stuckMask = 0;
    h.site.relayDevices.erase(2);
    ASSERT_TRUE(test.start());
    ticks(2);
    test.stop();
    const QByteArray text = file();
    EXPECT_FALSE(text.contains("Failed to turn off"));
    for (int r = 5; r <= 8; ++r)
        EXPECT_TRUE(text.contains(" Relay " + QByteArray::number(r) + " Failed to turn on")) << r;
    EXPECT_EQ(text.count("Failed"), 4);
}

TEST_F(RelayCycleFixture, UncreatableFileStopsTheStartBeforeAnyRelayMoves)
{
    // The data folder's name is taken by a plain file, so no result file can be made in it.
    QFile blocker(h.host.paths().dataFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(test.start());
    EXPECT_FALSE(test.TestRunning);
    EXPECT_EQ(switchesSent(), 0);
}

TEST_F(RelayCycleFixture, RunStartedInTheSameSecondKeepsTheEarlierResults)
{
    ASSERT_TRUE(test.start());
    const QString first = test.ResultFile;
    const QByteArray firstText = file();
    test.stop();
    const QByteArray firstFinal = file();
    ASSERT_LT(h.clock.nowMs(), 1000); // still within the second the clock started in

    RelayCycleTest again(h.host);
    ASSERT_TRUE(again.start()); // same clock second as the first run's start
    EXPECT_EQ(QFileInfo(again.ResultFile).fileName(), "RelayCycleTest_Y2026_M12_D06_h17_m53_s39 (2).txt");
    QFile f(first);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), firstFinal);
    EXPECT_TRUE(firstFinal.startsWith(firstText));
}

TEST_F(RelayCycleFixture, LinesThatCannotBeWrittenAreKeptUntilTheFileWorksAgain)
{
    test.relaysEntry = 3;
    ASSERT_TRUE(test.start());
    const QByteArray head = file();
    // The file is taken away and its name blocked by a folder.
    QFile::remove(test.ResultFile);
    QDir().mkpath(test.ResultFile);
    ticks(1);
    EXPECT_TRUE(test.unwritten().contains("Relay 2 Failed to turn off"));
    EXPECT_FALSE(test.stop()) << "a failed write is not reported as done";

    QDir().rmdir(test.ResultFile);
    QFile f(test.ResultFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(head);
    f.close();
    ASSERT_TRUE(test.flush());
    const QByteArray text = file();
    EXPECT_TRUE(text.startsWith(head));
    EXPECT_TRUE(text.contains("Relay 2 Failed to turn off\r\n"));
    EXPECT_TRUE(text.endsWith("Total Cycles 1\r\n" + QByteArray(40, '-') + "\r\n"));
    EXPECT_TRUE(test.unwritten().isEmpty());
}

} // namespace
} // namespace tqdt::test

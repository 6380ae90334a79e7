#include "host/Stopwatch.h"
#include "bus/FrameCodec.h"
#include "host/Paths.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tqdt;

TEST(Stopwatch, CountsWholeMillisecondsOnTheClock)
{
    ManualClock clock;
    Stopwatch sw(clock);
    EXPECT_EQ(sw.StopwatchElapsed(), 0);
    clock.advanceTo(clock.nowUs() + 999);
    EXPECT_EQ(sw.StopwatchElapsed(), 0);
    clock.advanceTo(clock.nowUs() + 1);
    EXPECT_EQ(sw.StopwatchElapsed(), 1);
    sw.Delay(250);
    EXPECT_EQ(sw.StopwatchElapsed(), 250);
    sw.StopwatchStart();
    EXPECT_EQ(sw.StopwatchElapsed(), 0);
}

TEST(Stopwatch, SteadyDelayReallyWaits)
{
    SteadyClock clock;
    Stopwatch sw(clock);
    sw.Delay(20);
    EXPECT_GE(sw.StopwatchElapsed(), 20);
}

TEST(Conversion, StringToCodes)
{
    CodeArray codes{};
    EXPECT_EQ(DxStrToArray("[2", codes), 2);
    EXPECT_EQ(codes[0], 91);
    EXPECT_EQ(codes[1], 50);
    EXPECT_EQ(DxStrToArray("", codes), 0);
    EXPECT_EQ(DxStrToArray("\xE9", codes), 1);
    EXPECT_EQ(codes[0], 233); // codes are 0-255, never negative

    // A longer text reports its length but writes no further than the array.
    CodeArray guarded;
    guarded.fill(-7);
    EXPECT_EQ(DxStrToArray(QByteArray(500, 'A'), guarded), 500);
    EXPECT_EQ(guarded[400], 65);
}

TEST(Conversion, FolderExists)
{
    QTemporaryDir dir;
    EXPECT_NE(FolderExists(dir.path()), 0);
    EXPECT_EQ(FolderExists(dir.filePath("none")), 0);
}

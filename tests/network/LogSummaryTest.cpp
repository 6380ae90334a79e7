#include "network/LogSummary.h"

#include "bus/FrameCodec.h"
#include "network/LogCommand.h"
#include "support/Files.h"
#include "support/RunCli.h"
#include "support/WeekLog.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::net;
using tqdt::test::writeFile;

namespace {

test::CliText run(const QStringList& args)
{
    return test::RunCliHere(LogCommands(), QStringList{"summary"} + args);
}

} // namespace

// A week of log made from the simulated installation's polls, about 200 MB, in a temporary folder
// that goes with the test: every count the generator knows.
TEST(LogSummaryWeek, CountsWhatTheGeneratorKnows)
{
    QTemporaryDir dir;
    const test::WeekLog week = test::MakeWeekLog(dir.path());
    LogSummary s;
    ASSERT_EQ(SummarizeLog({week.logPath}, s), QString());
    EXPECT_EQ(qint64(s.bytes), week.bytes);
    EXPECT_EQ(qint64(s.frames), week.frames);
    ASSERT_TRUE(s.timed);
    for (const auto& [address, n] : week.addresses) {
        SCOPED_TRACE(address);
        const LogSummary::Address& a = s.addresses[0][size_t(address)];
        EXPECT_EQ(qint64(a.frames), n.frames);
        EXPECT_EQ(qint64(a.missing), n.missing);
        EXPECT_EQ(qint64(a.bad), n.bad);
        // The gap is no silence of anybody's: only the silent station was ever quiet for long.
        const qint64 silence = a.longestSilenceMs / 1000;
        if (address == week.silentAddress)
            EXPECT_NEAR(double(silence), double(week.silentSeconds), 60.0);
        else
            EXPECT_LT(silence, 60);
    }
    EXPECT_GT(week.addresses.at(week.badAddress).bad, 0);
    EXPECT_EQ(s.gapCount, 1u);
    EXPECT_EQ(s.gapMs / 1000, week.gapSeconds);
    EXPECT_EQ(qint64(s.busiestMinuteFrames), week.busiestMinuteFrames);
    EXPECT_EQ(s.hours.size(), size_t(7 * 24 - 0)) << "every hour has traffic";

    const QString text = QString::fromUtf8(SummaryText(s, true));
    EXPECT_TRUE(text.contains("Busiest minute: " + week.busiestMinute)) << text.left(3000).toStdString();
    EXPECT_TRUE(text.contains("From 2026-12-06T00:00:00+01:00 to 2026-12-13T00:00:00+01:00 (7 d 0 h 0 min)"));
    EXPECT_TRUE(text.contains("Gaps: 1 (10 min in all)"));
    EXPECT_TRUE(text.contains("Wall station status"));
}

// The parts of one log are read by their part numbers, whatever order they are given in; files of
// two logs, or a part twice, are refused as usage.
TEST(LogSummary, PartsAreReadInOrderAndOneLogOnly)
{
    QTemporaryDir dir;
    const QByteArray status = BuildDevFrame('2', 0x12, "705");
    const QString base = "DataLog BlueChan  Date 2026-12-06 Time 17_53_39";
    // The request ends part 1, its reply opens part 2: read in order they pair.
    writeFile(dir.filePath(base + " (part 1).TXT"), status);
    writeFile(dir.filePath(base + " (part 2).TXT"), "[");
    writeFile(dir.filePath(base + " (part 3).TXT"), "x]");
    writeFile(dir.filePath("DataLog BlueChan  Date 2026-12-07 Time 08_00_00.TXT"), status);
    struct Case {
        QStringList files;
        int status;
        const char* says;
    } cases[] = {
        {{base + " (part 3).TXT", base + " (part 1).TXT", base + " (part 2).TXT"}, 0, "parts 1 2 3"},
        {{base + " (part 1).TXT", "DataLog BlueChan  Date 2026-12-07 Time 08_00_00.TXT"}, 2, "two logs"},
        {{base + " (part 1).TXT", base + " (part 1).TXT"}, 2, "part 1 is given twice"},
        {{base + " (part 4).TXT"}, 2, "not a file"},
        {{}, 2, "FILE.TXT... is needed"},
        {{base + " (part 1).TXT", "--by-hour", "--csv"}, 2, "--csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        QStringList args;
        for (const QString& f : c.files)
            args << (f.startsWith("--") ? f : dir.filePath(f));
        const test::CliText r = run(args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE((r.out + r.err).contains(c.says)) << (r.out + r.err).toStdString();
    }
    // Read in order, the stream is the request and "[x]" after it: one missing reply, at 12.
    LogSummary s;
    ASSERT_EQ(SummarizeLog({dir.filePath(base + " (part 2).TXT"), dir.filePath(base + " (part 1).TXT"),
                            dir.filePath(base + " (part 3).TXT")},
                           s),
              QString());
    EXPECT_EQ(s.addresses[0][0x12].frames, 1u);
    EXPECT_EQ(s.addresses[0][0x12].missing, 1u);
    EXPECT_FALSE(s.timed);
}

// The CSV: its header, an address a row as two hex digits, and no silence without an events file.
TEST(LogSummary, CsvTablePerAddress)
{
    QTemporaryDir dir;
    const QByteArray status = BuildDevFrame('2', 0x12, "705");
    const QByteArray reply = SealDevFrame("[7FF0");
    QByteArray bad = reply;
    bad[bad.size() - 2] = bad[bad.size() - 2] == '0' ? '1' : '0';
    const QString path = dir.filePath("DataLog BlueChan  Date 2026-12-06 Time 17_53_39.TXT");
    // Answered, answered wrongly, and not answered at all.
    writeFile(path, status + reply + status + bad + status);
    const test::CliText r = run({path, "--csv"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(),
              "Channel,Address,Frames,Replies Missing,Checksum Failures,Longest Silence (s)\r\n"
              "blue,12,5,1,1,\r\n");
}

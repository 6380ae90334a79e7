#include "network/LogRecorder.h"

#include "host/Clock.h"
#include "ports/SerialPort.h"
#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>

using namespace tqdt;
using namespace tqdt::net;
using tqdt::test::readAll;

namespace {

// A port the test feeds by hand: bytes arrive when the test says, the device goes away and the
// reopening fails as often as the test says.
class HandPort final : public SerialPort {
public:
    explicit HandPort(ManualClock& clock) : m_clock(clock) {}
    bool open(QString* error) override
    {
        opens.push_back(m_clock.nowMs());
        if (refuseOpens > 0) {
            --refuseOpens;
            if (error)
                *error = QStringLiteral("No such file or directory");
            return false;
        }
        m_open = true;
        m_vanished = false;
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void setDtr(bool on) override { m_dtr = on; }
    bool dtr() const override { return m_dtr; }
    void setRts(bool) override {}
    bool rts() const override { return false; }
    int inBufferCount() override { return int(buffer.size()); }
    QByteArray input() override { return std::exchange(buffer, {}); }
    bool vanished() const override { return m_vanished; }
    void output(const QByteArray&) override {}
    void waitForCount(int, const Stopwatch&, qint64) override {}

    void unplug()
    {
        m_vanished = true;
        m_open = false;
    }

    QByteArray buffer;
    int refuseOpens = 0;
    std::vector<qint64> opens;

private:
    ManualClock& m_clock;
    bool m_open = false, m_vanished = false, m_dtr = false;
};

struct Recorder : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(port.open(nullptr));
        port.opens.clear();
    }
    void start(const DataLog::Rotation& rotation = {})
    {
        QString why;
        ASSERT_TRUE(rec.start(dir.path(), rotation, &why)) << why.toStdString();
    }
    // Runs the recorder's loop as the command does, for ms of the manual clock.
    void run(qint64 ms)
    {
        const qint64 end = clock.nowMs() + ms;
        while (clock.nowMs() < end) {
            ASSERT_TRUE(rec.step()) << rec.failure().toStdString();
            clock.advanceMs(LogRecorder::kStepMs);
        }
    }
    QStringList events() const
    {
        return QString::fromUtf8(readAll(rec.eventsPath())).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    QStringList eventsNamed(const QString& what) const
    {
        QStringList out;
        for (const QString& row : events())
            if (row.section(u',', 1, 1) == what)
                out << row;
        return out;
    }

    QTemporaryDir dir;
    ManualClock clock{QDateTime(QDate(2026, 12, 6), QTime(17, 53, 39))};
    HandPort port{clock};
    QStringList said;
    LogRecorder rec{clock, port, QStringLiteral("COM3 (/dev/ttyUSB2)"), Channel::Brown,
                    [this](const QString& line) { said << line; }};
};

} // namespace

// Whatever came is in the file a second later, at every step, through whole blocks and the bytes of
// the block being filled, and the file is the received stream in order.
TEST_F(Recorder, EveryByteIsInTheFileOnceASecondHasPassed)
{
    start();
    EXPECT_TRUE(port.dtr()) << "the Brown channel is DTR on";
    QByteArray sent;
    std::deque<std::pair<qint64, qint64>> arrivals; // (time, bytes sent by then)
    for (int tick = 0; tick < 400; ++tick) {
        // Bursts of varying size, some ticks silent, one larger than a block.
        const int n = tick == 150 ? 9000 : (tick * 37) % 11 == 0 ? 0 : (tick * 53) % 700;
        const QByteArray burst = QByteArray::number(tick).repeated(n / 3 + 1).left(n);
        port.buffer += burst;
        sent += burst;
        arrivals.push_back({clock.nowMs(), sent.size()});
        ASSERT_TRUE(rec.step());
        while (!arrivals.empty() && arrivals.front().first + 1000 <= clock.nowMs()) {
            const QByteArray file = readAll(rec.log().path());
            ASSERT_GE(file.size(), arrivals.front().second) << "at " << clock.nowMs() << " ms";
            arrivals.pop_front();
        }
        clock.advanceMs(LogRecorder::kStepMs);
    }
    EXPECT_TRUE(rec.stop(QStringLiteral("SIGTERM")));
    EXPECT_EQ(readAll(rec.log().path()), sent);
    EXPECT_EQ(rec.bytes(), sent.size());
    EXPECT_EQ(eventsNamed("record stop").size(), 1);
    EXPECT_TRUE(
        eventsNamed("record stop").value(0).endsWith(QStringLiteral("byte %1: SIGTERM").arg(sent.size())));
}

// The flushes between blocks change nothing in what the files hold: the same parts, split at the
// same bytes, as a log that only ever writes whole blocks.
TEST(DataLogFlush, PartsAreTheSameAsWithoutFlushing)
{
    QByteArray stream;
    for (int i = 0; stream.size() < 5 * DataLog::kBlockBytes * 3 + 1234; ++i)
        stream += "[" + QByteArray::number(i * 7919 % 100000) + "]";
    struct Case {
        const char* what;
        int flushEvery; // bytes between flushes; 0 never
    } cases[] = {{"never", 0}, {"every byte", 1}, {"odd sizes", 997}, {"block and one", 4097}};
    std::vector<QList<QByteArray>> results;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        DataLog log;
        log.setRotation({DataLog::Rotation::Mode::BySize, 3 * DataLog::kBlockBytes, 0}, nullptr);
        ASSERT_TRUE(log.Open(dir.path(), QStringLiteral("L.TXT")));
        for (qsizetype i = 0; i < stream.size(); ++i) {
            ASSERT_NE(log.Add(stream[i]), DataLog::Added::WriteFailed);
            if (c.flushEvery > 0 && (i + 1) % c.flushEvery == 0) {
                ASSERT_TRUE(log.Flush());
            }
        }
        ASSERT_TRUE(log.Close());
        QList<QByteArray> parts;
        for (int p = 1; QFile::exists(QDir(dir.path()).filePath(DataLog::PartName("L.TXT", p))); ++p)
            parts << readAll(QDir(dir.path()).filePath(DataLog::PartName("L.TXT", p)));
        EXPECT_EQ(parts.join(), stream);
        results.push_back(parts);
    }
    for (size_t i = 1; i < results.size(); ++i)
        EXPECT_EQ(results[i], results[0]) << cases[i].what;
    EXPECT_EQ(results[0].size(), 6);
}

// A device that goes away is said once; the port is tried again after 1, 2, 4, 8, 16 and then every
// 30 seconds, and the recording goes on in the same file, with the gap in the events file only.
TEST_F(Recorder, PortAwayIsRetriedWithBackOffAndTheRecordingGoesOn)
{
    start();
    port.buffer = "[before]";
    run(2000);
    port.unplug();
    port.refuseOpens = 7;
    const qint64 lostAt = clock.nowMs();
    run(1000);
    EXPECT_TRUE(rec.portAway());
    run(200000);
    EXPECT_FALSE(rec.portAway());
    std::vector<qint64> after;
    for (qint64 t : port.opens)
        after.push_back((t - lostAt + 50) / 1000 * 1000);
    EXPECT_EQ(after, (std::vector<qint64>{1000, 3000, 7000, 15000, 31000, 61000, 91000, 121000}));
    port.buffer = "[after]";
    run(2000);
    ASSERT_TRUE(rec.stop(QStringLiteral("SIGINT")));

    EXPECT_EQ(readAll(rec.log().path()), "[before][after]");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "the log and its events file";
    const QStringList gone = said.filter(QStringLiteral("went away"));
    ASSERT_EQ(gone.size(), 1) << said.join('\n').toStdString();
    EXPECT_EQ(said.filter(QStringLiteral("is back after 121 s")).size(), 1) << said.join('\n').toStdString();
    ASSERT_EQ(eventsNamed("gap start").size(), 1);
    ASSERT_EQ(eventsNamed("gap end").size(), 1);
    EXPECT_TRUE(eventsNamed("gap start")[0].endsWith("byte 8: the port went away"));
    EXPECT_TRUE(eventsNamed("gap end")[0].endsWith("byte 8: the port is back after 121 s"));
    EXPECT_TRUE(port.dtr()) << "the channel is selected again on the reopened port";
}

// The events file: its header, local times with their offset, and once a minute a mark with the
// bytes in the file, synced; the status line at most once a minute.
TEST_F(Recorder, MinuteMarksNameTheBytesInTheFileAndTheStatusComesOncePerMinute)
{
    clock.setLocalDateTime(QDateTime(QDate(2026, 12, 6), QTime(17, 53, 39), Qt::OffsetFromUTC, 3600));
    start();
    for (int s = 0; s < 300; ++s) {
        port.buffer += QByteArray(100, 'x');
        run(1000);
    }
    ASSERT_TRUE(rec.stop(QStringLiteral("--for 5m elapsed")));
    const QStringList rows = events();
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows[0], "time,event,detail");
    EXPECT_EQ(rows[1],
              "2026-12-06T17:53:39+01:00,record start,\"byte 0: COM3 (/dev/ttyUSB2), Brown channel\"");
    const QStringList marks = eventsNamed("mark");
    ASSERT_EQ(marks.size(), 5);
    // The bytes of 17:54:00 itself are taken before the minute is marked.
    EXPECT_EQ(marks[0], "2026-12-06T17:54:00+01:00,mark,byte 2200");
    EXPECT_EQ(marks[4], "2026-12-06T17:58:00+01:00,mark,byte 26200");
    EXPECT_EQ(said.filter(QStringLiteral("Recording: ")).size(), 5);
    EXPECT_EQ(said.last(), "Recording: 26200 bytes, 0 frames, 1 part");
}

#include "network/DataLog.h"
#include "support/SimHost.h"
#include "ui/network/frmQVDTDataLogger.h"
#include "ui/shell/frmQVDTMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::net;
using test::SimHost;

namespace {

ToolList logger()
{
    return {{"cmdDTDataLogger", "frmQVDTDataLogger", LaunchKind::DataLogger,
             [](Host& h) { return std::make_unique<frmQVDTDataLogger>(h); }}};
}

QByteArray allByteValues()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b += char(i);
    return b;
}

// count bytes of every value 0-255 in turn, from 1 ms after now, at the bus's full rate.
sim::ForeignTraffic stream(SimHost& h, qint64 count, const QByteArray& pattern = allByteValues())
{
    return {pattern, 3840, h.clock.nowUs() + 1000, count};
}

QByteArray streamBytes(qint64 count, const QByteArray& pattern = allByteValues())
{
    return pattern.repeated(int(count / pattern.size() + 1)).left(count);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString logPath(SimHost& h, const QString& name) { return QDir(h.host.paths().dataFolder()).filePath(name); }

// Lets count bytes arrive at 3840 bytes a second, and a little more.
void receive(SimHost& h, qint64 count) { h.clock.advanceMs(count * 1000 / 3840 + 20); }

} // namespace

TEST(DataLog, FileNamesCarryChannelDateAndTime)
{
    const QDateTime at(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(DataLog::FileName(Channel::Brown, at), "DataLog BrownChan  Date 2024-03-05 Time 14_07_09.TXT");
    EXPECT_EQ(DataLog::FileName(Channel::Blue, at), "DataLog BlueChan  Date 2024-03-05 Time 14_07_09.TXT");

    struct Case {
        QString name;
        int n;
        QString want;
    } cases[] = {
        {"a.TXT", 1, "a.TXT"},
        {"a.TXT", 2, "a (2).TXT"},
        {"Log 1.5 x.TXT", 12, "Log 1.5 x (12).TXT"},
        {"noext", 3, "noext (3)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataLog::NumberedName(c.name, c.n), c.want);
}

// How much arrives and how logging ends: the file always holds exactly what arrived while
// logging, and the count shows whole blocks only.
TEST(DataLogger, FileHoldsEveryByteReceivedWhileLogging)
{
    struct Case {
        const char* what;
        qint64 bytes;
        bool closeWindow; // end by closing the window instead of "Stop Logging"
        qint64 onDiskBeforeEnd;
        const char* blocks;
    } cases[] = {
        {"two whole blocks", 8192, false, 8192, "Blocks Logged: 2"},
        {"one byte short of a block", 4095, false, 0, "Blocks Logged: 0"},
        {"a block and a part, window closed", 5000, true, 4096, "Blocks Logged: 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimHost h;
        frmQVDTMain main(h.host, logger());
        const QString path = logPath(h, "DataLog BlueChan  Date 2026-12-06 Time 17_53_39.TXT");
        h.dialogs.queueDriver([&](Form& f) {
            auto& w = static_cast<frmQVDTDataLogger&>(f);
            EXPECT_EQ(w.comLog().commPort(), h.host.settings.DTComPort);
            EXPECT_EQ(w.comLog().settings(), "38400,n,8,1");
            w.cmdStart->click();
            EXPECT_EQ(w.cmdStart->text(), "Stop Logging");
            EXPECT_FALSE(w.optChan[0]->isEnabled());
            EXPECT_FALSE(w.optChan[1]->isEnabled());
            EXPECT_EQ(w.lblFileName->text(), "Log File: " + QDir::toNativeSeparators(path));
            h.site.setForeignTraffic(Channel::Blue, stream(h, c.bytes));
            receive(h, c.bytes);
            EXPECT_EQ(QFileInfo(path).size(), c.onDiskBeforeEnd) << "whole blocks go to disk as they fill";
            EXPECT_EQ(w.lblBlocks->text(), c.blocks);
            if (c.closeWindow)
                return;
            w.cmdStart->click();
            EXPECT_EQ(w.cmdStart->text(), "Start Logging");
            EXPECT_TRUE(w.optChan[0]->isEnabled());
            EXPECT_FALSE(w.comLog().isOpen());
            EXPECT_EQ(w.lblBlocks->text(), c.blocks) << "the part block is not counted";
        });
        main.launch("cmdDTDataLogger");
        EXPECT_EQ(fileBytes(path), streamBytes(c.bytes));
        EXPECT_TRUE(h.dialogs.shown.empty());
    }
}

TEST(DataLogger, LogsOnlyTheChosenChannel)
{
    SimHost h;
    frmQVDTMain main(h.host, logger());
    h.clock.setLocalDateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    h.dialogs.queueDriver([&](Form& f) {
        auto& w = static_cast<frmQVDTDataLogger&>(f);
        w.optChan[1]->click();
        w.cmdStart->click();
        EXPECT_TRUE(w.comLog().dtr()) << "the Brown channel";
        h.site.setForeignTraffic(Channel::Blue, stream(h, 100, "blue"));
        h.site.setForeignTraffic(Channel::Brown, stream(h, 100, "[BROWN]"));
        receive(h, 100);
        w.cmdStart->click();
    });
    main.launch("cmdDTDataLogger");
    EXPECT_EQ(fileBytes(logPath(h, "DataLog BrownChan  Date 2024-03-05 Time 14_07_09.TXT")),
              streamBytes(100, "[BROWN]"));
}

TEST(DataLogger, StartsWithinOneSecondKeepEveryRecordingInAFileOfItsOwn)
{
    SimHost h;
    frmQVDTMain main(h.host, logger());
    const QString names[3] = {"DataLog BlueChan  Date 2026-12-06 Time 17_53_39.TXT",
                              "DataLog BlueChan  Date 2026-12-06 Time 17_53_39 (2).TXT",
                              "DataLog BlueChan  Date 2026-12-06 Time 17_53_39 (3).TXT"};
    const QByteArray patterns[3] = {"first recording ", "second ", "3"};
    const qint64 lengths[3] = {300, 100, 20};
    h.dialogs.queueDriver([&](Form& f) {
        auto& w = static_cast<frmQVDTDataLogger&>(f);
        for (int i = 0; i < 3; ++i) {
            w.cmdStart->click();
            EXPECT_EQ(w.lblFileName->text(), "Log File: " + QDir::toNativeSeparators(logPath(h, names[i])));
            h.site.setForeignTraffic(Channel::Blue, stream(h, lengths[i], patterns[i]));
            receive(h, lengths[i]);
            w.cmdStart->click();
        }
        EXPECT_LT(h.clock.nowMs(), 1000) << "all three within the same second";
    });
    main.launch("cmdDTDataLogger");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(fileBytes(logPath(h, names[i])), streamBytes(lengths[i], patterns[i])) << i;
}

TEST(DataLogger, StartFailuresAreReportedAndLeaveTheLoggerIdle)
{
    struct Case {
        const char* what;
        std::function<void(SimHost&)> breakIt;
        QString title;
        QString textStart;
    } cases[] = {
        {"adapter unplugged", [](SimHost& h) { h.site.setAdapterPresent(false); }, "Port Error",
         "Unable To Open Port"},
        {"data folder is a file",
         [](SimHost& h) {
             const QString folder = h.host.paths().dataFolder();
             QDir(folder).removeRecursively();
             QFile f(folder);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         },
         "Error", "Unable To Create The Log File In"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimHost h;
        frmQVDTMain main(h.host, logger());
        h.dialogs.queueDriver([&](Form& f) {
            auto& w = static_cast<frmQVDTDataLogger&>(f);
            c.breakIt(h);
            w.cmdStart->click();
            EXPECT_FALSE(w.LogActive);
            EXPECT_FALSE(w.comLog().isOpen());
            EXPECT_EQ(w.cmdStart->text(), "Start Logging");
            EXPECT_TRUE(w.optChan[1]->isEnabled());
        });
        main.launch("cmdDTDataLogger");
        ASSERT_EQ(h.dialogs.shown.size(), 1u);
        EXPECT_EQ(h.dialogs.shown[0].title, c.title);
        EXPECT_TRUE(h.dialogs.shown[0].text.startsWith(c.textStart)) << h.dialogs.shown[0].text.toStdString();
        EXPECT_EQ(h.dialogs.shown[0].icon, MsgIcon::Critical);
    }
}

namespace {

struct RotationFixture {
    QTemporaryDir dir;
    ManualClock clock{QDateTime(QDate(2026, 12, 6), QTime(23, 59, 58))};
    DataLog log;
    QByteArray sent;

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    void open(DataLog::Rotation r)
    {
        log.setRotation(r, &clock);
        ASSERT_TRUE(log.Open(dir.path(), "Log.TXT"));
    }
    void feed(qint64 count)
    {
        for (qint64 i = 0; i < count; ++i) {
            const char b = char((sent.size() * 7 + sent.size() / 4096) & 0xFF);
            sent += b;
            ASSERT_NE(log.Add(b), DataLog::Added::WriteFailed);
        }
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
};

} // namespace

TEST(DataLog, RotationBySizeSplitsOnBlocksAndKeepsTheLastParts)
{
    constexpr qint64 size = 4 * DataLog::kBlockBytes;
    struct Case {
        const char* name;
        qint64 bytes;
        int keep;
        QStringList want; // the parts left, oldest first
        std::vector<qint64> sizes;
    } cases[] = {
        {"3.5 times the size",
         size * 7 / 2,
         0,
         {"Log (part 1).TXT", "Log (part 2).TXT", "Log (part 3).TXT", "Log (part 4).TXT"},
         {size, size, size, size / 2}},
        {"keeping two", size * 7 / 2, 2, {"Log (part 3).TXT", "Log (part 4).TXT"}, {size, size / 2}},
        {"an incomplete last block", size + 10, 0, {"Log (part 1).TXT", "Log (part 2).TXT"}, {size, 10}},
        {"less than one part", 100, 1, {"Log (part 1).TXT"}, {100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RotationFixture fx;
        fx.open({DataLog::Rotation::Mode::BySize, size, c.keep});
        fx.feed(c.bytes);
        ASSERT_TRUE(fx.log.Close());
        EXPECT_EQ(fx.files(), c.want);
        QByteArray joined;
        for (int i = 0; i < fx.files().size() && i < int(c.sizes.size()); ++i) {
            const QByteArray part = fileBytes(fx.path(c.want[i]));
            EXPECT_EQ(part.size(), c.sizes[size_t(i)]);
            joined += part;
        }
        EXPECT_EQ(joined, fx.sent.right(joined.size()))
            << "the parts left are the end of the stream, in order";
        if (c.keep == 0) {
            EXPECT_EQ(joined, fx.sent);
        }
    }
}

// Keeping the last parts removes only this log's own parts: another log, a numbered twin and a
// stale file of the next part's name all survive, and the stale file is stepped over.
TEST(DataLog, RotationNeverTouchesAnotherLog)
{
    RotationFixture fx;
    const QStringList others = {"Log (2) (part 1).TXT", "Other (part 1).TXT", "Log (part 2).TXT"};
    for (const QString& name : others) {
        QFile f(fx.path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    fx.open({DataLog::Rotation::Mode::BySize, DataLog::kBlockBytes, 1});
    fx.feed(3 * DataLog::kBlockBytes);
    ASSERT_TRUE(fx.log.Close());
    for (const QString& name : others)
        EXPECT_EQ(fileBytes(fx.path(name)), "keep me") << name.toStdString();
    EXPECT_EQ(fx.files(), (QStringList{"Log (2) (part 1).TXT", "Log (part 2).TXT", "Log (part 4).TXT",
                                       "Other (part 1).TXT"}));
    EXPECT_EQ(fileBytes(fx.path("Log (part 4).TXT")), fx.sent.right(DataLog::kBlockBytes));
}

TEST(DataLog, DailyRotationCrossesMidnightBetweenBlocks)
{
    RotationFixture fx;
    fx.open({DataLog::Rotation::Mode::Daily, 0, 0});
    fx.feed(DataLog::kBlockBytes + 100); // one block written on the 6th, 100 bytes waiting
    fx.clock.advanceMs(3000);            // 00:00:01 on the 7th
    fx.feed(DataLog::kBlockBytes);       // completes the waiting block: the first of the new day
    ASSERT_TRUE(fx.log.Close());
    ASSERT_EQ(fx.files(), (QStringList{"Log (part 1).TXT", "Log (part 2).TXT"}));
    const QByteArray first = fileBytes(fx.path("Log (part 1).TXT"));
    const QByteArray second = fileBytes(fx.path("Log (part 2).TXT"));
    EXPECT_EQ(first.size(), DataLog::kBlockBytes);
    EXPECT_EQ(first + second, fx.sent);
}

TEST(DataLog, WithoutRotationOneFileHoldsEverything)
{
    RotationFixture fx;
    fx.open({});
    fx.feed(5 * DataLog::kBlockBytes + 1);
    ASSERT_TRUE(fx.log.Close());
    EXPECT_EQ(fx.files(), QStringList{"Log.TXT"});
    EXPECT_EQ(fileBytes(fx.path("Log.TXT")), fx.sent);
}

// The Rotate setting is off and folded away at load; ticked, a log started before midnight goes on
// in a second part after it, the name on show follows, and the settings cannot change while logging.
TEST(DataLogger, RotateDailySplitsTheLogAtMidnight)
{
    SimHost h;
    h.clock.setLocalDateTime(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)));
    frmQVDTMain main(h.host, logger());
    const QString base = "DataLog BlueChan  Date 2026-12-06 Time 23_59_59";
    h.dialogs.queueDriver([&](Form& f) {
        auto& w = static_cast<frmQVDTDataLogger&>(f);
        EXPECT_FALSE(w.chkRotate->isChecked());
        EXPECT_FALSE(w.cboRotate->isVisibleTo(&w));
        EXPECT_FALSE(w.spnKeep->isVisibleTo(&w));
        w.chkRotate->click();
        EXPECT_TRUE(w.cboRotate->isVisibleTo(&w));
        w.cboRotate->setCurrentIndex(1);
        EXPECT_FALSE(w.spnRotateMB->isEnabled()) << "no size for a daily rotation";
        w.cmdStart->click();
        EXPECT_FALSE(w.chkRotate->isEnabled());
        EXPECT_FALSE(w.cboRotate->isEnabled());
        EXPECT_EQ(w.lblFileName->text(),
                  "Log File: " + QDir::toNativeSeparators(logPath(h, base + " (part 1).TXT")));
        h.site.setForeignTraffic(Channel::Blue, stream(h, 3 * 4096));
        receive(h, 3 * 4096);
        EXPECT_EQ(w.lblFileName->text(),
                  "Log File: " + QDir::toNativeSeparators(logPath(h, base + " (part 2).TXT")));
        EXPECT_EQ(w.lblBlocks->text(), "Blocks Logged: 3") << "counted over every part";
        w.cmdStart->click();
        EXPECT_TRUE(w.chkRotate->isEnabled());
    });
    main.launch("cmdDTDataLogger");
    const QByteArray first = fileBytes(logPath(h, base + " (part 1).TXT"));
    const QByteArray second = fileBytes(logPath(h, base + " (part 2).TXT"));
    EXPECT_EQ(first.size() % 4096, 0) << "the split falls between blocks";
    EXPECT_GT(second.size(), 0);
    EXPECT_EQ(first + second, streamBytes(3 * 4096));
    EXPECT_TRUE(h.dialogs.shown.empty());
}

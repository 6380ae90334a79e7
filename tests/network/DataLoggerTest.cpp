#include "network/DataLog.h"
#include "network/frmQVDTDataLogger.h"
#include "shell/frmQVDTMain.h"
#include "support/SimHost.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace tqdt;
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

#include "network/MonitorText.h"
#include "support/SimHost.h"
#include "ui/network/frmQVDTLocalMonitor.h"
#include "ui/network/frmQVDTNetworkMonitor.h"
#include "ui/shell/frmQVDTMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::net;
using test::SimHost;

namespace {

QList<QByteArray> lines(const QByteArray& text) { return text.split('\n'); }

// A tick as the running timer delivers it; a stopped timer delivers none.
void tick(MonitorWindow& w)
{
    if (w.Timer1->isActive())
        w.Timer1_Timer();
}

QStringList shownLines(const MonitorWindow& w) { return w.lblData->text().split(QLatin1Char('\n')); }

ToolList monitors()
{
    return {{"cmdLocalMonitor", "frmQVDTLocalMonitor", LaunchKind::Monitor,
             [](Host& h) { return std::make_unique<frmQVDTLocalMonitor>(h); }},
            {"cmdNetworkMonitor", "frmQVDTNetworkMonitor", LaunchKind::Monitor,
             [](Host& h) { return std::make_unique<frmQVDTNetworkMonitor>(h); }}};
}

// Frames "[00]", "[01]", ... "[3B]" without end, one every 10 ms.
sim::ForeignTraffic numberedFrames(char tag)
{
    QByteArray pattern;
    for (int i = 0; i < 60; ++i)
        pattern += '[' + QByteArray(1, tag) + QByteArray::number(i).rightJustified(2, '0') + ']';
    return {pattern, 500};
}

} // namespace

TEST(MonitorText, ShowsNewestFirstThenOldestToSecondNewest)
{
    struct Case {
        const char* what;
        QByteArray received;
        QByteArray firstLine, secondLine, lastLine;
    } cases[] = {
        {"nothing received: 50 empty entries", "", "", "", ""},
        {"the second [ completes the first frame", "[AB][", "[AB]", "", ""},
        {"text before the first [ is an entry of its own", "xy[A][B][C", "[B]", "", "[A]"},
        // [F00] ... [F50] completed, with the empty text before them: the ring keeps the last 50.
        {"ring wrapped",
         [] {
             QByteArray s;
             for (int i = 0; i <= 51; ++i)
                 s += "[F" + QByteArray::number(i).rightJustified(2, '0') + ']';
             return s;
         }(),
         "[F50]", "[F01]", "[F49]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MonitorRing ring;
        ring.receive(c.received);
        const QByteArray text = MonitorText(ring);
        EXPECT_EQ(text.count("\r\n"), 49);
        EXPECT_EQ(text.count('\r'), 49) << "no stray line ends";
        const QList<QByteArray> l = lines(text);
        ASSERT_EQ(l.size(), 50);
        EXPECT_EQ(l[0].chopped(l[0].endsWith('\r') ? 1 : 0), c.firstLine);
        EXPECT_EQ(l[1].chopped(l[1].endsWith('\r') ? 1 : 0), c.secondLine);
        EXPECT_EQ(l[49], c.lastLine) << "the last line has no line end";
    }
}

TEST(MonitorText, EmptyRingIsFortyNineLineEnds)
{
    EXPECT_EQ(MonitorText(MonitorRing{}), QByteArray("\r\n").repeated(49));
}

TEST(LocalMonitor, ShowsTrafficCollectedByTheMainWindowAndStopFreezesTheDisplayOnly)
{
    SimHost h;
    h.site.setForeignTraffic(Channel::Blue, numberedFrames('B'));
    frmQVDTMain main(h.host, monitors());
    h.dialogs.queueDriver([&](Form& f) {
        auto& w = static_cast<MonitorWindow&>(f);
        EXPECT_FALSE(h.port().dtr()) << "the Blue channel";
        EXPECT_TRUE(w.Timer1->isActive()) << "running from load";
        EXPECT_EQ(w.Timer1->interval(), 100);

        h.clock.advanceMs(1000); // frames arrive one character per receive event
        tick(w);
        const QStringList running = shownLines(w);
        ASSERT_EQ(running.size(), 50);
        // A hundred frames a second: the 100th frame has just begun, the 99th is the newest complete.
        EXPECT_EQ(running[0], "[B39]");
        EXPECT_EQ(running[49], "[B38]");

        w.cmdStop->click();
        h.clock.advanceMs(300);
        tick(w);
        EXPECT_EQ(shownLines(w), running) << "frozen while stopped";

        w.cmdStart->click();
        tick(w);
        const QStringList resumed = shownLines(w);
        EXPECT_EQ(resumed[0], "[B09]");
        // Thirty frames came in while stopped: what was second newest is now 31 lines further on.
        EXPECT_EQ(resumed[49 - 30], running[49]);
    });
    main.launch("cmdLocalMonitor");
    EXPECT_TRUE(h.site.written.empty()) << "a monitor sends nothing";
    EXPECT_FALSE(h.port().isOpen());
}

TEST(NetworkMonitor, ChannelOptionSwitchesOnlyTheDtrLineAndKeepsTheRing)
{
    SimHost h;
    h.site.setForeignTraffic(Channel::Blue, numberedFrames('B'));
    h.site.setForeignTraffic(Channel::Brown, numberedFrames('R'));
    frmQVDTMain main(h.host, monitors());
    h.dialogs.queueDriver([&](Form& f) {
        auto& w = static_cast<frmQVDTNetworkMonitor&>(f);
        EXPECT_TRUE(w.optChan[0]->isChecked());
        EXPECT_EQ(w.optChan[0]->text(), "Blue Channel (Wistra Devices)");
        EXPECT_EQ(w.optChan[1]->text(), "Brown Channel (Panels)");
        EXPECT_FALSE(h.port().dtr());
        h.clock.advanceMs(200);
        tick(w);
        const QStringList blue = shownLines(w);
        EXPECT_TRUE(blue[0].startsWith("[B"));

        w.optChan[1]->click();
        EXPECT_TRUE(h.port().dtr());
        tick(w);
        EXPECT_EQ(shownLines(w), blue) << "the frames already kept stay";

        h.clock.advanceMs(200);
        tick(w);
        const QStringList both = shownLines(w);
        EXPECT_TRUE(both[0].startsWith("[R")) << both[0].toStdString();
        EXPECT_TRUE(both.contains(blue[0]));

        w.optChan[0]->click();
        EXPECT_FALSE(h.port().dtr());
    });
    main.launch("cmdNetworkMonitor");
    EXPECT_TRUE(h.site.written.empty()) << "a monitor sends nothing";
}

TEST(MonitorWindow, ReceivedTextIsShownAsPlainText)
{
    SimHost h;
    frmQVDTLocalMonitor w(h.host);
    h.host.mon.receive(QByteArray("[<b>x</b>&amp;][\xE9]["));
    w.ShowData();
    EXPECT_EQ(w.lblData->textFormat(), Qt::PlainText);
    EXPECT_EQ(shownLines(w)[0], QString::fromLatin1("[\xE9]"));
    EXPECT_EQ(shownLines(w)[49], "[<b>x</b>&amp;]");
}

namespace {

// Another master polling wall station 12 (pilots 1 and 3) and relay device 02 on the Blue channel
// and panel 05 on the Brown channel, as a running installation does.
void otherMaster(SimHost& h)
{
    h.site.wallStations[0x12].pilots = 0x05;
    h.site.relayDevices[2].status = 0x01;
    h.site.panels[5].relays[0] = true;
    h.site.setForeignTraffic(Channel::Blue, {sim::otherMasterPattern(h.site, Channel::Blue), 400});
    h.site.setForeignTraffic(Channel::Brown, {sim::otherMasterPattern(h.site, Channel::Brown), 200});
}

QString cell(const MonitorWindow& w, int row, int column)
{
    return w.frames()->index(row, column).data().toString();
}

} // namespace

// The details table lists what the ring collects, one decoded frame a row; at load it is hidden and
// the window shows its label as always.
TEST(MonitorDetails, DecodedRowsFilterPauseAndSave)
{
    SimHost h;
    otherMaster(h);
    frmQVDTMain main(h.host, monitors());
    const QString csv = QDir(h.dir.path()).filePath("capture.csv");
    const QString txt = QDir(h.dir.path()).filePath("capture.txt");
    h.dialogs.queueFile(csv);
    h.dialogs.queueFile(txt);
    h.dialogs.queueFile(QDir(h.dir.path()).filePath("no such folder/capture.csv"));
    int first = 0;
    h.dialogs.queueDriver([&](Form& f) {
        auto& w = static_cast<MonitorWindow&>(f);
        EXPECT_FALSE(w.chkDetails->isChecked());
        EXPECT_FALSE(w.fraDetails->isVisibleTo(&w));
        EXPECT_TRUE(w.lblData->isVisibleTo(&w));

        for (int i = 0; i < 2000; ++i) // a millisecond at a time, as the characters come
            h.clock.advanceMs(1);
        tick(w);
        EXPECT_EQ(w.frames()->rowCount(), 0) << "the table fills only while it is shown";
        w.chkDetails->click();
        EXPECT_FALSE(w.lblData->isVisibleTo(&w));
        const int rows = w.frames()->rowCount();
        ASSERT_GT(rows, 10);
        // The capture began in the middle of a frame: what came before its first "[" is a row of
        // its own.
        EXPECT_EQ(cell(w, 0, FrameTableModel::Meaning), "unknown (between frames)");
        first = 1;
        while (first < 6 && cell(w, first, FrameTableModel::Raw) != "[21270523]")
            ++first;
        ASSERT_LT(first, 6) << "the first wall station poll";
        for (int r = first; r < rows; ++r) {
            SCOPED_TRACE(cell(w, r, FrameTableModel::Raw).toStdString());
            EXPECT_EQ(cell(w, r, FrameTableModel::Chan), "Blue");
            EXPECT_EQ(cell(w, r, FrameTableModel::Check), "ok");
            const QString m = cell(w, r, FrameTableModel::Meaning);
            EXPECT_TRUE(m == "Wall station 12 status, pilots 1 3" || m == "Relay device 02 status read" ||
                        m == "Reply: relay 1 on" || m.startsWith("Reply: status"))
                << m.toStdString();
        }
        EXPECT_EQ(cell(w, 0, FrameTableModel::Delta), "");
        // A 9-character poll at 400 characters a second takes some 22 ms to the reply's "[".
        const int delta = cell(w, first + 1, FrameTableModel::Delta).toInt();
        EXPECT_GE(delta, 20);
        EXPECT_LE(delta, 30);
        EXPECT_NEAR(cell(w, first + 1, FrameTableModel::Time).toDouble() -
                        cell(w, first, FrameTableModel::Time).toDouble(),
                    delta / 1000.0, 1e-6);

        w.chkHex->click();
        EXPECT_EQ(cell(w, first, FrameTableModel::Raw), "5B 32 31 32 37 30 35 32 33 5D");
        w.chkHex->click();

        // Filters: the relay device's exchanges only, then only what address 12 said and heard.
        w.cboCommand->setCurrentIndex(w.cboCommand->findText("Relay device command"));
        ASSERT_GT(w.frames()->rowCount(), 0);
        for (int r = 0; r < w.frames()->rowCount(); ++r)
            EXPECT_TRUE(cell(w, r, FrameTableModel::Meaning)
                            .contains(QRegularExpression("^(Relay device 02|Reply: relay 1 on)")));
        w.cboCommand->setCurrentIndex(0);
        w.txtAddress->setText("12");
        for (int r = 0; r < w.frames()->rowCount(); ++r)
            EXPECT_TRUE(cell(w, r, FrameTableModel::Meaning)
                            .contains(QRegularExpression("^(Wall station 12|Reply: status)")));
        w.txtAddress->clear();

        // Pause holds the table; the capture goes on and the rows appear on Resume.
        const int before = w.frames()->rowCount();
        const quint64 captured = w.capture().last();
        w.cmdPause->click();
        h.clock.advanceMs(1000);
        tick(w);
        EXPECT_EQ(w.frames()->rowCount(), before);
        EXPECT_GT(w.capture().last(), captured);
        w.cmdPause->click();
        EXPECT_EQ(w.frames()->rowCount(), before + int(w.capture().last() - captured));

        w.cmdSaveCapture->click();
        w.cmdSaveCapture->click();
        w.cmdSaveCapture->click();
    });
    main.launch("cmdLocalMonitor");
    EXPECT_FALSE(bool(h.host.mon.tap)) << "the closed window stops listening";

    QFile saved(csv);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    EXPECT_EQ(lines[0], "index,time_ms,delta_ms,channel,raw,checksum,meaning\r");
    ASSERT_GT(lines.size(), first + 2);
    const QByteArray poll = lines[first + 1], reply = lines[first + 2];
    EXPECT_TRUE(poll.contains(",blue,[21270523],ok,\"Wall station 12 status, pilots 1 3\"\r"))
        << poll.toStdString();
    EXPECT_TRUE(reply.contains(",blue,[4000A4],ok,Reply: status 40 00\r")) << reply.toStdString();
    EXPECT_EQ(lines.last(), "") << "every line ends in CR LF";
    QFile text(txt);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readLine(), "index\ttime_ms\tdelta_ms\tchannel\traw\tchecksum\tmeaning\r\n");
    ASSERT_FALSE(h.dialogs.shown.empty());
    EXPECT_TRUE(h.dialogs.shown.back().text.startsWith("Unable To Save The Capture"));
}

TEST(MonitorDetails, NetworkMonitorRowsCarryTheChannelTheyCameOn)
{
    SimHost h;
    otherMaster(h);
    frmQVDTMain main(h.host, monitors());
    h.dialogs.queueDriver([&](Form& f) {
        auto& w = static_cast<frmQVDTNetworkMonitor&>(f);
        w.chkDetails->click();
        for (int i = 0; i < 50; ++i)
            h.clock.advanceMs(10);
        w.optChan[1]->click();
        for (int i = 0; i < 100; ++i)
            h.clock.advanceMs(10);
        tick(w);
        QSet<QString> brown;
        for (int r = 0; r < w.frames()->rowCount(); ++r)
            if (cell(w, r, FrameTableModel::Chan) == "Brown" && cell(w, r, FrameTableModel::Check) == "ok")
                brown << cell(w, r, FrameTableModel::Meaning);
        EXPECT_TRUE(brown.contains("Panel 05 relays read"));
        EXPECT_TRUE(brown.contains("Reply: relay 1 on"));
    });
    main.launch("cmdNetworkMonitor");
}

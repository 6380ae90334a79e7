#include "network/MonitorText.h"
#include "network/frmQVDTLocalMonitor.h"
#include "network/frmQVDTNetworkMonitor.h"
#include "shell/frmQVDTMain.h"
#include "support/SimHost.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tqdt;
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

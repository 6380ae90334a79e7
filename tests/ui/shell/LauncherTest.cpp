#include "ui/shell/Launcher.h"
#include "support/SimHost.h"
#include "ui/shell/Form.h"
#include "ui/shell/frmQVDTMain.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace tqdt;
using tqdt::test::SimHost;

namespace {

// A stand-in tool window that notes when it was shown.
class ProbeForm : public Form {
public:
    ProbeForm(Host& h, qint64* shownAtMs) : Form(h), m_shownAt(shownAtMs) { setObjectName("frmProbe"); }

protected:
    void Form_Load() override { *m_shownAt = host().clock().nowMs(); }

private:
    qint64* m_shownAt;
};

struct LaunchCase {
    const char* name;
    LaunchKind kind;
    Channel trafficOn;
    qint64 trafficAtMs; // -1: quiet network
    bool opens;
    qint64 doneAtMs;
    QString message;
};

} // namespace

TEST(Launcher, ActivityChecks)
{
    const QString scan = "Another Device Is Scanning The Network.\r\nUnable To Enter Scan Mode.";
    const QString discover = "Another Device Is Scanning The Network.\r\nUnable To Enter Discover Mode.";
    const LaunchCase cases[] = {
        {"scan, quiet", LaunchKind::Scan, Channel::Blue, -1, true, 2000, {}},
        {"scan, Blue busy", LaunchKind::Scan, Channel::Blue, 500, false, 1000, scan},
        {"scan, Brown busy", LaunchKind::Scan, Channel::Brown, 1500, false, 2000, scan},
        {"scan, Brown busy before it is selected", LaunchKind::Scan, Channel::Brown, 200, true, 2000, {}},
        {"discover, quiet", LaunchKind::Discover, Channel::Brown, -1, true, 1000, {}},
        {"discover, Brown busy", LaunchKind::Discover, Channel::Brown, 999, false, 1000, discover},
        {"discover ignores Blue", LaunchKind::Discover, Channel::Blue, 500, true, 1000, {}},
    };
    for (const auto& c : cases) {
        SimHost t;
        if (c.trafficAtMs >= 0)
            t.site.setForeignTraffic(c.trafficOn, {"[", 1000, c.trafficAtMs * 1000, 1});
        qint64 shownAt = -1;
        std::vector<bool> labelStates;
        bool everBrown = false;
        const bool opened = LaunchTool(
            t.host, c.kind, [&] { return std::make_unique<ProbeForm>(t.host, &shownAt); },
            [&](bool on) {
                labelStates.push_back(on);
                everBrown = everBrown || t.port().dtr();
            });
        everBrown = everBrown || t.port().dtr();
        EXPECT_EQ(opened, c.opens) << c.name;
        EXPECT_EQ(labelStates, (std::vector<bool>{true, false})) << c.name;
        if (c.opens) {
            EXPECT_EQ(shownAt, c.doneAtMs) << c.name;
            EXPECT_TRUE(t.dialogs.shown.empty()) << c.name;
        } else {
            EXPECT_EQ(t.clock.nowMs(), c.doneAtMs) << c.name;
            ASSERT_EQ(t.dialogs.shown.size(), 1u) << c.name;
            EXPECT_EQ(t.dialogs.shown[0].text, c.message) << c.name;
            EXPECT_EQ(t.dialogs.shown[0].title, "Error") << c.name;
            EXPECT_EQ(t.dialogs.shown[0].icon, MsgIcon::Critical) << c.name;
        }
        if (c.kind == LaunchKind::Scan && c.trafficOn == Channel::Blue && !c.opens) {
            EXPECT_FALSE(everBrown) << "the Brown channel was selected: " << c.name;
        }
        EXPECT_FALSE(t.port().isOpen()) << c.name;
    }
}

TEST(Launcher, PortPreparationByKind)
{
    struct Case {
        LaunchKind kind;
        bool openWhileShown;
        int inputLen, threshold;
    } cases[] = {
        {LaunchKind::Monitor, true, 1, 1},
        {LaunchKind::Device, true, 0, 0},
        {LaunchKind::DataLogger, false, 0, 0},
        {LaunchKind::SelfManaged, false, 0, 0},
    };
    for (const auto& c : cases) {
        SimHost t;
        t.port().setInputLen(7);
        t.port().setRThreshold(7);
        bool open = false;
        int len = -1, threshold = -1;
        t.dialogs.queueDriver([&](Form&) {
            open = t.port().isOpen();
            len = t.port().inputLen();
            threshold = t.port().rThreshold();
        });
        qint64 shownAt = -1;
        EXPECT_TRUE(
            LaunchTool(t.host, c.kind, [&] { return std::make_unique<ProbeForm>(t.host, &shownAt); }));
        EXPECT_EQ(open, c.openWhileShown);
        if (c.kind != LaunchKind::DataLogger) {
            EXPECT_EQ(len, c.inputLen);
            EXPECT_EQ(threshold, c.threshold);
        }
        EXPECT_FALSE(t.port().isOpen());
    }
}

TEST(Launcher, PortThatWillNotOpenStopsTheTool)
{
    for (LaunchKind kind : {LaunchKind::Monitor, LaunchKind::Scan, LaunchKind::Discover,
                            LaunchKind::DataLogger, LaunchKind::Device}) {
        SimHost t;
        t.host.settings.DTComPort = 0;
        bool made = false;
        EXPECT_FALSE(LaunchTool(t.host, kind, [&] {
            made = true;
            return std::unique_ptr<Form>();
        }));
        EXPECT_FALSE(made);
        ASSERT_EQ(t.dialogs.shown.size(), 1u);
        EXPECT_EQ(t.dialogs.shown[0].title, "Port Error");
    }
}

TEST(MainWindow, MonitorRingFilledByReceiveEvents)
{
    SimHost t;
    qint64 shownAt = -1;
    frmQVDTMain main(t.host, {{"cmdNetworkMonitor", "ProbeForm", LaunchKind::Monitor,
                               [&](Host& h) { return std::make_unique<ProbeForm>(h, &shownAt); }}});
    t.site.setForeignTraffic(Channel::Blue, {"[A][B", 1000, 1000, 5});
    t.dialogs.queueDriver([&](Form&) { t.clock.advanceMs(100); });
    QTest::mouseClick(main.cmdNetworkMonitor, Qt::LeftButton);
    EXPECT_EQ(t.host.mon.MonIndex, 2);
    EXPECT_EQ(t.host.mon.MonFrames[1], "");
    EXPECT_EQ(t.host.mon.MonFrames[2], "[A]");
    EXPECT_EQ(t.host.mon.MonCurrent, "[B");
}

TEST(MainWindow, MonitorRingWraps)
{
    MonitorRing ring;
    for (int i = 0; i < 50; ++i)
        ring.receive(QByteArray("[") + QByteArray::number(i));
    EXPECT_EQ(ring.MonIndex, 0);
    EXPECT_EQ(ring.MonFrames[0], "[48");
    EXPECT_EQ(ring.MonFrames[1], ""); // the text before the first "["
    ring.receive('[');
    EXPECT_EQ(ring.MonIndex, 1);
    EXPECT_EQ(ring.MonFrames[1], "[49"); // the oldest entry is overwritten
    EXPECT_EQ(ring.MonFrames[50], "");
}

TEST(MainWindow, ControlsAndToolButtons)
{
    SimHost t;
    qint64 shownAt = -1;
    frmQVDTMain main(t.host, {{"cmdCndOcc(1)", "ProbeForm", LaunchKind::SelfManaged,
                               [&](Host& h) { return std::make_unique<ProbeForm>(h, &shownAt); }}});
    EXPECT_EQ(main.windowTitle(), "Tarvik Quorvel Diagnostic Tool Rev 1.67");
    EXPECT_FALSE(main.cmdWSTest->isVisibleTo(&main));
    EXPECT_EQ(main.cmdWSTest->text(), "Legacy Wistra Device");
    EXPECT_FALSE(main.lblComCheck->isVisibleTo(&main));
    // Only tools that exist in the build can be started.
    EXPECT_TRUE(main.cmdCndOcc[1]->isEnabled());
    EXPECT_FALSE(main.cmdCndOcc[0]->isEnabled());
    EXPECT_FALSE(main.cmdNetworkScan->isEnabled());
    struct Placed {
        QWidget* w;
        const char* caption;
        int left, top;
    } placed[] = {
        {main.lblHeader[4], "Interface COM Port", 480, 120},
        {main.lblComPort, "COM1", 480, 480},
        {main.lblComCheck, "Checking Network Activity", 1560, 480},
        {main.cmdLocalMonitor, "Monitor Panel Level Wistra Devices", 480, 1320},
        {main.cmdDTDataLogger, "Serial Data Logger", 480, 3720},
        {main.cmdWSG3Test, "G3 Wall Switch", 5040, 420},
        {main.cmdCndOcc[2], "MP Device Programming", 5040, 3510},
        {main.cmdDMX, "DMX Mapped Gateway", 5040, 4800},
        {main.cmdWSTest, "Legacy Wistra Device", 2760, 5160},
    };
    for (const auto& p : placed) {
        EXPECT_EQ(p.w->property("text").toString(), p.caption);
        EXPECT_EQ(p.w->pos(), QPoint(tw(p.left), tw(p.top))) << p.caption;
    }
    // Self-managed tools open without touching the port.
    QTest::mouseClick(main.cmdCndOcc[1], Qt::LeftButton);
    EXPECT_EQ(shownAt, 0);
    EXPECT_EQ(t.dialogs.modalShown, (std::vector<QString>{"frmProbe"}));
}

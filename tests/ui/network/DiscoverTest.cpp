#include "bus/FrameCodec.h"
#include "network/NodeSweep.h"
#include "support/SimHost.h"
#include "ui/network/frmQVDTDiscover.h"
#include "ui/shell/frmQVDTMain.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::net;
using test::SimHost;

namespace {

// Answers the node probe of one address with a given text after a given turnaround.
class ProbeResponder final : public sim::SimDevice {
public:
    ProbeResponder(int address, QByteArray text, qint64 turnaroundUs)
        : m_frame(BuildNetFrame(qint16(address), "00")), m_reply{std::move(text), turnaroundUs}
    {
    }
    std::optional<sim::Reply> handle(Channel channel, const QByteArray& frame, const LineSettings&) override
    {
        if (channel == Channel::Brown && frame == m_frame)
            return m_reply;
        return std::nullopt;
    }

private:
    QByteArray m_frame;
    sim::Reply m_reply;
};

std::vector<QByteArray> probeFramesFor(int first, int last)
{
    std::vector<QByteArray> frames;
    for (int a = first; a <= last; ++a)
        frames.push_back(BuildNetFrame(qint16(a), "00"));
    return frames;
}

QColor background(const QLabel* l) { return l->palette().color(QPalette::Window); }

} // namespace

TEST(NodeSweep, SilentNetworkTakesEveryTimeLimitAndNeverProbesBroadcast)
{
    SimHost h;
    h.openPort();
    NodeSweep sweep;
    const qint64 start = h.nowMs();
    sweep.FindNodes(h.host);
    EXPECT_EQ(h.nowMs() - start, 254 * 75);
    EXPECT_EQ(h.takeWritten(), probeFramesFor(0x01, 0xFE)); // 01 ... FE in order, no FF
    for (int i = 0; i < NodeSweep::kNodes; ++i)
        EXPECT_EQ(sweep.state(i), NodeSweep::State::Silent) << i;
    EXPECT_TRUE(h.port().dtr()) << "the probes go out on the Brown channel";
}

TEST(NodeSweep, OnlyATimelyReplyWithAnUpperCaseHexFourthCharacterCounts)
{
    struct Case {
        const char* what;
        QByteArray reply;
        qint64 turnaroundUs;
        NodeSweep::State want;
    } cases[] = {
        {"upper-case hex digit", "[xxF2......]", 500, NodeSweep::State::Answered},
        {"decimal digit, no checksum checked", "[??9???????]", 500, NodeSweep::State::Answered},
        {"lower-case hex digit", "[xxf2......]", 500, NodeSweep::State::Silent},
        {"not a hex digit", "[xxG2......]", 500, NodeSweep::State::Silent},
        {"one character short", "[xxF2.....]", 500, NodeSweep::State::Silent},
        {"too late", "[xxF2......]", 80000, NodeSweep::State::Silent},
    };
    constexpr int kAddress = 0x42;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimHost h;
        h.site.addDevice(std::make_shared<ProbeResponder>(kAddress, c.reply, c.turnaroundUs));
        h.openPort();
        NodeSweep sweep;
        sweep.FindNodes(h.host);
        EXPECT_EQ(sweep.state(kAddress - 1), c.want);
        EXPECT_EQ(sweep.state(kAddress - 2), NodeSweep::State::Silent);
    }
}

TEST(DiscoverWindow, EachLabelTurnsCyanWhileProbedAndKeepsTheDesignColourUntilReached)
{
    SimHost h;
    for (int a : {0x01, 0x05, 0x20, 0xFE})
        h.site.panels[a] = sim::Panel{};
    h.openPort();
    frmQVDTDiscover window(h.host);
    window.ensureLoaded();
    const QColor design = background(window.lblPanelNode[0]);
    ASSERT_NE(design, frmQVDTDiscover::kProbing);
    for (int i = 0; i < NodeSweep::kNodes; ++i)
        ASSERT_EQ(background(window.lblPanelNode[size_t(i)]), design) << i;

    int wrongColours = 0;
    h.site.script = [&](Channel, const QByteArray& frame) -> std::optional<QByteArray> {
        const int i = HexVal2(Mid(frame, 4, 2)) - 1;
        if (i < 0 || i >= NodeSweep::kNodes)
            return std::nullopt;
        wrongColours += background(window.lblPanelNode[size_t(i)]) != frmQVDTDiscover::kProbing;
        if (i + 1 < NodeSweep::kNodes)
            wrongColours += background(window.lblPanelNode[size_t(i + 1)]) != design;
        return std::nullopt;
    };
    window.FindNodes();
    EXPECT_EQ(wrongColours, 0);
    for (int i = 0; i < NodeSweep::kNodes; ++i) {
        const bool panel = h.site.panels.count(i + 1) > 0;
        EXPECT_EQ(background(window.lblPanelNode[size_t(i)]),
                  panel ? frmQVDTDiscover::kAnswered : frmQVDTDiscover::kSilent)
            << i;
    }
    EXPECT_EQ(window.lblPanelNode[0]->text(), "Node: 01");
    EXPECT_EQ(window.lblPanelNode[0x9F]->text(), "Node: A0");
    EXPECT_EQ(window.lblPanelNode[253]->text(), "Node: FE");
    // Eight columns of 32 labels, the addresses running down each column.
    EXPECT_EQ(window.lblPanelNode[33]->pos(), QPoint(tw(990 + 120), tw(225 + 240)));
    EXPECT_EQ(window.lblPanelNode[253]->pos(), QPoint(tw(7 * 990 + 120), tw(29 * 225 + 240)));
}

TEST(DiscoverWindow, OpensFromTheMainWindowSweepsOnActivationAndRescansOnRequest)
{
    SimHost h;
    h.site.panels[0x05] = sim::Panel{};
    frmQVDTMain main(h.host, {{"cmdDiscover", "frmQVDTDiscover", LaunchKind::Discover,
                               [](Host& host) { return std::make_unique<frmQVDTDiscover>(host); }}});
    h.dialogs.queueDriver([&](Form& f) {
        auto& window = static_cast<frmQVDTDiscover&>(f);
        EXPECT_EQ(h.takeWritten(), probeFramesFor(0x01, 0xFE)) << "one sweep on activation";
        EXPECT_EQ(background(window.lblPanelNode[4]), frmQVDTDiscover::kAnswered);
        h.site.panels.erase(0x05);
        window.cmdFindLocal->click();
        EXPECT_EQ(h.takeWritten(), probeFramesFor(0x01, 0xFE));
        EXPECT_EQ(background(window.lblPanelNode[4]), frmQVDTDiscover::kSilent);
    });
    main.launch("cmdDiscover");
    EXPECT_EQ(h.dialogs.modalShown, std::vector<QString>{"frmQVDTDiscover"});
    EXPECT_TRUE(h.dialogs.drivers.empty());
    EXPECT_FALSE(h.port().isOpen()) << "the main window closes the port after the tool";
}

#include "dmx/DmxTransfer.h"
#include "bus/FrameShapes.h"
#include "sim/DmxGateway.h"
#include "support/SimHost.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt;
using namespace tqdt::dmx;

namespace {

// The progress bar as the window shows it: each value it is set to, -1 when it is hidden.
TransferView recordedBar(std::vector<int>& shown)
{
    TransferView view;
    view.bar = [&shown](int value, int maximum) {
        EXPECT_EQ(maximum, DmxTransfer::kBlocks);
        shown.push_back(value);
    };
    view.hide = [&shown] { shown.push_back(-1); };
    return view;
}

struct Gateway : ::testing::Test {
    Gateway()
    {
        sim.site.setBench(gateway);
        sim.host.settings.DTComPort = 1;
    }
    DmxTransfer transfer() { return DmxTransfer(sim.host, recordedBar(progress)); }
    const ScriptedDialogs::Shown& lastMessage() const { return sim.dialogs.shown.back(); }

    test::SimHost sim;
    std::shared_ptr<sim::DmxGateway> gateway = std::make_shared<sim::DmxGateway>();
    std::vector<int> progress;
};

DmxMap stageMap()
{
    DmxMap map;
    for (int i = 0; i < 512; i += 3)
        map.channel(i) = qint16(i % 64);
    map.channel(449) = 0x3F;
    map.SetDeviceAddress(2);
    return map;
}

TEST(DmxBlockFrame, CarriesTheBlocksCellsAsStored)
{
    DmxMap unmapped;
    for (int b = 0; b < 8; ++b) {
        const QByteArray f = DmxTransfer::BlockFrame(unmapped, b);
        EXPECT_EQ(f.size(), 136);
        EXPECT_EQ(f.mid(7, 128), QByteArray(128, 'F'));
    }
    EXPECT_TRUE(DmxTransfer::BlockFrame(unmapped, 7).startsWith("[0101C0"));
    const QByteArray f = DmxTransfer::BlockFrame(stageMap(), 7);
    EXPECT_TRUE(f.startsWith("[0101C0FF3F02FFFF05")) << f.constData();
    EXPECT_TRUE(f.endsWith("]"));
}

TEST_F(Gateway, DownloadStoresTheChannelsAndTheChecksumAgrees)
{
    const DmxMap map = stageMap();
    EXPECT_EQ(transfer().Download(map).outcome, TransferOutcome::Verified);
    for (int i = 0; i < 512; ++i)
        ASSERT_EQ(gateway->channels()[size_t(i)], quint8(map.channel(i))) << "channel " << i + 1;
    const auto written = sim.takeWritten();
    ASSERT_EQ(written.size(), 9u);
    EXPECT_EQ(written.back(), "[03]");
    for (const auto& w : sim.site.written) {
        EXPECT_EQ(w.channel, Channel::Brown);
        EXPECT_EQ(w.baud, 38400);
    }
    EXPECT_EQ(lastMessage().text, "Download Complete");
    EXPECT_EQ(lastMessage().title, "Downlaod");
    EXPECT_EQ(lastMessage().icon, MsgIcon::None);
    EXPECT_FALSE(sim.port().isOpen());
    EXPECT_EQ(progress, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, -1}));
}

TEST_F(Gateway, EveryFaultIsReportedAndThePortClosed)
{
    const struct {
        const char* what;
        void (*fault)(sim::DmxGateway&);
        int code;
        const char* text;
        const char* title;
        size_t framesSent;
    } cases[] = {
        {"silent", [](sim::DmxGateway& g) { g.setSilent(true); }, DmxTransfer::kCommFault, "Comm Fault",
         "Fault", 1},
        {"three-character block reply", [](sim::DmxGateway& g) { g.setShortBlockReply(true); },
         DmxTransfer::kCommFault, "Comm Fault", "Fault", 1},
        {"corrupted cell", [](sim::DmxGateway& g) { g.corruptChannel(300); }, DmxTransfer::kChecksumFault,
         "Download Failed.\r\nChecksum Fault.\r\nDevice Will NOT Function Properly.", "Download Failure", 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::SimHost fresh;
        auto g = std::make_shared<sim::DmxGateway>();
        c.fault(*g);
        fresh.site.setBench(g);
        std::vector<int> shown;
        const qint64 started = fresh.nowMs();
        EXPECT_TRUE(DmxTransfer(fresh.host, recordedBar(shown)).Download(stageMap()).failedWith(c.code));
        EXPECT_EQ(fresh.takeWritten().size(), c.framesSent);
        ASSERT_FALSE(fresh.dialogs.shown.empty());
        EXPECT_EQ(fresh.dialogs.shown.back().text, c.text);
        EXPECT_EQ(fresh.dialogs.shown.back().title, c.title);
        EXPECT_EQ(fresh.dialogs.shown.back().icon, MsgIcon::Critical);
        EXPECT_EQ(shown.back(), -1);
        EXPECT_FALSE(fresh.port().isOpen());
        if (c.code == DmxTransfer::kCommFault) {
            EXPECT_GE(fresh.nowMs() - started, tqdt::BusFrameShape(tqdt::shape::DmxChecksum).limitMs);
        }
    }
}

TEST_F(Gateway, FirmwareRevisionShowsEighteenCharactersFromTheSecond)
{
    gateway->setFirmware("DMX-GW 3.10 092319");
    for (const QByteArray& tail : {QByteArray(), QByteArray("EXTRA")}) {
        gateway->setFirmwareTail(tail);
        EXPECT_EQ(transfer().FirmwareRev().outcome, TransferOutcome::Verified);
        EXPECT_EQ(sim.takeWritten(), std::vector<QByteArray>{"[04]"});
        EXPECT_EQ(lastMessage().text, "DMX-GW 3.10 092319");
        EXPECT_EQ(lastMessage().title, "Device Firmware Revision");
        EXPECT_EQ(lastMessage().icon, MsgIcon::Information);
        EXPECT_FALSE(sim.port().isOpen());
    }
    EXPECT_EQ(DmxTransfer::FirmwareText("[DMX-GW 3.10 092319]]]]"), "DMX-GW 3.10 092319");

    gateway->setSilent(true);
    EXPECT_TRUE(transfer().FirmwareRev().failedWith(DmxTransfer::kCommFault));
    EXPECT_EQ(lastMessage().text, "Comm Fault");
    EXPECT_FALSE(sim.port().isOpen());
}

TEST_F(Gateway, APortThatWillNotOpenStopsBeforeAnyFrame)
{
    sim.site.setAdapterPresent(false);
    EXPECT_EQ(transfer().Download(stageMap()).outcome, TransferOutcome::PortError);
    EXPECT_EQ(transfer().FirmwareRev().outcome, TransferOutcome::PortError);
    EXPECT_TRUE(sim.takeWritten().empty());
    ASSERT_EQ(sim.dialogs.shown.size(), 2u);
    for (const auto& m : sim.dialogs.shown) {
        EXPECT_EQ(m.text, "Unable To Open Port");
        EXPECT_EQ(m.title, "Port Error");
    }
    EXPECT_TRUE(progress.empty());
}

// A port that opens once and then refuses, as an adapter pulled between the two opens does.
class OpensOnce final : public SerialPort {
public:
    OpensOnce(sim::Site& site, Clock& clock) : m_inner(site, clock) {}
    bool open(QString* error) override { return ++m_opens == 1 && m_inner.open(error); }
    void close() override { m_inner.close(); }
    bool isOpen() const override { return m_inner.isOpen(); }
    void setDtr(bool on) override { m_inner.setDtr(on); }
    bool dtr() const override { return m_inner.dtr(); }
    void setRts(bool on) override { m_inner.setRts(on); }
    bool rts() const override { return m_inner.rts(); }
    int inBufferCount() override { return m_inner.inBufferCount(); }
    QByteArray input() override { return m_inner.input(); }
    void output(const QByteArray& data) override { m_inner.output(data); }
    void waitForCount(int count, const Stopwatch& sw, qint64 limitMs) override
    {
        m_inner.waitForCount(count, sw, limitMs);
    }

private:
    sim::SimSerialPort m_inner;
    int m_opens = 0;
};

TEST(DmxPortPreparation, AReopenThatFailsIsAnInvalidPort)
{
    ManualClock clock;
    ScriptedDialogs dialogs;
    sim::Site site;
    site.setBench(std::make_shared<sim::DmxGateway>());
    QTemporaryDir dir;
    Host host(clock, dialogs, Paths(dir.path()), [&] { return std::make_unique<OpensOnce>(site, clock); });
    EXPECT_EQ(DmxTransfer(host).Download(DmxMap{}).outcome, TransferOutcome::PortError);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Invalid COM Port.");
    EXPECT_EQ(dialogs.shown[0].title, "COM Error");
    EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(site.written.empty());
}

TEST(DmxGatewaySim, AnswersOnlyWellFormedFramesOnItsChannelAndLine)
{
    sim::DmxGateway g;
    const QByteArray good = DmxTransfer::BlockFrame(DmxMap{}, 1);
    LineSettings bus;
    LineSettings fast;
    fast.baud = 115200;
    QByteArray lower = good;
    lower[10] = 'f';
    QByteArray badAddress = good;
    badAddress.replace(3, 4, "0041");
    QByteArray pastEnd = good;
    pastEnd.replace(3, 4, "0200");
    const struct {
        const char* what;
        Channel channel;
        QByteArray frame;
        LineSettings line;
        bool answered;
    } cases[] = {
        {"block", Channel::Brown, good, bus, true},
        {"checksum query", Channel::Brown, "[03]", bus, true},
        {"firmware query", Channel::Brown, "[04]", bus, true},
        {"Blue channel", Channel::Blue, good, bus, false},
        {"Blue channel query", Channel::Blue, "[03]", bus, false},
        {"other baud", Channel::Brown, good, fast, false},
        {"lower-case digit", Channel::Brown, lower, bus, false},
        {"one digit short", Channel::Brown, good.left(134) + "]", bus, false},
        {"address inside a block", Channel::Brown, badAddress, bus, false},
        {"address past the last block", Channel::Brown, pastEnd, bus, false},
        {"unknown command", Channel::Brown, "[05]", bus, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(g.handle(c.channel, c.frame, c.line).has_value(), c.answered) << c.what;
    EXPECT_EQ(g.blocksWritten(), 1);
}

} // namespace

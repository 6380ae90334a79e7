#include "bus/BusLink.h"
#include "bus/FrameCodec.h"
#include "bus/modQVDT.h"
#include "support/SimHost.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tqdt;
using tqdt::test::SimHost;

namespace {

struct Exchanges : ::testing::Test {
    SimHost t;
    void SetUp() override { t.openPort(); }
};

} // namespace

TEST_F(Exchanges, SilentDeviceFailsAfterExactlyItsLimit)
{
    struct Case {
        const char* name;
        std::function<bool(Host&)> call;
        qint64 limitMs;
    } cases[] = {
        {"PanelPresent", [](Host& h) { return PanelPresent(h, 200); }, 25},
        {"NodeProbe", [](Host& h) { return NodeProbe(h, 200); }, 75},
        {"PanelRelays read", [](Host& h) { return PanelRelays(h, 200, false, 0, 0); }, 200},
        {"PanelRelays write", [](Host& h) { return PanelRelays(h, 200, true, 3, 1); }, 750},
        {"WsStatus", [](Host& h) { return WsStatus(h, 200, 0); }, 25},
        {"WsSensorLevels", [](Host& h) { return WsSensorLevels(h, 200, 0); }, 25},
        {"WsReadConfig", [](Host& h) { return WsReadConfig(h, 200); }, 25},
        {"WsWriteConfig", [](Host& h) { return WsWriteConfig(h, 200, 1); }, 100},
        {"DimmerCommand", [](Host& h) { return DimmerCommand(h, 9, 1, 2, 3, 4, 0, false); }, 30},
        {"RelayDeviceCommand 0", [](Host& h) { return RelayDeviceCommand(h, 9, 0); }, 25},
        {"RelayDeviceCommand 85", [](Host& h) { return RelayDeviceCommand(h, 9, 85); }, 25 + 75},
    };
    for (const auto& c : cases) {
        const qint64 start = t.clock.nowUs();
        EXPECT_FALSE(c.call(t.host)) << c.name;
        EXPECT_EQ(t.clock.nowUs() - start, c.limitMs * 1000) << c.name;
    }
}

namespace {
// Answers every frame with one text after a set turnaround.
struct FixedReply : sim::SimDevice {
    QByteArray text;
    qint64 turnaroundUs = 0;
    std::optional<sim::Reply> handle(Channel, const QByteArray&, const LineSettings&) override
    {
        return sim::Reply{text, turnaroundUs};
    }
};
} // namespace

TEST_F(Exchanges, ReplyCompletingAtTheLimitIsTooLate)
{
    const LineSettings line;
    const QByteArray frame = BuildDevFrame('2', 1, "700");
    auto device = std::make_shared<FixedReply>();
    device->text = SealDevFrame("[4102");
    t.site.setBench(device);
    for (qint64 lateByUs : {-1000, -1, 0, 1}) {
        // The last character lands 25 ms + lateByUs after the stopwatch started.
        device->turnaroundUs = 25000 + lateByUs - wireTimeUs(int(frame.size()), line) -
                               device->text.size() * wireTimeUs(1, line);
        const qint64 start = t.clock.nowUs();
        EXPECT_EQ(WsStatus(t.host, 1, 0), lateByUs < 0) << lateByUs;
        EXPECT_EQ(t.clock.nowUs() - start, 25000 + std::min<qint64>(lateByUs, 0)) << lateByUs;
    }
}

TEST_F(Exchanges, BadRepliesFailWithoutHarm)
{
    struct Case {
        const char* name;
        std::function<void(SimHost&)> arrange;
    } cases[] = {
        {"garbage",
         [](SimHost& s) {
             s.site.script = [](Channel, const QByteArray&) { return QByteArray("x\x01\xff]]q[z!"); };
         }},
        {"too short",
         [](SimHost& s) { s.site.script = [](Channel, const QByteArray&) { return QByteArray("[41"); }; }},
        {"stray character first",
         [](SimHost& s) {
             s.site.script = [](Channel, const QByteArray&) { return "x" + SealDevFrame("[4102"); };
         }},
        {"1000 characters",
         [](SimHost& s) {
             s.site.script = [](Channel, const QByteArray&) { return QByteArray(1000, 'F'); };
         }},
        {"1000 characters framed",
         [](SimHost& s) {
             s.site.script = [](Channel, const QByteArray&) { return "[" + QByteArray(998, '0') + "]"; };
         }},
        {"corrupted", [](SimHost& s) { s.site.setReplyCorruption(1.0); }},
        {"adapter pulled out", [](SimHost& s) { s.site.setAdapterPresent(false); }},
        {"pulled out mid-reply",
         [](SimHost& s) {
             s.site.script = [&s](Channel, const QByteArray&) {
                 s.clock.addListener([&s] {
                     if (s.clock.nowMs() > 2)
                         s.site.setAdapterPresent(false);
                 });
                 return SealDevFrame("[4102");
             };
         }},
    };
    for (const auto& c : cases) {
        SimHost s;
        s.site.wallStations[1] = {};
        s.site.panels[1] = {};
        s.openPort();
        ASSERT_TRUE(WsStatus(s.host, 1, 0)) << c.name;
        ASSERT_TRUE(PanelRelays(s.host, 1, false, 0, 0)) << c.name;
        const ReplyStore before = s.host.reply;
        c.arrange(s);
        EXPECT_FALSE(WsStatus(s.host, 1, 0)) << c.name;
        EXPECT_FALSE(WsSensorLevels(s.host, 1, 0)) << c.name;
        EXPECT_FALSE(PanelRelays(s.host, 1, false, 0, 0)) << c.name;
        EXPECT_FALSE(RelayDeviceCommand(s.host, 1, 0)) << c.name;
        EXPECT_EQ(s.host.reply.WsStatusA, before.WsStatusA) << c.name;
        EXPECT_EQ(s.host.reply.WsStatusB, before.WsStatusB) << c.name;
        EXPECT_EQ(s.host.reply.RelayImage, before.RelayImage) << c.name;
        EXPECT_EQ(s.host.reply.SensorLevel, before.SensorLevel) << c.name;
    }
}

TEST_F(Exchanges, ConfigWriteReadsOnlyTheValueReply)
{
    t.site.wallStations[5] = {};
    t.host.reply.ReplyText = "earlier";
    // The station acknowledges the enable but never the value.
    t.site.script = [](Channel, const QByteArray& frame) -> std::optional<QByteArray> {
        if (frame.startsWith("[205B"))
            return QByteArray();
        return std::nullopt;
    };
    EXPECT_FALSE(WsWriteConfig(t.host, 5, 0x3C));
    EXPECT_EQ(t.host.reply.ReplyText, "earlier");

    t.site.script = {};
    EXPECT_TRUE(WsWriteConfig(t.host, 5, 0x3C));
    EXPECT_EQ(t.host.reply.ReplyText, SealDevFrame("[3C"));
}

TEST_F(Exchanges, ForeignCharactersBeforeTheRequestAreEmptied)
{
    t.site.wallStations[1] = {};
    t.site.setForeignTraffic(Channel::Blue, {"[7", 1000, 0, 2});
    t.clock.advanceMs(10); // both characters have arrived
    EXPECT_TRUE(WsStatus(t.host, 1, 0));
}

TEST_F(Exchanges, FramesOnTheWire)
{
    t.site.panels[1] = {};
    t.site.wallStations[5] = {};
    struct Case {
        const char* name;
        std::function<void(Host&)> call;
        std::vector<QByteArray> frames;
        bool brown;
    } cases[] = {
        {"relay read", [](Host& h) { PanelRelays(h, 1, false, 0, 0); }, {"[CA0125]"}, true},
        {"relay write off",
         [](Host& h) { PanelRelays(h, 1, true, 10, 2); },
         {BuildNetFrame(1, "100A01")},
         true},
        {"relay write on",
         [](Host& h) { PanelRelays(h, 1, true, 63, 1); },
         {BuildNetFrame(1, "103F11")},
         true},
        {"presence", [](Host& h) { PanelPresent(h, 1); }, {"[8A01A]"}, true},
        {"status", [](Host& h) { WsStatus(h, 0, 0); }, {"[200700FE]"}, false},
        {"config write",
         [](Host& h) { WsWriteConfig(h, 5, 0x3C); },
         {SealDevFrame("[205AFA"), SealDevFrame("[205B3C")},
         false},
        {"dimmer",
         [](Host& h) { DimmerCommand(h, 2, 255, 128, 0, 1, 0x123, false); },
         {SealDevFrame("[A025FF23802300230123")},
         false},
        {"dimmer WLI",
         [](Host& h) { DimmerCommand(h, 2, 255, 0, 0, 0, 5882, true); },
         {SealDevFrame("[A028FF0016FA000016FA000016FA000016FA")},
         false},
        {"profile", [](Host& h) { TouchScreenProfile(h, 1); }, {"[8FFE010A]"}, false},
    };
    for (const auto& c : cases) {
        t.takeWritten();
        c.call(t.host);
        EXPECT_EQ(t.takeWritten(), c.frames) << c.name;
        EXPECT_EQ(t.site.written.back().channel == Channel::Brown, c.brown) << c.name;
    }
}

TEST_F(Exchanges, RelayImageAndStatusDecoding)
{
    sim::Panel p;
    p.relays[0] = p.relays[9] = p.relays[63] = true;
    t.site.panels[7] = p;
    ASSERT_TRUE(PanelRelays(t.host, 7, false, 0, 0));
    EXPECT_EQ(t.host.reply.RelayImage, (std::array<qint16, 8>{0x01, 0x02, 0, 0, 0, 0, 0, 0x80}));
    EXPECT_EQ(t.host.reply.ReplyText.size(), 36);

    ASSERT_TRUE(PanelRelays(t.host, 7, true, 9, 2));
    EXPECT_FALSE(t.site.panels[7].relays[9]);

    sim::WallStation ws;
    ws.level = 0x41;
    ws.inputs = 0x02;
    t.site.wallStations[3] = ws;
    ASSERT_TRUE(WsStatus(t.host, 3, 0xA5));
    EXPECT_EQ(t.site.wallStations[3].pilots, 0xA5);
    EXPECT_EQ(t.host.reply.WsStatusA, 0x02);
    EXPECT_EQ(t.host.reply.WsStatusB, 0x41);
    EXPECT_EQ(t.host.reply.WsStatusC, 0x02);

    ASSERT_TRUE(WsWriteConfig(t.host, 3, 0x5A));
    ASSERT_TRUE(WsReadConfig(t.host, 3));
    EXPECT_EQ(t.host.reply.WsStatusB, 0x5A);
    EXPECT_EQ(t.host.reply.WsStatusA, 0x02); // not touched by a configuration read
}

TEST_F(Exchanges, SensorWordsCarrySignAndScale)
{
    sim::WallStation ws;
    ws.sensorWords = {0x8010, 0x7FFF, 0x0000, 0x8000};
    t.site.wallStations[4] = ws;
    ASSERT_TRUE(WsSensorLevels(t.host, 4, 1));
    EXPECT_EQ(t.host.reply.SensorLevel, (std::array<qint32, 4>{9, 17465, 0, 0}));
    EXPECT_EQ(t.host.reply.SensorNegative, (std::array<bool, 4>{true, false, false, true}));
}

TEST_F(Exchanges, RelayDeviceCommandWaitsForTheRelaysOnlyWhenCommanded)
{
    t.site.relayDevices[2] = {};
    qint64 start = t.clock.nowMs();
    ASSERT_TRUE(RelayDeviceCommand(t.host, 2, 0xAA));
    EXPECT_EQ(t.host.reply.RelayDeviceStatus, 0x0F);
    EXPECT_GE(t.clock.nowMs() - start, 75);
    start = t.clock.nowMs();
    ASSERT_TRUE(RelayDeviceCommand(t.host, 2, 0));
    EXPECT_LT(t.clock.nowMs() - start, 25);
}

TEST_F(Exchanges, TouchScreenClockAndSecondsCount)
{
    // Sunday 6 December 2026, 17:53:39
    t.clock.setLocalDateTime(QDateTime(QDate(2026, 12, 6), QTime(17, 53, 39)));
    ASSERT_TRUE(TouchScreenClock(t.host));
    ASSERT_EQ(t.site.touchScreenBroadcasts.size(), 1u);
    EXPECT_EQ(t.site.touchScreenBroadcasts[0], SealDevFrame("[8FFD"
                                                            "1A"
                                                            "1C"
                                                            "06"
                                                            "11"
                                                            "35"
                                                            "27"));
    t.clock.setLocalDateTime(QDateTime(QDate(2020, 1, 2), QTime(0, 0, 1)));
    EXPECT_EQ(SecondsSince2020(t.host), 86401);
}

TEST_F(Exchanges, ALinkOnAPortOfItsOwnSelectsItsChannelAndKeepsItsReply)
{
    t.site.panels[1] = {};
    std::unique_ptr<SerialPort> own = t.host.newPort();
    ASSERT_TRUE(own->open());
    QByteArray reply;
    BusLink link(t.host, *own, &reply);
    t.port().setDtr(false);
    t.host.reply.ReplyText = "untouched";
    ASSERT_TRUE(link.exchange(Channel::Brown, BuildNetFrame(1, "25"), 36, 200));
    EXPECT_TRUE(CheckNetReply(reply)) << reply.constData();
    EXPECT_EQ(t.site.written.back().channel, Channel::Brown);
    EXPECT_TRUE(own->dtr());
    EXPECT_FALSE(t.port().dtr()); // the main port's channel is not the link's business
    EXPECT_EQ(t.host.reply.ReplyText, "untouched");
    // On the Blue channel the panel hears nothing: the same frame goes unanswered.
    EXPECT_FALSE(link.exchange(Channel::Blue, BuildNetFrame(1, "25"), 36, 200));
}

namespace {
// Sends back what it was sent, with what follows it (an adapter that echoes, then the device).
struct Echoing : sim::SimDevice {
    QByteArray after;
    bool echo = true;
    QByteArray answer;
    std::optional<sim::Reply> handle(Channel, const QByteArray& frame, const LineSettings&) override
    {
        return sim::Reply{echo ? frame + after : answer, 0};
    }
};
} // namespace

// Received text that begins with the request is the line echoing it, never an answer, however it
// goes on; the message is shown once until an exchange is answered again.
TEST_F(Exchanges, AnEchoIsNoAnswerAndIsToldOnce)
{
    const QByteArray frame = BuildDevFrame('2', 1, "700");
    auto device = std::make_shared<Echoing>();
    t.site.setBench(device);
    BusLink link(t.host);
    t.host.reply.ReplyText = "older";
    auto told = [&] {
        return std::count_if(t.dialogs.shown.begin(), t.dialogs.shown.end(), [](const auto& m) {
            return m.text == "The Port Echoes What Is Sent" && m.title == "Port Error";
        });
    };
    for (const QByteArray& after : {QByteArray(), QByteArray("[41023C]")}) {
        device->after = after;
        EXPECT_FALSE(link.exchange(frame, int(frame.size()), 25)) << after.constData();
        t.clock.advanceMs(100); // what follows the echo is on the line by the next request
    }
    EXPECT_EQ(t.host.reply.ReplyText, "older");
    EXPECT_EQ(told(), 1);

    device->echo = false;
    device->answer = SealDevFrame("[4102");
    EXPECT_TRUE(link.exchange(frame, int(device->answer.size()), 25));
    EXPECT_EQ(t.host.reply.ReplyText, device->answer);
    t.clock.advanceMs(100);
    device->echo = true;
    EXPECT_FALSE(link.exchange(frame, int(frame.size()), 25));
    EXPECT_EQ(told(), 2);
}

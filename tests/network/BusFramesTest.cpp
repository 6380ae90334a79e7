#include "network/BusFrames.h"

#include "bus/LoadCommands.h"
#include "bus/PanelCommands.h"
#include "bus/TouchScreenCommands.h"
#include "bus/WallStationCommands.h"
#include "condlogic/FactoryModule.h"
#include "condlogic/ModuleTransfer.h"
#include "devices/WsLink.h"
#include "devices/WsModels.h"
#include "dmx/DmxTransfer.h"
#include "gateway/GatewayProtocol.h"
#include "gateway/GatewayTransfer.h"
#include "sim/CondModule.h"
#include "support/SimHost.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <set>

using namespace tqdt;
using namespace tqdt::net;

namespace {

QByteArray net(int node, const QByteArray& body) { return BuildNetFrame(qint16(node), body); }
QByteArray dev(char cls, int address, const QByteArray& body)
{
    return BuildDevFrame(cls, qint16(address), body);
}
// Replies as the devices send them.
QByteArray netReply(const QByteArray& data)
{
    const QByteArray body = data + ']';
    return '[' + Hex2(qint16(NetChecksum(body))) + body;
}
QByteArray devReply(const QByteArray& data) { return SealDevFrame('[' + data); }

struct Piece {
    qint64 timeMs;
    QByteArray text;
};
struct Row {
    const char* checksum;
    QString meaning;
    bool pairedWithRowBefore = false;
};
struct Case {
    const char* name;
    std::optional<Channel> channel;
    std::vector<Piece> pieces;
    std::vector<Row> rows;
};

std::vector<BusFrame> decode(const Case& c)
{
    FrameDecoder d;
    std::vector<BusFrame> out;
    for (const Piece& p : c.pieces)
        d.feed(p.text, p.timeMs, c.channel, out);
    d.finish(out);
    return out;
}

const std::optional<Channel> blue = Channel::Blue, brown = Channel::Brown, unknown = std::nullopt;

// Every request of the bus routines and every reply they wait for, and what goes wrong on a wire.
const std::vector<Case> kCases = {
    {"relay read and its image",
     brown,
     {{0, "[CA0125]"},
      {3, netReply("FF00010000000080"
                   "0000000000000000")}},
     {{"ok", "Panel 01 relays read"}, {"ok", "Reply: relays 1\u20138 17 64 on", true}}},
    {"relay write on and off, acknowledged",
     brown,
     {{0, net(5, "100B11")}, {4, netReply("")}, {10, net(5, "103F01")}, {14, "[2F]"}},
     {{"ok", "Panel 05 relay 12 on"},
      {"ok", "Reply: acknowledged", true},
      {"ok", "Panel 05 relay 64 off"},
      {"ok", "Reply: acknowledged", true}}},
    {"presence answered by one bare character",
     brown,
     {{0, net(5, "A")}, {2, "P"}},
     {{"ok", "Panel 05 presence"}, {"none", "Reply: present", true}}},
    {"node probe",
     brown,
     {{0, net(0xFE, "00")}, {3, netReply("FE016740")}},
     {{"ok", "Node FE probe"}, {"ok", "Reply: node data FE 01 67 40", true}}},
    {"wall station status",
     blue,
     {{0, dev('2', 0x12, "705")}, {2, devReply("4000")}, {5, dev('2', 0, "700")}},
     {{"ok", "Wall station 12 status, pilots 1 3"},
      {"ok", "Reply: status 40 00", true},
      {"ok", "Wall station 00 status, pilots none"}}},
    {"wall station sensor levels",
     blue,
     {{0, dev('2', 0x12, "D01")},
      {2, devReply("40008010"
                   "7FFF00000000")}},
     {{"ok", "Wall station 12 sensor levels, selector 01"},
      {"ok", "Reply: status 40 00, sensor words 8010 7FFF 0000 0000", true}}},
    {"wall station configuration",
     blue,
     {{0, dev('2', 5, "AFA")},
      {2, devReply("01")},
      {5, dev('2', 5, "B3C")},
      {7, devReply("3C")},
      {10, dev('2', 5, "E")},
      {12, devReply("3C01")}},
     {{"ok", "Wall station 05 configuration enable"},
      {"ok", "Reply: acknowledged 01", true},
      {"ok", "Wall station 05 configuration write 3C"},
      {"ok", "Reply: acknowledged 3C", true},
      {"ok", "Wall station 05 configuration read"},
      {"ok", "Reply: configuration 3C 01", true}}},
    {"dimmer levels, plain and WLI",
     blue,
     {{0, dev('A', 3,
              "5"
              "8002"
              "8002"
              "8002"
              "8002")},
      {3, devReply("80808080")},
      {10, dev('A', 3,
               "8"
               "FF00000A"
               "0000000A"
               "0000000A"
               "4000000A")},
      {13, devReply("FF000040")}},
     {{"ok", "Dimmer 03 level 128 fade 4.0 s"},
      {"ok", "Reply: levels 128 128 128 128", true},
      {"ok", "Dimmer 03 levels 255 0 0 64 fade 1.0 s (WLI)"},
      {"ok", "Reply: levels 255 0 0 64", true}}},
    {"relay device status and command",
     blue,
     {{0, dev('9', 2, "500")}, {2, devReply("05")}, {10, dev('9', 2, "503")}, {12, devReply("00")}},
     {{"ok", "Relay device 02 status read"},
      {"ok", "Reply: relays 1 3 on", true},
      {"ok", "Relay device 02 command 03"},
      {"ok", "Reply: all relays off", true}}},
    {"touch screen broadcasts",
     blue,
     {{0, dev('8', 0xFF, "E02")},
      {60, dev('8', 0xFF,
               "D"
               "1A"
               "1C"
               "06"
               "11"
               "35"
               "27")}},
     {{"ok", "Touch screens profile 02"}, {"ok", "Touch screens clock 2026-12-06 17:53:39"}}},

    {"a bad checksum is marked and the frame still named",
     brown,
     {{0, "[CB0125]"}},
     {{"bad", "Panel 01 relays read"}}},
    {"a device frame read on the Brown channel is checked as a network frame",
     brown,
     {{0, "[200700FE]"}},
     {{"bad", "unknown"}}},
    {"without a channel the shape decides the family",
     unknown,
     {{0, "[CA0125]"}, {50, "[200700FE]"}},
     {{"ok", "Panel 01 relays read"}, {"ok", "Wall station 00 status, pilots none"}}},
    {"a frame cut short by the next one",
     blue,
     {{0, "[2057"}, {1, "[200700FE]"}},
     {{"bad", "unknown (cut short)"}, {"ok", "Wall station 00 status, pilots none"}}},
    {"bytes between frames stay, in a row of their own",
     brown,
     {{0, "[CA0125]\r\nxy[CA0125]z"}},
     {{"ok", "Panel 01 relays read"},
      {"none", "unknown (between frames)"},
      {"ok", "Panel 01 relays read"},
      {"none", "unknown (between frames)"}}},
    {"a frame split over two receive events is one frame",
     brown,
     {{10, "[CA01"}, {12, "25][2F"}, {13, "]"}},
     {{"ok", "Panel 01 relays read"}, {"ok", "Reply: acknowledged"}}},
    {"the module's frames with \"--\" for a checksum",
     blue,
     {{0, "[200700--]"}, {3, devReply("0000")}, {10, "[201F00--]"}},
     {{"none", "Module 00 connection check"},
      {"none", "Reply: data 00 00", true},
      {"none", "unknown (no checksum)"}}},
    {"a reply too late for its request is not paired",
     blue,
     {{0, dev('2', 0x12, "705")}, {200, devReply("4000")}},
     {{"ok", "Wall station 12 status, pilots 1 3"}, {"ok", "Reply: data 40 00"}}},
    {"a reply of the wrong length is not paired",
     blue,
     {{0, dev('2', 0x12, "705")}, {2, devReply("40")}},
     {{"ok", "Wall station 12 status, pilots 1 3"}, {"ok", "Reply: data 40"}}},
    {"no end in sight: cut at the longest frame",
     blue,
     {{0, "[" + QByteArray(600, '7')}},
     {{"bad", "unknown (cut short)"}, {"none", "unknown (between frames)"}}},
};

} // namespace

TEST(FrameDecoder, NamesEveryShapeAndLosesNoByte)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::vector<BusFrame> frames = decode(c);
        QByteArray sent, kept;
        for (const Piece& p : c.pieces)
            sent += p.text;
        for (const BusFrame& f : frames)
            kept += f.raw;
        EXPECT_EQ(kept, sent) << "every byte received belongs to exactly one row";
        ASSERT_EQ(frames.size(), c.rows.size());
        for (size_t i = 0; i < frames.size(); ++i) {
            SCOPED_TRACE(frames[i].raw.toStdString());
            EXPECT_EQ(ChecksumWord(frames[i].checksum).toStdString(), c.rows[i].checksum);
            EXPECT_EQ(FrameMeaning(frames[i]).toStdString(), c.rows[i].meaning.toStdString());
            EXPECT_EQ(frames[i].requestIndex >= 0, c.rows[i].pairedWithRowBefore);
            if (c.rows[i].pairedWithRowBefore) {
                EXPECT_EQ(frames[i].requestIndex, qint64(frames[i - 1].index));
                EXPECT_EQ(frames[i].address, frames[i - 1].address) << "a reply is filed under its request";
                EXPECT_EQ(frames[i].shape, frames[i - 1].shape);
            }
        }
    }
}

TEST(FrameDecoder, StampsEachFrameWithTheTimeItsBracketArrived)
{
    FrameDecoder d;
    std::vector<BusFrame> out;
    d.feed("xx[CA", 100, Channel::Brown, out);
    d.feed("0125]", 107, Channel::Brown, out);
    d.feed("[2F]", 109, Channel::Brown, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].timeMs, 100); // the bytes before the frame
    EXPECT_EQ(out[1].timeMs, 100);
    EXPECT_EQ(out[2].timeMs, 109);
    EXPECT_EQ(out[1].index + 1, out[2].index);
}

// Saved captures and the log decoder's output: one frame a line, CR LF, quoted only where a field
// holds a comma or a quote, empty time columns where the source had no times.
TEST(CaptureLine, CsvAndTabLayouts)
{
    FrameDecoder d;
    std::vector<BusFrame> out;
    d.feed(dev('2', 0x12, "705"), 1500, Channel::Blue, out);
    d.feed("\t\"\\", 1502, Channel::Blue, out);
    d.finish(out);
    ASSERT_EQ(out.size(), 2u);

    EXPECT_EQ(CaptureHeader(CaptureLayout::Csv), "index,time_ms,delta_ms,channel,raw,checksum,meaning\r\n");
    EXPECT_EQ(CaptureLine(out[0], -1, CaptureLayout::Csv),
              "1,1500,,blue," + dev('2', 0x12, "705") + ",ok,\"Wall station 12 status, pilots 1 3\"\r\n");
    EXPECT_EQ(CaptureLine(out[1], 2, CaptureLayout::Csv),
              "2,1502,2,blue,\"\\x09\"\"\\x5C\",none,unknown (between frames)\r\n");
    EXPECT_EQ(CaptureLine(out[1], 2, CaptureLayout::Tabs),
              "2\t1502\t2\tblue\t\\x09\"\\x5C\tnone\tunknown (between frames)\r\n");

    BusFrame fromLog = out[0];
    fromLog.timeMs = -1;
    fromLog.channel = -1;
    EXPECT_TRUE(CaptureLine(fromLog, -1, CaptureLayout::Tabs).startsWith("1\t\t\t\t["));
    EXPECT_EQ(FrameHex("[2F]"), "5B 32 46 5D");
}

// A frame's data characters that a meaning quotes as they stand (a reset's digits, a block's address,
// a sensor word) can be anything on a noisy bus: a line break or a tab there must not split a saved
// row or shift its columns.
TEST(CaptureLine, ControlCharactersInQuotedDataStayOnTheRow)
{
    struct Case {
        QByteArray request, reply;
        const char* meaning; // of the last frame
    } cases[] = {
        {BuildNetFrame(1, "36\n\t$*"), {}, "Gateway memory reset \\x0A\\x09"},
        {BuildNetFrame(1, "36\\1$*"), {}, "Gateway memory reset \\x5C1"},
        {BuildNetFrame(1, "380\r\n\tA" + QByteArray(130, '0')),
         {},
         "Gateway block write, bank 0 address \\x0D\\x0A\\x09A"},
    };
    for (const auto& c : cases) {
        FrameDecoder d;
        std::vector<BusFrame> out;
        d.feed(c.request + c.reply, 100, Channel::Brown, out);
        d.finish(out);
        ASSERT_FALSE(out.empty()) << c.request.toStdString();
        EXPECT_EQ(FrameMeaning(out.back()), QString::fromLatin1(c.meaning)) << c.request.toStdString();
        for (const BusFrame& f : out) {
            const QByteArray line = CaptureLine(f, -1, CaptureLayout::Tabs);
            EXPECT_EQ(line.count('\n'), 1) << line.toStdString();
            EXPECT_EQ(line.count('\t'), 6) << line.toStdString();
        }
    }
}

namespace {

// Every sender of the tool, once each: what it writes and what it then waits for is what the
// decoder has to recognise and pair.
void runEverySender(Host& host)
{
    using namespace tqdt::ws;
    PanelRelays(host, 1, false, 0, 0);
    PanelRelays(host, 1, true, 3, 1);
    PanelPresent(host, 1);
    NodeProbe(host, 1);
    WsStatus(host, 0x12, 5);
    WsSensorLevels(host, 0, 1);
    WsWriteConfig(host, 5, 0x3C);
    WsReadConfig(host, 5);
    DimmerCommand(host, 3, 128, 128, 128, 128, 2, false);
    DimmerCommand(host, 3, 255, 0, 0, 64, 10, true);
    RelayDeviceCommand(host, 2, 3);
    TouchScreenProfile(host, 2);
    TouchScreenClock(host);

    TypeQuery(host, 0);
    LegacyStation legacy(host);
    legacy.QVComWSType();
    legacy.QVComWSCnf(12);
    WsEnableAndWrite(host, 5, 0x41, WsWrite::Model);
    WsEnableAndWrite(host, 5, 0x41, WsWrite::ModelThenSecond);

    cnd::ModuleTransfer module(host);
    module.WSCom07();
    module.WSCom04();
    const char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    module.WSComPrg("[10000000000000000]");
    for (int q = 0; q < 4; ++q)
        module.WSComPrg(cnd::ModuleTransfer::DataFrame(q, bytes));
    module.WSComPrg("[60000000000000000]");
    module.WSComPrg("[70000000000000000]");
    module.WSComPrg(cnd::ModuleTransfer::ReadFrame(3));
    cnd::FactoryModule factory(host);
    (void)factory.poll(0);
    factory.readInputs(0);
    factory.applyDefault();

    auto image = std::make_unique<gw::GatewayImage>();
    gw::GatewayTransfer gateway(host, *image);
    const std::array<qint16, gw::kBlockCells> cells{};
    gateway.SendGatewayCommand(shape::GatewayReset, gw::ResetCommand(0));
    gateway.SendGatewayCommand(shape::GatewayWriteBlock, gw::WriteBlockCommand(1, 0x40, cells.data()));
    gateway.SendGatewayCommand(shape::GatewayReadBlock, gw::ReadBlockCommand(1, 0x40));
    gateway.SendGatewayCommand(shape::GatewayChecksum, gw::ChecksumCommand(1));

    dmx::DmxTransfer dmxGateway(host);
    dmxGateway.WSComPrg(shape::DmxBlockWrite, dmx::DmxTransfer::BlockFrame(dmx::DmxMap{}, 7));
    dmxGateway.WSComPrg(shape::DmxChecksum, "[03]");
    dmxGateway.WSComPrg(shape::DmxFirmware, "[04]");
}

} // namespace

// A sender and the decoder that disagree on a frame's row, its reply length or its time limit would
// make the monitors misname the tool's own traffic or leave its replies unpaired. Every frame a sender
// writes must decode to a named request whose row (or a row of the same look) holds exactly the wait
// the sender used, and a reply of that length arriving just inside that wait must pair with it.
TEST(FrameDecoder, PairsEverySendersRequestWithTheReplyItWaitsFor)
{
    test::SimHost sim;
    // A station that answers the configuration enable, so the writes behind it go out too.
    sim.site.wallStations[5] = sim::WallStation{};
    sim.site.setBench(std::make_shared<sim::CondModule>());
    sim.openPort();
    runEverySender(sim.host);

    std::set<int> used;
    ASSERT_FALSE(sim.site.written.empty());
    for (const sim::Site::Written& w : sim.site.written) {
        SCOPED_TRACE(w.frame.toStdString());
        FrameDecoder d;
        std::vector<BusFrame> out;
        d.feed(w.frame, 1000, w.channel, out);
        ASSERT_EQ(out.size(), 1u);
        const BusFrame request = out[0]; // a copy: out grows below
        ASSERT_EQ(request.kind, BusFrame::Kind::Request) << FrameMeaning(request).toStdString();
        ASSERT_GE(request.shape, 0);
        EXPECT_NE(request.checksum, BusFrame::Mark::Bad);

        // The rows that look like this frame; one of them is the sender's.
        int senderRow = -1;
        const auto shapes = BusFrameShapes();
        for (int i = 0; i < int(shapes.size()); ++i) {
            const FrameShape& s = shapes[size_t(i)];
            const bool sameWait =
                w.awaited < 0 ? s.replyLength == 0 : s.replyLength == w.awaited && s.limitMs == w.limitMs;
            if (NamedShape(i) == request.shape && sameWait)
                senderRow = i;
        }
        ASSERT_GE(senderRow, 0) << "no row of the decoder's " << BusFrameShape(request.shape).name
                                << " waits for " << w.awaited << " characters within " << w.limitMs << " ms";
        used.insert(senderRow);
        if (w.awaited <= 0)
            continue;

        const FrameShape& named = BusFrameShape(request.shape);
        const QByteArray reply =
            named.replyIsFrame ? '[' + QByteArray(w.awaited - 2, '0') + ']' : QByteArray(w.awaited, 'P');
        d.feed(reply, 1000 + w.limitMs - 1, w.channel, out);
        d.finish(out);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(out[1].kind, BusFrame::Kind::Reply);
        EXPECT_EQ(out[1].requestIndex, qint64(request.index))
            << "a reply inside the sender's wait is its reply";
        EXPECT_LE(reply.size(), FrameDecoder::kMaxFrame);
    }
    // A row no sender waits by is a length or a limit kept beside the sender that really sends it.
    for (int i = 0; i < shape::Count; ++i)
        EXPECT_TRUE(used.count(i)) << BusFrameShape(i).name << " is no sender's";
}

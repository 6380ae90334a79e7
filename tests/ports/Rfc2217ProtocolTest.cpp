#include "ports/Rfc2217Protocol.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tqdt;
using namespace tqdt::rfc2217;
using S = ClientSession;

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out += char(b);
    return out;
}

// A server's acknowledgement of a COM-PORT-OPTION command.
QByteArray ack(int command, const QByteArray& value)
{
    QByteArray v;
    for (char c : value) {
        v += c;
        if (quint8(c) == S::IAC)
            v += c;
    }
    return bytes({S::IAC, S::SB, S::OptComPort, command + S::ServerOffset}) + v + bytes({S::IAC, S::SE});
}

const QByteArray kAgree = bytes({S::IAC, S::DO, S::OptComPort});
const QByteArray kBaud115200 = bytes({0x00, 0x01, 0xC2, 0x00});

} // namespace

TEST(Rfc2217Address, OptionsAndMistakes)
{
    struct Case {
        const char* text;
        bool ok;
        bool ignControl, ignPurge;
        int timeoutMs;
        const char* why;
    };
    const std::vector<Case> cases = {
        {"rfc2217://10.0.0.5:3001", true, false, false, 3000, ""},
        {"rfc2217://10.0.0.5:3001?ign_set_control", true, true, false, 3000, ""},
        {"RFC2217://box.local:4000?ign_purge&timeout=0.5", true, false, true, 500, ""},
        {"rfc2217://[::1]:3001?ign_set_control&ign_purge&timeout=10", true, true, true, 10000, ""},
        {"rfc2217://10.0.0.5", false, false, false, 0, "no TCP port"},
        {"rfc2217://:3001", false, false, false, 0, "no host"},
        {"rfc2217://10.0.0.5:3001?timeout=soon", false, false, false, 0, "timeout \"soon\""},
        {"rfc2217://10.0.0.5:3001?timeout=0", false, false, false, 0, "timeout \"0\""},
        {"rfc2217://10.0.0.5:3001?ign_dtr", false, false, false, 0, "unknown option \"ign_dtr\""},
        {"rfc2217://10.0.0.5:3001/ttyS0", false, false, false, 0, "unexpected path"},
        {"/dev/ttyUSB0", false, false, false, 0, "not an rfc2217"},
    };
    for (const Case& c : cases) {
        QString why;
        const auto a = parseAddress(QString::fromLatin1(c.text), &why);
        EXPECT_EQ(a.has_value(), c.ok) << c.text << ": " << why.toStdString();
        if (a) {
            EXPECT_EQ(a->options.ignSetControl, c.ignControl) << c.text;
            EXPECT_EQ(a->options.ignPurge, c.ignPurge) << c.text;
            EXPECT_EQ(a->options.timeoutMs, c.timeoutMs) << c.text;
        } else {
            EXPECT_TRUE(why.contains(QLatin1String(c.why))) << c.text << ": " << why.toStdString();
        }
    }
}

TEST(Rfc2217Session, IacIsDoubledOutAndUndoubledIn)
{
    S s;
    s.hello();
    const QByteArray frame = bytes({'[', 0xFF, 'A', 0xFF, 0xFF, ']'});
    EXPECT_EQ(s.data(frame), bytes({'[', 0xFF, 0xFF, 'A', 0xFF, 0xFF, 0xFF, 0xFF, ']'}));
    // The same bytes read back, split inside an escape.
    const QByteArray wire = s.data(frame);
    QByteArray got = s.feed(wire.left(2));
    got += s.feed(wire.mid(2, 3));
    got += s.feed(wire.mid(5));
    EXPECT_EQ(got, frame);
    // A value byte of 255 inside a subnegotiation is doubled too.
    EXPECT_TRUE(s.lineSettings(LineSettings{16777215 * 16 + 15, 'n', 8, 1}).contains(bytes({0xFF, 0xFF})));
}

TEST(Rfc2217Session, NegotiationIsAnsweredOnceAndNeverLoops)
{
    struct Case {
        const char* what;
        QByteArray server;
        QByteArray answer;
    };
    const std::vector<Case> cases = {
        // Answers to what we offered need no reply.
        {"agreed offers",
         bytes({S::IAC, S::DO, S::OptComPort, S::IAC, S::DO, S::OptBinary, S::IAC, S::WILL, S::OptBinary}),
         {}},
        // A server that echoes would send our own frames back as replies.
        {"echo refused", bytes({S::IAC, S::WILL, S::OptEcho}), bytes({S::IAC, S::DONT, S::OptEcho})},
        {"unknown option asked of us", bytes({S::IAC, S::DO, 24}), bytes({S::IAC, S::WONT, 24})},
        {"unknown option offered", bytes({S::IAC, S::WILL, 31}), bytes({S::IAC, S::DONT, 31})},
        // Agreed once, asked again: silence, or the two sides would loop.
        {"repeated DO", bytes({S::IAC, S::DO, S::OptSga, S::IAC, S::DO, S::OptSga}), {}},
        // Taking back an agreed option is acknowledged once.
        {"withdrawn",
         bytes({S::IAC, S::WILL, S::OptSga, S::IAC, S::WONT, S::OptSga, S::IAC, S::WONT, S::OptSga}),
         bytes({S::IAC, S::DONT, S::OptSga})},
        // One-byte commands carry no data.
        {"NOP between data", bytes({'a', S::IAC, 241, 'b'}), {}},
    };
    for (const Case& c : cases) {
        S s;
        const QByteArray hello = s.hello();
        EXPECT_TRUE(hello.contains(bytes({S::IAC, S::WILL, S::OptComPort}))) << c.what;
        s.feed(c.server);
        EXPECT_EQ(s.takeAnswers(), c.answer) << c.what;
    }
    S s;
    s.hello();
    EXPECT_EQ(s.feed(bytes({'a', S::IAC, 241, 'b'})), "ab");
    EXPECT_FALSE(s.comPortAgreed());
    s.feed(kAgree);
    EXPECT_TRUE(s.comPortAgreed());
    s.feed(bytes({S::IAC, S::DONT, S::OptComPort}));
    EXPECT_TRUE(s.comPortRefused());
}

TEST(Rfc2217Session, AcknowledgementsSplitAcrossReads)
{
    S s;
    s.hello();
    s.lineSettings(LineSettings{115200, 'n', 8, 1});
    EXPECT_TRUE(s.waiting());
    const QByteArray all = kAgree + ack(S::CmdBaud, kBaud115200) + ack(S::CmdDataSize, bytes({8})) +
                           ack(S::CmdParity, bytes({1})) + ack(S::CmdStopSize, bytes({1})) + "ok";
    // Every cut through the answers, one byte at a time at worst, gives the same result.
    for (int cut = 1; cut < all.size(); ++cut) {
        S t;
        t.hello();
        t.lineSettings(LineSettings{115200, 'n', 8, 1});
        QByteArray data = t.feed(all.left(cut));
        data += t.feed(all.mid(cut));
        EXPECT_FALSE(t.waiting()) << "cut at " << cut << ": " << t.waitingFor().toStdString();
        EXPECT_EQ(data, "ok") << "cut at " << cut;
        EXPECT_FALSE(t.takeRefusal()) << "cut at " << cut;
    }
    QByteArray data;
    for (char c : all)
        data += s.feed(QByteArray(1, c));
    EXPECT_EQ(data, "ok");
    EXPECT_FALSE(s.waiting());
}

TEST(Rfc2217Session, RefusedBaudIsALineRefusalAndRefusedDtrIsNot)
{
    S s;
    s.hello();
    s.lineSettings(LineSettings{115200, 'n', 8, 1});
    s.setDtr(true);
    s.feed(kAgree + ack(S::CmdBaud, bytes({0x00, 0x00, 0x96, 0x00})) + ack(S::CmdDataSize, bytes({8})) +
           ack(S::CmdParity, bytes({1})) + ack(S::CmdStopSize, bytes({1})) + ack(S::CmdControl, bytes({9})));
    EXPECT_FALSE(s.waiting());
    const auto baud = s.takeRefusal();
    ASSERT_TRUE(baud);
    EXPECT_TRUE(baud->lineSetting);
    EXPECT_EQ(baud->text, "baud 115200 refused: the server answered baud 38400");
    const auto dtr = s.takeRefusal();
    ASSERT_TRUE(dtr);
    EXPECT_FALSE(dtr->lineSetting);
    EXPECT_EQ(dtr->text, "DTR on refused: the server answered DTR off");
}

TEST(Rfc2217Session, ServerThatNeverAcknowledgesControlLines)
{
    // The server answers the line settings and the purge, never DTR, RTS or flow control.
    const QByteArray server = kAgree + ack(S::CmdBaud, bytes({0x00, 0x00, 0x96, 0x00})) +
                              ack(S::CmdDataSize, bytes({8})) + ack(S::CmdParity, bytes({1})) +
                              ack(S::CmdStopSize, bytes({1})) + ack(S::CmdPurge, bytes({1}));
    for (const bool quirk : {false, true}) {
        Options o;
        o.ignSetControl = quirk;
        S s(o);
        s.hello();
        s.lineSettings(LineSettings{});
        s.setNoFlowControl();
        s.setDtr(true);
        s.setRts(false);
        s.purgeReceive();
        s.feed(server);
        EXPECT_EQ(s.waiting(), !quirk) << quirk;
        EXPECT_EQ(s.owes(S::CmdControl), !quirk) << quirk;
        if (!quirk) {
            EXPECT_EQ(s.waitingFor(), "the acknowledgement of no flow control, DTR on, RTS off");
        }
        // Nothing from the device is held back by the missing control answers.
        EXPECT_EQ(s.feed("[12]"), "[12]") << quirk;
    }
}

TEST(Rfc2217Session, PurgeDropsWhatLeftTheDeviceBeforeIt)
{
    // Bytes in flight before the server confirms the purge are stale; bytes after it are the reply.
    for (const bool quirk : {false, true}) {
        Options o;
        o.ignPurge = quirk;
        S s(o);
        s.hello();
        s.feed(kAgree);
        s.purgeReceive();
        QByteArray got = s.feed("stale");
        got += s.feed(ack(S::CmdPurge, bytes({1})) + "[reply]");
        EXPECT_EQ(got, quirk ? "stale[reply]" : "[reply]") << quirk;
        EXPECT_FALSE(s.waiting()) << quirk;
        // The confirmation is answered at once, so a coalescing server does not hold the reply back.
        EXPECT_EQ(s.takeAnswers(), bytes({S::IAC, S::NOP})) << quirk;
    }
    // Two purges in a row: everything up to the second confirmation is stale.
    S s;
    s.hello();
    s.purgeReceive();
    s.purgeReceive();
    EXPECT_EQ(s.feed("a" + ack(S::CmdPurge, bytes({1})) + "b" + ack(S::CmdPurge, bytes({1})) + "c"), "c");
}

TEST(Rfc2217Session, PlainTelnetLineEndsUntilBinaryIsAgreed)
{
    S s;
    s.hello();
    EXPECT_EQ(s.data("\r"), QByteArray("\r\0", 2));
    EXPECT_EQ(s.feed(QByteArray("a\r\0b", 4)), "a\rb");
    s.feed(bytes({S::IAC, S::DO, S::OptBinary, S::IAC, S::WILL, S::OptBinary}));
    EXPECT_EQ(s.data("\r"), "\r");
    EXPECT_EQ(s.feed(QByteArray("a\r\0b", 4)), QByteArray("a\r\0b", 4));
}

TEST(Rfc2217Session, JunkFromTheServerNeitherGrowsNorBreaksTheSession)
{
    S s;
    s.hello();
    // An endless subnegotiation, then a malformed end, then ordinary data.
    QByteArray junk = bytes({S::IAC, S::SB, S::OptComPort, 101});
    junk += QByteArray(100000, 'x');
    junk += bytes({S::IAC, 'q'});
    EXPECT_EQ(s.feed(junk + "data"), "data");
    EXPECT_FALSE(s.takeRefusal());
}

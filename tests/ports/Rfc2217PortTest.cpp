#include "bus/FrameCodec.h"
#include "bus/modQVDT.h"
#include "host/Host.h"
#include "ports/DevicePort.h"
#include "sim/PtyServer.h"
#include "sim/Site.h"
#include "support/DeviceServer.h"
#include "support/ScriptedDialogs.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace tqdt;
using tqdt::test::DeviceServer;

namespace {

// The simulated panels behind a device server: the tool's port is an rfc2217:// address, the server
// in another process serves a pseudo-terminal, and the installation answers on the other end.
struct OverServer : ::testing::TestWithParam<DeviceServer::Kind> {
    void SetUp() override
    {
        if (!PseudoTerminal::supported())
            GTEST_SKIP() << "no pseudo-terminals here";
        if (const QString why = DeviceServer::unavailable(GetParam()); !why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        site.panels[0x21] = sim::Panel{};
        site.panels[0x21].relays[3] = true;
        // The panels are on the Brown channel; a pseudo-terminal has no DTR to choose it.
        pty.setChannel(Channel::Brown);
        ASSERT_TRUE(pty.start());
        QString why;
        ASSERT_TRUE(server.start(GetParam(), pty.portName(), &why)) << why.toStdString();
    }

    // ser2net cannot acknowledge DTR on a pseudo-terminal; pyserial's server can.
    QString address() const
    {
        return server.url(GetParam() == DeviceServer::Kind::Ser2net ? QStringLiteral("ign_set_control")
                                                                    : QString());
    }

    void useAddress(const QString& a) { url = a; }

    QTemporaryDir dir;
    SteadyClock clock;
    ScriptedDialogs dialogs;
    Paths paths{dir.path()};
    QString url;
    Host host{clock, dialogs, paths,
              [this] { return std::make_unique<DevicePort>([this](int) { return url; }); }};
    sim::Site site;
    sim::PtyServer pty{site};
    DeviceServer server;
};

std::string kindName(const ::testing::TestParamInfo<DeviceServer::Kind>& info)
{
    return info.param == DeviceServer::Kind::Ser2net ? "ser2net" : "PortManager";
}

} // namespace

TEST_P(OverServer, ExchangesAndASpeedChangeReachTheFarSide)
{
    useAddress(address());
    SerialPort& port = host.comQV();
    QString why;
    ASSERT_TRUE(port.open(&why)) << why.toStdString();
    ASSERT_TRUE(PanelRelays(host, 0x21, false, 0, 0));
    EXPECT_EQ(host.reply.RelayImage[0], 0x08);
    EXPECT_FALSE(PanelPresent(host, 0x22)) << "an absent panel answered";

    // The rate switch a programming tool makes: close, set, reopen. The panels do not talk at
    // 115,200 baud, so silence there and the baud read on the far side both show the change arrived.
    port.close();
    port.setSettings(QStringLiteral("115200,n,8,1"));
    ASSERT_TRUE(port.open(&why)) << why.toStdString();
    EXPECT_FALSE(PanelPresent(host, 0x21));
    EXPECT_EQ(pty.baudsSeen(), (std::vector<int>{38400, 115200}));
    port.close();
    port.setSettings(QStringLiteral("38400,n,8,1"));
    ASSERT_TRUE(port.open(&why)) << why.toStdString();
    EXPECT_TRUE(PanelPresent(host, 0x21));
}

TEST_P(OverServer, ServerGoneMidExchangeEndsTheWaitAtOnce)
{
    // Nothing on the far side answers; the wait could only end at its limit or when the server goes.
    useAddress(address());
    SerialPort& port = host.comQV();
    ASSERT_TRUE(port.open());
    Stopwatch sw(clock);
    port.output("[00A]"); // no such panel
    sw.StopwatchStart();
    server.killAfter(100);
    port.waitForCount(10, sw, 5000);
    EXPECT_LT(sw.StopwatchElapsed(), 2000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.open()) << "a server that is gone let the port open";
}

INSTANTIATE_TEST_SUITE_P(Rfc2217Port, OverServer,
                         ::testing::Values(DeviceServer::Kind::Ser2net, DeviceServer::Kind::PortManager),
                         kindName);

TEST(Rfc2217Port, Ser2netOnAPseudoTerminalNeedsTheControlQuirkAndSaysSo)
{
    if (const QString why = DeviceServer::unavailable(DeviceServer::Kind::Ser2net); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    PseudoTerminal pty;
    DeviceServer server;
    QString why;
    ASSERT_TRUE(server.start(DeviceServer::Kind::Ser2net, pty.slaveName(), &why)) << why.toStdString();
    DevicePort port([&](int) { return server.url(QStringLiteral("timeout=0.5")); });
    SteadyClock clock;
    Stopwatch sw(clock);
    sw.StopwatchStart();
    EXPECT_FALSE(port.open(&why));
    EXPECT_LT(sw.StopwatchElapsed(), 2000);
    EXPECT_TRUE(why.contains(QLatin1String("DTR off"))) << why.toStdString();
    EXPECT_TRUE(why.contains(server.url(QStringLiteral("ign_set_control")))) << why.toStdString();
}

namespace {

// A device server in a thread of this process that answers the opening as a script says: enough to
// show what the tool does with answers no real server gives on request.
class ScriptedServer {
public:
    // Called with the bytes received; returns the bytes to send back.
    using Script = std::function<QByteArray(const QByteArray&)>;
    explicit ScriptedServer(Script script) : m_script(std::move(script))
    {
        std::atomic<int> port{0};
        m_thread = std::thread([this, &port] {
            QTcpServer listener;
            listener.listen(QHostAddress::LocalHost, 0);
            port = listener.serverPort();
            if (!listener.waitForNewConnection(10000))
                return;
            std::unique_ptr<QTcpSocket> peer(listener.nextPendingConnection());
            while (!m_stop && peer->state() == QAbstractSocket::ConnectedState) {
                if (peer->waitForReadyRead(50)) {
                    peer->write(m_script(peer->readAll()));
                    peer->waitForBytesWritten(1000);
                }
            }
        });
        while (port == 0)
            std::this_thread::yield();
        m_port = quint16(port.load());
    }
    ~ScriptedServer()
    {
        m_stop = true;
        m_thread.join();
    }
    QString url(const QString& options) const
    {
        return QStringLiteral("rfc2217://127.0.0.1:%1?%2").arg(m_port).arg(options);
    }

private:
    Script m_script;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    quint16 m_port = 0;
};

QByteArray subneg(int command, const QByteArray& value)
{
    return QByteArray("\xff\xfa\x2c", 3) + char(command + 100) + value + QByteArray("\xff\xf0", 2);
}

// Answers every COM-PORT-OPTION command with the value asked for, except where told otherwise.
QByteArray answerAll(const QByteArray& in, const QByteArray& refuse, const QByteArray& instead,
                     bool purgeAcks)
{
    QByteArray out;
    if (in.contains(QByteArray("\xff\xfb\x2c", 3)))
        out += QByteArray("\xff\xfd\x2c", 3);
    for (qsizetype at = in.indexOf(QByteArray("\xff\xfa\x2c", 3)); at >= 0;
         at = in.indexOf(QByteArray("\xff\xfa\x2c", 3), at + 1)) {
        const int command = quint8(in[at + 3]);
        const qsizetype end = in.indexOf(QByteArray("\xff\xf0", 2), at);
        const QByteArray value = in.mid(at + 4, end - at - 4);
        if (command == 12 && !purgeAcks)
            continue;
        out += subneg(command, char(command) + value == refuse ? instead : value);
    }
    return out;
}

} // namespace

TEST(Rfc2217Port, OpeningRefusesWhatWouldLeaveTheLineWrong)
{
    struct Case {
        const char* what;
        const char* options;
        QByteArray refuse; // the command and value answered otherwise
        QByteArray instead;
        bool purgeAcks;
        bool opens;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"a speed the server cannot set", "timeout=1", QByteArray("\x01\x00\x01\xc2\x00", 5),
         QByteArray("\x00\x00\x96\x00", 4), true, false,
         "baud 115200 refused: the server answered baud 38400"},
        {"a server that never confirms a purge",
         "timeout=0.3",
         {},
         {},
         false,
         false,
         "rfc2217://127.0.0.1:PORT?ign_purge"},
        {"the same server with ign_purge", "timeout=0.3&ign_purge", {}, {}, false, true, ""},
        // A line the far side does not have is noted, and the port works as a pseudo-terminal does.
        {"DTR refused", "timeout=1", QByteArray("\x05\x08", 2), QByteArray("\x09", 1), true, true, ""},
    };
    for (const Case& c : cases) {
        ScriptedServer server(
            [&](const QByteArray& in) { return answerAll(in, c.refuse, c.instead, c.purgeAcks); });
        const QString url = server.url(QLatin1String(c.options));
        DevicePort port([&](int) { return url; });
        port.setSettings(QStringLiteral("115200,n,8,1"));
        port.setDtr(true);
        QString why;
        EXPECT_EQ(port.open(&why), c.opens) << c.what << ": " << why.toStdString();
        QString reason = QString::fromLatin1(c.reason);
        reason.replace(QLatin1String("PORT"),
                       url.section(QLatin1Char(':'), 2).section(QLatin1Char('?'), 0, 0));
        EXPECT_TRUE(why.contains(reason)) << c.what << ": " << why.toStdString();
        port.close();
    }
}

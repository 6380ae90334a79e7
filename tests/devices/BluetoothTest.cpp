#include "devices/Bluetooth.h"
#include "sim/BluetoothRadio.h"
#include "support/SimHost.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::ws;
using test::SimHost;

namespace {

constexpr int kTesterPort = 2;

// The bench of the Bluetooth tools: the station's module behind the main port (COM1, open as the
// launcher leaves it), the passthrough adapter on COM2.
struct BtBenchTest : ::testing::Test {
    BtBenchTest()
    {
        bench = sim::PlugInBtBench(h.site, [] { return kTesterPort; });
        h.openPort();
        tester = h.host.newPort();
    }
    ConfigResult configure(const QString& name)
    {
        return BluetoothTools(h.host, h.port(), *tester).ConfigBT(name, display());
    }
    Display display()
    {
        Display d;
        d.step = [this](const QString& s) { steps << s; };
        d.response = [this](const QByteArray& r) { responses << r; };
        d.verdict = [this](LinkOutcome o) { steps << LinkText(o); };
        return d;
    }
    BluetoothTools tools() { return BluetoothTools(h.host, h.port(), *tester); }

    SimHost h;
    sim::BtBench bench;
    std::unique_ptr<SerialPort> tester;
    QStringList steps;
    QList<QByteArray> responses;
};

} // namespace

TEST(BtNames, AutomaticNameCountsSecondsSince2020InNineDigits)
{
    struct Case {
        QDateTime at;
        const char* want;
    } cases[] = {
        {QDateTime(QDate(2020, 1, 1), QTime(0, 1, 40)), "Tarvik-000000100"},
        {QDateTime(QDate(2026, 12, 10), QTime(14, 30, 5)), "Tarvik-219076205"},
        // A clock set before 2020 counts from nothing rather than giving a minus sign.
        {QDateTime(QDate(2019, 12, 31), QTime(23, 59, 0)), "Tarvik-000000000"},
    };
    for (const Case& c : cases) {
        SimHost h;
        h.clock.setLocalDateTime(c.at);
        EXPECT_EQ(AutomaticName(h.host), QString::fromLatin1(c.want)) << c.want;
    }
}

TEST(BtNames, DumpGivesTheAddressAndTheNameWithoutItsLineEnd)
{
    struct Case {
        QByteArray reply;
        const char* address;
        const char* name;
        bool named;
    } cases[] = {
        {"***Settings***\r\nBTA=0012F3A4B5C6\r\nName=Tarvik-000000100\r\nConnected=no\r\nCMD> ",
         "0012F3A4B5C6", "Tarvik-000000100", true},
        {"Name=Tarvik-1\r\nConnected=no\r\n", "", "Tarvik-1", true},
        // An address cut short is taken as far as it goes.
        {"BTA=0012F3", "0012F3", "", false},
        {"BTA=0012F3A4B5C6\r\nName=Tarvik-1\r\n", "0012F3A4B5C6", "", false},
        // The lines the wrong way round, or touching, name nothing and read nothing outside the text.
        {"Connected=no\r\nName=Tarvik-1\r\n", "", "", true},
        {"Name=Connected=", "", "", true},
    };
    for (const Case& c : cases) {
        const Dump d = ParseDump(c.reply);
        EXPECT_EQ(d.address, QByteArray(c.address)) << c.reply.toStdString();
        EXPECT_EQ(d.name, QByteArray(c.name)) << c.reply.toStdString();
        EXPECT_EQ(d.named, c.named) << c.reply.toStdString();
    }
}

TEST(BtNames, NameFieldKeepsItsPrefix)
{
    EXPECT_EQ(KeepPrefix("Tarvik-7"), "Tarvik-7");
    EXPECT_EQ(KeepPrefix("Tarvi"), "Tarvik");
    EXPECT_EQ(KeepPrefix("xTarvik"), "Tarvik");
}

TEST_F(BtBenchTest, ConfigureThenLinkTestPassEndToEnd)
{
    const ConfigResult c = configure("Tarvik-000000100");
    EXPECT_TRUE(c.pass) << c.failedAt.toStdString();
    EXPECT_EQ(c.dump.address, "0012F3A4B5C6");
    EXPECT_EQ(c.dump.name, "Tarvik-000000100");
    EXPECT_EQ(steps, (QStringList{"Connect - 38,400", "Factory Reset - 38,400", "Connect - 115,200",
                                  "Set Baud To 38,400", "Reset Device", "Connect - 38,400", "Set ID", "UART",
                                  "Get Config", "Restart", "Done"}));
    EXPECT_TRUE(responses.back().contains("Rebooting"));
    // The module keeps its new name and rate; the port is back at the bus rate.
    EXPECT_EQ(bench.module->radio.name(), "Tarvik-000000100");
    EXPECT_EQ(bench.module->radio.baud(), 38400);
    EXPECT_EQ(h.port().settings(), "38400,n,8,1");
    // Everything went to the module's channel: nothing reached the stations on the Blue one.
    for (const auto& w : h.site.written)
        EXPECT_EQ(w.channel, Channel::Brown) << w.frame.toStdString();

    EXPECT_TRUE(tools().ConfigPT(kTesterPort, display()));
    steps.clear();
    const LinkResult r = tools().TestLink(kTesterPort, c.dump.address, display());
    EXPECT_EQ(r.outcome, LinkOutcome::Pass);
    EXPECT_EQ(r.toG3, "Tester_>_G3");
    EXPECT_EQ(h.host.reply.ReplyText, "Tester_>_G3");
    EXPECT_EQ(r.fromG3, "G3_>_Tester");
    EXPECT_EQ(steps, (QStringList{"Connecting", "COMM to G3", "COMM from G3", "Pass"}));
    // The call was dropped, the tester port closed and the main port is back on the Blue channel.
    EXPECT_FALSE(bench.adapter->radio.linkedAt(h.clock.nowUs()));
    EXPECT_FALSE(tester->isOpen());
    EXPECT_FALSE(h.port().dtr());
}

TEST_F(BtBenchTest, ConfigureFailsAtTheStepWhoseReplyIsMissing)
{
    struct Case {
        const char* silentAt;   // the module answers nothing from this command on
        const char* readBackAs; // the dump reports this name
        const char* failedAt;
        bool dumpRead;
    } cases[] = {
        // It took the name but not the UART mode: the dump is never read.
        {"SS,C0", "", "Get Config", false},
        {"SN,", "", "UART", false},
        {"$$$", "", "Set ID", false},
        // One that never restarts at 38,400 is not heard at the first check.
        {"R,1", "", "Set ID", false},
        // Every step answered, but the name read back is not the one written.
        {"", "Tarvik-00000010O", "", true},
    };
    for (const Case& c : cases) {
        SimHost fresh;
        sim::BtBench b = sim::PlugInBtBench(fresh.site, [] { return kTesterPort; });
        b.module->radio.goSilentAt(c.silentAt);
        b.module->radio.readBackAs(c.readBackAs);
        fresh.openPort();
        auto t = fresh.host.newPort();
        const ConfigResult r = BluetoothTools(fresh.host, fresh.port(), *t).ConfigBT("Tarvik-000000100");
        EXPECT_FALSE(r.pass) << c.silentAt;
        EXPECT_EQ(r.failedAt, QString::fromLatin1(c.failedAt)) << c.silentAt;
        EXPECT_EQ(r.dumpRead, c.dumpRead) << c.silentAt;
    }
}

TEST_F(BtBenchTest, PassthroughConfigurationNeedsTheAdaptersCommandPrompt)
{
    EXPECT_TRUE(tools().ConfigPT(kTesterPort, display()));
    EXPECT_EQ(steps, (QStringList{"Connect - 38,400", "Factory Reset - 38,400", "Connect - 115,200", "UART",
                                  "Restart", "Done"}));
    EXPECT_EQ(bench.adapter->radio.baud(), 115200);
    EXPECT_FALSE(tester->isOpen());
    // Nothing went to the installation behind the main port.
    EXPECT_TRUE(h.site.written.empty());

    bench.adapter->radio.goSilentAt("SS,C0");
    EXPECT_FALSE(tools().ConfigPT(kTesterPort));
    EXPECT_FALSE(tester->isOpen());
}

TEST_F(BtBenchTest, LinkTestNamesTheDirectionThatFailed)
{
    ASSERT_TRUE(configure("Tarvik-000000100").pass);
    struct Case {
        const char* what;
        std::function<void()> fault;
        QByteArray address;
        LinkOutcome want;
    } cases[] = {
        {"adapter never connects", [&] { bench.adapter->radio.setNeverConnects(true); }, "0012F3A4B5C6",
         LinkOutcome::PcToG3Fail},
        {"another address", [] {}, "0012F3A4B5C7", LinkOutcome::PcToG3Fail},
        // A module left in command mode prints what comes over the air but takes the station's text
        // for a command.
        {"module in command mode",
         [&] {
             h.port().setDtr(true);
             h.port().output("$$$");
             h.host.Delay(50);
             h.port().input(); // its prompt
         },
         "0012F3A4B5C6", LinkOutcome::G3ToPcFail},
    };
    for (const Case& c : cases) {
        c.fault();
        EXPECT_EQ(tools().TestLink(kTesterPort, c.address).outcome, c.want) << c.what;
        bench.adapter->radio.setNeverConnects(false);
    }
}

TEST_F(BtBenchTest, WholeSecondWaitsLastBetweenOneAndTwoSeconds)
{
    for (const int ms : {0, 1, 500, 999}) {
        SimHost fresh;
        fresh.clock.setLocalDateTime(QDateTime(QDate(2026, 12, 10), QTime(9, 0, 0, ms)));
        auto t = fresh.host.newPort();
        const qint64 start = fresh.nowMs();
        const int yieldsBefore = fresh.yields;
        BluetoothTools(fresh.host, fresh.port(), *t).WaitSeconds(2, true);
        const qint64 took = fresh.nowMs() - start;
        EXPECT_GE(took, 1000) << ms;
        EXPECT_LE(took, 2000) << ms;
        EXPECT_GT(fresh.yields, yieldsBefore) << ms;
    }
}

// A sender on the wrong channel or at the wrong rate must go unanswered, or such a fault would pass
// every test above.
TEST(BtRadio, StationModuleAnswersOnlyOnTheBrownChannelAtItsRate)
{
    struct Case {
        const char* what;
        Channel channel;
        LineSettings line;
        bool answered;
    } cases[] = {
        {"Brown at 115,200", Channel::Brown, {115200, 'n', 8, 1}, true},
        {"Blue at 115,200", Channel::Blue, {115200, 'n', 8, 1}, false},
        {"Brown at 38,400", Channel::Brown, {38400, 'n', 8, 1}, false},
        {"Brown with parity", Channel::Brown, {115200, 'e', 8, 1}, false},
    };
    for (const Case& c : cases) {
        sim::Site site;
        sim::PlugInBtBench(site, {});
        EXPECT_EQ(site.receive(c.channel, "$$$", c.line).has_value(), c.answered) << c.what;
    }
}

TEST_F(BtBenchTest, ConfigureWaitsForTheModuleToRestartAndSendsTheNameOnALineOfItsOwn)
{
    // When each write reached the module: after the factory reset and after the restart the module
    // needs its time before the port is opened again at the new rate.
    std::vector<std::pair<QByteArray, qint64>> at;
    h.site.script = [this, &at](Channel, const QByteArray& f) -> std::optional<QByteArray> {
        at.emplace_back(f, h.clock.nowUs());
        return std::nullopt;
    };
    ASSERT_TRUE(configure("Tarvik-000000100").pass);
    auto gapAfter = [&](const QByteArray& frame) -> qint64 {
        for (size_t i = 0; i + 1 < at.size(); ++i)
            if (at[i].first == frame)
                return (at[i + 1].second - at[i].second) / 1000;
        return -1;
    };
    EXPECT_GE(gapAfter("\rSF,1\r"), 750 + 500 + 100) << "750 ms after the reset, then the reopen";
    EXPECT_GE(gapAfter("R,1\r"), 1000 + 100) << "a second after the restart";
    std::vector<QByteArray> sent;
    for (const auto& [f, us] : at)
        sent.push_back(f);
    EXPECT_NE(std::find(sent.begin(), sent.end(), QByteArray("\rSN,Tarvik-000000100\r")), sent.end())
        << "the carriage return ends whatever the prompt left on the line";
}

#include "devices/BtCommand.h"
#include "documents/PrivateProfile.h"
#include "sim/BluetoothRadio.h"
#include "support/RunCli.h"
#include "support/SimHost.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <QDir>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::ws;

TEST(BtCli, UsageErrorsAreRefusedBeforeAnyPortIsOpened)
{
    struct Case {
        QStringList args;
        const char* why; // a part of the line, or nullptr when the command is good
    } cases[] = {
        {{"configure", "--port", "COM3"}, nullptr},
        {{"configure", "--port", "COM3", "--name", "Tarvik-Bench7"}, nullptr},
        {{"configure", "--port", "COM3", "--name", "Bench7"}, "starts with \"Tarvik\""},
        {{"configure", "--port", "COM3", "--name", "Tarvik\rSF,1"}, "printable ASCII"},
        {{"configure", "--name", "Tarvik-1"}, "--port"},
        {{"test", "--port", "COM3", "--tester", "COM4", "--address", "0012f3a4b5c6"}, nullptr},
        {{"test", "--port", "COM3", "--tester", "COM4", "--address", ""}, "Bluetooth BTA is blank."},
        {{"test", "--port", "COM3", "--tester", "COM4"}, "--address"},
        {{"test", "--port", "COM3", "--tester", "COM4", "--address", "0012F3A4B5"}, "12 hex digits"},
        {{"test", "--port", "COM3", "--address", "0012F3A4B5C6"}, "--tester"},
        {{"test", "--port", "COM3", "--tester", "com3", "--address", "0012F3A4B5C6"}, "port of its own"},
        {{"test", "--port", "COM3", "--tester", "COM4", "--name", "Tarvik"}, "unexpected '--name'"},
        {{"pair"}, "unknown command"},
    };
    for (const Case& c : cases) {
        QString why;
        const auto inv = ParseBtCommand(c.args, why);
        EXPECT_EQ(inv.has_value(), c.why == nullptr) << c.args.join(' ').toStdString();
        if (c.why) {
            EXPECT_TRUE(why.contains(QString::fromLatin1(c.why))) << why.toStdString();
        }
    }
}

TEST(BtCli, ABadNameExitsWithTwoFromTheProgram)
{
    QTemporaryDir home;
    const test::CliRun r =
        test::RunCli({"bt", "configure", "--port", "/dev/null/none", "--name", "Bench"}, {home.path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "tqdt-cli: bt: a module name starts with \"Tarvik\"\n");
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(BtCli, TwoNumbersMappedToOneDeviceAreOnePortAndExitWithTwo)
{
    QTemporaryDir home;
    QDir().mkpath(home.filePath("Tarvik Quorvel"));
    const QString ini = home.filePath("Tarvik Quorvel/DiagnosticTool.ini");
    ASSERT_TRUE(WritePrivateProfileStringA("Ports", "COM3", "/dev/ttyS7", ini));
    ASSERT_TRUE(WritePrivateProfileStringA("Ports", "COM4", "/dev/ttyS7", ini));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TQDT_HOME", home.path());
    p.setProcessEnvironment(env);
    p.start(TQDT_CLI_BIN, {"bt", "test", "--port", "COM3", "--tester", "COM4", "--address", "0012F3A4B5C6"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_EQ(p.readAllStandardError(), "tqdt-cli: bt: the tester needs a port of its own\n");
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
}

namespace {

// The command run on the simulated bench: the module behind the main port, the adapter on COM2.
struct BtCliBench {
    BtCliBench()
    {
        bench = sim::PlugInBtBench(h.site, [] { return 2; });
        h.clock.setLocalDateTime(QDateTime(QDate(2020, 1, 1), QTime(0, 1, 40)));
        h.openPort();
        tester = h.host.newPort();
    }
    int run(const QStringList& args)
    {
        out.clear();
        err.clear();
        QString why;
        const auto inv = ParseBtCommand(args, why);
        EXPECT_TRUE(inv) << why.toStdString();
        QTextStream o(&out), e(&err);
        CliIo io(o, e);
        return inv ? RunBtInvocation(h.host, *tester, 2, *inv, io) : -1;
    }
    test::SimHost h;
    sim::BtBench bench;
    std::unique_ptr<SerialPort> tester;
    QString out, err;
};

} // namespace

TEST(BtCli, ConfigurePrintsWhatTheModuleReadsBackAndTestPasses)
{
    BtCliBench b;
    EXPECT_EQ(b.run({"configure", "--port", "COM1"}), 0) << b.err.toStdString();
    EXPECT_EQ(b.out, "BTA=0012F3A4B5C6\nName=Tarvik-000000100\n");
    EXPECT_TRUE(b.err.isEmpty());

    EXPECT_EQ(b.run({"test", "--port", "COM1", "--tester", "COM2", "--address", "0012f3a4b5c6"}), 0)
        << b.err.toStdString();
    EXPECT_EQ(b.out, "Pass\n");
}

TEST(BtCli, FailuresExitWithOneAndNameTheStepOrDirection)
{
    struct Case {
        const char* what;
        std::function<void(BtCliBench&)> fault;
        QStringList args;
        const char* out;
        const char* err;
    } cases[] = {
        {"silent at the UART mode",
         [](BtCliBench& b) { b.bench.module->radio.goSilentAt("SS,C0"); },
         {"configure", "--port", "COM1", "--name", "Tarvik-7"},
         "",
         "tqdt-cli: BT Config: Bluetooth Config Failed at \"Get Config\"\n"},
        {"another name read back",
         [](BtCliBench& b) { b.bench.module->radio.readBackAs("Tarvik-8"); },
         {"configure", "--port", "COM1", "--name", "Tarvik-7"},
         "BTA=0012F3A4B5C6\nName=Tarvik-8\n",
         "tqdt-cli: BT Config: Bluetooth Config Failed: the module reads back \"Tarvik-8\", not "
         "\"Tarvik-7\"\n"},
        {"adapter never connects",
         [](BtCliBench& b) {
             b.run({"configure", "--port", "COM1"});
             b.bench.adapter->radio.setNeverConnects(true);
         },
         {"test", "--port", "COM1", "--tester", "COM2", "--address", "0012F3A4B5C6"},
         "",
         "tqdt-cli: BT Test: PC to G3 Fail\n"},
    };
    for (const Case& c : cases) {
        BtCliBench b;
        c.fault(b);
        EXPECT_EQ(b.run(c.args), 1) << c.what;
        EXPECT_EQ(b.out, QString::fromLatin1(c.out)) << c.what;
        EXPECT_EQ(b.err, QString::fromLatin1(c.err)) << c.what;
    }
}

// The tester's port and the main port are compared as devices: two numbers mapped to one adapter, or
// a link to it, are refused as one number is, before either is opened.
TEST(BtCli, ATesterOnTheMainPortsDeviceIsRefused)
{
    QTemporaryDir home;
    const QString device = home.filePath("adapter");
    ASSERT_TRUE(QFile(device).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(device, home.filePath("by-id")));
    ASSERT_TRUE(QDir(home.path()).mkdir("Tarvik Quorvel"));
    QFile ini(home.filePath("Tarvik Quorvel/DiagnosticTool.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Ports]\r\nCOM3=" + device.toUtf8() + "\r\nCOM4=" + device.toUtf8() +
              "\r\nCOM5=" + home.filePath("by-id").toUtf8() + "\r\n");
    ini.close();
    for (const char* tester : {"COM4", "COM5"}) {
        const test::CliRun r = test::RunCli(
            {"bt", "test", "--port", "COM3", "--tester", tester, "--address", "0012F3A4B5C6"}, {home.path()});
        EXPECT_EQ(r.exitCode, 2) << tester;
        EXPECT_EQ(r.err, "tqdt-cli: bt: the tester needs a port of its own\n") << tester;
    }
}

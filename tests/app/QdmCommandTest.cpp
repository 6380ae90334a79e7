#include "dmx/QdmCommand.h"
#include "dmx/DmxMap.h"
#include "sim/DmxGateway.h"
#include "sim/PtyServer.h"
#include "sim/Site.h"
#include "support/CliLines.h"
#include "support/Files.h"
#include "support/RunCli.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt;

namespace {

struct QdmCli : ::testing::Test {
    using Run = test::CliRun;
    // The command in this process, for the verbs that need no port.
    Run local(const QStringList& args)
    {
        const test::CliText r = test::RunCliHere(dmx::QdmCommands(), args);
        return {r.status, r.out.toUtf8(), r.err.toUtf8()};
    }
    // tqdt-cli against the gateway served on a pseudo-terminal, on the Brown channel, where the gateway
    // hangs.
    Run withGateway(const QStringList& args)
    {
        sim::PtyServer server(site);
        server.setChannel(Channel::Brown);
        if (!PseudoTerminal::supported())
            return {-2, {}, "no pseudo-terminals here"};
        test::CliOptions options;
        options.home = home.path();
        options.timeoutMs = 60000;
        return test::RunCliServed(server, args, options);
    }
    QString path(const char* name) const { return home.filePath(name); }
    dmx::DmxMap stage() const
    {
        dmx::DmxMap map;
        map.SetDeviceAddress(1);
        map.channel(0) = 0;
        map.channel(1) = 63;
        map.channel(511) = 2;
        return map;
    }

    QTemporaryDir home;
    sim::Site site;
    std::shared_ptr<sim::DmxGateway> gateway = [this] {
        auto g = std::make_shared<sim::DmxGateway>();
        site.setBench(g);
        return g;
    }();
};

TEST_F(QdmCli, ChecksumIsTheTextTheGatewayReports)
{
    ASSERT_TRUE(dmx::QdmWrite(path("STAGE.QDM"), stage()).ok());
    const Run r = local({"checksum", path("STAGE.QDM")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, dmx::DmxChecksum(stage()) + "\n");
}

TEST_F(QdmCli, ExportWritesThePatchBesideTheMapOrWhereAsked)
{
    ASSERT_TRUE(dmx::QdmWrite(path("STAGE.QDM"), stage()).ok());
    EXPECT_EQ(local({"export-csv", path("STAGE.QDM")}).exitCode, 0);
    const QByteArray csv = test::readAll(path("STAGE.CSV"));
    EXPECT_TRUE(csv.startsWith("Channel,Point\r\n1,D:02.1\r\n2,\r\n3,\r\n")) << csv.left(60).constData();
    EXPECT_TRUE(csv.endsWith("512,D:02.3\r\n"));
    EXPECT_EQ(local({"export-csv", path("STAGE.QDM"), "-o", path("patch.csv")}).exitCode, 0);
    EXPECT_EQ(test::readAll(path("patch.csv")), csv);
}

TEST_F(QdmCli, UsageAndBadFilesExitWithTwo)
{
    test::writeFile(path("BAD.QDM"), QByteArray(1028, '\x40')); // every channel 0x4040
    const QStringList cases[] = {
        {},
        {"checksum"},
        {"checksum", path("A.QDM"), path("B.QDM")},
        {"download", path("BAD.QDM")}, // no port
        {"firmware", "--port", "COM0"},
        {"firmware", path("BAD.QDM"), "--port", "COM1"},
        {"export-csv", path("BAD.QDM"), "--port", "COM1"},
        {"upload", path("BAD.QDM"), "--port", "COM1"},
        {"checksum", path("MISSING.QDM")},
        {"checksum", path("BAD.QDM")},
        {"export-csv", path("BAD.QDM")},
    };
    for (const QStringList& args : cases) {
        const Run r = local(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("tqdt-cli: ")) << r.err.constData();
    }
    EXPECT_FALSE(QFile::exists(path("BAD.CSV")));
}

TEST_F(QdmCli, DownloadAndFirmwareTalkToTheGateway)
{
    ASSERT_TRUE(dmx::QdmWrite(path("STAGE.QDM"), stage()).ok());
    const Run down = withGateway({"qdm", "download", path("STAGE.QDM")});
    if (down.exitCode == -2)
        GTEST_SKIP() << "no pseudo-terminals here";
    EXPECT_EQ(down.exitCode, 0) << down.err.constData();
    // One verdict line, for a script to read.
    EXPECT_EQ(test::CliLines(down.err), QList<QByteArray>{"tqdt-cli: Downlaod: Download Complete"});
    EXPECT_EQ(gateway->channels()[1], 63);
    EXPECT_EQ(gateway->channels()[511], 2);

    gateway->setFirmware("DMX-GW 3.10 092319");
    const Run fw = withGateway({"qdm", "firmware"});
    EXPECT_EQ(fw.exitCode, 0) << fw.err.constData();
    EXPECT_EQ(fw.out, "DMX-GW 3.10 092319\n");
    EXPECT_TRUE(test::CliLines(fw.err).isEmpty()) << fw.err.constData();

    gateway->corruptChannel(100);
    const Run bad = withGateway({"qdm", "download", path("STAGE.QDM")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(
        test::CliLines(bad.err),
        QList<QByteArray>{"tqdt-cli: Download Failure: Download Failed. Checksum Fault. Device Will NOT "
                          "Function Properly."});
}

} // namespace

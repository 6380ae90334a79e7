#include "gateway/MgwCommand.h"
#include "gateway/GatewayImage.h"
#include "sim/MappedGateway.h"
#include "sim/PtyServer.h"
#include "sim/Site.h"
#include "support/Files.h"
#include "support/Neighbours.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt;
using tqdt::test::readAll;

namespace {

struct CliRun {
    int status;
    QString out, err;
};

CliRun run(const QStringList& args)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = gw::RunMgwCommand(args, o, e, false);
    o.flush();
    e.flush();
    return {status, out, err};
}

struct MgwCommand : ::testing::Test {
    QString path(const char* name) const { return dir.filePath(name); }
    QString writeMap(const char* name, const gw::GatewayImage& image)
    {
        EXPECT_TRUE(gw::MgwWrite(path(name), image).ok());
        return path(name);
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(MgwCommand, ChecksumPrintsBothBanksAsTheGatewayReportsThem)
{
    auto image = std::make_unique<gw::GatewayImage>();
    const CliRun empty = run({"checksum", writeMap("EMPTY.MGW", *image)});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "38E159AA\n38E159AA\n");

    image->WriteImageByte(1, 0, 1);
    const CliRun one = run({"checksum", writeMap("ONE.MGW", *image)});
    EXPECT_EQ(one.out.split('\n').value(0), "38E159AA");
    EXPECT_NE(one.out.split('\n').value(1), "38E159AA");
}

TEST_F(MgwCommand, ExportListsSevenHundredFiftyPointsBesideTheFileUnlessTold)
{
    auto image = std::make_unique<gw::GatewayImage>();
    image->SetPointType(749, 5);
    writeMap("SITE.MGW", *image);
    // Given relative to the working folder, named absolute in the listing.
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const CliRun r = run({"export-csv", "SITE.MGW"});
    QDir::setCurrent(before);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    QList<QByteArray> lines = readAll(path("SITE.CSV")).split('\n');
    ASSERT_EQ(lines.size(), 752);
    EXPECT_EQ(lines[0],
              "Mapped Gateway File: " + QDir::toNativeSeparators(path("SITE.MGW")).toLocal8Bit() + "\r");
    EXPECT_EQ(lines[750], "Point,750,Group On/Off,Group,1\r");

    EXPECT_EQ(run({"export-csv", path("SITE.MGW"), "--points", "350", "-o", path("OUT.TXT")}).status, 0);
    EXPECT_EQ(readAll(path("OUT.TXT")).split('\n').size(), 352);
}

TEST_F(MgwCommand, BadUsageAndBadFilesAreRefusedWithOneLine)
{
    writeMap("OK.MGW", *std::make_unique<gw::GatewayImage>());
    QFile shortFile(path("SHORT.MGW"));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(12, '\0'));
    shortFile.close();
    struct Case {
        QStringList args;
        const char* says;
    } cases[] = {
        {{}, "usage"},
        {{"export-csv"}, "usage"},
        {{"export-csv", path("OK.MGW"), "--points", "500"}, "usage"},
        {{"export-csv", path("OK.MGW"), "--port", "COM1"}, "usage"},
        {{"checksum", path("OK.MGW"), "--points", "350"}, "usage"},
        {{"download", path("OK.MGW")}, "usage"},
        {{"upload", path("OK.MGW"), "--port", "COM1", "-o", "X"}, "usage"},
        {{"flash", path("OK.MGW")}, "usage"},
        {{"checksum", path("SHORT.MGW")}, "holds 12 bytes"},
        {{"export-csv", path("MISSING.MGW")}, "MISSING.MGW: The file cannot be opened"},
    };
    for (const Case& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("SHORT.CSV")));
}

namespace {

// tqdt-cli on one end of a pseudo-terminal, the simulated gateway served on the other.
struct MgwTransfer : ::testing::Test {
    void SetUp() override
    {
        site.addDevice(gateway);
        if (!PseudoTerminal::supported() || !server.start())
            GTEST_SKIP() << "no pseudo-terminals here";
        server.stop();
    }
    struct Run {
        int exitCode;
        QByteArray err;
    };
    Run cli(const QStringList& args)
    {
        EXPECT_TRUE(server.start());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TQDT_HOME", home.path());
        p.setProcessEnvironment(env);
        p.start(TQDT_CLI_BIN, args + QStringList{"--port", server.portName()});
        const bool finished = p.waitForFinished(120000);
        server.stop();
        if (!finished)
            return {-1, "did not finish"};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
    }
    QString path(const char* name) const { return home.filePath(name); }

    QTemporaryDir home;
    sim::Site site;
    std::shared_ptr<sim::MappedGateway> gateway = std::make_shared<sim::MappedGateway>();
    sim::PtyServer server{site};
};

} // namespace

TEST_F(MgwTransfer, DownloadThenUploadGivesTheSameFileAndAFailedUploadWritesNone)
{
    auto image = std::make_unique<gw::GatewayImage>();
    image->SetPointType(0, 1);
    image->SetPointNode(0, 3);
    image->SetMultiRelay(40, 7, 9, true);
    ASSERT_TRUE(gw::MgwWrite(path("PLANT.MGW"), *image).ok());
    const Run down = cli({"mgw", "download", path("PLANT.MGW")});
    EXPECT_EQ(down.exitCode, 0) << down.err.constData();
    EXPECT_TRUE(down.err.contains("Download Complete")) << down.err.constData();
    EXPECT_EQ(gateway->cell(0, 1), 3);

    const Run up = cli({"mgw", "upload", path("BACK.MGW")});
    EXPECT_EQ(up.exitCode, 0) << up.err.constData();
    QFile back(path("BACK.MGW"));
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll(), gw::MgwBytes(*image));

    gateway->skewChecksum(1, false);
    const Run bad = cli({"mgw", "upload", path("NEW.MGW")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains("Upload Error: 64")) << bad.err.constData();
    EXPECT_FALSE(QFile::exists(path("NEW.MGW")));
}

// An upload and a listing save beside the technician's own copies of the map and of the listing,
// and touch none of them.
TEST_F(MgwTransfer, UploadAndExportLeaveTheTechniciansCopiesAlone)
{
    auto image = std::make_unique<gw::GatewayImage>();
    ASSERT_TRUE(gw::MgwWrite(path("SITE.MGW"), *image).ok());
    const test::Neighbours maps(path("SITE.MGW"));
    const Run up = cli({"mgw", "upload", path("SITE.MGW")});
    EXPECT_EQ(up.exitCode, 0) << up.err.constData();
    maps.expectIntact("mgw upload");

    const test::Neighbours listings(path("SITE.CSV"));
    EXPECT_EQ(run({"export-csv", path("SITE.MGW")}).status, 0);
    EXPECT_TRUE(QFile::exists(path("SITE.CSV")));
    listings.expectIntact("mgw export-csv");
}

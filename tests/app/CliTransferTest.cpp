#include "condlogic/CdfFile.h"
#include "condlogic/LogicCompiler.h"
#include "condlogic/MpdFile.h"
#include "condlogic/ProgramImage.h"
#include "sim/CondModule.h"
#include "sim/PtyServer.h"
#include "sim/Site.h"
#include "support/CliLines.h"
#include "support/DeviceServer.h"
#include "support/Files.h"
#include "support/RunCli.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt;
using tqdt::test::readAll;

namespace {

// tqdt-cli on one end of a pseudo-terminal, the simulated module served on the other.
struct CliTransfer : ::testing::Test {
    void SetUp() override
    {
        site.setBench(module);
        if (!PseudoTerminal::supported() || !server.start())
            GTEST_SKIP() << "no pseudo-terminals here";
        server.stop();
    }

    using Run = test::CliRun;
    // Runs the command with the module served for exactly as long as the program runs.
    Run cli(const QStringList& args) { return cli(args, {home.path()}); }
    Run cli(const QStringList& args, const test::CliOptions& options)
    {
        return test::RunCliServed(server, args, options, portArg);
    }

    // The program's own lines; the port's notes about the lines a pseudo-terminal refuses are left out.
    QString path(const char* name) const { return home.filePath(name); }

    QTemporaryDir home;
    QString portArg; // the port tqdt-cli is given; the pseudo-terminal itself when empty
    sim::Site site;
    std::shared_ptr<sim::CondModule> module = std::make_shared<sim::CondModule>(0);
    sim::PtyServer server{site};
};

std::unique_ptr<cnd::CndDocument> plantDocument()
{
    auto doc = std::make_unique<cnd::CndDocument>();
    doc->factoryDefault();
    doc->setCode(4, 2, cnd::SegClosed);
    doc->setInput(4, 2, 9);
    const QByteArray notes = "Bench 2, cabinet L4";
    std::copy(notes.begin(), notes.end(), doc->NoteBytes.begin());
    return doc;
}

} // namespace

TEST_F(CliTransfer, DownloadProgramsTheModuleAndUploadWritesTheSameDocument)
{
    auto doc = plantDocument();
    ASSERT_TRUE(cnd::CdfWrite(path("PLANT.CDF"), *doc).ok());
    const Run down = cli({"cdf", "download", path("PLANT.CDF")});
    EXPECT_EQ(down.exitCode, 0) << down.err.constData();
    EXPECT_TRUE(down.err.contains("Download Complete.")) << down.err.constData();
    cnd::CompileFast(*doc, doc->ControlArray);
    EXPECT_EQ(module->memory(), cnd::BuildProgramImage(*doc));

    const Run up = cli({"cdf", "upload", path("BACK.CDF")});
    EXPECT_EQ(up.exitCode, 0) << up.err.constData();
    EXPECT_EQ(readAll(path("BACK.CDF")), cnd::CdfBytes(*doc));
}

TEST_F(CliTransfer, SilentModuleFailsWithOneLineAndNoFile)
{
    module->setSilent(true);
    ASSERT_TRUE(cnd::CdfWrite(path("PLANT.CDF"), *plantDocument()).ok());
    for (const char* verb : {"download", "upload"}) {
        const QString file = path(verb == QByteArray("upload") ? "NEW.CDF" : "PLANT.CDF");
        const Run r = cli({"cdf", verb, file});
        EXPECT_NE(r.exitCode, 0) << verb;
        EXPECT_EQ(test::CliLines(r.err), QList<QByteArray>{"tqdt-cli: Error: Unable to connect to device."})
            << verb;
    }
    EXPECT_FALSE(QFile::exists(path("NEW.CDF")));
}

TEST_F(CliTransfer, UploadRefusesDiagramValuesAFileCannotHold)
{
    module->memory()[cnd::kSegInputAddress + 3 * 256 + 17] = char(200);
    const Run r = cli({"cdf", "upload", path("FOREIGN.CDF")});
    EXPECT_NE(r.exitCode, 0);
    const auto lines = test::CliLines(r.err);
    // One verdict: no "Upload Complete" before the refusal.
    ASSERT_EQ(lines.size(), 1) << r.err.constData();
    EXPECT_TRUE(lines[0].contains("input 200 for output 4, cell 17")) << r.err.constData();
    EXPECT_FALSE(QFile::exists(path("FOREIGN.CDF")));
}

TEST_F(CliTransfer, EachRunEndsWithOneVerdictLine)
{
    ASSERT_TRUE(cnd::CdfWrite(path("OLD.CDF"), *plantDocument()).ok());
    const QByteArray old = readAll(path("OLD.CDF"));

    const Run up = cli({"cdf", "upload", path("OLD.CDF")});
    EXPECT_EQ(up.exitCode, 0) << up.err.constData();
    EXPECT_EQ(test::CliLines(up.err),
              QList<QByteArray>{"tqdt-cli: Upload: Upload Complete. Power Cycle Device."});
    // A pseudo-terminal has neither DTR nor RTS: the port says so once, not once per line.
    EXPECT_LE(up.err.count("refused"), 1) << up.err.constData();

    ASSERT_TRUE(QFile::remove(path("OLD.CDF")));
    ASSERT_TRUE(cnd::CdfWrite(path("OLD.CDF"), *plantDocument()).ok());
    module->dropFrame("[8");
    const Run failed = cli({"cdf", "upload", path("OLD.CDF")});
    EXPECT_EQ(failed.exitCode, 1);
    const QByteArray expected =
        "tqdt-cli: Upload Failure: Upload Failed. " + path("OLD.CDF").toUtf8() + " was not written.";
    EXPECT_EQ(test::CliLines(failed.err), QList<QByteArray>{expected}) << failed.err.constData();
    EXPECT_EQ(readAll(path("OLD.CDF")), old);
}

TEST_F(CliTransfer, ProfileTableDownloadsAndBadFilesAreRefusedBeforeThePortOpens)
{
    cnd::ProfileTable profiles{};
    profiles[0] = 0x01;
    profiles[1] = 0x81;
    ASSERT_TRUE(cnd::MpdWrite(path("HALL.MPD"), profiles).ok());
    const Run r = cli({"mpd", "download", path("HALL.MPD")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(module->memory(), cnd::ProfileProgramImage(profiles));

    QFile shortFile(path("SHORT.MPD"));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(100, '\0'));
    shortFile.close();
    site.written.clear();
    const Run bad = cli({"mpd", "download", path("SHORT.MPD")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains("100 bytes")) << bad.err.constData();
    EXPECT_TRUE(site.written.empty());
}

namespace {

// The same module behind ser2net: tqdt-cli talks RFC 2217 to a server on a loopback port, which
// serves the pseudo-terminal. A pseudo-terminal has no DTR, so ser2net cannot acknowledge it.
struct CliOverSer2net : CliTransfer {
    void SetUp() override
    {
        CliTransfer::SetUp();
        if (IsSkipped())
            return;
        if (const QString why = test::DeviceServer::unavailable(test::DeviceServer::Kind::Ser2net);
            !why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        // ser2net's default holds each reply back by a few character times; over thousands of
        // programming frames that is most of a minute, so the site turns it off, as the README says.
        ser2net.setSer2netOptions({QStringLiteral("chardelay: false")});
        QString why;
        ASSERT_TRUE(ser2net.start(test::DeviceServer::Kind::Ser2net, server.portName(), &why))
            << why.toStdString();
        portArg = ser2net.url(QStringLiteral("ign_set_control"));
    }
    test::DeviceServer ser2net;
};

} // namespace

TEST_F(CliOverSer2net, DownloadAndUploadSwitchTheFarSideTo115200)
{
    auto doc = plantDocument();
    ASSERT_TRUE(cnd::CdfWrite(path("PLANT.CDF"), *doc).ok());
    const Run down = cli({"cdf", "download", path("PLANT.CDF")});
    EXPECT_EQ(down.exitCode, 0) << down.err.constData();
    cnd::CompileFast(*doc, doc->ControlArray);
    EXPECT_EQ(module->memory(), cnd::BuildProgramImage(*doc));
    // Read from the pseudo-terminal's own line settings as the frames arrived.
    EXPECT_EQ(server.baudsSeen(), (std::vector<int>{38400, 115200}));

    const Run up = cli({"cdf", "upload", path("BACK.CDF")});
    EXPECT_EQ(up.exitCode, 0) << up.err.constData();
    EXPECT_EQ(readAll(path("BACK.CDF")), cnd::CdfBytes(*doc));
}

TEST_F(CliOverSer2net, WithoutTheQuirkOptionThePortIsRefusedWithTheReason)
{
    portArg = ser2net.url(QStringLiteral("timeout=0.5"));
    ASSERT_TRUE(cnd::CdfWrite(path("PLANT.CDF"), *plantDocument()).ok());
    const Run r = cli({"cdf", "download", path("PLANT.CDF")});
    EXPECT_EQ(r.exitCode, 1);
    const auto lines = test::CliLines(r.err);
    ASSERT_EQ(lines.size(), 1) << r.err.constData();
    EXPECT_TRUE(lines[0].startsWith("tqdt-cli: Port Error: Unable To Open Port rfc2217://"))
        << r.err.constData();
    EXPECT_TRUE(lines[0].contains("?ign_set_control")) << r.err.constData();
    EXPECT_TRUE(site.written.empty());
}

TEST_F(CliOverSer2net, ServerKilledMidDownloadFailsWithinTheFrameLimit)
{
    auto doc = plantDocument();
    ASSERT_TRUE(cnd::CdfWrite(path("PLANT.CDF"), *doc).ok());
    // Killed once the data frames flow at the programming rate.
    QElapsedTimer sinceKill;
    test::CliOptions options;
    options.home = home.path();
    options.timeoutMs = 60000;
    options.whileRunning = [&] {
        if (server.baudsSeen().size() < 2)
            return false;
        ser2net.kill();
        sinceKill.start();
        return true;
    };
    const Run r = cli({"cdf", "download", path("PLANT.CDF")}, options);
    ASSERT_TRUE(sinceKill.isValid()) << "the download ended before it could be cut";
    // One frame's limit is 3 s; a dead server must not cost one limit per remaining frame.
    EXPECT_LT(sinceKill.elapsed(), 3000 + 1000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(test::CliLines(r.err), QList<QByteArray>{"tqdt-cli: Port Error: " + portArg.toUtf8() +
                                                       " went away during the transfer"})
        << r.err.constData();
    cnd::CompileFast(*doc, doc->ControlArray);
    EXPECT_NE(module->memory(), cnd::BuildProgramImage(*doc));
}

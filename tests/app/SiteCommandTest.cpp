#include "network/SurveyRecord.h"
#include "sim/BenchStations.h"
#include "sim/CondModule.h"
#include "sim/MappedGateway.h"
#include "sim/PtyServer.h"
#include "sim/Site.h"
#include "support/CliLines.h"
#include "support/Files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

using namespace tqdt;

namespace {

// tqdt-cli site ... against stations, a module and the mapped gateway served on a pseudo-terminal
// (strapped to the Blue channel, where they all answer).
struct SiteCli : ::testing::Test {
    struct Run {
        int exitCode;
        QByteArray out, err;
    };

    void SetUp() override
    {
        site.addDevice(g3);
        site.addDevice(std::make_shared<sim::KestrixStation>(0x20, 0xA8, 9));
        site.addDevice(std::make_shared<sim::MappedGateway>());
        site.setBench(std::make_shared<sim::CondModule>(0));
        site.wallStations[0x30] = sim::WallStation{};
    }
    QProcessEnvironment env() const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("TQDT_HOME", home.path());
        return e;
    }
    // Runs tqdt-cli with the site served while it runs; during(p) is called while it runs.
    Run cli(const QStringList& args, const std::function<void(QProcess&)>& during = {})
    {
        if (!server)
            server = std::make_unique<sim::PtyServer>(site);
        if (!server->start())
            return {-2, {}, "no pseudo-terminals here"};
        QProcess p;
        p.setProcessEnvironment(env());
        QStringList all = args;
        for (QString& a : all)
            a.replace("PTY", server->portName());
        p.start(TQDT_CLI_BIN, all);
        p.waitForStarted();
        if (during)
            during(p);
        const bool finished = p.waitForFinished(120000);
        server.reset();
        if (!finished)
            return {-1, {}, "did not finish"};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
                p.readAllStandardError()};
    }
    QString path(const QString& name) const { return home.filePath(name); }
    net::SurveyRecord readRecord(const QString& dir)
    {
        net::SurveyRecord r;
        EXPECT_TRUE(net::ReadSurveyFile(QDir(dir).filePath("survey.json"), r).ok());
        return r;
    }

    QTemporaryDir home;
    sim::Site site;
    std::shared_ptr<sim::G3WallStation> g3 = std::make_shared<sim::G3WallStation>(0x10, 0x1A, 9);
    std::unique_ptr<sim::PtyServer> server;
};

TEST_F(SiteCli, SurveyWritesTheRecordTheListingAndTheReport)
{
    const QString out = path("visit/one"); // made when missing
    const Run r = cli({"site", "survey", "--port", "PTY", "--site-name", "Plant 4", "--technician", "R. Ode",
                       "--paper", "letter", "-o", out});
    if (r.exitCode == -2)
        GTEST_SKIP() << r.err.constData();
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QList<QByteArray> lines = test::CliLines(r.err);
    EXPECT_TRUE(lines.contains("tqdt-cli: site survey: Panels")) << r.err.constData();
    EXPECT_TRUE(lines.contains("tqdt-cli: site survey: Wall stations")) << r.err.constData();

    const net::SurveyRecord rec = readRecord(out);
    EXPECT_TRUE(rec.complete);
    EXPECT_EQ(rec.site, "Plant 4");
    EXPECT_EQ(rec.technician, "R. Ode");
    EXPECT_EQ(rec.tool, "tqdt-cli " TQDT_VERSION);
    EXPECT_TRUE(rec.port.contains("/dev/pts/")) << rec.port.toStdString();
    QStringList found;
    for (const net::SurveyDevice& d : rec.devices)
        found << QString("%1 %2 %3 %4")
                     .arg(d.kind, QString::fromLatin1(Hex2(qint16(d.address))), d.family.value_or("-"),
                          d.type.trimmed());
    EXPECT_EQ(found, (QStringList{"gateway 00 - ", "module 00 - ", "station 10 g3 3 Scene Rev: 09",
                                  "station 20 kestrix 6 Button Rev: 09", "station 30 - "}))
        << found.join('|').toStdString();
    const QByteArray json = test::readAll(QDir(out).filePath("survey.json"));
    EXPECT_TRUE(json.contains("\"format\": 1")) << json.constData();

    const QByteArray csv = test::readAll(QDir(out).filePath("survey.csv"));
    EXPECT_TRUE(csv.startsWith("Channel,Address,Kind,Family,Type,Revision,Firmware,Read At\r\n"));
    EXPECT_EQ(csv.count("\r\n"), 6);
    const QByteArray pdf = test::readAll(QDir(out).filePath("survey.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF")) << pdf.left(20).constData();
    // Letter is 612 points wide.
    EXPECT_TRUE(pdf.contains("612")) << "letter paper";
}

TEST_F(SiteCli, DiffPrintsOneLinePerChangeAndExitsAsDiffDoes)
{
    net::SurveyRecord before;
    net::SurveyDevice station;
    station.address = 0x10;
    station.kind = "station";
    station.family = "g3";
    station.typeByte = 0x1A;
    station.revision = 9;
    station.type = " 3 Scene Rev: 09";
    net::SurveyDevice panel;
    panel.channel = Channel::Brown;
    panel.address = 5;
    panel.kind = "panel";
    panel.relays = std::array<bool, 64>{};
    before.devices = {station, panel};
    net::SurveyRecord after = before;
    after.devices[0].typeByte = 0x19;
    after.devices[0].type = " 2 Scene Rev: 09";
    after.devices.pop_back();
    test::writeFile(path("before.json"), net::SurveyJson(before));
    test::writeFile(path("after.json"), net::SurveyJson(after));

    const Run changed = cli({"site", "diff", path("before.json"), path("after.json")});
    if (changed.exitCode == -2)
        GTEST_SKIP() << changed.err.constData();
    EXPECT_EQ(changed.exitCode, 1) << changed.err.constData();
    EXPECT_EQ(changed.out, "Brown 05: gone panel\nBlue 10: type 3 Scene Rev: 09 -> 2 Scene Rev: 09\n");
    const Run same = cli({"site", "diff", path("before.json"), path("before.json")});
    EXPECT_EQ(same.exitCode, 0);
    EXPECT_EQ(same.out, "");
}

TEST_F(SiteCli, SigtermStopsAtTheNextRequestAndWritesNothing)
{
    std::atomic<int> frames{0};
    site.script = [&](Channel, const QByteArray&) -> std::optional<QByteArray> {
        ++frames;
        return std::nullopt;
    };
    const Run r = cli({"site", "survey", "--port", "PTY", "-o", path("stopped")}, [&](QProcess& p) {
        QElapsedTimer waited;
        waited.start();
        while (frames < 20 && waited.elapsed() < 60000 && p.state() == QProcess::Running)
            p.waitForFinished(2);
        p.terminate();
    });
    if (r.exitCode == -2)
        GTEST_SKIP() << r.err.constData();
    EXPECT_EQ(r.exitCode, 1) << r.err.constData();
    EXPECT_TRUE(r.err.contains("Survey stopped\n")) << r.err.constData();
    EXPECT_FALSE(QFile::exists(path("stopped/survey.json")));
}

TEST_F(SiteCli, UsageAndUnreadableFiles)
{
    test::writeFile(path("old.json"), "{\"format\": 2, \"devices\": []}");
    test::writeFile(path("broken.json"), "{");
    struct Case {
        QStringList args;
        int code;
        const char* line; // the line on stderr, or a part of it
    };
    const Case cases[] = {
        {{"site"}, 2, "tqdt-cli: site: survey or diff?"},
        {{"site", "survey", "-o", path("x")}, 2, "tqdt-cli: site survey: --port PORT is needed"},
        {{"site", "survey", "--port", "COM3"}, 2, "tqdt-cli: site survey: -o DIR is needed"},
        {{"site", "survey", "--port", "", "-o", path("x")}, 2, "tqdt-cli: site survey: --port needs a value"},
        {{"site", "survey", "--port", "COM3", "--paper", "a5", "-o", path("x")},
         2,
         "--paper is a4 or letter"},
        {{"site", "survey", "--port", "COM3", "--colour", "-o", path("x")}, 2, "unexpected '--colour'"},
        {{"site", "diff", path("old.json")}, 2, "OLD.json NEW.json are needed"},
        {{"site", "diff", path("old.json"), path("old.json")},
         2,
         "old.json: The survey is of format 2; this program reads format 1."},
        {{"site", "diff", path("broken.json"), path("missing.json")}, 2, "broken.json: The file is not JSON"},
    };
    for (const Case& c : cases) {
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(TQDT_CLI_BIN, c.args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), c.code) << c.args.join(' ').toStdString();
        const QByteArray err = p.readAllStandardError();
        EXPECT_TRUE(err.contains(c.line)) << err.constData();
        EXPECT_EQ(p.readAllStandardOutput(), "");
    }
    EXPECT_FALSE(QFile::exists(path("x")));
}

} // namespace

#include "condlogic/CndCommands.h"
#include "condlogic/MpdFile.h"
#include "support/Files.h"
#include "support/RunCli.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tqdt::cnd;
using tqdt::test::readAll;

namespace {

struct Mpd : ::testing::Test {
    using Run = tqdt::test::CliText;
    Run run(const QStringList& args) { return tqdt::test::RunCliHere(MpdCommands(), args); }
    QString table(const QString& name, const ProfileTable& profiles)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(MpdWrite(path, profiles).ok());
        return path;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(Mpd, ChecksumIsTheDownloadImageChecksum)
{
    // An empty table maps every pattern to profile 1: the image is all zeros.
    const Run r = run({"checksum", table("EMPTY.MPD", {})});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "C2EEE100EABDC38F\n");
    EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(Mpd, ExportCsvIsTheEditorsExportBesideTheFileOrWhereAsked)
{
    ProfileTable profiles{};
    profiles[0] = 0x01;
    profiles[5] = 0xA5;
    const QString file = table("HALL.MPD", profiles);
    ASSERT_EQ(run({"export-csv", file}).status, 0);
    EXPECT_EQ(readAll(dir.filePath("HALL.CSV")), ProfilesCsv(profiles));
    const QString elsewhere = dir.filePath("OUT.TXT");
    ASSERT_EQ(run({"export-csv", file, "-o", elsewhere}).status, 0);
    EXPECT_EQ(readAll(elsewhere), ProfilesCsv(profiles));
}

TEST_F(Mpd, BadFilesAndUsageExitWithStatusTwoAndOneLine)
{
    const QString shortFile = dir.filePath("SHORT.MPD");
    {
        QFile f(shortFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100, '\0'));
    }
    // A "%" in a name must come out as it is, not as a place holder of the message.
    const QString percent = dir.filePath("pct%1%2%3.MPD");
    {
        QFile f(percent);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(7, '\0'));
    }
    struct Case {
        QStringList args;
        QString mentions;
    } cases[] = {
        {{"checksum", shortFile}, "SHORT.MPD: The file holds 100 bytes"},
        {{"checksum", percent}, percent + ": The file holds 7 bytes; an MP device data file holds 128."},
        {{"export-csv", shortFile, "-o"}, "usage"},
        {{"checksum"}, "usage"},
        {{"export-csv", table("OK.MPD", {}), "-o", dir.path()}, "a folder"},
    };
    for (const Case& c : cases) {
        const Run r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.mentions.toStdString();
        EXPECT_TRUE(r.err.contains(c.mentions)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("SHORT.CSV")));
}

TEST_F(Mpd, BuiltProgramDispatchesTheFileCommands)
{
    QProcess cli;
    cli.start(TQDT_CLI_BIN, {"mpd", "checksum", table("EMPTY.MPD", {})});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_EQ(cli.readAllStandardOutput(), "C2EEE100EABDC38F\n");
}

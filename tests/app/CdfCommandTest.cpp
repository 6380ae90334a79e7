#include "condlogic/CdfCommand.h"
#include "condlogic/CdfFile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt::cnd;

namespace {

struct CliRun {
    int status;
    QString out, err;
};

CliRun run(const QStringList& args)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = RunCdfCommand(args, o, e);
    o.flush();
    e.flush();
    return {status, out, err};
}

class CdfCommand : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString factoryFile()
    {
        auto doc = std::make_unique<CndDocument>();
        doc->factoryDefault();
        return write(QStringLiteral("FACTORY.CDF"), CdfBytes(*doc));
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(CdfCommand, ChecksumPrintsDownloadImageThenConfigurationArea)
{
    struct Case {
        QString file;
        const char* want;
    } cases[] = {
        {write(QStringLiteral("EMPTY.CDF"), QByteArray(kCdfSize, '\0')),
         "C2EEE100EABDC38F\nAA1BBA5324EA011D\n"},
        {factoryFile(), "2712A28D262BF736\n"},
    };
    for (const Case& c : cases) {
        const CliRun r = run({QStringLiteral("checksum"), c.file});
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.out.startsWith(QLatin1String(c.want))) << r.out.toStdString();
        EXPECT_EQ(r.out.count(QLatin1Char('\n')), 2);
        EXPECT_TRUE(r.err.isEmpty());
    }
}

TEST_F(CdfCommand, CompileWritesOneBytePerPattern)
{
    const QString bin = dir.filePath(QStringLiteral("OUT.BIN"));
    const CliRun r = run({QStringLiteral("compile"), factoryFile(), QStringLiteral("-o"), bin});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile f(bin);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_EQ(bytes.size(), 65536);
    for (int p = 0; p < 65536; p += 251)
        ASSERT_EQ(quint8(bytes[p]), p & 255) << p;
}

TEST_F(CdfCommand, BadFilesAndUsageExitWithStatusTwoAndOneLine)
{
    QByteArray badInput(kCdfSize, '\0');
    badInput[4096 + 2 * 9] = 20;
    const QString shortFile = write(QStringLiteral("SHORT.CDF"), QByteArray(100, '\0'));
    const QString badFile = write(QStringLiteral("BAD.CDF"), badInput);
    // A named pipe would block a read for ever, and an output that is one would be replaced by a file.
    const QString pipe = dir.filePath(QStringLiteral("PIPE.CDF"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("mkfifo"), {pipe}), 0);
    struct Case {
        QStringList args;
        const char* mentions;
    } cases[] = {
        {{QStringLiteral("checksum"), shortFile}, "SHORT.CDF: The file holds 100 bytes"},
        {{QStringLiteral("checksum"), badFile}, "BAD.CDF: QV Input 2, cell 1 (row 1, column 2) has input 20"},
        {{QStringLiteral("checksum"), dir.filePath(QStringLiteral("NONE.CDF"))}, "cannot be opened"},
        {{QStringLiteral("compile"), badFile, QStringLiteral("-o"), dir.filePath(QStringLiteral("X.BIN"))},
         "has input 20"},
        {{QStringLiteral("checksum"), pipe}, "not a regular file"},
        {{QStringLiteral("compile"), factoryFile(), QStringLiteral("-o"), pipe}, "not a regular file"},
        {{QStringLiteral("compile"), factoryFile(), QStringLiteral("-o"), dir.path()}, "a folder"},
        {{QStringLiteral("compile"), shortFile}, "usage"},
        {{QStringLiteral("frobnicate")}, "usage"},
        {{}, "usage"},
    };
    for (const Case& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.mentions;
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(QLatin1String(c.mentions))) << r.err.toStdString();
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("X.BIN"))));
    EXPECT_FALSE(QFileInfo(pipe).isFile());
}

TEST_F(CdfCommand, BuiltProgramAnswersOnTheCommandLine)
{
    QProcess cli;
    cli.start(QStringLiteral(TQDT_CLI_BIN),
              {QStringLiteral("cdf"), QStringLiteral("checksum"), factoryFile()});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_TRUE(cli.readAllStandardOutput().startsWith("2712A28D262BF736\n"));

    cli.start(QStringLiteral(TQDT_CLI_BIN),
              {QStringLiteral("cdf"), QStringLiteral("checksum"), write(QStringLiteral("TINY.CDF"), "x")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 2);
    EXPECT_TRUE(cli.readAllStandardError().contains("TINY.CDF"));

    cli.start(QStringLiteral(TQDT_CLI_BIN), {QStringLiteral("--help")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_TRUE(cli.readAllStandardOutput().contains("cdf checksum FILE.CDF"));
}

#include "condlogic/CdfFile.h"
#include "condlogic/CndCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt::cnd;

namespace {

using CliRun = tqdt::test::CliText;

CliRun run(const QStringList& args) { return tqdt::test::RunCliHere(CdfCoreCommands(), args); }

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

TEST_F(CdfCommand, ExprPrintsOneLinePerOutput)
{
    auto doc = std::make_unique<CndDocument>();
    doc->factoryDefault();
    doc->setCode(2, 0, SegClosed); // ¬I3
    doc->setInput(7, 0, 15);       // P8
    for (int c = 0; c < 16; ++c)
        doc->setCode(5, c, c == 0 ? int(SegWire) : int(doc->code(5, c))); // always on
    for (int c = 0; c < 16; ++c)
        doc->setCode(6, c, 0); // never
    const CliRun r = run({QStringLiteral("expr"), write(QStringLiteral("E.CDF"), CdfBytes(*doc))});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_EQ(r.out,
              QString::fromUtf8("QV Input 1: I1\nQV Input 2: I2\nQV Input 3: \u00ACI3\nQV Input 4: I4\n"
                                "QV Input 5: I5\nQV Input 6: 1\nQV Input 7: 0\nQV Input 8: P8\n"));
}

namespace {

// Drawing needs the fonts of a GUI application, which the built program makes for its print command
// and this model-test program does not.
CliRun runProgram(const QStringList& args)
{
    const tqdt::test::CliRun r = tqdt::test::RunCli(QStringList{QStringLiteral("cdf")} + args);
    return {r.exitCode, QString::fromUtf8(r.out), QString::fromUtf8(r.err)};
}

} // namespace

TEST_F(CdfCommand, PrintWritesAPdfThatRendersAndRefusesWhatItCannotRead)
{
    const QString pdf = dir.filePath(QStringLiteral("RECORD.PDF"));
    for (const QStringList& extra : {QStringList{}, QStringList{QStringLiteral("--two-per-page")}}) {
        const CliRun r = runProgram(
            QStringList{QStringLiteral("print"), factoryFile(), QStringLiteral("-o"), pdf} + extra);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().startsWith("%PDF-"));
    }
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_EQ(info.exitCode(), 0);
    // Two diagrams a page, then the expressions and the notes.
    EXPECT_TRUE(info.readAllStandardOutput().contains("Pages:           6")) << "two per page";
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"), QStringLiteral("-f"),
                  QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), pdf,
                  dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(render.waitForFinished(30000));
    EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();

    const QString badFile = write(QStringLiteral("BAD.CDF"), QByteArray(7, '\0'));
    const CliRun bad =
        runProgram({QStringLiteral("print"), badFile, QStringLiteral("-o"), dir.filePath("X.PDF")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_FALSE(QFile::exists(dir.filePath("X.PDF")));
    const CliRun usage =
        runProgram({QStringLiteral("print"), badFile, QStringLiteral("-o"), pdf, QStringLiteral("--three")});
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(usage.err.contains("usage"));
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

    // Expressions come out in UTF-8; the PDF is drawn without a display.
    cli.start(QStringLiteral(TQDT_CLI_BIN), {QStringLiteral("cdf"), QStringLiteral("expr"), factoryFile()});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_TRUE(cli.readAllStandardOutput().startsWith("QV Input 1: I1\n"));
    auto closed = std::make_unique<CndDocument>();
    closed->setCode(0, 0, SegClosed);
    closed->setInput(0, 0, 15);
    for (int c = 1; c < 16; ++c)
        closed->setCode(0, c, SegWire);
    cli.start(QStringLiteral(TQDT_CLI_BIN), {QStringLiteral("cdf"), QStringLiteral("expr"),
                                             write(QStringLiteral("NC.CDF"), CdfBytes(*closed))});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_TRUE(cli.readAllStandardOutput().startsWith("QV Input 1: \xC2\xAC"
                                                       "P8\n"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    cli.setProcessEnvironment(env);
    const QString pdf = dir.filePath(QStringLiteral("CLI.PDF"));
    cli.start(QStringLiteral(TQDT_CLI_BIN),
              {QStringLiteral("cdf"), QStringLiteral("print"), factoryFile(), QStringLiteral("-o"), pdf});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(pdf));
    cli.setProcessEnvironment(QProcessEnvironment::systemEnvironment());

    cli.start(QStringLiteral(TQDT_CLI_BIN), {QStringLiteral("--help")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_TRUE(cli.readAllStandardOutput().contains("cdf checksum FILE.CDF"));
}

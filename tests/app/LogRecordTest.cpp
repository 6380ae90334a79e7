// tqdt-cli log record against real peers: a pseudo-terminal that sends a known stream, one that is
// replaced under a symlink, ser2net killed and restarted, and a file system that fills up.
#include "ports/Pty.h"
#include "sim/Site.h"
#include "support/DeviceServer.h"
#include "support/Files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

using namespace tqdt;
using tqdt::test::readAll;

namespace {

// The bytes a busy Blue channel carries: the simulated installation's other master and its replies.
QByteArray knownStream(qsizetype size)
{
    auto site = sim::Site::builtIn();
    const QByteArray cycle = sim::otherMasterPattern(*site, Channel::Blue);
    return cycle.repeated(int(size / cycle.size() + 1)).left(size);
}

std::unique_ptr<PseudoTerminal> newPeer()
{
    auto pty = std::make_unique<PseudoTerminal>();
    EXPECT_TRUE(pty->isOpen() && pty->makeRaw(38400));
    return pty;
}

struct LogRecord : ::testing::Test {
    void SetUp() override
    {
        if (!PseudoTerminal::supported())
            GTEST_SKIP() << "no pseudo-terminals here";
        peer = newPeer();
    }
    void TearDown() override
    {
        if (cli.state() != QProcess::NotRunning) {
            cli.kill();
            cli.waitForFinished(5000);
        }
    }

    // Starts the recorder and waits until it is recording.
    void record(const QString& port, const QStringList& more = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TQDT_HOME", home.path());
        cli.setProcessEnvironment(env);
        cli.start(TQDT_CLI_BIN, QStringList{"log", "record", "--port", port, "--channel", "blue", "--dir",
                                            folder.isEmpty() ? home.path() : folder} +
                                    more);
        ASSERT_TRUE(waitForErr("tqdt-cli: Recording ", 10000)) << err.constData();
    }
    bool waitForErr(const QByteArray& text, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!err.contains(text) && t.elapsed() < ms) {
            cli.waitForReadyRead(50);
            err += cli.readAllStandardError();
            if (cli.state() == QProcess::NotRunning) {
                err += cli.readAllStandardError();
                break;
            }
        }
        return err.contains(text);
    }
    int stop(int sig)
    {
        ::kill(pid_t(cli.processId()), sig);
        if (!cli.waitForFinished(10000))
            return -1;
        err += cli.readAllStandardError();
        return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    }
    QString logFile() const
    {
        const QStringList logs = QDir(folder.isEmpty() ? home.path() : folder).entryList({"DataLog*.TXT"});
        return logs.size() == 1 ? QDir(folder.isEmpty() ? home.path() : folder).filePath(logs[0]) : QString();
    }
    bool waitForFile(qsizetype size, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (QFileInfo(logFile()).size() >= size)
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    QStringList eventRows(const QString& what) const
    {
        // One events file for the recording, named as the log without its part.
        QString events = logFile();
        events.replace(" (part 1).TXT", ".TXT").replace(".TXT", ".events.csv");
        QStringList out;
        for (const QString& row : QString::fromUtf8(readAll(events)).split("\r\n"))
            if (row.section(',', 1, 1) == what)
                out << row;
        return out;
    }
    void send(const QByteArray& bytes)
    {
        for (qsizetype at = 0; at < bytes.size(); at += 1024)
            ASSERT_TRUE(peer->write(bytes.mid(at, 1024)));
    }

    QTemporaryDir home;
    QString folder;
    std::unique_ptr<PseudoTerminal> peer;
    QProcess cli;
    QByteArray err;
};

} // namespace

TEST_F(LogRecord, StopSignalsWriteEveryByteSentInOrder)
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        const char* name = sig == SIGTERM ? "SIGTERM" : sig == SIGINT ? "SIGINT" : "SIGHUP";
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        folder = dir.path();
        err.clear();
        record(peer->slaveName());
        const QByteArray stream = knownStream(50000 + sig);
        send(stream);
        // At once: the last bytes are still on their way and in the block being filled.
        EXPECT_EQ(stop(sig), 0) << err.constData();
        EXPECT_EQ(readAll(logFile()), stream);
        EXPECT_TRUE(err.contains(QByteArray("tqdt-cli: Recording stopped (") + name +
                                 "): " + QByteArray::number(stream.size()) + " bytes"))
            << err.constData();
        EXPECT_EQ(eventRows("record stop").size(), 1);
    }
}

// A kill leaves a file that is exactly what came, up to a point no more than a second or so before.
TEST_F(LogRecord, KillLeavesAnExactPrefixOfWhatWasSent)
{
    record(peer->slaveName());
    const QByteArray stream = knownStream(3840 * 6);
    std::vector<std::pair<qint64, qsizetype>> sentBy; // (ms, bytes sent by then)
    QElapsedTimer t;
    t.start();
    // The line's full rate: 3,840 bytes a second, a tenth of a second at a time.
    for (qsizetype at = 0; at < stream.size(); at += 384) {
        ASSERT_TRUE(peer->write(stream.mid(at, 384)));
        sentBy.push_back({t.elapsed(), at + 384});
        QThread::msleep(100);
    }
    const qint64 killedAt = t.elapsed();
    cli.kill();
    ASSERT_TRUE(cli.waitForFinished(5000));
    const QByteArray file = readAll(logFile());
    EXPECT_TRUE(stream.startsWith(file)) << file.size() << " bytes are not a prefix";
    qsizetype owed = 0;
    for (const auto& [ms, bytes] : sentBy)
        if (ms <= killedAt - 3000)
            owed = bytes;
    EXPECT_GE(file.size(), owed);
    EXPECT_GT(owed, 0);
}

// The adapter's name stays while the adapter behind it is replaced: the recording waits, says so
// once, and goes on in the same file.
TEST_F(LogRecord, PeerReplacedBehindTheSamePathGoesOnInTheSamePart)
{
    const QString link = home.filePath("ttyQV");
    ASSERT_TRUE(QFile::link(peer->slaveName(), link));
    record(link, {"--rotate", "100"});
    const QByteArray before = knownStream(9000), after = knownStream(7000).right(5000);
    send(before);
    ASSERT_TRUE(waitForFile(before.size(), 3000));
    peer.reset();
    ASSERT_TRUE(waitForErr("went away", 5000)) << err.constData();
    peer = newPeer();
    ASSERT_TRUE(QFile::remove(link));
    ASSERT_TRUE(QFile::link(peer->slaveName(), link));
    ASSERT_TRUE(waitForErr("is back", 10000)) << err.constData();
    send(after);
    ASSERT_TRUE(waitForFile(before.size() + after.size(), 3000));
    EXPECT_EQ(stop(SIGTERM), 0) << err.constData();
    EXPECT_TRUE(logFile().endsWith("(part 1).TXT")) << logFile().toStdString();
    EXPECT_EQ(readAll(logFile()), before + after);
    EXPECT_EQ(eventRows("gap start").size(), 1);
    EXPECT_EQ(eventRows("gap end").size(), 1);
    EXPECT_EQ(err.count("went away"), 1) << err.constData();
}

TEST_F(LogRecord, Ser2netKilledAndRestartedGoesOnInTheSamePart)
{
    if (const QString why = test::DeviceServer::unavailable(test::DeviceServer::Kind::Ser2net);
        !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    test::DeviceServer ser2net;
    QString why;
    ASSERT_TRUE(ser2net.start(test::DeviceServer::Kind::Ser2net, peer->slaveName(), &why))
        << why.toStdString();
    record(ser2net.url("ign_set_control"));
    const QByteArray before = knownStream(6000), after = knownStream(9000).right(4000);
    send(before);
    ASSERT_TRUE(waitForFile(before.size(), 3000));
    ser2net.kill();
    ASSERT_TRUE(waitForErr("went away", 5000)) << err.constData();
    ASSERT_TRUE(ser2net.restart(peer->slaveName(), &why)) << why.toStdString();
    ASSERT_TRUE(waitForErr("is back", 10000)) << err.constData();
    send(after);
    ASSERT_TRUE(waitForFile(before.size() + after.size(), 3000));
    EXPECT_EQ(stop(SIGTERM), 0) << err.constData();
    EXPECT_EQ(readAll(logFile()), before + after);
    EXPECT_EQ(eventRows("gap start").size(), 1);
    EXPECT_EQ(eventRows("gap end").size(), 1);
}

// The real thing: a small file system that fills up. Needs root to mount it.
TEST_F(LogRecord, FullDiskStopsWithTheReasonAndKeepsTheBytesBefore)
{
    QTemporaryDir dir;
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", dir.path()}) != 0)
        GTEST_SKIP() << "cannot mount a small file system here (needs root): full disk not tried";
    folder = dir.path();
    record(peer->slaveName());
    const QByteArray stream = knownStream(200000);
    // Until the recorder stops: nobody would read what followed.
    for (qsizetype at = 0; at < stream.size() && !cli.waitForFinished(2); at += 1024)
        if (!peer->write(stream.mid(at, 1024)))
            break; // nobody reads the line any more
    const bool finished = cli.state() == QProcess::NotRunning || cli.waitForFinished(10000);
    err += cli.readAllStandardError();
    const QByteArray file = readAll(logFile());
    QProcess::execute("umount", {dir.path()});
    ASSERT_TRUE(finished);
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(err.contains("No space left on device")) << err.constData();
    EXPECT_TRUE(err.contains("tqdt-cli: Recording stopped: Unable To Write The Log File")) << err.constData();
    EXPECT_GT(file.size(), 16384);
    EXPECT_TRUE(stream.startsWith(file));
}

TEST(LogRecordUsage, MissingOrBadArgumentsAreUsageErrors)
{
    const QStringList cases[] = {
        {},
        {"--channel", "blue"},
        {"--port", "COM3"},
        {"--port", "", "--channel", "blue"},
        {"--port", "COM3", "--channel", "green"},
        {"--port", "COM3", "--channel", "blue", "--rotate", "0"},
        {"--port", "COM3", "--channel", "blue", "--rotate", "weekly"},
        {"--port", "COM3", "--channel", "blue", "--keep", "3"},
        {"--port", "COM3", "--channel", "blue", "--rotate", "10", "--keep", "-1"},
        {"--port", "COM3", "--channel", "blue", "--for", "10"},
        {"--port", "COM3", "--channel", "blue", "--for", "1.5h"},
        {"--port", "COM3", "--channel", "blue", "--for", "0m"},
        {"--port", "COM3", "--channel", "blue", "--for"},
        {"--port", "COM3", "--channel", "blue", "--verbose"},
        {"--port", "COM0", "--channel", "blue"},
    };
    QTemporaryDir home;
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TQDT_HOME", home.path());
        p.setProcessEnvironment(env);
        p.start(TQDT_CLI_BIN, QStringList{"log", "record"} + args);
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 2) << p.readAllStandardError().constData();
    }
    // Nothing was recorded, and no folder made, for any of them.
    EXPECT_TRUE(QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(LogRecordUsage, PortThatCannotBeOpenedAtStartIsExitOne)
{
    QTemporaryDir home;
    QProcess p;
    p.start(TQDT_CLI_BIN, {"log", "record", "--port", home.filePath("no-such-tty"), "--channel", "brown",
                           "--dir", home.path(), "--for", "5s"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("Port Error: Unable To Open Port"));
    EXPECT_TRUE(QDir(home.path()).entryList({"DataLog*"}).isEmpty());
}

// --for ends the recording by itself, with everything written.
TEST_F(LogRecord, ForDurationEndsWithEverythingWritten)
{
    record(peer->slaveName(), {"--for", "2s"});
    const QByteArray stream = knownStream(3000);
    send(stream);
    ASSERT_TRUE(cli.waitForFinished(10000));
    err += cli.readAllStandardError();
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_TRUE(err.contains("Recording stopped (--for 2s elapsed)")) << err.constData();
    EXPECT_EQ(readAll(logFile()), stream);
}

// The service unit as systemd reads it. Where the package is installed the unit is checked as
// shipped; elsewhere it is checked against the program just built.
TEST(LogRecordService, UnitVerifies)
{
    if (QProcess::execute("systemd-analyze", {"--version"}) != 0)
        GTEST_SKIP() << "no systemd here: the service unit is not verified";
    const QString shipped = TQDT_TEST_SUPPORT_DIR "/../../packaging/systemd/tqdt-record@.service";
    QString unit = QString::fromUtf8(readAll(shipped));
    ASSERT_FALSE(unit.isEmpty());
    for (const char* line :
         {"DynamicUser=yes", "SupplementaryGroups=dialout", "StateDirectory=tqdt-record/%i",
          "EnvironmentFile=/etc/tqdt/record-%i.conf", "Restart=on-failure"})
        EXPECT_TRUE(unit.contains(line)) << line;
    if (!QFile::exists("/usr/bin/tqdt-cli")) {
        unit.replace("/usr/bin/tqdt-cli", TQDT_CLI_BIN);
        unit.remove(QRegularExpression("^Documentation=.*\n", QRegularExpression::MultilineOption));
    }
    QTemporaryDir dir;
    test::writeFile(dir.filePath("tqdt-record@example.service"), unit.toUtf8());
    QProcess verify;
    verify.setProcessChannelMode(QProcess::MergedChannels);
    verify.start("systemd-analyze", {"verify", dir.filePath("tqdt-record@example.service")});
    ASSERT_TRUE(verify.waitForFinished(60000));
    EXPECT_EQ(verify.exitCode(), 0) << verify.readAll().constData();
}

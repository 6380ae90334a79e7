#include "network/LogCommand.h"

#include "bus/FrameCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::net;

namespace {

struct CliRun {
    int status;
    QString out, err;
};

CliRun run(const QStringList& args)
{
    CliRun r;
    QTextStream out(&r.out), err(&r.err);
    r.status = RunLogCommand(args, out, err);
    return r;
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = QDir(dir.path()).filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

const QByteArray kStatus = BuildDevFrame('2', 0x12, "705"); // a wall station poll on the Blue channel

} // namespace

// The channel, and so the family a frame is checked in, comes from the option, else from the
// file's name, else from the frame's own shape.
TEST(LogDecode, ChannelFromOptionThenFileNameThenShape)
{
    QTemporaryDir dir;
    const QString blueLog = write(dir, "DataLog BlueChan  Date 2026-12-06 Time 17_53_39.TXT", kStatus);
    const QString plain = write(dir, "capture.TXT", kStatus);
    struct Case {
        QStringList args;
        QString line;
    } cases[] = {
        {{"decode", blueLog}, "1\t\t\tblue\t" + kStatus + "\tok\tWall station 12 status, pilots 1 3\r\n"},
        {{"decode", blueLog, "--channel", "brown"}, "1\t\t\tbrown\t" + kStatus + "\tbad\tunknown\r\n"},
        {{"decode", plain}, "1\t\t\t\t" + kStatus + "\tok\tWall station 12 status, pilots 1 3\r\n"},
        {{"decode", "--csv", blueLog},
         "1,,,blue," + kStatus + ",ok,\"Wall station 12 status, pilots 1 3\"\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.err.isEmpty());
        const QStringList lines = r.out.split("\r\n");
        ASSERT_GE(lines.size(), 2);
        EXPECT_TRUE(lines[0].startsWith("index")) << lines[0].toStdString();
        EXPECT_EQ(lines[1] + "\r\n", c.line);
    }
}

// A log far longer than one read still comes out whole, and a frame across the read boundary is
// one frame.
TEST(LogDecode, LongLogIsReadInPiecesWithoutLosingFrames)
{
    QTemporaryDir dir;
    QByteArray bytes;
    while (bytes.size() < (1 << 20) + 5)
        bytes += kStatus;
    const QString path = write(dir, "DataLog BlueChan x.TXT", bytes);
    const CliRun r = run({"decode", path});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.count("\tok\t"), bytes.size() / kStatus.size());
    EXPECT_EQ(r.out.count("\tbad\t"), 0);
}

TEST(LogDecode, UnreadableFileOrBadUsageExitsTwo)
{
    QTemporaryDir dir;
    const QStringList bad[] = {
        {"decode", QDir(dir.path()).filePath("missing.TXT")},
        {"decode", dir.path()},
        {"decode"},
        {"decode", "a.TXT", "--channel", "green"},
        {"encode", "a.TXT"},
    };
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.isEmpty());
    }
}

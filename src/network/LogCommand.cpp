#include "network/LogCommand.h"

#include "network/BusFrames.h"
#include "network/LogRecorder.h"
#include "network/LogSummary.h"

#include <QFile>
#include <QFileInfo>

namespace tqdt::net {

namespace {

int decode(const CliArgs& args, CliIo& io)
{
    QTextStream& out = io.out;
    const QString path = args.positional[0];
    const bool csv = args.has(QStringLiteral("--csv"));
    const bool channelGiven = args.has(QStringLiteral("--channel"));
    std::optional<Channel> channel;
    if (channelGiven)
        channel = args.value(QStringLiteral("--channel")).toLower() == QLatin1String("blue") ? Channel::Blue
                                                                                             : Channel::Brown;
    if (!channelGiven) {
        const QString name = QFileInfo(path).fileName();
        if (name.contains(QLatin1String("BlueChan")))
            channel = Channel::Blue;
        else if (name.contains(QLatin1String("BrownChan")))
            channel = Channel::Brown;
    }

    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        io.say(path + QStringLiteral(": cannot be read: ") +
               (file.error() == QFileDevice::NoError ? QStringLiteral("not a file") : file.errorString()));
        return 2;
    }
    const CaptureLayout layout = csv ? CaptureLayout::Csv : CaptureLayout::Tabs;
    out << QString::fromUtf8(CaptureHeader(layout));
    // A week's log runs to gigabytes: read and print it a piece at a time.
    FrameDecoder decoder;
    std::vector<BusFrame> frames;
    QByteArray lines;
    const auto print = [&] {
        for (const BusFrame& f : frames)
            lines += CaptureLine(f, -1, layout);
        frames.clear();
        out << QString::fromUtf8(lines);
        lines.clear();
    };
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty() && file.error() != QFileDevice::NoError) {
            out.flush();
            io.say(path + QStringLiteral(": cannot be read: ") + file.errorString());
            return 2;
        }
        decoder.feed(chunk, -1, channel, frames);
        print();
    }
    decoder.finish(frames);
    print();
    out.flush();
    return 0;
}

} // namespace

CliFamily LogCommands()
{
    return {QStringLiteral("log"),
            QStringLiteral("Data-log files the traffic monitors write."),
            {{QStringLiteral("decode"),
              {QStringLiteral("FILE.TXT")},
              {{QStringLiteral("--csv"), {}, QStringLiteral("comma-separated values instead of tabs")},
               {QStringLiteral("--channel"),
                QStringLiteral("blue|brown"),
                QStringLiteral("the channel the log was taken on (by default \"BlueChan\" or\n"
                               "\"BrownChan\" in the file's name)"),
                false,
                {QStringLiteral("blue"), QStringLiteral("brown")}}},
              QStringLiteral("list the frames of a data-log file with their checksum and meaning"),
              decode},
             {QStringLiteral("record"),
              {},
              {CliPortOption(),
               {QStringLiteral("--channel"),
                QStringLiteral("blue|brown"),
                QStringLiteral("the channel to record"),
                true,
                {QStringLiteral("blue"), QStringLiteral("brown")}},
               {QStringLiteral("--dir"), QStringLiteral("DIR"),
                QStringLiteral("where the log files go (by default the data logger's folder)")},
               {QStringLiteral("--rotate"), QStringLiteral("N|daily"),
                QStringLiteral("start a new part every N MB, or daily at midnight")},
               {QStringLiteral("--keep"), QStringLiteral("N"),
                QStringLiteral("keep the last N parts (0 keeps all); needs --rotate")},
               {QStringLiteral("--for"), QStringLiteral("DURATION"),
                QStringLiteral("stop after DURATION: a whole number and s, m, h or d (90s, 15m, 2h, 7d)")}},
              QStringLiteral("record the raw traffic of a channel into data-log files until stopped\n"
                             "(SIGINT, SIGTERM, SIGHUP) or DURATION has passed"),
              RunLogRecord},
             {QStringLiteral("summary"),
              {QStringLiteral("FILE.TXT...")},
              {{QStringLiteral("--by-hour"), {}, QStringLiteral("add the counts of each hour")},
               {QStringLiteral("--csv"), {}, QStringLiteral("the table per address as CSV")}},
              QStringLiteral("what a log (or the parts of one) saw: frames per address and kind, replies\n"
                             "missing, checksum failures, silences, the busiest minute and the gaps"),
              RunLogSummary}}};
}

} // namespace tqdt::net

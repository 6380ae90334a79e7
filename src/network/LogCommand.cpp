#include "network/LogCommand.h"

#include "network/BusFrames.h"

#include <QFile>
#include <QFileInfo>

namespace tqdt::net {

QString LogCommandHelp()
{
    return QStringLiteral(
        "  log decode FILE.TXT [--csv] [--channel blue|brown]\n"
        "              list the frames of a data-log file with their checksum and meaning\n");
}

int RunLogCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto usage = [&err] {
        err << "tqdt-cli: usage: log decode FILE.TXT [--csv] [--channel blue|brown]\n";
        return 2;
    };
    if (args.size() < 2 || args[0] != QLatin1String("decode"))
        return usage();
    QString path;
    bool csv = false;
    std::optional<Channel> channel;
    bool channelGiven = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--csv")) {
            csv = true;
        } else if (a == QLatin1String("--channel") && i + 1 < args.size()) {
            const QString c = args[++i].toLower();
            if (c == QLatin1String("blue"))
                channel = Channel::Blue;
            else if (c == QLatin1String("brown"))
                channel = Channel::Brown;
            else
                return usage();
            channelGiven = true;
        } else if (!a.startsWith(QLatin1String("--")) && path.isEmpty()) {
            path = a;
        } else {
            return usage();
        }
    }
    if (path.isEmpty())
        return usage();
    if (!channelGiven) {
        const QString name = QFileInfo(path).fileName();
        if (name.contains(QLatin1String("BlueChan")))
            channel = Channel::Blue;
        else if (name.contains(QLatin1String("BrownChan")))
            channel = Channel::Brown;
    }

    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        err << "tqdt-cli: " << path << ": cannot be read: "
            << (file.error() == QFileDevice::NoError ? QStringLiteral("not a file") : file.errorString())
            << "\n";
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
            err << "tqdt-cli: " << path << ": cannot be read: " << file.errorString() << "\n";
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

CliFamily LogCommands()
{
    return {"log", [](const QStringList& args, CliIo& io) { return RunLogCommand(args, io.out, io.err); },
            LogCommandHelp};
}

} // namespace tqdt::net

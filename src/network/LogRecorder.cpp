#include "network/LogRecorder.h"

#include "cli/CliHost.h"
#include "documents/Settings.h"
#include "host/Clock.h"
#include "host/Host.h"
#include "network/RecorderPlatform.h"
#include "ports/SerialPort.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace tqdt::net {

QString RecordEvents::PathFor(const QString& logPath)
{
    const QString base =
        logPath.endsWith(QLatin1String(".TXT"), Qt::CaseInsensitive) ? logPath.chopped(4) : logPath;
    return base + QStringLiteral(".events.csv");
}

QString RecordEvents::Time(const QDateTime& at)
{
    const int offset = at.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return at.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString RecordEvents::Place(int part, qint64 offset)
{
    return part > 0 ? QStringLiteral("part %1 byte %2").arg(part).arg(offset)
                    : QStringLiteral("byte %1").arg(offset);
}

bool RecordEvents::open(const QString& path, QString* why)
{
    m_file.setFileName(path);
    const bool fresh = !QFileInfo::exists(path) || QFileInfo(path).size() == 0;
    // Appended row by row and never rewritten: a recording killed in the middle keeps every row.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        *why = m_file.errorString();
        return false;
    }
    if (fresh && m_file.write("time,event,detail\r\n") < 0) {
        *why = m_file.errorString();
        return false;
    }
    return true;
}

bool RecordEvents::add(const QDateTime& at, const QString& event, const QString& detail, QString* why)
{
    QString d = detail;
    if (d.contains(u',') || d.contains(u'"') || d.contains(u'\n') || d.contains(u'\r'))
        d = u'"' + d.replace(u'"', QLatin1String("\"\"")) + u'"';
    const QByteArray row = (Time(at) + u',' + event + u',' + d + QLatin1String("\r\n")).toUtf8();
    if (m_file.write(row) != row.size()) {
        *why = m_file.errorString();
        return false;
    }
    return true;
}

bool RecordEvents::sync() { return SyncToDisk(m_file.handle()); }

LogRecorder::LogRecorder(Clock& clock, SerialPort& port, QString portName, Channel channel,
                         std::function<void(const QString&)> say)
    : m_clock(clock), m_port(port), m_portName(std::move(portName)), m_channel(channel), m_say(std::move(say))
{
}

LogRecorder::~LogRecorder() = default;

QString LogRecorder::counts() const
{
    const int n = parts();
    return QStringLiteral("%1 bytes, %2 frames, %3 %4")
        .arg(m_bytes)
        .arg(m_frames)
        .arg(n)
        .arg(n == 1 ? QStringLiteral("part") : QStringLiteral("parts"));
}

void LogRecorder::selectChannel()
{
    // The channel is the DTR line; a port without modem lines (a pseudo-terminal) is used as it is.
    m_port.setDtr(m_channel == Channel::Brown);
}

bool LogRecorder::start(const QString& folder, const DataLog::Rotation& rotation, QString* why)
{
    m_port.setInputLen(0);
    m_port.setRThreshold(0);
    selectChannel();
    m_log.setRotation(rotation, &m_clock);
    const QDateTime now = m_clock.localDateTime();
    if (!m_log.Open(folder, DataLog::FileName(m_channel, now), why))
        return false;
    m_part = m_log.part();
    if (!m_events.open(eventsPath(), why)) {
        m_log.Close();
        return false;
    }
    m_minute = now.toSecsSinceEpoch() / 60;
    const QString chan =
        m_channel == Channel::Blue ? QStringLiteral("Blue channel") : QStringLiteral("Brown channel");
    if (!event(QStringLiteral("record start"), m_portName + QStringLiteral(", ") + chan)) {
        *why = m_failure;
        return false;
    }
    m_events.sync();
    return true;
}

bool LogRecorder::fail(const QString& why)
{
    if (m_failure.isEmpty())
        m_failure = why;
    return false;
}

bool LogRecorder::event(const QString& what, const QString& detail)
{
    const QString place = RecordEvents::Place(m_log.part(), m_log.fileBytes());
    QString why;
    if (!m_events.add(m_clock.localDateTime(), what,
                      detail.isEmpty() ? place : place + QStringLiteral(": ") + detail, &why))
        return fail(QStringLiteral("Unable To Write ") + QDir::toNativeSeparators(eventsPath()) +
                    QStringLiteral(": ") + why);
    return true;
}

bool LogRecorder::take()
{
    const QByteArray got = m_port.input();
    if (got.isEmpty())
        return true;
    if (m_firstUnflushedMs < 0)
        m_firstUnflushedMs = m_clock.nowMs();
    m_bytes += got.size();
    m_frames += got.count('[');
    for (char c : got) {
        if (m_log.Add(c) == DataLog::Added::WriteFailed)
            return fail(QStringLiteral("Unable To Write The Log File ") +
                        QDir::toNativeSeparators(m_log.path()) + QStringLiteral(": ") + m_log.errorString());
    }
    // A full block went to the file at once; only the block being filled waits for its flush.
    if (m_log.unflushed() == 0)
        m_firstUnflushedMs = -1;
    if (m_log.part() != m_part) {
        // The rows that follow name places in the new part; this one says where it began.
        m_part = m_log.part();
        QString why;
        if (!m_events.add(m_clock.localDateTime(), QStringLiteral("part"), RecordEvents::Place(m_part, 0),
                          &why))
            return fail(QStringLiteral("Unable To Write ") + QDir::toNativeSeparators(eventsPath()) +
                        QStringLiteral(": ") + why);
    }
    return true;
}

bool LogRecorder::flush()
{
    if (m_log.Flush()) {
        m_firstUnflushedMs = -1;
        return true;
    }
    return fail(QStringLiteral("Unable To Write The Log File ") + QDir::toNativeSeparators(m_log.path()) +
                QStringLiteral(": ") + m_log.errorString());
}

void LogRecorder::portLost()
{
    m_away = true;
    m_awaySinceMs = m_clock.nowMs();
    m_retryMs = kFirstRetryMs;
    m_retryAtMs = m_awaySinceMs + m_retryMs;
    m_port.close();
    m_lastOpenError.clear();
    // Said once; the retries are quiet until the port is back.
    m_say(QStringLiteral("Port ") + m_portName + QStringLiteral(" went away; retrying every ") +
          QString::number(kFirstRetryMs / 1000) + QStringLiteral(" s up to ") +
          QString::number(kLastRetryMs / 1000) + QStringLiteral(" s"));
    event(QStringLiteral("gap start"), QStringLiteral("the port went away"));
    m_events.sync();
}

void LogRecorder::retry()
{
    if (m_clock.nowMs() < m_retryAtMs)
        return;
    QString why;
    if (m_port.open(&why)) {
        m_port.setInputLen(0);
        m_port.setRThreshold(0);
        selectChannel();
        if (m_port.isOpen() && !m_port.vanished()) {
            m_away = false;
            const qint64 seconds = (m_clock.nowMs() - m_awaySinceMs + 500) / 1000;
            m_say(QStringLiteral("Port ") + m_portName + QStringLiteral(" is back after %1 s").arg(seconds));
            event(QStringLiteral("gap end"), QStringLiteral("the port is back after %1 s").arg(seconds));
            m_events.sync();
            return;
        }
        m_port.close();
    }
    m_lastOpenError = why;
    m_retryMs = std::min(m_retryMs * 2, kLastRetryMs);
    m_retryAtMs = m_clock.nowMs() + m_retryMs;
}

bool LogRecorder::step()
{
    if (!m_failure.isEmpty())
        return false;
    if (!m_away) {
        if (m_port.isOpen() && !m_port.vanished() && m_port.inBufferCount() > 0 && !take())
            return false;
        // The count above is what notices a device that went; what it collected first is kept.
        if (!m_port.isOpen() || m_port.vanished()) {
            if (m_port.inBufferCount() > 0 && !take())
                return false;
            portLost();
        }
    } else {
        retry();
    }
    if (m_firstUnflushedMs >= 0 && m_clock.nowMs() - m_firstUnflushedMs >= kFlushAfterMs && !flush())
        return false;
    const QDateTime now = m_clock.localDateTime();
    const qint64 minute = now.toSecsSinceEpoch() / 60;
    if (minute != m_minute) {
        m_minute = minute;
        if (!flush())
            return false;
        if (!m_log.Sync())
            return fail(QStringLiteral("Unable To Sync The Log File ") +
                        QDir::toNativeSeparators(m_log.path()));
        if (!event(QStringLiteral("mark")))
            return false;
        m_events.sync();
        m_say(QStringLiteral("Recording: ") + counts() +
              (m_away ? QStringLiteral(", port away") : QString()));
    }
    return m_failure.isEmpty();
}

bool LogRecorder::stop(const QString& reason)
{
    if (m_failure.isEmpty() && !m_away && m_port.isOpen()) {
        // What the device sent just before the stop may still be on its way through the system.
        for (int i = 0; i < 3 && m_port.isOpen(); ++i) {
            if (m_port.inBufferCount() > 0 && !take())
                break;
        }
    }
    bool ok = m_failure.isEmpty() && flush();
    if (ok && !m_log.Sync())
        ok = fail(QStringLiteral("Unable To Sync The Log File ") + QDir::toNativeSeparators(m_log.path()));
    if (m_log.isOpen()) {
        // Best effort on a full disk: the row may not fit, the bytes before it stay.
        event(QStringLiteral("record stop"), m_failure.isEmpty() ? reason : m_failure);
        m_events.sync();
        m_events.close();
    }
    if (!m_log.Close() && ok)
        ok = fail(QStringLiteral("Unable To Write The Log File ") + QDir::toNativeSeparators(m_log.path()));
    m_port.close();
    return ok;
}

} // namespace tqdt::net

namespace tqdt::net {

qint64 ParseRecordDuration(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^([0-9]{1,9})([smhd])$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return 0;
    const qint64 n = m.captured(1).toLongLong();
    const char unit = m.captured(2).at(0).toLatin1();
    const qint64 scale = unit == 's' ? 1000 : unit == 'm' ? 60000 : unit == 'h' ? 3600000 : 86400000;
    return n * scale;
}

int RunLogRecord(const CliArgs& args, CliIo& io)
{
    // The parser has checked the words; what is left are values this command refuses (exit 2).
    const auto usage = [&io](const QString& why) { return io.refuse(why); };
    const QString port = args.value(QStringLiteral("--port"));
    const QString dir = args.value(QStringLiteral("--dir"));
    const QString rotate = args.value(QStringLiteral("--rotate"));
    const QString keepText = args.value(QStringLiteral("--keep"));
    const QString forText = args.value(QStringLiteral("--for"));
    const std::optional<Channel> channel =
        args.value(QStringLiteral("--channel")).compare(QLatin1String("blue"), Qt::CaseInsensitive) == 0
            ? Channel::Blue
            : Channel::Brown;
    DataLog::Rotation rotation;
    if (!rotate.isEmpty()) {
        bool ok = false;
        const int mb = rotate.toInt(&ok);
        if (rotate.compare(QLatin1String("daily"), Qt::CaseInsensitive) == 0) {
            rotation.mode = DataLog::Rotation::Mode::Daily;
        } else if (ok && mb >= 1 && mb <= 1000000) {
            rotation.mode = DataLog::Rotation::Mode::BySize;
            rotation.sizeBytes = qint64(mb) * 1024 * 1024;
        } else {
            return usage(
                QStringLiteral("--rotate is a size in MB (1 to 1000000) or daily, not '%1'").arg(rotate));
        }
    }
    if (!keepText.isEmpty()) {
        bool ok = false;
        rotation.keep = keepText.toInt(&ok);
        if (!ok || rotation.keep < 0 || rotation.keep > 9999)
            return usage(QStringLiteral("--keep is a number of parts (0 to 9999), not '%1'").arg(keepText));
        if (rotation.mode == DataLog::Rotation::Mode::Off)
            return usage(QStringLiteral("--keep needs --rotate"));
    }
    qint64 forMs = 0;
    if (!forText.isEmpty() && (forMs = ParseRecordDuration(forText)) <= 0)
        return usage(
            QStringLiteral("--for is a whole number followed by s, m, h or d, not '%1'").arg(forText));

    std::unique_ptr<CliHost> cli = OpenCliHost(port, io);
    if (!cli)
        return 1;
    Host& host = *cli->host;
    QString folder = dir;
    if (folder.isEmpty()) {
        // A folder that cannot be made shows as the log file's creation failing, with the folder named.
        static_cast<void>(EnsureDataFolder(host));
        folder = host.paths().dataFolder();
    } else if (!QFileInfo(folder).isDir()) {
        io.say(QStringLiteral("Error: ") + QDir::toNativeSeparators(folder) +
               QStringLiteral(" is not a folder"));
        return 1;
    }
    const auto say = [&io](const QString& line) {
        io.say(line);
        io.err.flush();
    };
    LogRecorder recorder(host.clock(), host.comQV(), cli->portName, *channel, say);
    CatchStopSignals();
    QString why;
    if (!recorder.start(folder, rotation, &why)) {
        say(QStringLiteral("Error: Unable To Create The Log File In ") + QDir::toNativeSeparators(folder) +
            QStringLiteral(": ") + why);
        return 1;
    }
    say(QStringLiteral("Recording ") + QDir::toNativeSeparators(recorder.log().path()));
    Clock& clock = host.clock();
    const qint64 endMs = forMs > 0 ? clock.nowMs() + forMs : -1;
    QString reason;
    while (true) {
        if (const char* sig = StopSignalName()) {
            reason = QString::fromLatin1(sig);
            break;
        }
        if (endMs >= 0 && clock.nowMs() >= endMs) {
            reason = QStringLiteral("--for ") + forText + QStringLiteral(" elapsed");
            break;
        }
        if (!recorder.step())
            break;
        qint64 wakeMs = clock.nowMs() + LogRecorder::kStepMs;
        if (endMs >= 0)
            wakeMs = std::min(wakeMs, endMs);
        clock.sleepUntil(wakeMs * 1000);
    }
    const bool ok = recorder.stop(reason);
    if (!ok) {
        say(QStringLiteral("Recording stopped: ") + recorder.failure() + QStringLiteral("; ") +
            recorder.counts() + QStringLiteral(" kept"));
        return 1;
    }
    say(QStringLiteral("Recording stopped (") + reason + QStringLiteral("): ") + recorder.counts());
    return 0;
}

} // namespace tqdt::net

#include "network/LogSummary.h"

#include "network/BusFrames.h"
#include "network/LogRecorder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace tqdt::net {

namespace {

using Kind = BusFrame::Kind;

// One row of the events file that names a place in the log.
struct Point {
    enum class What { Other, GapStart, GapEnd };
    int part = 0;
    qint64 offset = 0;
    qint64 ms = 0;
    What what = What::Other;
    QString reason;
};

// Splits "time,event,detail" where the detail may be quoted.
bool splitRow(const QByteArray& line, QByteArray& time, QByteArray& event, QString& detail)
{
    const qsizetype a = line.indexOf(',');
    const qsizetype b = a < 0 ? -1 : line.indexOf(',', a + 1);
    if (b < 0)
        return false;
    time = line.left(a);
    event = line.mid(a + 1, b - a - 1);
    QByteArray d = line.mid(b + 1);
    if (d.startsWith('"') && d.endsWith('"') && d.size() >= 2)
        d = d.mid(1, d.size() - 2).replace("\"\"", "\"");
    detail = QString::fromUtf8(d);
    return true;
}

// Reads the events file row by row as the log is read, so it is never held whole.
class EventsReader {
public:
    bool open(const QString& path)
    {
        m_file.setFileName(path);
        if (!QFileInfo(path).isFile() || !m_file.open(QIODevice::ReadOnly))
            return false;
        m_file.readLine(); // the header
        return true;
    }
    std::optional<Point> next(int* utcOffsetSecs)
    {
        static const QRegularExpression place(
            QStringLiteral("^(?:part ([0-9]+) )?byte ([0-9]+)(?:: (.*))?$"));
        while (m_file.isOpen() && !m_file.atEnd()) {
            QByteArray line = m_file.readLine();
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
            QByteArray time, event;
            QString detail;
            if (!splitRow(line, time, event, detail))
                continue;
            const QDateTime at = QDateTime::fromString(QString::fromLatin1(time), Qt::ISODate);
            const auto m = place.match(detail);
            if (!at.isValid() || !m.hasMatch())
                continue;
            Point p;
            p.part = m.captured(1).isEmpty() ? 0 : m.captured(1).toInt();
            p.offset = m.captured(2).toLongLong();
            p.ms = at.toMSecsSinceEpoch();
            p.reason = m.captured(3);
            if (event == "gap start")
                p.what = Point::What::GapStart;
            else if (event == "gap end")
                p.what = Point::What::GapEnd;
            if (utcOffsetSecs)
                *utcOffsetSecs = at.offsetFromUtc();
            return p;
        }
        return std::nullopt;
    }

private:
    QFile m_file;
};

// When each byte came: between two rows of the events file, at an even pace.
class Timeline {
public:
    explicit Timeline(LogSummary& s) : m_s(s) {}

    bool open(const QString& path)
    {
        if (!m_events.open(path))
            return false;
        m_next = m_events.next(&m_s.utcOffsetSecs);
        if (!m_next)
            return false;
        m_s.startMs = m_next->ms;
        return true;
    }
    // The time of the byte at offset in part, or -1 where the events file says nothing.
    qint64 at(int part, qint64 offset)
    {
        while (m_next && (m_next->part < part || (m_next->part == part && m_next->offset <= offset)))
            advance();
        if (!m_prev || m_prev->part != part)
            return m_next && m_next->part == part ? m_next->ms : -1;
        if (m_next && m_next->part == part && m_next->offset > m_prev->offset)
            return m_prev->ms +
                   (offset - m_prev->offset) * (m_next->ms - m_prev->ms) / (m_next->offset - m_prev->offset);
        return m_prev->ms;
    }
    // Time the recording was away from the port before the last time asked for.
    qint64 gapMs() const { return m_s.gapMs; }
    void finish()
    {
        while (m_next)
            advance();
        if (m_prev)
            m_s.endMs = m_prev->ms;
    }

private:
    void advance()
    {
        Point& p = *m_next;
        if (p.what == Point::What::GapStart) {
            m_gapStartMs = p.ms;
            ++m_s.gapCount;
            if (int(m_s.gaps.size()) < LogSummary::kMaxGapsListed)
                m_s.gaps.push_back({p.ms, -1, p.reason});
            m_inGap = true;
        } else if (p.what == Point::What::GapEnd && m_inGap) {
            m_s.gapMs += p.ms - m_gapStartMs;
            if (m_s.gapCount <= quint64(LogSummary::kMaxGapsListed))
                m_s.gaps.back().endMs = p.ms;
            m_inGap = false;
        }
        m_prev = std::move(m_next);
        m_next = m_events.next(&m_s.utcOffsetSecs);
    }

    LogSummary& m_s;
    EventsReader m_events;
    std::optional<Point> m_prev, m_next;
    qint64 m_gapStartMs = 0;
    bool m_inGap = false;
};

struct LogFile {
    QString path;
    int part = 0;
    qint64 size = 0;
};

// "NAME (part 3).TXT" -> {"NAME.TXT", 3}; any other name is a log of its own, part 0.
std::pair<QString, int> splitPart(const QString& fileName)
{
    static const QRegularExpression re(QStringLiteral("^(.*) \\(part ([0-9]{1,9})\\)(\\.[^.]*)?$"));
    const auto m = re.match(fileName);
    if (!m.hasMatch())
        return {fileName, 0};
    return {m.captured(1) + m.captured(3), m.captured(2).toInt()};
}

int channelIndex(const BusFrame& f)
{
    if (f.channel >= 0)
        return f.channel;
    // A log without its channel in the name: the frame's family tells, the panel network's being Brown.
    return f.family == qint8(FrameFamily::Network) ? 1 : 0;
}

// Everything counted frame by frame.
class Counter {
public:
    Counter(LogSummary& s, Timeline* timeline) : m_s(s), m_timeline(timeline) {}

    void frame(const BusFrame& f, int part, qint64 offset)
    {
        ++m_s.frames;
        const qint64 ms = m_timeline ? m_timeline->at(part, offset) : -1;
        const int ch = channelIndex(f);
        // The request before waits for this frame; anything but its reply means the reply never came.
        if (m_waiting) {
            if (!(f.kind == Kind::Reply && f.requestIndex == qint64(m_waitingIndex)))
                missing();
            m_waiting = false;
        }
        LogSummary::Hour* hour = nullptr;
        if (ms >= 0) {
            const qint64 local = ms + qint64(m_s.utcOffsetSecs) * 1000;
            const qint64 minute = local / 60000;
            if (minute != m_minute) {
                m_minute = minute;
                m_minuteFrames = 0;
            }
            if (++m_minuteFrames > m_s.busiestMinuteFrames) {
                m_s.busiestMinuteFrames = m_minuteFrames;
                m_s.busiestMinuteMs = minute * 60000 - qint64(m_s.utcOffsetSecs) * 1000;
            }
            const qint64 hourStart = (local / 3600000) * 3600000 - qint64(m_s.utcOffsetSecs) * 1000;
            if (hourStart != m_hourStart) {
                m_hourStart = hourStart;
                m_hour = &m_s.hours[hourStart];
            }
            hour = m_hour;
            ++hour->frames;
        }
        LogSummary::Address* a =
            f.address >= 0 && f.address < 256 ? &m_s.addresses[size_t(ch)][size_t(f.address)] : nullptr;
        if (a)
            ++a->frames;
        if (f.checksum == BusFrame::Mark::Bad) {
            if (a)
                ++a->bad;
            else
                ++m_s.badWithoutAddress[size_t(ch)];
            if (hour)
                ++hour->bad;
        }
        switch (f.kind) {
        case Kind::Request:
            ++m_s.requests;
            if (f.shape >= 0) {
                ++m_s.kinds[size_t(f.shape)];
                if (BusFrameShape(f.shape).replyLength > 0) {
                    m_waiting = true;
                    m_waitingIndex = f.index;
                    m_waitingAddress = a;
                    m_waitingHour = hour;
                }
            }
            break;
        case Kind::Reply:
            ++m_s.replies;
            if (a && ms >= 0)
                heard(*a, ms - m_timeline->gapMs());
            break;
        default: ++m_s.unknown; break;
        }
    }

    void finish()
    {
        if (m_waiting)
            missing();
        m_waiting = false;
        if (!m_timeline)
            return;
        m_timeline->finish();
        m_s.timed = m_s.startMs >= 0 && m_s.endMs >= 0;
        // An address is silent from the start until it is first heard and after it was last heard.
        const qint64 end = m_s.endMs - m_s.gapMs;
        for (auto& channel : m_s.addresses)
            for (LogSummary::Address& a : channel)
                if (a.heard)
                    a.longestSilenceMs = std::max(a.longestSilenceMs, end - a.lastHeardMs);
    }

private:
    void missing()
    {
        if (m_waitingAddress)
            ++m_waitingAddress->missing;
        if (m_waitingHour)
            ++m_waitingHour->missing;
    }
    void heard(LogSummary::Address& a, qint64 recordedMs)
    {
        const qint64 since = a.heard ? a.lastHeardMs : m_s.startMs;
        a.longestSilenceMs = std::max(a.longestSilenceMs, recordedMs - since);
        a.heard = true;
        a.lastHeardMs = recordedMs;
    }

    LogSummary& m_s;
    Timeline* m_timeline;
    bool m_waiting = false;
    quint64 m_waitingIndex = 0;
    LogSummary::Address* m_waitingAddress = nullptr;
    LogSummary::Hour* m_waitingHour = nullptr;
    qint64 m_minute = -1;
    quint64 m_minuteFrames = 0;
    qint64 m_hourStart = -1;
    LogSummary::Hour* m_hour = nullptr;
};

} // namespace

QString SummarizeLog(const QStringList& paths, LogSummary& s, bool* problemIsUsage)
{
    const auto usage = [&](const QString& why) {
        if (problemIsUsage)
            *problemIsUsage = true;
        return why;
    };
    if (problemIsUsage)
        *problemIsUsage = false;
    std::vector<LogFile> files;
    QString logKey;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const auto [name, part] = splitPart(info.fileName());
        const QString key = QDir::cleanPath(info.absoluteDir().filePath(name));
        if (logKey.isEmpty()) {
            logKey = key;
        } else if (key != logKey) {
            return usage(QStringLiteral("%1 and %2 are files of two logs; give the parts of one")
                             .arg(QDir::toNativeSeparators(paths.first()), QDir::toNativeSeparators(path)));
        }
        for (const LogFile& f : files)
            if (f.part == part)
                return usage(part == 0
                                 ? QStringLiteral("%1 is given twice").arg(QDir::toNativeSeparators(path))
                                 : QStringLiteral("part %1 is given twice").arg(part));
        if (!info.isFile())
            return QDir::toNativeSeparators(path) + QStringLiteral(": cannot be read: not a file");
        files.push_back({path, part, info.size()});
    }
    if (files.empty())
        return usage(QStringLiteral("no log file given"));
    std::sort(files.begin(), files.end(), [](const LogFile& a, const LogFile& b) { return a.part < b.part; });
    s.log = QFileInfo(logKey).fileName();
    for (const LogFile& f : files)
        s.parts << f.part;
    std::optional<Channel> channel;
    if (s.log.contains(QLatin1String("BlueChan")))
        channel = Channel::Blue;
    else if (s.log.contains(QLatin1String("BrownChan")))
        channel = Channel::Brown;
    s.channel = channel ? qint8(*channel == Channel::Blue ? 0 : 1) : qint8(-1);

    Timeline timeline(s);
    const bool timed = timeline.open(RecordEvents::PathFor(logKey));
    Counter counter(s, timed ? &timeline : nullptr);

    FrameDecoder decoder;
    std::vector<BusFrame> frames;
    frames.reserve(1 << 16);
    // Where the next frame starts: the file it is in and its offset there.
    size_t at = 0;
    qint64 offset = 0;
    const auto count = [&] {
        for (const BusFrame& f : frames) {
            while (at + 1 < files.size() && offset >= files[at].size) {
                offset -= files[at].size;
                ++at;
            }
            counter.frame(f, files[at].part, offset);
            offset += f.raw.size();
        }
        frames.clear();
    };
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (LogFile& f : files) {
        QFile file(f.path);
        if (!file.open(QIODevice::ReadOnly))
            return QDir::toNativeSeparators(f.path) + QStringLiteral(": cannot be read: ") +
                   file.errorString();
        qint64 read = 0;
        while (true) {
            const qint64 n = file.read(chunk.data(), chunk.size());
            if (n < 0)
                return QDir::toNativeSeparators(f.path) + QStringLiteral(": cannot be read: ") +
                       file.errorString();
            if (n == 0)
                break;
            read += n;
            s.bytes += quint64(n);
            decoder.feed(chunk.constData(), n, -1, channel, frames);
            count();
        }
        // The size the counting goes by is what was read, should the file have grown meanwhile.
        f.size = read;
    }
    decoder.finish(frames);
    count();
    counter.finish();
    return {};
}

namespace {

QString timeText(const LogSummary& s, qint64 ms, bool seconds = true)
{
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, s.utcOffsetSecs);
    QString t = RecordEvents::Time(at);
    return seconds ? t : t.left(16) + t.mid(19);
}

QString duration(qint64 ms)
{
    const qint64 secs = (ms + 500) / 1000;
    if (secs < 120)
        return QStringLiteral("%1 s").arg(secs);
    const qint64 d = secs / 86400, h = secs % 86400 / 3600, m = secs % 3600 / 60;
    return d > 0   ? QStringLiteral("%1 d %2 h %3 min").arg(d).arg(h).arg(m)
           : h > 0 ? QStringLiteral("%1 h %2 min").arg(h).arg(m)
                   : QStringLiteral("%1 min").arg(m);
}

QString channelName(int ch) { return ch == 0 ? QStringLiteral("blue") : QStringLiteral("brown"); }

QString silenceSeconds(const LogSummary& s, const LogSummary::Address& a)
{
    return s.timed && a.heard ? QString::number((a.longestSilenceMs + 500) / 1000) : QString();
}

} // namespace

QByteArray SummaryCsv(const LogSummary& s)
{
    QString out =
        QStringLiteral("Channel,Address,Frames,Replies Missing,Checksum Failures,Longest Silence (s)\r\n");
    for (int ch = 0; ch < 2; ++ch)
        for (int addr = 0; addr < 256; ++addr) {
            const LogSummary::Address& a = s.addresses[size_t(ch)][size_t(addr)];
            if (a.frames == 0)
                continue;
            out += QStringLiteral("%1,%2,%3,%4,%5,%6\r\n")
                       .arg(channelName(ch), QString::fromLatin1(Hex2(qint16(addr))))
                       .arg(a.frames)
                       .arg(a.missing)
                       .arg(a.bad)
                       .arg(silenceSeconds(s, a));
        }
    return out.toUtf8();
}

QByteArray SummaryText(const LogSummary& s, bool byHour)
{
    QString out;
    const auto line = [&out](const QString& l) { out += l + QStringLiteral("\r\n"); };
    QStringList parts;
    for (int p : s.parts)
        if (p > 0)
            parts << QString::number(p);
    line(QStringLiteral("Log: ") + s.log +
         (parts.isEmpty() ? QString() : QStringLiteral(", parts ") + parts.join(u' ')));
    line(QStringLiteral("Channel: ") +
         (s.channel < 0 ? QStringLiteral("not in the name") : channelName(s.channel)));
    if (s.timed)
        line(QStringLiteral("From %1 to %2 (%3)")
                 .arg(timeText(s, s.startMs), timeText(s, s.endMs), duration(s.endMs - s.startMs)));
    else
        line(QStringLiteral("Times: not known (no events file beside the log)"));
    line(QStringLiteral("Bytes: %1").arg(s.bytes));
    line(QStringLiteral("Frames: %1 (requests %2, replies %3, other %4)")
             .arg(s.frames)
             .arg(s.requests)
             .arg(s.replies)
             .arg(s.unknown));
    line(QString());
    line(QStringLiteral("Requests by kind:"));
    for (int i = 0; i < shape::Count; ++i)
        if (s.kinds[size_t(i)] > 0)
            line(QStringLiteral("  %1  %2")
                     .arg(QString::fromLatin1(BusFrameShape(i).name), -40)
                     .arg(s.kinds[size_t(i)]));
    line(QString());
    line(QStringLiteral(
        "Channel  Address  Frames      Replies Missing  Checksum Failures  Longest Silence (s)"));
    for (int ch = 0; ch < 2; ++ch)
        for (int addr = 0; addr < 256; ++addr) {
            const LogSummary::Address& a = s.addresses[size_t(ch)][size_t(addr)];
            if (a.frames == 0)
                continue;
            line(QStringLiteral("%1  %2  %3  %4  %5  %6")
                     .arg(channelName(ch), -7)
                     .arg(QString::fromLatin1(Hex2(qint16(addr))), -7)
                     .arg(a.frames, -10)
                     .arg(a.missing, -15)
                     .arg(a.bad, -17)
                     .arg(silenceSeconds(s, a)));
        }
    for (int ch = 0; ch < 2; ++ch)
        if (s.badWithoutAddress[size_t(ch)] > 0)
            line(QStringLiteral("%1: %2 checksum failures in frames that name no address")
                     .arg(channelName(ch))
                     .arg(s.badWithoutAddress[size_t(ch)]));
    if (s.timed) {
        line(QString());
        if (s.busiestMinuteMs >= 0)
            line(QStringLiteral("Busiest minute: %1, %2 frames")
                     .arg(timeText(s, s.busiestMinuteMs, false))
                     .arg(s.busiestMinuteFrames));
        line(QStringLiteral("Gaps: %1 (%2 in all)").arg(s.gapCount).arg(duration(s.gapMs)));
        for (const LogSummary::Gap& g : s.gaps)
            line(QStringLiteral("  %1 to %2 (%3): %4")
                     .arg(timeText(s, g.startMs),
                          g.endMs < 0 ? QStringLiteral("the end") : timeText(s, g.endMs),
                          g.endMs < 0 ? QStringLiteral("open") : duration(g.endMs - g.startMs), g.reason));
        if (s.gapCount > s.gaps.size())
            line(QStringLiteral("  ... and %1 more").arg(s.gapCount - s.gaps.size()));
        if (byHour) {
            line(QString());
            line(QStringLiteral("Hour                    Frames      Replies Missing  Checksum Failures"));
            for (const auto& [start, h] : s.hours)
                line(QStringLiteral("%1  %2  %3  %4")
                         .arg(timeText(s, start, false), -22)
                         .arg(h.frames, -10)
                         .arg(h.missing, -15)
                         .arg(h.bad));
        }
    } else if (byHour) {
        line(QStringLiteral("By hour: not known (no events file beside the log)"));
    }
    return out.toUtf8();
}

int RunLogSummary(const CliArgs& args, CliIo& io)
{
    // The parser has checked the words; what is left are values this command refuses (exit 2).
    const auto usage = [&io](const QString& why) { return io.refuse(why); };
    const bool byHour = args.has(QStringLiteral("--by-hour"));
    const bool csv = args.has(QStringLiteral("--csv"));
    if (csv && byHour)
        return usage(
            QStringLiteral("--csv writes the table per address; --by-hour goes with the text summary"));
    LogSummary s;
    bool isUsage = false;
    if (const QString problem = SummarizeLog(args.positional, s, &isUsage); !problem.isEmpty()) {
        if (isUsage)
            return usage(problem);
        io.say(problem);
        return 2;
    }
    io.out << QString::fromUtf8(csv ? SummaryCsv(s) : SummaryText(s, byHour));
    io.out.flush();
    return 0;
}

} // namespace tqdt::net

#pragma once

#include "bus/FrameCodec.h"
#include "cli/CliCommand.h"
#include "network/DataLog.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

namespace tqdt {
class Clock;
class SerialPort;
} // namespace tqdt

namespace tqdt::net {

// The side file of a recording: "NAME.events.csv" beside "NAME.TXT", one for the whole recording
// whatever its parts, CR LF, under the header "time,event,detail". Every row names the place in the
// raw log it belongs to ("byte N", or "part P byte N" for a rotating log), so the summary can tell
// when each byte came, and what did not come during a gap:
//
//     record start   part 1 byte 0: COM3 (/dev/ttyUSB2), Blue channel
//     mark           part 1 byte 23040                  (once a minute, when the file is synced)
//     part           part 2 byte 0                      (a new part opened)
//     gap start      part 2 byte 4096: the port went away
//     gap end        part 2 byte 4096: the port is back after 12 s
//     record stop    part 2 byte 9000: SIGTERM
class RecordEvents {
public:
    // "NAME.TXT" -> "NAME.events.csv".
    static QString PathFor(const QString& logPath);
    // "2026-12-06T17:53:39+01:00": local time with its offset from UTC.
    static QString Time(const QDateTime& at);
    // "byte N" or "part P byte N".
    static QString Place(int part, qint64 offset);

    bool open(const QString& path, QString* why);
    // False, with the reason in *why, when the row could not be written.
    bool add(const QDateTime& at, const QString& event, const QString& detail, QString* why);
    bool sync();
    void close() { m_file.close(); }

private:
    QFile m_file;
};

// tqdt-cli log record: the raw byte stream of one channel into the data logger's files, for days,
// through replugs. The recording is driven by step(), which never blocks: it takes what the port
// holds, writes it to the file within a second of taking it, syncs the file at every change of the
// minute, and while the port is away tries to reopen it with a back-off from 1 s up to 30 s.
class LogRecorder {
public:
    static constexpr qint64 kFlushAfterMs = 500; // a taken byte is in the file at most this late...
    static constexpr qint64 kStepMs = 100;       // ... plus one step, well within the second
    static constexpr qint64 kFirstRetryMs = 1000;
    static constexpr qint64 kLastRetryMs = 30000;

    // say: the recorder's lines for the person or the journal (a port gone, back, the status).
    LogRecorder(Clock& clock, SerialPort& port, QString portName, Channel channel,
                std::function<void(const QString&)> say);
    ~LogRecorder();

    // The port must be open already; starts the log and its events file in folder. False with the
    // reason in *why when they cannot be created.
    bool start(const QString& folder, const DataLog::Rotation& rotation, QString* why);
    // One pass; false once the recording has failed (a full disk): failure() says why, and every
    // byte written before stays in the file.
    bool step();
    // Takes what is still on its way from the port, writes it and syncs, and closes the files with
    // a last row saying why. False when that last write failed (failure() says why).
    bool stop(const QString& reason);

    QString failure() const { return m_failure; }
    qint64 bytes() const { return m_bytes; }
    qint64 frames() const { return m_frames; }
    int parts() const { return m_log.part() == 0 ? 1 : m_log.part(); }
    bool portAway() const { return m_away; }
    const DataLog& log() const { return m_log; }
    QString eventsPath() const { return RecordEvents::PathFor(m_log.logPath()); }
    // "12345 bytes, 890 frames, 1 part".
    QString counts() const;

private:
    bool take();
    bool flush();
    bool event(const QString& what, const QString& detail = {});
    bool fail(const QString& why);
    void portLost();
    void retry();
    void selectChannel();

    Clock& m_clock;
    SerialPort& m_port;
    QString m_portName;
    Channel m_channel;
    std::function<void(const QString&)> m_say;
    DataLog m_log;
    RecordEvents m_events;
    QString m_failure;
    qint64 m_bytes = 0;
    qint64 m_frames = 0;
    qint64 m_firstUnflushedMs = -1;
    qint64 m_minute = -1; // the local minute of the last sync
    int m_part = 0;
    bool m_away = false;
    qint64 m_awaySinceMs = 0;
    qint64 m_retryAtMs = 0;
    qint64 m_retryMs = kFirstRetryMs;
    QString m_lastOpenError;
};

} // namespace tqdt::net

namespace tqdt::net {

// "tqdt-cli log record --port PORT --channel blue|brown [--dir DIR] [--rotate N|daily] [--keep N]
// [--for DURATION]", the words after "log". Exit 0 after SIGINT, SIGTERM, SIGHUP or DURATION, 1 on a
// full disk or a port that cannot be opened at start, 2 on a usage error.
int RunLogRecord(const CliArgs& args, CliIo& io);

// "90s", "15m", "2h", "7d" in milliseconds; 0 for anything else.
qint64 ParseRecordDuration(const QString& text);

} // namespace tqdt::net

#pragma once

#include "bus/FrameShapes.h"
#include "cli/CliCommand.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <array>
#include <map>
#include <vector>

namespace tqdt::net {

// What a week of raw log comes to: counts per channel, address and request kind, the replies that
// never came, the checksums that failed, and, where the recording's events file says when the bytes
// came, the longest silence of each address, the busiest minute, the gaps and counts per hour.
// Memory stays the same whatever the size of the log: a fixed table per address and kind, a row
// per hour, and the first kMaxGapsListed gaps.
struct LogSummary {
    static constexpr int kMaxGapsListed = 1000;

    struct Address {
        quint64 frames = 0;
        quint64 missing = 0;
        quint64 bad = 0;
        bool heard = false;
        qint64 lastHeardMs = 0; // recorded time, gaps left out
        qint64 longestSilenceMs = 0;
    };
    struct Hour {
        quint64 frames = 0;
        quint64 missing = 0;
        quint64 bad = 0;
    };
    struct Gap {
        qint64 startMs = 0;
        qint64 endMs = -1; // -1: the recording ended inside it
        QString reason;
    };

    QString log;        // the log's name, without " (part n)"
    QList<int> parts;   // the part numbers read, in order; {0} for a log without parts
    qint8 channel = -1; // from the name: 0 Blue, 1 Brown, -1 unknown
    quint64 bytes = 0;
    quint64 frames = 0;
    quint64 requests = 0;
    quint64 replies = 0;
    quint64 unknown = 0; // frames no row of the table names, cut frames and bytes between frames
    std::array<quint64, shape::Count> kinds{};
    // [channel][address]; frames naming no address are counted in the totals only.
    std::array<std::array<Address, 256>, 2> addresses{};
    std::array<quint64, 2> badWithoutAddress{};

    // From the events file; timed is false without one.
    bool timed = false;
    int utcOffsetSecs = 0;
    qint64 startMs = -1, endMs = -1;
    qint64 busiestMinuteMs = -1;
    quint64 busiestMinuteFrames = 0;
    std::map<qint64, Hour> hours; // by the hour's start
    quint64 gapCount = 0;
    qint64 gapMs = 0;
    std::vector<Gap> gaps;
};

// Reads the files of one log, which may be given in any order: one file, or parts of one log that
// are read by their part numbers, with the events file beside them when there is one. Empty, or the
// problem: files of two logs or a part given twice (problemIsUsage), or a file that cannot be read.
QString SummarizeLog(const QStringList& files, LogSummary& summary, bool* problemIsUsage = nullptr);

// The summary as text (with one line per hour when byHour), or the per-address table as CSV under
// "Channel,Address,Frames,Replies Missing,Checksum Failures,Longest Silence (s)". CR LF.
QByteArray SummaryText(const LogSummary& summary, bool byHour);
QByteArray SummaryCsv(const LogSummary& summary);

// "tqdt-cli log summary FILE.TXT... [--by-hour] [--csv]", the words after "summary": 0, or 2 for a
// usage error or a file that cannot be read.
int RunLogSummary(const CliArgs& args, CliIo& io);

} // namespace tqdt::net

#pragma once

#include <QByteArray>
#include <QString>

#include <map>

namespace tqdt::test {

// A week of the Blue channel as a recorder leaves it: the raw log and its events file, written
// minute by minute from the simulated installation's wall-station and relay-device polls, with
// faults whose counts the generator knows.
struct WeekLog {
    QString logPath, eventsPath;
    qint64 bytes = 0;
    qint64 frames = 0;
    // Per address: frames naming it, replies missing, checksum failures.
    struct Counts {
        qint64 frames = 0, missing = 0, bad = 0;
    };
    std::map<int, Counts> addresses;
    int silentAddress = -1; // answers nothing for silentSeconds in the middle of the week
    qint64 silentSeconds = 0;
    int badAddress = -1;   // one of its replies a hour carries a wrong checksum
    QString busiestMinute; // "2026-12-09T14:07+01:00"
    qint64 busiestMinuteFrames = 0;
    qint64 gapSeconds = 0; // one gap, the port away
};

// Writes the log into folder, about megabytes in size.
WeekLog MakeWeekLog(const QString& folder, int megabytes = 200);

} // namespace tqdt::test

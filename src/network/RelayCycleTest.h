#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace tqdt {
class Host;
} // namespace tqdt

namespace tqdt::net {

// The date and time as the result files show them: the locale's short date with a four-digit year,
// then the time with seconds.
QString GeneralDateTime(const QDateTime& dt);

// The endurance test for the relays of the relay devices: a range of relays (relay n is relay
// n mod 4 of device n / 4 + 1) is switched on and off at a fixed interval, and before every switch
// each relay is checked for the state the previous switch should have left. Failed checks, the
// start, the settings and the end go to a dated text file.
class RelayCycleTest {
public:
    static constexpr int kRelays = 64;
    static constexpr int kIntervals = 60; // 5 to 300 seconds
    static constexpr int kDelays = 201;   // 0 to 200 ms
    static constexpr int kTickMs = 5000;

    explicit RelayCycleTest(Host& host) : m_host(host) {}

    // List entries: relays 1 to relaysEntry + 1, interval (intervalEntry + 1) x 5 s, delay delayEntry ms.
    int relaysEntry = 0;
    int intervalEntry = 0;
    int delayEntry = 0;

    bool TestRunning = false;
    QString ResultFile;
    qint32 TestTicks = 0;
    qint16 PhaseTicks = 0;
    bool PhaseOn = false;

    // "RelayCycleTest_Y2026_M12_D06_h17_m53_s39.txt"
    static QString FileName(const QDateTime& dt);

    // Creates the result file and switches the range off. False, with nothing switched, when the
    // file cannot be created.
    bool start();
    // One 5-second tick.
    void Timer2_Timer();
    // Writes the closing lines. False when some result lines could not be written to the file.
    bool stop();

    bool RlyGet(int n);
    void RlyOn(int n);
    void RlyOff(int n);

    // Tries again to write the lines held back; true when none are left.
    bool flush() { return append({}); }
    // Lines that could not be written yet (kept and written with the next line that goes out).
    const QByteArray& unwritten() const { return m_unwritten; }

private:
    int relayCount() const;
    // Appends the lines, after any held back, to the result file; false when they are held back.
    bool append(const QByteArray& lines);
    QString now() const;

    Host& m_host;
    QByteArray m_unwritten;
};

} // namespace tqdt::net

#include "network/RelayCycleTest.h"

#include "bus/modQVDT.h"
#include "documents/SafeFile.h"
#include "documents/Settings.h"
#include "host/Host.h"
#include "network/DataLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace tqdt::net {

namespace {

const QByteArray kRule = QByteArray(40, '-');

QByteArray crlf(const QString& line) { return line.toLatin1() + "\r\n"; }

} // namespace

QString GeneralDateTime(const QDateTime& dt)
{
    const QLocale locale;
    QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    if (!dateFormat.contains(QLatin1String("yyyy")))
        dateFormat.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    // The long time format ends in the time zone on some systems; the files carry local time only.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    timeFormat = timeFormat.trimmed();
    QString text =
        locale.toString(dt.date(), dateFormat) + QLatin1Char(' ') + locale.toString(dt.time(), timeFormat);
    // Newer locale data puts narrow no-break spaces before AM/PM; the files are single-byte text.
    text.replace(QChar(0x202F), QLatin1Char(' ')).replace(QChar(0x00A0), QLatin1Char(' '));
    return text;
}

QString RelayCycleTest::FileName(const QDateTime& dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("RelayCycleTest_Y%1_M%2_D%3_h%4_m%5_s%6.txt")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(two(d.month()), two(d.day()), two(t.hour()), two(t.minute()), two(t.second()));
}

int RelayCycleTest::relayCount() const { return std::clamp(relaysEntry, 0, kRelays - 1) + 1; }

QString RelayCycleTest::now() const { return GeneralDateTime(m_host.clock().localDateTime()); }

bool RelayCycleTest::append(const QByteArray& lines)
{
    m_unwritten += lines;
    // A long run adds lines for days; rewriting the whole file for each would cost more with every
    // line, so lines are appended, and a write that fails part-way is cut back off, so the file
    // always ends with a whole line and the lost lines wait for the next write.
    QFile f(ResultFile);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const qint64 before = f.size();
    if (f.write(m_unwritten) != m_unwritten.size() || !f.flush()) {
        f.resize(before);
        return false;
    }
    m_unwritten.clear();
    return true;
}

bool RelayCycleTest::start()
{
    const QDateTime at = m_host.clock().localDateTime();
    // A folder that cannot be made shows as the result file failing to open, which is reported.
    static_cast<void>(EnsureDataFolder(m_host));
    const QDir folder(m_host.paths().dataFolder());
    const QString name = FileName(at);
    ResultFile = folder.filePath(name);
    // A run started in the same second as an earlier one must not replace that run's results.
    for (int n = 2; QFileInfo::exists(ResultFile) && n <= 9999; ++n)
        ResultFile = folder.filePath(DataLog::NumberedName(name, n));
    m_unwritten.clear();
    QByteArray head = kRule + "\r\n";
    head += crlf(QStringLiteral("Start of test ") + GeneralDateTime(at));
    head += crlf(QStringLiteral("Relays 1 to %1").arg(relayCount()));
    head += crlf(
        QStringLiteral("Interval %1 Seconds").arg((std::clamp(intervalEntry, 0, kIntervals - 1) + 1) * 5));
    head += kRule + "\r\n";
    // A new run starts a new file.
    if (!SaveFileAtomically(ResultFile, head).isEmpty())
        return false;

    TestRunning = true;
    TestTicks = 0;
    PhaseOn = false;
    for (int n = 0; n < relayCount(); ++n)
        RlyOff(n);
    PhaseTicks = 0;
    return true;
}

void RelayCycleTest::Timer2_Timer()
{
    if (!TestRunning)
        return;
    ++PhaseTicks;
    if (PhaseTicks >= std::clamp(intervalEntry, 0, kIntervals - 1) + 1) {
        PhaseTicks = 0;
        PhaseOn = !PhaseOn;
        // Each failed check goes to the file at once: switching 64 relays with their delays takes
        // many seconds, and a crash in the middle must not lose the checks already made.
        for (int n = 0; n < relayCount(); ++n) {
            const bool on = RlyGet(n);
            if (PhaseOn) {
                if (on)
                    append(crlf(now() + QStringLiteral(" Relay %1 Failed to turn off").arg(n + 1)));
                RlyOn(n);
            } else {
                if (!on)
                    append(crlf(now() + QStringLiteral(" Relay %1 Failed to turn on").arg(n + 1)));
                RlyOff(n);
            }
        }
    }
    ++TestTicks;
}

bool RelayCycleTest::stop()
{
    TestRunning = false;
    QByteArray tail = kRule + "\r\n";
    tail += crlf(QStringLiteral("End of test ") + now());
    tail += crlf(QStringLiteral("Total Cycles %1").arg(TestTicks));
    tail += kRule + "\r\n";
    return append(tail);
}

bool RelayCycleTest::RlyGet(int n)
{
    if (!RelayDeviceCommand(m_host, qint16(n / 4 + 1), 0))
        return false;
    return (m_host.reply.RelayDeviceStatus >> (n % 4)) & 1;
}

void RelayCycleTest::RlyOn(int n)
{
    RelayDeviceCommand(m_host, qint16(n / 4 + 1), qint16(1 << (2 * (n % 4) + 1)));
    m_host.Delay(std::clamp(delayEntry, 0, kDelays - 1));
}

void RelayCycleTest::RlyOff(int n)
{
    RelayDeviceCommand(m_host, qint16(n / 4 + 1), qint16(1 << (2 * (n % 4))));
    m_host.Delay(std::clamp(delayEntry, 0, kDelays - 1));
}

} // namespace tqdt::net

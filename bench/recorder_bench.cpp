// What a week of log costs to summarise (MB/s, peak memory), and what the recorder costs the box it
// runs on at the line's full rate (its own CPU time and memory, over a pseudo-terminal peer).
//
//   build/bench/recorder_bench                       # the summary and a 20 s recording
//   TQDT_RECORD_SECONDS=300 build/bench/recorder_bench --benchmark_filter=Recorder   # the long run
#include "network/LogSummary.h"
#include "ports/Pty.h"
#include "sim/Site.h"
#include "support/WeekLog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace tqdt;

namespace {

// The peak resident memory of this process, in kB.
long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// A week of the Blue channel, 200 MB by default (TQDT_SUMMARY_MB), summarised per iteration.
void BM_SummaryOfAWeek(benchmark::State& state)
{
    QTemporaryDir dir;
    const int mb =
        qEnvironmentVariableIsSet("TQDT_SUMMARY_MB") ? qEnvironmentVariableIntValue("TQDT_SUMMARY_MB") : 200;
    const test::WeekLog week = test::MakeWeekLog(dir.path(), mb);
    const long before = peakRssKb();
    for (auto _ : state) {
        net::LogSummary s;
        const QString problem = net::SummarizeLog({week.logPath}, s);
        if (!problem.isEmpty())
            state.SkipWithError(problem.toUtf8().constData());
        benchmark::DoNotOptimize(s.frames);
    }
    state.SetBytesProcessed(state.iterations() * week.bytes);
    state.counters["peak_rss_growth_kB"] = double(peakRssKb() - before);
    state.counters["log_MB"] = double(week.bytes) / 1e6;
}
BENCHMARK(BM_SummaryOfAWeek)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The recorder as it runs on site: tqdt-cli log record on a pseudo-terminal that gets 3,840 bytes
// a second. Counts the recorder's own user and system time, from /proc, over the run.
struct ProcStat {
    double cpuSeconds = 0;
    long rssKb = 0;
};
ProcStat procStat(qint64 pid)
{
    ProcStat s;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> f = stat.readAll().split(' ');
        if (f.size() > 24) {
            s.cpuSeconds = double(f[13].toLongLong() + f[14].toLongLong()) / double(sysconf(_SC_CLK_TCK));
            s.rssKb = f[23].toLong() * (sysconf(_SC_PAGESIZE) / 1024);
        }
    }
    return s;
}

void BM_RecorderAtFullRate(benchmark::State& state)
{
    const int seconds = qEnvironmentVariableIsSet("TQDT_RECORD_SECONDS")
                            ? qEnvironmentVariableIntValue("TQDT_RECORD_SECONDS")
                            : 20;
    auto site = sim::Site::builtIn();
    const QByteArray cycle = sim::otherMasterPattern(*site, Channel::Blue);
    for (auto _ : state) {
        PseudoTerminal pty;
        pty.makeRaw(38400);
        QTemporaryDir dir;
        QProcess cli;
        cli.start(TQDT_CLI_BIN,
                  {"log", "record", "--port", pty.slaveName(), "--channel", "blue", "--dir", dir.path()});
        cli.waitForStarted();
        QThread::msleep(500);
        const ProcStat start = procStat(cli.processId());
        long rssAfterTen = 0;
        QElapsedTimer t;
        t.start();
        QByteArray stream;
        qint64 sent = 0;
        // A tenth of a second at a time: 384 bytes.
        while (t.elapsed() < qint64(seconds) * 1000) {
            while (stream.size() < 384)
                stream += cycle;
            pty.write(stream.left(384));
            stream.remove(0, 384);
            sent += 384;
            if (rssAfterTen == 0 && t.elapsed() >= 10000)
                rssAfterTen = procStat(cli.processId()).rssKb;
            QThread::msleep(100);
        }
        const ProcStat end = procStat(cli.processId());
        const double wall = double(t.elapsed()) / 1000;
        ::kill(pid_t(cli.processId()), SIGTERM);
        cli.waitForFinished(10000);
        state.counters["cpu_percent_of_a_core"] = 100 * (end.cpuSeconds - start.cpuSeconds) / wall;
        state.counters["rss_kB_at_10s"] = double(rssAfterTen);
        state.counters["rss_kB_at_end"] = double(end.rssKb);
        state.counters["bytes_per_s"] = double(sent) / wall;
    }
}
BENCHMARK(BM_RecorderAtFullRate)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

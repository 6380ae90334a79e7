#include "support/RunCli.h"

#include "sim/PtyServer.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTextStream>

namespace tqdt::test {

CliRun RunCli(const QStringList& args, const CliOptions& options)
{
    const QString program = QStringLiteral(TQDT_CLI_BIN);
    QProcess p;
    QProcessEnvironment env = options.env;
    if (!options.home.isEmpty())
        env.insert(QStringLiteral("TQDT_HOME"), options.home);
    p.setProcessEnvironment(env);
    if (!options.workingDirectory.isEmpty())
        p.setWorkingDirectory(options.workingDirectory);
    p.start(program, args);
    if (!p.waitForStarted(30000))
        return {-1, {}, "did not start"};
    if (options.whileRunning) {
        QDeadlineTimer deadline(options.timeoutMs);
        while (p.state() == QProcess::Running && !deadline.hasExpired()) {
            if (options.whileRunning())
                break;
            p.waitForFinished(5);
        }
    }
    // waitForFinished is false for a program that has already ended.
    if (p.state() != QProcess::NotRunning && !p.waitForFinished(options.timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        return {-1, p.readAllStandardOutput(), "did not finish"};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

CliRun RunCliServed(sim::PtyServer& server, const QStringList& args, CliOptions options, const QString& port)
{
    if (!server.start())
        return {-1, {}, "the pseudo-terminal server did not start"};
    const CliRun r = RunCli(
        args + QStringList{QStringLiteral("--port"), port.isEmpty() ? server.portName() : port}, options);
    server.stop();
    return r;
}

CliText RunCliHere(const CliFamily& family, const QStringList& args)
{
    CliText r;
    QTextStream out(&r.out), err(&r.err);
    CliIo io(out, err);
    r.status = RunCliFamily(family, args, io);
    out.flush();
    err.flush();
    return r;
}

} // namespace tqdt::test

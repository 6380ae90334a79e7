#pragma once

#include "cli/CliCommand.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace tqdt::sim {
class PtyServer;
}

namespace tqdt::test {

// What one run of a command wrote and how it ended (-1 when it crashed or did not finish).
struct CliRun {
    int exitCode = -1;
    QByteArray out, err;
};

// The built tqdt-cli (TQDT_CLI_BIN) with ARGS, its settings under HOME when one is given, in ENV
// (the test's own environment unless given). WHILE_RUNNING, when given, is called every few
// milliseconds while the program runs, until it returns true: the place to cut the program's peer
// (pull its port) once it is at the point a test wants.
struct CliOptions {
    CliOptions(QString home = {}) : home(std::move(home)) {} // NOLINT: {dir.path()} reads well

    QString home;
    QString workingDirectory; // the test's own unless given
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    int timeoutMs = 120000;
    std::function<bool()> whileRunning;
};
CliRun RunCli(const QStringList& args, const CliOptions& options = {});

// The same, with the simulated installation served on SERVER for exactly as long as the program
// runs and "--port" naming it (or PORT, for a server in front of it).
CliRun RunCliServed(sim::PtyServer& server, const QStringList& args, CliOptions options = {},
                    const QString& port = {});

// A family in this process, for the commands that need neither a port nor fonts.
struct CliText {
    int status = -1;
    QString out, err;
};
CliText RunCliHere(const CliFamily& family, const QStringList& args);

} // namespace tqdt::test

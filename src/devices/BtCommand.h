#pragma once

#include "cli/CliCommand.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace tqdt {
class Host;
class SerialPort;
} // namespace tqdt

namespace tqdt::ws {

// "tqdt-cli bt ..." for a production bench:
//   configure --port PORT [--name NAME]
//       configures the G3 station's Bluetooth module behind PORT (an automatic name from the clock
//       when none is given; a name must start with "Tarvik") and prints "BTA=" + the address and
//       "Name=" + the name read back
//   test --port PORT --tester PORT2 --address BTA
//       the link test from the passthrough adapter on PORT2 to the module at BTA and back
// Exit status: 0 pass, 1 fail (one line on err naming the step or the direction), 2 bad usage.
struct BtInvocation {
    QString verb, port, tester, name;
    QByteArray address;
};
std::optional<BtInvocation> ParseBtCommand(const QStringList& args, QString& why);
// Runs a parsed command on a host whose main port is open and a tester port not yet opened.
int RunBtInvocation(Host& host, SerialPort& tester, int testerPort, const BtInvocation& inv, QTextStream& out,
                    QTextStream& err);

// The "bt" family of tqdt-cli.
CliFamily BtCommands();

} // namespace tqdt::ws

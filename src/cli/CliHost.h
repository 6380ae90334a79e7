#pragma once

#include "cli/CliCommand.h"
#include "host/Clock.h"
#include "host/Dialogs.h"
#include "host/Host.h"
#include "host/Paths.h"

#include <QString>
#include <QTextStream>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tqdt {

class DevicePort;

// Messages become lines on the error stream; a question, which a script cannot answer, is refused.
// A command that must know how it ends before it speaks (an upload's "Upload Complete" only once its
// file is written) holds the lines, drops the ones it replaces and prints the rest at the end.
class CliDialogs final : public Dialogs {
public:
    explicit CliDialogs(CliIo& io) : m_io(io) {}
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons,
                      MsgDefault defaultButton) override;
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    void showModal(Form&) override {}

    // A line of the command's own, printed in its turn with the messages.
    void line(const QString& text);
    void hold() { m_holding = true; }
    // Forgets the held lines with this title.
    void drop(const QString& title);
    // Forgets every held line.
    void dropAll() { m_held.clear(); }
    // Prints the held lines and stops holding.
    void release();

private:
    CliIo& m_io;
    bool m_holding = false;
    std::vector<std::pair<QString, QString>> m_held;
};

// The PC of a command-line transfer: the steady clock, messages on err, and the main port on PORT,
// which is "COMn" (mapped as the windows map it) or a device path.
struct CliHost {
    explicit CliHost(CliIo& io);
    ~CliHost();

    // The device PORT names: "COMn" mapped through the settings file's [Ports], anything else itself.
    QString deviceFor(const QString& port);
    // Another port of the command's (the Bluetooth tester's), watched as the main port is.
    DevicePort& addPort(const QString& port);

    CliIo& io;
    SteadyClock clock;
    CliDialogs dialogs;
    Paths paths;
    QString device;
    // PORT as the user gave it, with the device it maps to: "COM3 (/dev/ttyUSB2)".
    QString portName;
    std::unique_ptr<Host> host;
    // The main port, owned by the host; it knows whether its device went away.
    DevicePort* port = nullptr;
    // The other ports and how the user named them.
    std::vector<std::pair<std::unique_ptr<DevicePort>, QString>> others;
};

// Builds the host and opens its port once, so that a port that cannot be opened is named in one line
// ("Port Error: Unable To Open Port COM3 (/dev/ttyUSB2): why"); nullptr then. The port is left open
// with input length 0 and no receive events. PORT has passed the parser's check.
std::unique_ptr<CliHost> OpenCliHost(const QString& port, CliIo& io);

// Every command that talks to a device ends the same way. Opens PORT, holds the messages and runs
// BODY; then one verdict: a port that went away explains every failure after it, so it alone is
// reported ("Port Error: COM3 (/dev/ttyUSB2) went away during the transfer", exit 1); otherwise the
// held lines are printed and BODY's status returned. 1 when the port cannot be opened.
int RunOnPort(const QString& port, CliIo& io, const std::function<int(CliHost&)>& body);

} // namespace tqdt

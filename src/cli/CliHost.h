#pragma once

#include "host/Clock.h"
#include "host/Dialogs.h"
#include "host/Host.h"
#include "host/Paths.h"

#include <QString>
#include <QTextStream>

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
    explicit CliDialogs(QTextStream& err) : m_err(err) {}
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons,
                      MsgDefault defaultButton) override;
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    void showModal(Form&) override {}

    void hold() { m_holding = true; }
    // Forgets the held lines with this title.
    void drop(const QString& title);
    // Prints the held lines and stops holding.
    void release();

private:
    QTextStream& m_err;
    bool m_holding = false;
    std::vector<std::pair<QString, QString>> m_held;
};

// The PC of a command-line transfer: the steady clock, messages on err, and the main port on PORT,
// which is "COMn" (mapped as the windows map it) or a device path.
struct CliHost {
    explicit CliHost(QTextStream& err);

    SteadyClock clock;
    CliDialogs dialogs;
    Paths paths;
    QString device;
    // PORT as the user gave it, with the device it maps to: "COM3 (/dev/ttyUSB2)".
    QString portName;
    std::unique_ptr<Host> host;
    // The main port, owned by the host; it knows whether its device went away.
    DevicePort* port = nullptr;
};

// False, with a usage line on err, when PORT names no COM port the settings can hold (COM0,
// COM99999999999); the caller exits 2. Anything that is not "COMn" is taken as a device.
bool CliPortIsUsable(const QString& port, QTextStream& err);

// Builds the host and opens its port once, so that a port that cannot be opened is named in one line
// on err ("Port Error: Unable To Open Port COM3 (/dev/ttyUSB2): why"); nullptr then. The port is left
// open with input length 0 and no receive events.
std::unique_ptr<CliHost> OpenCliHost(const QString& port, QTextStream& err);

} // namespace tqdt

#pragma once

#include "shell/Clock.h"
#include "shell/Dialogs.h"
#include "shell/Host.h"
#include "shell/Paths.h"

#include <QString>
#include <QTextStream>

#include <memory>

namespace tqdt {

// Messages become lines on the error stream; a question, which a script cannot answer, is refused.
class CliDialogs final : public Dialogs {
public:
    explicit CliDialogs(QTextStream& err) : m_err(err) {}
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    void showModal(Form&) override {}

private:
    QTextStream& m_err;
};

// The PC of a command-line transfer: the steady clock, messages on err, and the main port on PORT,
// which is "COMn" (mapped as the windows map it) or a device path.
struct CliHost {
    explicit CliHost(QTextStream& err);

    SteadyClock clock;
    CliDialogs dialogs;
    Paths paths;
    QString device;
    std::unique_ptr<Host> host;
};

// Builds the host and opens its port once, so that a port that cannot be opened is named in one line
// on err ("Port Error: Unable To Open Port COM3 (/dev/ttyUSB2): why"); nullptr then. The port is left
// open with input length 0 and no receive events.
std::unique_ptr<CliHost> OpenCliHost(const QString& port, QTextStream& err);

} // namespace tqdt

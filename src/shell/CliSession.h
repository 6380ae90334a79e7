#pragma once

#include "shell/Clock.h"
#include "shell/Dialogs.h"
#include "shell/Host.h"
#include "shell/Paths.h"

#include <QTextStream>

#include <memory>

namespace tqdt {

// For tqdt-cli: messages become lines on the error stream; a question, which a script cannot
// answer, is refused.
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

// A host for one command line on the port PORT ("COMn", mapped as the windows map it, or a device
// path), with its main port open, input length and receive threshold at 0.
struct CliSession {
    explicit CliSession(QTextStream& err) : dialogs(err) {}
    SteadyClock clock;
    CliDialogs dialogs;
    Paths paths;
    QString device;
    std::unique_ptr<Host> host;
};
// Null after one line on err that names the port (and its device) and why it did not open.
std::unique_ptr<CliSession> OpenCliSession(const QString& port, QTextStream& err);

} // namespace tqdt

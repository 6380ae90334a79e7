#pragma once

#include "shell/Clock.h"
#include "shell/Host.h"

#include <QTextStream>

#include <memory>

namespace tqdt {

// The technician's PC for one tqdt-cli run on a real port: the steady clock, message boxes as
// lines on the error stream (a question, which a script cannot answer, is refused).
class CliHost {
public:
    explicit CliHost(QTextStream& err);
    ~CliHost();

    // Opens PORT, "COMn" mapped as the windows map it or a device path, with input length 0 and
    // no receive events. On failure writes one line naming the port and returns false.
    bool open(const QString& port);
    Host& host() { return *m_host; }

private:
    QTextStream& m_err;
    SteadyClock m_clock;
    std::unique_ptr<Dialogs> m_dialogs;
    Paths m_paths;
    QString m_device;
    std::unique_ptr<Host> m_host;
};

} // namespace tqdt

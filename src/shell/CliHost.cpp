#include "shell/CliHost.h"

#include "shell/DevicePort.h"
#include "shell/Settings.h"

#include <QRegularExpression>

namespace tqdt {

MsgAnswer CliDialogs::message(const QString& text, const QString& title, MsgIcon, MsgButtons buttons)
{
    m_err << "tqdt-cli: " << title << ": " << QString(text).replace(QLatin1String("\r\n"), QLatin1String(" "))
          << Qt::endl;
    switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgAnswer::No;
    default: return MsgAnswer::Cancel;
    }
}

CliHost::CliHost(QTextStream& err) : dialogs(err) {}

std::unique_ptr<CliHost> OpenCliHost(const QString& port, QTextStream& err)
{
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]*)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto m = comName.match(port);
    auto cli = std::make_unique<CliHost>(err);
    const int commPort = m.hasMatch() ? m.captured(1).toInt() : 1;
    cli->device = m.hasMatch() ? ComDevice(cli->paths, commPort) : port;
    const QString device = cli->device;
    cli->host = std::make_unique<Host>(cli->clock, cli->dialogs, cli->paths, [device] {
        return std::make_unique<DevicePort>([device](int) { return device; });
    });
    Host& host = *cli->host;
    host.settings.DTComPort = qint16(commPort);
    // Opened here rather than by the windows' routine, so that the one line can name the device.
    host.comQV().setCommPort(commPort);
    if (QString why; !host.comQV().open(&why)) {
        err << "tqdt-cli: Port Error: Unable To Open Port " << port;
        if (device != port)
            err << " (" << device << ")";
        err << ": " << why << Qt::endl;
        return nullptr;
    }
    host.comQV().setInputLen(0);
    host.comQV().setRThreshold(0);
    return cli;
}

} // namespace tqdt

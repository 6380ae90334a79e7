#include "cli/CliHost.h"

#include "documents/Settings.h"
#include "ports/DevicePort.h"

#include <QRegularExpression>

#include <limits>

namespace tqdt {

MsgAnswer CliDialogs::message(const QString& text, const QString& title, MsgIcon, MsgButtons buttons)
{
    m_held.push_back({title, QString(text).replace(QLatin1String("\r\n"), QLatin1String(" "))});
    if (!m_holding)
        release();
    switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo:
    case MsgButtons::YesNoCancel: return MsgAnswer::No;
    default: return MsgAnswer::Cancel;
    }
}

void CliDialogs::drop(const QString& title)
{
    std::erase_if(m_held, [&](const auto& line) { return line.first == title; });
}

void CliDialogs::release()
{
    for (const auto& [title, text] : m_held)
        m_err << "tqdt-cli: " << title << ": " << text << Qt::endl;
    m_held.clear();
    m_holding = false;
}

CliHost::CliHost(QTextStream& err) : dialogs(err) {}

namespace {

const QRegularExpression& comName()
{
    static const QRegularExpression re(QStringLiteral("^COM([0-9]+)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// The COM number PORT names, 0 when it is not "COMn", -1 when no settings file can hold it.
int comNumber(const QString& port)
{
    const auto m = comName().match(port);
    if (!m.hasMatch())
        return 0;
    bool ok = false;
    const int n = m.captured(1).toInt(&ok);
    return ok && n >= 1 && n <= std::numeric_limits<qint16>::max() ? n : -1;
}

} // namespace

bool CliPortIsUsable(const QString& port, QTextStream& err)
{
    if (comNumber(port) >= 0)
        return true;
    err << "tqdt-cli: usage: " << port << " is not a port: COM1 to COM" << std::numeric_limits<qint16>::max()
        << ", or a device path" << Qt::endl;
    return false;
}

std::unique_ptr<CliHost> OpenCliHost(const QString& port, QTextStream& err)
{
    if (!CliPortIsUsable(port, err))
        return nullptr;
    const int com = comNumber(port);
    auto cli = std::make_unique<CliHost>(err);
    const int commPort = com > 0 ? com : 1;
    cli->device = com > 0 ? ComDevice(cli->paths, commPort) : port;
    cli->portName = port + (cli->device != port ? QStringLiteral(" (") + cli->device + ')' : QString());
    const QString device = cli->device;
    CliHost* owner = cli.get();
    cli->host = std::make_unique<Host>(cli->clock, cli->dialogs, cli->paths, [device, owner] {
        auto p = std::make_unique<DevicePort>([device](int) { return device; });
        if (!owner->port) // the first port the host makes is its main port
            owner->port = p.get();
        return p;
    });
    Host& host = *cli->host;
    host.settings.DTComPort = qint16(commPort);
    // Opened here rather than by the windows' routine, so that the one line can name the device.
    host.comQV().setCommPort(commPort);
    if (QString why; !host.comQV().open(&why)) {
        err << "tqdt-cli: Port Error: Unable To Open Port " << cli->portName << ": " << why << Qt::endl;
        return nullptr;
    }
    host.comQV().setInputLen(0);
    host.comQV().setRThreshold(0);
    return cli;
}

} // namespace tqdt

#include "cli/CliHost.h"

#include "documents/Settings.h"
#include "ports/DevicePort.h"

#include <QFile>

namespace tqdt {

MsgAnswer CliDialogs::message(const QString& text, const QString& title, MsgIcon, MsgButtons buttons,
                              MsgDefault)
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

void CliDialogs::line(const QString& text)
{
    m_held.push_back({QString(), text});
    if (!m_holding)
        release();
}

void CliDialogs::drop(const QString& title)
{
    std::erase_if(m_held, [&](const auto& line) { return !line.first.isEmpty() && line.first == title; });
}

void CliDialogs::release()
{
    for (const auto& [title, text] : m_held)
        m_io.say(title.isEmpty() ? text : title + QStringLiteral(": ") + text);
    m_held.clear();
    m_holding = false;
}

CliHost::CliHost(CliIo& io) : io(io), dialogs(io) {}

CliHost::~CliHost() = default;

QString CliHost::deviceFor(const QString& port)
{
    const std::optional<int> com = CliComNumber(port);
    return com ? ComDevice(paths, *com) : port;
}

DevicePort& CliHost::addPort(const QString& port)
{
    const QString d = deviceFor(port);
    others.emplace_back(std::make_unique<DevicePort>([d](int) { return d; }), port);
    return *others.back().first;
}

std::unique_ptr<CliHost> OpenCliHost(const QString& port, CliIo& io)
{
    const int com = CliComNumber(port).value_or(0);
    auto cli = std::make_unique<CliHost>(io);
    const int commPort = com > 0 ? com : 1;
    cli->device = cli->deviceFor(port);
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
        io.say(QStringLiteral("Port Error: Unable To Open Port ") + cli->portName + QStringLiteral(": ") +
               why);
        return nullptr;
    }
    host.comQV().setInputLen(0);
    host.comQV().setRThreshold(0);
    return cli;
}

namespace {

// A port went away when it says so, or when the device node it was opened on is gone (a pulled
// adapter, a pseudo-terminal whose far side closed) even if no call after that noticed.
bool wentAway(const DevicePort& port, const QString& device, bool existed)
{
    return port.vanished() || (existed && !QFile::exists(device));
}

bool isNode(const QString& device) { return device.startsWith(QLatin1Char('/')) && QFile::exists(device); }

} // namespace

int RunOnPort(const QString& port, CliIo& io, const std::function<int(CliHost&)>& body)
{
    const auto cli = OpenCliHost(port, io);
    if (!cli)
        return 1;
    const bool node = isNode(cli->device);
    cli->dialogs.hold();
    const int status = body(*cli);
    QString gone;
    if (cli->port && wentAway(*cli->port, cli->device, node))
        gone = cli->portName;
    for (const auto& [other, name] : cli->others)
        if (gone.isEmpty() && other->vanished())
            gone = name;
    if (!gone.isEmpty()) {
        cli->dialogs.dropAll();
        io.say(QStringLiteral("Port Error: ") + gone + QStringLiteral(" went away during the transfer"));
        return 1;
    }
    cli->dialogs.release();
    return status;
}

} // namespace tqdt

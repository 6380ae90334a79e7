#include "shell/CliSession.h"

#include "shell/QtSerialPort.h"
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

std::unique_ptr<CliSession> OpenCliSession(const QString& port, QTextStream& err)
{
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]*)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto m = comName.match(port);
    auto s = std::make_unique<CliSession>(err);
    const int commPort = m.hasMatch() ? m.captured(1).toInt() : 1;
    s->device = m.hasMatch() ? ComDevice(s->paths, commPort) : port;
    CliSession* raw = s.get();
    s->host = std::make_unique<Host>(s->clock, s->dialogs, s->paths, [raw] {
        return std::make_unique<QtSerialPort>([raw](int) { return raw->device; });
    });
    Host& host = *s->host;
    host.settings.DTComPort = qint16(commPort);
    // Opened here rather than by the windows' routine, so that the one line can name the device.
    host.comQV().setCommPort(commPort);
    if (QString why; !host.comQV().open(&why)) {
        err << "tqdt-cli: Port Error: Unable To Open Port " << port;
        if (s->device != port)
            err << " (" << s->device << ")";
        err << ": " << why << Qt::endl;
        return nullptr;
    }
    host.comQV().setInputLen(0);
    host.comQV().setRThreshold(0);
    return s;
}

} // namespace tqdt

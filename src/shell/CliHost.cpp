#include "shell/CliHost.h"

#include "shell/QtSerialPort.h"
#include "shell/Settings.h"

#include <QRegularExpression>

namespace tqdt {

namespace {

class CliDialogs final : public Dialogs {
public:
    explicit CliDialogs(QTextStream& err) : m_err(err) {}
    MsgAnswer message(const QString& text, const QString& title, MsgIcon, MsgButtons buttons) override
    {
        m_err << "tqdt-cli: " << title << ": "
              << QString(text).replace(QLatin1String("\r\n"), QLatin1String(" ")) << Qt::endl;
        switch (buttons) {
        case MsgButtons::Ok: return MsgAnswer::Ok;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel: return MsgAnswer::No;
        default: return MsgAnswer::Cancel;
        }
    }
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    void showModal(Form&) override {}

private:
    QTextStream& m_err;
};

} // namespace

CliHost::CliHost(QTextStream& err)
    : m_err(err), m_dialogs(std::make_unique<CliDialogs>(err)),
      m_host(std::make_unique<Host>(m_clock, *m_dialogs, m_paths, [this] {
          return std::make_unique<QtSerialPort>([this](int) { return m_device; });
      }))
{
}

CliHost::~CliHost() = default;

bool CliHost::open(const QString& port)
{
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]*)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto m = comName.match(port);
    const int commPort = m.hasMatch() ? m.captured(1).toInt() : 1;
    m_device = m.hasMatch() ? ComDevice(m_paths, commPort) : port;
    m_host->settings.DTComPort = qint16(commPort);
    // Opened here rather than by the windows' routine, so that the one line can name the device.
    SerialPort& p = m_host->comQV();
    p.setCommPort(commPort);
    if (QString why; !p.open(&why)) {
        m_err << "tqdt-cli: Port Error: Unable To Open Port " << port;
        if (m_device != port)
            m_err << " (" << m_device << ")";
        m_err << ": " << why << Qt::endl;
        return false;
    }
    p.setInputLen(0);
    p.setRThreshold(0);
    return true;
}

} // namespace tqdt

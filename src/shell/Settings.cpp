#include "shell/Settings.h"

#include "shell/BusLink.h"
#include "shell/Host.h"
#include "shell/PrivateProfile.h"

#include <QDir>

namespace tqdt {

namespace {
const QString kSection = QStringLiteral("Settings");
const QString kDtKey = QStringLiteral("DT Com Port");
const QString kBtKey = QStringLiteral("BT Com Port");

bool writeKey(Host& host, const QString& key, qint16 value)
{
    return WritePrivateProfileStringA(kSection, key, QString::number(value), host.paths().settingsFile());
}
} // namespace

bool EnsureDataFolder(Host& host)
{
    const QString folder = host.paths().dataFolder();
    if (FolderExists(folder))
        return true;
    return QDir().mkpath(folder);
}

bool LoadSettings(Host& host)
{
    const QString file = host.paths().settingsFile();
    host.settings.DTComPort = qint16(GetPrivateProfileIntA(kSection, kDtKey, 1, file));
    const bool dt = writeKey(host, kDtKey, host.settings.DTComPort);
    host.settings.BTComPort = qint16(GetPrivateProfileIntA(kSection, kBtKey, 1, file));
    const bool bt = writeKey(host, kBtKey, host.settings.BTComPort);
    return dt && bt;
}

bool SaveSettings(Host& host)
{
    const bool dt = writeKey(host, kDtKey, host.settings.DTComPort);
    const bool bt = writeKey(host, kBtKey, host.settings.BTComPort);
    return dt && bt;
}

bool OpenPort(Host& host)
{
    host.comQV().setCommPort(host.settings.DTComPort);
    return OpenPort(host, host.comQV());
}

bool OpenPort(Host& host, SerialPort& port)
{
    if (!port.open()) {
        host.dialogs().message(QStringLiteral("Unable To Open Port"), QStringLiteral("Port Error"),
                               MsgIcon::Critical);
        return false;
    }
    return true;
}

void ClosePort(Host& host) { host.comQV().close(); }

void SelectBlueChannel(Host& host) { BusLink(host).select(Channel::Blue); }
void SelectBrownChannel(Host& host) { BusLink(host).select(Channel::Brown); }

QString ComDevice(const Paths& paths, int commPort)
{
    const QString name = QStringLiteral("COM%1").arg(commPort);
#ifdef Q_OS_WIN
    const QString fallback = name;
#else
    const QString fallback = QStringLiteral("/dev/ttyUSB%1").arg(commPort - 1);
#endif
    // A line in "Ports" wins everywhere: it may name a device server (rfc2217://HOST:PORT). An
    // empty one is a mapping taken away.
    const QString mapped =
        GetPrivateProfileStringA(QStringLiteral("Ports"), name, QString(), paths.settingsFile()).trimmed();
    return mapped.isEmpty() ? fallback : mapped;
}

} // namespace tqdt

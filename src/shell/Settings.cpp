#include "shell/Settings.h"

#include "shell/Host.h"
#include "shell/PrivateProfile.h"

#include <QDir>

namespace tqdt {

namespace {
const QString kSection = QStringLiteral("Settings");
const QString kDtKey = QStringLiteral("DT Com Port");
const QString kBtKey = QStringLiteral("BT Com Port");

void writeKey(Host& host, const QString& key, qint16 value)
{
    WritePrivateProfileStringA(kSection, key, QString::number(value), host.paths().settingsFile());
}
} // namespace

bool EnsureDataFolder(Host& host)
{
    const QString folder = host.paths().dataFolder();
    if (FolderExists(folder))
        return true;
    return QDir().mkpath(folder);
}

void LoadSettings(Host& host)
{
    const QString file = host.paths().settingsFile();
    host.settings.DTComPort = qint16(GetPrivateProfileIntA(kSection, kDtKey, 1, file));
    writeKey(host, kDtKey, host.settings.DTComPort);
    host.settings.BTComPort = qint16(GetPrivateProfileIntA(kSection, kBtKey, 1, file));
    writeKey(host, kBtKey, host.settings.BTComPort);
}

void SaveSettings(Host& host)
{
    writeKey(host, kDtKey, host.settings.DTComPort);
    writeKey(host, kBtKey, host.settings.BTComPort);
}

bool OpenPort(Host& host)
{
    SerialPort& port = host.comQV();
    port.setCommPort(host.settings.DTComPort);
    if (!port.open()) {
        host.dialogs().message(QStringLiteral("Unable To Open Port"), QStringLiteral("Port Error"),
                               MsgIcon::Critical);
        return false;
    }
    return true;
}

void ClosePort(Host& host) { host.comQV().close(); }

void SelectBlueChannel(Host& host) { host.comQV().setDtr(false); }
void SelectBrownChannel(Host& host) { host.comQV().setDtr(true); }

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

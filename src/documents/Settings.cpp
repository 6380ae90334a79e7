#include "documents/Settings.h"

#include "documents/PrivateProfile.h"
#include "host/Host.h"
#include "host/Paths.h"

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

} // namespace tqdt

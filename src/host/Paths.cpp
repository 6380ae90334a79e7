#include "host/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace tqdt {

namespace {
QString defaultRoot()
{
    const QByteArray env = qgetenv("TQDT_HOME");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
#ifdef Q_OS_WIN
    return QStringLiteral("C:/");
#else
    return QDir::homePath();
#endif
}
} // namespace

Paths::Paths() : m_root(defaultRoot()) {}
Paths::Paths(QString root) : m_root(std::move(root)) {}

QString Paths::dataFolder() const { return sibling(QStringLiteral("Tarvik Quorvel")); }

QString Paths::settingsFile() const
{
    return QDir(dataFolder()).filePath(QStringLiteral("DiagnosticTool.ini"));
}

QString Paths::sibling(const QString& name) const { return QDir(m_root).filePath(name); }

qint16 FolderExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isDir() ? 1 : 0;
}

} // namespace tqdt

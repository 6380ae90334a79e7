#include "ports/PortAccess.h"

#include <QFileInfo>

namespace tqdt {

namespace {

const QString kAdviceStart = QStringLiteral("add your user to the group ");

} // namespace

QString PortAccessAdvice(const QString& device)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const QFileInfo node(device);
    if (!node.exists() || (node.isReadable() && node.isWritable()))
        return {}; // gone, or refused for another reason (another program holds it)
    const QString group = node.group();
    if (group.isEmpty() || group == QStringLiteral("root"))
        return {};
    return kAdviceStart + group + QStringLiteral(" and log in again");
#else
    Q_UNUSED(device);
    return {};
#endif
}

QString AdviceOf(const QString& reason)
{
    const qsizetype at = reason.indexOf(QStringLiteral(": ") + kAdviceStart);
    return at < 0 ? QString() : reason.mid(at + 2);
}

} // namespace tqdt

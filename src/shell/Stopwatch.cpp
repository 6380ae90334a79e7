#include "shell/Stopwatch.h"

#include <QFileInfo>

namespace tqdt {

qint16 FolderExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isDir() ? 1 : 0;
}

qint32 DxStrToArray(const QByteArray& text, CodeArray& codes)
{
    const qsizetype n = text.size();
    const qsizetype fill = std::min<qsizetype>(n, kCodeArraySize);
    for (qsizetype i = 0; i < fill; ++i)
        codes[size_t(i)] = qint16(static_cast<unsigned char>(text[i]));
    return qint32(n);
}

} // namespace tqdt

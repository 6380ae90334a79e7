#include "network/DataLog.h"

#include <QDir>
#include <QFileInfo>

namespace tqdt {

namespace {
// Enough for any number of logs a technician starts within one second.
constexpr int kMaxNumberedNames = 9999;
} // namespace

DataLog::~DataLog() { Close(); }

QString DataLog::FileName(Channel channel, const QDateTime& at)
{
    const QString chan =
        channel == Channel::Blue ? QStringLiteral("BlueChan ") : QStringLiteral("BrownChan ");
    return QStringLiteral("DataLog ") + chan +
           at.toString(QStringLiteral(" 'Date' yyyy-MM-dd 'Time' HH_mm_ss")) + QStringLiteral(".TXT");
}

QString DataLog::NumberedName(const QString& name, int n)
{
    if (n <= 1)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString suffix = QStringLiteral(" (%1)").arg(n);
    return dot < 0 ? name + suffix : name.left(dot) + suffix + name.mid(dot);
}

bool DataLog::Open(const QString& folder, const QString& name, QString* error)
{
    Close();
    m_len = 0;
    m_blocks = 0;
    const QDir dir(folder);
    for (int n = 1; n <= kMaxNumberedNames; ++n) {
        const QString candidate = dir.filePath(NumberedName(name, n));
        if (QFileInfo::exists(candidate))
            continue;
        m_file.setFileName(candidate);
        // NewOnly: a file that appeared since the check above is never opened over. Unbuffered:
        // every block reaches the system in its one write, so a crash loses no written block.
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        if (!QFileInfo::exists(candidate)) {
            if (error)
                *error = m_file.errorString();
            return false;
        }
    }
    if (error)
        *error = QStringLiteral("Every numbered name is taken");
    return false;
}

bool DataLog::writeBlock(int len) { return m_file.write(m_buf.data(), len) == len; }

DataLog::Added DataLog::Add(char byte)
{
    if (!isOpen())
        return Added::WriteFailed;
    m_buf[size_t(m_len)] = byte;
    if (++m_len < kBlockBytes)
        return Added::Buffered;
    m_len = 0;
    if (!writeBlock(kBlockBytes))
        return Added::WriteFailed;
    m_blocks = (m_blocks + 1) % kBlockCountWrap;
    return Added::BlockWritten;
}

bool DataLog::Close()
{
    if (!isOpen())
        return true;
    const bool ok = m_len == 0 || writeBlock(m_len);
    m_len = 0;
    m_file.close();
    return ok;
}

} // namespace tqdt

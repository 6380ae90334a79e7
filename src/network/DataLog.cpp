#include "network/DataLog.h"

#include "host/Clock.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tqdt::net {

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

namespace {
QString beforeExtension(const QString& name, const QString& suffix)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name + suffix : name.left(dot) + suffix + name.mid(dot);
}
} // namespace

QString DataLog::NumberedName(const QString& name, int n)
{
    if (n <= 1)
        return name;
    return beforeExtension(name, QStringLiteral(" (%1)").arg(n));
}

QString DataLog::PartName(const QString& name, int n)
{
    return beforeExtension(name, QStringLiteral(" (part %1)").arg(n));
}

void DataLog::setRotation(const Rotation& rotation, const Clock* clock)
{
    m_rotation = rotation;
    m_rotation.sizeBytes =
        (std::max<qint64>(rotation.sizeBytes, 1) + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
    m_clock = clock;
    if (m_rotation.mode == Rotation::Mode::Daily && !m_clock)
        m_rotation.mode = Rotation::Mode::Off;
}

bool DataLog::openNew(const QString& path)
{
    m_file.setFileName(path);
    // NewOnly: a file that appeared since it was looked for is never opened over. Unbuffered:
    // every block reaches the system in its one write, so a crash loses no written block.
    return m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
}

bool DataLog::Open(const QString& folder, const QString& name, QString* error)
{
    Close();
    m_len = 0;
    m_blocks = 0;
    m_part = 0;
    m_fileBytes = 0;
    m_parts.clear();
    const bool rotating = m_rotation.mode != Rotation::Mode::Off;
    const QDir dir(folder);
    for (int n = 1; n <= kMaxNumberedNames; ++n) {
        const QString base = dir.filePath(NumberedName(name, n));
        const QString candidate = rotating ? PartName(base, 1) : base;
        if (QFileInfo::exists(candidate))
            continue;
        if (openNew(candidate)) {
            if (rotating) {
                m_base = base;
                m_part = 1;
                m_parts.push_back(candidate);
                if (m_clock)
                    m_day = m_clock->localDateTime().date();
            }
            return true;
        }
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

bool DataLog::writeBlock(int len)
{
    if (m_file.write(m_buf.data(), len) != len)
        return false;
    m_fileBytes += len;
    return true;
}

bool DataLog::rotationDue() const
{
    if (m_fileBytes == 0)
        return false; // a part always gets at least one block
    switch (m_rotation.mode) {
    case Rotation::Mode::Off: return false;
    case Rotation::Mode::BySize: return m_fileBytes + kBlockBytes > m_rotation.sizeBytes;
    case Rotation::Mode::Daily: return m_clock->localDateTime().date() != m_day;
    }
    return false;
}

bool DataLog::openNextPart()
{
    m_file.close();
    // A name already taken (a copy left from an earlier week) is stepped over, never written into.
    int next = m_part + 1;
    while (!openNew(PartName(m_base, next))) {
        if (!QFileInfo::exists(PartName(m_base, next)) || next - m_part > kMaxNumberedNames)
            return false;
        ++next;
    }
    m_part = next;
    m_fileBytes = 0;
    if (m_clock)
        m_day = m_clock->localDateTime().date();
    m_parts.push_back(m_file.fileName());
    // Only the parts this log wrote are candidates, so another log is never touched.
    while (m_rotation.keep > 0 && int(m_parts.size()) > m_rotation.keep) {
        QFile::remove(m_parts.front());
        m_parts.pop_front();
    }
    return true;
}

DataLog::Added DataLog::Add(char byte)
{
    if (!isOpen())
        return Added::WriteFailed;
    m_buf[size_t(m_len)] = byte;
    if (++m_len < kBlockBytes)
        return Added::Buffered;
    m_len = 0;
    // The next part starts between two blocks, so no byte is split from its neighbours or lost.
    if (rotationDue() && !openNextPart())
        return Added::WriteFailed;
    if (!writeBlock(kBlockBytes))
        return Added::WriteFailed;
    m_blocks = (m_blocks + 1) % kBlockCountWrap;
    return Added::BlockWritten;
}

bool DataLog::Close()
{
    if (!isOpen())
        return true;
    // A full part takes no more: the bytes of the last block open the next one.
    const bool ok = m_len == 0 || ((!rotationDue() || openNextPart()) && writeBlock(m_len));
    m_len = 0;
    m_file.close();
    return ok;
}

} // namespace tqdt::net

#include "dmx/DmxMap.h"
#include "bus/ProgramChecksum.h"

#include "documents/SafeFile.h"

namespace tqdt::dmx {

namespace {
qint16 readLe16(const QByteArray& b, int at) { return qint16(quint8(b[at]) | (quint8(b[at + 1]) << 8)); }
} // namespace

QString PointName(int point)
{
    return QStringLiteral("D:%1.%2").arg(point / 4 + 1, 2, 16, QLatin1Char('0')).arg(point % 4 + 1).toUpper();
}

void DmxMap::ResetDmxMap()
{
    std::fill(cells.begin(), cells.begin() + kChannels, kNotMapped);
    cells[kAddressCell] = 0;
    cells[kRangeCell] = 0;
}

int DmxMap::pointOf(int i) const
{
    // The range is not consulted: a channel beyond the gateway's points still shows where it points.
    const int m = firstPoint() + channel(i);
    return m >= 0 && m < kPoints ? m : -1;
}

QString DmxMap::channelText(int i) const
{
    const int m = pointOf(i);
    return m < 0 ? QStringLiteral("-") : PointName(m);
}

QByteArray QdmBytes(const DmxMap& map)
{
    QByteArray b(kQdmSize, '\0');
    for (int i = 0; i < kCells; ++i) {
        b[2 * i] = char(quint16(map.cells[size_t(i)]) & 0xFF);
        b[2 * i + 1] = char(quint16(map.cells[size_t(i)]) >> 8);
    }
    return b;
}

QString QdmParse(const QByteArray& bytes, DmxMap& map)
{
    if (bytes.size() != kQdmSize)
        return QStringLiteral("The file holds %1 bytes; a DMX map holds %2.").arg(bytes.size()).arg(kQdmSize);
    std::array<qint16, kCells> cells{};
    for (int i = 0; i < kCells; ++i)
        cells[size_t(i)] = readLe16(bytes, 2 * i);
    for (int i = 0; i < kChannels; ++i) {
        const qint16 v = cells[size_t(i)];
        if ((v < 0 || v >= kPoints) && v != kNotMapped)
            return QStringLiteral("DMX channel %1 holds %2; a channel holds 0 to 63, or 255 when not mapped.")
                .arg(i + 1)
                .arg(v);
    }
    for (const auto& [cell, what] : {std::pair{kAddressCell, "device address"}, {kRangeCell, "device range"}})
        if (cells[size_t(cell)] < 0 || cells[size_t(cell)] >= kListEntries)
            return QStringLiteral("The %1 holds %2; it holds 0 to 15.")
                .arg(QLatin1String(what))
                .arg(cells[size_t(cell)]);
    map.cells = cells;
    return {};
}

FileResult QdmRead(const QString& path, DmxMap& map)
{
    QByteArray bytes;
    if (const FileResult r = ReadDocumentFile(path, kQdmSize, QStringLiteral("a DMX map"), bytes); !r)
        return r;
    if (const QString problem = QdmParse(bytes, map); !problem.isEmpty())
        return FileResult::failed(path, problem);
    return FileResult::done(path);
}

FileResult QdmWrite(const QString& path, const DmxMap& map) { return SaveDocumentFile(path, QdmBytes(map)); }

QByteArray DmxChecksum(const DmxMap& map)
{
    // The gateway folds each channel into its register once, the way the module download does.
    ProgramChecksum sum;
    for (int i = 0; i < kChannels; ++i)
        sum.add(quint8(map.channel(i)));
    return sum.text();
}

QByteArray PatchCsv(const DmxMap& map)
{
    QByteArray csv = "Channel,Point\r\n";
    for (int i = 0; i < kChannels; ++i) {
        const int m = map.pointOf(i);
        csv += QByteArray::number(i + 1) + ',' + (m < 0 ? QByteArray() : PointName(m).toLatin1()) + "\r\n";
    }
    return csv;
}

FileResult PatchCsvWrite(const QString& path, const DmxMap& map)
{
    return SaveDocumentFile(path, PatchCsv(map));
}

} // namespace tqdt::dmx

#include "ui/network/FrameTable.h"

#include <QBrush>
#include <QColor>

namespace tqdt::net {

FrameTableModel::FrameTableModel(const FrameCapture& capture, QObject* parent)
    : QAbstractTableModel(parent), m_capture(capture)
{
}

int FrameTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FrameTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FrameTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Time: return QStringLiteral("Time (s)");
    case Delta: return QStringLiteral("\u0394t (ms)");
    case Chan: return QStringLiteral("Channel");
    case Raw: return m_hex ? QStringLiteral("Raw (hex)") : QStringLiteral("Raw");
    case Check: return QStringLiteral("Checksum");
    case Meaning: return QStringLiteral("Meaning");
    default: return {};
    }
}

QVariant FrameTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const quint64 n = m_rows[size_t(index.row())];
    if (!m_capture.holds(n))
        return {};
    const BusFrame& f = m_capture.at(n);
    if (role == Qt::BackgroundRole && index.column() == Check) {
        if (f.checksum == BusFrame::Mark::Ok)
            return QBrush(QColor(0xC8, 0xF0, 0xC8));
        if (f.checksum == BusFrame::Mark::Bad)
            return QBrush(QColor(0xFF, 0xB4, 0xB4));
        return {};
    }
    if (role == Qt::TextAlignmentRole && (index.column() == Time || index.column() == Delta))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Time: return f.timeMs < 0 ? QString() : QString::number(double(f.timeMs) / 1000.0, 'f', 3);
    case Delta: {
        if (index.row() == 0 || f.timeMs < 0)
            return QString();
        const quint64 before = m_rows[size_t(index.row() - 1)];
        if (!m_capture.holds(before) || m_capture.at(before).timeMs < 0)
            return QString();
        return QString::number(f.timeMs - m_capture.at(before).timeMs);
    }
    case Chan:
        return f.channel == 0 ? QStringLiteral("Blue") : f.channel == 1 ? QStringLiteral("Brown") : QString();
    case Raw: return m_hex ? FrameHex(f.raw) : FrameText(f.raw);
    case Check: return ChecksumWord(f.checksum);
    case Meaning: return FrameMeaning(f);
    default: return {};
    }
}

void FrameTableModel::refresh()
{
    // Rows whose frames the ring has let go leave from the top.
    size_t gone = 0;
    while (gone < m_rows.size() && !m_capture.holds(m_rows[gone]))
        ++gone;
    if (gone > 0) {
        beginRemoveRows({}, 0, int(gone) - 1);
        m_rows.erase(m_rows.begin(), m_rows.begin() + qsizetype(gone));
        endRemoveRows();
    }
    const quint64 from = std::max(m_seen + 1, m_capture.first());
    std::vector<quint64> fresh;
    for (quint64 i = from; i <= m_capture.last(); ++i)
        if (m_filter.matches(m_capture.at(i)))
            fresh.push_back(i);
    m_seen = m_capture.last();
    if (fresh.empty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + fresh.size()) - 1);
    m_rows.insert(m_rows.end(), fresh.begin(), fresh.end());
    endInsertRows();
}

void FrameTableModel::setFilter(const FrameFilter& filter)
{
    beginResetModel();
    m_filter = filter;
    m_rows.clear();
    for (quint64 i = m_capture.first(); i <= m_capture.last() && i > 0; ++i)
        if (m_filter.matches(m_capture.at(i)))
            m_rows.push_back(i);
    m_seen = m_capture.last();
    endResetModel();
}

void FrameTableModel::setHex(bool hex)
{
    if (hex == m_hex)
        return;
    m_hex = hex;
    emit headerDataChanged(Qt::Horizontal, Raw, Raw);
    if (!m_rows.empty())
        emit dataChanged(index(0, Raw), index(int(m_rows.size()) - 1, Raw));
}

} // namespace tqdt::net

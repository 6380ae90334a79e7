#pragma once

#include "network/FrameCapture.h"

#include <QAbstractTableModel>

#include <deque>

namespace tqdt::net {

// The details table of a monitor over its capture: the rows that pass the filter, appended as the
// capture grows and dropped as the ring lets frames go. Only visible cells are ever formatted, so a
// table of a hundred thousand frames costs no more per refresh than the new ones.
class FrameTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Delta, Chan, Raw, Check, Meaning, ColumnCount };

    explicit FrameTableModel(const FrameCapture& capture, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes in what the capture gained and drops what it let go since the last call.
    void refresh();
    void setFilter(const FrameFilter& filter);
    const FrameFilter& filter() const { return m_filter; }
    void setHex(bool hex);

    // The capture's numbers of the rows shown, in order.
    std::vector<quint64> shownIndices() const { return {m_rows.begin(), m_rows.end()}; }

private:
    const FrameCapture& m_capture;
    FrameFilter m_filter;
    bool m_hex = false;
    std::deque<quint64> m_rows;
    quint64 m_seen = 0; // the last capture number looked at
};

} // namespace tqdt::net

#pragma once

#include "network/BusFrames.h"

#include <QString>

#include <optional>
#include <vector>

namespace tqdt::net {

// Which frames a details table shows: one address (a reply counts under its request's address) and
// one command (a row of BusFrameShapes(), a reply under its request's row).
struct FrameFilter {
    static constexpr int kAny = -2;
    static constexpr int kUnnamed = -1; // frames no request shape names
    int address = kAny;
    int shape = kAny;

    bool matches(const BusFrame& f) const
    {
        return (address == kAny || f.address == address) && (shape == kAny || f.shape == shape);
    }
};

// The frames a monitor has seen since it opened, decoded as they arrive and kept in a ring of the
// last kCapacity, stamped in milliseconds from the capture's start.
class FrameCapture {
public:
    static constexpr size_t kCapacity = 131072;

    explicit FrameCapture(qint64 startMs = 0) : m_startMs(startMs) {}

    void receive(const QByteArray& text, qint64 nowMs, std::optional<Channel> channel);

    // Frames are numbered from 1; those from first() to last() are held.
    quint64 first() const { return m_count > kCapacity ? m_count - kCapacity + 1 : 1; }
    quint64 last() const { return m_count; }
    bool holds(quint64 index) const { return index >= first() && index <= last() && index > 0; }
    const BusFrame& at(quint64 index) const { return m_ring[size_t((index - 1) % kCapacity)]; }

private:
    qint64 m_startMs;
    FrameDecoder m_decoder;
    std::vector<BusFrame> m_ring;
    std::vector<BusFrame> m_fresh;
    quint64 m_count = 0;
};

// Writes the given frames as a capture file, atomically; deltas run from one listed frame to the
// next. An empty text when every byte was written, else the reason; the old file is then kept.
QString SaveCapture(const QString& path, const FrameCapture& capture, const std::vector<quint64>& indices,
                    CaptureLayout layout);

} // namespace tqdt::net

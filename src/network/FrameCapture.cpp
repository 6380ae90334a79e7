#include "network/FrameCapture.h"

#include "documents/SafeFile.h"

namespace tqdt::net {

void FrameCapture::receive(const QByteArray& text, qint64 nowMs, std::optional<Channel> channel)
{
    m_fresh.clear();
    m_decoder.feed(text, nowMs - m_startMs, channel, m_fresh);
    for (BusFrame& f : m_fresh) {
        if (m_ring.size() < kCapacity)
            m_ring.push_back(std::move(f));
        else
            m_ring[size_t(m_count % kCapacity)] = std::move(f);
        ++m_count;
    }
}

QString SaveCapture(const QString& path, const FrameCapture& capture, const std::vector<quint64>& indices,
                    CaptureLayout layout)
{
    QByteArray text = CaptureHeader(layout);
    qint64 before = -1;
    for (quint64 i : indices) {
        if (!capture.holds(i))
            continue;
        const BusFrame& f = capture.at(i);
        text += CaptureLine(f, before >= 0 && f.timeMs >= 0 ? f.timeMs - before : -1, layout);
        before = f.timeMs;
    }
    return SaveFileAtomically(path, text);
}

} // namespace tqdt::net

#include "sim/DmxGateway.h"

#include "bus/ProgramChecksum.h"

namespace tqdt::sim {

namespace {
constexpr int kBlockFrameLen = 136;

bool upperHex(const QByteArray& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}
} // namespace

DmxGateway::DmxGateway() { m_channels.fill(0xFF); }

std::optional<Reply> DmxGateway::handle(Channel channel, const QByteArray& frame, const LineSettings& line)
{
    if (m_silent || channel != Channel::Brown || line.baud != kBaud || line.parity != 'n' ||
        line.dataBits != 8)
        return std::nullopt;
    if (frame == "[03]") {
        ProgramChecksum sum;
        for (quint8 c : m_channels)
            sum.add(c);
        return Reply{'[' + sum.text() + ']'};
    }
    if (frame == "[04]")
        return Reply{'[' + m_firmware + ']' + m_firmwareTail};
    if (frame.size() != kBlockFrameLen || !frame.startsWith("[01") || !frame.endsWith(']'))
        return std::nullopt;
    const QByteArray address = frame.mid(3, 4), cells = frame.mid(7, 128);
    if (!upperHex(address) || !upperHex(cells))
        return std::nullopt;
    const int first = address.toInt(nullptr, 16);
    if (first % 64 != 0 || first >= int(m_channels.size()))
        return std::nullopt;
    for (int k = 0; k < 64; ++k) {
        const int i = first + k;
        const quint8 v = quint8(cells.mid(2 * k, 2).toInt(nullptr, 16));
        m_channels[size_t(i)] = i == m_badChannel ? v ^ 0x01 : v;
    }
    ++m_blocksWritten;
    // The acknowledgement's content is never examined by the tool; the gateway echoes its command.
    return Reply{m_shortBlockReply ? QByteArray("[01") : QByteArray("[01]")};
}

} // namespace tqdt::sim

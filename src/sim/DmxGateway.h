#pragma once

#include "sim/Site.h"

#include <QByteArray>

#include <array>

namespace tqdt::sim {

// The DMX mapped gateway on the panel network (Brown channel, 38400 baud). It stores the eight
// blocks of 64 channel cells it is sent, answers the checksum query from what it stored and the
// firmware query with its revision text. Frames carry no checksum, so it answers only frames of
// exactly the right shape: "[01" + address + 128 upper-case hex digits + "]", "[03]", "[04]".
class DmxGateway final : public SimDevice {
public:
    static constexpr int kBaud = 38400;

    DmxGateway();

    std::optional<Reply> handle(Channel channel, const QByteArray& frame, const LineSettings& line) override;

    // The 512 channel cells as stored; a gateway fresh from the factory maps nothing (FF).
    const std::array<quint8, 512>& channels() const { return m_channels; }
    // The 18 characters between the brackets of the firmware reply.
    void setFirmware(const QByteArray& text) { m_firmware = text; }
    int blocksWritten() const { return m_blocksWritten; }

    // Faults, so that every message of the download can be shown.
    void setSilent(bool silent) { m_silent = silent; }
    // Answers a block with three characters instead of four (it still stores the block).
    void setShortBlockReply(bool on) { m_shortBlockReply = on; }
    // A damaged memory cell: whatever is stored for channel index keeps bit 0 inverted.
    void corruptChannel(int index) { m_badChannel = index; }
    // Appends text to the firmware reply, so it runs past its 20 characters.
    void setFirmwareTail(const QByteArray& tail) { m_firmwareTail = tail; }

private:
    std::array<quint8, 512> m_channels{};
    QByteArray m_firmware = "DMX GW Rev 2.04   ";
    int m_blocksWritten = 0;
    bool m_silent = false;
    bool m_shortBlockReply = false;
    int m_badChannel = -1;
    QByteArray m_firmwareTail;
};

} // namespace tqdt::sim

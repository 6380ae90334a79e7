#pragma once

#include "sim/Site.h"

#include <QByteArray>

#include <array>

namespace tqdt::sim {

// The mapped gateway as the tool programs it: node 00 on the Blue channel, where a port left at its
// start-up DTR line (off) talks, at 38400 baud, no parity, 8 data bits. It answers network frames
// with a correct checksum only: the four memory resets (each clears one half of a bank), block write
// and read of 64 bytes, and the bank checksum. Its memory holds bytes, as the real one does.
class MappedGateway final : public SimDevice {
public:
    static constexpr int kBankSize = 65536;
    static constexpr Channel kChannel = Channel::Blue;

    MappedGateway();

    std::optional<Reply> handle(Channel channel, const QByteArray& frame, const LineSettings& line) override;

    quint8 cell(int bank, int address) const { return m_memory[size_t(bank)][size_t(address)]; }
    void setCell(int bank, int address, quint8 v) { m_memory[size_t(bank)][size_t(address)] = v; }
    // The checksum it reports for a bank.
    quint32 bankChecksum(int bank) const;

    // Faults, so that every result code a transfer reports can be shown.
    // The (skip + 1)-th next frame whose command starts with prefix is neither carried out nor
    // answered (an unacknowledged reset or block, a silent checksum query or read).
    void dropCommand(const QByteArray& prefix, int skip = 0);
    // The same frame is answered, but the reply's checksum field disagrees with its content.
    void garbleReply(const QByteArray& prefix, int skip = 0);
    // A damaged memory cell: whatever is stored there keeps bit 0 inverted.
    void corruptCell(int bank, int address);
    // The checksum of a bank is reported with one bit of its high (or low) half wrong.
    void skewChecksum(int bank, bool highHalf);
    void clearFaults();

    // Commands carried out since the gateway was made, by their first two characters ("36", "38",
    // "39", "3F"), for the record.
    int commandCount(const QByteArray& twoChars) const;

private:
    struct Trigger {
        QByteArray prefix;
        int skip = -1;
        bool fires(const QByteArray& command);
    };
    std::optional<Reply> command(const QByteArray& text);
    void store(int bank, int address, quint8 v);

    std::array<std::array<quint8, kBankSize>, 2> m_memory{};
    Trigger m_drop, m_garble;
    int m_badBank = -1, m_badAddress = -1;
    int m_skewBank = -1;
    bool m_skewHigh = false;
    std::array<int, 4> m_counts{};
};

} // namespace tqdt::sim

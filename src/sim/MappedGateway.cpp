#include "sim/MappedGateway.h"

namespace tqdt::sim {

namespace {

bool isUpperHex(const QByteArray& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

bool isBank(char c) { return c == '0' || c == '1'; }

const QByteArray kAck = "00";

} // namespace

bool MappedGateway::Trigger::fires(const QByteArray& command)
{
    if (skip < 0 || !command.startsWith(prefix))
        return false;
    return skip-- == 0;
}

MappedGateway::MappedGateway() = default;

void MappedGateway::dropCommand(const QByteArray& prefix, int skip) { m_drop = {prefix, skip}; }
void MappedGateway::garbleReply(const QByteArray& prefix, int skip) { m_garble = {prefix, skip}; }

void MappedGateway::corruptCell(int bank, int address)
{
    m_badBank = bank;
    m_badAddress = address;
    store(bank, address, cell(bank, address));
}

void MappedGateway::skewChecksum(int bank, bool highHalf)
{
    m_skewBank = bank;
    m_skewHigh = highHalf;
}

void MappedGateway::clearFaults()
{
    m_drop = m_garble = {};
    m_badBank = m_badAddress = m_skewBank = -1;
}

int MappedGateway::commandCount(const QByteArray& twoChars) const
{
    static const QByteArray names[4] = {"36", "38", "39", "3F"};
    for (int i = 0; i < 4; ++i)
        if (twoChars == names[i])
            return m_counts[size_t(i)];
    return 0;
}

void MappedGateway::store(int bank, int address, quint8 v)
{
    m_memory[size_t(bank)][size_t(address)] = bank == m_badBank && address == m_badAddress ? v ^ 0x01 : v;
}

quint32 MappedGateway::bankChecksum(int bank) const
{
    // The gateway's own arithmetic, written apart from the tool's, so that a wrong sum on either side
    // shows as a disagreement.
    quint32 r = 0xFFFFFFFFu;
    for (quint8 b : m_memory[size_t(bank)]) {
        r ^= b;
        r = (r & 1) ? (r >> 1) ^ 0xEFF5A001u : r >> 1;
    }
    if (bank == m_skewBank)
        r ^= m_skewHigh ? 0x00010000u : 0x00000001u;
    return r;
}

std::optional<Reply> MappedGateway::handle(Channel channel, const QByteArray& frame, const LineSettings& line)
{
    if (channel != kChannel || line.baud != 38400 || line.parity != 'n' || line.dataBits != 8)
        return std::nullopt;
    // "[" checksum "00" command "]"
    if (frame.size() < 7 || frame.front() != '[' || frame.back() != ']' || !isUpperHex(frame.mid(1, 2)) ||
        frame.mid(3, 2) != "00" || HexVal2(frame.mid(1, 2)) != NetChecksum(frame.mid(3)))
        return std::nullopt;
    const QByteArray text = frame.mid(5, frame.size() - 6);
    if (m_drop.fires(text))
        return std::nullopt;
    auto reply = command(text);
    if (reply && m_garble.fires(text))
        reply->text[1] = reply->text[1] == '0' ? '1' : '0';
    return reply;
}

std::optional<Reply> MappedGateway::command(const QByteArray& text)
{
    if (text.size() == 6 && text.startsWith("36") && isBank(text[2]) && isBank(text[3]) &&
        text.endsWith("$*")) {
        // Each reset clears one half of one bank; the four together clear the whole memory.
        const int from = (text[3] - '0') * kBankSize / 2;
        for (int a = from; a < from + kBankSize / 2; ++a)
            store(text[2] - '0', a, 0);
        ++m_counts[0];
        return Reply{netReply(kAck), 5 * 1000};
    }
    if (text.size() < 9 || !isBank(text[2]) || !isUpperHex(text.mid(3, 4)))
        return std::nullopt;
    const int bank = text[2] - '0';
    const int address = HexVal4(text.mid(3, 4));
    if (text.startsWith("38") && text.size() == 9 + 128 && text.mid(7, 2) == "3F" &&
        address <= kBankSize - 64 && isUpperHex(text.mid(9))) {
        const QByteArray bytes = QByteArray::fromHex(text.mid(9));
        for (int i = 0; i < 64; ++i)
            store(bank, address + i, quint8(bytes[i]));
        ++m_counts[1];
        return Reply{netReply(kAck)};
    }
    if (text.startsWith("39") && text.size() == 9 && text.mid(7, 2) == "3F" && address <= kBankSize - 64) {
        ++m_counts[2];
        const QByteArray bytes(reinterpret_cast<const char*>(&m_memory[size_t(bank)][size_t(address)]), 64);
        return Reply{netReply(bytes.toHex().toUpper())};
    }
    if (text.startsWith("3F") && text.size() == 11 && text.mid(3) == "0000FFFF") {
        ++m_counts[3];
        const quint32 sum = bankChecksum(bank);
        // Summing a whole bank takes the gateway a moment.
        return Reply{netReply(Hex4(qint32(sum >> 16)) + Hex4(qint32(sum & 0xFFFF))), 20 * 1000};
    }
    return std::nullopt;
}

} // namespace tqdt::sim

#include "gateway/GatewayProtocol.h"

#include "bus/FrameCodec.h"

namespace tqdt::gw {

namespace {
constexpr quint32 kPolynomial = 0xEFF5A001u;

quint32 step(quint32 r, quint32 cell)
{
    r ^= cell;
    const bool carry = r & 1;
    r >>= 1;
    return carry ? r ^ kPolynomial : r;
}

QByteArray blockHead(const char* command, int bank, int address)
{
    return command + Hex1(qint16(bank)) + Hex4(address);
}
} // namespace

QByteArray ResetCommand(int i)
{
    static const char* const texts[4] = {"3600$*", "3601$*", "3610$*", "3611$*"};
    return texts[std::clamp(i, 0, 3)];
}

QByteArray WriteBlockCommand(int bank, int address, const qint16* cells)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    QByteArray text = blockHead("38", bank, address) + "3F";
    const qsizetype head = text.size();
    text.resize(head + 2 * kBlockCells);
    char* out = text.data() + head;
    // Only the low byte of a cell travels: a cell of 300 goes as "2C".
    for (int i = 0; i < kBlockCells; ++i) {
        const quint8 v = quint8(cells[i]);
        *out++ = digits[v >> 4];
        *out++ = digits[v & 0xF];
    }
    return text;
}

QByteArray ReadBlockCommand(int bank, int address) { return blockHead("39", bank, address) + "3F"; }

QByteArray ChecksumCommand(int bank) { return "3F" + Hex1(qint16(bank)) + "0000FFFF"; }

QByteArray GatewayFrame(const QByteArray& command) { return BuildNetFrame(0, command); }

std::array<qint16, kBlockCells> ReadReplyCells(const QByteArray& reply)
{
    std::array<qint16, kBlockCells> cells{};
    for (int i = 0; i < kBlockCells; ++i)
        cells[size_t(i)] = qint16(HexVal2(Mid(reply, 4 + 2 * i, 2)));
    return cells;
}

quint32 ChecksumReplyValue(const QByteArray& reply)
{
    return quint32(HexVal4(Mid(reply, 4, 4))) << 16 | quint32(HexVal4(Mid(reply, 8, 4)));
}

quint32 ImageChecksum(const GatewayImage& image, int bank,
                      const std::function<void(int address, qint16 value)>& outsideByte)
{
    quint32 r = 0xFFFFFFFFu;
    for (int a = 0; a < kBankSize; ++a) {
        const qint16 cell = image.ReadImageByte(bank, a);
        if (outsideByte && (cell < 0 || cell > 255))
            outsideByte(a, cell);
        // A cell enters the register as the 32-bit value it stands for, sign and all.
        r = step(r, quint32(qint32(cell)));
    }
    return r;
}

quint32 BytesChecksum(const quint8* bytes, int count)
{
    quint32 r = 0xFFFFFFFFu;
    for (int i = 0; i < count; ++i)
        r = step(r, bytes[i]);
    return r;
}

} // namespace tqdt::gw

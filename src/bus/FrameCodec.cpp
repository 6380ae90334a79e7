#include "bus/FrameCodec.h"

namespace tqdt {

qint32 DxStrToArray(const QByteArray& text, CodeArray& codes)
{
    const qsizetype n = text.size();
    const qsizetype fill = std::min<qsizetype>(n, kCodeArraySize);
    for (qsizetype i = 0; i < fill; ++i)
        codes[size_t(i)] = qint16(static_cast<unsigned char>(text[i]));
    return qint32(n);
}

namespace {

QByteArray lowDigits(quint32 v, int n)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    QByteArray out(n, '0');
    for (int i = n - 1; i >= 0; --i) {
        out[i] = digits[v & 0xF];
        v >>= 4;
    }
    return out;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

qint32 hexVal(const QByteArray& text, int width)
{
    qint32 v = 0;
    const int n = std::min<int>(width, int(text.size()));
    for (int i = 0; i < n; ++i) {
        const int d = hexDigit(text[i]);
        if (d < 0)
            break;
        v = v * 16 + d;
    }
    return v;
}

} // namespace

QByteArray Hex1(qint16 v) { return lowDigits(quint16(v), 1); }
QByteArray Hex2(qint16 v) { return lowDigits(quint16(v), 2); }
QByteArray Hex2L(qint32 v) { return lowDigits(quint32(v), 2); }
QByteArray Hex4(qint32 v) { return lowDigits(quint32(v), 4); }
QByteArray Hex6(qint32 v) { return lowDigits(quint32(v), 6); }
qint32 HexVal1(const QByteArray& text) { return hexVal(text, 1); }
qint32 HexVal2(const QByteArray& text) { return hexVal(text, 2); }
qint32 HexVal4(const QByteArray& text) { return hexVal(text, 4); }

int NetChecksum(const QByteArray& text)
{
    CodeArray codes;
    const qint32 n = DxStrToArray(text, codes);
    if (n > kCodeArraySize)
        return -1;
    int s = 0xA5;
    for (int i = 0; i < n; ++i) {
        if (s & 1)
            s += 256;
        s /= 2;
        s = (s + codes[size_t(i)]) % 256;
    }
    return s;
}

int DevChecksum(const QByteArray& text)
{
    CodeArray codes;
    const qint32 n = DxStrToArray(text, codes);
    if (n > kCodeArraySize)
        return -1;
    int s = 0;
    for (int i = 0; i < n; ++i) {
        s *= 2;
        if (s > 255)
            s -= 255;
        s = (s + codes[size_t(i)]) % 256;
    }
    return s;
}

QByteArray BuildNetFrame(qint16 node, const QByteArray& commandAndData)
{
    const QByteArray body = Hex2(node) + commandAndData + ']';
    return '[' + Hex2(qint16(NetChecksum(body))) + body;
}

QByteArray SealDevFrame(const QByteArray& text) { return text + Hex2(qint16(DevChecksum(text))) + ']'; }

QByteArray BuildDevFrame(char deviceClass, qint16 address, const QByteArray& commandAndData)
{
    return SealDevFrame(QByteArray("[") + deviceClass + Hex2(address) + commandAndData);
}

QByteArray Mid(const QByteArray& text, int pos, int count)
{
    if (pos < 1 || pos > text.size() || count <= 0)
        return {};
    return text.mid(pos - 1, count);
}

bool CheckNetReply(const QByteArray& reply)
{
    if (reply.size() < 4)
        return false;
    return HexVal2(Mid(reply, 2, 2)) == NetChecksum(reply.mid(3));
}

bool CheckDevReply(const QByteArray& reply, int checksumPos)
{
    if (reply.size() < 3)
        return false;
    return HexVal2(Mid(reply, checksumPos, 2)) == DevChecksum(reply.left(reply.size() - 3));
}

} // namespace tqdt

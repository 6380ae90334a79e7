#include "gateway/GatewayImage.h"

#include "documents/SafeFile.h"

namespace tqdt::gw {

BitAddress MultiRelayBit(int p, int n, int r)
{
    const int offset = n * 8 + r / 8;
    if (p < 32)
        return {1, p * kBitmapSize + offset, r % 8};
    return {0, kBitmapBank0Start + (p - 32) * kBitmapSize + offset, r % 8};
}

GatewayImage::GatewayImage() : m_cells(size_t(kBanks) * kBankSize, 0) {}

bool GatewayImage::inside(int bank, int address)
{
    return bank >= 0 && bank < kBanks && address >= 0 && address < kBankSize;
}

qint16 GatewayImage::ReadImageByte(int bank, int address) const
{
    return inside(bank, address) ? m_cells[size_t(bank * kBankSize + address)] : qint16(0);
}

void GatewayImage::WriteImageByte(int bank, int address, qint16 value)
{
    if (!inside(bank, address))
        return;
    m_cells[size_t(bank * kBankSize + address)] = value;
    if (m_changed)
        m_changed(true);
}

bool GatewayImage::ReadImageBit(int bank, int address, int bit) const
{
    return bit >= 0 && bit < 8 && (ReadImageByte(bank, address) >> bit) & 1;
}

void GatewayImage::WriteImageBit(int bank, int address, int bit, bool on)
{
    if (bit < 0 || bit >= 8)
        return;
    const qint16 mask = qint16(1 << bit);
    const qint16 cell = ReadImageByte(bank, address);
    WriteImageByte(bank, address, on ? qint16(cell | mask) : qint16(cell & (mask ^ 0xFF)));
}

void GatewayImage::writePointByte(int p, int offset, qint16 v)
{
    if (p >= 0 && p < kPointSlots)
        WriteImageByte(0, 4 * p + offset, v);
}

bool GatewayImage::GetMultiRelay(int p, int n, int r) const
{
    if (p < 0 || p >= kMultiRelayPoints || n < 0 || n > 255 || r < 0 || r > 63)
        return false;
    const BitAddress at = MultiRelayBit(p, n, r);
    return ReadImageBit(at.bank, at.address, at.bit);
}

void GatewayImage::SetMultiRelay(int p, int n, int r, bool on)
{
    if (p < 0 || p >= kMultiRelayPoints || n < 0 || n > 255 || r < 0 || r > 63)
        return;
    const BitAddress at = MultiRelayBit(p, n, r);
    WriteImageBit(at.bank, at.address, at.bit, on);
}

void GatewayImage::ClearImage()
{
    std::fill(m_cells.begin(), m_cells.end(), qint16(0));
    if (m_changed)
        m_changed(false);
}

void GatewayImage::load(int bank, int address, qint16 value)
{
    if (inside(bank, address))
        m_cells[size_t(bank * kBankSize + address)] = value;
}

const qint16* GatewayImage::cells(int bank, int address) const
{
    Q_ASSERT(inside(bank, address) && address + 64 <= kBankSize);
    return m_cells.data() + bank * kBankSize + address;
}

QByteArray MgwBytes(const GatewayImage& image)
{
    QByteArray b(kMgwSize, '\0');
    char* out = b.data();
    for (int a = 0; a < kBankSize; ++a)
        for (int bank = 0; bank < kBanks; ++bank) {
            const quint16 v = quint16(image.ReadImageByte(bank, a));
            *out++ = char(v & 0xFF);
            *out++ = char(v >> 8);
        }
    return b;
}

QString MgwParse(const QByteArray& bytes, GatewayImage& image)
{
    if (bytes.size() != kMgwSize)
        return QStringLiteral("The file holds %1 bytes; a gateway map file holds %2.")
            .arg(bytes.size())
            .arg(kMgwSize);
    // Cells load as they are, values above a byte included: the download reports those.
    const uchar* in = reinterpret_cast<const uchar*>(bytes.constData());
    for (int a = 0; a < kBankSize; ++a)
        for (int bank = 0; bank < kBanks; ++bank, in += 2)
            image.load(bank, a, qint16(quint16(in[0] | (in[1] << 8))));
    return {};
}

FileResult MgwRead(const QString& path, GatewayImage& image)
{
    QByteArray bytes;
    if (const FileResult r = ReadDocumentFile(path, kMgwSize, QStringLiteral("a gateway map file"), bytes);
        !r)
        return r;
    if (const QString problem = MgwParse(bytes, image); !problem.isEmpty())
        return FileResult::failed(path, problem);
    return FileResult::done(path);
}

FileResult MgwWrite(const QString& path, const GatewayImage& image)
{
    return SaveDocumentFile(path, MgwBytes(image));
}

} // namespace tqdt::gw

#include "bus/ProgramChecksum.h"

namespace tqdt {

void ProgramChecksum::add(quint8 b)
{
    m_reg ^= b;
    const bool low = m_reg & 1;
    m_reg >>= 1;
    if (low)
        m_reg ^= 0xEFF5A0A1EFF5A0A1ull;
}

void ProgramChecksum::add(const QByteArray& bytes)
{
    for (char b : bytes)
        add(quint8(b));
}

QByteArray ProgramChecksum::text() const
{
    return QByteArray::number(m_reg, 16).toUpper().rightJustified(16, '0');
}

QByteArray ProgramChecksumText(const QByteArray& bytes)
{
    ProgramChecksum sum;
    sum.add(bytes);
    return sum.text();
}

} // namespace tqdt

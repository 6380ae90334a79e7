#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tqdt {

// The checksum the module and both gateways keep: a 64-bit register starting at all ones; each byte is folded
// into the low eight bits and the register then shifted right once, with EFF5A0A1EFF5A0A1 folded back in when
// a one fell out.
class ProgramChecksum {
public:
    void add(const QByteArray& bytes);
    void add(quint8 b);
    quint64 value() const { return m_reg; }
    // 16 upper-case hexadecimal digits, most significant first.
    QByteArray text() const;

private:
    quint64 m_reg = ~0ull;
};
QByteArray ProgramChecksumText(const QByteArray& bytes);

} // namespace tqdt

#pragma once

#include <QByteArray>
#include <QList>

namespace tqdt::test {

// The lines tqdt-cli itself wrote to its error stream, without what the port layer noted on the way
// (a pseudo-terminal refuses DTR and RTS).
inline QList<QByteArray> CliLines(const QByteArray& err)
{
    QList<QByteArray> out;
    for (const QByteArray& line : err.split('\n'))
        if (line.startsWith("tqdt-cli:"))
            out << line;
    return out;
}

} // namespace tqdt::test

#include "condlogic/Win1252.h"

#include <array>

namespace tqdt::cnd {

namespace {
// 0x80..0x9F; the five unassigned codes map to the matching C1 control, as the platform does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

QByteArray toWin1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        char b = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            b = char(u);
        } else {
            for (size_t i = 0; i < kHigh.size(); ++i)
                if (kHigh[i] == u)
                    b = char(0x80 + i);
        }
        out.append(b);
    }
    return out;
}

QString fromWin1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const quint8 b = quint8(c);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(kHigh[b - 0x80]) : QChar(b));
    }
    return out;
}

QString NotesText(const CndDocument& doc)
{
    int n = 0;
    while (n < kNoteBytes - 1 && doc.NoteBytes[size_t(n)] != 0)
        ++n;
    const QByteArray bytes(reinterpret_cast<const char*>(doc.NoteBytes.data()), n);
    return fromWin1252(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QByteArray NotesBytesOf(const QString& text)
{
    return toWin1252(QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

} // namespace tqdt::cnd

// Any name found beside a document and any bytes saved over it: a save removes only the leftovers
// of its own temporaries (the document's name, a dot, six mixed letters and digits), never a
// neighbour the user made, and writes the bytes whole.
#include "documents/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool ownLeftover(const QString& suffix)
{
    if (suffix.size() != 6)
        return false;
    bool upper = false, lower = false, digit = false;
    for (QChar c : suffix) {
        upper |= c >= u'A' && c <= u'Z';
        lower |= c >= u'a' && c <= u'z';
        digit |= c >= u'0' && c <= u'9';
        if (!c.isDigit() && !(c >= u'A' && c <= u'Z') && !(c >= u'a' && c <= u'z'))
            return false;
    }
    return int(upper) + int(lower) + int(digit) >= 2;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte says how much of the rest is the neighbour's suffix; the others are the document.
    if (size == 0)
        return 0;
    const size_t cut = std::min<size_t>(data[0] % 12, size - 1);
    QString suffix = QString::fromLatin1(reinterpret_cast<const char*>(data + 1), qsizetype(cut));
    suffix.remove(QLatin1Char('/')).remove(QChar(0));
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1 + cut), qsizetype(size - 1 - cut));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SITE.CDF"));
    const QString neighbour = path + QLatin1Char('.') + suffix;
    {
        QFile f(neighbour);
        if (suffix.isEmpty() || !f.open(QIODevice::WriteOnly))
            return 0;
        f.write("neighbour");
    }
    if (!tqdt::SaveFileAtomically(path, bytes).isEmpty())
        std::abort();
    QFile saved(path);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != bytes)
        std::abort(); // the save is whole
    if (QFile::exists(neighbour) == ownLeftover(suffix))
        std::abort(); // exactly our own leftovers go
    if (!tqdt::NotARegularFile(path).isEmpty() || tqdt::NotARegularFile(dir.path()).isEmpty())
        std::abort();
    return 0;
}

// Any name found beside a document and any bytes saved over it: a save writes the bytes whole and
// touches no file beside the document but the temporaries of an earlier save (made here as such, by
// a temporary file of the save's own pattern), which it removes.
#include "documents/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Byte 0: how many leftovers of our own (0-3), whether the neighbour's name is hidden (a leading
    // dot) and whether it extends the document's name. Byte 1: the length of the neighbour's name,
    // which follows. The rest is the document.
    if (size < 2)
        return 0;
    const int leftovers = data[0] & 3;
    const bool hidden = data[0] & 4;
    const bool extendsName = data[0] & 8;
    const size_t cut = std::min<size_t>(data[1] % 24, size - 2);
    QString name = QString::fromLatin1(reinterpret_cast<const char*>(data + 2), qsizetype(cut));
    name.remove(QLatin1Char('/')).remove(QChar(0));
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2 + cut), qsizetype(size - 2 - cut));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SITE.CDF"));
    name = (hidden ? QStringLiteral(".") : QString()) +
           (extendsName ? QStringLiteral("SITE.CDF") : QString()) + name;
    // Only the temporaries' own prefix is no one's copy; every other name is someone's.
    const QString ours = QFileInfo(tqdt::SaveTemporaryTemplate(path)).fileName().chopped(6);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name == QLatin1String("SITE.CDF") || name.startsWith(ours))
        return 0;

    std::vector<std::pair<QString, QByteArray>> kept; // must be exactly as they were after the save
    {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write("neighbour");
        kept.emplace_back(f.fileName(), QByteArray("neighbour"));
    }
    QStringList temporaries;
    for (int i = 0; i < leftovers; ++i) {
        QTemporaryFile t(tqdt::SaveTemporaryTemplate(path));
        t.setAutoRemove(false);
        if (!t.open())
            std::abort();
        t.write("killed before the rename");
        temporaries << t.fileName();
    }

    if (!tqdt::SaveFileAtomically(path, bytes).isEmpty())
        std::abort();
    if (contents(path) != bytes)
        std::abort(); // the save is whole
    for (const auto& [file, was] : kept)
        if (contents(file) != was)
            std::abort(); // a file that was not ours is touched
    for (const QString& t : temporaries)
        if (QFile::exists(t))
            std::abort(); // a leftover of ours stays
    const QStringList now = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (now.size() != qsizetype(kept.size()) + 1)
        std::abort(); // the save left a temporary of its own
    if (!tqdt::NotARegularFile(path).isEmpty() || tqdt::NotARegularFile(dir.path()).isEmpty())
        std::abort();
    return 0;
}

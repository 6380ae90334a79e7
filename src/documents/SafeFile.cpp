#include "documents/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tqdt {

namespace {

constexpr qint64 kPiece = 64 * 1024;

// A temporary's six random characters are drawn from letters of both cases and digits; a name of
// one class only ("SITE.CDF.backup") is taken for a user's own file and left alone.
bool looksRandom(QStringView suffix)
{
    if (suffix.size() != 6)
        return false;
    int upper = 0, lower = 0, digit = 0;
    for (QChar c : suffix) {
        if (c >= u'A' && c <= u'Z')
            upper = 1;
        else if (c >= u'a' && c <= u'z')
            lower = 1;
        else if (c >= u'0' && c <= u'9')
            digit = 1;
        else
            return false;
    }
    return upper + lower + digit >= 2;
}

} // namespace

QString NotARegularFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    if (info.isDir())
        return QStringLiteral("it is a folder, not a file");
    return QStringLiteral("it is not a regular file (a device or a named pipe)");
}

QStringList StraySaveTemporaries(const QString& path)
{
    const QFileInfo target(path);
    const QString prefix = target.fileName() + QLatin1Char('.');
    QStringList out;
    const QDir dir = target.absoluteDir();
    const QStringList names = dir.entryList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QFileInfo f(dir.filePath(name));
        if (!f.isSymLink() && f.isFile() && name.startsWith(prefix) &&
            looksRandom(QStringView(name).mid(prefix.size())))
            out << f.filePath();
    }
    return out;
}

QString SaveFileAtomically(const QString& path, const QByteArray& bytes, const SaveWriter& writer)
{
    if (const QString problem = NotARegularFile(path); !problem.isEmpty())
        return problem;
    for (const QString& stray : StraySaveTemporaries(path))
        QFile::remove(stray);

    QSaveFile f(path);
    // Unbuffered, so that a full disk fails the write that hit it instead of a flush whose error
    // the commit would not see.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return f.errorString();
    for (qint64 at = 0; at < bytes.size();) {
        const qint64 n = std::min(kPiece, bytes.size() - at);
        const qint64 done =
            writer ? writer(f, bytes.constData() + at, n) : f.write(bytes.constData() + at, n);
        if (done <= 0 || done > n) {
            const QString reason = f.error() != QFileDevice::NoError ? f.errorString() : QString();
            f.cancelWriting();
            return reason.isEmpty()
                       ? QStringLiteral("only %1 of %2 bytes could be written").arg(at).arg(bytes.size())
                       : reason;
        }
        at += done;
    }
    if (!f.flush() || !f.commit()) {
        const QString reason = f.errorString();
        return reason.isEmpty() ? QStringLiteral("the file could not be completed") : reason;
    }
    return {};
}

FileResult ReadDocumentFile(const QString& path, qsizetype maxSize, const QString& kind, QByteArray& bytes)
{
    // A named pipe or a device would block the read or never end; only regular files are documents.
    if (const QString notFile = NotARegularFile(path); !notFile.isEmpty())
        return FileResult::failed(path, QStringLiteral("The file cannot be opened: %1.").arg(notFile));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return FileResult::failed(path,
                                  QStringLiteral("The file cannot be opened: %1.").arg(f.errorString()));
    // One byte more than a good file, so that a longer file shows as such.
    QByteArray read = f.read(maxSize + 1);
    if (f.error() != QFileDevice::NoError)
        return FileResult::failed(path, QStringLiteral("The file cannot be read: %1.").arg(f.errorString()));
    if (read.size() > maxSize)
        return FileResult::failed(
            path, QStringLiteral("The file holds more than %1 bytes; %2 holds %1.").arg(maxSize).arg(kind));
    bytes = std::move(read);
    return FileResult::done(path);
}

FileResult SaveDocumentFile(const QString& path, const QByteArray& bytes)
{
    if (const QString why = SaveFileAtomically(path, bytes); !why.isEmpty())
        return FileResult::failed(path, QStringLiteral("The file cannot be written: %1.").arg(why));
    return FileResult::done(path);
}

} // namespace tqdt

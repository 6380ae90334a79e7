#include "documents/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace tqdt {

namespace {

constexpr qint64 kPiece = 64 * 1024;
constexpr QLatin1StringView kTemporaryMark(".tqdt-save-");

// "SITE.MGW" -> ".SITE.MGW.tqdt-save-": what every temporary of a save of that file starts with.
QString temporaryPrefix(const QFileInfo& target)
{
    return QLatin1Char('.') + target.fileName() + kTemporaryMark;
}

bool isLetterOrDigit(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

// Pushes what was written to the disk itself, so that the rename never makes a file whose bytes are
// still only in the system's cache when the power goes.
bool syncToDisk(QFileDevice& f)
{
#if defined(Q_OS_UNIX)
    return ::fsync(f.handle()) == 0;
#elif defined(Q_OS_WIN)
    const int fd = f.handle();
    return fd < 0 || ::_commit(fd) == 0;
#else
    (void)f;
    return true;
#endif
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

QString SaveTemporaryTemplate(const QString& path)
{
    const QFileInfo target(path);
    return target.absoluteDir().filePath(temporaryPrefix(target) + QStringLiteral("XXXXXX"));
}

QStringList StraySaveTemporaries(const QString& path)
{
    const QFileInfo target(path);
    const QString prefix = temporaryPrefix(target);
    QStringList out;
    const QDir dir = target.absoluteDir();
    const QStringList names = dir.entryList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QFileInfo f(dir.filePath(name));
        // The pattern matches case-insensitively where the file system does; the name must be ours
        // exactly.
        if (f.isSymLink() || !f.isFile() || !name.startsWith(prefix) || name.size() != prefix.size() + 6)
            continue;
        const QStringView tail = QStringView(name).mid(prefix.size());
        if (std::all_of(tail.begin(), tail.end(), isLetterOrDigit))
            out << f.filePath();
    }
    return out;
}

QString SaveFileAtomically(const QString& path, const QByteArray& bytes, const SaveWriter& writer)
{
    if (const QString problem = NotARegularFile(path); !problem.isEmpty())
        return problem;
    // A link is followed: the file it names is replaced and the link stays.
    const QFileInfo given(path);
    const QString target = given.isSymLink() && given.exists() ? given.canonicalFilePath() : path;
    for (const QString& stray : StraySaveTemporaries(target))
        QFile::remove(stray);

    // A temporary of our own rather than QSaveFile, whose temporary is NAME.XXXXXX: a name of that
    // shape is also what people call their copies, so a killed save's leftover could not be told
    // from them.
    QTemporaryFile temporary(SaveTemporaryTemplate(target));
    if (!temporary.open())
        return temporary.errorString();
    // The temporary only reserves the name and removes the file again when the save fails; the
    // bytes go through a file of our own, unbuffered, so that a full disk fails the write that hit
    // it instead of a later flush.
    temporary.close();
    QFile f(temporary.fileName());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered | QIODevice::ExistingOnly))
        return f.errorString();
    const QFileInfo old(target);
    f.setPermissions(old.exists()
                         ? old.permissions()
                         : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                               QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    for (qint64 at = 0; at < bytes.size();) {
        const qint64 n = std::min(kPiece, bytes.size() - at);
        const qint64 done =
            writer ? writer(f, bytes.constData() + at, n) : f.write(bytes.constData() + at, n);
        if (done <= 0 || done > n) {
            const QString reason = f.error() != QFileDevice::NoError ? f.errorString() : QString();
            return reason.isEmpty()
                       ? QStringLiteral("only %1 of %2 bytes could be written").arg(at).arg(bytes.size())
                       : reason;
        }
        at += done;
    }
    if (!f.flush())
        return f.errorString();
    if (!syncToDisk(f))
        return QString::fromLocal8Bit(std::strerror(errno));
    f.close();
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(f.fileName().toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), error);
    if (error)
        return QString::fromStdString(error.message());
    temporary.setAutoRemove(false);
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

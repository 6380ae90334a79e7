#include "condlogic/MpdFile.h"

#include "condlogic/ProgramImage.h"

#include "shell/SafeFile.h"

#include <QDir>
#include <QFile>

namespace tqdt::cnd {

bool IsDuplicateProfile(const ProfileTable& profiles, int k)
{
    if (k <= 0 || k >= kProfiles)
        return false;
    return std::find(profiles.begin(), profiles.begin() + k, profiles[size_t(k)]) != profiles.begin() + k;
}

QByteArray ProfileControlArray(const ProfileTable& profiles)
{
    // The lowest profile is written last, so it wins for a pattern that several profiles share.
    std::array<quint8, 256> byPattern{};
    for (int k = kProfiles - 1; k >= 0; --k)
        byPattern[profiles[size_t(k)]] = quint8(k);
    QByteArray array(kPatterns, '\0');
    for (int p = 0; p < kPatterns; ++p)
        array[p] = char(byPattern[size_t(p & 0xFF)]); // the pilot byte, p / 256, has no effect
    return array;
}

QByteArray ProfileProgramImage(const ProfileTable& profiles)
{
    return ProfileControlArray(profiles) + QByteArray(kImageSize - kPatterns, '\0');
}

QString MpdRead(const QString& path, ProfileTable& profiles)
{
    // A named pipe or a device would block the read or never end; only regular files are documents.
    if (const QString notFile = NotARegularFile(path); !notFile.isEmpty())
        return QStringLiteral("%1 cannot be opened: %2.").arg(QDir::toNativeSeparators(path), notFile);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 cannot be opened: %2.")
            .arg(QDir::toNativeSeparators(path), f.errorString());
    const QByteArray bytes = f.read(kMpdSize + 1);
    if (f.error() != QFileDevice::NoError)
        return QStringLiteral("%1 cannot be read: %2.").arg(QDir::toNativeSeparators(path), f.errorString());
    if (bytes.size() != kMpdSize)
        // One arg() for every field: a "%" in the path must not be taken for a place holder.
        return QStringLiteral("%1 is not an MP device data file: it holds %2 bytes, not %3.")
            .arg(QDir::toNativeSeparators(path),
                 bytes.size() > kMpdSize ? QStringLiteral("more than %1").arg(kMpdSize)
                                         : QString::number(bytes.size()),
                 QString::number(kMpdSize));
    std::copy(bytes.begin(), bytes.end(), profiles.begin());
    return {};
}

namespace {
QString writeAtomically(const QString& path, const QByteArray& bytes)
{
    if (const QString why = SaveFileAtomically(path, bytes); !why.isEmpty())
        return QStringLiteral("%1 cannot be written: %2.").arg(QDir::toNativeSeparators(path), why);
    return {};
}
} // namespace

QString MpdWrite(const QString& path, const ProfileTable& profiles)
{
    return writeAtomically(path, QByteArray(reinterpret_cast<const char*>(profiles.data()), kMpdSize));
}

QByteArray ProfilesCsv(const ProfileTable& profiles)
{
    QByteArray csv = "Profile,In1,In2,In3,In4,In5,In6,In7,In8\r\n";
    for (int k = 0; k < kProfiles; ++k) {
        csv += QByteArray::number(k + 1);
        for (int n = 0; n < 8; ++n)
            csv += (profiles[size_t(k)] >> n) & 1 ? ",On" : ",";
        csv += "\r\n";
    }
    return csv;
}

QString CsvPathFor(const QString& documentPath)
{
    return documentPath.left(std::max<qsizetype>(0, documentPath.size() - 3)) + QStringLiteral("CSV");
}

QString CsvWrite(const QString& path, const ProfileTable& profiles)
{
    return writeAtomically(path, ProfilesCsv(profiles));
}

} // namespace tqdt::cnd

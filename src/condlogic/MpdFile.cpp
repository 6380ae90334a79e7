#include "condlogic/MpdFile.h"

#include "condlogic/ProgramImage.h"
#include "documents/SafeFile.h"

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

FileResult MpdRead(const QString& path, ProfileTable& profiles)
{
    QByteArray bytes;
    if (const FileResult r =
            ReadDocumentFile(path, kMpdSize, QStringLiteral("an MP device data file"), bytes);
        !r)
        return r;
    if (bytes.size() != kMpdSize)
        return FileResult::failed(path,
                                  QStringLiteral("The file holds %1 bytes; an MP device data file holds %2.")
                                      .arg(bytes.size())
                                      .arg(kMpdSize));
    std::copy(bytes.begin(), bytes.end(), profiles.begin());
    return FileResult::done(path);
}

FileResult MpdWrite(const QString& path, const ProfileTable& profiles)
{
    return SaveDocumentFile(path, QByteArray(reinterpret_cast<const char*>(profiles.data()), kMpdSize));
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

FileResult CsvWrite(const QString& path, const ProfileTable& profiles)
{
    return SaveDocumentFile(path, ProfilesCsv(profiles));
}

} // namespace tqdt::cnd

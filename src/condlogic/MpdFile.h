#pragma once

#include "documents/FileResult.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace tqdt::cnd {

// The MP device table: byte k is profile k + 1, bit n set when input n + 1 must be on.
constexpr int kProfiles = 128;
constexpr int kMpdSize = kProfiles;
using ProfileTable = std::array<quint8, kProfiles>;

// True when a profile before k has the same pattern; the module never reports profile k for it.
bool IsDuplicateProfile(const ProfileTable& profiles, int k);

// The control array the module runs as an MP device: for every pilot byte, input pattern b maps to
// the first profile (0-based) whose byte is b, and to profile 1 (0) when none has it.
QByteArray ProfileControlArray(const ProfileTable& profiles);
// That array followed by an empty configuration area: what a download sends.
QByteArray ProfileProgramImage(const ProfileTable& profiles);

// The .MPD file: the 128 bytes, nothing else. A refused read leaves the table untouched.
FileResult MpdRead(const QString& path, ProfileTable& profiles);
FileResult MpdWrite(const QString& path, const ProfileTable& profiles);

// The table as CSV: a header line and one line per profile, ",On" or "," per input, CR LF ends.
QByteArray ProfilesCsv(const ProfileTable& profiles);
FileResult CsvWrite(const QString& path, const ProfileTable& profiles);

} // namespace tqdt::cnd

#pragma once

#include <QString>

namespace tqdt {

// A private-profile (INI) file read and written the way the settings file has always been:
// a write changes one key's line in place and leaves every other byte of the file as it was,
// and key names keep their spaces ("DT Com Port").

// The key's value read as a decimal integer: missing file, section or key gives def; a value
// that does not start with a number gives 0 (digits are read up to the first non-digit).
int GetPrivateProfileIntA(const QString& section, const QString& key, int def, const QString& file);

// The key's text, or def when the file, section or key is missing.
QString GetPrivateProfileStringA(const QString& section, const QString& key, const QString& def,
                                 const QString& file);

// Sets the key (creating the file, section or key as needed). The file is replaced atomically.
// Returns false when the file could not be written.
bool WritePrivateProfileStringA(const QString& section, const QString& key, const QString& value,
                                const QString& file);

} // namespace tqdt

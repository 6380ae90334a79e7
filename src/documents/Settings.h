#pragma once

#include <QString>

namespace tqdt {

class Host;
class Paths;

// Reads both port numbers (default 1) and writes them straight back, so that the file and both
// keys exist after the first start.
// False when the file could not be written back.
[[nodiscard]] bool LoadSettings(Host& host);
// False when the settings file could not be written.
[[nodiscard]] bool SaveSettings(Host& host);
// Creates the data folder when it is missing; false when it can neither be found nor created.
[[nodiscard]] bool EnsureDataFolder(Host& host);

} // namespace tqdt

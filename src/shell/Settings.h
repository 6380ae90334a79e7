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

class SerialPort;

// Opens comQV on DTComPort; on failure shows "Unable To Open Port" and returns false.
[[nodiscard]] bool OpenPort(Host& host);
// Opens a port as it stands (its number and line settings already set); on failure shows the same
// "Unable To Open Port" box. Every window that opens a port goes through here, so the box is one.
[[nodiscard]] bool OpenPort(Host& host, SerialPort& port);
// Closes comQV; closing a closed port does nothing.
void ClosePort(Host& host);
// DTR off: the Blue channel (devices local to a panel). DTR on: the Brown channel (panel network).
void SelectBlueChannel(Host& host);
void SelectBrownChannel(Host& host);

// The device behind "COM" + n: the key "COMn" of the section "Ports" of the settings file (a device
// or an rfc2217:// address), by default the device COMn on Windows and /dev/ttyUSB(n-1) elsewhere.
QString ComDevice(const Paths& paths, int commPort);

} // namespace tqdt

#pragma once

namespace tqdt {

class Host;
class SerialPort;

// Opens comQV on DTComPort; on failure shows "Unable To Open Port" and returns false.
[[nodiscard]] bool OpenPort(Host& host);
// Opens a port as it stands (its number and line settings already set); on failure shows the same
// "Unable To Open Port" box. Every window that opens a port goes through here, so the box is one.
[[nodiscard]] bool OpenPort(Host& host, SerialPort& port);
// Closes comQV; closing a closed port does nothing.
void ClosePort(Host& host);

} // namespace tqdt

#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace tqdt {

// A serial port of this machine, as a technician can recognise it: what the adapter calls itself,
// who made it, its USB identity and serial number, and the names that stay the same after a replug.
struct MachinePort {
    QString device; // "/dev/ttyUSB0", "COM3"
    QString description;
    QString manufacturer;
    std::optional<quint16> vendorId, productId;
    QString serialNumber;
    QString byId;   // /dev/serial/by-id/...: follows the adapter (Linux)
    QString byPath; // /dev/serial/by-path/...: follows the USB socket (Linux)
};

// The machine's serial ports, with the stable links under serialDir (Linux's /dev/serial).
std::vector<MachinePort> MachinePorts(const QString& serialDir = QStringLiteral("/dev/serial"));
// Fills byId and byPath from the links in serialDir's "by-id" and "by-path" folders whose target is
// the port's device.
void AttachStableNames(std::vector<MachinePort>& ports, const QString& serialDir);

// "0403:6001", or empty when the port has no USB identity.
QString VidPidText(const MachinePort& port);

// What a "COMn" line in the section "Ports" should name for this port, and what the technician
// should know about it.
struct PortMapping {
    QString target;
    QString note; // empty when the mapping follows the adapter wherever it is plugged in
};
PortMapping MappingFor(const MachinePort& port);

} // namespace tqdt

#include "ports/PortCatalog.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace tqdt {

std::vector<MachinePort> MachinePorts(const QString& serialDir)
{
    std::vector<MachinePort> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        MachinePort p;
#ifdef Q_OS_WIN
        p.device = info.portName();
#else
        p.device = info.systemLocation();
#endif
        p.description = info.description();
        p.manufacturer = info.manufacturer();
        if (info.hasVendorIdentifier())
            p.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            p.productId = info.productIdentifier();
        p.serialNumber = info.serialNumber();
        out.push_back(std::move(p));
    }
    AttachStableNames(out, serialDir);
    return out;
}

void AttachStableNames(std::vector<MachinePort>& ports, const QString& serialDir)
{
    for (const auto& [folder, member] : {std::pair{QStringLiteral("by-id"), &MachinePort::byId},
                                         {QStringLiteral("by-path"), &MachinePort::byPath}}) {
        const QDir dir(serialDir + QLatin1Char('/') + folder);
        for (const QFileInfo& link :
             dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
            if (!link.isSymLink())
                continue;
            const QString target = QFileInfo(link.symLinkTarget()).canonicalFilePath();
            for (MachinePort& p : ports) {
                const QString device = QFileInfo(p.device).canonicalFilePath();
                // The first link by name wins: udev makes one per interface and keeps them sorted.
                if (!device.isEmpty() && device == target && (p.*member).isEmpty())
                    p.*member = link.absoluteFilePath();
            }
        }
    }
}

QString VidPidText(const MachinePort& port)
{
    if (!port.vendorId || !port.productId)
        return {};
    return QStringLiteral("%1:%2")
        .arg(*port.vendorId, 4, 16, QLatin1Char('0'))
        .arg(*port.productId, 4, 16, QLatin1Char('0'));
}

PortMapping MappingFor(const MachinePort& port)
{
    // An adapter with a serial number is found by it wherever it is plugged in. Without one, two
    // adapters of a kind share their by-id name, so only the socket tells them apart.
    if (!port.serialNumber.isEmpty() && !port.byId.isEmpty())
        return {port.byId, {}};
    if (port.serialNumber.isEmpty() && !port.byPath.isEmpty())
        return {port.byPath,
                QStringLiteral("This adapter has no serial number: the mapping follows the USB socket "
                               "it is plugged into, not the adapter.")};
    if (!port.byId.isEmpty())
        return {port.byId, {}};
    // A built-in port keeps its name; a USB adapter's device may be numbered otherwise after a replug.
    if (!port.vendorId)
        return {port.device, {}};
    return {port.device,
            QStringLiteral("The mapping names the device itself, which may be numbered otherwise "
                           "after the adapter is plugged in again.")};
}

} // namespace tqdt

#pragma once

#include "documents/FileResult.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace tqdt::dmx {

constexpr int kChannels = 512;
constexpr int kCells = kChannels + 2;
constexpr int kAddressCell = 512;
constexpr int kRangeCell = 513;
constexpr int kQdmSize = 2 * kCells;
constexpr int kPoints = 64;      // dimmer points 0-63: D:01.1 ... D:10.4
constexpr int kListEntries = 16; // device addresses 01-10, ranges 4-64
constexpr qint16 kNotMapped = 255;

// "D:" + dimmer device (two hex digits) + "." + output: point 0 is D:01.1, point 63 D:10.4.
QString PointName(int point);

// Which dimmer point each of the 512 DMX output channels follows. A channel holds an offset from
// the gateway's first point (or 255), so moving the device address moves every mapped channel
// without rewriting it. The two last cells govern only the editor: the device address and range.
struct DmxMap {
    std::array<qint16, kCells> cells{};

    DmxMap() { ResetDmxMap(); }

    // Every channel unmapped, address 01 and range 4.
    void ResetDmxMap();

    qint16 GetDeviceAddress() const { return cells[kAddressCell]; }
    void SetDeviceAddress(qint16 v) { cells[kAddressCell] = v; }
    qint16 GetDeviceRange() const { return cells[kRangeCell]; }
    void SetDeviceRange(qint16 v) { cells[kRangeCell] = v; }

    qint16& channel(int i) { return cells[size_t(i)]; }
    qint16 channel(int i) const { return cells[size_t(i)]; }

    // The gateway owns rangeSize() consecutive points from firstPoint().
    int firstPoint() const { return 4 * GetDeviceAddress(); }
    int rangeSize() const { return 4 * (GetDeviceRange() + 1); }
    // The absolute point channel i follows, or -1 when it shows as not mapped (beyond point 63).
    int pointOf(int i) const;
    // The channel's label in the editor: its point's name, or "-".
    QString channelText(int i) const;
};

// The .QDM file: the 514 cells as little-endian 16-bit values, 1,028 bytes without header.
QByteArray QdmBytes(const DmxMap& map);
// Takes the cells from a file image. Returns an empty text on success; otherwise what is wrong, and
// the map is left untouched. A channel other than 0-63 or 255, or an address or range outside its
// 16 entries, would point outside the dimmer selection and the lists, so such a file is refused.
QString QdmParse(const QByteArray& bytes, DmxMap& map);
// The same for a file on disk.
FileResult QdmRead(const QString& path, DmxMap& map);
// Writes through a temporary file, so a failed save leaves the old file whole.
FileResult QdmWrite(const QString& path, const DmxMap& map);

// The gateway's download checksum over the 512 channel cells, 16 upper-case hex digits, most
// significant byte first: what its checksum reply carries.
QByteArray DmxChecksum(const DmxMap& map);

// A patch listing for a lighting desk: "Channel,Point", then channels 1-512 with the point as the
// editor names it (empty when not mapped), CR LF line ends.
QByteArray PatchCsv(const DmxMap& map);
FileResult PatchCsvWrite(const QString& path, const DmxMap& map);

} // namespace tqdt::dmx

#pragma once

#include "documents/FileResult.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace tqdt::gw {

constexpr int kBanks = 2;
constexpr int kBankSize = 65536;
constexpr int kMgwSize = kBanks * kBankSize * 2; // 262,144 bytes
constexpr int kPointSlots = 1024;                // records at bank 0, 0x0000-0x0FFF
constexpr int kPoints = 750;                     // what the editor shows and auto-maps
constexpr int kMultiRelayPoints = 50;            // points 1-50 may control many relays
constexpr int kBitmapSize = 2048;                // 256 nodes x 64 relays, one bit each
constexpr int kBitmapBank0Start = 0x7000;
constexpr int kResendAddress = 0x1000;
constexpr int kTimeoutAddress = 0x1001;

// The point types a record's first byte holds.
enum PointType : qint16 {
    Unused = 0,
    SingleRelay = 1,
    SingleRelayTimer = 2,
    MultiRelay = 3,
    MultiRelayTimer = 4,
    Group = 5,
    GroupTimer = 6,
    Preset = 7,
    InputOn = 8,
    InputOff = 9,
};

// Where the bit of relay r of node n lies in the bitmap of point p.
struct BitAddress {
    int bank;
    int address;
    int bit;
};
BitAddress MultiRelayBit(int p, int n, int r);

// The mapped gateway's whole memory: two banks of 65,536 cells. A cell holds one byte of gateway
// memory, but is kept as a 16-bit value so that whatever a file brings (a bank-0 cell of 256 or more,
// which the download reports) survives a load and a save unchanged. Reads outside the banks give 0 and
// writes there do nothing, so no value from a file or a port can reach outside the arrays.
class GatewayImage {
public:
    GatewayImage();

    // Runs with true after every write (also one that leaves the cell as it was) and with false when
    // the image is cleared: the editors' unsaved-changes flag follows it.
    void setChangeHook(std::function<void(bool)> hook) { m_changed = std::move(hook); }

    qint16 ReadImageByte(int bank, int address) const;
    void WriteImageByte(int bank, int address, qint16 value);
    bool ReadImageBit(int bank, int address, int bit) const;
    // Setting ORs the bit in; clearing ANDs with the inverted byte, which also drops anything above
    // bit 7.
    void WriteImageBit(int bank, int address, int bit, bool on);

    qint16 GetPointType(int p) const { return ReadImageByte(0, 4 * p); }
    void SetPointType(int p, qint16 v) { writePointByte(p, 0, v); }
    qint16 GetPointNode(int p) const { return ReadImageByte(0, 4 * p + 1); }
    void SetPointNode(int p, qint16 v) { writePointByte(p, 1, v); }
    qint16 GetPointUnit(int p) const { return ReadImageByte(0, 4 * p + 2); }
    void SetPointUnit(int p, qint16 v) { writePointByte(p, 2, v); }
    qint16 GetPointNumber(int p) const { return ReadImageByte(0, 4 * p + 3); }
    void SetPointNumber(int p, qint16 v) { writePointByte(p, 3, v); }

    qint16 GetResend() const { return ReadImageByte(0, kResendAddress); }
    void SetResend(qint16 v) { WriteImageByte(0, kResendAddress, v); }
    qint16 GetTimeoutMode() const { return ReadImageByte(0, kTimeoutAddress); }
    void SetTimeoutMode(qint16 v) { WriteImageByte(0, kTimeoutAddress, v); }

    // Points without a bitmap (51 and up) read false and ignore writes.
    bool GetMultiRelay(int p, int n, int r) const;
    void SetMultiRelay(int p, int n, int r, bool on);

    // All cells 0, and the image counts as unchanged.
    void ClearImage();

    // Stores a cell as a transfer or a file brings it, without counting as an edit.
    void load(int bank, int address, qint16 value);
    // The 64 cells of one bank from address on, for the block transfers.
    const qint16* cells(int bank, int address) const;

private:
    void writePointByte(int p, int offset, qint16 v);
    static bool inside(int bank, int address);

    std::vector<qint16> m_cells; // bank b, address a at b * kBankSize + a
    std::function<void(bool)> m_changed;
};

// The .MGW file: every address in turn, bank 0's cell then bank 1's, each 16 bits little-endian, so
// the cell (b, a) is at offset 4a + 2b.
QByteArray MgwBytes(const GatewayImage& image);
// Reads a file image; an empty text on success, otherwise what is wrong, and the image is untouched.
QString MgwParse(const QByteArray& bytes, GatewayImage& image);
// The same for a file on disk; a refused file leaves the image untouched.
FileResult MgwRead(const QString& path, GatewayImage& image);
// Writes the whole file so that a failed save leaves the old one as it was.
FileResult MgwWrite(const QString& path, const GatewayImage& image);

} // namespace tqdt::gw

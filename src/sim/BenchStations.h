#pragma once

#include "sim/Site.h"

#include <array>

namespace tqdt::sim {

// A wall station or sensor on the bench cable. Like the real devices it answers only on the Blue
// channel, at 38400 baud, 8 data bits, no parity, to Wistra frames ("[2" ...) whose checksum is
// right, and only at its own address and the extra addresses its model has. The model write is
// guarded by the enable frame carrying the address's complement; a new model is reported from the
// next frame on, as after the restart the station makes when it takes one.
class BenchStation : public SimDevice {
public:
    explicit BenchStation(int address) : m_address(address) {}

    std::optional<Reply> handle(Channel channel, const QByteArray& frame, const LineSettings& line) final;

    int address() const { return m_address; }
    // Unplugged: nothing answers at any of its addresses.
    void setSilent(bool silent) { m_silent = silent; }

    // The faceplate: buttons (inputs) pressed and released by a test or the bench.
    void press(int button) { m_inputs |= 1 << button; }
    void release(int button) { m_inputs &= ~(1 << button); }
    void setInputs(int bits) { m_inputs = bits & 0xFF; }
    int inputs() const { return m_inputs; }
    // The pilot mask (or settings byte) of the last status query.
    int pilots() const { return m_pilots; }
    // The first status byte (zone and scene states of the stations that have them).
    void setStatusB(int b) { m_statusB = b & 0xFF; }
    // Model writes accepted since it was made.
    int writes() const { return m_writes; }

protected:
    // The reply data for a frame at address() + offset; nothing for a frame it does not answer.
    virtual std::optional<QByteArray> answer(int offset, char command, const QByteArray& data) = 0;
    // A value written after a good enable frame; returns the byte the acknowledgement carries.
    virtual int write(int value) = 0;
    // How many addresses after its own it answers at (0 to 2).
    virtual int extraAddresses() const { return 0; }

    int m_address;
    int m_inputs = 0;
    int m_pilots = 0;
    int m_statusB = 0;

private:
    bool m_silent = false;
    bool m_enabled = false;
    int m_writes = 0;
};

// The legacy station: address 00 only, a type byte with the model in its high and the revision in
// its low four bits, and a configure frame it does not answer.
class LegacyWallStation final : public BenchStation {
public:
    explicit LegacyWallStation(int typeByte = 0x63) : BenchStation(0), m_type(typeByte) {}
    int typeByte() const { return m_type; }
    void setTypeByte(int t) { m_type = t & 0xFF; }

protected:
    std::optional<QByteArray> answer(int offset, char command, const QByteArray& data) override;
    int write(int value) override { return value; }

private:
    int m_type;
};

// A third-generation station. The multi-address models also answer the status query at one or
// two following addresses, with inputs of their own.
class G3WallStation final : public BenchStation {
public:
    G3WallStation(int address, int typeByte, int revision = 9)
        : BenchStation(address), m_type(typeByte), m_revision(revision)
    {
    }
    int typeByte() const { return m_type; }
    void setTypeByte(int t) { m_type = t & 0xFF; }
    void setRevision(int r) { m_revision = r; }
    // The inputs of the devices at the extra addresses (offset 1 or 2).
    void setExtraInputs(int offset, int bits) { m_extra[size_t(offset == 2)] = bits & 0xFF; }

protected:
    std::optional<QByteArray> answer(int offset, char command, const QByteArray& data) override;
    int write(int value) override;
    int extraAddresses() const override;

private:
    int m_type;
    int m_revision;
    std::array<int, 2> m_extra{};
};

// The occupancy settings both dual-technology sensors keep. While they take their settings over
// the wire they adopt the byte every status query carries.
struct OccupancySettings {
    int pir = 3, acs = 3, vac = 3, led = 1;
    int relayPol = 0, ool = 0;
    void adopt(int mask);
    // The two configuration bytes the read-configuration frame reports.
    int configA() const { return pir | acs << 2 | relayPol << 4; }
    int configB() const { return vac | led << 3 | ool << 7; }
    // Read-back and settings writes shared by both sensors; -1 when the value is not one of them.
    int write(int value, bool readBack);
};

// The ceiling sensor: a status byte whose low two bits are its type (1 DT only, 2 photocell only,
// 3 both, whose photocell answers at the next address), relay polarity in bit 2 and settings source
// in bit 3; revision 14 and later take the sensitivity and timer writes and can be read back.
class CeilingSensor final : public BenchStation {
public:
    CeilingSensor(int address, int type = 3, int revision = 14)
        : BenchStation(address), m_typeBits(type & 3), m_revision(revision)
    {
    }
    OccupancySettings settings;
    void setRevision(int r) { m_revision = r; }
    void setPhotocell(int level02, int level30) { m_photo = {level02 & 0xFF, level30 & 0xFF}; }
    // The four timer words (bit 15: negative).
    std::array<quint16, 4> timerWords{};
    int statusByte() const { return m_typeBits | settings.relayPol << 2 | settings.ool << 3; }

protected:
    std::optional<QByteArray> answer(int offset, char command, const QByteArray& data) override;
    int write(int value) override;
    int extraAddresses() const override { return m_typeBits == 3 ? 1 : 0; }

private:
    int m_typeBits;
    int m_revision;
    std::array<int, 2> m_photo{};
};

// The wall sensor: a station with buttons and pilots whose type byte (64-80, +32 for the "SA - "
// variants) says its model; the plain models' occupancy part answers at the next address.
class WallSensor final : public BenchStation {
public:
    WallSensor(int address, int typeByte = 65, int revision = 12)
        : BenchStation(address), m_type(typeByte), m_revision(revision)
    {
    }
    OccupancySettings settings;
    int typeByte() const { return m_type; }
    void setTypeByte(int t) { m_type = t & 0xFF; }
    void setOccupancyInputs(int bits) { m_occInputs = bits & 0xFF; }

protected:
    std::optional<QByteArray> answer(int offset, char command, const QByteArray& data) override;
    int write(int value) override;
    int extraAddresses() const override;

private:
    int m_type;
    int m_revision;
    int m_occInputs = 0;
};

// The touchless switch: six touch buttons, wipe-down (input 7) and proximity (input 8); its type byte
// carries audible touch and the wipe-down time beside the model. The plain multi-function models
// answer at a second address.
class KestrixStation final : public BenchStation {
public:
    KestrixStation(int address, int typeByte = 0x20, int revision = 9)
        : BenchStation(address), m_type(typeByte), m_revision(revision)
    {
    }
    int typeByte() const { return m_type; }
    void setTypeByte(int t) { m_type = t & 0xFF; }
    void setSecondInputs(int bits) { m_second = bits & 0xFF; }

protected:
    std::optional<QByteArray> answer(int offset, char command, const QByteArray& data) override;
    int write(int value) override;
    int extraAddresses() const override;

private:
    int m_type;
    int m_revision;
    int m_second = 0;
};

} // namespace tqdt::sim

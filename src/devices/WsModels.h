#pragma once

#include "devices/WsCatalog.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace tqdt {
class Host;
}

namespace tqdt::ws {

// What one poll of a station's extra addresses, zones and scenes found.
struct DeviceRow {
    bool polled = false;
    bool answered = false;
    int bits = 0;    // the input image of the device at the extra address
    int statusB = 0; // its first status byte
};
struct RowsPoll {
    ExtraRows rows; // the rows flagged in this poll (none after a failed status or type query)
    DeviceRow dev2, dev3;
    std::array<bool, 8> zoneUp{}, zoneDown{}, scenes{};
};

// One poll of a G3, Kestrix or dual-technology wall station: the status query with the pilot
// mask, the type query, then the extra addresses the model has.
struct StationPoll {
    bool statusOk = false;
    int inputs = 0; // WsStatusA
    int statusB = 0, statusC = 0;
    bool typeOk = false;
    int typeByte = 0, revision = 0;
    QString text; // catalogue text with revision
    RowsPoll extra;
};

// Searches 00 to FE with the status query and mask 0; probing(a) runs before each address is tried.
std::optional<int> FindStation(Host& host, const std::function<void(int)>& probing);

// The legacy Wistra station, always at address 00.
class LegacyStation {
public:
    explicit LegacyStation(Host& host) : m_host(host) {}

    // The type byte in WsStatusA, checksum checked.
    bool QVComWSType();
    struct Poll {
        bool statusOk = false;
        int inputs = 0;
        bool typeOk = false;
        int typeByte = 0;
    };
    Poll ScanWS(int pilotMask);
    // Sends the configure frame of list entry j and gives the station a second; it answers nothing.
    void QVComWSCnf(int entry);
    static QByteArray configureFrame(int entry);

private:
    Host& m_host;
};

// A third-generation Wistra station at any address 00-FE.
class G3Station {
public:
    explicit G3Station(Host& host) : m_host(host) {}

    StationPoll ScanWS(int address, int pilotMask);
    // Rewrites the model; false when the station did not answer the enable frame.
    bool QVComWSCnfG3(int address, int code);

private:
    Host& m_host;
};

// The Kestrix touchless wall switch.
class KestrixSwitch {
public:
    explicit KestrixSwitch(Host& host) : m_host(host) {}

    StationPoll ScanWS(int address, int pilotMask);
    // The type byte a configuration writes: model, wipe-down (0 disabled, 1 six, 2 twelve seconds)
    // and audible touch.
    static int typeByteFor(int entry, int wipeDown, bool audio);
    // False when the switch did not answer the enable frame.
    bool QVComWSCnfKX(int address, int typeByte);

private:
    Host& m_host;
};

// The occupancy settings both dual-technology sensors carry.
struct SensorSettings {
    int PirSens = 3;
    int AcsSens = 3;
    int VacTimer = 3;
    int LedMode = 1;
    int DevType = 0;
    int RelayPol = 0;
    int OolSource = 0;
    // Sent with every status poll of the sensor.
    int mask() const { return LedMode * 128 + VacTimer * 16 + AcsSens * 4 + PirSens; }
    void defaults() { PirSens = AcsSens = VacTimer = 3, LedMode = 1; }
};
// Reads PIR, acoustic, vacancy and LED settings back with the two read-back writes. Only when both
// were answered are the settings taken (true); otherwise they stay as they were, since an earlier
// reply left in the buffer would be decoded as the sensor's.
bool ReadSensorSettings(Host& host, int address, SensorSettings& s);

// What a window must know before Configure Sensor may write a sensor at the address selected: the
// status read after "Find WS" (device type, relay polarity, settings source), and the other
// settings read from the sensor or set to the defaults where the sensor can be read at all.
// Anything else would write the window's starting values over the sensor's own.
struct SensorKnown {
    bool typeRead = false;
    bool settingsRead = false;
    bool mayConfigure(bool readable) const { return typeRead && (settingsRead || !readable); }
    void forget() { typeRead = settingsRead = false; }
};

QString photocellCaption(int which, int level);
QString timerCaption(int level);

// The dual-technology ceiling sensor.
class DualTechCeiling {
public:
    explicit DualTechCeiling(Host& host) : m_host(host) {}

    struct State {
        SensorSettings s;
        int SensorRev = 0;
        bool JustFound = false;
        bool AdvancedMode = false;
        SensorKnown known;
        // "Read From Sensor" is offered from revision 14 on; before it only the first byte is written.
        bool mayConfigure() const { return known.mayConfigure(SensorRev >= 14); }
    };
    struct Timer {
        QString caption;
        bool negative = false;
    };
    struct Poll {
        bool statusOk = false;
        int inputs = 0;
        bool stsOk = false;
        int statusByte = 0, revision = 0, t = 0;
        QString text;
        bool settingsChanged = false;
        bool showPhotocells = false, showInputs = false, showGroups = false;
        std::optional<std::array<int, 2>> photocells;
        std::optional<std::array<Timer, 4>> timers;
        std::optional<std::array<int, 2>> config;
    };
    Poll ScanWS(int address, State& st);
    // Device type, relay polarity and settings source; the sensitivities and timer too from
    // revision 14 on. Every frame goes out with its waits; true when every one was answered.
    bool Configure(int address, const State& st);

private:
    Host& m_host;
};

// The dual-technology wall sensor: a station with buttons and pilots and an occupancy part.
class DualTechWall {
public:
    explicit DualTechWall(Host& host) : m_host(host) {}

    struct State {
        SensorSettings s;
        int WSType = 79;
        bool JustFound = false;
        SensorKnown known;
        bool mayConfigure() const { return known.mayConfigure(true); }
    };
    struct Poll {
        StationPoll station;
        std::optional<std::array<int, 2>> config;
        bool settingsChanged = false;
    };
    Poll ScanWS(int address, int pilotMask, State& st);
    // The three settings writes with their waits; true when every one was answered.
    bool ConfigureSensor(int address, const SensorSettings& s);
    // Writes model 64 + entry; false when the enable frame went unanswered.
    bool QVComWSCnfG3DTWall(int address, int entry);

private:
    Host& m_host;
};

} // namespace tqdt::ws

#include "devices/WsModels.h"

#include "bus/FrameCodec.h"
#include "bus/WallStationCommands.h"
#include "devices/WsLink.h"
#include "host/Host.h"

#include <algorithm>

namespace tqdt::ws {

namespace {

DeviceRow pollDevice(Host& host, int address, int mask)
{
    DeviceRow d;
    d.polled = true;
    d.answered = WsStatus(host, qint16(address), qint16(mask));
    if (d.answered) {
        d.bits = host.reply.WsStatusA;
        d.statusB = host.reply.WsStatusB;
    }
    return d;
}

StationPoll pollStation(Host& host, Family family, int address, int pilotMask, int secondDeviceMask)
{
    StationPoll p;
    if (!WsStatus(host, qint16(address), qint16(pilotMask)))
        return p;
    p.statusOk = true;
    p.inputs = host.reply.WsStatusA;
    p.statusB = host.reply.WsStatusB;
    p.statusC = host.reply.WsStatusC;
    const std::optional<TypeReply> t = TypeQuery(host, address);
    if (!t)
        return p;
    p.typeOk = true;
    p.typeByte = t->type;
    p.revision = t->revision;
    p.text = typeText(family, t->type, t->revision);

    RowsPoll& x = p.extra;
    x.rows = extraRows(family, t->type);
    if (x.rows.secondDevice)
        x.dev2 = pollDevice(host, address + 1, secondDeviceMask);
    if (x.rows.thirdDevice)
        x.dev3 = pollDevice(host, address + 2, 0);
    // The zone and scene bits come with the station's own status reply of this poll.
    if (x.rows.hasZones()) {
        x.zoneUp = zoneRow(x.rows, p.statusB, p.statusC, true);
        x.zoneDown = zoneRow(x.rows, p.statusB, p.statusC, false);
    }
    if (x.rows.hasScenes())
        x.scenes = sceneRow(x.rows, p.statusB);
    return p;
}

} // namespace

std::optional<int> FindStation(Host& host, const std::function<void(int)>& probing)
{
    for (int a = 0; a <= 0xFE; ++a) {
        if (probing)
            probing(a);
        if (WsStatus(host, qint16(a), 0))
            return a;
    }
    return std::nullopt;
}

// --- Legacy ---

bool LegacyStation::QVComWSType()
{
    if (!Request(m_host, shape::WsLegacyType, SealDevFrame("[2000")))
        return false;
    const QByteArray& r = m_host.reply.ReplyText;
    if (!CheckDevReply(r, BusFrameShape(shape::WsLegacyType).replyChecksumPos))
        return false;
    m_host.reply.WsStatusA = qint16(HexVal2(Mid(r, 2, 2)));
    return true;
}

LegacyStation::Poll LegacyStation::ScanWS(int pilotMask)
{
    Poll p;
    if (!WsStatus(m_host, 0, qint16(pilotMask)))
        return p;
    p.statusOk = true;
    p.inputs = m_host.reply.WsStatusA;
    p.typeOk = QVComWSType();
    if (p.typeOk)
        p.typeByte = m_host.reply.WsStatusA;
    return p;
}

QByteArray LegacyStation::configureFrame(int entry)
{
    const int code = kLegacyConfigList[size_t(std::clamp(entry, 0, 12))].code;
    // The code goes out as one hex digit, without a leading zero.
    return SealDevFrame("[2004*" + QByteArray::number(code, 16).toUpper());
}

void LegacyStation::QVComWSCnf(int entry)
{
    Send(m_host, configureFrame(entry));
    m_host.Delay(1000);
}

// --- G3 ---

StationPoll G3Station::ScanWS(int address, int pilotMask)
{
    return pollStation(m_host, Family::G3, address, pilotMask, 0);
}

bool G3Station::QVComWSCnfG3(int address, int code)
{
    return WsEnableAndWrite(m_host, qint16(address), qint16(code), WsWrite::ModelThenSecond) !=
           WsWriteResult::NoEnable;
}

// --- Kestrix ---

StationPoll KestrixSwitch::ScanWS(int address, int pilotMask)
{
    return pollStation(m_host, Family::Kestrix, address, pilotMask, 0);
}

int KestrixSwitch::typeByteFor(int entry, int wipeDown, bool audio)
{
    static constexpr int kWipeBits[3] = {0, 8, 24};
    return kKestrixConfigList[size_t(std::clamp(entry, 0, 5))].code + kWipeBits[std::clamp(wipeDown, 0, 2)] +
           (audio ? 128 : 0);
}

bool KestrixSwitch::QVComWSCnfKX(int address, int typeByte)
{
    return WsEnableAndWrite(m_host, qint16(address), qint16(typeByte), WsWrite::ModelThenSecond) !=
           WsWriteResult::NoEnable;
}

// --- Dual-technology sensors ---

bool ReadSensorSettings(Host& host, int address, SensorSettings& s)
{
    // Each read-back answers with the settings in the second digit of its reply. Both frames go out
    // as they always do; the settings are taken only once both came back.
    const bool first = WsWriteConfig(host, qint16(address), 160);
    const int v1 = HexVal1(Mid(host.reply.ReplyText, 3, 1));
    const bool second = WsWriteConfig(host, qint16(address), 176);
    const int v2 = HexVal1(Mid(host.reply.ReplyText, 3, 1));
    if (!first || !second)
        return false;
    s.PirSens = v1 % 4;
    s.AcsSens = v1 / 4;
    s.VacTimer = v2 % 8;
    s.LedMode = v2 / 8;
    return true;
}

QString photocellCaption(int which, int level)
{
    return QStringLiteral("  Photocell %1 Sec %2/255")
        .arg(which == 0 ? QStringLiteral("02") : QStringLiteral("30"))
        .arg(level, 3, 10, QLatin1Char('0'));
}

QString timerCaption(int level)
{
    return QStringLiteral("%1:%2")
        .arg(level / 60, 3, 10, QLatin1Char('0'))
        .arg(level % 60, 2, 10, QLatin1Char('0'));
}

DualTechCeiling::Poll DualTechCeiling::ScanWS(int address, State& st)
{
    Poll p;
    const qint16 a = qint16(address);
    const int mask = st.s.mask();
    if (WsStatus(m_host, a, qint16(mask))) {
        p.statusOk = true;
        p.inputs = m_host.reply.WsStatusA;
        const int level02 = m_host.reply.WsStatusB, level30 = m_host.reply.WsStatusC;
        if (const std::optional<TypeReply> r = TypeQuery(m_host, address)) {
            p.stsOk = true;
            const int n = r->type;
            p.statusByte = n;
            if (st.JustFound) {
                st.JustFound = false;
                st.s.DevType = (n & 3) - 1 < 0 ? 1 : (n & 3) - 1;
                st.s.RelayPol = (n >> 2) & 1;
                st.s.OolSource = (n >> 3) & 1;
                st.known.typeRead = true;
                p.settingsChanged = true;
            }
            p.t = n & 3;
            p.revision = r->revision;
            if (r->revision != st.SensorRev) {
                st.SensorRev = r->revision;
                // Sensors before revision 14 take their settings over the wire only.
                if (r->revision < 14)
                    st.s.OolSource = 0;
                p.settingsChanged = true;
            }
            p.text = ceilingTypeText(p.t, r->revision);
            switch (p.t) {
            case 1: p.showInputs = p.showGroups = true; break;
            case 2:
                p.showPhotocells = true;
                p.photocells = std::array<int, 2>{level02, level30};
                break;
            case 3:
                p.showPhotocells = p.showInputs = p.showGroups = true;
                // The photocell of a combined sensor answers at the next address.
                if (WsStatus(m_host, qint16(address + 1), 0))
                    p.photocells = std::array<int, 2>{m_host.reply.WsStatusB, m_host.reply.WsStatusC};
                break;
            default: break;
            }
            if (st.AdvancedMode && WsSensorLevels(m_host, a, qint16(mask))) {
                std::array<Timer, 4> timers;
                for (size_t k = 0; k < 4; ++k)
                    timers[k] = {timerCaption(m_host.reply.SensorLevel[k]), m_host.reply.SensorNegative[k]};
                p.timers = timers;
            }
        }
    }
    if (WsReadConfig(m_host, a))
        p.config = std::array<int, 2>{m_host.reply.WsStatusB, m_host.reply.WsStatusC};
    return p;
}

bool DualTechCeiling::Configure(int address, const State& st)
{
    const qint16 a = qint16(address);
    const SensorSettings& s = st.s;
    bool answered = WsWriteConfig(m_host, a, qint16(208 + s.RelayPol * 4 + s.OolSource * 8 + s.DevType + 1));
    if (st.SensorRev < 14)
        return answered;
    m_host.Delay(500);
    answered = WsWriteConfig(m_host, a, qint16(224 + s.AcsSens * 4 + s.PirSens)) && answered;
    m_host.Delay(500);
    return WsWriteConfig(m_host, a, qint16(240 + s.LedMode * 8 + s.VacTimer)) && answered;
}

DualTechWall::Poll DualTechWall::ScanWS(int address, int pilotMask, State& st)
{
    Poll p;
    p.station = pollStation(m_host, Family::DualTechWall, address, pilotMask, st.s.mask());
    if (p.station.typeOk)
        st.WSType = p.station.typeByte & catalog(Family::DualTechWall).modelMask;
    if (WsReadConfig(m_host, qint16(address))) {
        p.config = std::array<int, 2>{m_host.reply.WsStatusB, m_host.reply.WsStatusC};
        if (st.JustFound) {
            st.JustFound = false;
            st.s.OolSource = (m_host.reply.WsStatusC >> 7) & 1;
            st.known.typeRead = true;
            p.settingsChanged = true;
        }
    }
    return p;
}

bool DualTechWall::ConfigureSensor(int address, const SensorSettings& s)
{
    const qint16 a = qint16(address);
    bool answered = WsWriteConfig(m_host, a, qint16(192 + s.OolSource * 8));
    m_host.Delay(500);
    answered = WsWriteConfig(m_host, a, qint16(224 + s.AcsSens * 4 + s.PirSens)) && answered;
    m_host.Delay(500);
    return WsWriteConfig(m_host, a, qint16(240 + s.LedMode * 8 + s.VacTimer)) && answered;
}

bool DualTechWall::QVComWSCnfG3DTWall(int address, int entry)
{
    // The acknowledgement carries nothing to check.
    return WsEnableAndWrite(m_host, qint16(address), qint16(64 + std::clamp(entry, 0, 16)), WsWrite::Model) !=
           WsWriteResult::NoEnable;
}

} // namespace tqdt::ws

#include "network/SiteSurvey.h"

#include "bus/ActivityCheck.h"
#include "bus/BusLink.h"
#include "bus/PanelCommands.h"
#include "bus/WallStationCommands.h"
#include "condlogic/FactoryModule.h"
#include "devices/WsCatalog.h"
#include "devices/WsLink.h"
#include "dmx/DmxTransfer.h"
#include "gateway/GatewayProtocol.h"
#include "host/Host.h"

#include <set>

namespace tqdt::net {

namespace {

constexpr int kLastNode = 0xFE;
// The sweeps of a survey, for the progress bar: the node probes, the type reads, the status queries
// and the module's search, and a few single requests.
constexpr int kSteps = 254 + 3 * 255 + 8;

struct FamilyName {
    ws::Family family;
    const char* name;
};
constexpr FamilyName kFamilies[] = {
    {ws::Family::G3, "g3"},
    {ws::Family::Kestrix, "kestrix"},
    {ws::Family::DualTechWall, "dualtech-wall"},
};
constexpr const char* kCeiling = "dualtech-ceiling";

bool isSensor(const QString& family) { return family.startsWith(QLatin1String("dualtech")); }

ws::Family familyOf(const QString& name)
{
    for (const FamilyName& f : kFamilies)
        if (name == QLatin1String(f.name))
            return f.family;
    return ws::Family::Legacy;
}

// The addresses after a device's own that its model answers at (second and third stations, the
// occupancy part of a wall sensor, the photocell of a combined ceiling sensor). A survey never polls
// them: the occupancy part of a sensor that takes its settings over the wire would adopt the mask.
std::set<int> extraAddresses(int address, int typeByte,
                             const std::vector<std::pair<QString, QString>>& candidates)
{
    std::set<int> extra;
    for (const auto& [name, text] : candidates) {
        int count = 0;
        if (name == QLatin1String(kCeiling)) {
            count = (typeByte & 3) == 3 ? 1 : 0;
        } else {
            const ws::ExtraRows rows = ws::extraRows(familyOf(name), typeByte);
            count = rows.thirdDevice ? 2 : rows.secondDevice ? 1 : 0;
            // A plain wall sensor's occupancy part answers at the next address.
            if (familyOf(name) == ws::Family::DualTechWall && (typeByte & 0x20) == 0)
                count = std::max(count, 1);
        }
        for (int k = 1; k <= count; ++k)
            extra.insert(address + k);
    }
    return extra;
}

} // namespace

std::vector<std::pair<QString, QString>> SurveyCandidates(int typeByte, int revision)
{
    std::vector<std::pair<QString, QString>> out;
    for (const FamilyName& f : kFamilies)
        if (ws::modelName(f.family, typeByte))
            out.emplace_back(QString::fromLatin1(f.name), ws::typeText(f.family, typeByte, revision));
    // A ceiling sensor's status byte carries its type in the low two bits, relay polarity and the
    // settings source above them, and nothing higher.
    if (typeByte < 16 && (typeByte & 3) != 0)
        out.emplace_back(QString::fromLatin1(kCeiling), ws::ceilingTypeText(typeByte, revision));
    return out;
}

struct SiteSurvey::Impl {
    SiteSurvey& s;
    SurveyRecord& r;
    int step = 0;
    QString stage;
    std::optional<Outcome> end;

    Host& host() { return s.m_host; }

    // Between two requests: the display and Stop get their turn, and a port that went away ends it.
    bool carryOn(int address)
    {
        SerialPort& port = host().comQV();
        if (port.vanished() || !port.isOpen())
            end = Outcome::PortGone;
        if (!end) {
            host().yieldToUser();
            if (s.m_cancel.requested())
                end = Outcome::Stopped;
        }
        if (end)
            return false;
        ++step;
        if (s.onProgress)
            s.onProgress({stage, address, std::min(step, kSteps), kSteps});
        return true;
    }
    void enter(const QString& name)
    {
        stage = name;
        if (s.onProgress)
            s.onProgress({stage, -1, std::min(step, kSteps), kSteps});
    }
    SurveyDevice& add(SurveyDevice d)
    {
        d.readAt = host().clock().localDateTime();
        r.devices.push_back(std::move(d));
        if (s.onDevice)
            s.onDevice(r.devices.back());
        return r.devices.back();
    }

    void panels()
    {
        enter(QStringLiteral("Panels"));
        std::vector<int> found;
        for (int a = 1; a <= kLastNode; ++a) {
            if (!carryOn(a))
                return;
            if (NodeProbe(host(), qint16(a)))
                found.push_back(a);
        }
        enter(QStringLiteral("Panel relays"));
        for (int a : found) {
            if (!carryOn(a))
                return;
            SurveyDevice d;
            d.channel = Channel::Brown;
            d.address = a;
            d.kind = QStringLiteral("panel");
            const bool present = PanelPresent(host(), qint16(a));
            if (!carryOn(a))
                return;
            if (present && PanelRelays(host(), qint16(a), false, 0, 0)) {
                std::array<bool, 64> relays{};
                for (int i = 0; i < 64; ++i)
                    relays[size_t(i)] = (host().reply.RelayImage[size_t(i / 8)] >> (i % 8)) & 1;
                d.relays = relays;
            }
            add(std::move(d));
        }
    }

    void dmxGateway()
    {
        enter(QStringLiteral("DMX gateway"));
        if (!carryOn(0))
            return;
        dmx::DmxTransfer dmx(host());
        if (dmx.WSComPrg(shape::DmxFirmware, "[04]")) {
            SurveyDevice d;
            d.channel = Channel::Brown;
            d.kind = QStringLiteral("dmx-gateway");
            d.firmware = dmx::DmxTransfer::FirmwareText(dmx.LastReply);
            add(std::move(d));
        }
    }

    std::set<int> answered, skipped;

    void wallDevices()
    {
        enter(QStringLiteral("Wall stations"));
        for (int a = 0; a <= kLastNode; ++a) {
            if (!carryOn(a))
                return;
            const std::optional<ws::TypeReply> t = ws::TypeQuery(host(), a);
            if (!t)
                continue;
            answered.insert(a);
            SurveyDevice d;
            d.address = a;
            d.typeByte = t->type;
            d.revision = t->revision;
            d.candidates = SurveyCandidates(t->type, t->revision);
            const std::set<int> extra = extraAddresses(a, t->type, d.candidates);
            skipped.insert(extra.begin(), extra.end());
            bool sensor = !d.candidates.empty();
            for (const auto& [name, text] : d.candidates)
                sensor = sensor && isSensor(name);
            d.kind = sensor ? QStringLiteral("sensor") : QStringLiteral("station");
            if (d.candidates.size() == 1) {
                d.family = d.candidates.front().first;
                d.type = d.candidates.front().second;
                d.candidates.clear();
            }
            bool mayBeSensor = false;
            for (const auto& [name, text] : d.candidates)
                mayBeSensor = mayBeSensor || isSensor(name);
            if (mayBeSensor || (d.family && isSensor(*d.family))) {
                if (!carryOn(a))
                    return;
                if (WsReadConfig(host(), qint16(a)))
                    d.config = Mid(host().reply.ReplyText, 2, 4);
            }
            add(std::move(d));
        }
    }

    // Where nothing answered the type read, the status query with pilot mask zero finds the
    // stations of the families that have none; a module or a model's extra address is not asked.
    void statusPolls()
    {
        enter(QStringLiteral("Status"));
        bool polled = false;
        for (int a = 0; a <= kLastNode; ++a) {
            if (answered.count(a) || skipped.count(a))
                continue;
            if (!carryOn(a))
                return;
            if (!WsStatus(host(), qint16(a), 0))
                continue;
            polled = true;
            SurveyDevice d;
            d.address = a;
            d.kind = QStringLiteral("station");
            add(std::move(d));
        }
        if (polled)
            r.notes << QStringLiteral(
                "Stations that answered only the status query were polled with pilot mask "
                "zero: their pilots stay dark until their panel polls them again.");
    }

    void module()
    {
        enter(QStringLiteral("Conditional input module"));
        cnd::FactoryModule module(host());
        for (int n = 0; n <= kLastNode; ++n) {
            if (!carryOn(n))
                return;
            if (!module.poll(n))
                continue;
            skipped.insert(n);
            SurveyDevice d;
            d.address = n;
            d.kind = QStringLiteral("module");
            if (n == 0) {
                if (!carryOn(n))
                    return;
                d.config = module.readChecksum();
            }
            add(std::move(d));
        }
    }

    void mappedGateway()
    {
        enter(QStringLiteral("Mapped gateway"));
        BusLink(host()).select(Channel::Blue);
        QByteArray sums;
        for (int bank = 0; bank < 2; ++bank) {
            if (!carryOn(0))
                return;
            BusLink link(host());
            if (!link.exchange(BusFrameShape(shape::GatewayChecksum),
                               gw::GatewayFrame(gw::ChecksumCommand(bank))))
                return;
            if (!sums.isEmpty())
                sums += ' ';
            sums +=
                QByteArray::number(gw::ChecksumReplyValue(link.reply()), 16).toUpper().rightJustified(8, '0');
        }
        SurveyDevice d;
        d.kind = QStringLiteral("gateway");
        d.config = sums;
        add(std::move(d));
    }
};

SiteSurvey::SiteSurvey(Host& host, CancelToken& cancel) : m_host(host), m_cancel(cancel) {}

QString SiteSurvey::reasonText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Complete: break;
    case Outcome::OtherMaster: return QStringLiteral("Another Device Is Scanning The Network.");
    case Outcome::PortGone: return QStringLiteral("The port went away.");
    case Outcome::Stopped: return QStringLiteral("Survey stopped.");
    }
    return {};
}

SiteSurvey::Outcome SiteSurvey::run(SurveyRecord& record)
{
    m_cancel.reset();
    record.devices.clear();
    record.notes.clear();
    record.started = m_host.clock().localDateTime();
    Impl impl{*this, record, 0, {}, {}, {}, {}};
    impl.enter(QStringLiteral("Checking network activity"));
    if (!NetworkIsQuiet(m_host, true)) {
        impl.end = Outcome::OtherMaster;
    } else {
        impl.panels();
        if (!impl.end)
            impl.dmxGateway();
        if (!impl.end)
            impl.wallDevices();
        if (!impl.end)
            impl.module();
        if (!impl.end)
            impl.statusPolls();
        if (!impl.end)
            impl.mappedGateway();
    }
    record.notes << QStringLiteral("Legacy stations, dimmers and relay devices are not in the survey: they "
                                   "can be told apart only by requests that change them.");
    record.finished = m_host.clock().localDateTime();
    const Outcome outcome = impl.end.value_or(Outcome::Complete);
    record.complete = outcome == Outcome::Complete;
    record.reason = reasonText(outcome);
    record.sortDevices();
    return outcome;
}

} // namespace tqdt::net

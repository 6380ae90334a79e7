#include "network/SiteSurvey.h"

#include "bus/FrameShapes.h"
#include "gateway/GatewayProtocol.h"
#include "sim/BenchStations.h"
#include "sim/BuiltInSite.h"
#include "sim/CondModule.h"
#include "sim/MappedGateway.h"
#include "support/SimHost.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <set>

namespace tqdt::test {
namespace {

using net::SiteSurvey;
using net::SurveyDevice;
using net::SurveyRecord;

// The built-in installation, with the module on the bench and a station and a sensor of the test's
// own, so that a test can change them between two visits.
struct SiteSurveyFixture : ::testing::Test {
    static constexpr int kOwnG3 = 0xA0, kOwnSensor = 0xB0;
    SimHost h;
    CancelToken cancel;
    std::shared_ptr<sim::G3WallStation> g3 = std::make_shared<sim::G3WallStation>(kOwnG3, 0x18, 9);
    std::shared_ptr<sim::WallSensor> sensor = std::make_shared<sim::WallSensor>(kOwnSensor, 0x4E, 12);

    void SetUp() override
    {
        sim::AddBuiltInDevices(h.site);
        h.site.setBench(std::make_shared<sim::CondModule>(0));
        h.site.addDevice(g3);
        sensor->settings = {1, 2, 5, 0, 0, 0}; // over the wire: a status query's byte would replace them
        h.site.addDevice(sensor);
        h.openPort();
    }
    SurveyRecord survey(SiteSurvey::Outcome expected = SiteSurvey::Outcome::Complete)
    {
        SurveyRecord r;
        r.tool = "tqdt test";
        SiteSurvey s(h.host, cancel);
        EXPECT_EQ(s.run(r), expected);
        return r;
    }
    static const SurveyDevice* find(const SurveyRecord& r, Channel c, int address, const QString& kind)
    {
        for (const SurveyDevice& d : r.devices)
            if (d.channel == c && d.address == address && d.kind == kind)
                return &d;
        return nullptr;
    }
};

TEST_F(SiteSurveyFixture, SendsOnlyReadsOfTheirRowsOnTheirChannels)
{
    const SurveyRecord r = survey();
    // Every request a survey may send; anything else (a relay write, a level, a configuration, a
    // reset, a programming frame) fails the test.
    const std::set<int> reads = {shape::NodeProbe,      shape::PanelPresent, shape::PanelRelayRead,
                                 shape::DmxFirmware,    shape::WsTypeQuery,  shape::WsStatus,
                                 shape::WsReadConfig,   shape::ModulePoll,   shape::ModuleChecksum,
                                 shape::GatewayChecksum};
    std::set<int> typeAnswered;
    for (const SurveyDevice& d : r.devices)
        if (d.channel == Channel::Blue && d.typeByte)
            typeAnswered.insert(d.address);
    ASSERT_FALSE(h.site.written.empty());
    for (const auto& w : h.site.written) {
        int row = -1;
        // A network frame and a device frame can have the same length and characters at the
        // command's place; the checksum tells them apart.
        for (int i = 0; i < shape::Count && row < 0; ++i) {
            const FrameShape& s = BusFrameShape(i);
            const bool sealed =
                s.family == FrameFamily::Bare || s.dashes || FrameChecksumValid(s.family, w.frame);
            if (FrameHasShape(s, w.frame) && sealed)
                row = NamedShape(i);
        }
        ASSERT_TRUE(reads.count(row)) << w.frame.constData();
        const FrameShape& s = BusFrameShape(row);
        // The gateway's rows name no channel: it answers on the Blue one.
        EXPECT_EQ(w.channel, s.channel.value_or(Channel::Blue)) << w.frame.constData();
        EXPECT_EQ(w.awaited, s.replyLength) << w.frame.constData();
        EXPECT_EQ(w.limitMs, s.limitMs) << w.frame.constData();
        EXPECT_EQ(w.baud, 38400);
        if (row == shape::WsStatus) {
            EXPECT_EQ(w.frame.mid(5, 2), "00") << "pilot mask zero only";
            const int a = HexVal2(w.frame.mid(2, 2));
            EXPECT_FALSE(typeAnswered.count(a)) << "a station that answered the type read: " << a;
            // The occupancy parts of the plain wall sensors, which would adopt the mask.
            EXPECT_NE(a, kOwnSensor + 1);
            EXPECT_NE(a, sim::kSiteWallSensor + 1);
        }
        if (row == shape::ModuleChecksum) {
            EXPECT_EQ(w.frame, "[200C00--]");
        }
    }
    EXPECT_EQ(sensor->settings.pir, 1);
    EXPECT_EQ(sensor->settings.vac, 5);
}

TEST_F(SiteSurveyFixture, RecordHoldsWhatTheSiteHolds)
{
    const QDateTime start = h.clock.localDateTime();
    const SurveyRecord r = survey();
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.reason, "");
    EXPECT_EQ(r.started, start);
    EXPECT_GT(r.finished, r.started);

    for (const auto& [address, panel] : h.site.panels) {
        const SurveyDevice* d = find(r, Channel::Brown, address, "panel");
        ASSERT_TRUE(d) << address;
        ASSERT_TRUE(d->relays);
        EXPECT_EQ(*d->relays, panel.relays) << address;
    }
    struct Expected {
        int address;
        const char* kind;
        const char* family;
        const char* type;
        int revision;
    };
    const Expected stations[] = {
        {sim::kSiteG3, "station", "g3", " 3 Scene Rev: 09", 9},
        {sim::kSiteKestrix, "station", "kestrix", " 6 Button Rev: 09", 9},
        {sim::kSiteCeilingSensor, "sensor", "dualtech-ceiling", " DT Only - Rev: 14", 14},
        {sim::kSiteWallSensor, "sensor", "dualtech-wall", " 1 Zone MZD   Rev: 12", 12},
        {kOwnG3, "station", "g3", " 1 Scene Rev: 09", 9},
        {kOwnSensor, "sensor", "dualtech-wall", " 4 Scene   Rev: 12", 12},
    };
    for (const Expected& e : stations) {
        const SurveyDevice* d = find(r, Channel::Blue, e.address, e.kind);
        ASSERT_TRUE(d) << e.address;
        EXPECT_EQ(d->family.value_or("none"), e.family);
        EXPECT_EQ(d->type, e.type);
        EXPECT_EQ(d->revision, e.revision);
        EXPECT_EQ(d->config.has_value(), QString(e.kind) == "sensor") << e.address;
    }
    // Over the wire, PIR 1, acoustic 2; vacancy 5, LED 0.
    EXPECT_EQ(find(r, Channel::Blue, kOwnSensor, "sensor")->config, "0905");
    // The stations that answer only the status query are there without a family, and the report
    // says what the status query did to their pilots.
    for (const auto& [address, ws] : h.site.wallStations) {
        const SurveyDevice* d = find(r, Channel::Blue, address, "station");
        ASSERT_TRUE(d) << address;
        EXPECT_FALSE(d->family);
        EXPECT_FALSE(d->typeByte);
    }
    EXPECT_TRUE(r.notes.join(' ').contains("pilots stay dark"));
    EXPECT_TRUE(r.notes.join(' ').contains("Legacy stations"));

    const SurveyDevice* module = find(r, Channel::Blue, 0, "module");
    ASSERT_TRUE(module);
    EXPECT_EQ(module->config.value_or("").size(), 16);
    const SurveyDevice* gateway = find(r, Channel::Blue, 0, "gateway");
    ASSERT_TRUE(gateway);
    const sim::MappedGateway fresh;
    EXPECT_EQ(gateway->config,
              QByteArray::number(fresh.bankChecksum(0), 16).toUpper().rightJustified(8, '0') + ' ' +
                  QByteArray::number(fresh.bankChecksum(1), 16).toUpper().rightJustified(8, '0'));
    const SurveyDevice* dmx = find(r, Channel::Brown, 0, "dmx-gateway");
    ASSERT_TRUE(dmx);
    EXPECT_FALSE(dmx->firmware.isEmpty());
}

TEST_F(SiteSurveyFixture, JsonReadsBackToTheSameRecordAndCsvListsEveryDevice)
{
    const SurveyRecord r = survey();
    const QByteArray json = net::SurveyJson(r);
    SurveyRecord back;
    QString why;
    ASSERT_TRUE(net::ParseSurveyJson(json, back, why)) << why.toStdString();
    EXPECT_EQ(net::SurveyJson(back), json);
    EXPECT_TRUE(net::DiffSurveys(r, back).isEmpty());
    EXPECT_TRUE(json.contains("\"format\": 1"));
    EXPECT_TRUE(json.contains("\"started\": \"2026-12-06T17:53:39")) << json.left(400).constData();

    const QList<QByteArray> lines = net::SurveyCsv(r).split('\n');
    EXPECT_EQ(lines.front(), "Channel,Address,Kind,Family,Type,Revision,Firmware,Read At\r");
    EXPECT_EQ(lines.size(), qsizetype(r.devices.size()) + 2); // header, rows, and the empty tail
    EXPECT_TRUE(net::SurveyCsv(r).contains("Blue,90,station,g3, 3 Scene Rev: 09,09,,"));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith('\r')) << i;
}

// Which catalogues hold a type byte decides whether a survey can name its family.
TEST(SurveyCandidates, AByteIsNamedOnlyWhereOneCatalogueHoldsIt)
{
    struct Case {
        int byte;
        std::vector<QString> families;
    };
    const Case cases[] = {
        {0x0D, {"dualtech-ceiling"}},       // DT only with relay polarity and own settings: above G3's 12
        {0x01, {"g3", "dualtech-ceiling"}}, // " 1-MZD" or a ceiling sensor, DT only
        {0x41, {"g3", "dualtech-wall"}},    // " SA - 1-MZD" or " 2 Zone MZD"
        {0x1A, {"g3"}},
        {0xA1, {"kestrix"}}, // " 3 Scene" with audible touch
        {0x28, {"kestrix"}}, // " 6 Button" with wipe-down: no G3 or wall-sensor code
        {0x40, {"dualtech-wall"}},
        {0x10, {"g3"}},
        {0x00, {}},
        {0xFF, {}},
    };
    for (const Case& c : cases) {
        std::vector<QString> got;
        for (const auto& [family, text] : net::SurveyCandidates(c.byte, 9))
            got.push_back(family);
        EXPECT_EQ(got, c.families) << c.byte;
    }
}

TEST_F(SiteSurveyFixture, AmbiguousByteKeepsEachCandidateText)
{
    g3->setTypeByte(0x01);
    const SurveyRecord r = survey();
    const SurveyDevice* d = find(r, Channel::Blue, kOwnG3, "station");
    ASSERT_TRUE(d);
    EXPECT_FALSE(d->family);
    ASSERT_EQ(d->candidates.size(), 2u);
    EXPECT_EQ(d->candidates[0], (std::pair<QString, QString>("g3", " 1-MZD Rev: 09")));
    EXPECT_EQ(d->candidates[1], (std::pair<QString, QString>("dualtech-ceiling", " DT Only - Rev: 09")));
    EXPECT_TRUE(net::SurveyJson(r).contains("\"dualtech-ceiling\": \" DT Only - Rev: 09\""));
}

TEST_F(SiteSurveyFixture, AnotherMasterOnEitherChannelRefusesBeforeAnyRequest)
{
    for (Channel busy : {Channel::Blue, Channel::Brown}) {
        h.site.setForeignTraffic(busy, {"[A]", 200, h.clock.nowUs(), -1});
        const qint64 before = h.nowMs();
        const SurveyRecord r = survey(SiteSurvey::Outcome::OtherMaster);
        EXPECT_FALSE(r.complete);
        EXPECT_TRUE(r.devices.empty());
        EXPECT_TRUE(h.takeWritten().empty());
        // A busy Blue channel ends the check after its second; the Brown one is not tried.
        EXPECT_LE(h.nowMs() - before, busy == Channel::Blue ? 1100 : 2100);
        h.site.clearForeignTraffic(busy);
    }
}

TEST_F(SiteSurveyFixture, StopAtAYieldEndsBeforeTheNextRequest)
{
    h.atYield(300, [&] { cancel.request(); });
    const SurveyRecord r = survey(SiteSurvey::Outcome::Stopped);
    EXPECT_EQ(h.yields, 300);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.reason, "Survey stopped.");
    // Panels found before the stop are in; the Blue channel was never reached.
    EXPECT_TRUE(find(r, Channel::Brown, 1, "panel"));
    EXPECT_FALSE(find(r, Channel::Blue, sim::kSiteG3, "station"));
}

TEST_F(SiteSurveyFixture, PortGoingAwayEndsAtOnceWithWhatWasRead)
{
    int typeReads = 0;
    h.site.script = [&](Channel, const QByteArray& frame) -> std::optional<QByteArray> {
        if (FrameHasShape(BusFrameShape(shape::WsTypeQuery), frame) && ++typeReads == 0xA5)
            h.site.setAdapterPresent(false);
        return std::nullopt;
    };
    const SurveyRecord r = survey(SiteSurvey::Outcome::PortGone);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.reason, "The port went away.");
    EXPECT_EQ(typeReads, 0xA5);
    EXPECT_TRUE(find(r, Channel::Blue, sim::kSiteG3, "station"));
    EXPECT_FALSE(find(r, Channel::Blue, kOwnSensor, "sensor"));
    EXPECT_TRUE(net::SurveyCsv(r).endsWith("Survey incomplete: The port went away.\r\n"));
}

TEST_F(SiteSurveyFixture, DiffNamesExactlyWhatChangedSinceTheLastVisit)
{
    const SurveyRecord before = survey();
    EXPECT_TRUE(net::DiffSurveys(before, before).isEmpty());

    g3->setTypeByte(0x19);
    h.site.panels.erase(5);
    h.site.panels[2].relays[0] = true;
    h.site.panels[2].relays[7] = true;
    h.site.panels[2].relays[63] = false;
    sensor->settings.ool = 1;
    h.site.wallStations.erase(4);
    h.site.wallStations[0x60] = sim::WallStation{};
    const SurveyRecord after = survey();
    EXPECT_EQ(net::DiffSurveys(before, after),
              (QStringList{"Brown 02: relays +1,8 -64", "Brown 05: gone panel", "Blue 04: gone station",
                           "Blue 60: added station", "Blue A0: type 1 Scene Rev: 09 -> 2 Scene Rev: 09",
                           "Blue B0: config 0905 -> 0985"}));
}

TEST(SurveyRecord, DiffOfHandMadeRecords)
{
    auto device = [](Channel c, int a, int type, int rev) {
        SurveyDevice d;
        d.channel = c;
        d.address = a;
        d.kind = "station";
        d.typeByte = type;
        d.revision = rev;
        d.type = QString(" T%1 Rev: %2").arg(type).arg(rev);
        return d;
    };
    SurveyRecord a, b;
    a.devices = {device(Channel::Blue, 0x10, 1, 9), device(Channel::Blue, 0x20, 1, 9)};
    b.devices = {device(Channel::Blue, 0x20, 1, 10), device(Channel::Brown, 0x30, 2, 1),
                 device(Channel::Blue, 0x10, 1, 9)};
    EXPECT_EQ(net::DiffSurveys(a, b),
              (QStringList{"Brown 30: added station T2 Rev: 1", "Blue 20: revision 09 -> 10"}));
}

TEST(SurveyRecord, ReaderRefusesWhatIsNoSurveyOfThisFormat)
{
    struct Case {
        QByteArray json;
        const char* says;
    };
    const Case cases[] = {
        {"{\"format\": 2, \"devices\": []}", "The survey is of format 2; this program reads format 1."},
        {"{\"devices\": []}", "no \"format\""},
        {"[1, 2]", "no survey record"},
        {"{\"format\": 1", "not JSON"},
        {"{\"format\": 1}", "no \"devices\""},
        {"{\"format\": 1, \"devices\": [{\"channel\": \"red\", \"address\": \"10\", \"kind\": \"panel\"}]}",
         "\"channel\""},
        {"{\"format\": 1, \"devices\": [{\"channel\": \"blue\", \"address\": \"1G\", \"kind\": \"panel\"}]}",
         "\"address\""},
        {"{\"format\": 1, \"devices\": [{\"channel\": \"blue\", \"address\": \"10\", \"kind\": \"panel\", "
         "\"relays\": [true]}]}",
         "1 relays, not 64"},
    };
    for (const Case& c : cases) {
        SurveyRecord r;
        r.site = "kept";
        QString why;
        EXPECT_FALSE(net::ParseSurveyJson(c.json, r, why)) << c.json.constData();
        EXPECT_TRUE(why.contains(c.says)) << why.toStdString();
        EXPECT_EQ(r.site, "kept");
    }
}

} // namespace
} // namespace tqdt::test

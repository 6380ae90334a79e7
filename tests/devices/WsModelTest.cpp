#include "bus/FrameCodec.h"
#include "devices/WsCatalog.h"
#include "devices/WsModels.h"
#include "sim/BenchStations.h"
#include "support/SimHost.h"

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::ws;
using test::SimHost;

namespace {

QByteArray dev(int address, const QByteArray& commandAndData)
{
    return BuildDevFrame('2', qint16(address), commandAndData);
}

// A bench with one station on it and the port open, as the device windows find it.
template <typename Station> struct Bench {
    template <typename... Args> explicit Bench(Args... args) : station(std::make_shared<Station>(args...))
    {
        h.site.setBench(station);
        h.openPort();
    }
    SimHost h;
    std::shared_ptr<Station> station;
};

} // namespace

TEST(WsCatalog, TypeBytesNameTheirModelInEachFamily)
{
    struct Case {
        Family family;
        int typeByte, revision;
        const char* want;
    } cases[] = {
        {Family::G3, 0x58, 9, " SA - 1 Scene Rev: 09"},
        {Family::G3, 0x18, 12, " 1 Scene Rev: 12"},
        {Family::G3, 0x1D, 3, " 2-MZD 2 Btn Rev: 03"},
        {Family::G3, 0x5D, 3, " SA - 2-MZD 2 Btn Rev: 03"},
        {Family::G3, 0x0D, 9, " Invalid Type. Configure Device."},
        {Family::G3, 0x40, 9, " Invalid Type. Configure Device."},
        {Family::G3, 0x4D, 9, " Invalid Type. Configure Device."},
        {Family::G3, 0x81, 9, " Invalid Type. Configure Device."}, // bit 7 is not a flag
        {Family::DualTechWall, 0x70, 12, " SA - 1 Button   Rev: 12"},
        {Family::DualTechWall, 0x41, 12, " 2 Zone MZD   Rev: 12"},
        {Family::DualTechWall, 0x51, 12, " Invalid Type   Rev: 12"},
        {Family::DualTechWall, 0x20, 12, " Invalid Type   Rev: 12"},
        {Family::Kestrix, 0xA1, 9, " 3 Scene Rev: 09"},
        {Family::Kestrix, 0x78, 9, " SA - 6 Button Rev: 09"},
        {Family::Kestrix, 0x5A, 9, " Invalid Type: 90"},
        {Family::Kestrix, 0xDA, 9, " Invalid Type: 90"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(typeText(c.family, c.typeByte, c.revision), QString::fromLatin1(c.want)) << c.typeByte;
}

TEST(WsCatalog, LegacyTextsAndTheSilentLastCode)
{
    EXPECT_EQ(legacyText(0x7B), " Type: Slidder DB=0  Rev: 11");
    EXPECT_EQ(legacyText(0xD2), " Type: MZD-4  Rev: 02");
    EXPECT_EQ(legacyText(0xAF), " Type: Slidder DB=6  Rev: 15");
    EXPECT_EQ(legacyText(0x03), " Type: 0 Button  Rev: 03");
    EXPECT_EQ(legacyText(0xE0), " Type: 8 Button  Rev: 00");
    EXPECT_EQ(legacyText(0xF4), std::nullopt);
}

TEST(WsCatalog, KestrixOptionBits)
{
    EXPECT_EQ(kestrixOptionsText(0xA1), " Audio: On     Wipe Down: Disabled");
    EXPECT_EQ(kestrixOptionsText(0x28), " Audio: Off     Wipe Down: 6 Sec");
    EXPECT_EQ(kestrixOptionsText(0xB8), " Audio: On     Wipe Down: 12 Sec");
    // The twelve-second bit means nothing while wipe-down is off.
    EXPECT_EQ(kestrixOptionsText(0x30), " Audio: Off     Wipe Down: Disabled");
}

TEST(WsCatalog, ZoneAndSceneRowsReadTheirOwnBits)
{
    // " SA - 2-MZD": two zones on bits 3 (up) and 4 (down).
    const ExtraRows mzd = extraRows(Family::G3, 80);
    ASSERT_TRUE(mzd.hasZones());
    EXPECT_FALSE(mzd.secondDevice);
    const auto up = zoneRow(mzd, 0xFF, 0x08, true);
    const auto down = zoneRow(mzd, 0xFF, 0x08, false);
    EXPECT_EQ(up, (std::array<bool, 8>{true, true, false, false, false, false, false, false}));
    EXPECT_EQ(down, (std::array<bool, 8>{}));
    EXPECT_EQ(zoneRow(mzd, 0x02, 0x18, false),
              (std::array<bool, 8>{false, true, false, false, false, false, false, false}));

    // Scene i is bit 5 - i; a count past six never reads a bit below 0.
    const ExtraRows three = extraRows(Family::Kestrix, 0x61 | 0x80);
    EXPECT_EQ(three.scenes, 3);
    EXPECT_EQ(sceneRow(three, 0x28),
              (std::array<bool, 8>{true, false, true, false, false, false, false, false}));
    ExtraRows eight;
    eight.scenes = 8;
    EXPECT_EQ(sceneRow(eight, 0xFF), (std::array<bool, 8>{true, true, true, true, true, true, false, false}));

    struct Case {
        Family family;
        int typeByte;
        bool second, third;
        int zones, zoneBit, scenes;
    } cases[] = {
        {Family::G3, 19, true, true, -1, 0, -1},
        {Family::G3, 29, true, false, -1, 0, -1},
        {Family::G3, 93, false, false, 2, 2, -1},
        {Family::G3, 86, false, false, 3, 6, 3},
        {Family::G3, 7, false, false, -1, 0, -1},
        {Family::DualTechWall, 0x61, false, false, 2, 5, -1},
        {Family::DualTechWall, 0x41, true, false, -1, 0, -1},
        {Family::DualTechWall, 105, false, false, 3, 6, 0},
        {Family::DualTechWall, 111, false, false, -1, 0, -1},
        {Family::Kestrix, 0xA1, true, false, -1, 0, -1},
        {Family::Kestrix, 0x5A, false, false, -1, 0, -1},
        {Family::Kestrix, 0x65, false, false, 2, 4, 2},
    };
    for (const Case& c : cases) {
        const ExtraRows r = extraRows(c.family, c.typeByte);
        EXPECT_EQ(r.secondDevice, c.second) << c.typeByte;
        EXPECT_EQ(r.thirdDevice, c.third) << c.typeByte;
        EXPECT_EQ(r.zones, c.zones) << c.typeByte;
        if (c.zones >= 0) {
            EXPECT_EQ(r.zoneBit, c.zoneBit) << c.typeByte;
        }
        EXPECT_EQ(r.scenes, c.scenes) << c.typeByte;
    }
}

TEST(LegacyStation, ConfigureFramesByteForByte)
{
    const char* frames[13] = {"[2004*1E7]", "[2004*2E8]", "[2004*3E9]", "[2004*4EA]", "[2004*5EB]",
                              "[2004*6EC]", "[2004*BF8]", "[2004*CF9]", "[2004*DFA]", "[2004*7ED]",
                              "[2004*8EE]", "[2004*9EF]", "[2004*AF7]"};
    for (int j = 0; j < 13; ++j)
        EXPECT_EQ(LegacyStation::configureFrame(j), frames[j]) << j;
}

TEST(LegacyStation, TypeQueryNeedsSixCharactersAndTheirChecksum)
{
    struct Case {
        const char* what;
        QByteArray reply; // empty: the simulated station answers
        bool ok;
    } cases[] = {
        {"station", "", true},
        {"five characters", "[7B1]", false},
        {"wrong checksum", "[7B00]", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bench<sim::LegacyWallStation> b(0x7B);
        if (!c.reply.isEmpty())
            b.h.site.script = [&](Channel, const QByteArray& f) -> std::optional<QByteArray> {
                return f == "[200094]" ? std::optional<QByteArray>(c.reply) : std::nullopt;
            };
        LegacyStation ws(b.h.host);
        const qint64 start = b.h.nowMs();
        EXPECT_EQ(ws.QVComWSType(), c.ok);
        if (c.ok) {
            EXPECT_EQ(b.h.host.reply.WsStatusA, 0x7B);
        } else if (c.reply.size() < 6) {
            EXPECT_EQ(b.h.nowMs() - start, 25);
        }
    }
}

TEST(LegacyStation, ConfiguringChangesTheModelTheStationReports)
{
    Bench<sim::LegacyWallStation> b(0x63);
    LegacyStation ws(b.h.host);
    ws.QVComWSCnf(12); // "Configure Slider DB=6": code 10 as the single digit A
    EXPECT_EQ(b.h.takeWritten(), (std::vector<QByteArray>{"[2004*AF7]"}));
    const LegacyStation::Poll p = ws.ScanWS(0);
    ASSERT_TRUE(p.typeOk);
    EXPECT_EQ(p.typeByte, 0xA3) << "new model, same revision";
}

TEST(SimBenchStation, AnswersOnlyWellFormedFramesOnItsChannelAndBaud)
{
    const QByteArray good = dev(0x10, "8");
    QByteArray wrongSum = good;
    wrongSum[wrongSum.size() - 2] = wrongSum[wrongSum.size() - 2] == '0' ? '1' : '0';
    QByteArray dashes = good.left(good.size() - 3) + "--]";
    struct Case {
        const char* what;
        QByteArray frame;
        Channel channel;
        int baud;
        bool answered;
    } cases[] = {
        {"good", good, Channel::Blue, 38400, true},
        {"Brown channel", good, Channel::Brown, 38400, false},
        {"wrong baud", good, Channel::Blue, 19200, false},
        {"wrong checksum", wrongSum, Channel::Blue, 38400, false},
        {"dashes for a checksum", dashes, Channel::Blue, 38400, false},
        {"other address", dev(0x11, "8"), Channel::Blue, 38400, false},
    };
    for (const Case& c : cases) {
        sim::G3WallStation station(0x10, 7);
        LineSettings line;
        line.baud = c.baud;
        EXPECT_EQ(station.handle(c.channel, c.frame, line).has_value(), c.answered) << c.what;
    }
}

TEST(G3Station, MultiAddressModelsPollTheirFollowingAddresses)
{
    Bench<sim::G3WallStation> b(0x10, 19); // " 5-MZD"
    b.station->setExtraInputs(1, 0x81);
    b.station->setExtraInputs(2, 0x02);
    G3Station ws(b.h.host);
    const StationPoll p = ws.ScanWS(0x10, 0);
    EXPECT_EQ(b.h.takeWritten(), (std::vector<QByteArray>{dev(0x10, "700"), dev(0x10, "8"), dev(0x11, "700"),
                                                          dev(0x12, "700")}));
    EXPECT_EQ(p.text, " 5-MZD Rev: 09");
    ASSERT_TRUE(p.extra.dev2.answered && p.extra.dev3.answered);
    EXPECT_EQ(p.extra.dev2.bits, 0x81);
    EXPECT_EQ(p.extra.dev3.bits, 0x02);
}

TEST(G3Station, ZoneModelsReadTheStationsOwnStatusAndPollNoFurther)
{
    Bench<sim::G3WallStation> b(0x10, 80); // " SA - 2-MZD"
    b.station->setStatusB(0x03);
    b.station->setInputs(0x10); // bit 4 of the second byte: the down row
    G3Station ws(b.h.host);
    const StationPoll p = ws.ScanWS(0x10, 0);
    EXPECT_EQ(b.h.takeWritten().size(), 2u) << "status and type query only";
    EXPECT_EQ(p.text, " SA - 2-MZD Rev: 09");
    EXPECT_EQ(p.extra.zoneUp, (std::array<bool, 8>{}));
    EXPECT_EQ(p.extra.zoneDown, (std::array<bool, 8>{true, true, false, false, false, false, false, false}));
}

TEST(G3Station, SilentStationFlagsNoRows)
{
    Bench<sim::G3WallStation> b(0x10, 19);
    G3Station ws(b.h.host);
    ASSERT_TRUE(ws.ScanWS(0x10, 0).extra.rows.any());
    b.station->setSilent(true);
    const StationPoll p = ws.ScanWS(0x10, 0);
    EXPECT_FALSE(p.statusOk);
    EXPECT_FALSE(p.extra.rows.any());
    EXPECT_FALSE(p.extra.dev2.polled);
}

TEST(G3Station, FindStopsAtTheFirstStationThatAnswers)
{
    SimHost h;
    h.site.wallStations[0x05] = sim::WallStation{};
    h.site.wallStations[0x09] = sim::WallStation{};
    h.openPort();
    std::vector<int> probed;
    EXPECT_EQ(FindStation(h.host, [&](int a) { probed.push_back(a); }), 5);
    EXPECT_EQ(probed, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    h.site.wallStations.clear();
    EXPECT_EQ(FindStation(h.host, {}), std::nullopt);
    EXPECT_EQ(h.takeWritten().back(), dev(0xFE, "700")) << "the search ends at FE";
}

TEST(G3Station, ConfigureSendsEnableWithTheComplementThenTheModel)
{
    struct Case {
        int address, code;
        QByteArray enable, write;
    } cases[] = {
        {0x00, 29, dev(0x00, "AFF"), dev(0x00, "B1D")},
        {0xFE, 7, dev(0xFE, "A01"), dev(0xFE, "B07")},
    };
    for (const Case& c : cases) {
        Bench<sim::G3WallStation> b(c.address, 1);
        G3Station ws(b.h.host);
        const qint64 start = b.h.nowMs();
        EXPECT_TRUE(ws.QVComWSCnfG3(c.address, c.code));
        EXPECT_EQ(b.h.takeWritten(), (std::vector<QByteArray>{c.enable, c.write}));
        EXPECT_GE(b.h.nowMs() - start, 1000);
        EXPECT_EQ(ws.ScanWS(c.address, 0).typeByte, c.code) << "the station reports its new model";
    }
    // No answer to the enable frame: nothing is written and the caller hears of it.
    Bench<sim::G3WallStation> b(0x20, 1);
    b.station->setSilent(true);
    G3Station ws(b.h.host);
    EXPECT_FALSE(ws.QVComWSCnfG3(0x20, 5));
    EXPECT_EQ(b.h.takeWritten(), (std::vector<QByteArray>{dev(0x20, "ADF")}));
}

TEST(KestrixSwitch, ConfigureWritesModelWipeDownAndAudio)
{
    EXPECT_EQ(KestrixSwitch::typeByteFor(4, 2, true), 188);
    EXPECT_EQ(KestrixSwitch::typeByteFor(0, 0, false), 32);
    EXPECT_EQ(KestrixSwitch::typeByteFor(5, 1, false), 37 + 8);
    Bench<sim::KestrixStation> b(0x10, 0x20);
    KestrixSwitch ks(b.h.host);
    EXPECT_TRUE(ks.QVComWSCnfKX(0x10, 188));
    EXPECT_EQ(b.h.takeWritten(), (std::vector<QByteArray>{dev(0x10, "AEF"), dev(0x10, "BBC")}));
    const StationPoll p = ks.ScanWS(0x10, 0);
    EXPECT_EQ(p.text, " MZD-4 Zone Rev: 09");
    EXPECT_TRUE(p.extra.rows.secondDevice);
}

TEST(DualTechCeiling, DefaultsGoOutWithEveryPoll)
{
    Bench<sim::CeilingSensor> b(0, 1, 14);
    DualTechCeiling s(b.h.host);
    DualTechCeiling::State st;
    st.s.defaults();
    s.ScanWS(0, st);
    EXPECT_EQ(b.h.takeWritten().front(), dev(0, "7BF")); // 191
    EXPECT_EQ(b.station->settings.vac, 3);
}

TEST(DualTechCeiling, RevisionThirteenGetsOnlyTheFirstConfigurationByte)
{
    for (int rev : {13, 14}) {
        SCOPED_TRACE(rev);
        Bench<sim::CeilingSensor> b(0, 1, rev);
        DualTechCeiling s(b.h.host);
        DualTechCeiling::State st;
        st.s.defaults();
        st.s.OolSource = 1;
        const DualTechCeiling::Poll p = s.ScanWS(0, st);
        EXPECT_TRUE(p.settingsChanged);
        EXPECT_EQ(st.s.OolSource, rev < 14 ? 0 : 1) << "an older sensor takes its settings over the wire";
        b.h.takeWritten();
        st.s.DevType = 2;
        st.s.RelayPol = 1;
        st.s.OolSource = 1;
        s.Configure(0, st);
        std::vector<QByteArray> want = {dev(0, "AFF"), dev(0, "BDF")}; // 208 + 4 + 8 + 3 = 223
        if (rev >= 14)
            want.insert(want.end(), {dev(0, "AFF"), dev(0, "BEF"), dev(0, "AFF"), dev(0, "BFB")});
        EXPECT_EQ(b.h.takeWritten(), want);
    }
}

TEST(DualTechCeiling, JustFoundTakesDeviceTypeFromTheStatusByte)
{
    Bench<sim::CeilingSensor> b(0, 0, 14);
    DualTechCeiling s(b.h.host);
    DualTechCeiling::State st;
    st.JustFound = true;
    const DualTechCeiling::Poll p = s.ScanWS(0, st);
    EXPECT_EQ(p.text, " Unknown - Rev: 14");
    EXPECT_EQ(st.s.DevType, 1) << "type bits 00 read as PC Only";
    EXPECT_FALSE(st.JustFound);
    EXPECT_FALSE(p.showInputs || p.showPhotocells || p.showGroups);
}

TEST(DualTechCeiling, PhotocellAndTimerDisplays)
{
    Bench<sim::CeilingSensor> b(0, 3, 14);
    b.station->setPhotocell(7, 200);
    b.station->timerWords = {0x8078, 0x0078, 0x0000, 0x7FFF};
    DualTechCeiling s(b.h.host);
    DualTechCeiling::State st;
    st.AdvancedMode = true;
    const DualTechCeiling::Poll p = s.ScanWS(0, st);
    EXPECT_EQ(p.text, " DT/PC - Rev: 14");
    ASSERT_TRUE(p.photocells);
    EXPECT_EQ(photocellCaption(0, (*p.photocells)[0]), "  Photocell 02 Sec 007/255");
    EXPECT_EQ(photocellCaption(1, (*p.photocells)[1]), "  Photocell 30 Sec 200/255");
    ASSERT_TRUE(p.timers);
    EXPECT_EQ((*p.timers)[0].caption, "001:04");
    EXPECT_TRUE((*p.timers)[0].negative);
    EXPECT_FALSE((*p.timers)[1].negative);
    EXPECT_EQ((*p.timers)[3].caption, "291:05"); // 32767 x 0.533 = 17465 s
}

TEST(DualTechCeiling, ReadFromSensorDecodesTheReadBacks)
{
    Bench<sim::CeilingSensor> b(0, 1, 14);
    b.station->settings = {2, 1, 5, 0, 0, 1};
    SensorSettings s;
    EXPECT_TRUE(ReadSensorSettings(b.h.host, 0, s));
    EXPECT_EQ(s.PirSens, 2);
    EXPECT_EQ(s.AcsSens, 1);
    EXPECT_EQ(s.VacTimer, 5);
    EXPECT_EQ(s.LedMode, 0);

    // Silent now: the replies left from the last read must not be taken for the sensor's.
    b.station->setSilent(true);
    b.h.takeWritten();
    SensorSettings kept;
    EXPECT_FALSE(ReadSensorSettings(b.h.host, 0, kept));
    EXPECT_EQ(kept.mask(), SensorSettings{}.mask());
    EXPECT_EQ(b.h.takeWritten().size(), 2u) << "both read-backs are still tried";
}

TEST(DualTechWall, PlainModelPollsItsOccupancyPartWithTheSensorByte)
{
    Bench<sim::WallSensor> b(0x20, 0x41, 12);
    b.station->setOccupancyInputs(0x05);
    DualTechWall w(b.h.host);
    DualTechWall::State st;
    st.s.defaults();
    const DualTechWall::Poll p = w.ScanWS(0x20, 0x04, st);
    EXPECT_EQ(p.station.text, " 2 Zone MZD   Rev: 12");
    EXPECT_EQ(st.WSType, 0x41);
    const auto written = b.h.takeWritten();
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[2], dev(0x21, "7BF"));
    EXPECT_EQ(written[3], dev(0x20, "E"));
    EXPECT_TRUE(p.station.extra.dev2.answered);
    EXPECT_EQ(p.station.extra.dev2.bits, 0x05);
    EXPECT_TRUE(p.config.has_value());
}

TEST(DualTechWall, SaZoneModelDrivesUpAndDownFromBitsFiveAndSix)
{
    Bench<sim::WallSensor> b(0, 0x61, 12);
    b.station->setStatusB(0x03);
    b.station->setInputs(0x40);
    DualTechWall w(b.h.host);
    DualTechWall::State st;
    const DualTechWall::Poll p = w.ScanWS(0, 0, st);
    EXPECT_EQ(p.station.text, " SA - 2 Zone MZD   Rev: 12");
    EXPECT_EQ(st.WSType, 0x41);
    EXPECT_FALSE(p.station.extra.dev2.polled);
    EXPECT_EQ(p.station.extra.zoneUp, (std::array<bool, 8>{}));
    EXPECT_EQ(p.station.extra.zoneDown,
              (std::array<bool, 8>{true, true, false, false, false, false, false, false}));
}

TEST(DualTechWall, ModelWriteAndSettingsReachTheSensor)
{
    Bench<sim::WallSensor> b(0, 0x41, 12);
    DualTechWall w(b.h.host);
    EXPECT_TRUE(w.QVComWSCnfG3DTWall(0, 16)); // " 1 Button"
    EXPECT_EQ(b.h.takeWritten(), (std::vector<QByteArray>{dev(0, "AFF"), dev(0, "B50")}));
    EXPECT_EQ(b.station->typeByte(), 80);
    SensorSettings s;
    s.PirSens = 1, s.AcsSens = 2, s.VacTimer = 6, s.LedMode = 0, s.OolSource = 1;
    w.ConfigureSensor(0, s);
    EXPECT_EQ(b.station->settings.ool, 1);
    EXPECT_EQ(b.station->settings.pir, 1);
    EXPECT_EQ(b.station->settings.acs, 2);
    EXPECT_EQ(b.station->settings.vac, 6);
    DualTechWall::State st;
    st.JustFound = true;
    EXPECT_TRUE(w.ScanWS(0, 0, st).settingsChanged);
    EXPECT_EQ(st.s.OolSource, 1) << "found sensor's settings source is read from its configuration";
    b.station->setSilent(true);
    EXPECT_FALSE(w.QVComWSCnfG3DTWall(0, 0));
}

TEST(DualTechWall, EchoedPilotsFollowTheModelsLamps)
{
    EXPECT_EQ(dualTechWallEchoPilots(68), (std::array<int, 5>{2, -1, 3, -1, 4}));
    EXPECT_EQ(dualTechWallEchoPilots(80), (std::array<int, 5>{2, -1, -1, -1, -1}));
    EXPECT_EQ(dualTechWallEchoPilots(12), (std::array<int, 5>{2, 3, 4, 5, 6}));
}

// Frames and waits no other test pins down.

TEST(KestrixSwitch, TheSecondAddressIsPolledWithoutPilots)
{
    Bench<sim::KestrixStation> b(0x20, 0xA1); // " 3 Scene": a second device at 21
    KestrixSwitch ks(b.h.host);
    ASSERT_TRUE(ks.ScanWS(0x20, 0xFF).extra.dev2.answered);
    std::vector<QByteArray> toSecond;
    for (const QByteArray& f : b.h.takeWritten())
        if (f.startsWith("[221"))
            toSecond.push_back(f);
    EXPECT_EQ(toSecond, (std::vector<QByteArray>{dev(0x21, "700")}))
        << "the station's pilots are not the second's";
}

TEST(DualTechWall, TheModelWriteWaitsForItsReply)
{
    Bench<sim::WallSensor> b(0, 0x41, 12);
    DualTechWall w(b.h.host);
    ASSERT_TRUE(w.QVComWSCnfG3DTWall(0, 16));
    const auto& written = b.h.site.written;
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(written.back().frame, dev(0, "B50"));
    EXPECT_EQ(written.back().awaited, 6);
    EXPECT_EQ(written.back().limitMs, 500);
}

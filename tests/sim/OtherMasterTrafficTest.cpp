#include "sim/Site.h"

#include <gtest/gtest.h>

using namespace tqdt;

namespace {

QList<QByteArray> frames(const QByteArray& pattern)
{
    QList<QByteArray> out;
    for (qsizetype at = pattern.indexOf('['); at >= 0;) {
        const qsizetype next = pattern.indexOf('[', at + 1);
        out << pattern.mid(at, next < 0 ? -1 : next - at);
        at = next;
    }
    return out;
}

} // namespace

// The traffic the monitors and the data logger show in the simulated installation is what a
// master and the installation's devices would really put on the wire: every request answered,
// every checksum right, and the devices left as they were.
TEST(OtherMasterTraffic, IsWellFormedRequestReplyPairsThatLeaveTheDevicesAlone)
{
    auto site = sim::Site::builtIn();
    site->recordWritten = true;
    site->wallStations[4].pilots = 0x0F;
    const auto stationsBefore = site->wallStations.size();

    const QList<QByteArray> blue = frames(sim::otherMasterPattern(*site, Channel::Blue));
    ASSERT_EQ(blue.size(), qsizetype(2 * (site->wallStations.size() + site->relayDevices.size())));
    for (qsizetype i = 0; i < blue.size(); i += 2) {
        EXPECT_TRUE(sim::devFrameValid(blue[i])) << blue[i].toStdString();
        EXPECT_TRUE(CheckDevReply(blue[i + 1], int(blue[i + 1].size()) - 2)) << blue[i + 1].toStdString();
    }
    EXPECT_TRUE(blue.contains(BuildDevFrame('2', 4, "70F")))
        << "a wall station is polled with its own pilots";

    const QList<QByteArray> brown = frames(sim::otherMasterPattern(*site, Channel::Brown));
    ASSERT_EQ(brown.size(), qsizetype(2 * site->panels.size()));
    for (qsizetype i = 0; i < brown.size(); i += 2) {
        EXPECT_EQ(brown[i], BuildNetFrame(qint16(HexVal2(Mid(brown[i], 4, 2))), "25"));
        EXPECT_TRUE(CheckNetReply(brown[i + 1])) << brown[i + 1].toStdString();
        EXPECT_EQ(brown[i + 1].size(), 36);
    }

    EXPECT_EQ(site->wallStations.size(), stationsBefore);
    EXPECT_EQ(site->wallStations[4].pilots, 0x0F);
    EXPECT_TRUE(site->written.empty());
    EXPECT_TRUE(sim::otherMasterPattern(sim::Site{}, Channel::Blue).isEmpty());
}

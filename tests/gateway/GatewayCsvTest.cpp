#include "gateway/GatewayCsv.h"

#include <QList>

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt::gw;

namespace {

QList<QByteArray> lines(const QByteArray& csv)
{
    QList<QByteArray> out = csv.split('\n');
    EXPECT_TRUE(out.back().isEmpty()) << "the listing ends with a line end";
    out.removeLast();
    for (QByteArray& l : out) {
        EXPECT_TRUE(l.endsWith('\r')) << l.constData();
        l.chop(1);
    }
    return out;
}

} // namespace

TEST(GatewayCsv, EachPointTypeHasItsLine)
{
    struct Case {
        qint16 type, node, unit, number;
        const char* line; // nullptr: no line at all
    } cases[] = {
        {0, 9, 9, 9, "Point,1,Unused"},
        {1, 0, 0, 0, "Point,1,Relay On/Off,Node,01,Relay,1"},
        {2, 253, 63, 0, "Point,1,Relay On/Timer Off,Node,FE,Relay,64"},
        {5, 0, 0, 255, "Point,1,Group On/Off,Group,256"},
        {6, 0, 0, 4, "Point,1,Group On/Timer Off,Group,5"},
        {7, 0, 0, 0, "Point,1,Preset Activate,Preset,1"},
        {8, 15, 63, 12, "Point,1,WS On Input,Node,10,Device,40,Input,13"}, // byte 3 + 1, not mod 8
        {9, 0, 9, 7, "Point,1,WS Off Input,Node,01,Device,0A,Input,8"},
        {10, 0, 0, 0, nullptr},
        {-1, 0, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        auto image = std::make_unique<GatewayImage>();
        image->SetPointType(0, c.type);
        image->SetPointNode(0, c.node);
        image->SetPointUnit(0, c.unit);
        image->SetPointNumber(0, c.number);
        const auto got = lines(GatewayCsv(*image, QStringLiteral("C:\\Maps\\SITE.MGW"), 1));
        ASSERT_FALSE(got.isEmpty());
        EXPECT_EQ(got[0], "Mapped Gateway File: C:\\Maps\\SITE.MGW");
        if (c.line) {
            ASSERT_EQ(got.size(), 2) << c.type;
            EXPECT_EQ(got[1], c.line);
        } else {
            EXPECT_EQ(got.size(), 1) << c.type;
        }
    }
}

TEST(GatewayCsv, MultiRelayPointsListTheRelaysOfEachNodeThatHasAny)
{
    auto image = std::make_unique<GatewayImage>();
    image->SetPointType(0, 3);
    image->SetPointType(1, 4);
    for (int r : {0, 1, 63})
        image->SetMultiRelay(0, 0, r, true);
    image->SetMultiRelay(0, 254, 5, true);
    image->SetMultiRelay(0, 255, 5, true); // no panel has that index
    const auto got = lines(GatewayCsv(*image, QStringLiteral("M.MGW"), 3));
    const QList<QByteArray> want = {
        "Mapped Gateway File: M.MGW",
        "Point,1,Multi Relay On/Off",
        ",Relays Controlled",
        ",,Node,01,Relay,1,2,64",
        ",,Node,FF,Relay,6",
        "Point,2,Multi Relay On/Timer Off",
        ",Relays Controlled", // no bits: only the two header lines
        "Point,3,Unused",
    };
    EXPECT_EQ(got, want);
}

TEST(GatewayCsv, ListsAsManyPointsAsItIsAskedFor)
{
    auto image = std::make_unique<GatewayImage>();
    image->SetPointType(749, 7);
    for (int points : {350, 750}) {
        const auto got = lines(GatewayCsv(*image, QStringLiteral("M.MGW"), points));
        EXPECT_EQ(got.size(), points + 1);
        EXPECT_EQ(got.back(), points == 750 ? "Point,750,Preset Activate,Preset,1" : "Point,350,Unused");
    }
}

#include "sim/CondModule.h"
#include "sim/Site.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace tqdt;
using namespace tqdt::sim;

namespace {

const LineSettings kBus{38400, 'n', 8, 1};

QByteArray netFrame(const QByteArray& body) { return '[' + Hex2(qint16(NetChecksum(body))) + body; }

} // namespace

// A sender that selects the wrong channel or writes "--" where a checksum belongs must go unanswered,
// as it would on a real installation; otherwise such a fault passes every window and transfer test.
TEST(SiteStrictness, EachDeviceAnswersOnlyOnItsChannelAndOnlyTheModuleTakesDashes)
{
    Site site;
    site.panels[1] = Panel{};
    site.wallStations[1] = WallStation{};
    site.dimmers[1] = Dimmer{};
    site.relayDevices[1] = RelayDevice{};
    site.setBench(std::make_shared<CondModule>(0));

    struct Case {
        const char* what;
        Channel channel;
        QByteArray frame;
        bool answered;
    } cases[] = {
        {"panel probe on Brown", Channel::Brown, netFrame("0100]"), true},
        {"panel probe on Blue", Channel::Blue, netFrame("0100]"), false},
        {"wall station on Blue", Channel::Blue, SealDevFrame("[2017FF"), true},
        {"wall station on Brown", Channel::Brown, SealDevFrame("[2017FF"), false},
        {"wall station with dashes", Channel::Blue, "[2017FF--]", false},
        {"dimmer", Channel::Blue, SealDevFrame("[A0154000400040004000"), true},
        {"dimmer with dashes", Channel::Blue, "[A0154000400040004000--]", false},
        {"relay device", Channel::Blue, SealDevFrame("[90150A"), true},
        {"relay device with dashes", Channel::Blue, "[90150A--]", false},
        {"module check on Blue", Channel::Blue, "[200700--]", true},
        {"module check on Brown", Channel::Brown, "[200700--]", false},
        {"module search on Blue", Channel::Blue, "[2000--]", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(site.receive(c.channel, c.frame, kBus).has_value(), c.answered) << c.what;
}

// The reply loss drops answers at its rate, from a fixed sequence, so that a fault scenario built on
// it is the same every run; a frame nothing answers stays unanswered whatever the rate.
TEST(SiteStrictness, ReplyLossDropsAnswersAtItsRateTheSameWayEveryRun)
{
    auto lostOf = [](double rate) {
        Site site;
        site.panels[1] = Panel{};
        site.setReplyLoss(rate);
        std::vector<bool> lost;
        for (int i = 0; i < 200; ++i)
            lost.push_back(!site.receive(Channel::Brown, netFrame("0100]"), kBus).has_value());
        EXPECT_FALSE(site.receive(Channel::Brown, netFrame("0200]"), kBus).has_value()) << "no panel at 02";
        return lost;
    };
    auto count = [](const std::vector<bool>& v) { return std::count(v.begin(), v.end(), true); };
    EXPECT_EQ(count(lostOf(0.0)), 0);
    EXPECT_EQ(count(lostOf(1.0)), 200);
    const std::vector<bool> half = lostOf(0.5);
    EXPECT_GT(count(half), 50);
    EXPECT_LT(count(half), 150);
    EXPECT_EQ(lostOf(0.5), half);
}

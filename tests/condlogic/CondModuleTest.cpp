#include "sim/CondModule.h"
#include "condlogic/ProgramImage.h"

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::sim;

namespace {

const LineSettings kBus{38400, 'n', 8, 1};
const LineSettings kFast{115200, 'n', 8, 1};

QByteArray answer(CondModule& m, const QByteArray& frame, const LineSettings& line)
{
    const auto r = m.handle(Channel::Blue, frame, line);
    return r ? r->text : QByteArray("(silent)");
}

} // namespace

TEST(CondModule, AnswersEachFrameOnlyAtItsOwnLineSpeedAndNode)
{
    CondModule m(0);
    m.setInputs(0x81);
    struct Case {
        const char* frame;
        LineSettings line;
        bool answered;
    } cases[] = {
        {"[200700--]", kBus, true},
        {"[200700--]", kFast, false},
        {"[2000--]", kBus, true},
        {"[2002--]", kBus, true},
        {"[2002--]", kFast, false},
        {"[200C00--]", kBus, true},
        {"[2050--]", kBus, false},
        {"[1000--]", kBus, false},
        {"[20G0--]", kBus, false},
        {"[200000--]", kBus, false},
        {"[60000000000000000]", kFast, false}, // not yet switched to programming
        {"[2004A1--]", kBus, false},           // switches, answers nothing
        {"[60000000000000000]", kFast, true},
        {"[60000000000000000]", kBus, false},
        {"[6000000000000000]", kFast, false},
        {"[6000000000000000G]", kFast, false},
        {"[70000000000000000]", kFast, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m.handle(Channel::Blue, c.frame, c.line).has_value(), c.answered)
            << c.frame << " at " << c.line.baud;
    EXPECT_EQ(answer(m, "[2002--]", kBus).mid(1, 2), "81");
    EXPECT_EQ(answer(m, "[200700--]", kBus).size(), 8);
}

TEST(CondModule, AnswersOnlyOnTheBlueChannelItsBenchCableSitsOn)
{
    CondModule m(0);
    for (const char* frame : {"[200700--]", "[2000--]", "[200C00--]"}) {
        EXPECT_FALSE(m.handle(Channel::Brown, frame, kBus).has_value()) << frame;
        EXPECT_TRUE(m.handle(Channel::Blue, frame, kBus).has_value()) << frame;
    }
    answer(m, "[2004A1--]", kBus);
    EXPECT_FALSE(m.handle(Channel::Brown, "[10000000000000000]", kFast).has_value());
    EXPECT_TRUE(m.handle(Channel::Blue, "[10000000000000000]", kFast).has_value());
}

TEST(CondModule, LeavesTheFactoryWithTheDefaultImageAndReloadsIt)
{
    CondModule m(0);
    EXPECT_EQ(answer(m, "[200C00--]", kBus), "[2712A28D262BF736]");
    m.memory()[100] = 7;
    EXPECT_NE(answer(m, "[200C00--]", kBus), "[2712A28D262BF736]");
    EXPECT_EQ(answer(m, "[200D2D--]", kBus), SealDevFrame("[D5"));
    EXPECT_EQ(answer(m, "[200C00--]", kBus), "[2712A28D262BF736]");

    m.setDefaultReply("E1");
    EXPECT_EQ(answer(m, "[200D2D--]", kBus).mid(1, 2), "E1");
    m.corruptByte(0x10000);
    m.loadFactoryDefault();
    EXPECT_NE(m.imageChecksum(), "2712A28D262BF736");
}

TEST(CondModule, StoresBlocksInArrivalOrderAndReadsBackAnywhereWithoutOverrun)
{
    CondModule m(0);
    answer(m, "[2004A1--]", kBus);
    EXPECT_EQ(answer(m, "[10000000000000000]", kFast), "[]");
    for (int block = 0; block < 2; ++block)
        for (char q : {'2', '3', '4', '5'})
            answer(m, QByteArray("[") + q + QByteArray(16, char('0' + block + 1)) + "]", kFast);
    EXPECT_EQ(m.memory().left(32), QByteArray(32, '\x11'));
    EXPECT_EQ(m.memory().mid(32, 32), QByteArray(32, '\x22'));
    EXPECT_EQ(m.memory()[64], '\x40'); // still the factory image's entry 64

    // A read beyond the memory, even at an address that would wrap, gives zeros.
    for (const char* frame : {"[80000000000011F00]", "[80000000000011FF0]", "[8FFFFFFFFFFFFFFFF]"}) {
        const QByteArray r = answer(m, frame, kFast);
        ASSERT_EQ(r.size(), 514) << frame;
    }
    EXPECT_EQ(answer(m, "[80000000000011FF0]", kFast).mid(33, 480), QByteArray(480, '0'));
    EXPECT_EQ(answer(m, "[80000000000000000]", kFast).mid(1, 4), "1111");

    // The factory image's configuration area: output o reads its own input through a contact.
    EXPECT_EQ(answer(m, "[80000000000010000]", kFast).mid(1, 6), "080404");
}

TEST(CondModule, FaultsSilenceAndDropFrames)
{
    CondModule m(0);
    m.dropFrame("[2002--]", 1);
    EXPECT_NE(answer(m, "[2002--]", kBus), "(silent)");
    EXPECT_EQ(answer(m, "[2002--]", kBus), "(silent)");
    EXPECT_NE(answer(m, "[2002--]", kBus), "(silent)");
    m.setSilent(true);
    EXPECT_EQ(answer(m, "[200700--]", kBus), "(silent)");
}

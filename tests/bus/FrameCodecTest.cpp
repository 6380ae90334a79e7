#include "bus/FrameCodec.h"

#include <gtest/gtest.h>

using namespace tqdt;

TEST(HexHelpers, FixedWidthKeepsLowDigits)
{
    struct Case {
        QByteArray got, want;
    } cases[] = {
        {Hex2(0), "00"},        {Hex2(255), "FF"},     {Hex2(256), "00"},           {Hex2(-1), "FF"},
        {Hex2(300), "2C"},      {Hex4(65535), "FFFF"}, {Hex6(0), "000000"},         {Hex1(26), "A"},
        {Hex2L(0x12345), "45"}, {Hex4(-1), "FFFF"},    {Hex6(0x1234567), "234567"}, {Hex2(5), "05"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(HexHelpers, ValueReadsLeadingDigitsOnly)
{
    struct Case {
        qint32 got, want;
    } cases[] = {
        {HexVal2("FF"), 255},     {HexVal2("ff"), 255},     {HexVal2("5"), 5},   {HexVal2("G1"), 0},
        {HexVal4("8000"), 32768}, {HexVal4("FFFF"), 65535}, {HexVal1("c9"), 12}, {HexVal2(""), 0},
        {HexVal4("1G00"), 1},     {HexVal2("123"), 0x12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(Checksums, WorkedValues)
{
    EXPECT_EQ(NetChecksum("01A]"), 0x8A);
    EXPECT_EQ(NetChecksum("0125]"), 0xCA);
    EXPECT_EQ(NetChecksum("]"), 0x2F);
    EXPECT_EQ(NetChecksum("abc"), 0x60);
    EXPECT_EQ(DevChecksum("[200700"), 0xFE);
    EXPECT_EQ(DevChecksum("[8FFE01"), 0x0A);
    EXPECT_EQ(DevChecksum("abc"), 0xAB);
}

TEST(Checksums, TextLongerThanCodeArrayHasNone)
{
    EXPECT_GE(NetChecksum(QByteArray(401, 'A')), 0);
    EXPECT_EQ(NetChecksum(QByteArray(402, 'A')), -1);
    EXPECT_EQ(DevChecksum(QByteArray(1000, 'A')), -1);
    EXPECT_FALSE(CheckNetReply("[" + QByteArray(1000, '0') + "]"));
    EXPECT_FALSE(CheckDevReply("[" + QByteArray(1000, '0') + "00]", 6));
}

TEST(Frames, BuildersProduceKnownFrames)
{
    EXPECT_EQ(BuildNetFrame(1, "A"), "[8A01A]");
    EXPECT_EQ(BuildNetFrame(1, "25"), "[CA0125]");
    EXPECT_EQ(BuildDevFrame('2', 0, "700"), "[200700FE]");
    EXPECT_EQ(BuildDevFrame('8', 0xFF, "E01"), "[8FFE010A]");
}

TEST(Frames, ReplyChecks)
{
    EXPECT_TRUE(CheckNetReply("[2F]"));
    EXPECT_FALSE(CheckNetReply("[2F]x")); // anything behind the reply enters the checksum
    EXPECT_FALSE(CheckNetReply("[2E]"));
    EXPECT_FALSE(CheckNetReply("[2"));

    const QByteArray good = SealDevFrame("[4102");
    ASSERT_EQ(good.size(), 8);
    EXPECT_TRUE(CheckDevReply(good, 6));
    QByteArray changed = good;
    changed[2] = '2'; // one data digit differs
    EXPECT_FALSE(CheckDevReply(changed, 6));
    EXPECT_FALSE(CheckDevReply(good + "Z", 6)); // a longer reply moves the checked span
    EXPECT_FALSE(CheckDevReply("", 6));
}

#include "gateway/GatewayProtocol.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt::gw;

TEST(GatewayProtocol, FramesGoToNodeZeroWithTheNetworkChecksum)
{
    EXPECT_EQ(GatewayFrame(ResetCommand(0)), "[3C003600$*]");
    EXPECT_EQ(ResetCommand(1), "3601$*");
    EXPECT_EQ(ResetCommand(2), "3610$*");
    EXPECT_EQ(ResetCommand(3), "3611$*");
    EXPECT_EQ(ReadBlockCommand(0, 0x1040), "39010403F");
    EXPECT_EQ(ChecksumCommand(0), "3F00000FFFF");
    EXPECT_EQ(ChecksumCommand(1), "3F10000FFFF");
}

TEST(GatewayProtocol, WriteBlockCarriesTheLowByteOfEachCellLowestAddressFirst)
{
    std::array<qint16, kBlockCells> cells{};
    cells[0] = 300; // only "2C" can travel
    cells[1] = 0xAB;
    cells[63] = 0x0F;
    const QByteArray text = WriteBlockCommand(1, 0xFFC0, cells.data());
    EXPECT_EQ(text.left(9), "381FFC03F");
    EXPECT_EQ(text.size(), 9 + 128);
    EXPECT_EQ(text.mid(9, 4), "2CAB");
    EXPECT_EQ(text.right(2), "0F");
}

TEST(GatewayProtocol, BankChecksumOfKnownImages)
{
    auto image = std::make_unique<GatewayImage>();
    EXPECT_EQ(ImageChecksum(*image, 0), 0x38E159AAu); // an all-zero bank
    EXPECT_EQ(ImageChecksum(*image, 1), 0x38E159AAu);
    std::vector<quint8> zeros(kBankSize, 0);
    EXPECT_EQ(BytesChecksum(zeros.data(), kBankSize), 0x38E159AAu);

    // One shift per cell: a lone 1 in the first cell flips the carry of the very first step only.
    image->WriteImageByte(1, 0, 1);
    std::vector<quint8> one(kBankSize, 0);
    one[0] = 1;
    EXPECT_EQ(ImageChecksum(*image, 1), BytesChecksum(one.data(), kBankSize));
    EXPECT_NE(ImageChecksum(*image, 1), 0x38E159AAu);
    EXPECT_EQ(ImageChecksum(*image, 0), 0x38E159AAu);
}

TEST(GatewayProtocol, ChecksumNamesEveryCellThatIsNotAByteAndGoesOn)
{
    auto image = std::make_unique<GatewayImage>();
    image->WriteImageByte(0, 4096, 300);
    image->WriteImageByte(0, 9, -1);
    image->WriteImageByte(0, 10, 255);
    std::vector<std::pair<int, qint16>> heard;
    const quint32 sum = ImageChecksum(*image, 0, [&](int a, qint16 v) { heard.emplace_back(a, v); });
    EXPECT_EQ(heard, (std::vector<std::pair<int, qint16>>{{9, -1}, {4096, 300}}));
    EXPECT_EQ(sum, ImageChecksum(*image, 0));
}

TEST(GatewayProtocol, RepliesAreReadAtTheirFixedPositions)
{
    QByteArray read = "[00";
    for (int i = 0; i < kBlockCells; ++i)
        read += QByteArray::number(i, 16).toUpper().rightJustified(2, '0');
    read += "]";
    const auto cells = ReadReplyCells(read);
    EXPECT_EQ(cells[0], 0);
    EXPECT_EQ(cells[63], 63);
    EXPECT_EQ(ChecksumReplyValue("[0038E159AA]"), 0x38E159AAu);
    // A short reply gives zeros for what it lacks.
    EXPECT_EQ(ReadReplyCells("[00FF]")[1], 0);
}

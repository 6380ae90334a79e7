#include "gateway/GatewayImage.h"
#include "support/Files.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt;
using namespace tqdt::gw;
using tqdt::test::readAll;
using tqdt::test::writeFile;

namespace {

struct Image : ::testing::Test {
    std::unique_ptr<GatewayImage> image = std::make_unique<GatewayImage>();
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(Image, PointFieldsAndOptionsLieAtTheirBankZeroAddresses)
{
    image->SetPointType(749, 8);
    image->SetPointNode(749, 0xFD);
    image->SetPointUnit(749, 63);
    image->SetPointNumber(749, 7);
    image->SetResend(1);
    image->SetTimeoutMode(2);
    EXPECT_EQ(image->ReadImageByte(0, 2996), 8);
    EXPECT_EQ(image->ReadImageByte(0, 2997), 0xFD);
    EXPECT_EQ(image->ReadImageByte(0, 2998), 63);
    EXPECT_EQ(image->ReadImageByte(0, 2999), 7);
    EXPECT_EQ(image->ReadImageByte(0, 0x1000), 1);
    EXPECT_EQ(image->ReadImageByte(0, 0x1001), 2);
    // The slots past the editor's 750 points exist in the image as well.
    image->SetPointType(1023, 5);
    EXPECT_EQ(image->ReadImageByte(0, 0x0FFC), 5);
}

TEST_F(Image, MultiRelayBitsLandInTheirPointsBlocks)
{
    struct Case {
        int p, n, r;
        int bank, address, bit;
    } cases[] = {
        {0, 0, 0, 1, 0x0000, 0},     {0, 1, 9, 1, 0x0009, 1},     {31, 0, 0, 1, 0xF800, 0},
        {31, 255, 63, 1, 0xFFFF, 7}, {32, 0, 0, 0, 0x7000, 0},    {33, 2, 17, 0, 0x7812, 1},
        {49, 255, 63, 0, 0xFFFF, 7}, {49, 254, 56, 0, 0xFFF7, 0},
    };
    for (const Case& c : cases) {
        auto fresh = std::make_unique<GatewayImage>();
        fresh->SetMultiRelay(c.p, c.n, c.r, true);
        EXPECT_EQ(fresh->ReadImageByte(c.bank, c.address), 1 << c.bit) << c.p << "/" << c.n << "/" << c.r;
        EXPECT_TRUE(fresh->GetMultiRelay(c.p, c.n, c.r));
        fresh->SetMultiRelay(c.p, c.n, c.r, false);
        EXPECT_EQ(fresh->ReadImageByte(c.bank, c.address), 0);
    }
}

TEST_F(Image, BitWritesKeepTheOtherBitsAndClearingDropsWhatIsAboveAByte)
{
    image->WriteImageByte(1, 10, 0x1A5);
    image->WriteImageBit(1, 10, 1, true);
    EXPECT_EQ(image->ReadImageByte(1, 10), 0x1A7); // setting ORs, the high part stays
    image->WriteImageBit(1, 10, 0, false);
    EXPECT_EQ(image->ReadImageByte(1, 10), 0xA6); // clearing masks with the inverted byte
    EXPECT_TRUE(image->ReadImageBit(1, 10, 7));
    EXPECT_FALSE(image->ReadImageBit(1, 10, 0));
}

TEST_F(Image, EveryWriteCountsAsAnEditAndClearingAsNone)
{
    std::vector<bool> heard;
    image->setChangeHook([&](bool changed) { heard.push_back(changed); });
    image->WriteImageByte(0, 5, 0);      // unchanged value: still an edit
    image->SetMultiRelay(3, 1, 1, true); // through the bit write
    image->load(0, 6, 9);                // a transfer's store is not an edit
    image->ClearImage();
    EXPECT_EQ(heard, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(image->ReadImageByte(0, 6), 0);
}

TEST_F(Image, OutOfRangeAccessesReadZeroAndWriteNothing)
{
    std::vector<bool> heard;
    image->setChangeHook([&](bool changed) { heard.push_back(changed); });
    for (auto [bank, address] : {std::pair{2, 0}, {-1, 0}, {0, 65536}, {1, -1}}) {
        image->WriteImageByte(bank, address, 7);
        EXPECT_EQ(image->ReadImageByte(bank, address), 0);
    }
    image->SetMultiRelay(50, 0, 0, true); // point 51 has no bitmap
    image->SetMultiRelay(0, 256, 0, true);
    image->SetMultiRelay(0, 0, 64, true);
    EXPECT_FALSE(image->GetMultiRelay(50, 0, 0));
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(MgwBytes(*image), QByteArray(kMgwSize, '\0'));
}

TEST_F(Image, FileInterleavesTheBanksAndKeepsCellsAboveAByte)
{
    image->WriteImageByte(0, 0x1234, 300);
    image->WriteImageByte(1, 0x1234, 0xAB);
    image->WriteImageByte(1, 0xFFFF, -2);
    ASSERT_TRUE(MgwWrite(path("SITE.MGW"), *image).ok());
    const QByteArray bytes = readAll(path("SITE.MGW"));
    ASSERT_EQ(bytes.size(), 262144);
    EXPECT_EQ(bytes.mid(4 * 0x1234, 4), QByteArray("\x2C\x01\xAB\x00", 4));
    EXPECT_EQ(bytes.right(2), QByteArray("\xFE\xFF", 2));

    auto back = std::make_unique<GatewayImage>();
    ASSERT_TRUE(MgwRead(path("SITE.MGW"), *back).ok());
    EXPECT_EQ(back->ReadImageByte(0, 0x1234), 300);
    EXPECT_EQ(back->ReadImageByte(1, 0xFFFF), -2);
    EXPECT_EQ(MgwBytes(*back), bytes);
}

TEST_F(Image, AFileOfTheWrongSizeIsRefusedByNameAndTheImageStays)
{
    image->SetPointType(0, 5);
    struct Case {
        int size;
        const char* says;
    } cases[] = {{0, "holds 0 bytes"}, {262143, "holds 262143 bytes"}, {262145, "more than 262144"}};
    for (const Case& c : cases) {
        writeFile(path("ODD.MGW"), QByteArray(c.size, '\x01'));
        const FileResult r = MgwRead(path("ODD.MGW"), *image);
        EXPECT_EQ(r.file, path("ODD.MGW"));
        EXPECT_TRUE(r.problem.contains(QLatin1String(c.says))) << r.problem.toStdString();
        EXPECT_EQ(image->GetPointType(0), 5);
        EXPECT_EQ(image->ReadImageByte(1, 0), 0);
    }
    EXPECT_EQ(MgwRead(path("MISSING.MGW"), *image).file, path("MISSING.MGW"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("FOLDER.MGW")));
    EXPECT_TRUE(MgwRead(path("FOLDER.MGW"), *image).problem.startsWith("The file cannot be opened"));
    EXPECT_EQ(image->GetPointType(0), 5);
}

TEST_F(Image, AFailedSaveSaysWhyAndLeavesTheOldFile)
{
    writeFile(path("OLD.MGW"), "old");
    // A folder that does not exist cannot take the file; a name that is a folder cannot be replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("SUB.MGW")));
    for (const QString& target : {path("NOFOLDER/X.MGW"), path("SUB.MGW")}) {
        const FileResult r = MgwWrite(target, *image);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.file, target);
    }
    EXPECT_EQ(readAll(path("OLD.MGW")), "old");
}

#include "condlogic/ProgramImage.h"
#include "condlogic/LogicCompiler.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt;
using namespace tqdt::cnd;

TEST(ProgramChecksum, WorkedValues)
{
    EXPECT_EQ(ProgramChecksumText({}), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(ProgramChecksumText("abc"), "68052FAF08052F8A");
    EXPECT_EQ(ProgramChecksumText(QByteArray(73728, '\0')), "C2EEE100EABDC38F");
    EXPECT_EQ(ProgramChecksumText(QByteArray(8192, '\0')), "AA1BBA5324EA011D");
}

TEST(ProgramImage, DocumentChecksumsOfTheEmptyAndTheFactoryDocument)
{
    auto doc = std::make_unique<CndDocument>();
    CompileFast(*doc, doc->ControlArray);
    EXPECT_EQ(DownloadChecksum(*doc), "C2EEE100EABDC38F");
    EXPECT_EQ(UploadChecksum(*doc), "AA1BBA5324EA011D");
    doc->factoryDefault();
    CompileFast(*doc, doc->ControlArray);
    EXPECT_EQ(DownloadChecksum(*doc), "2712A28D262BF736");
}

TEST(ProgramImage, AreasAreOutputMajorAfterTheControlArray)
{
    auto doc = std::make_unique<CndDocument>();
    doc->ControlArray[0x1234] = 0x5A;
    doc->setCode(3, 17, 11);
    doc->setInput(3, 17, 14);
    doc->setCode(7, 255, 15);
    doc->NoteBytes[0] = 'N';
    doc->NoteBytes[4095] = 'Z';
    const QByteArray image = BuildProgramImage(*doc);
    ASSERT_EQ(image.size(), kImageSize);
    struct Case {
        int address, value;
    } cases[] = {
        {0x1234, 0x5A},
        {0x10000 + 3 * 256 + 17, 11},
        {0x10800 + 3 * 256 + 17, 14},
        {0x10000 + 7 * 256 + 255, 15},
        {0x11000, 'N'},
        {0x11FFF, 'Z'},
        {0x10000 + 17 * 8 + 3, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(quint8(image[c.address]), c.value) << std::hex << c.address;
    // The upload counts the last notes byte as zero: the same document with it cleared agrees.
    const QByteArray withLast = UploadChecksum(*doc);
    doc->NoteBytes[4095] = 0;
    EXPECT_EQ(UploadChecksum(*doc), withLast);
    EXPECT_EQ(UploadChecksum(*doc), ProgramChecksumText(image.mid(kConfigAddress, kConfigSize - 1) + '\0'));
}

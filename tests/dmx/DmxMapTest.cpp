#include "dmx/DmxMap.h"
#include "support/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::dmx;

namespace {

// A map with something in every kind of cell, to see that a refused file leaves it alone.
DmxMap plantedMap()
{
    DmxMap map;
    map.channel(0) = 0;
    map.channel(1) = 5;
    map.channel(511) = 63;
    map.SetDeviceAddress(3);
    map.SetDeviceRange(7);
    return map;
}

struct QdmFile : ::testing::Test {
    QString path(const char* name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(QdmFile, NewMapIsUnmappedChannelsThenAddressAndRange)
{
    DmxMap map;
    ASSERT_TRUE(QdmWrite(path("new.qdm"), map));
    QByteArray expected;
    for (int i = 0; i < 512; ++i)
        expected += QByteArray("\xFF\x00", 2);
    expected += QByteArray(4, '\0');
    EXPECT_EQ(test::readAll(path("new.qdm")), expected);

    map.SetDeviceAddress(15);
    map.SetDeviceRange(9);
    ASSERT_TRUE(QdmWrite(path("new.qdm"), map));
    EXPECT_EQ(test::readAll(path("new.qdm")).right(4), QByteArray("\x0F\x00\x09\x00", 4));
}

TEST_F(QdmFile, ReadingBackRestoresEveryCell)
{
    const DmxMap saved = plantedMap();
    ASSERT_TRUE(QdmWrite(path("plant.qdm"), saved));
    DmxMap loaded;
    ASSERT_TRUE(QdmRead(path("plant.qdm"), loaded).ok());
    EXPECT_EQ(loaded.cells, saved.cells);
}

TEST_F(QdmFile, RefusesFilesItCannotShowAndKeepsTheMap)
{
    // cell index and the 16-bit value planted there, or a file of another size.
    const struct {
        const char* what;
        int size;
        int cell;
        quint16 value;
    } cases[] = {
        {"empty", 0, -1, 0},
        {"one byte short", 1027, -1, 0},
        {"one byte long", 1029, -1, 0},
        {"channel past the last point", 1028, 7, 64},
        {"channel 254", 1028, 100, 254},
        {"channel with a high byte", 1028, 511, 0x0100},
        {"negative channel", 1028, 0, 0xFFFF},
        {"device address 17", 1028, 512, 16},
        {"device range 68", 1028, 513, 16},
        {"negative range", 1028, 513, 0x8000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray bytes = QdmBytes(DmxMap{});
        bytes.resize(c.size, '\0');
        if (c.cell >= 0) {
            bytes[2 * c.cell] = char(c.value & 0xFF);
            bytes[2 * c.cell + 1] = char(c.value >> 8);
        }
        test::writeFile(path("bad.qdm"), bytes);
        DmxMap map = plantedMap();
        const FileResult r = QdmRead(path("bad.qdm"), map);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.file, path("bad.qdm"));
        EXPECT_FALSE(r.problem.isEmpty());
        EXPECT_EQ(map.cells, plantedMap().cells);
    }
}

TEST_F(QdmFile, AcceptsTheEdgesOfEveryRange)
{
    DmxMap edges;
    edges.channel(0) = 0;
    edges.channel(1) = 63;
    edges.channel(2) = 255;
    edges.SetDeviceAddress(15);
    edges.SetDeviceRange(15);
    test::writeFile(path("edges.qdm"), QdmBytes(edges));
    DmxMap map;
    EXPECT_TRUE(QdmRead(path("edges.qdm"), map).ok());
    EXPECT_EQ(map.cells, edges.cells);
}

TEST_F(QdmFile, WhatIsNoMapFileIsNamedAndNothingChanges)
{
    // A folder standing where the map should be: reading it must not block or pass as empty.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.qdm"));
    for (const char* name : {"absent.qdm", "folder.qdm"}) {
        SCOPED_TRACE(name);
        DmxMap map = plantedMap();
        const FileResult r = QdmRead(path(name), map);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.file, path(name));
        EXPECT_TRUE(r.problem.startsWith("The file cannot be opened")) << r.problem.toStdString();
        EXPECT_EQ(map.cells, plantedMap().cells);
    }
    const FileResult saved = QdmWrite(path("folder.qdm"), plantedMap());
    EXPECT_FALSE(saved.ok());
    EXPECT_TRUE(QFileInfo(path("folder.qdm")).isDir());
}

TEST(DmxMapPoints, ChannelShowsTheAbsolutePointOrADash)
{
    const struct {
        qint16 address, cell;
        const char* shown;
    } cases[] = {
        {0, 0, "D:01.1"},  {0, 63, "D:10.4"}, {1, 5, "D:03.2"}, {0, 5, "D:02.2"},
        {15, 3, "D:10.4"}, {15, 4, "-"},      {0, 255, "-"},    {2, 255, "-"},
    };
    for (const auto& c : cases) {
        DmxMap map;
        map.SetDeviceAddress(c.address);
        map.channel(10) = c.cell;
        EXPECT_EQ(map.channelText(10), QString::fromLatin1(c.shown)) << c.address << " " << c.cell;
        // The stored offset stays what it was, shown or not.
        EXPECT_EQ(map.channel(10), c.cell);
    }
}

TEST(DmxMapPoints, ResetUnmapsEveryChannel)
{
    DmxMap map = plantedMap();
    map.ResetDmxMap();
    EXPECT_EQ(map.cells, DmxMap{}.cells);
    EXPECT_EQ(map.GetDeviceAddress(), 0);
    EXPECT_EQ(map.GetDeviceRange(), 0);
}

// The gateway's register as eight separate bytes, s0 the least significant: a second reading of the
// shift-register rule, so an exchanged byte order or a shift per bit shows.
QByteArray bytewiseChecksum(const DmxMap& map)
{
    std::array<quint8, 8> s;
    s.fill(0xFF);
    const std::array<quint8, 8> poly = {0xA1, 0xA0, 0xF5, 0xEF, 0xA1, 0xA0, 0xF5, 0xEF};
    for (int i = 0; i < 512; ++i) {
        s[0] ^= quint8(map.channel(i));
        const bool out = s[0] & 1;
        for (int k = 0; k < 8; ++k)
            s[size_t(k)] = quint8((s[size_t(k)] >> 1) | (k < 7 ? (s[size_t(k + 1)] & 1) << 7 : 0));
        if (out)
            for (int k = 0; k < 8; ++k)
                s[size_t(k)] ^= poly[size_t(k)];
    }
    QByteArray text;
    for (int k = 7; k >= 0; --k)
        text += QByteArray::number(s[size_t(k)], 16).toUpper().rightJustified(2, '0');
    return text;
}

TEST(DmxMapChecksum, FoldsEachChannelOnceMostSignificantByteFirst)
{
    DmxMap unmapped;
    DmxMap ramp;
    for (int i = 0; i < 512; ++i)
        ramp.channel(i) = qint16(i % 64);
    DmxMap sparse;
    sparse.channel(0) = 1;
    sparse.channel(300) = 62;
    sparse.SetDeviceAddress(4); // never sent, so never counted
    for (const DmxMap* m : {&unmapped, &ramp, &sparse}) {
        const QByteArray sum = DmxChecksum(*m);
        EXPECT_EQ(sum.size(), 16);
        EXPECT_EQ(sum, bytewiseChecksum(*m));
    }
    DmxMap sparseOtherAddress = sparse;
    sparseOtherAddress.SetDeviceAddress(0);
    EXPECT_EQ(DmxChecksum(sparse), DmxChecksum(sparseOtherAddress));
    EXPECT_NE(DmxChecksum(unmapped), DmxChecksum(sparse));
}

TEST(DmxPatchCsv, ListsEveryChannelWithItsPointAsTheEditorNamesIt)
{
    DmxMap map;
    map.SetDeviceAddress(1);
    map.channel(0) = 0;  // D:02.1
    map.channel(2) = 59; // point 63
    map.channel(3) = 60; // beyond point 63: not mapped
    const QList<QByteArray> lines = PatchCsv(map).split('\n');
    ASSERT_EQ(lines.size(), 1 + 512 + 1); // the last CR LF leaves an empty piece
    EXPECT_EQ(lines[0], "Channel,Point\r");
    EXPECT_EQ(lines[1], "1,D:02.1\r");
    EXPECT_EQ(lines[2], "2,\r");
    EXPECT_EQ(lines[3], "3,D:10.4\r");
    EXPECT_EQ(lines[4], "4,\r");
    EXPECT_EQ(lines[512], "512,\r");
    EXPECT_EQ(lines[513], "");
}

} // namespace

#include "condlogic/CdfFile.h"
#include "condlogic/Win1252.h"
#include "support/DiagramGen.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt::cnd;

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

TEST(CdfFile, LayoutIsCellMajorLittleEndianThenNotes)
{
    auto doc = std::make_unique<CndDocument>();
    doc->setCode(5, 200, 13);
    doc->setInput(5, 200, 9);
    doc->NoteBytes[0] = 'A';
    doc->NoteBytes[4095] = 0x7F;
    const QByteArray b = CdfBytes(*doc);
    ASSERT_EQ(b.size(), kCdfSize);
    const int at = (200 * 8 + 5) * 2;
    EXPECT_EQ(quint8(b[at]), 13);
    EXPECT_EQ(quint8(b[at + 1]), 0);
    EXPECT_EQ(quint8(b[4096 + at]), 9);
    EXPECT_EQ(b[8192], 'A');
    EXPECT_EQ(quint8(b[12287]), 0x7F);
}

TEST(CdfFile, SavedDocumentReloadsByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RANDOM.CDF"));
    auto doc = std::make_unique<CndDocument>(RandomDocument(5));
    for (int i = 0; i < 4000; ++i)
        doc->NoteBytes[size_t(i)] = quint8(0x20 + i % 200);
    ASSERT_EQ(CdfWrite(path, *doc).problem, QString());
    const QByteArray onDisk = readAll(path);
    EXPECT_EQ(onDisk, CdfBytes(*doc));
    auto back = std::make_unique<CndDocument>();
    ASSERT_EQ(CdfRead(path, *back).problem, QString());
    EXPECT_EQ(back->SegType, doc->SegType);
    EXPECT_EQ(back->SegInput, doc->SegInput);
    EXPECT_EQ(back->NoteBytes, doc->NoteBytes);
    const QString again = dir.filePath(QStringLiteral("AGAIN.CDF"));
    ASSERT_EQ(CdfWrite(again, *back).problem, QString());
    EXPECT_EQ(readAll(again), onDisk);
}

TEST(CdfFile, BadFilesAreRefusedAndTheDocumentStaysAsItWas)
{
    QTemporaryDir dir;
    QByteArray good = CdfBytes(RandomDocument(9));
    QByteArray badCode = good;
    badCode[(17 * 8 + 2) * 2] = 16;
    QByteArray negativeInput = good;
    negativeInput[4096] = 0;
    negativeInput[4096 + 1] = char(0xFF);
    QByteArray highByte = good;
    highByte[(3 * 8 + 0) * 2] = 0;
    highByte[(3 * 8 + 0) * 2 + 1] = 1;
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* problem;
    } cases[] = {
        {"SHORT.CDF", good.left(12287), "12287 bytes"},
        {"EMPTY.CDF", QByteArray(), "0 bytes"},
        {"LONG.CDF", good + 'x', "more than 12288"},
        {"CODE.CDF", badCode, "QV Input 3, cell 17 (row 2, column 2) has segment code 16"},
        {"INPUT.CDF", negativeInput, "QV Input 1, cell 0 (row 1, column 1) has input -256"},
        {"HIGH.CDF", highByte, "QV Input 1, cell 3 (row 1, column 4) has segment code 256"},
    };
    auto doc = std::make_unique<CndDocument>();
    doc->factoryDefault();
    doc->NoteBytes[3] = 'q';
    const QByteArray before = CdfBytes(*doc);
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeAll(path, c.bytes);
        const QString problem = CdfRead(path, *doc).problem;
        EXPECT_TRUE(problem.contains(QString::fromLatin1(c.problem)))
            << c.name << ": " << problem.toStdString();
        EXPECT_EQ(CdfBytes(*doc), before) << c.name;
    }
    EXPECT_TRUE(
        CdfRead(dir.filePath(QStringLiteral("MISSING.CDF")), *doc).problem.contains("cannot be opened"));
    EXPECT_FALSE(CdfWrite(dir.filePath(QStringLiteral("no/such/folder/X.CDF")), *doc).problem.isEmpty());
    EXPECT_EQ(CdfBytes(*doc), before);
}

TEST(Win1252, RoundTripAndUnmappable)
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(toWin1252(fromWin1252(all)), all);
    EXPECT_EQ(fromWin1252("\x80\x93\xE9"), QString::fromUtf8("€“é"));
    EXPECT_EQ(toWin1252(QString::fromUtf8("ab€Ω")), QByteArray("ab\x80?"));
}

TEST(CdfFile, DocumentThatCouldNotBeOpenedAgainIsNeverWritten)
{
    // What an upload can leave in the document: codes and inputs outside 0..15, on any cell kind.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KEEP.CDF"));
    auto good = std::make_unique<CndDocument>(RandomDocument(4));
    ASSERT_TRUE(CdfWrite(path, *good).ok());
    const QByteArray onDisk = readAll(path);
    struct Case {
        int output, cell, code, input;
        const char* problem;
    } cases[] = {
        {0, 0, SegClosed, 200, "QV Input 1, cell 0 (row 1, column 1) has input 200"},
        {3, 17, 77, 0, "QV Input 4, cell 17 (row 2, column 2) has segment code 77"},
        {7, 255, SegWire, -1, "QV Input 8, cell 255 (row 16, column 16) has input -1"},
    };
    for (const Case& c : cases) {
        auto doc = std::make_unique<CndDocument>(*good);
        doc->setCode(c.output, c.cell, c.code);
        doc->setInput(c.output, c.cell, c.input);
        const QString problem = CdfWrite(path, *doc).problem;
        EXPECT_TRUE(problem.contains(QString::fromLatin1(c.problem))) << problem.toStdString();
        EXPECT_EQ(readAll(path), onDisk) << c.problem;
        // Drawing a picture over the cell mends it.
        doc->placeCode(c.output, c.cell, SegOpen);
        EXPECT_TRUE(CdfWrite(path, *doc).ok()) << c.problem;
        auto back = std::make_unique<CndDocument>();
        EXPECT_TRUE(CdfRead(path, *back).ok());
        ASSERT_TRUE(CdfWrite(path, *good).ok());
    }
}

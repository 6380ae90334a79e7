#include "documents/PrivateProfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tqdt;

namespace {

struct IniFile {
    QTemporaryDir dir;
    QString path = dir.filePath("DiagnosticTool.ini");
    void write(const QByteArray& text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray read()
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST(PrivateProfile, ReadsIntegersTheWayTheProfileApiDoes)
{
    struct Case {
        const char* file;
        int want;
    } cases[] = {
        {"", 7},                         // no key: the default
        {"[Other]\nDT Com Port=3\n", 7}, // key in another section
        {"[Settings]\nDT Com Port=12\n", 12},
        {"[settings]\r\ndt com port = 4\r\n", 4}, // names ignore case, blanks around '='
        {"[Settings]\nDT Com Port=abc\n", 0},     // not a number
        {"[Settings]\nDT Com Port=\n", 0},
        {"[Settings]\nDT Com Port=5x\n", 5}, // digits up to the first non-digit
        {"[Settings]\nDT Com Port=99999999999\n", INT_MAX},
    };
    for (const auto& c : cases) {
        IniFile ini;
        if (*c.file)
            ini.write(c.file);
        EXPECT_EQ(GetPrivateProfileIntA("Settings", "DT Com Port", 7, ini.path), c.want) << c.file;
    }
}

TEST(PrivateProfile, WriteTouchesOnlyItsKey)
{
    struct Case {
        QByteArray before, after;
    } cases[] = {
        {"", "[Settings]\nDT Com Port=9\n"},
        {"[Ports]\nCOM1=/dev/ttyS0\n", "[Ports]\nCOM1=/dev/ttyS0\n[Settings]\nDT Com Port=9\n"},
        {"; kept\r\n[Settings]\r\nDT Com Port=1\r\nBT Com Port=2\r\n\r\n[Ports]\r\nCOM1=x\r\n",
         "; kept\r\n[Settings]\r\nDT Com Port=9\r\nBT Com Port=2\r\n\r\n[Ports]\r\nCOM1=x\r\n"},
        {"[Settings]\nBT Com Port=2\n\n[Ports]\nCOM1=x",
         "[Settings]\nBT Com Port=2\nDT Com Port=9\n\n[Ports]\nCOM1=x"},
        {"[Settings]\nBT Com Port=2", "[Settings]\nBT Com Port=2\nDT Com Port=9\n"},
    };
    for (const auto& c : cases) {
        IniFile ini;
        if (!c.before.isEmpty())
            ini.write(c.before);
        ASSERT_TRUE(WritePrivateProfileStringA("Settings", "DT Com Port", "9", ini.path));
        EXPECT_EQ(ini.read(), c.after) << c.before.constData();
    }
}

TEST(PrivateProfile, StringReadFallsBackToDefault)
{
    IniFile ini;
    ini.write("[Ports]\nCOM3 = /dev/ttyACM0 \n");
    EXPECT_EQ(GetPrivateProfileStringA("Ports", "COM3", "d", ini.path), "/dev/ttyACM0");
    EXPECT_EQ(GetPrivateProfileStringA("Ports", "COM4", "d", ini.path), "d");
}

TEST(PrivateProfile, UnwritableFileReportsFailure)
{
    QTemporaryDir dir;
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "1", dir.filePath("missing/folder/x.ini")));
}

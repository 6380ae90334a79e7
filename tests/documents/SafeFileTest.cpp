#include "documents/SafeFile.h"

#include "condlogic/CdfFile.h"
#include "condlogic/MpdFile.h"
#include "documents/Settings.h"
#include "gateway/GatewayCsv.h"
#include "gateway/GatewayImage.h"
#include "network/FrameCapture.h"
#include "support/Files.h"
#include "support/Neighbours.h"
#include "support/SimHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace tqdt;
using namespace tqdt::net;
using tqdt::test::readAll;
using tqdt::test::writeFile;

namespace {

QStringList namesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden); }

struct SafeFile : ::testing::Test {
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(SafeFile, ReplacesTheFileWholeAndLeavesNothingBeside)
{
    writeFile(path("SITE.CDF"), "old");
    EXPECT_EQ(SaveFileAtomically(path("SITE.CDF"), QByteArray(200000, 'n')), QString());
    EXPECT_EQ(readAll(path("SITE.CDF")), QByteArray(200000, 'n'));
    EXPECT_EQ(namesIn(dir.path()), QStringList{"SITE.CDF"});
}

// A disk that fills up, a write the system cuts short: the save fails, says so, and the old file
// stays exactly as it was.
TEST_F(SafeFile, AWriteThatFallsShortFailsAndKeepsTheOldFile)
{
    const QByteArray old(12288, 'o');
    struct Case {
        const char* what;
        SaveWriter writer;
    } cases[] = {
        {"refused after half",
         [](QIODevice& f, const char* d, qint64 n) -> qint64 {
             return f.pos() >= 6144 ? -1 : f.write(d, std::min<qint64>(n, 6144));
         }},
        {"nothing more accepted",
         [](QIODevice& f, const char* d, qint64 n) -> qint64 {
             return f.pos() >= 8192 ? 0 : f.write(d, std::min<qint64>(n, 8192));
         }},
        {"more reported than given", [](QIODevice& f, const char* d, qint64 n) { return f.write(d, n) + 1; }},
    };
    for (const Case& c : cases) {
        writeFile(path("SITE.CDF"), old);
        const QString why = SaveFileAtomically(path("SITE.CDF"), QByteArray(12288, 'n'), c.writer);
        EXPECT_FALSE(why.isEmpty()) << c.what;
        EXPECT_NE(why, "Unknown error") << c.what;
        EXPECT_EQ(readAll(path("SITE.CDF")), old) << c.what;
        EXPECT_EQ(namesIn(dir.path()), QStringList{"SITE.CDF"}) << c.what;
    }
    // A short write that the next one completes is no failure.
    const QString why = SaveFileAtomically(
        path("SITE.CDF"), QByteArray(12288, 'n'),
        [](QIODevice& f, const char* d, qint64 n) { return f.write(d, std::max<qint64>(1, n / 3)); });
    EXPECT_EQ(why, QString());
    EXPECT_EQ(readAll(path("SITE.CDF")), QByteArray(12288, 'n'));
}

TEST_F(SafeFile, RefusesWhatIsNotARegularFile)
{
    const QString pipe = path("PIPE.CDF");
    ASSERT_EQ(QProcess::execute("mkfifo", {pipe}), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("FOLDER.CDF"));
    for (const QString& target : {pipe, path("FOLDER.CDF")}) {
        EXPECT_FALSE(NotARegularFile(target).isEmpty()) << target.toStdString();
        EXPECT_FALSE(SaveFileAtomically(target, "x").isEmpty()) << target.toStdString();
    }
    EXPECT_FALSE(QFileInfo(pipe).isFile());
    EXPECT_TRUE(QFileInfo(path("FOLDER.CDF")).isDir());
    EXPECT_TRUE(NotARegularFile(path("MISSING.CDF")).isEmpty());
    // Readers refuse it at once instead of waiting for a writer that never comes.
    auto doc = std::make_unique<cnd::CndDocument>();
    EXPECT_TRUE(cnd::CdfRead(pipe, *doc).problem.contains("not a regular file"));
    cnd::ProfileTable profiles{};
    EXPECT_TRUE(cnd::MpdRead(pipe, profiles).problem.contains("not a regular file"));
}

// A save killed between writing its temporary and renaming it leaves the temporary; the next save
// of the same file clears it, and nothing else beside the file, whatever its name.
TEST_F(SafeFile, NextSaveClearsItsOwnLeftoversOnly)
{
    const test::Neighbours neighbours(path("SITE.CDF"));
    for (const char* name :
         {".SITE.CDF.tqdt-save-aB3dEf", ".SITE.CDF.tqdt-save-QWERTY", ".SITE.CDF.tqdt-save-qwerty",
          ".SITE.CDF.tqdt-save-123456", ".OTHER.CDF.tqdt-save-aB3dEf"})
        writeFile(path(name), "left");
    EXPECT_EQ(SaveFileAtomically(path("SITE.CDF"), "new"), QString());
    EXPECT_EQ(readAll(path("SITE.CDF")), "new");
    neighbours.expectIntact("a save");
    QStringList ours = namesIn(dir.path()).filter(".tqdt-save-");
    EXPECT_EQ(ours.filter(QRegularExpression("^\\.SITE\\.CDF\\.tqdt-save-[A-Za-z0-9]{6}$")), QStringList());
    EXPECT_TRUE(ours.contains(".OTHER.CDF.tqdt-save-aB3dEf")); // another file's save is not ours to end
}

// The temporary is our own name beside the file: a save that fails there leaves nothing, and the
// replaced file keeps the permissions the old one had.
TEST_F(SafeFile, TheTemporaryIsOursAndTheFileKeepsItsPermissions)
{
    EXPECT_EQ(QFileInfo(SaveTemporaryTemplate(path("SITE.MGW"))).fileName(), ".SITE.MGW.tqdt-save-XXXXXX");
    writeFile(path("SITE.MGW"), "old");
    const auto readOnlyForOthers = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                   QFileDevice::WriteUser | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path("SITE.MGW"), readOnlyForOthers));
    QString seen;
    EXPECT_FALSE(
        SaveFileAtomically(path("SITE.MGW"), "new", [&](QIODevice& f, const char*, qint64) -> qint64 {
            seen = static_cast<QFile&>(f).fileName();
            return -1;
        }).isEmpty());
    EXPECT_EQ(QFileInfo(seen).fileName().left(20), ".SITE.MGW.tqdt-save-");
    EXPECT_EQ(namesIn(dir.path()), QStringList{"SITE.MGW"});
    EXPECT_EQ(SaveFileAtomically(path("SITE.MGW"), "new"), QString());
    EXPECT_EQ(QFileInfo(path("SITE.MGW")).permissions(), readOnlyForOthers);
    // A link to the document stays a link; the file it names is replaced.
    ASSERT_TRUE(QFile::link(path("SITE.MGW"), path("LINK.MGW")));
    EXPECT_EQ(SaveFileAtomically(path("LINK.MGW"), "newer"), QString());
    EXPECT_TRUE(QFileInfo(path("LINK.MGW")).isSymLink());
    EXPECT_EQ(readAll(path("SITE.MGW")), "newer");
}

// The writers that save beside the technician's own files: the settings file (written when the
// program starts), a gateway map and its listing.
TEST_F(SafeFile, TheWritersLeaveTheTechniciansCopiesAlone)
{
    test::SimHost sim; // its data folder holds the settings file
    auto image = std::make_unique<gw::GatewayImage>();
    struct Case {
        QString file;
        std::function<bool(const QString&)> save;
    } cases[] = {
        {sim.host.paths().settingsFile(), [&](const QString&) { return LoadSettings(sim.host); }},
        {path("SITE.MGW"), [&](const QString& p) { return gw::MgwWrite(p, *image).ok(); }},
        {path("SITE.CSV"),
         [&](const QString& p) { return gw::GatewayCsvWrite(p, *image, "SITE.MGW", 750).ok(); }},
    };
    for (const Case& c : cases) {
        const test::Neighbours neighbours(c.file);
        EXPECT_TRUE(c.save(c.file)) << c.file.toStdString();
        EXPECT_TRUE(QFileInfo(c.file).isFile()) << c.file.toStdString();
        neighbours.expectIntact(c.file);
    }
}

// The real thing: a small file system that is full. Needs root to mount it.
struct FullDisk : ::testing::Test {
    void SetUp() override
    {
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", dir.path()}) != 0)
            GTEST_SKIP() << "cannot mount a small file system here (needs root): full disk not tried";
        mounted = true;
    }
    void TearDown() override
    {
        if (mounted)
            QProcess::execute("umount", {dir.path()});
    }
    // Fills what is left of the file system.
    void fill()
    {
        QFile f(dir.filePath("FILLER"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (f.write(block) == block.size()) {
        }
    }
    QTemporaryDir dir;
    bool mounted = false;
};

TEST_F(FullDisk, EverySaveFailsWithTheReasonAndKeepsTheOldFile)
{
    auto doc = std::make_unique<cnd::CndDocument>();
    doc->factoryDefault();
    const cnd::ProfileTable profiles{1, 2, 3};
    const gw::GatewayImage gateway;
    FrameCapture capture;
    capture.receive(QByteArray("[9AD0200FF]").repeated(400), 0, Channel::Blue);
    std::vector<quint64> all;
    for (quint64 i = capture.first(); capture.holds(i); ++i)
        all.push_back(i);
    struct Case {
        const char* file;
        std::function<QString(const QString&)> save;
    } cases[] = {
        {"SITE.CDF", [&](const QString& p) { return cnd::CdfWrite(p, *doc).problem; }},
        {"HALL.MPD", [&](const QString& p) { return cnd::MpdWrite(p, profiles).problem; }},
        {"HALL.CSV", [&](const QString& p) { return cnd::CsvWrite(p, profiles).problem; }},
        {"SITE.MGW", [&](const QString& p) { return gw::MgwWrite(p, gateway).problem; }},
        {"SITE.CSV",
         [&](const QString& p) { return gw::GatewayCsvWrite(p, gateway, "SITE.MGW", 350).problem; }},
        {"TRAFFIC.TXT", [&](const QString& p) { return SaveCapture(p, capture, all, CaptureLayout::Csv); }},
        {"ANY.BIN", [&](const QString& p) { return SaveFileAtomically(p, QByteArray(65536, 'b')); }},
    };
    for (const Case& c : cases)
        writeFile(dir.filePath(c.file), QByteArray(100, 'o'));
    fill();
    for (const Case& c : cases) {
        const QString why = c.save(dir.filePath(c.file));
        EXPECT_TRUE(why.contains("No space left on device")) << c.file << ": " << why.toStdString();
        EXPECT_EQ(readAll(dir.filePath(c.file)), QByteArray(100, 'o')) << c.file;
    }
    QStringList left = namesIn(dir.path());
    left.sort();
    EXPECT_EQ(left, (QStringList{"ANY.BIN", "FILLER", "HALL.CSV", "HALL.MPD", "SITE.CDF", "SITE.CSV",
                                 "SITE.MGW", "TRAFFIC.TXT"}));
}

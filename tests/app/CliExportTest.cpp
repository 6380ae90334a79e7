#include "condlogic/CndCommands.h"
#include "condlogic/MpdFile.h"
#include "dmx/DmxMap.h"
#include "dmx/QdmCommand.h"
#include "gateway/GatewayImage.h"
#include "gateway/MgwCommand.h"
#include "support/Files.h"
#include "support/RunCli.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <unistd.h>

using namespace tqdt;
using tqdt::test::readAll;

namespace {

// One document of each kind that exports, written under NAME.
struct Kind {
    const char* family;
    std::function<CliFamily()> commands;
    std::function<bool(const QString&)> write;
};

const Kind kKinds[] = {
    {"mgw", gw::GatewayCommands,
     [](const QString& path) { return gw::MgwWrite(path, *std::make_unique<gw::GatewayImage>()).ok(); }},
    {"qdm", dmx::QdmCommands, [](const QString& path) { return dmx::QdmWrite(path, dmx::DmxMap{}).ok(); }},
    {"mpd", cnd::MpdCommands,
     [](const QString& path) { return cnd::MpdWrite(path, cnd::ProfileTable{}).ok(); }},
};

} // namespace

// A document without a three-character extension exports beside itself with ".CSV" added; the
// other names keep the windows' rule of replacing the extension.
TEST(CliExport, TheDefaultListingEndsInCsv)
{
    const struct {
        const char* document;
        const char* listing;
    } names[] = {{"SHOW1", "SHOW1.CSV"},
                 {"SITE.map", "SITE.CSV"},
                 {"v1.2/SITE", "v1.2/SITE.CSV"},
                 {"SITE.LONG", "SITE.LONG.CSV"}};
    for (const Kind& kind : kKinds) {
        for (const auto& n : names) {
            SCOPED_TRACE(std::string(kind.family) + " " + n.document);
            QTemporaryDir dir;
            ASSERT_TRUE(QDir(dir.path()).mkpath("v1.2"));
            const QString document = dir.filePath(n.document);
            ASSERT_TRUE(kind.write(document));
            const test::CliText r = test::RunCliHere(kind.commands(), {"export-csv", document});
            EXPECT_EQ(r.status, 0) << r.err.toStdString();
            EXPECT_TRUE(QFile::exists(dir.filePath(n.listing)));
        }
    }
}

// An export never replaces the document it lists, whatever the name it is reached by.
TEST(CliExport, AnExportOverTheDocumentItListsIsRefused)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.family);
        QTemporaryDir dir;
        const QString document = dir.filePath("SITE2.CSV");
        ASSERT_TRUE(kind.write(document));
        const QByteArray before = readAll(document);
        ASSERT_EQ(::link(QFile::encodeName(document).constData(),
                         QFile::encodeName(dir.filePath("HARD.CSV")).constData()),
                  0);
        ASSERT_TRUE(QFile::link(document, dir.filePath("SOFT.CSV")));
        const QStringList outputs[] = {
            {},                                  // the default listing of SITE2.CSV is SITE2.CSV
            {"-o", document},                    // the same name
            {"-o", dir.path() + "/./SITE2.CSV"}, // another spelling
            {"-o", dir.filePath("HARD.CSV")},    // a second name of the same file
            {"-o", dir.filePath("SOFT.CSV")},    // a link to it
        };
        for (const QStringList& output : outputs) {
            const test::CliText r =
                test::RunCliHere(kind.commands(), QStringList{"export-csv", document} + output);
            EXPECT_EQ(r.status, 2) << output.join(' ').toStdString();
            EXPECT_TRUE(r.err.contains("is the document being listed")) << r.err.toStdString();
            EXPECT_EQ(r.err.count('\n'), 1);
            EXPECT_EQ(readAll(document), before);
        }
    }
}

#include "dmx/DmxMap.h"
#include "gateway/GatewayImage.h"
#include "ports/Pty.h"
#include "sim/PtyServer.h"
#include "sim/Site.h"
#include "support/CliLines.h"
#include "support/RunCli.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt;

// A port pulled while a command waits for a device is reported in one line, naming the port, in every
// family; the failures it caused on the way are not. The site answers nothing, so each command is
// still waiting when its port goes.
TEST(CliPortGone, EveryFamilyReportsAPortThatWentAwayInOneLine)
{
    if (!PseudoTerminal::supported())
        GTEST_SKIP() << "no pseudo-terminals here";
    QTemporaryDir dir;
    ASSERT_TRUE(gw::MgwWrite(dir.filePath("SITE.MGW"), *std::make_unique<gw::GatewayImage>()).ok());
    ASSERT_TRUE(dmx::QdmWrite(dir.filePath("SHOW.QDM"), dmx::DmxMap{}).ok());
    const QStringList cases[] = {
        {"mgw", "download", dir.filePath("SITE.MGW")},
        {"mgw", "upload", dir.filePath("NEW.MGW")},
        {"qdm", "download", dir.filePath("SHOW.QDM")},
        {"qdm", "firmware"},
        {"ws", "find", "--family", "g3"},
        {"ws", "identify", "--family", "kestrix", "--address", "10"},
        {"bt", "configure"},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        sim::Site site;
        auto server = std::make_unique<sim::PtyServer>(site);
        ASSERT_TRUE(server->start());
        // The port is named by a link, as /dev/serial/by-id names an adapter, and the link goes with the
        // adapter: the pseudo-terminal's own number may be handed to another test's terminal at once.
        const QString port = dir.filePath("by-id-adapter");
        QFile::remove(port);
        ASSERT_TRUE(QFile::link(server->portName(), port));
        test::CliOptions options(dir.path());
        options.timeoutMs = 60000;
        // Pulled once the command has spoken, while it waits on its first answer.
        options.whileRunning = [&] {
            if (server->bytesSeen() == 0)
                return false;
            QFile::remove(port);
            server.reset();
            return true;
        };
        const test::CliRun r = test::RunCli(args + QStringList{"--port", port}, options);
        EXPECT_EQ(r.exitCode, 1) << r.err.constData();
        EXPECT_EQ(test::CliLines(r.err), QList<QByteArray>{"tqdt-cli: Port Error: " + port.toUtf8() +
                                                           " went away during the transfer"})
            << r.err.constData();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("NEW.MGW")));
}
